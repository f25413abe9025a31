#include "supplementary/speed_file.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

#include "common/numbers.h"

namespace supplementary {

std::string SokudoLine(std::string_view raceId, std::span<const SpeedEntry> entries) {
    if (raceId.size() != 16 || !common::IsDigits(raceId)) {
        throw std::invalid_argument("speed file: race id is not 16 digits: " + std::string(raceId));
    }
    if (entries.empty()) return {};
    std::string line(raceId);
    line.reserve(16 + entries.size() * 10 + 2);
    char digits[24];
    for (const SpeedEntry& entry : entries) {
        line += ',';
        const auto end = std::to_chars(digits, digits + sizeof digits, entry.Speed).ptr;
        line.append(digits, end);
        line += ',';
        line += common::TwoDigits(entry.Rank);
    }
    line += "\r\n";
    return line;
}

std::uint64_t SpeedOfValue(float kmh) {
    const float product = kmh * 1000.0f;
    // 2^64 as a float; anything at or above it has no whole-number field.
    constexpr float kBeyond = 18446744073709551616.0f;
    if (!std::isfinite(product) || product < 0.0f || product >= kBeyond) return 0;
    return static_cast<std::uint64_t>(std::floor(product));
}

std::string SokudoHrCsv(std::string_view date) { return "SOKUDO/HR" + std::string(date) + ".csv"; }

}  // namespace supplementary
