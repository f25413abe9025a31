#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "console_host.h"

namespace weekrun {

/// How a step ended: the last text of its status box, and whether that is the step's plain
/// success text (anything else says that something was missing, passed over or failed).
struct StepOutcome {
    std::string endText;
    bool plain = false;
};

/// One step of the week that runs without a window, through the same core call its window makes.
struct Step {
    std::string name;
    std::string help;
    std::function<StepOutcome(ConsoleHost&)> run;
};

/// Options that steps read (weekrun::Run sets them for its run and puts them back after it).
struct RunOptions {
    /// The data-service stand-in's settings file (its root folder and download pace).
    std::filesystem::path settingsFile;
    /// Odds source of the odds-tables step: 0 this week's odds, 1 breaking odds.
    std::int16_t oddsSource = 0;
};
RunOptions& Options();

/// Every step weekrun knows, in the order of the week.
const std::vector<Step>& Steps();

const Step* FindStep(std::string_view name);

}  // namespace weekrun
