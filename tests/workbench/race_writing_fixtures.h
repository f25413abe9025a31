#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/code_table.h"
#include "common/encoding.h"
#include "workbench/race_state.h"
#include "workbench/race_writer.h"

// Writers of the tests' own, and the race states they are called with: only the identity of each
// race, which is all the batch's own steps 5 and 6 read.
namespace writertest {

/// The eleven writers' names in the batch's order.
inline const std::vector<std::string> kNames{
    "WriteShutsubahyoRace", "WriteLupRace",      "WriteLupPcRace", "WriteTwiRace",
    "WriteTanfuku1",        "WriteTanfuku2",     "WriteTanshoCsv", "WriteDayBlockText",
    "WriteRacePage",        "WriteDayPrintPage", "WriteSokudoHrCsv"};

/// A race of the given 16-digit RaceId; its keys are cut from it by hand.
inline workbench::RaceState Race(int raceIdx, std::string_view raceId, std::int16_t resultMode) {
    workbench::RaceState race;
    race.RaceIdx = raceIdx;
    race.ResultMode = resultMode;
    race.RaceId = std::string(raceId);
    race.RaceKey12 = std::string(raceId.substr(0, 10)) + std::string(raceId.substr(14, 2));
    race.MeetingKey = std::string(raceId.substr(0, 14));
    race.RaceNum = std::string(raceId.substr(14, 2));
    return race;
}

/// A code table that knows course 05 (東京) and no other.
inline common::CodeTable Codes() {
    return common::CodeTable::FromCp932(common::ToCp932("2001,05,x,x,東京,x,x,x\r\n2001,06,x,x,中山,x,x,x\r\n"));
}

/// A writer that does what the test says.
class ScriptedWriter final : public workbench::RaceWriter {
public:
    explicit ScriptedWriter(std::function<void(workbench::RaceContext&)> work) : work_(std::move(work)) {}
    void WriteRace(workbench::RaceContext& context) override { work_(context); }

private:
    std::function<void(workbench::RaceContext&)> work_;
};

/// A table of the eleven names; entry i runs work(i, context) unless `missing` names it.
inline std::vector<workbench::RaceWriterEntry> Table(std::function<void(std::size_t, workbench::RaceContext&)> work,
                                                     std::vector<std::size_t> missing = {}) {
    std::vector<workbench::RaceWriterEntry> table;
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        workbench::RaceWriterEntry entry{kNames[i], {}};
        if (std::find(missing.begin(), missing.end(), i) == missing.end())
            entry.Make = [i, work] {
                return std::make_unique<ScriptedWriter>([i, work](workbench::RaceContext& c) { work(i, c); });
            };
        table.push_back(std::move(entry));
    }
    return table;
}

}  // namespace writertest
