#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "support/record_bytes.h"

// Fixtures: records built byte by byte at 1-based positions, as the layouts document them.
namespace recordtest {

inline std::string Blanks(std::size_t length) { return std::string(length, ' '); }

/// Places bytes at 1-based position `at`; a fixture that overruns its record is a broken test.
using testsupport::At;
using testsupport::Put;

/// A blank record of `length` bytes with head, race identifier (when given) and CR LF.
inline std::string RaceRecord(std::size_t length, std::string_view kind, char kubun,
                              std::string_view makeDate, std::string_view raceId) {
    std::string record = Blanks(length);
    Put(record, 1, kind);
    record[2] = kubun;
    Put(record, 4, makeDate);
    Put(record, 12, raceId);
    Put(record, length - 1, "\r\n");
    return record;
}

// Shift-JIS bytes written out, so that fixtures do not lean on the converter under test.
inline constexpr std::string_view kSjisA = "\x83\x41";        // ア
inline constexpr std::string_view kSjisHana = "\x89\xd4";     // 花
inline constexpr std::string_view kHalfSaKuRa = "\xbb\xb8\xd7";  // ｻｸﾗ (half-width, one byte each)

}  // namespace recordtest
