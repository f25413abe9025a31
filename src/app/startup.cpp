#include "app/startup.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/error_log.h"
#include "common/record_file.h"
#include "common/file_time.h"
#include "common/paths.h"
#include "common/step_marks.h"
#include "common/weights_marker.h"
#include "common/working_folders.h"

namespace app {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kStep = "MainMenuStartUp";

// Message boxes of the start-up name the folder the weights belong in.
std::string WithAppFolder(std::string_view text) {
    return common::AppFolder() + std::string(text);
}

// Deletes a file; a missing one is passed by, and a folder of that name is left alone (logged).
void DeleteFile(const fs::path& path) {
    if (fs::is_directory(fs::symlink_status(path)))
        throw std::runtime_error("not a file, left in place: " + path.string());
    common::RemoveFile(path);
}

}  // namespace

void MainMenuStartUp(common::Host& host) {
    common::CreateWorkingFolders(kStep);

    std::optional<std::string> markerDateTime;
    common::PassOver(kStep, [&] {
        markerDateTime = common::ShowWeightsPresent(host);
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

    // A step cut short left its files partly new and partly old: each is named, to be run again.
    std::vector<common::MarkedStep> standing;
    common::PassOver(kStep, [&] { standing = common::StandingStepMarks(); });
    for (common::MarkedStep step : standing)
        common::PassOver(kStep, [&] { host.messageBox(common::MarkOf(step).unfinished); });

    common::PassOver(kStep, [&] { host.setStatus(common::StatusBox::Text2, kStartUpReminder); });
}

}  // namespace app
