#include "acquisition/recent_races.h"

#include <algorithm>
#include <deque>

#include "common/numbers.h"
#include "records/fields.h"
#include "records/week_record_file.h"

namespace acquisition {

namespace {

// The RaceIds of the newest `window` whole records of a sorted race file, newest first. The file
// is read forward, so that a damaged record (passed over and logged) or a shifted rest cannot
// stand in the place of the newest races.
std::deque<std::string> NewestRaceIds(const std::filesystem::path& sortedRaceFile, std::int64_t window,
                                      std::string_view step, std::int64_t* passedOver) {
    std::deque<std::string> newestFirst;
    using RaceView = records::RecordView<records::LayoutRA>;
    const std::int64_t damaged = records::WeekFileRA(sortedRaceFile).ForEach(step, [&](std::int64_t, RaceView ra) {
        newestFirst.emplace_front(ra.Get(records::kRaceId<records::LayoutRA>));
        if (static_cast<std::int64_t>(newestFirst.size()) > window) newestFirst.pop_back();
    });
    if (passedOver) *passedOver += damaged;
    return newestFirst;
}

}  // namespace

std::vector<std::string> RecentRaceWindow(const std::filesystem::path& sortedRaceFile, std::string_view step,
                                          std::int64_t* passedOver) {
    std::deque<std::string> ids = NewestRaceIds(sortedRaceFile, kRecentRaceCount, step, passedOver);
    return std::vector<std::string>(std::make_move_iterator(ids.begin()), std::make_move_iterator(ids.end()));
}

std::vector<std::string> RecentRaceDates(const std::filesystem::path& sortedRaceFile, std::string_view step,
                                         std::int64_t* passedOver) {
    std::vector<std::string> dates;
    for (const std::string& raceId : NewestRaceIds(sortedRaceFile, kRecentDateRecords, step, passedOver)) {
        if (dates.size() == kMaxRecentDates) break;
        std::string date = raceId.substr(0, 8);  // Year and MonthDay
        if (date.size() != 8 || !common::IsDigits(date)) continue;
        // The file is sorted by date, so a date seen once is not met again further down; the
        // check keeps the dates distinct even in a file that is not.
        if (std::find(dates.begin(), dates.end(), date) == dates.end()) dates.push_back(std::move(date));
    }
    return dates;
}

}  // namespace acquisition
