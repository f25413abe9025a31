#pragma once

#include <string>
#include <string_view>

#include "common/code_table.h"
#include "workbench/day_tallies.h"
#include "workbench/race_state.h"

// The meeting day's hit and return rates, which the batch computes in result mode after the
// writers of every race and writes to the day's two rate files in TEKICHU.
namespace workbench {

/// Stake of one tier in one race, in yen (100 yen a ticket): 6 pairs, 7 trios, 7 trios in 6 orders.
std::int64_t TierStake(TierKind kind);

/// The day's rates from its tallies and DayRaceCount, truncated to tenths of a percent: hit
/// rates over DayRaceCount, return rates over the money staked (the single-ticket PC kinds one
/// ticket a race, the other PC kinds their TicketTotal). A rate whose divisor is 0 is none.
void ComputeDayRates(DayTallies& day);

/// TEKICHU/<MeetingKey>kaiteki.txt and TEKICHU/<MeetingKey>kaitekiPC.txt under AppFolder.
std::string KaitekiFile(std::string_view meetingKey);
std::string KaitekiPcFile(std::string_view meetingKey);

/// Step 6 of a result-mode race: raises DayRaceCount to the race's number when that is higher,
/// computes the day's rates and rewrites both rate files whole, each through a scratch file and a
/// rename. Throws when the race's keys cannot name a file or a file cannot be written.
void WriteDayRates(const RaceState& race, DayTallies& day, const common::CodeTable& codes);

}  // namespace workbench
