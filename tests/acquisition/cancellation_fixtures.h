#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "structure_fixtures.h"

// Race, runner and payout records for the race-cancellation tests, built from blanks with fields
// at their documented 1-based byte positions:
//   all three: RecordSpec 1-2, DataKubun 3, MakeDate 4-11, CR LF in the last two bytes;
//              RaceId 12-27: Year 12-15, MonthDay 16-19, JyoCD 20-21, Kaiji 22-23, Nichiji 24-25,
//              RaceNum 26-27
//   RA:        Hondai 33-92 (a tag telling the records apart)
//   SE:        Umaban 29-30, KettoNum 31-40, Bamei 41-76 (the tag)
//   HR:        719 bytes, nothing placed past the RaceId
namespace cancellationtest {

using structuretest::Join;
using structuretest::Put;

inline constexpr std::size_t kRaLength = 1272;
inline constexpr std::size_t kSeLength = 555;
inline constexpr std::size_t kHrLength = 719;

/// Where a race stands: date yyyymmdd, racecourse, meeting, day of the meeting, race number.
struct At {
    std::string date, jyo, kaiji, nichiji, raceNum;
};

inline std::string Head(std::size_t length, std::string_view spec, char kubun, const At& at,
                        std::string_view makeDate) {
    std::string record = structuretest::Blank(length, spec, kubun, makeDate);
    Put(record, 12, at.date);
    Put(record, 20, at.jyo);
    Put(record, 22, at.kaiji);
    Put(record, 24, at.nichiji);
    Put(record, 26, at.raceNum);
    return record;
}

inline std::string Race(char kubun, const At& at, std::string_view tag, std::string_view makeDate = "20241010") {
    std::string record = Head(kRaLength, "RA", kubun, at, makeDate);
    Put(record, 33, tag);
    return record;
}

inline std::string Runner(char kubun, const At& at, std::string_view umaban, std::string_view kettoNum,
                          std::string_view tag, std::string_view makeDate = "20241010") {
    std::string record = Head(kSeLength, "SE", kubun, at, makeDate);
    Put(record, 29, umaban);
    Put(record, 31, kettoNum);
    Put(record, 41, tag);
    return record;
}

inline std::string Payout(const At& at, std::string_view makeDate = "20241014") {
    return Head(kHrLength, "HR", '2', at, makeDate);
}

/// A key list file: each key in double quotes, CR LF.
inline std::string KeyList(const std::vector<std::string>& keys) {
    std::string out;
    for (const std::string& k : keys) out += "\"" + k + "\"\r\n";
    return out;
}

}  // namespace cancellationtest
