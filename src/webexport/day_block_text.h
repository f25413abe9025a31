#pragma once

#include <string>

#include "webexport/day_texts.h"
#include "webexport/page_values.h"
#include "workbench/race_state.h"
#include "workbench/race_writer.h"

// The block-editor text of a meeting day, tarnel_paddy_wp/<yyyymmdd>-<romaji>.txt: per race a
// heading block and two table blocks (tickets, race card), and "Finish" once race 12 has come.
namespace webexport {

/// The line that ends a day whose race 12 has been written.
inline constexpr std::string_view kDayFinishLine = "Finish\r\n";

/// The race's block, 24 lines with the race card's rows as line 20 (UTF-8, CR LF); empty when no
/// runner of the race is ranked first.
std::string ComposeRaceBlock(const workbench::RaceState& race, const PageValues& page);

/// WriteDayBlockText of the weekly batch: adds the race's block to its day's text of this run and
/// rewrites the day file whole.
class DayBlockTextWriter final : public workbench::RaceWriter {
public:
    void WriteRace(workbench::RaceContext& context) override;

private:
    DayTexts texts_;
};

}  // namespace webexport
