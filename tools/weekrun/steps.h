#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "console_host.h"

namespace weekrun {

/// One step of the week that runs without a window, through the same core call its window makes.
struct Step {
    std::string name;
    std::string help;
    std::function<void(ConsoleHost&)> run;
};

/// Every step weekrun knows, in the order of the week.
const std::vector<Step>& Steps();

const Step* FindStep(std::string_view name);

}  // namespace weekrun
