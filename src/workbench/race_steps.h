#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/code_table.h"
#include "common/host.h"
#include "workbench/batch_log.h"
#include "workbench/race_state.h"
#include "workbench/race_writing.h"

// The batch's work on one race (phase 11): its steps in order, each a function of the race's own
// state, each failure passed over for that step only. The steps are computed first, from the race
// alone, and their files written after, so that the computing may run on another core while the
// calling thread makes every file call.
namespace workbench {

/// What the steps of every race share.
struct RaceRun {
    common::Host& host;
    const common::CodeTable& codes;
    BatchLog& log;
    /// The run's writers, day files and day tallies.
    RaceWriting& writing;
};

/// A file of the race with its bytes, or a failed sub-step, in the order the steps meet them.
struct RaceOutput {
    std::string subStep;                 // as the log names it
    std::string relativePath;            // under the application folder; empty: nothing to write
    std::string bytes;
    std::optional<std::string> failure;  // why the sub-step failed: logged in its turn
};

/// What a race's steps make of it: the files up to its quinella sort file, then (once the race
/// shows in Text5) the others.
struct RaceComputed {
    std::vector<RaceOutput> beforeStatus;
    std::vector<RaceOutput> afterStatus;
};

/// Pending window events once, then the race's status text in Text5, so that the status boxes
/// move while the batch works.
void AnnounceRace(RaceRun& run, const RaceState& race);

/// Steps 1 to 4 of the race: the ranking, the tickets and the bytes of their files; the race
/// keeps its ranking and tickets for the writers. Touches nothing but `race` and reads `codes`,
/// and makes no file call and no log line.
RaceComputed ComputeRaceSteps(const common::CodeTable& codes, RaceState& race);

/// The race's files up to its quinella sort file, each failure logged in its turn; then the race
/// in Text5 (which lets window events through).
void WriteRaceUntilStatus(RaceRun& run, const RaceState& race, const RaceComputed& computed);

/// The race's other files, then its writers (steps 5 and 6).
void WriteRaceAfterStatus(RaceRun& run, const RaceState& race, const RaceComputed& computed);

}  // namespace workbench
