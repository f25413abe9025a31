#pragma once

#include <array>
#include <exception>
#include <string>
#include <vector>

#include "common/code_table.h"
#include "common/host.h"
#include "workbench/batch_log.h"
#include "workbench/betting_files.h"
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

/// Bytes made ahead of their write, or the failure met making them.
struct MadeBytes {
    std::string bytes;
    std::exception_ptr failed;
    /// The bytes; throws the failure met making them.
    const std::string& Get() const;
};

/// What the race's steps compute, made before any of the race's files is written: the ranking and
/// the tickets (left in the race's state), the bytes of the KAIME and betting files, and the
/// writers' drafts. A failure is kept and thrown again where the step that met it is logged, so
/// that the log reads as if each part were made right before its write.
struct RaceStepWork {
    std::exception_ptr rankingFailed;
    std::vector<std::string> rankingNotes;
    MadeBytes sort, lupSort;
    std::exception_ptr ticketsFailed;
    KaimeSortFiles sorted;
    MadeBytes kaime;
    std::exception_ptr betsFailed;
    std::array<BetCsvFile, 5> bets;
    RaceWriting::Drafts writerDrafts;
};

/// The computing of the race's steps: no file call, no log, nothing shared but the code table and
/// the writers read, so that it may run on another thread while an earlier race is written.
RaceStepWork ComputeRaceSteps(const common::CodeTable& codes, const RaceWriting& writing, RaceState& race);

/// The race's steps, in order, from what ComputeRaceSteps made: their files, logs and status.
void RunRaceSteps(RaceRun& run, RaceState& race, const RaceStepWork& work);

}  // namespace workbench
