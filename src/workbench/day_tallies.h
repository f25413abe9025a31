#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The tallies of one meeting day: the hits and payouts that the report writers add race by race
// in result mode, and the day's hit and return rates that the batch computes from them after
// every race. Counts and sums are 64-bit, so no day overflows them.
namespace workbench {

/// The six bet kinds of the tiered tickets, in the order of their tallies.
enum class TierKind { Umaren, Wide, UmatanOmote, UmatanUra, Sanrenpuku, Sanrentan };
inline constexpr int kTierKinds = 6;

/// The three tiers of a ticket list: 本線, 準本線, 伏兵.
enum class Tier { Honsen, Junhonsen, Fukuhei };
inline constexpr int kTiers = 3;

/// One bet kind's hits and payouts of the day.
struct TierTally {
    std::int64_t HitsH = 0, HitsJ = 0, HitsF = 0;  // hits at places of each tier
    std::int64_t HitsAll = 0;                      // hits at any place, inside or outside the tiers
    std::int64_t PayH = 0, PayJ = 0, PayF = 0;     // payouts of the tier hits, yen per 100-yen ticket
};

/// The day tally of the tiered tickets, one TierTally per bet kind.
struct KaitekiTally {
    TierTally Umaren;       // 馬連
    TierTally Wide;         // ワイド
    TierTally UmatanOmote;  // 馬単, the better-ranked horse first
    TierTally UmatanUra;    // 馬単, the other horse first
    TierTally Sanrenpuku;   // 3連複
    TierTally Sanrentan;    // 3連単, all six orders together

    TierTally& Of(TierKind kind);
    const TierTally& Of(TierKind kind) const;
    std::int64_t& TierHits(TierKind kind, Tier tier);
    std::int64_t TierHits(TierKind kind, Tier tier) const;
    std::int64_t& AllHits(TierKind kind) { return Of(kind).HitsAll; }
    std::int64_t AllHits(TierKind kind) const { return Of(kind).HitsAll; }
    std::int64_t& TierPayout(TierKind kind, Tier tier);
    std::int64_t TierPayout(TierKind kind, Tier tier) const;
};

/// A rate in tenths of a percent, Int(1000 × part / whole): 333 is 33.3 %. None while its
/// divisor is 0, so it is written as an empty field instead of an earlier value.
using RateTenths = std::optional<std::int64_t>;

/// The day's rates of one bet kind of the tiered tickets, by tier.
struct TierRates {
    std::array<RateTenths, kTiers> ReturnRate{};
    std::array<RateTenths, kTiers> HitRate{};
};

/// The eleven ticket kinds of the PC variant, in their column order.
enum class PcTicketKind {
    Tansho1, Fukusho1, Tansho2, Fukusho2,  // one ticket a race each
    UmarenF, UmarenB, UmatanF, SanrenpukuB, Sanrentan12, Sanrentan23, Sanrentan13,
};
inline constexpr int kPcTicketKinds = 11;

/// True for the four kinds that buy one ticket a race and count no tickets.
constexpr bool IsSingleTicketKind(PcTicketKind kind) { return kind <= PcTicketKind::Fukusho2; }

/// One PC ticket kind: the current race's hit and the day's totals and rates.
struct PcKindTally {
    std::string HitKumi;  // the current race's hit combination, "" when the kind missed
    std::string HitPay;   // its payout in yen, "" when missed
    std::int64_t HitCount = 0;  // races of the day with a hit
    std::int64_t PayTotal = 0;  // the day's payouts, yen per 100-yen ticket
    RateTenths HitRate;
    RateTenths ReturnRate;
    std::int64_t RaceTickets = 0;  // tickets bought in the current race (formation kinds)
    std::int64_t TicketTotal = 0;  // tickets bought in the day (formation kinds)
};

struct DayTallies {
    KaitekiTally Kaiteki;
    /// The rates of the tiered tickets, by TierKind.
    std::array<TierRates, kTierKinds> KaitekiRate{};
    /// The PC ticket kinds, by PcTicketKind.
    std::array<PcKindTally, kPcTicketKinds> PcKinds{};
    /// The divisor of the day's rates: the highest race number of the day met so far.
    std::int64_t DayRaceCount = 0;

    PcKindTally& Pc(PcTicketKind kind) { return PcKinds[static_cast<std::size_t>(kind)]; }
    const PcKindTally& Pc(PcTicketKind kind) const { return PcKinds[static_cast<std::size_t>(kind)]; }
    TierRates& Rates(TierKind kind) { return KaitekiRate[static_cast<std::size_t>(kind)]; }
    const TierRates& Rates(TierKind kind) const { return KaitekiRate[static_cast<std::size_t>(kind)]; }
};

}  // namespace workbench
