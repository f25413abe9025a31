#include "calendar.h"

#include <algorithm>

#include "common/numbers.h"

namespace demoweek {

namespace {

// Days from civil date and back (proleptic Gregorian), as in H. Hinnant's date algorithms.
int DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int z, int& y, int& m, int& d) {
    z += 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = z - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp + (mp < 10 ? 3 : -9);
    y = yoe + era * 400 + (m <= 2);
}

std::string Digits(int value, int width) {
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
    return s;
}

}  // namespace

int Day::Year() const { int y, m, d; CivilFromDays(n, y, m, d); return y; }
int Day::Month() const { int y, m, d; CivilFromDays(n, y, m, d); return m; }
int Day::DayOfMonth() const { int y, m, d; CivilFromDays(n, y, m, d); return d; }
int Day::Weekday() const { return ((n % 7) + 11) % 7; }  // 1970-01-01 was a Thursday

std::string Day::Ymd() const {
    int y, m, d;
    CivilFromDays(n, y, m, d);
    return Digits(y, 4) + Digits(m, 2) + Digits(d, 2);
}

std::string Day::MonthDay() const { return Ymd().substr(4); }

Day DayOf(int year, int month, int day) { return Day{DaysFromCivil(year, month, day)}; }

bool ParseDay(std::string_view text, Day& out) {
    std::string digits;
    for (char c : text)
        if (c != '-') digits += c;
    if (digits.size() != 8 || !common::IsDigits(digits)) return false;
    const int y = std::stoi(digits.substr(0, 4));
    const int m = std::stoi(digits.substr(4, 2));
    const int d = std::stoi(digits.substr(6, 2));
    if (m < 1 || m > 12 || d < 1 || d > 31) return false;
    const Day day = DayOf(y, m, d);
    if (day.Month() != m) return false;  // 31 April and the like
    out = day;
    return true;
}

const std::vector<Course>& Courses() {
    using S = Surface;
    // Turf: 10 straight, 11 left, 12 left outer, 13 left inner to outer, 17 right, 18 right outer,
    // 19 right inner to outer, 20 right outer to inner, 21 right inner two laps; dirt 23 left,
    // 24 right; hurdles 51 to 59.
    static const std::vector<Course> courses = {
        {"01", "札幌", "サッポロ", "Sapporo", '1',
         {{S::Turf, 1200, "17", "A "}, {S::Turf, 1500, "17", "A "}, {S::Turf, 1800, "17", "A "},
          {S::Turf, 2000, "17", "A "}, {S::Turf, 2600, "17", "A "}, {S::Dirt, 1000, "24", "  "},
          {S::Dirt, 1700, "24", "  "}, {S::Dirt, 2400, "24", "  "}}},
        {"02", "函館", "ハコダテ", "Hakodate", '1',
         {{S::Turf, 1200, "17", "A "}, {S::Turf, 1800, "17", "A "}, {S::Turf, 2000, "17", "A "},
          {S::Turf, 2600, "17", "A "}, {S::Dirt, 1000, "24", "  "}, {S::Dirt, 1700, "24", "  "},
          {S::Dirt, 2400, "24", "  "}}},
        {"03", "福島", "フクシマ", "Fukushima", '1',
         {{S::Turf, 1200, "17", "A "}, {S::Turf, 1800, "17", "B "}, {S::Turf, 2000, "17", "A "},
          {S::Turf, 2600, "17", "C "}, {S::Dirt, 1150, "24", "  "}, {S::Dirt, 1700, "24", "  "},
          {S::Dirt, 2400, "24", "  "}, {S::Hurdle, 2750, "54", "  "}, {S::Hurdle, 3380, "51", "  "}}},
        {"04", "新潟", "ニイガタ", "Niigata", '1',
         {{S::Turf, 1000, "10", "  "}, {S::Turf, 1200, "11", "A "}, {S::Turf, 1400, "11", "A "},
          {S::Turf, 1600, "12", "A "}, {S::Turf, 1800, "12", "A "}, {S::Turf, 2000, "11", "A "},
          {S::Turf, 2200, "11", "B "}, {S::Turf, 2400, "11", "A "}, {S::Dirt, 1200, "23", "  "},
          {S::Dirt, 1800, "23", "  "}, {S::Dirt, 2500, "23", "  "}, {S::Hurdle, 2850, "53", "  "},
          {S::Hurdle, 3250, "53", "  "}}},
        {"05", "東京", "トウキョウ", "Tokyo", '1',
         {{S::Turf, 1400, "11", "A "}, {S::Turf, 1600, "11", "B "}, {S::Turf, 1800, "11", "A "},
          {S::Turf, 2000, "11", "C "}, {S::Turf, 2300, "11", "D "}, {S::Turf, 2400, "11", "A "},
          {S::Turf, 2500, "11", "B "}, {S::Turf, 3400, "13", "A "}, {S::Dirt, 1300, "23", "  "},
          {S::Dirt, 1400, "23", "  "}, {S::Dirt, 1600, "23", "  "}, {S::Dirt, 2100, "23", "  "},
          {S::Hurdle, 3000, "52", "  "}, {S::Hurdle, 3110, "52", "  "}}},
        {"06", "中山", "ナカヤマ", "Nakayama", '1',
         {{S::Turf, 1200, "18", "A "}, {S::Turf, 1600, "18", "A "}, {S::Turf, 1800, "17", "C "},
          {S::Turf, 2000, "17", "A "}, {S::Turf, 2200, "18", "B "}, {S::Turf, 2500, "17", "A "},
          {S::Turf, 3600, "21", "A "}, {S::Dirt, 1200, "24", "  "}, {S::Dirt, 1800, "24", "  "},
          {S::Dirt, 2400, "24", "  "}, {S::Hurdle, 2880, "51", "  "}, {S::Hurdle, 3200, "55", "  "},
          {S::Hurdle, 3350, "51", "  "}, {S::Hurdle, 4100, "59", "  "}}},
        {"07", "中京", "チュウキョウ", "Chukyo", '2',
         {{S::Turf, 1200, "11", "A "}, {S::Turf, 1400, "11", "B "}, {S::Turf, 1600, "11", "A "},
          {S::Turf, 2000, "11", "A "}, {S::Turf, 2200, "11", "B "}, {S::Dirt, 1200, "23", "  "},
          {S::Dirt, 1400, "23", "  "}, {S::Dirt, 1800, "23", "  "}, {S::Dirt, 1900, "23", "  "},
          {S::Hurdle, 3000, "53", "  "}, {S::Hurdle, 3300, "53", "  "}}},
        {"08", "京都", "キョウト", "Kyoto", '2',
         {{S::Turf, 1200, "17", "B "}, {S::Turf, 1400, "18", "A "}, {S::Turf, 1600, "18", "B "},
          {S::Turf, 1800, "18", "A "}, {S::Turf, 2000, "17", "A "}, {S::Turf, 2200, "18", "C "},
          {S::Turf, 2400, "18", "A "}, {S::Turf, 3000, "18", "A "}, {S::Turf, 3200, "19", "A "},
          {S::Dirt, 1200, "24", "  "}, {S::Dirt, 1400, "24", "  "}, {S::Dirt, 1800, "24", "  "},
          {S::Dirt, 1900, "24", "  "}, {S::Hurdle, 2910, "54", "  "}, {S::Hurdle, 3170, "56", "  "}}},
        {"09", "阪神", "ハンシン", "Hanshin", '2',
         {{S::Turf, 1200, "17", "A "}, {S::Turf, 1400, "17", "A "}, {S::Turf, 1600, "18", "B "},
          {S::Turf, 1800, "18", "A "}, {S::Turf, 2000, "17", "A "}, {S::Turf, 2200, "17", "B "},
          {S::Turf, 2400, "18", "A "}, {S::Turf, 3000, "20", "A "}, {S::Turf, 3200, "19", "A "},
          {S::Dirt, 1200, "24", "  "}, {S::Dirt, 1400, "24", "  "}, {S::Dirt, 1800, "24", "  "},
          {S::Dirt, 2000, "24", "  "}, {S::Hurdle, 2970, "54", "  "}, {S::Hurdle, 3140, "57", "  "},
          {S::Hurdle, 3900, "58", "  "}}},
        {"10", "小倉", "コクラ", "Kokura", '2',
         {{S::Turf, 1200, "17", "A "}, {S::Turf, 1700, "17", "A "}, {S::Turf, 1800, "17", "B "},
          {S::Turf, 2000, "17", "A "}, {S::Turf, 2600, "17", "C "}, {S::Dirt, 1000, "24", "  "},
          {S::Dirt, 1700, "24", "  "}, {S::Dirt, 2400, "24", "  "}, {S::Hurdle, 2860, "54", "  "},
          {S::Hurdle, 3390, "54", "  "}}},
    };
    return courses;
}

