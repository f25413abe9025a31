#include "app/startup.h"

#include <filesystem>
#include <stdexcept>
#include <string>

#include "common/error_log.h"
#include "common/file_time.h"
#include "common/paths.h"

namespace app {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kStep = "MainMenuStartUp";

constexpr std::string_view kPresentHead = "予想因子ウエイトは展開されています。作成日は ";
constexpr std::string_view kPresentTail =
    " です。これより新しい日付の予想因子ウエイトがあれば展開して上書きして下さい。無ければそのまま続行して下さい。";
constexpr std::string_view kSupportSiteNote =
    "新しい日付のバージョンまたは最新因子ウエイトはサポートサイトよりダウンロードして下さい。";

// Message boxes of the start-up name the folder the weights belong in.
std::string WithAppFolder(std::string_view text) {
    return common::AppFolder() + std::string(text);
}

// Deletes a file; a missing one is passed by, and a folder of that name is left alone (logged).
void DeleteFile(const fs::path& path) {
    if (fs::is_directory(fs::symlink_status(path)))
        throw std::runtime_error("not a file, left in place: " + path.string());
    fs::remove(path);
}

}  // namespace

fs::path WeightsMarkerPath() { return common::Option1nPath("KYOSOBA.dat"); }

std::string WeightsPresentText(std::string_view markerDateTime, WeightsNote note) {
    std::string text(kPresentHead);
    text += markerDateTime;
    text += kPresentTail;
    if (note == WeightsNote::WithSupportSite) text += kSupportSiteNote;
    return text;
}

std::optional<std::string> ShowWeightsPresent(common::Host& host, WeightsNote note) {
    const fs::path marker = WeightsMarkerPath();
    // Only a file counts: a folder of that name is not unpacked weights.
    std::error_code ec;
    if (!fs::is_regular_file(marker, ec)) return std::nullopt;
    const std::optional<std::string> dateTime = common::FileDateTimeText(marker);
    if (!dateTime) return std::nullopt;  // gone between the two looks
    host.setLabelColour(common::kLabelGreen);
    host.setStatus(common::StatusBox::Label1, WeightsPresentText(*dateTime, note));
    return dateTime;
}

void MainMenuStartUp(common::Host& host) {
    // An existing folder is no failure (create_directory says false); anything else is logged
    // and the next folder is tried.
    for (std::string_view folder : kWorkingFolders)
        common::PassOver(kStep, [&] { fs::create_directory(common::AppPath(folder)); });

    std::optional<std::string> markerDateTime;
    common::PassOver(kStep, [&] {
        markerDateTime = ShowWeightsPresent(host);
        if (!markerDateTime) {
            host.messageBox(WithAppFolder(kUnpackWeightsMessage));
            // The label keeps its design colour.
            host.setStatus(common::StatusBox::Label1, kWeightsMissingLabel);
        }
    });

    // The age is advisory only; a marker dated in the future is no older than today.
    common::PassOver(kStep, [&] {
        if (!markerDateTime) return;
        const auto markerDate = common::DateOfText(*markerDateTime);
        if (!markerDate) return;
        if (common::DaysBetween(*markerDate, host.today()) > kWeightsMaxAgeDays)
            host.messageBox(WithAppFolder(kOldWeightsMessage));
    });

    // Breaking news of the last run is stale now; a missing file is simply not there.
    for (std::string_view name : kBreakingNewsFiles)
        common::PassOver(kStep, [&] { DeleteFile(common::AppPath(name)); });

    common::PassOver(kStep, [&] { host.setStatus(common::StatusBox::Text2, kStartUpReminder); });
}

}  // namespace app
