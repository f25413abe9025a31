#include "reports/shutsubahyo_race.h"

#include <exception>
#include <stdexcept>

#include "common/numbers.h"
#include "common/paths.h"
#include "common/payout_keys.h"
#include "records/payout_blocks.h"
#include "reports/lup_lines.h"

namespace reports {

using records::PayoutBlock;
namespace payout = records::payout;

using common::Field;
using workbench::RaceState;
using workbench::Tier;

std::string ShutsubahyoFile(std::string_view meetingKey, bool resultMode) {
    return "SHUTSUBAHYO/" + std::string(meetingKey) + (resultMode ? "mmkRCM.txt" : "mmk.txt");
}

namespace {

const std::string kPairPlaceholder = "  -  ";
const std::string kTrioPlaceholder = "  -  -  ";

/// Lines of `perLine` ticket fields from places 1 to 3 x perLine; a line beyond `shown` places, and
/// a place beyond the list, holds placeholders. A key that holds no horse numbers costs its line.
template <class Key>
std::string TicketLines(char letter, int perLine, int shown, int count, Key key, KeyFormat format,
                        const std::string& placeholder, LineNotes& notes) {
    std::string out;
    for (int line = 1; line <= 3; ++line) {
        const std::string tag = std::string(1, letter) + std::to_string(line);
        std::vector<Field> fields{std::string("1")};
        bool made = true;
        for (int place = (line - 1) * perLine + 1; place <= line * perLine && made; ++place) {
            if (place > shown || place > count) {
                fields.emplace_back(placeholder);
                continue;
            }
            const auto text = format(key(place));
            if (text) fields.emplace_back(*text);
            made = text.has_value();
        }
        if (made) out += ReportLine(tag, fields);
        else NoteLeftOut(notes, tag, "a ticket key that holds no horse numbers");
    }
    return out;
}

std::string CardRcLine(const RaceState& race) {
    std::vector<Field> fields(race.RaceInfo.begin() + 1, race.RaceInfo.begin() + 12);
    if (race.ResultMode == 1) fields.emplace_back(std::string());
    return ReportLine("RC", fields);
}

}  // namespace

std::string KLines(const RaceState& race, LineNotes& notes) {
    return TicketLines('K', 6, PairLineCount(race.TorokuTosu), race.UmarenKumiCount(),
                       [&](int k) -> const std::string& { return race.UmarenKumiList(k); }, common::FmtKumi2,
                       kPairPlaceholder, notes);
}

std::string SLines(const RaceState& race, LineNotes& notes) {
    const bool result = race.ResultMode == 1;
    return TicketLines(
        'S', 7, TrioLineCount(race.TorokuTosu), race.SanrenKumiCount(),
        [&](int k) -> const std::string& { return result ? race.SanrenKumiStr(k) : race.SanrenKumiList(k); },
        common::FmtKumi3, kTrioPlaceholder, notes);
}

std::string CardSpeedText(float value) {
    // The value is single precision, the product double, as the file's readers compute it.
    const double speed = common::Int(static_cast<double>(value) * 16.666);
    std::string text = " " + common::NumberText(static_cast<std::int64_t>(speed));
    return text.size() > 4 ? text.substr(text.size() - 4) : text;
}

std::string CardHsLines(const RaceState& race) {
    const bool result = race.ResultMode == 1;
    std::string out;
    for (int h = 1; h <= race.RunnerCount; ++h) {
        std::vector<Field> f{std::to_string(h), race.WakuStr(h), HorseText(h), race.YosoRank(h)};
        if (result) f.emplace_back(race.NyusenStr(h));
        f.emplace_back(race.SexStr(h));
        // A horse number without a runner has no age: two blanks.
        f.emplace_back(AgeText(race.BareiStr(h)));
        f.emplace_back(FirstChars(race.BameiStr(h), 9));
        f.emplace_back(race.FutanStr(h));
        for (int column = 0; column < 4; ++column) f.emplace_back(race.ShinraidoGrade(h, column));
        f.emplace_back(FirstChars(race.KisyuStr(h), 4));
        f.emplace_back(race.YosoTimeStr(h));
        if (result) f.emplace_back(race.JitsuTimeStr(h));
        f.emplace_back(CardSpeedText(race.YosoValue(h)));
        if (result) f.emplace_back(CardSpeedText(race.JitsuSpeed(h)));
        out += ReportLine("HS", f);
    }
    return out;
}

namespace {

/// A bet as the card writes it: its entries and the text of their keys.
struct CardBet {
    PayoutBlock block;
    KeyFormat format;
};

constexpr CardBet kTansyo{payout::kTansyo, common::FmtUmaban};
constexpr CardBet kFukusyo{payout::kFukusyo, common::FmtUmaban};
constexpr CardBet kWakuren{payout::kWakuren, common::FmtWakuKumi};
constexpr CardBet kUmaren{payout::kUmaren, common::FmtKumi2};
constexpr CardBet kWide{payout::kWide, common::FmtKumi2};
// 馬単 keeps the hyphen here, unlike the result report.
constexpr CardBet kUmatan{payout::kUmatan, common::FmtKumi2};
constexpr CardBet kSanrenpuku{payout::kSanrenpuku, common::FmtKumi3};

/// Adds the combination and payout of entries 0 to `entries` - 1; false when one holds no number.
bool AddEntries(std::vector<Field>& fields, const records::StoredHR& hr, const CardBet& bet, int entries) {
    for (int e = 0; e < entries; ++e) {
        const auto kumi = bet.format(hr.Get(bet.block.kumi, e));
        const auto pay = common::FmtHaraimodoshi(hr.Get(bet.block.pay, e));
        if (!kumi || !pay) return false;
        fields.emplace_back(*kumi), fields.emplace_back(*pay);
    }
    return true;
}

}  // namespace

std::string CardPayoutLines(const records::StoredHR& hr, LineNotes& notes) {
    std::string out;
    std::vector<Field> kk{std::string("1")};
    if (AddEntries(kk, hr, kTansyo, 2) && AddEntries(kk, hr, kFukusyo, 4) && AddEntries(kk, hr, kWakuren, 2) &&
        AddEntries(kk, hr, kUmaren, 2) && AddEntries(kk, hr, kWide, 5))
        out += ReportLine("KK", kk);
    else
        NoteLeftOut(notes, "KK", "a payout field that holds no number");
    std::vector<Field> ks{std::string("1")};
    if (AddEntries(ks, hr, kUmatan, 6) && AddEntries(ks, hr, kSanrenpuku, 3)) out += ReportLine("KS", ks);
    else NoteLeftOut(notes, "KS", "a payout field that holds no number");
    return out;
}

namespace {

/// The hit numbers of one race, run on across the passes; each hit is one line or none.
class CardHits {
public:
    CardHits(const records::StoredHR& hr, std::string& out, LineNotes& notes) : hr_(hr), out_(out), notes_(notes) {}

