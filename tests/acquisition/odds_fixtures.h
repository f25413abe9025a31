#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "support/record_bytes.h"

// Odds and race records built byte by byte at the 1-based positions the record formats give, so
// that the tests do not lean on the layouts under test.
namespace oddstest {

/// Shape of an odds record of one kind: entries from byte 41, each Kumi, Odds, Ninki.
struct Shape {
    std::string_view tag;
    std::size_t entries;  // N
    std::size_t kumi;     // K
    std::size_t odds;     // D
    std::size_t ninki;    // P
    std::size_t length;   // whole record, CR LF included
    std::size_t EntryBytes() const { return kumi + odds + ninki; }
};

inline constexpr Shape kO1{"O1", 0, 0, 0, 0, 962};
inline constexpr Shape kO2{"O2", 153, 4, 6, 3, 2042};
inline constexpr Shape kO3{"O3", 153, 4, 10, 3, 2654};  // wide: a kind no odds file keeps
inline constexpr Shape kO4{"O4", 306, 4, 6, 3, 4031};
inline constexpr Shape kO5{"O5", 816, 6, 6, 3, 12293};
inline constexpr Shape kO6{"O6", 4896, 6, 7, 4, 83285};

using testsupport::Put;

/// Year, MonthDay, JyoCD, RaceNum of a RaceId.
inline std::string Key12(std::string_view raceId) {
    return std::string(raceId.substr(0, 10)) + std::string(raceId.substr(14, 2));
}

/// An odds record with blank entries: head "<tag>1" and make date at 1, RaceId at 12, CR LF at
/// the end; `fill` goes into every other byte (a blank record by default).
inline std::string OddsRecord(const Shape& shape, std::string_view raceId, char fill = ' ') {
    std::string r(shape.length, fill);
    Put(r, 1, shape.tag);
    Put(r, 3, "1");
    Put(r, 4, "20261210");
    Put(r, 12, raceId);
    Put(r, shape.length - 1, "\r\n");
    return r;
}

/// 1-based position of entry i (0-based) of a record.
inline std::size_t EntryAt(const Shape& shape, std::size_t i) { return 41 + i * shape.EntryBytes(); }

/// Writes entry i: Kumi and Odds as given, Ninki "001" style digits.
inline void PutEntry(std::string& record, const Shape& shape, std::size_t i, std::string_view kumi,
                     std::string_view odds) {
    if (kumi.size() != shape.kumi || odds.size() != shape.odds) throw std::invalid_argument("entry widths");
    const std::size_t at = EntryAt(shape, i);
    Put(record, at, kumi);
    Put(record, at + shape.kumi, odds);
    Put(record, at + shape.kumi + shape.odds, std::string(shape.ninki, '1'));
}

/// Digits of `value` padded with leading zeros to `width`.
inline std::string Digits(long value, std::size_t width) {
    std::string text = std::to_string(value);
    if (text.size() < width) text.insert(0, width - text.size(), '0');
    return text;
}

/// A 16-character RaceId: year 2026, month-day, course, meeting 01, day 02, race number.
inline std::string RaceId(std::string_view monthDay, std::string_view jyo, int raceNum) {
    return "2026" + std::string(monthDay.substr(0, 4)) + std::string(jyo.substr(0, 2)) + "0102" +
           Digits(raceNum % 100, 2);
}

/// Two digits per horse.
inline std::string Kumi(std::initializer_list<int> horses) {
    std::string k;
    for (int h : horses) k += Digits(h, 2);
    return k;
}

/// The combinations of 18 horses in the data service's order: pairs or triples, ordered (every
/// order) or ascending only.
inline std::vector<std::vector<int>> Combinations(int size, bool ordered) {
    std::vector<std::vector<int>> all;
    for (int a = 1; a <= 18; ++a)
        for (int b = 1; b <= 18; ++b) {
            if (b == a || (!ordered && b < a)) continue;
            if (size == 2) {
                all.push_back({a, b});
                continue;
            }
            for (int c = 1; c <= 18; ++c) {
                if (c == a || c == b || (!ordered && c < b)) continue;
                all.push_back({a, b, c});
            }
        }
    return all;
}

/// A full record of the kind: every combination listed in order; entry i has the odds digits
/// (i + 1) * 10, so that its value is the whole number i + 1.
inline std::string FullOddsRecord(const Shape& shape, std::string_view raceId) {
    const bool triple = shape.kumi == 6;
    const bool ordered = shape.tag == "O4" || shape.tag == "O6";
    const auto combos = Combinations(triple ? 3 : 2, ordered);
    if (combos.size() != shape.entries) throw std::logic_error("combination count");
    std::string r = OddsRecord(shape, raceId);
    for (std::size_t i = 0; i < combos.size(); ++i) {
        std::string kumi;
        for (int h : combos[i]) kumi += Digits(h, 2);
        PutEntry(r, shape, i, kumi, Digits(static_cast<long>(i + 1) * 10, shape.odds));
    }
    Put(r, EntryAt(shape, shape.entries), Digits(123456789, 11));  // TotalHyosu
    return r;
}

/// A stored RA record (1272 bytes) with its RaceId at byte 12.
inline std::string StoredRaceRecord(std::string_view raceId) {
    std::string r(1272, ' ');
    Put(r, 1, "RA7");
    Put(r, 4, "20261210");
    Put(r, 12, raceId);
    Put(r, 1271, "\r\n");
    return r;
}

}  // namespace oddstest
