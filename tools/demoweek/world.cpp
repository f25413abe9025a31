#include "world.h"

namespace demoweek {

namespace {
std::string Two(int v) { return std::string(1, static_cast<char>('0' + v / 10 % 10)) + static_cast<char>('0' + v % 10); }
}  // namespace

std::string Race::RaceId() const {
    return day.Ymd() + Courses()[static_cast<std::size_t>(course)].code + Two(kaiji) + Two(nichiji) + Two(raceNum);
}

Day World::FetchDay(WeekState state) const {
    // Race cards come out on the Friday; the results are final the day after the last race day.
    return state == WeekState::Before ? saturday.Plus(-1) : weekDays.back().Plus(1);
}

}  // namespace demoweek
