#include "supplementary/speed_writer.h"

#include <stdexcept>
#include <vector>

#include "common/numbers.h"
#include "common/paths.h"
#include "supplementary/speed_file.h"

namespace supplementary {

std::string SokudoRaceLine(const workbench::RaceState& race) {
    std::vector<SpeedEntry> entries;
    entries.reserve(static_cast<std::size_t>(race.RunnerCount));
    for (int h = 1; h <= race.RunnerCount; ++h) {
        const auto rank = common::StrictNumber(race.YosoRank(h));
        if (!rank || *rank != static_cast<std::int64_t>(*rank))
            throw std::runtime_error("horse " + std::to_string(h) + " has no rank");
        entries.push_back({SpeedOfValue(race.YosoValue(h)), static_cast<std::int64_t>(*rank)});
    }
    return SokudoLine(race.RaceId, entries);
}

void SokudoHrCsvWriter::WriteRace(workbench::RaceContext& context) {
    const workbench::RaceState& race = context.race;
    if (race.RaceId.size() != 16 || !common::IsDigits(race.RaceId))
        throw std::runtime_error("the race id cannot name its speed file");
    const std::string date = race.RaceId.substr(0, 8);
    const std::string line = SokudoRaceLine(race);
    const auto path = common::AppPath(SokudoHrCsv(date));
    // A race without runners has no line; the date's first race still starts the file afresh.
    if (!line.empty() || context.dayFiles.IsNew(path)) context.dayFiles.Append(path, line);
    lastSokudoDate_ = date;
}

}  // namespace supplementary