int CourseIndex(std::string_view jyoCD) {
    const auto& all = Courses();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (jyoCD == all[i].code) return static_cast<int>(i);
    return -1;
}

std::vector<int> CoursesOfMonth(int month, int count) {
    // A simplified year of the JRA calendar: every course races in some months, so that three
    // years of past runs visit all ten.
    static const int kSchedule[12][4] = {
        {5, 7, 6, 9},  {4, 7, 9, 5},  {5, 8, 6, 2},  {5, 8, 2, 6},  {4, 7, 3, 8},  {4, 8, 1, 6},
        {2, 6, 1, 3},  {3, 9, 0, 1},  {5, 8, 0, 3},  {4, 7, 3, 9},  {4, 7, 2, 9},  {5, 8, 6, 9},
    };
    count = std::clamp(count, 1, 4);
    std::vector<int> out;
    for (int i = 0; i < count; ++i) out.push_back(kSchedule[(month - 1) % 12][i]);
    return out;
}

void MeetingOf(Day day, int course, int& kaiji, int& nichiji) {
    kaiji = 0;
    for (int m = 1; m <= day.Month(); ++m) {
        const auto courses = CoursesOfMonth(m, 4);
        if (std::find(courses.begin(), courses.end(), course) != courses.end()) ++kaiji;
    }
    if (kaiji == 0) kaiji = 1;
    // Race days of the month up to this one: Saturdays and Sundays.
    nichiji = 0;
    for (Day d = DayOf(day.Year(), day.Month(), 1); d <= day; d = d.Plus(1))
        if (d.Weekday() == 6 || d.Weekday() == 0 || d == day) ++nichiji;
    nichiji = std::clamp(nichiji, 1, 12);
}

char YoubiCode(Day day) {
    switch (day.Weekday()) {
        case 6: return '1';
        case 0: return '2';
        case 1: return '3';  // racing on a Monday is holiday racing
        default: return static_cast<char>('5' + day.Weekday() - 2);  // Tuesday 5 .. Friday 8
    }
}

}  // namespace demoweek
