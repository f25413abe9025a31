#pragma once

#include <string>
#include <initializer_list>
#include <string_view>

#include "common/encoding.h"

// Day files of stored meeting days as the weekly batch's result-mode run leaves them in TEKICHU:
// comma-separated lines, texts in double quotes, CP932, CR LF.
namespace historytest {

/// A quoted CP932 value.
inline std::string Q(std::string_view utf8) { return "\"" + common::ToCp932(utf8) + "\""; }

/// The title line of tekichu.txt (and of kaiteki*.txt): year, month, day, meeting, course, day.
inline std::string TitleLine(std::string_view year, std::string_view month, std::string_view day,
                             std::string_view kai, std::string_view course, std::string_view nichi) {
    return Q(std::string(year) + "年") + "," + Q(std::string(month) + "月") + "," + Q(std::string(day) + "日") + "," +
           Q(std::string(kai) + "回") + "," + Q(course) + "," + Q(std::string(nichi) + "日目") + "\r\n";
}

}  // namespace historytest

namespace historytest {

/// Quoted values joined into one line of a day file.
inline std::string Line(std::initializer_list<std::string_view> utf8Values) {
    std::string line;
    for (auto v : utf8Values) {
        if (!line.empty()) line += ",";
        line += Q(v);
    }
    return line + "\r\n";
}

/// lupRCM.txt lines of one race: "RC" with its eleven values, then "RR".
inline std::string RaceHead(std::string_view raceNum, std::string_view name, std::string_view distance,
                            std::string_view sd = "35") {
    return Line({"RC", "3", "1010", raceNum, "", name, "３歳未勝利", "", "芝", distance, sd, "晴良"}) +
           Line({"RR", "n", "w", "馬", "予", "人", "入", "性", "齢", "馬名", "負担", "騎手名", "調教師名", "推定タイム",
                 "実タイム", "推定上3F", "実上3F"});
}

/// An "HS" line: predicted order, bracket, horse number, predicted rank, popularity, finish, ...,
/// predicted time.
inline std::string Hs(std::string_view order, std::string_view waku, std::string_view umaban, std::string_view rank,
                      std::string_view ninki, std::string_view nyusen, std::string_view time) {
    return Line({"HS", order, waku, umaban, rank, ninki, nyusen, "牡", "3", "テストホース", "55.0", "騎手", "調教", time,
                 "1.35.0", "34.5", "35.0"});
}

/// The lines that close a race's horse lines.
inline std::string Q1() { return Line({"Q1", "x"}); }

}  // namespace historytest
