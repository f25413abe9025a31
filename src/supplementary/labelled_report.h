#pragma once

#include <string>
#include <string_view>

#include "common/code_table.h"
#include "reports/report_lines.h"
#include "workbench/race_state.h"
#include "workbench/race_writer.h"

// The labelled day report of every meeting day, TEKICHU/<MeetingKey>twi.txt (twiRCM.txt in result
// mode): the race card with its captions in words and, in result mode, the hits in words and the
// payouts.
namespace supplementary {

std::string TwiFile(std::string_view meetingKey, bool resultMode);

/// The race's block; `newFile` puts the day file's head lines first. What was left out is noted.
std::string ComposeTwiRace(const workbench::RaceState& race, const common::CodeTable& codes, bool newFile,
                           reports::LineNotes& notes);

/// WriteTwiRace of the weekly batch: one write per race.
class TwiRaceWriter final : public workbench::RaceWriter {
public:
    void WriteRace(workbench::RaceContext& context) override;
};

}  // namespace supplementary
