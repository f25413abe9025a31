#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "support/record_bytes.h"
#include "support/temp_folder.h"

// Fixtures of the race detail view: payout records built at the byte positions of the payout
// record (blocks counted from 0), sorted ticket files and odds tables written line by line.
namespace detailtest {

using testsupport::Put;

inline constexpr std::size_t kHrLength = 719;

/// A payout block: where its first entry starts (0-based), the length of an entry and the widths
/// of its combination and popularity fields (the payout is 9 wide between them).
struct Block {
    std::size_t start, entry, kumi, ninki;
};
inline constexpr Block kTansyo{102, 13, 2, 2};
inline constexpr Block kFukusyo{141, 13, 2, 2};
inline constexpr Block kWakuren{206, 13, 2, 2};
inline constexpr Block kUmaren{245, 16, 4, 3};
inline constexpr Block kWide{293, 16, 4, 3};
inline constexpr Block kReserved{405, 16, 4, 3};
inline constexpr Block kUmatan{453, 16, 4, 3};
inline constexpr Block kSanrenpuku{549, 18, 6, 3};
inline constexpr Block kSanrentan{603, 19, 6, 4};

/// A payout record of the race `raceId` (16 digits), blank payouts, CR LF at the end.
struct Hr {
    std::string bytes = std::string(kHrLength, ' ');
    explicit Hr(std::string_view raceId, std::string_view toroku = "16", char kind = '2') {
        Put(bytes, 1, "HR");
        bytes[2] = kind;
        Put(bytes, 4, "20250608");
        Put(bytes, 12, raceId);
        Put(bytes, 28, toroku);
        Put(bytes, 718, "\r\n");
    }
    /// Entry k (from 0) of a block: its combination, payout and popularity as stored.
    Hr& Entry(const Block& b, int k, std::string_view kumi, std::string_view pay, std::string_view ninki) {
        const std::size_t at = b.start + static_cast<std::size_t>(k) * b.entry + 1;
        Put(bytes, at, kumi);
        Put(bytes, at + b.kumi, pay);
        Put(bytes, at + b.kumi + 9, ninki);
        return *this;
    }
};

/// A sorted ticket file: one line per key, "key","tag","ticket",value.
inline std::string SortFile(std::string_view raceKey12, std::string_view tag, const std::vector<std::string>& keys) {
    std::string out;
    int value = 900;
    for (const std::string& k : keys)
        out += "\"" + std::string(raceKey12) + "\",\"" + std::string(tag) + "\",\"" + k + "\"," + std::to_string(value--) + ".5\r\n";
    return out;
}

/// An odds table of `lines` lines, "0" but for the lines given.
inline std::string OddsFile(std::size_t lines, const std::map<std::size_t, std::string>& set) {
    std::string out;
    for (std::size_t l = 0; l < lines; ++l) {
        const auto it = set.find(l);
        out += (it == set.end() ? std::string("0") : it->second) + "\r\n";
    }
    return out;
}

inline std::string Two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

/// Every pair (a < b) or trio of horses 1 to n in ascending horse order, as keys.
inline std::vector<std::string> AllPairs(int n) {
    std::vector<std::string> keys;
    for (int a = 1; a <= n; ++a)
        for (int b = a + 1; b <= n; ++b) keys.push_back(Two(a) + Two(b));
    return keys;
}
inline std::vector<std::string> AllTrios(int n) {
    std::vector<std::string> keys;
    for (int a = 1; a <= n; ++a)
        for (int b = a + 1; b <= n; ++b)
            for (int c = b + 1; c <= n; ++c) keys.push_back(Two(a) + Two(b) + Two(c));
    return keys;
}

}  // namespace detailtest
