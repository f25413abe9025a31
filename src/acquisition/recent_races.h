#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The newest races of the sorted race file, which the breaking-news fetches work through.
namespace acquisition {

/// Races the breaking fetches look at: the newest 97 records of the sorted race file.
inline constexpr std::int64_t kRecentRaceCount = 97;

/// The RaceId (16 bytes: Year, MonthDay, JyoCD, Kaiji, Nichiji, RaceNum) of the newest 97 whole
/// records of a sorted race file of stored RA records (the records n, n-1, ..., n-96 of a file
/// of n whole records): newest first, never below record 1. A damaged record is passed over and
/// logged under `step`, and a shifted one ends the file there (records::RecordFileCheck); their
/// count is added to `passedOver`. A missing or empty file gives none.
std::vector<std::string> RecentRaceWindow(const std::filesystem::path& sortedRaceFile, std::string_view step,
                                          std::int64_t* passedOver = nullptr);

/// Race dates the cancellation fetch asks for: at most three, out of the newest 98 records.
inline constexpr std::int64_t kRecentDateRecords = 98;
inline constexpr std::size_t kMaxRecentDates = 3;

/// Up to three distinct race dates (Year and MonthDay, "yyyymmdd"), newest first, found in the
/// newest 98 whole records of a sorted race file of stored RA records, never below record 1. A
/// record whose date is not eight digits is no race date. Damaged records are passed over as in
/// RecentRaceWindow. A missing or empty file gives none.
std::vector<std::string> RecentRaceDates(const std::filesystem::path& sortedRaceFile, std::string_view step,
                                         std::int64_t* passedOver = nullptr);

}  // namespace acquisition
