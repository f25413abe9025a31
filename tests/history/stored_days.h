#pragma once

#include <string>
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
