#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace weekrun {

/// Exit codes of Run.
inline constexpr int kAllStepsPlain = 0;   ///< every step ended with its plain success text, nothing failed
inline constexpr int kStepsFailed = 1;     ///< a step failed, passed something over or could not log it
inline constexpr int kNotRun = 2;          ///< wrong arguments, no such folder, the folder is locked or cannot be

/// What the weekrun program does with its arguments (`args` without the program's name):
///   --app DIR [--quiet] [--times] [--settings FILE] [--odds-source 0|1] step...
/// Holds the application folder's lock (the program's own) for the whole run; a folder another
/// program or weekrun holds, or one where no lock file can be opened, is refused. Runs the steps
/// in order: status texts and messages go to `err`, what a step lists to `out`. A step fails when it threw, when its end text is not its
/// plain success text, when ERRORLOG.txt grew, or when the log could not take an entry (those
/// are written to `err`). Leaves nothing behind for the next call: AppFolder, the options and
/// the odds source are as they were, and the lock is released.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace weekrun
