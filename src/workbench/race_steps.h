#pragma once

#include "common/code_table.h"
#include "common/host.h"
#include "workbench/batch_log.h"
#include "workbench/race_state.h"
#include "workbench/race_writing.h"

// The batch's work on one race (phase 11): its steps in order, each a function of the race's own
// state, each failure passed over for that step only.
namespace workbench {

/// What the steps of every race share.
struct RaceRun {
    common::Host& host;
    const common::CodeTable& codes;
    BatchLog& log;
    /// The run's writers, day files and day tallies.
    RaceWriting& writing;
};

/// Pending window events once, then the race's status text in Text5, so that the status boxes
/// move while the batch works.
void AnnounceRace(RaceRun& run, const RaceState& race);

/// The race's steps, in order.
void RunRaceSteps(RaceRun& run, RaceState& race);

}  // namespace workbench
