#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "support/record_bytes.h"

// Stored RA, SE and UM records for the structure-building tests, built from blanks with a few
// fields placed at their documented 1-based byte positions:
//   all three: RecordSpec 1-2, DataKubun 3, MakeDate 4-11; CR LF in the last two bytes
//   RA, SE:    Year 12-15, MonthDay 16-19, JyoCD 20-21, Kaiji 22-23, Nichiji 24-25, RaceNum 26-27
//   RA:        Hondai 33-92 (a tag telling the records apart)
//   SE:        Umaban 29-30, KettoNum 31-40, Bamei 41-76 (the tag)
//   UM:        KettoNum 12-21, Bamei 47-82 (the tag), pedigree: sire HansyokuNum 205-214,
//              dam HansyokuNum 251-260
namespace structuretest {

inline constexpr std::size_t kRaLength = 1272;
inline constexpr std::size_t kSeLength = 555;
inline constexpr std::size_t kUmLength = 1609;

using testsupport::Put;

inline std::string Blank(std::size_t length, std::string_view spec, char kubun, std::string_view makeDate) {
    std::string record(length, ' ');
    Put(record, 1, spec);
    record[2] = kubun;
    Put(record, 4, makeDate);
    Put(record, length - 1, "\r\n");
    return record;
}

/// A race identifier's parts at 12-27: date is yyyymmdd.
inline void PutRace(std::string& record, std::string_view date, std::string_view jyo, std::string_view raceNum,
                    std::string_view kaiji = "04", std::string_view nichiji = "02") {
    Put(record, 12, date);  // Year then MonthDay
    Put(record, 20, jyo);
    Put(record, 22, kaiji);
    Put(record, 24, nichiji);
    Put(record, 26, raceNum);
}

inline std::string Ra(char kubun, std::string_view date, std::string_view jyo, std::string_view raceNum,
                      std::string_view tag, std::string_view makeDate = "20241010") {
    std::string record = Blank(kRaLength, "RA", kubun, makeDate);
    PutRace(record, date, jyo, raceNum);
    Put(record, 33, tag);
    return record;
}

inline std::string Se(char kubun, std::string_view date, std::string_view jyo, std::string_view raceNum,
                      std::string_view umaban, std::string_view kettoNum, std::string_view tag,
                      std::string_view makeDate = "20241010") {
    std::string record = Blank(kSeLength, "SE", kubun, makeDate);
    PutRace(record, date, jyo, raceNum);
    Put(record, 29, umaban);
    Put(record, 31, kettoNum);
    Put(record, 41, tag);
    return record;
}

inline std::string Um(std::string_view kettoNum, std::string_view dam, std::string_view tag) {
    std::string record = Blank(kUmLength, "UM", '1', "20241010");
    Put(record, 12, kettoNum);
    Put(record, 47, tag);
    Put(record, 205, "1111111111");  // the sire, never a dam
    Put(record, 251, dam);
    return record;
}

inline std::string Join(const std::vector<std::string>& records) {
    std::string bytes;
    for (const std::string& r : records) bytes += r;
    return bytes;
}

/// The tags of a file's records, in order (the tag field trimmed of its blanks).
inline std::vector<std::string> Tags(std::string_view bytes, std::size_t length, std::size_t tagAt,
                                     std::size_t tagWidth) {
    std::vector<std::string> tags;
    for (std::size_t at = 0; at + length <= bytes.size(); at += length) {
        std::string tag(bytes.substr(at + tagAt - 1, tagWidth));
        tag.erase(tag.find_last_not_of(' ') + 1);
        tags.push_back(tag);
    }
    return tags;
}
inline std::vector<std::string> RaTags(std::string_view bytes) { return Tags(bytes, kRaLength, 33, 60); }
inline std::vector<std::string> SeTags(std::string_view bytes) { return Tags(bytes, kSeLength, 41, 36); }
inline std::vector<std::string> UmTags(std::string_view bytes) { return Tags(bytes, kUmLength, 47, 36); }

}  // namespace structuretest
