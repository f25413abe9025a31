#pragma once

#include <string>
#include <string_view>

#include "common/code_table.h"
#include "records/decoders.h"
#include "reports/report_lines.h"
#include "workbench/day_tallies.h"
#include "workbench/race_state.h"

// The hit evaluation of a race in result mode and the day hit table it fills.
namespace reports {

/// One bet column of the day hit table.
struct TekichuColumn {
    std::string HitText = std::string(10, ' ');
    std::string HitKumi, HitPay, YosoNinki;
};

/// A race's hits by column, in the table's order.
struct TekichuSummary {
    TekichuColumn Umaren, Umatan, Sanrenpuku, Sanrentan, Wide1, Wide2, Wide3;
};

/// Judges every place of the race's four ticket lists against its payout record: appends the
/// "AT" lines of the tier hits to `lines`, fills `summary` (reset first) and adds to `tally`. A
/// hit whose payout or popularity holds no number is left out whole and noted; its number stays
/// used.
void HanteiTekichuAT(const workbench::RaceState& race, const records::StoredHR& hr, std::string& lines,
                     TekichuSummary& summary, workbench::KaitekiTally& tally, LineNotes& notes);

/// The title line of a day's hit table: year, month, day, meeting, course and day number.
std::string TekichuTitleLine(std::string_view raceId, const common::CodeTable& codes, LineNotes& notes);
/// The title and header lines of a day's hit table (16-byte RaceId of any race of the day).
std::string TekichuHeadLines(std::string_view raceId, const common::CodeTable& codes, LineNotes& notes);
/// The race's four lines of the day hit table.
std::string TekichuRaceLines(std::string_view raceNum, const TekichuSummary& summary);

}  // namespace reports
