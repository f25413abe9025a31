#pragma once

#include <string>
#include <string_view>
#include <vector>

// Dates, the ten racecourses with their tracks, and which courses race on which day.
namespace demoweek {

/// A calendar day as a count of days since 1970-01-01 (negative before).
struct Day {
    int n = 0;
    int Year() const;
    int Month() const;
    int DayOfMonth() const;
    /// 0 Sunday .. 6 Saturday.
    int Weekday() const;
    std::string Ymd() const;       // "yyyymmdd"
    std::string MonthDay() const;  // "mmdd"
    Day Plus(int days) const { return Day{n + days}; }
    auto operator<=>(const Day&) const = default;
};

Day DayOf(int year, int month, int day);
/// "yyyymmdd" or "yyyy-mm-dd"; false when it is no valid date.
bool ParseDay(std::string_view text, Day& out);

enum class Surface { Turf, Dirt, Hurdle };

/// One way a course is run: its distance, track code and course part.
struct Layout {
    Surface surface;
    int distance;
    const char* track;        // TrackCD
    const char* courseKubun;  // CourseKubunCD, two characters
};

struct Course {
    const char* code;   // JyoCD
    const char* name;   // 札幌 ...
    const char* kana;
    const char* latin;  // Sapporo ...
    char region;        // which training centre's horses mostly run there: '1' east, '2' west
    std::vector<Layout> layouts;
};

/// The ten JRA racecourses, index 0 = "01".
const std::vector<Course>& Courses();
int CourseIndex(std::string_view jyoCD);

/// Courses racing on a day of the given month, most important first (three, or four when
/// asked for more). Indexes into Courses().
std::vector<int> CoursesOfMonth(int month, int count);

/// Meeting number of the year (Kaiji) and day of the meeting (Nichiji) of a race day at a
/// course: one meeting per month in which the course races, days counted from the month's first
/// race day.
void MeetingOf(Day day, int course, int& kaiji, int& nichiji);

/// YoubiCD of a race day: 1 Saturday, 2 Sunday, 3 a holiday (Monday racing), 4 to 8 weekdays.
char YoubiCode(Day day);

}  // namespace demoweek
