#include "acquisition/recent_races.h"

#include <algorithm>

#include "common/numbers.h"
#include "records/fields.h"
#include "records/week_record_file.h"

namespace acquisition {

std::vector<std::string> RecentRaceWindow(const std::filesystem::path& sortedRaceFile) {
    const records::WeekFileRA file(sortedRaceFile);
    const std::int64_t newest = file.Count();
    const std::int64_t oldest = std::max<std::int64_t>(1, newest - kRecentRaceCount + 1);
    std::vector<std::string> raceIds;
    raceIds.reserve(static_cast<std::size_t>(std::max<std::int64_t>(0, newest - oldest + 1)));
    records::StoredRA record;
    for (std::int64_t n = newest; n >= oldest; --n) {
        if (!file.Read(n, record)) continue;
        raceIds.emplace_back(record.Get(records::kRaceId<records::LayoutRA>));
    }
    return raceIds;
}

std::vector<std::string> RecentRaceDates(const std::filesystem::path& sortedRaceFile) {
    const records::WeekFileRA file(sortedRaceFile);
    const std::int64_t newest = file.Count();
    const std::int64_t oldest = std::max<std::int64_t>(1, newest - kRecentDateRecords + 1);
    std::vector<std::string> dates;
    records::StoredRA record;
    for (std::int64_t n = newest; n >= oldest && dates.size() < kMaxRecentDates; --n) {
        if (!file.Read(n, record)) continue;
        std::string date(record.Get(records::kYear<records::LayoutRA>));
        date.append(record.Get(records::kMonthDay<records::LayoutRA>));
        if (date.size() != 8 || !common::IsDigits(date)) continue;
        // The file is sorted by date, so a date seen once is not met again further down; the
        // check keeps the dates distinct even in a file that is not.
        if (std::find(dates.begin(), dates.end(), date) == dates.end()) dates.push_back(std::move(date));
    }
    return dates;
}

}  // namespace acquisition
