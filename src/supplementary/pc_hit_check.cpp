#include "supplementary/pc_hit_check.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/numbers.h"
#include "common/payout_keys.h"
#include "records/fields.h"
#include "supplementary/pc_ticket_counts.h"
#include "workbench/race_info_table.h"

namespace supplementary {

using records::LayoutHR;
using records::Locate;
using workbench::PcKindTally;
using workbench::PcTicketKind;

namespace {

struct Block {
    records::Ref<LayoutHR> kumi, pay;
    int entries;
    std::optional<std::string> (*format)(std::string_view);
};

const Block kTansyo{Locate<LayoutHR>("PayTansyo", "Umaban"), Locate<LayoutHR>("PayTansyo", "Pay"), 3, nullptr};
const Block kFukusyo{Locate<LayoutHR>("PayFukusyo", "Umaban"), Locate<LayoutHR>("PayFukusyo", "Pay"), 5, nullptr};
const Block kUmaren{Locate<LayoutHR>("PayUmaren", "Kumi"), Locate<LayoutHR>("PayUmaren", "Pay"), 3, common::FmtKumi2};
const Block kUmatan{Locate<LayoutHR>("PayUmatan", "Kumi"), Locate<LayoutHR>("PayUmatan", "Pay"), 6,
                    common::FmtKumi2Jun};
const Block kSanrenpuku{Locate<LayoutHR>("PaySanrenpuku", "Kumi"), Locate<LayoutHR>("PaySanrenpuku", "Pay"), 3,
                        common::FmtKumi3};
const Block kSanrentan{Locate<LayoutHR>("PaySanrentan", "Kumi"), Locate<LayoutHR>("PaySanrentan", "Pay"), 6,
                       common::FmtKumi3Jun};

/// The payout of an entry in yen and its text; none when the field holds no digits.
struct Paid {
    std::string text;
    std::int64_t yen;
};
std::optional<Paid> PaidOf(std::string_view pay) {
    const auto text = common::FmtHaraimodoshi(pay);
    if (!text || text->empty()) return std::nullopt;
    const auto yen = common::DigitsValue(*text);
    if (!yen) return std::nullopt;
    return Paid{*text, *yen};
}

/// The horse numbers of a key of two-digit pieces; none when a piece is not a horse number.
std::optional<std::vector<int>> HorsesOf(std::string_view kumi) {
    std::vector<int> horses;
    for (std::size_t at = 0; at + 2 <= kumi.size(); at += 2) {
        const auto h = common::DigitsValue(kumi.substr(at, 2));
        if (!h || *h < 1 || *h > 18) return std::nullopt;
        horses.push_back(static_cast<int>(*h));
    }
    return horses;
}

void Hit(PcKindTally& tally, std::string kumi, const Paid& paid) {
    tally.HitKumi = std::move(kumi);
    tally.HitPay = paid.text;
    tally.HitCount += 1;
    tally.PayTotal += paid.yen;
}

/// Win and place: the entry whose horse number is the horse at `rank`.
void JudgeSingle(const workbench::RaceState& race, const records::StoredHR& hr, const Block& block, int rank,
                 PcKindTally& tally) {
    const int horse = HorseAtRank(race, rank);
    if (horse == 0) return;
    for (int e = 0; e < block.entries; ++e) {
        const auto umaban = common::DigitsValue(hr.Get(block.kumi, e));
        if (!umaban || *umaban != horse) continue;
        if (const auto paid = PaidOf(hr.Get(block.pay, e))) Hit(tally, race.YosoJun(rank), *paid);
        return;
    }
}

/// Whether a kind buys the horses of a key, given each horse's rank within r1 to re (0: outside).
bool Buys(PcTicketKind kind, const std::vector<int>& ranks) {
    for (int r : ranks)
        if (r == 0) return false;
    if (ranks.size() == 2) {
        const int a = ranks[0], b = ranks[1];
        if (a == b) return false;
        switch (kind) {
            case PcTicketKind::UmarenF: return a <= 3 || b <= 3;
            case PcTicketKind::UmarenB: return true;
            case PcTicketKind::UmatanF: return a <= 3;
            default: return false;
        }
    }
    if (ranks.size() != 3) return false;
    std::array<int, 3> s{ranks[0], ranks[1], ranks[2]};
    std::sort(s.begin(), s.end());
    if (s[0] == s[1] || s[1] == s[2]) return false;
    switch (kind) {
        case PcTicketKind::SanrenpukuB: return true;
        case PcTicketKind::Sanrentan12: return s[0] == 1 && s[1] == 2;
        case PcTicketKind::Sanrentan23: return s[0] == 2 && s[1] == 3;
        case PcTicketKind::Sanrentan13: return s[0] == 1 && s[1] == 3;
        default: return false;
    }
}

const Block& BlockOf(PcTicketKind kind) {
    switch (kind) {
        case PcTicketKind::UmarenF:
        case PcTicketKind::UmarenB: return kUmaren;
        case PcTicketKind::UmatanF: return kUmatan;
        case PcTicketKind::SanrenpukuB: return kSanrenpuku;
        default: return kSanrentan;
    }
}

void JudgeFormation(const workbench::RaceState& race, const records::StoredHR& hr, PcTicketKind kind, int e,
                    PcKindTally& tally) {
    std::array<int, 19> rankOf{};
    for (int k = 1; k <= e; ++k)
        if (const int h = HorseAtRank(race, k); h != 0 && rankOf[static_cast<std::size_t>(h)] == 0)
            rankOf[static_cast<std::size_t>(h)] = k;
    const Block& block = BlockOf(kind);
    bool hit = false;
    for (int entry = 0; entry < block.entries; ++entry) {
        const std::string_view kumi = hr.Get(block.kumi, entry);
        const auto horses = HorsesOf(kumi);
        if (!horses) continue;
        std::vector<int> ranks;
        for (int h : *horses) ranks.push_back(rankOf[static_cast<std::size_t>(h)]);
        if (!Buys(kind, ranks)) continue;
        const auto paid = PaidOf(hr.Get(block.pay, entry));
        const auto text = block.format(kumi);
        if (!paid || !text) continue;
        if (!hit) {
            Hit(tally, *text, *paid);
            hit = true;
        } else {
            tally.PayTotal += paid->yen;  // a further bought combination of a dead heat
        }
    }
}

}  // namespace

void HanteiTekichuPc(const workbench::RaceState& race, const records::StoredHR& hr, workbench::DayTallies& tallies) {
    for (PcKindTally& tally : tallies.PcKinds) tally.HitKumi.clear(), tally.HitPay.clear();
    JudgeSingle(race, hr, kTansyo, 1, tallies.Pc(PcTicketKind::Tansho1));
    JudgeSingle(race, hr, kFukusyo, 1, tallies.Pc(PcTicketKind::Fukusho1));
    JudgeSingle(race, hr, kTansyo, 2, tallies.Pc(PcTicketKind::Tansho2));
    JudgeSingle(race, hr, kFukusyo, 2, tallies.Pc(PcTicketKind::Fukusho2));
    const std::string& spread = race.RaceInfo[workbench::info::kSpread];
    for (int k = static_cast<int>(PcTicketKind::UmarenF); k < workbench::kPcTicketKinds; ++k) {
        const auto kind = static_cast<PcTicketKind>(k);
        PcKindTally& tally = tallies.Pc(kind);
        const PcFormation f = PcFormationOf(kind, race.TorokuTosu, spread);
        tally.RaceTickets = f.RaceTickets;
        tally.TicketTotal += f.RaceTickets;
        JudgeFormation(race, hr, kind, f.E, tally);
    }
}

}  // namespace supplementary
