#include "acquisition/recent_races.h"

#include <algorithm>

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

}  // namespace acquisition
