#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

/// The bets whose payouts the race's tickets are judged against, in the order of the passes.
enum class HitBet { Umaren, Wide, Umatan, Sanrenpuku, Sanrentan };

/// One ticket that matches one payout entry.
struct TicketHit {
    HitBet Bet = HitBet::Umaren;
    int Place = 0;   // the ticket's place in its list, 1 the best
    int Order = 0;   // 馬単: 1 forward, 2 reverse; 3連単: 1 to 6 (A B C, A C B, B A C, ...); else 0
    std::optional<TicketTier> Tier;  // none beyond the tiers
    std::string_view Kumi, Pay, Ninki;  // the entry's fields, in the payout record
    KeyFormat Format = nullptr;         // how the line shows Kumi
    /// The hit text after the tier word and the place: "点目 的中", "正順 的中", "第4順的中 " ...
    const std::string* Ending = nullptr;
};

/// Every match of the race's tickets with the payout record `hr` (which must outlive the result),
/// in the order hits are numbered: the 馬連 and ワイド passes over UmarenKumiStr, 馬単 over
/// UmarenKumiList (forward: the higher-valued horse won; reverse: the other), 3連複 over
/// SanrenKumiStr, 3連単 over the six orders of SanrenKumiList; within a pass by place, then by
/// entry. A 3連単 entry "000000" ends the entries looked at for its ticket.
std::vector<TicketHit> FindTicketHits(const workbench::RaceState& race, const records::StoredHR& hr);

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
