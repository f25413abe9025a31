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

}  // namespace acquisition
