#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_folder.h"

// What the sweeps over a tiny week share: every file of the folder held in memory, put back
// between runs, and compared with what a clean run leaves.
namespace testsupport {

using Snapshot = std::map<std::string, std::string>;  // relative path -> bytes

/// The folder the tiny week's data service serves from, named in its settings file: not the
/// default one, so that settings read as defaults find no data instead of passing for a good run.
inline constexpr std::string_view kTinyWeekServiceFolder = "service";

/// Writes the tiny week the sweeps run on into `folder` with the demo-week program `demoweek`: one
/// day after the results, one course, two races of 4 to 6 runners, four past runs a horse, one
/// past week; the data service's records in kTinyWeekServiceFolder, served at a pace of its own.
/// True when it was written.
bool MakeTinyWeek(const std::string& demoweek, const TempAppFolder& folder);

/// Empties the folder and writes the snapshot's files back into it.
void Restore(const TempAppFolder& folder, const Snapshot& snapshot);

/// Runs a shell command; its exit status, or -1 when it did not exit.
int RunCommand(const std::string& command);

/// Files whose content is not a step's output: the log, and what the data service's stand-in
/// keeps for itself.
bool Volatile(const std::string& name);

/// The breaking-news files, to which cancellation and breaking payouts append what they fetch on
/// every run.
bool AppendedEveryRun(const std::string& name);

/// What differs between two snapshots, outside the volatile files (and, with `appendsToo` false,
/// the files appended to on every run): one line per file.
std::vector<std::string> Differences(const Snapshot& a, const Snapshot& b, bool appendsToo = true);

/// Files of `before` that held something and that `after` left empty, cut or gone, where neither
/// the old file nor the clean run's (`clean`) explains it: one line per file.
std::vector<std::string> LostFiles(const Snapshot& before, const Snapshot& clean, const Snapshot& after);

/// The first `most` lines, each on a line of its own, and how many more there are.
std::string Joined(const std::vector<std::string>& lines, std::size_t most = 8);

}  // namespace testsupport