    /// A match: uses a hit number, and writes its line when it lies in a tier and `written`. The
    /// text follows the tier word, after the place within the tier unless it is 馬単's.
    void Hit(const CardBet& bet, int e, const std::optional<TicketTier>& tier, TekichuBetCode code,
             const std::string& text, bool written = true) {
        ++number_;
        if (!tier || !written) return;
        const auto kumi = bet.format(hr_.Get(bet.block.kumi, e));
        const auto pay = common::FmtHaraimodoshi(hr_.Get(bet.block.pay, e));
        if (!kumi || !pay) {
            NoteLeftOut(notes_, "AT", "hit " + std::to_string(number_) + ": its payout holds no number");
            return;
        }
        out_ += ReportLine("AT", {std::to_string(number_), BetCodeText(code),
                                  ShortTierWord(tier->Tier) +
                                      (code == TekichuBetCode::Umatan ? std::string() : std::to_string(tier->Place)) + text,
                                  *kumi, *pay});
    }

private:
    const records::StoredHR& hr_;
    std::string& out_;
    LineNotes& notes_;
    int number_ = 0;
};

}  // namespace

std::string CardHitLines(const RaceState& race, const records::StoredHR& hr, LineNotes& notes) {
    std::string out;
    CardHits hits(hr, out, notes);
    const std::string& tekichu = Cp932(" 的中");
    const int pairs = race.UmarenKumiCount();
    const int trios = race.SanrenKumiCount();

    // Each entry's key is taken from the record once: every ticket is held against every entry.
    std::vector<std::string_view> kumis;
    const auto keysOf = [&](const PayoutBlock& b) {
        kumis.clear();
        for (int e = 0; e < b.entries; ++e) kumis.push_back(hr.Get(b.kumi, e));
    };
    const auto at = [](std::size_t e) { return static_cast<int>(e); };

    keysOf(kUmaren.block);
    for (int k = 1; k <= pairs; ++k)
        for (std::size_t e = 0; e < kumis.size(); ++e)
            if (kumis[e] == race.UmarenKumiStr(k)) hits.Hit(kUmaren, at(e), PairTier(k), TekichuBetCode::Umaren, tekichu);

    int wideHits = 0;
    keysOf(kWide.block);
    for (int k = 1; k <= pairs; ++k)
        for (std::size_t e = 0; e < kumis.size(); ++e)
            if (kumis[e] == race.UmarenKumiStr(k)) {
                const auto code = WideBetCode(++wideHits);
                hits.Hit(kWide, at(e), PairTier(k), code.value_or(TekichuBetCode::Wide3), tekichu, code.has_value());
            }

    keysOf(kUmatan.block);
    for (int k = 1; k <= pairs; ++k) {
        const std::string& key = race.UmarenKumiList(k);
        const std::string reverse = SwappedPair(key);
        for (std::size_t e = 0; e < kumis.size(); ++e) {
            if (kumis[e] == key) hits.Hit(kUmatan, at(e), PairTier(k), TekichuBetCode::Umatan, Cp932("正順的中"));
            if (kumis[e] == reverse) hits.Hit(kUmatan, at(e), PairTier(k), TekichuBetCode::Umatan, Cp932("逆順的中"));
        }
    }

    keysOf(kSanrenpuku.block);
    for (int k = 1; k <= trios; ++k)
        for (std::size_t e = 0; e < kumis.size(); ++e)
            if (kumis[e] == race.SanrenKumiStr(k))
                hits.Hit(kSanrenpuku, at(e), TrioTier(k), TekichuBetCode::Sanrenpuku, tekichu);
    return out;
}

namespace {

using payout::kSanrentan;

/// A 3連単 key of no result: zeros, or blanks where no trifecta was sold.
bool NotInUse(std::string_view kumi) { return kumi == "000000" || kumi == "      "; }

/// "第k順的中" at 本線 places; at the other tiers the first order ends in a blank and orders 3 to
/// 6 have a blank before 的中, as the card's readers expect.
std::string OrderText(Tier tier, int order) {
    const std::string digit = std::to_string(order);
    if (tier == Tier::Honsen || order == 2) return Cp932("第") + digit + Cp932("順的中");
    if (order == 1) return Cp932("第1順的中 ");
    return Cp932("第") + digit + Cp932("順 的中");
}

}  // namespace

std::string WriteSantanTekichuCM(const RaceState& race, const records::StoredHR& hr, LineNotes& notes) {
    std::string out;
    if (NotInUse(hr.Get(kSanrentan.kumi, 0))) return out;
    auto line = [&](const std::string& lead, int e) {
        const auto kumi = common::FmtKumi3(hr.Get(kSanrentan.kumi, e));
        const auto pay = common::FmtHaraimodoshi(hr.Get(kSanrentan.pay, e));
        if (kumi && pay) out += ReportLine("CM", {std::string("1"), lead + *kumi + " " + *pay + Cp932("円")});
        else NoteLeftOut(notes, "CM", "a 3連単 payout that holds no number");
    };
    bool hit = false;
    for (int k = 1; k <= race.SanrenKumiCount(); ++k) {
        const std::string& abc = race.SanrenKumiList(k);
        for (int e = 0; e < kSanrentan.entries; ++e) {
            const std::string_view kumi = hr.Get(kSanrentan.kumi, e);
            if (NotInUse(kumi)) break;
            if (!MayBeSantanKey(abc, kumi)) continue;
            for (int order = 1; order <= 6; ++order) {
                if (!IsSantanKey(abc, order, kumi)) continue;
                hit = true;
                if (const auto tier = TrioTier(k))
                    line(TierWord(tier->Tier) + std::to_string(tier->Place) + OrderText(tier->Tier, order), e);
            }
        }
    }
    if (!hit) line(std::string(), 0);
    return out;
}

std::string ComposeShutsubahyoRace(const RaceState& race, const common::CodeTable& codes, bool newFile,
                                   LineNotes& notes) {
    std::string out;
    if (newFile) out += DayHeadLines(race.RaceId, codes, notes);
    out += CardRcLine(race);
    out += KLines(race, notes);
    // Only the race's own payouts, never an earlier race's left in the record.
    if (race.ResultMode == 1 && race.CurHr && IsRacePayout(race, *race.CurHr)) {
        out += CardPayoutLines(*race.CurHr, notes);
        out += CardHitLines(race, *race.CurHr, notes);
        out += WriteSantanTekichuCM(race, *race.CurHr, notes);
    }
    out += CardHsLines(race);
    out += SLines(race, notes);
    return out;
}

void ShutsubahyoRaceWriter::WriteRace(workbench::RaceContext& context) {
    const RaceState& race = context.race;
    if (!common::IsSafeKey(race.MeetingKey) || race.MeetingKey.size() != 14)
        throw std::runtime_error("the race's meeting key cannot name its day file");
    const auto path = common::AppPath(ShutsubahyoFile(race.MeetingKey, race.ResultMode == 1));
    LineNotes notes;
    const std::string block = ComposeShutsubahyoRace(race, context.codes, context.dayFiles.IsNew(path), notes);
    try {
        context.dayFiles.Append(path, block);
    } catch (const std::exception& e) {
        notes.push_back(e.what());
    }
    for (const std::string& note : notes) context.PassedOver(note);
}

}  // namespace reports
