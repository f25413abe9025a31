#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The newest races of the sorted race file, which the breaking-news fetches work through.
namespace acquisition {

/// Races the breaking fetches look at: the newest 97 records of the sorted race file.
inline constexpr std::int64_t kRecentRaceCount = 97;

/// The RaceId (16 bytes: Year, MonthDay, JyoCD, Kaiji, Nichiji, RaceNum) of the records n, n-1,
/// ..., n-96 of a sorted race file of stored RA records, n being its record count: newest first,
/// never below record 1. A missing or empty file gives none.
std::vector<std::string> RecentRaceWindow(const std::filesystem::path& sortedRaceFile);

/// Race dates the cancellation fetch asks for: at most three, out of the newest 98 records.
inline constexpr std::int64_t kRecentDateRecords = 98;
inline constexpr std::size_t kMaxRecentDates = 3;

/// Up to three distinct race dates (Year and MonthDay, "yyyymmdd"), newest first, found in the
/// records n, n-1, ..., n-97 of a sorted race file of stored RA records, n being its record count,
/// never below record 1. A record whose date is not eight digits (a gap left in the file, a
/// damaged record) is no race date and is passed over. A missing or empty file gives none.
std::vector<std::string> RecentRaceDates(const std::filesystem::path& sortedRaceFile);

}  // namespace acquisition
