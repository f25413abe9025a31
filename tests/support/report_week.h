#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/code_table.h"
#include "common/encoding.h"
#include "common/numbers.h"
#include "records/decoders.h"
#include "support/record_bytes.h"
#include "workbench/race_state.h"

// A hand-made week for the report writers' tests: race states set field by field and payout
// records built from bytes at their documented offsets, so that expected lines come from the
// fixture's own numbers, never from a writer.
namespace reportweek {

/// A code table that knows courses 05 (東京) and 08 (京都) only.
inline common::CodeTable Codes() {
    return common::CodeTable::FromCp932(common::ToCp932("2001,05,x,x,東京,x,x,x\r\n2001,08,x,x,京都,x,x,x\r\n"));
}

/// A race of a 16-digit RaceId with no runners; its keys cut from the id by hand.
inline workbench::RaceState Race(std::string_view raceId, std::int16_t resultMode, std::string_view torokuTosu,
                                 std::string_view trackCD) {
    workbench::RaceState race;
    race.RaceIdx = 1;
    race.ResultMode = resultMode;
    race.RaceId = std::string(raceId);
    race.RaceKey12 = std::string(raceId.substr(0, 10)) + std::string(raceId.substr(14, 2));
    race.MeetingKey = std::string(raceId.substr(0, 14));
    race.RaceNum = std::string(raceId.substr(14, 2));
    race.TorokuTosu = std::string(torokuTosu);
    race.TrackCD = std::string(trackCD);
    return race;
}

/// Title row columns 1 to 11 given in UTF-8.
inline void SetTitle(workbench::RaceState& race, const std::vector<std::string>& columns) {
    for (std::size_t c = 0; c < columns.size() && c + 1 < race.RaceInfo.size(); ++c)
        race.RaceInfo[c + 1] = common::ToCp932(columns[c]);
}

/// Runners 1 to n ranked in `order` (best first). Every runner carries the same texts but its
/// bracket (its horse number), its popularity (its horse number) and its arrival `nyusen[h]`;
/// `chakujun[h]` is its finishing position text ("01" to "05" or "**").
/// A `missing` horse number (a gap in the runner file) keeps only its rank and value: its texts are
/// empty, as the race state holds them for a horse without a runner record. `adjust` changes single
/// runners' texts before the ranking goes into the race.
inline void SetRunners(workbench::RaceState& race, const std::vector<int>& order, const std::vector<std::string>& nyusen,
                       const std::vector<std::string>& chakujun, int missing = 0,
                       const std::function<void(workbench::RaceRanking&)>& adjust = {}) {
    const int n = static_cast<int>(order.size());
    race.RunnerCount = n;
    race.Runners.assign(static_cast<std::size_t>(n), workbench::RaceHorseRecord{});
    workbench::RaceRanking r;
    r.RunnerCount = n;
    auto list = [&](std::string_view utf8) { return std::vector<std::string>(n + 1, common::ToCp932(utf8)); };
    r.YosoSpeed = r.Correction = r.YosoValue = r.JitsuSpeed = std::vector<float>(n + 1, 0.0f);
    r.WakuStr = r.NinkiStr = std::vector<std::string>(n + 1);
    for (int h = 1; h <= n; ++h) r.WakuStr[h] = std::to_string(h), r.NinkiStr[h] = common::RightAlignedTwo(h);
    r.BameiStr = list("アイウエオカキクケコ                ");
    r.FutanStr = list("55.0");
    r.KisyuStr = list("騎手太郎");
    r.ChokyosiStr = list("調教師名");
    r.SexStr = list("牡");
    r.BareiStr = list("03");
    r.YosoTimeStr = list("1.35.20");
    r.Yoso3FStr = list("35.10");
    r.JitsuTimeStr = list("1.36.0");
    r.Jitsu3FStr = list("35.5");
    r.NyusenStr = nyusen;
    r.ChakujunStr = chakujun;
    r.ShinraidoGrade.assign(static_cast<std::size_t>(n) + 1, {});
    r.YosoJun.assign(static_cast<std::size_t>(n) + 1, "");
    r.YosoRank.assign(static_cast<std::size_t>(n) + 1, "");
    for (int place = 1; place <= n; ++place) {
        const int h = order[static_cast<std::size_t>(place - 1)];
        r.YosoJun[place] = common::TwoDigits(h);
        r.YosoRank[h] = common::RightAlignedTwo(place);
        r.YosoValue[h] = static_cast<float>(1 << (n - place));
    }
    if (missing >= 1 && missing <= n)
        for (auto* list : {&r.WakuStr, &r.BameiStr, &r.FutanStr, &r.KisyuStr, &r.ChokyosiStr, &r.SexStr, &r.BareiStr,
                           &r.YosoTimeStr, &r.Yoso3FStr, &r.JitsuTimeStr, &r.Jitsu3FStr, &r.NyusenStr, &r.NinkiStr})
            (*list)[static_cast<std::size_t>(missing)].clear();
    if (adjust) adjust(r);
    race.SetRanking(std::move(r));
}

/// Horse h as the ranking leaves a scratched runner: popularity "**" (no number, so no text),
/// arrival "00" (" 0"), no finishing position and no measured times.
inline void Scratch(workbench::RaceRanking& r, int h) {
    const auto i = static_cast<std::size_t>(h);
    r.NinkiStr[i].clear();
    r.NyusenStr[i] = " 0";
    r.ChakujunStr[i] = "**";
    r.JitsuTimeStr[i] = "    ";
    r.Jitsu3FStr[i].clear();
}

/// Ticket lists given place by place (index 0 unused is added here).
inline void SetTickets(workbench::RaceState& race, std::vector<std::string> pairList, std::vector<std::string> pairStr,
                       std::vector<std::string> trioList, std::vector<std::string> trioStr) {
    workbench::RaceTickets t;
    t.UmarenKumiCount = static_cast<int>(pairList.size());
    t.SanrenKumiCount = static_cast<int>(trioList.size());
    pairList.insert(pairList.begin(), ""), pairStr.insert(pairStr.begin(), "");
    trioList.insert(trioList.begin(), ""), trioStr.insert(trioStr.begin(), "");
    t.UmarenKumiList = pairList, t.UmarenKumiStr = pairStr, t.SanrenKumiList = trioList, t.SanrenKumiStr = trioStr;
    race.SetTickets(std::move(t));
}

/// One payout entry: key, 9-digit payout, popularity, as the record holds them.
struct Entry {
    std::string kumi, pay, ninki;
};

/// A payout record (719 bytes, blanks where no entry is given) of a 16-digit RaceId. First byte
/// positions (from 1): RaceId 12, 単勝 103, 複勝 142, 枠連 207, 馬連 246, ワイド 294, 馬単 454,
/// 3連複 550, 3連単 604.
struct PayoutBuilder {
    std::string bytes = std::string(717, ' ') + "\r\n";
    explicit PayoutBuilder(std::string_view raceId) { testsupport::Put(bytes, 12, raceId); }
    PayoutBuilder& Block(std::size_t first, std::size_t entryWidth, const std::vector<Entry>& entries) {
        std::size_t at = first;
        for (const Entry& e : entries) {
            testsupport::Put(bytes, at, e.kumi);
            testsupport::Put(bytes, at + e.kumi.size(), e.pay);
            testsupport::Put(bytes, at + e.kumi.size() + 9, e.ninki);
            at += entryWidth;
        }
        return *this;
    }
    PayoutBuilder& Tansyo(const std::vector<Entry>& e) { return Block(103, 13, e); }
    PayoutBuilder& Fukusyo(const std::vector<Entry>& e) { return Block(142, 13, e); }
    PayoutBuilder& Wakuren(const std::vector<Entry>& e) { return Block(207, 13, e); }
    PayoutBuilder& Umaren(const std::vector<Entry>& e) { return Block(246, 16, e); }
    PayoutBuilder& Wide(const std::vector<Entry>& e) { return Block(294, 16, e); }
    PayoutBuilder& Umatan(const std::vector<Entry>& e) { return Block(454, 16, e); }
    PayoutBuilder& Sanrenpuku(const std::vector<Entry>& e) { return Block(550, 18, e); }
    PayoutBuilder& Sanrentan(const std::vector<Entry>& e) { return Block(604, 19, e); }
    records::StoredHR Record() const {
        records::StoredHR hr;
        hr.Assign(bytes);
        return hr;
    }
};

/// Race 05 of 東京 on 2025-11-01 (3回2日目): four runners ranked 3, 1, 4, 2 (values 8, 4, 2, 1,
/// so tickets fall in rank order); horses 1, 3, 2 finish first to third.
inline workbench::RaceState FourRunnerRace(std::int16_t resultMode) {
    workbench::RaceState race = Race("2025110105030205", resultMode, "04", "10");
    SetTitle(race, {"5", "1230", "05", "", "サラ系３歳", "未勝利", "", "芝", "1600", " 7", "晴良"});
    SetRunners(race, {3, 1, 4, 2}, {"", " 1", " 3", " 2", " 4"}, {"", "01", "03", "02", "**"});
    SetTickets(race, {"0301", "0304", "0302", "0104", "0102", "0402"}, {"0103", "0304", "0203", "0104", "0102", "0204"},
               {"030104", "030102", "030402", "010402"}, {"010304", "010203", "020304", "010204"});
    return race;
}

/// The payout record of FourRunnerRace.
inline PayoutBuilder FourRunnerPayout() {
    PayoutBuilder hr("2025110105030205");
    hr.Tansyo({{"01", "000000350", "02"}})
        .Fukusyo({{"01", "000000150", "02"}, {"03", "000000120", "01"}, {"02", "000000300", "05"}})
        .Wakuren({{"13", "000000500", "03"}})
        .Umaren({{"0103", "000000800", "003"}})
        .Wide({{"0103", "000000300", "002"}, {"0102", "000000700", "005"}, {"0203", "000000400", "003"}})
        .Umatan({{"0103", "000001500", "004"}})
        .Sanrenpuku({{"010203", "000002000", "006"}})
        .Sanrentan({{"010302", "000009000", "0010"}});
    return hr;
}

/// Race 06 of the same day: no runners, a hurdle race with a name.
inline workbench::RaceState EmptyHurdleRace(std::int16_t resultMode) {
    workbench::RaceState race = Race("2025110105030206", resultMode, "  ", "51");
    SetTitle(race, {"6", "1300", "06", "テスト特別", "サラ系３歳", "５００万下", "", "障", "3000", " 0", "晴良"});
    return race;
}

/// Day B, 2025-11-02 at course 06 (not in the code table), 3回1日目, race 01: `TorokuTosu` "16" over
/// a runner file that ends at horse 6, ranked 1 to 6; horses 1, 2, 3 finish first to third. Two
/// pairs and one trio keep the ticket lines short.
inline workbench::RaceState SixOfSixteenRace(std::int16_t resultMode) {
    workbench::RaceState race = Race("2025110206030101", resultMode, "16", "10");
    SetTitle(race, {"1", "1000", "01", "", "サラ系２歳", "新馬", "", "ダ", "1200", " 6", "曇稍"});
    SetRunners(race, {1, 2, 3, 4, 5, 6}, {"", " 1", " 2", " 3", " 4", " 5", " 6"},
               {"", "01", "02", "03", "**", "**", "**"});
    SetTickets(race, {"0102", "0103"}, {"0102", "0103"}, {"010203"}, {"010203"});
    return race;
}

/// Its payout record: the 馬連 entry has a blank popularity, one ワイド entry, nothing else.
inline PayoutBuilder SixOfSixteenPayout() {
    PayoutBuilder hr("2025110206030101");
    hr.Umaren({{"0102", "000000500", "   "}}).Wide({{"0102", "000000200", "001"}});
    return hr;
}

/// Day B, race 02: cancelled; three runners ranked 2, 1, 3 with no positions, `TorokuTosu` "03".
inline workbench::RaceState CancelledRace(std::int16_t resultMode) {
    workbench::RaceState race = Race("2025110206030102", resultMode, "03", "23");
    SetTitle(race, {"2", "1030", "02", "", "サラ系３歳", "未勝利", "", "ダ", "1800", " 3", "曇稍"});
    SetRunners(race, {2, 1, 3}, {"", "", "", ""}, {"", "**", "**", "**"});
    SetTickets(race, {"0201", "0203", "0103"}, {"0102", "0203", "0103"}, {"020103"}, {"010203"});
    return race;
}

/// Its payout record pays nothing: blank entries, the first 3連単 key "000000".
inline PayoutBuilder CancelledPayout() {
    PayoutBuilder hr("2025110206030102");
    hr.Sanrentan({{"000000", "         ", "    "}});
    return hr;
}

/// Race 07 of day A: horses 1 to 16 without 7 (its texts blank, ranked last), `TorokuTosu` "16";
/// horses 1 and 2 dead-heat for first, horse 3 third.
inline workbench::RaceState GapDeadHeatRace(std::int16_t resultMode) {
    workbench::RaceState race = Race("2025110105030207", resultMode, "16", "10");
    SetTitle(race, {"7", "1330", "07", "", "サラ系３歳以上", "１勝クラス", "", "芝", "2000", "10", "晴良"});
    std::vector<std::string> nyusen(17, ""), chakujun(17, "**");
    nyusen[1] = " 1", nyusen[2] = " 2", nyusen[3] = " 3";
    chakujun[1] = chakujun[2] = "01", chakujun[3] = "03";
    SetRunners(race, {1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15, 16, 7}, nyusen, chakujun, 7);
    SetTickets(race, {"0102", "0103"}, {"0102", "0103"}, {"010203"}, {"010203"});
    return race;
}

/// Its payout record: two 単勝 entries, 馬単 in both orders, two 3連単 entries.
inline PayoutBuilder GapDeadHeatPayout() {
    PayoutBuilder hr("2025110105030207");
    hr.Tansyo({{"01", "000000200", "01"}, {"02", "000000250", "02"}})
        .Umaren({{"0102", "000000300", "001"}})
        .Umatan({{"0102", "000000400", "001"}, {"0201", "000000450", "002"}})
        .Sanrenpuku({{"010203", "000000500", "001"}})
        .Sanrentan({{"010203", "000000600", "0001"}, {"020103", "000000700", "0002"}});
    return hr;
}

/// A result-mode race of `n` runners ranked 1 to n in horse order, with its registered count, its
/// spread column and the finishing positions given (others "**").
inline workbench::RaceState RankedRace(int n, std::string_view toroku, std::string_view spread, const std::map<int, std::string>& placed,
                     std::string_view raceId = "2025110105030208") {
    workbench::RaceState race = Race(raceId, 1, toroku, "10");
    race.RaceInfo[10] = std::string(spread);
    std::vector<int> order;
    std::vector<std::string> nyusen(static_cast<std::size_t>(n) + 1), chakujun(static_cast<std::size_t>(n) + 1, "**");
    for (int h = 1; h <= n; ++h) order.push_back(h);
    for (const auto& [h, pos] : placed) chakujun[static_cast<std::size_t>(h)] = pos;
    SetRunners(race, order, nyusen, chakujun);
    return race;
}

/// The payouts of a race where horses 2 and 3 finish first and second and `third` (below 10) third.
inline records::StoredHR TwoThreeThirdPayout(std::string_view raceId, int third) {
    const std::string t = "0" + std::to_string(third);
    return PayoutBuilder(raceId)
        .Tansyo({{"02", "000000420", "02"}})
        .Fukusyo({{"02", "000000150", "02"}, {"03", "000000210", "03"}, {t, "000000560", "07"}})
        .Umaren({{"0203", "000001230", "004"}})
        .Umatan({{"0203", "000002340", "006"}})
        .Sanrenpuku({{"0203" + t, "000004560", "012"}})
        .Sanrentan({{"0203" + t, "000023450", "0045"}})
        .Record();
}

/// Day A with its payout records: race 05 (four runners), race 06 (no runners, holding race 05's
/// payouts, which are not its own) and race 07 (a gap at horse 7, a dead heat for first).
inline std::vector<workbench::RaceState> DayA(std::int16_t mode) {
    workbench::RaceState first = FourRunnerRace(mode);
    first.CurHr = FourRunnerPayout().Record();
    workbench::RaceState second = EmptyHurdleRace(mode);
    second.CurHr = first.CurHr;
    workbench::RaceState third = GapDeadHeatRace(mode);
    third.CurHr = GapDeadHeatPayout().Record();
    return {first, second, third};
}

/// A second course on day A's date: 京都 4回2日目 race 01, eight runners ranked in horse order,
/// spread 31; horses 2 and 3 first and second, horse 6 third.
inline workbench::RaceState KyotoRace(std::int16_t mode) {
    workbench::RaceState race = RankedRace(8, "08", "31", {{2, "01"}, {3, "02"}, {6, "03"}}, "2025110108040201");
    race.ResultMode = mode;
    SetTitle(race, {"1", "1000", "01", "", "サラ系２歳", "新馬", "", "ダ", "1400", "31", "曇稍"});
    race.CurHr = TwoThreeThirdPayout("2025110108040201", 6);
    return race;
}

}  // namespace reportweek
