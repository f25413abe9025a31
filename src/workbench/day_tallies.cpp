#include "workbench/day_tallies.h"

namespace workbench {

namespace {

template <class Tally>
auto& TierField(Tally& t, Tier tier, bool payout) {
    switch (tier) {
        case Tier::Honsen: return payout ? t.PayH : t.HitsH;
        case Tier::Junhonsen: return payout ? t.PayJ : t.HitsJ;
        case Tier::Fukuhei: break;
    }
    return payout ? t.PayF : t.HitsF;
}

template <class Tally, class Day>
Tally& KindOf(Day& day, TierKind kind) {
    switch (kind) {
        case TierKind::Umaren: return day.Umaren;
        case TierKind::Wide: return day.Wide;
        case TierKind::UmatanOmote: return day.UmatanOmote;
        case TierKind::UmatanUra: return day.UmatanUra;
        case TierKind::Sanrenpuku: return day.Sanrenpuku;
        case TierKind::Sanrentan: break;
    }
    return day.Sanrentan;
}

}  // namespace

TierTally& KaitekiTally::Of(TierKind kind) { return KindOf<TierTally>(*this, kind); }
const TierTally& KaitekiTally::Of(TierKind kind) const { return KindOf<const TierTally>(*this, kind); }

std::int64_t& KaitekiTally::TierHits(TierKind kind, Tier tier) { return TierField(Of(kind), tier, false); }
std::int64_t KaitekiTally::TierHits(TierKind kind, Tier tier) const { return TierField(Of(kind), tier, false); }
std::int64_t& KaitekiTally::TierPayout(TierKind kind, Tier tier) { return TierField(Of(kind), tier, true); }
std::int64_t KaitekiTally::TierPayout(TierKind kind, Tier tier) const { return TierField(Of(kind), tier, true); }

}  // namespace workbench
