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

void HanteiTekichuAT(const RaceState& race, const records::StoredHR& hr, std::string& lines, TekichuSummary& summary,
                     KaitekiTally& tally, LineNotes& notes) {
    summary = TekichuSummary{};
    Evaluation eval(lines, tally, notes);
    const std::string& tenme = Cp932("点目");
    const std::string& tenmeHit = Cp932("点目 的中");
    const int pairs = race.UmarenKumiCount();
    const int trios = race.SanrenKumiCount();
    auto hit = [&](const PayoutBlock& b, int e, std::optional<TicketTier> tier, TekichuBetCode code, int ticket,
                   TierKind kind, TekichuColumn* column, auto format) {
        return Hit{tier, code, tenmeHit, tenme, kTen, hr.Get(b.kumi, e), hr.Get(b.pay, e), hr.Get(b.ninki, e),
                   format, ticket, kind, column};
    };

    for (int k = 1; k <= pairs; ++k)
        for (int e = 0; e < kUmaren.entries; ++e)
            if (hr.Get(kUmaren.kumi, e) == race.UmarenKumiStr(k))
                eval.Record(hit(kUmaren, e, PairTier(k), TekichuBetCode::Umaren, k, TierKind::Umaren, &summary.Umaren,
                                common::FmtKumi2));

    // The first three ワイド hits have columns; a later one is tallied only.
    int wideHits = 0;
    TekichuColumn* wideColumns[] = {&summary.Wide1, &summary.Wide2, &summary.Wide3};
    for (int k = 1; k <= pairs; ++k)
        for (int e = 0; e < kWide.entries; ++e)
            if (hr.Get(kWide.kumi, e) == race.UmarenKumiStr(k)) {
                const auto code = WideBetCode(++wideHits);
                Hit h = hit(kWide, e, PairTier(k), code.value_or(TekichuBetCode::Wide3), k, TierKind::Wide,
                            code ? wideColumns[wideHits - 1] : nullptr, common::FmtKumi2);
                h.writeLine = code.has_value();
                eval.Record(h);
            }

    for (int k = 1; k <= pairs; ++k) {
        const std::string& key = race.UmarenKumiList(k);
        const std::string reverse = SwappedPair(key);
        for (int e = 0; e < kUmatan.entries; ++e) {
            const std::string_view kumi = hr.Get(kUmatan.kumi, e);
            if (kumi == key) {
                Hit h = hit(kUmatan, e, PairTier(k), TekichuBetCode::Umatan, 2 * k - 1, TierKind::UmatanOmote,
                            &summary.Umatan, common::FmtKumi2Jun);
                h.atText = Cp932("正順 的中"), h.hitText = Cp932("点目表"), h.beyondText = kEleven;
                eval.Record(h);
            } else if (kumi == reverse) {
                Hit h = hit(kUmatan, e, PairTier(k), TekichuBetCode::Umatan, 2 * k, TierKind::UmatanUra,
                            &summary.Umatan, common::FmtKumi2Jun);
                h.atText = Cp932("逆順 的中"), h.hitText = Cp932("点目裏");
                eval.Record(h);
            }
        }
    }

    for (int k = 1; k <= trios; ++k)
        for (int e = 0; e < kSanrenpuku.entries; ++e)
            if (hr.Get(kSanrenpuku.kumi, e) == race.SanrenKumiStr(k))
                eval.Record(hit(kSanrenpuku, e, TrioTier(k), TekichuBetCode::Sanrenpuku, k, TierKind::Sanrenpuku,
                                &summary.Sanrenpuku, common::FmtKumi3));

    for (int k = 1; k <= trios; ++k) {
        const std::string& abc = race.SanrenKumiList(k);
        for (int e = 0; e < kSanrentan.entries; ++e) {
            const std::string_view kumi = hr.Get(kSanrentan.kumi, e);
            if (kumi == "000000") break;  // no further trifecta payouts
            for (int o = 1; o <= 6; ++o) {
                if (kumi != SantanKey(abc, o)) continue;
                const auto tier = TrioTier(k);
                const std::string digit = std::to_string(o);
                Hit h = hit(kSanrentan, e, tier, TekichuBetCode::Sanrentan, 6 * (k - 1) + o, TierKind::Sanrentan,
                            &summary.Sanrentan, common::FmtKumi3Jun);
                const bool tight = tier && tier->Tier == Tier::Honsen && o >= 3;
                h.atText = Cp932("第") + digit + (tight ? Cp932("順的中 ") : Cp932("順 的中"));
                h.hitText = Cp932("第") + digit + Cp932("順目");
                eval.Record(h);
                break;
            }
        }
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
