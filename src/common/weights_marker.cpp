#include "common/weights_marker.h"

#include "common/file_time.h"
#include "common/paths.h"

namespace common {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPresentHead = "予想因子ウエイトは展開されています。作成日は ";
constexpr std::string_view kPresentTail =
    " です。これより新しい日付の予想因子ウエイトがあれば展開して上書きして下さい。無ければそのまま続行して下さい。";
constexpr std::string_view kSupportSiteNote =
    "新しい日付のバージョンまたは最新因子ウエイトはサポートサイトよりダウンロードして下さい。";

}  // namespace

fs::path WeightsMarkerPath() { return Option1nPath("KYOSOBA.dat"); }

std::string WeightsPresentText(std::string_view markerDateTime, WeightsNote note) {
    std::string text(kPresentHead);
    text += markerDateTime;
    text += kPresentTail;
    if (note == WeightsNote::WithSupportSite) text += kSupportSiteNote;
    return text;
}

std::optional<std::string> ShowWeightsPresent(Host& host, WeightsNote note) {
    const fs::path marker = WeightsMarkerPath();
    // Only a file counts: a folder of that name is not unpacked weights.
    std::error_code ec;
    if (!fs::is_regular_file(marker, ec)) return std::nullopt;
    const std::optional<std::string> dateTime = FileDateTimeText(marker);
    if (!dateTime) return std::nullopt;  // gone between the two looks
    host.setLabelColour(kLabelGreen);
    host.setStatus(StatusBox::Label1, WeightsPresentText(*dateTime, note));
    return dateTime;
}

}  // namespace common
