#include "reports/tekichu.h"

#include <optional>

#include "common/numbers.h"
#include "common/payout_keys.h"
#include "records/payout_blocks.h"
#include "reports/lup_lines.h"

namespace reports {

using records::PayoutBlock;
namespace payout = records::payout;

using common::Field;
using payout::kSanrenpuku;
using payout::kSanrentan;
using payout::kUmaren;
using payout::kUmatan;
using payout::kWide;
using workbench::KaitekiTally;
using workbench::RaceState;
using workbench::Tier;
using workbench::TierKind;

namespace {

/// A hit found at a place: what its line, column and tally take.
struct Hit {
    std::optional<TicketTier> tier;  // none beyond the tiers
    TekichuBetCode code;
    std::string atText;              // after the tier word and place
    std::string hitText;             // after the short tier word and place
    std::string beyondText;          // HitText of a hit beyond the tiers
    std::string_view kumi, pay, ninki;
    KeyFormat format;
    int ticket;
    TierKind kind;
    TekichuColumn* column;           // none: tallied only
    bool writeLine = true;
};

/// The evaluation of one race: the hit number runs over every pass.
class Evaluation {
public:
    Evaluation(std::string& lines, KaitekiTally& tally, LineNotes& notes) : lines_(lines), tally_(tally), notes_(notes) {}

