#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "support/record_bytes.h"

// Fixtures of the weekly fetch: delivered records built byte by byte at 1-based positions.
namespace fetchtest {

// Record lengths as delivered (KS also as stored).
inline constexpr std::size_t kRaLength = 1272;
inline constexpr std::size_t kSeLength = 555;
inline constexpr std::size_t kUmLength = 1609;
inline constexpr std::size_t kKsLength = 4173;
inline constexpr std::size_t kKsStoredLength = 4161;
inline constexpr std::size_t kHrLength = 719;

/// Places bytes at 1-based position `at`; a fixture that overruns its record is a broken test.
using testsupport::Put;

/// A blank record of `length` bytes: kind at bytes 1-2, data kind at byte 3, `marker` from
/// byte 12 (where every kind has its first key field), CR LF as the last two bytes.
inline std::string Delivered(std::string_view kind, std::size_t length, char dataKind, std::string_view marker) {
    std::string record(length, ' ');
    Put(record, 1, kind);
    record[2] = dataKind;
    Put(record, 12, marker);
    Put(record, length - 1, "\r\n");
    return record;
}

inline std::string RA(std::string_view marker, char dataKind = '2') { return Delivered("RA", kRaLength, dataKind, marker); }
inline std::string SE(std::string_view marker, char dataKind = '2') { return Delivered("SE", kSeLength, dataKind, marker); }
inline std::string UM(std::string_view marker, char dataKind = '1') { return Delivered("UM", kUmLength, dataKind, marker); }
inline std::string HR(std::string_view marker, char dataKind = '2') { return Delivered("HR", kHrLength, dataKind, marker); }

/// A jockey record with ten-digit money in the first two prize fields of the first yearly block
/// (bytes 1020-1029 and 1030-1039 of the delivered record).
inline std::string KS(std::string_view marker) {
    std::string record = Delivered("KS", kKsLength, '1', marker);
    Put(record, 1016, "2024");
    Put(record, 1020, "1111111112");
    Put(record, 1030, "2222222223");
    return record;
}

/// The same jockey record as stored: the money fields keep their first nine digits, so the
/// second one starts at byte 1029, and the record is 12 bytes shorter.
inline std::string StoredKS(std::string_view marker) {
    std::string record(kKsStoredLength, ' ');
    Put(record, 1, "KS1");
    Put(record, 12, marker);
    Put(record, 1016, "2024");
    Put(record, 1020, "111111111");
    Put(record, 1029, "222222222");
    Put(record, kKsStoredLength - 1, "\r\n");
    return record;
}

}  // namespace fetchtest
