#pragma once

#include <string>
#include <string_view>

#include "common/code_table.h"
#include "reports/report_lines.h"
#include "workbench/day_tallies.h"
#include "workbench/race_state.h"
#include "workbench/race_writer.h"

// The PC-variant day report of every meeting day, TEKICHU/<MeetingKey>lupPC.txt (lupRCMPC.txt in
// result mode), and in result mode its hit table TEKICHU/<MeetingKey>tekichuPC.txt.
namespace supplementary {

std::string LupPcFile(std::string_view meetingKey, bool resultMode);
std::string TekichuPcFile(std::string_view meetingKey);

/// A race's block of both day files, composed in memory.
struct LupPcRaceBlock {
    std::string LupPc;
    std::string TekichuPc;  // result mode only
};

/// The race's block; `newLupPc` and `newTekichuPc` put the files' head lines first. A result-mode
/// race whose payout record is its own is judged into `tallies`; what was left out is noted.
LupPcRaceBlock ComposeLupPcRace(const workbench::RaceState& race, const common::CodeTable& codes, bool newLupPc,
                                bool newTekichuPc, workbench::DayTallies& tallies, reports::LineNotes& notes);

/// WriteLupPcRace of the weekly batch: one write per day file and race; the day's tallies take
/// the race only once its hit table lines are written.
class LupPcRaceWriter final : public workbench::RaceWriter {
public:
    void WriteRace(workbench::RaceContext& context) override;
};

}  // namespace supplementary
