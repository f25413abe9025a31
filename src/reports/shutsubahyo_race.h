#pragma once

#include <string>
#include <string_view>

#include "common/code_table.h"
#include "records/decoders.h"
#include "reports/report_lines.h"
#include "workbench/race_state.h"
#include "workbench/race_writer.h"

// The race card of every meeting day, SHUTSUBAHYO/<MeetingKey>mmk.txt (mmkRCM.txt in result
// mode): per race its title, its pair and trio tickets by tier, its runners and, in result mode,
// its payouts with the hits of its tickets. Outside programs read it, so every text is kept as
// they expect it, odd blanks included.
namespace reports {

std::string ShutsubahyoFile(std::string_view meetingKey, bool resultMode);

/// The "K1" to "K3" lines: six pair tickets each, placeholders where the registered runner count
/// or the race's list ends.
std::string KLines(const workbench::RaceState& race, LineNotes& notes);
/// The "S1" to "S3" lines: seven trios each, from the value-ordered list before the results and
/// the number-ordered list after them.
std::string SLines(const workbench::RaceState& race, LineNotes& notes);
/// The "HS" line of every horse number, ascending.
std::string CardHsLines(const workbench::RaceState& race);
/// The speed field: the integer part of value x 16.666, right-aligned in four characters.
std::string CardSpeedText(float value);

/// The "KK" and "KS" payout lines of the race card.
std::string CardPayoutLines(const records::StoredHR& hr, LineNotes& notes);
/// The "AT" lines of the 馬連, ワイド, 馬単 and 3連複 hits, numbered across the four passes.
std::string CardHitLines(const workbench::RaceState& race, const records::StoredHR& hr, LineNotes& notes);
/// The "CM" lines: each trio in its six orders against the 3連単 results, one line per hit at a
/// tiered place, or one line with the result when no trio of the list matches it.
std::string WriteSantanTekichuCM(const workbench::RaceState& race, const records::StoredHR& hr, LineNotes& notes);

/// The race's block; `newFile` puts the day's head lines first.
std::string ComposeShutsubahyoRace(const workbench::RaceState& race, const common::CodeTable& codes, bool newFile,
                                   LineNotes& notes);

/// WriteShutsubahyoRace of the weekly batch: one open and one write per race.
class ShutsubahyoRaceWriter final : public workbench::RaceWriter {
public:
    void WriteRace(workbench::RaceContext& context) override;
};

}  // namespace reports
