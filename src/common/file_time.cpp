#include "common/file_time.h"

#include <cstdio>
#include <ctime>
#include <system_error>

#include <sys/stat.h>

#include "common/numbers.h"

namespace common {

std::optional<std::string> FileDateTimeText(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    std::tm local{};
    localtime_r(&st.st_mtime, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
    return std::string(text);
}

std::optional<std::chrono::year_month_day> DateOfText(std::string_view text) {
    if (text.size() < 10) return std::nullopt;
    std::string_view d = text.substr(0, 10);
    if (!IsDigits(d.substr(0, 4)) || !IsDigits(d.substr(5, 2)) || !IsDigits(d.substr(8, 2))) return std::nullopt;
    std::chrono::year_month_day ymd{std::chrono::year{static_cast<int>(Val(d.substr(0, 4)))},
                                    std::chrono::month{static_cast<unsigned>(Val(d.substr(5, 2)))},
                                    std::chrono::day{static_cast<unsigned>(Val(d.substr(8, 2)))}};
    if (!ymd.ok()) return std::nullopt;
    return ymd;
}

long DaysBetween(std::chrono::year_month_day from, std::chrono::year_month_day to) {
    return static_cast<long>((std::chrono::sys_days{to} - std::chrono::sys_days{from}).count());
}

}  // namespace common
