#pragma once

#include <filesystem>

#include "world.h"

// The stand-in data service's folder: stored/<ID>/<files> per data-spec id, served in name order,
// and realtime/0B12/<yyyymmdd> and realtime/0B30/<RaceId> for breaking news.
namespace demoweek {

struct JvDataCounts {
    long long ra = 0, se = 0, hr = 0, um = 0, ks = 0, odds = 0, storedFiles = 0, realtimeFiles = 0;
};

/// True when the data service holds a payout record of the race in that state: this week's races
/// that were run, once the results are in.
bool HasPayoutRecord(const Race& race, WeekState state);

/// The race whose payout record the after state delivers twice (an earlier version, a day older
/// and with another win payout, right before the final one): the week's second race with a
/// payout record; -1 when there is none (the before state).
int DoubledPayoutRace(const World& world, WeekState state);

/// Replaces `root`/stored and `root`/realtime with the week in the given state.
JvDataCounts WriteJvData(const World& world, WeekState state, const std::filesystem::path& root);

}  // namespace demoweek
