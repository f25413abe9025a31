#include "supplementary/labelled_hits.h"

#include <optional>

#include "common/payout_keys.h"
#include "reports/tekichu.h"

namespace supplementary {

using reports::Cp932;
using reports::HitBet;

namespace {

const std::string& BetWord(HitBet bet) {
    switch (bet) {
        case HitBet::Umaren: return Cp932("馬連");
        case HitBet::Wide: return Cp932("ワイド");
        case HitBet::Umatan: return Cp932("馬単");
        case HitBet::Sanrenpuku: return Cp932("3連複");
        default: return Cp932("3連単");
    }
}

}  // namespace

std::string HanteiTekichuTwi(const workbench::RaceState& race, const records::StoredHR& hr,
                             reports::LineNotes& notes) {
    std::string lines;
    int number = 0;
    for (const reports::TicketHit& hit : reports::FindTicketHits(race, hr)) {
        ++number;
        if (!hit.Tier) continue;
        const std::optional<std::string> kumi = hit.Format(hit.Kumi);
        const std::optional<std::string> pay = common::FmtHaraimodoshi(hit.Pay);
        if (!kumi || !pay) {
            reports::NoteLeftOut(notes, "AT", "hit " + std::to_string(number) + ": its payout holds no number");
            continue;
        }
        lines += reports::ReportLine("AT", {std::to_string(number), BetWord(hit.Bet),
                                            reports::TierWord(hit.Tier->Tier) + std::to_string(hit.Tier->Place) +
                                                *hit.Ending,
                                            *kumi, *pay});
    }
    return lines;
}

}  // namespace supplementary
