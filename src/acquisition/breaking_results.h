#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"
#include "dataservice/jvlink.h"

// The breaking race, runner and payout records of given race dates, appended in their stored
// forms to RARIALTIME.dat, SERIALTIME.dat and HRRIALTIME.dat. Race cancellation and the breaking
// payouts both fetch them, each under its own step name.
namespace acquisition {

inline constexpr std::string_view kBreakingResultsSid = "SA583920/SD271539/TALMOR7THISWEEKN/ver.2020.3.2";
inline constexpr std::string_view kBreakingResultsDataSpec = "0B12";

/// Bounds of the reads of one date: a date brings a few thousand records at most, and the
/// next-file mark comes once per file; a code that stays is given up on after this many reads.
inline constexpr long kMaxBreakingResultReadsPerDate = 1000000;
inline constexpr long kMaxBreakingResultReadsWithoutRecord = 1000;

struct BreakingResultCounts {
    std::int64_t raAppended = 0;    // records appended to RARIALTIME.dat
    std::int64_t seAppended = 0;    // to SERIALTIME.dat
    std::int64_t hrAppended = 0;    // to HRRIALTIME.dat
    std::int64_t otherSkipped = 0;  // delivered records of other kinds
    std::int64_t failures = 0;      // dates with a part that failed, each logged under the step
    std::int64_t passedOver = 0;    // delivered RA, SE and HR records that were not whole (each logged)
};

/// Per date, in the order given: JVInit (a result other than 0: "JVInitエラー。RC=" and the
/// result; goes on), JVRTOpen "0B12" with the date (a negative result: no reads; other than -1 it
/// is logged), reads until 0 or -203, JVClose. Every read that returns a positive length has
/// exactly those bytes decoded and packed; RA, SE and HR go to their breaking file at record
/// count + 1 (one that is not whole, records::CheckRecord, is passed over and logged), other kinds
/// are skipped. -1 and every other code read on (a breaking open has no
/// stored file to delete and open again), up to kMaxBreakingResultReadsWithoutRecord reads in a
/// row without a record, which end the date's reads, logged with the last code. The files only
/// grow: they are never emptied here.
BreakingResultCounts FetchBreakingResultDates(dataservice::JVLink& link, common::Host& host,
                                              const std::vector<std::string>& dates, std::string_view step);

}  // namespace acquisition
