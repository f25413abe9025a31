#pragma once

#include <string>
#include <string_view>

#include "common/code_table.h"
#include "reports/report_lines.h"
#include "reports/tekichu.h"
#include "workbench/race_writer.h"

// The result report of every meeting day, TEKICHU/<MeetingKey>lup.txt (lupRCM.txt in result
// mode), and in result mode the day hit table TEKICHU/<MeetingKey>tekichu.txt.
namespace reports {

std::string LupFile(std::string_view meetingKey, bool resultMode);
std::string TekichuFile(std::string_view meetingKey);

/// A race's block of both day files, composed in memory.
struct LupRaceBlock {
    std::string Lup;
    std::string Tekichu;  // result mode only
    TekichuSummary Summary;
};

/// The race's block; `newLup` and `newTekichu` put the files' head lines first. Hits are added to
/// `tally`; what was left out is noted.
LupRaceBlock ComposeLupRace(const workbench::RaceState& race, const common::CodeTable& codes, bool newLup,
                            bool newTekichu, workbench::KaitekiTally& tally, LineNotes& notes);

/// WriteLupRace of the weekly batch: one open and one write per day file and race.
class LupRaceWriter final : public workbench::RaceWriter {
public:
    void WriteRace(workbench::RaceContext& context) override;
};

}  // namespace reports
