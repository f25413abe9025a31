#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

namespace common {

/// A file's modification time in local time as "yyyy/mm/dd hh:mm:ss"; nothing for a missing file.
std::optional<std::string> FileDateTimeText(const std::filesystem::path& path);

/// The date of a "yyyy/mm/dd..." text (its first ten characters); nothing when it is not a date.
std::optional<std::chrono::year_month_day> DateOfText(std::string_view text);

/// Calendar days from `from` to `to` (negative when `to` is earlier).
long DaysBetween(std::chrono::year_month_day from, std::chrono::year_month_day to);

}  // namespace common
