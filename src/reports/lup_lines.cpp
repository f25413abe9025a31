#include "reports/lup_lines.h"

#include <algorithm>

#include "common/numbers.h"
#include "common/payout_keys.h"
#include "records/keys.h"
#include "records/payout_blocks.h"
#include "workbench/race_info_table.h"

namespace reports {

using records::PayoutBlock;
namespace payout = records::payout;

using common::Field;
using workbench::RaceState;
namespace info = workbench::info;

std::string RcLine(const RaceState& race) {
    const auto& row = race.RaceInfo;
    const std::string kindCondition = row[info::kSyubetu] + row[info::kJyoken];
    return ReportLine("RC", {row[info::kRaceNumber], row[info::kHassoTime], row[info::kRaceNum], std::string(),
                             row[info::kRaceName].empty() ? kindCondition : row[info::kRaceName], kindCondition,
                             row[info::kGrade], row[info::kTrack], row[info::kKyori], row[info::kSpread],
                             row[info::kWeatherGoing]});
}

std::string RrLine(const RaceState& race, const RrWords& words) {
    const bool result = race.ResultMode == 1;
    const bool flat = IsFlatTrack(race.TrackCD);
    std::vector<Field> fields;
    auto add = [&](std::string_view caption) { fields.emplace_back(Cp932(caption)); };
    for (auto c : words.head) add(c);
    if (result) add(words.result[0]), add(words.result[1]);
    for (auto c : {"性", "齢", "馬名　　　　　　　", "負担", "騎手名　", "調教師名", "推定タイム"}) add(c);
    if (result) add("実タイム");
    add(flat ? "推定上3F" : "推定平1F");
    if (result) add(flat ? "実上3F" : "実平1F");
    return ReportLine("RR", fields);
}

namespace {

std::string HsLine(const RaceState& race, int rank, int h) {
    const bool result = race.ResultMode == 1;
    std::vector<Field> f{common::NumberText(rank), race.WakuStr(h), HorseText(h), race.YosoRank(h)};
    if (result) f.emplace_back(race.NinkiStr(h)), f.emplace_back(race.NyusenStr(h));
    f.emplace_back(race.SexStr(h));
    f.emplace_back(AgeText(race.BareiStr(h)));
    f.emplace_back(FirstChars(race.BameiStr(h), 9));
    f.emplace_back(race.FutanStr(h));
    f.emplace_back(FirstChars(race.KisyuStr(h), 4));
    f.emplace_back(FirstChars(race.ChokyosiStr(h), result ? 4 : 3));
    f.emplace_back(race.YosoTimeStr(h));
    if (result) f.emplace_back(race.JitsuTimeStr(h));
    f.emplace_back(race.Yoso3FStr(h));
    if (result) f.emplace_back(race.Jitsu3FStr(h));
    return ReportLine("HS", f);
}

}  // namespace

std::vector<RankedHorse> HorsesByRank(const RaceState& race) {
    // Horses by rank in one pass instead of a search per rank; equal ranks keep horse order.
    std::vector<std::vector<int>> byRank(static_cast<std::size_t>(race.RunnerCount) + 1);
    for (int h = 1; h <= race.RunnerCount; ++h) {
        const auto rank = common::StrictNumber(race.YosoRank(h));
        if (rank && *rank >= 1 && *rank <= race.RunnerCount && *rank == static_cast<int>(*rank))
            byRank[static_cast<std::size_t>(*rank)].push_back(h);
    }
    std::vector<RankedHorse> out;
    for (int k = 1; k <= race.RunnerCount; ++k)
        for (int h : byRank[static_cast<std::size_t>(k)]) out.push_back({k, h});
    return out;
}

std::string HsLines(const RaceState& race) {
    std::string out;
    for (const RankedHorse& r : HorsesByRank(race)) out += HsLine(race, r.Rank, r.Horse);
    return out;
}

std::string WriteYosoJunQ(const RaceState& race) {
    const double c = common::Val(race.TorokuTosu);
    int layoutEnd = 0;
    if (c >= 1 && c <= 4) layoutEnd = 4;
    else if (c >= 5 && c <= 18 && c == static_cast<int>(c)) layoutEnd = static_cast<int>(c);
    // A place the race does not have gets no field, and a line without a place is not written.
    const int end = std::min(layoutEnd, race.RunnerCount);
    std::string q, atq;
    for (int j = 1; 5 * j - 4 <= end && j <= 4; ++j) {
        std::vector<Field> horses, positions;
        for (int place = 5 * j - 4; place <= std::min(5 * j, end); ++place) {
            const int horse = static_cast<int>(common::Val(race.YosoJun(place)));
            horses.emplace_back(HorseText(horse));
            positions.emplace_back(race.ChakujunStr(horse));
        }
        q += ReportLine("Q" + std::to_string(j), horses);
        atq += ReportLine("ATQ" + std::to_string(j), positions);
    }
    return race.ResultMode == 1 ? q + atq : q;
}

namespace {
constexpr int kSantanOrders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
}  // namespace

std::string SantanKey(std::string_view abc, int order) {
    if (abc.size() != 6 || order < 1 || order > 6) return std::string();
    std::string key;
    for (int i : kSantanOrders[order - 1]) key += abc.substr(static_cast<std::size_t>(2 * i), 2);
    return key;
}

bool MayBeSantanKey(std::string_view abc, std::string_view kumi) {
    const std::string_view first = kumi.substr(0, 2);
    return abc.size() == 6 && (first == abc.substr(0, 2) || first == abc.substr(2, 2) || first == abc.substr(4, 2));
}

bool IsSantanKey(std::string_view abc, int order, std::string_view kumi) {
    if (abc.size() != 6 || order < 1 || order > 6) return kumi.empty();
    if (kumi.size() != 6) return false;
    for (std::size_t k = 0; k < 3; ++k)
        if (kumi.substr(2 * k, 2) != abc.substr(static_cast<std::size_t>(2 * kSantanOrders[order - 1][k]), 2)) return false;
    return true;
}

std::optional<std::string> SanpukuKumi(const RaceState& race, int place) {
    return common::FmtKumi3(race.SanrenKumiList(place));
}

std::optional<std::string> SantanJun(const RaceState& race, int place, int order) {
    return common::FmtKumi3Jun(SantanKey(race.SanrenKumiList(place), order));
}

int PairLineCount(std::string_view t) {
    if (t.size() == 2 && t >= "00" && t <= "05") return 6;
    return t == "06" ? 12 : 18;
}

int TrioLineCount(std::string_view t) {
    if (t.size() == 2 && t >= "00" && t <= "04") return 4;
    if (t == "05") return 7;
    return t == "06" ? 14 : 21;
}

namespace {

std::string TierTag(std::string_view prefix, const TicketTier& tier) {
    return std::string(prefix) + tier.Letter + std::to_string(tier.Place);
}

/// Builds a line's fields; a field that cannot be made leaves the line out.
template <class Make>
void PutLine(std::string& out, LineNotes& notes, const std::string& tag, Make make) {
    std::vector<Field> fields;
    if (make(fields)) out += ReportLine(tag, fields);
    else NoteLeftOut(notes, tag, "a ticket key that holds no horse numbers");
}

bool Add(std::vector<Field>& fields, const std::optional<std::string>& text) {
    if (!text) return false;
    fields.emplace_back(*text);
    return true;
}

bool InRange(std::string_view raceNum, std::string_view low, std::string_view high) {
    return raceNum.size() == 2 && raceNum >= low && raceNum <= high;
}

}  // namespace

std::string WriteKaimeMU(const RaceState& race, LineNotes& notes) {
    std::string out;
    const int pairs = std::min(PairLineCount(race.TorokuTosu), race.UmarenKumiCount());
    for (int k = 1; k <= pairs; ++k)
        PutLine(out, notes, TierTag("MU", *PairTier(k)), [&](std::vector<Field>& f) {
            f.emplace_back(std::to_string(k));
            return Add(f, common::FmtKumi2(race.UmarenKumiList(k)));
        });
    const int trios = std::min(TrioLineCount(race.TorokuTosu), race.SanrenKumiCount());
    for (int k = 1; k <= trios; ++k) {
        const bool valueOrder = k <= 14 ? InRange(race.RaceNum, "01", "12") : InRange(race.RaceNum, "09", "12");
        PutLine(out, notes, TierTag("MS", *TrioTier(k)), [&](std::vector<Field>& f) {
            f.emplace_back(std::to_string(k));
            return Add(f, valueOrder ? SanpukuKumi(race, k) : common::FmtKumi3(race.SanrenKumiStr(k)));
        });
    }
    return out;
}

std::string WriteKaimePU(const RaceState& race, LineNotes& notes) {
    std::string out;
    const int pairs = std::min(PairLineCount(race.TorokuTosu), race.UmarenKumiCount());
    for (int k = 1; k <= pairs; ++k)
        PutLine(out, notes, TierTag("PU", *PairTier(k)), [&](std::vector<Field>& f) {
            f.emplace_back(std::to_string(k));
            return Add(f, common::FmtKumi2(race.UmarenKumiStr(k))) &&
                   Add(f, common::FmtKumi2Jun(race.UmarenKumiList(k))) &&
                   Add(f, common::FmtKumi2Jun(SwappedPair(race.UmarenKumiList(k))));
        });
    const int trios = std::min(TrioLineCount(race.TorokuTosu), race.SanrenKumiCount());
    const bool orders = InRange(race.RaceNum, "01", "12");
    for (int k = 1; k <= trios; ++k)
        PutLine(out, notes, TierTag("PS", *TrioTier(k)), [&](std::vector<Field>& f) {
            f.emplace_back(std::to_string(k));
            if (!Add(f, common::FmtKumi3(race.SanrenKumiStr(k)))) return false;
            for (int o = 1; orders && o <= 6; ++o)
                if (!Add(f, SantanJun(race, k, o))) return false;
            return true;
        });
    return out;
}

bool IsRacePayout(const RaceState& race, const records::StoredHR& hr) {
    return records::RaceKey12Of(hr) == race.RaceKey12;
}

namespace {

/// A payout line: its tag and code, its bet and how many of the bet's entries it shows.
struct PayoutLine {
    const char* tag;
    const char* code;
    PayoutBlock block;
    int entries;
    KeyFormat format;
};

constexpr PayoutLine kPayoutLines[] = {
    {"KK", "1", payout::kTansyo, 2, common::FmtUmaban},
    {"KK", "2", payout::kFukusyo, 4, common::FmtUmaban},
    {"KK", "3", payout::kWakuren, 2, common::FmtWakuKumi},
    {"KK", "4", payout::kUmaren, 2, common::FmtKumi2},
    {"KK", "5", payout::kWide, 5, common::FmtKumi2},
    {"KS", "1", payout::kUmatan, 6, common::FmtKumi2Jun},
    {"KS", "2", payout::kSanrenpuku, 3, common::FmtKumi3},
    {"KS", "3", payout::kSanrentan, 6, common::FmtKumi3Jun},
};

}  // namespace

std::string PayoutLines(const records::StoredHR& hr, LineNotes& notes) {
    std::string out;
    for (const PayoutLine& line : kPayoutLines) {
        // A trifecta that paid nothing (zeros or blanks in its first key) ends the block early.
        if (std::string_view(line.tag) == "KS" && std::string_view(line.code) == "3" &&
            common::Val(hr.Get(line.block.kumi, 0)) == 0)
            break;
        std::vector<Field> fields{std::string(line.code)};
        bool made = true;
        for (int e = 0; e < line.entries && made; ++e)
            made = Add(fields, line.format(hr.Get(line.block.kumi, e))) &&
                   Add(fields, common::FmtHaraimodoshi(hr.Get(line.block.pay, e)));
        if (made) out += ReportLine(line.tag, fields);
        else NoteLeftOut(notes, std::string(line.tag) + " " + line.code, "a payout field that holds no number");
    }
    return out;
}

}  // namespace reports
