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

/// Writes the tiny week into `folder` as a Monday finds it: the folder holds what `steps` of
/// weekrun (the program `weekrun`) wrote over the week before, whose records the data service
/// served then, and the data service now serves the tiny week's. True when it was all written
/// and every step ran; ERRORLOG.txt is then gone.
bool MakeTinyWeekOverLastWeek(const std::string& demoweek, const std::string& weekrun, const TempAppFolder& folder,
                              const std::vector<std::string>& steps);

/// Empties the folder and writes the snapshot's files back into it.
void Restore(const TempAppFolder& folder, const Snapshot& snapshot);

/// Runs a shell command; its exit status, or -1 when it did not exit.
int RunCommand(const std::string& command);

/// The file calls weekrun reports for a step (--count-file-calls) in its error output; -1 when
/// it reports none.
long FileCallsOf(const std::string& weekrunErr);

/// True when a sweep covers `step`: every step, or those listed in SWEEP_STEPS="a b" (the steps
/// before them still run, unswept).
bool InSweep(const std::string& step);

/// Files whose content is not a step's output: the log, the lock file a killed run leaves, and
/// what the data service's stand-in keeps for itself.
bool Volatile(const std::string& name);

/// The breaking-news files, to which cancellation and breaking payouts append what they fetch on
/// every run.
bool AppendedEveryRun(const std::string& name);

/// What differs between two snapshots, outside the volatile files (and, with `appendsToo` false,
/// the files appended to on every run): one line per file.
std::vector<std::string> Differences(const Snapshot& a, const Snapshot& b, bool appendsToo = true);

/// What a step's run left damaged, compared with the folder before it (`before`) and with a clean
/// run's (`clean`): a file that held something is gone (the clean run keeps it), emptied or cut,
/// one line each ("emptied: <name>").
std::vector<std::string> LostFiles(const Snapshot& before, const Snapshot& clean, const Snapshot& after);

/// The snapshot without the scratch files a rewrite writes before its rename ("<name>.partial",
/// TEMPORARY), which a killed run leaves behind and no step reads.
Snapshot WithoutScratchFiles(Snapshot snapshot);

/// The step marks (common::kStepMarks) that stand in a snapshot, by file name.
std::vector<std::string> StandingMarks(const Snapshot& snapshot);

/// The first `most` lines, each on a line of its own, and how many more there are.
std::string Joined(const std::vector<std::string>& lines, std::size_t most = 8);

}  // namespace testsupport
