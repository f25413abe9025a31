#pragma once

#include <cstdint>
#include <string_view>

// The breaking payouts' merge: the arrival order, popularity, odds and times of the day's breaking
// runner records (SERIALTIME.dat), then the popularity and odds of the breaking win odds
// (O1RIALTIME.dat), written into element 0 of the runner records the weekly batch wrote.
namespace workbench {

/// The step's name in ERRORLOG.txt.
inline constexpr std::string_view kBreakingPayoutsStep = "MergeBreakingResults";

struct BreakingMergeSummary {
    std::int64_t runnersMerged = 0;   // breaking runner records written into a runner record
    std::int64_t runnersSkipped = 0;  // no race file, a bad key, a horse number outside the file
    std::int64_t oddsMerged = 0;      // win entries written
    std::int64_t oddsSkipped = 0;     // the same for win entries (blank entries are not counted)
    std::int64_t racesWritten = 0;    // race files rewritten
    std::int64_t failures = 0;        // files that could not be read or written (logged)
};

/// The runner merge, then the odds merge. Only existing records of existing race files change
/// (no file is created or extended); within each merge the last record in file order decides,
/// and every race file is read and written once.
BreakingMergeSummary MergeBreakingIntoRaceFiles();

}  // namespace workbench
