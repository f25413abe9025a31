#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/breaking_results.h"
#include "common/host.h"
#include "dataservice/jvlink.h"

// The breaking payouts of race day: the breaking win odds of the newest races and the breaking
// results of the newest race dates are fetched, then merged. The merge: the arrival order, popularity, odds and times of the day's breaking
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
    std::int64_t recordsPassedOver = 0;  // damaged records of SERIALTIME.dat, O1RIALTIME.dat and the race files (logged)
};

/// The runner merge, then the odds merge. Only existing records of existing race files change
/// (no file is created or extended); within each merge the last record in file order decides,
/// and every race file is read and written once. A race file with a damaged record (the record
/// check) is left as it was. Without `mergeOdds` O1RIALTIME.dat is not read.
BreakingMergeSummary MergeBreakingIntoRaceFiles(bool mergeOdds = true);

/// Reads made for one race of the odds fetch at most.
inline constexpr int kMaxWinOddsReadsPerRace = 6;

struct WinOddsFetchSummary {
    std::int64_t connections = 0;  // races asked for
    std::int64_t linesKept = 0;    // O1 lines appended to O1RIALTIME.dat
    std::int64_t failures = 0;     // logged
    std::int64_t recordsPassedOver = 0;  // damaged records of RATHISWEEKN.dat (logged)
    bool written = false;          // O1RIALTIME.dat replaced with this fetch's lines
};

/// For each race of the RecentRaceWindow of RATHISWEEKN.dat (the
/// order of arrival), newest first: JVInit (a result other than 0: "JVInitエラー。RC=" and the
/// result, once per connection; goes on), JVRTOpen "0B30" with the RaceId, at most six reads,
/// JVClose. -1 ends a race's reads; 0 and other codes count toward the six. An O1 record is kept
/// only from a read that returned a positive length, and only the bytes that read delivered (with
/// CR LF added when it lacks one). O1RIALTIME.dat is then replaced with the lines kept, through a
/// scratch file. A failure (a file that cannot be read or written) is logged and the rest of the
/// fetch is abandoned.
WinOddsFetchSummary FetchBreakingWinOdds(dataservice::JVLink& link, common::Host& host);

struct ResultsFetchSummary {
    std::vector<std::string> dates;  // RecentRaceDates of RATHISWEEKNNEW.dat, newest first
    acquisition::BreakingResultCounts counts;
};

/// FetchBreakingResultDates of the RecentRaceDates of RATHISWEEKNNEW.dat, under this step's name.
ResultsFetchSummary FetchBreakingResults(dataservice::JVLink& link, common::Host& host);

struct BreakingPayoutsSummary {
    WinOddsFetchSummary odds;
    ResultsFetchSummary results;
    BreakingMergeSummary merge;
    /// 1 when this week's race files were missing or empty (each named in the log).
    std::int64_t inputsMissing = 0;
    /// 1 when O1RIALTIME.dat was kept, as RATHISWEEKN.dat held no race to fetch the odds of.
    std::int64_t outputsKept = 0;
    /// The mark that could not be set or removed (logged).
    std::int64_t markFailures = 0;
    /// End-text parts naming the marked steps whose files were read unfinished (logged).
    std::vector<std::string> unfinishedInputs;
    /// Everything logged along the way: missing inputs, fetch and merge failures, damaged records
    /// passed over.
    std::int64_t Failures() const {
        return inputsMissing + markFailures + odds.failures + results.counts.failures + merge.failures +
               odds.recordsPassedOver + results.counts.passedOver + merge.recordsPassedOver;
    }
};

/// Ⅲ's end text: done, or done with failures passed over, followed by a note in brackets that
/// names the marked steps whose files were read unfinished and the outputs kept.
std::string BreakingPayoutsEndText(const BreakingPayoutsSummary& summary);

/// The breaking-payouts window's load: FetchBreakingWinOdds, FetchBreakingResults, then the
/// runner merge and the odds merge. Each step goes on after the failures of the one before.
/// When RATHISWEEKN.dat holds no race the win odds are not fetched, and O1RIALTIME.dat stays as
/// it was. BREAKINGPAYOUTS.mark stands from the start of the run to its end.
BreakingPayoutsSummary MergeBreakingResults(dataservice::JVLink& link, common::Host& host);

}  // namespace workbench
