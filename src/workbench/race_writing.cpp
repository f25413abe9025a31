#include "workbench/race_writing.h"

#include <exception>

#include "workbench/day_rates.h"

namespace workbench {

RaceWriting::RaceWriting(RaceWriterTable table, const common::CodeTable& codes, BatchLog& log)
    : codes_(codes), log_(log) {
    for (const RaceWriterEntry& entry : table) {
        if (!entry.Make) continue;  // not built yet
        log.Step(entry.Name, [&] {
            std::unique_ptr<RaceWriter> writer = entry.Make();
            if (writer) writers_.push_back({entry.Name, std::move(writer)});
        });
    }
}

void RaceWriting::WriteRace(const RaceState& race) {
    // A day's tallies start at 0 the first time the run meets the day and are never reset
    // otherwise, so a day's races add up however the days' races interleave.
    DayTallies& day = days_.try_emplace(race.MeetingKey).first->second;
    notes_ = WriterNotes{};
    for (MadeWriter& made : writers_) {
        RaceContext context{race, day, notes_, dayFiles_, codes_, log_, made.name};
        try {
            made.writer->WriteRace(context);
        } catch (const std::exception& e) {
            context.PassedOver(e.what());
        } catch (...) {
            context.PassedOver("unknown failure");
        }
    }
    if (race.ResultMode == 1)
        log_.Race(race.RaceIdx, race.RaceKey12, "day rates", [&] { WriteDayRates(race, day, codes_); });
}

const DayTallies* RaceWriting::Day(std::string_view meetingKey) const {
    const auto it = days_.find(meetingKey);
    return it == days_.end() ? nullptr : &it->second;
}

}  // namespace workbench
