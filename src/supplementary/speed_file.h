#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The per-date speed file SOKUDO/HR<yyyymmdd>.csv, the external index of the outside analysis
// program: one line per race, the race id, then per horse number its speed and predicted rank.
// The weekly batch and the rebuild from past result reports form their lines here.
namespace supplementary {

/// One horse number's two fields: the speed in whole metres per hour and the predicted rank.
struct SpeedEntry {
    std::uint64_t Speed = 0;
    std::int64_t Rank = 0;
};

/// The line of one race: `raceId` (16 digits), then for horse numbers 1, 2, ... (entries[0] is
/// horse 1) a comma, the speed, a comma and the rank as two digits (the last two digits of rank +
/// 100: 7 gives "07"); CR LF at the end. No entries give no line (""). Throws
/// std::invalid_argument when the race id is not 16 digits, so no line carries a broken id.
std::string SokudoLine(std::string_view raceId, std::span<const SpeedEntry> entries);

/// The speed field of a predicted speed in km/h: the product with 1000 taken in single precision
/// and rounded down. A product that is negative, not finite or beyond a whole number's range is 0.
std::uint64_t SpeedOfValue(float kmh);

/// SOKUDO/HR<date>.csv, relative to the application folder; `date` is yyyymmdd.
std::string SokudoHrCsv(std::string_view date);

}  // namespace supplementary