    /// Records a hit as one unit: its line, column and tally, or nothing when its payout or its
    /// popularity holds no number.
    void Record(const Hit& hit) {
        ++hitNumber_;
        const auto kumi = hit.format(hit.kumi);
        const auto payText = common::FmtHaraimodoshi(hit.pay);
        const auto pay = payText ? common::DigitsValue(*payText) : std::nullopt;
        const auto ninki = common::StrictNumber(hit.ninki);
        if (!kumi || !pay || !ninki) {
            NoteLeftOut(notes_, "AT", "hit " + std::to_string(hitNumber_) + ": its payout or popularity holds no number");
            return;
        }
        const std::string ninkiText = common::NumberText(common::CLng(*ninki));
        if (hit.tier && hit.writeLine)
            lines_ += ReportLine("AT", {std::to_string(hitNumber_), BetCodeText(hit.code),
                                        TierWord(hit.tier->Tier) + std::to_string(hit.tier->Place) + hit.atText, *kumi,
                                        *payText});
        if (hit.column) {
            hit.column->HitText =
                hit.tier ? ShortTierWord(hit.tier->Tier) + std::to_string(hit.tier->Place) + hit.hitText : hit.beyondText;
            hit.column->HitKumi = *kumi;
            hit.column->HitPay = *payText;
            hit.column->YosoNinki = std::to_string(hit.ticket) + " " + ninkiText;
        }
        tally_.AllHits(hit.kind) += 1;
        if (hit.tier) {
            tally_.TierHits(hit.kind, hit.tier->Tier) += 1;
            tally_.TierPayout(hit.kind, hit.tier->Tier) += *pay;
        }
    }

private:
    std::string& lines_;
    KaitekiTally& tally_;
    LineNotes& notes_;
    int hitNumber_ = 0;
};

const std::string kTen(10, ' ');
const std::string kEleven(11, ' ');

}  // namespace

std::vector<TicketHit> FindTicketHits(const RaceState& race, const records::StoredHR& hr) {
    std::vector<TicketHit> hits;
    const int pairs = race.UmarenKumiCount();
    const int trios = race.SanrenKumiCount();
    const std::string& tenmeHit = Cp932("点目 的中");
    auto add = [&](HitBet bet, const PayoutBlock& b, int e, int place, int order, std::optional<TicketTier> tier,
                   KeyFormat format, const std::string& ending) {
        hits.push_back({bet, place, order, tier, hr.Get(b.kumi, e), hr.Get(b.pay, e), hr.Get(b.ninki, e), format,
                        &ending});
    };
    // Each entry's key is taken from the record once: every ticket is held against every entry.
    std::vector<std::string_view> kumis;
    const auto keysOf = [&](const PayoutBlock& b) {
        kumis.clear();
        for (int e = 0; e < b.entries; ++e) kumis.push_back(hr.Get(b.kumi, e));
    };
    const auto at = [](std::size_t e) { return static_cast<int>(e); };

    keysOf(kUmaren);
    for (int k = 1; k <= pairs; ++k)
        for (std::size_t e = 0; e < kumis.size(); ++e)
            if (kumis[e] == race.UmarenKumiStr(k))
                add(HitBet::Umaren, kUmaren, at(e), k, 0, PairTier(k), common::FmtKumi2, tenmeHit);

    keysOf(kWide);
    for (int k = 1; k <= pairs; ++k)
        for (std::size_t e = 0; e < kumis.size(); ++e)
            if (kumis[e] == race.UmarenKumiStr(k))
                add(HitBet::Wide, kWide, at(e), k, 0, PairTier(k), common::FmtKumi2, tenmeHit);

    keysOf(kUmatan);
    for (int k = 1; k <= pairs; ++k) {
        const std::string& key = race.UmarenKumiList(k);
        const std::string reverse = SwappedPair(key);
        for (std::size_t e = 0; e < kumis.size(); ++e) {
            if (kumis[e] == key)
                add(HitBet::Umatan, kUmatan, at(e), k, 1, PairTier(k), common::FmtKumi2Jun, Cp932("正順 的中"));
            else if (kumis[e] == reverse)
                add(HitBet::Umatan, kUmatan, at(e), k, 2, PairTier(k), common::FmtKumi2Jun, Cp932("逆順 的中"));
        }
    }

    keysOf(kSanrenpuku);
    for (int k = 1; k <= trios; ++k)
        for (std::size_t e = 0; e < kumis.size(); ++e)
            if (kumis[e] == race.SanrenKumiStr(k))
                add(HitBet::Sanrenpuku, kSanrenpuku, at(e), k, 0, TrioTier(k), common::FmtKumi3, tenmeHit);

    // Entries after a "000000" are not looked at, and a blank one matches no ticket.
    std::vector<int> santanEntries;
    for (int e = 0; e < kSanrentan.entries; ++e) {
        const std::string_view kumi = hr.Get(kSanrentan.kumi, e);
        if (kumi == "000000") break;  // no further trifecta payouts
        if (kumi.find_first_not_of(' ') != std::string_view::npos) santanEntries.push_back(e);
    }
    keysOf(kSanrentan);
    for (int k = 1; !santanEntries.empty() && k <= trios; ++k) {
        const std::string& abc = race.SanrenKumiList(k);
        for (int e : santanEntries) {
            const std::string_view kumi = kumis[static_cast<std::size_t>(e)];
            if (!MayBeSantanKey(abc, kumi)) continue;
            for (int o = 1; o <= 6; ++o) {
                if (!IsSantanKey(abc, o, kumi)) continue;
                // At a 本線 place the blank of orders 3 to 6 stands after 的中.
                const auto tier = TrioTier(k);
                const bool tight = tier && tier->Tier == Tier::Honsen && o >= 3;
                const std::string digit = std::to_string(o);
                add(HitBet::Sanrentan, kSanrentan, e, k, o, tier, common::FmtKumi3Jun,
                    Cp932("第" + digit + (tight ? "順的中 " : "順 的中")));
                break;
            }
        }
    }
    return hits;
}

void HanteiTekichuAT(const RaceState& race, const records::StoredHR& hr, std::string& lines, TekichuSummary& summary,
                     KaitekiTally& tally, LineNotes& notes) {
    summary = TekichuSummary{};
    Evaluation eval(lines, tally, notes);
    const std::string& tenme = Cp932("点目");
    // The first three ワイド hits have columns; a later one is tallied only.
    int wideHits = 0;
    TekichuColumn* wideColumns[] = {&summary.Wide1, &summary.Wide2, &summary.Wide3};
    for (const TicketHit& t : FindTicketHits(race, hr)) {
        Hit h{t.Tier, TekichuBetCode::Umaren, *t.Ending, tenme, kTen, t.Kumi, t.Pay, t.Ninki, t.Format, t.Place,
              TierKind::Umaren, &summary.Umaren};
        switch (t.Bet) {
            case HitBet::Umaren: break;
            case HitBet::Wide: {
                const auto code = WideBetCode(++wideHits);
                h.code = code.value_or(TekichuBetCode::Wide3);
                h.kind = TierKind::Wide;
                h.column = code ? wideColumns[wideHits - 1] : nullptr;
                h.writeLine = code.has_value();
                break;
            }
            case HitBet::Umatan:
                h.code = TekichuBetCode::Umatan;
                h.column = &summary.Umatan;
                if (t.Order == 1) {
                    h.ticket = 2 * t.Place - 1, h.kind = TierKind::UmatanOmote;
                    h.hitText = Cp932("点目表"), h.beyondText = kEleven;
                } else {
                    h.ticket = 2 * t.Place, h.kind = TierKind::UmatanUra, h.hitText = Cp932("点目裏");
                }
                break;
            case HitBet::Sanrenpuku:
                h.code = TekichuBetCode::Sanrenpuku, h.kind = TierKind::Sanrenpuku, h.column = &summary.Sanrenpuku;
                break;
            case HitBet::Sanrentan:
                h.code = TekichuBetCode::Sanrentan, h.kind = TierKind::Sanrentan, h.column = &summary.Sanrentan;
                h.ticket = 6 * (t.Place - 1) + t.Order;
                h.hitText = Cp932("第" + std::to_string(t.Order) + "順目");
                break;
        }
        eval.Record(h);
    }
}

std::string TekichuTitleLine(std::string_view raceId, const common::CodeTable& codes, LineNotes& notes) {
    const auto kaiji = raceId.size() == 16 ? CodeIntegerText(raceId.substr(10, 2)) : std::nullopt;
    const auto nichiji = raceId.size() == 16 ? CodeIntegerText(raceId.substr(12, 2)) : std::nullopt;
    std::string out;
    if (kaiji && nichiji)
        out += ReportLine(std::string(raceId.substr(0, 4)) + Cp932("年"),
                          {std::string(raceId.substr(4, 2)) + Cp932("月"), std::string(raceId.substr(6, 2)) + Cp932("日"),
                           *kaiji + Cp932("回"), CourseField(codes, raceId.substr(8, 2)), *nichiji + Cp932("日目")});
    else
        NoteLeftOut(notes, "tekichu title", "the race's identity holds no meeting numbers");
    return out;
}

std::string TekichuHeadLines(std::string_view raceId, const common::CodeTable& codes, LineNotes& notes) {
    std::string out = TekichuTitleLine(raceId, codes, notes);
    std::vector<Field> header;
    for (auto c : {"馬連", "馬単", "3連複", "3連単", "ワイド1", "ワイド2", "ワイド3"}) header.emplace_back(Cp932(c));
    out += ReportLine(Cp932("R番号"), header);
    return out;
}

std::string TekichuRaceLines(std::string_view raceNum, const TekichuSummary& s) {
    const TekichuColumn* columns[] = {&s.Umaren, &s.Umatan, &s.Sanrenpuku, &s.Sanrentan, &s.Wide1, &s.Wide2, &s.Wide3};
    auto line = [&](const std::string& label, std::string TekichuColumn::*field) {
        std::vector<Field> fields;
        for (const TekichuColumn* c : columns) fields.emplace_back(c->*field);
        return ReportLine(label, fields);
    };
    return line(std::string(raceNum) + Cp932("R 的中"), &TekichuColumn::HitText) +
           line(Cp932("    当目"), &TekichuColumn::HitKumi) + line(Cp932("    配当"), &TekichuColumn::HitPay) +
           line(Cp932("    予人"), &TekichuColumn::YosoNinki);
}

}  // namespace reports
