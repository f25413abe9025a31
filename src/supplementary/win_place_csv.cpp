#include "supplementary/win_place_csv.h"

#include <stdexcept>
#include <vector>

#include "common/encoding.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "records/payout_blocks.h"
#include "reports/lup_lines.h"
#include "reports/report_lines.h"
#include "workbench/race_info_table.h"

namespace supplementary {

using reports::Cp932;
using workbench::RaceState;
namespace info = workbench::info;

std::string TanfukuCsv(int rank, std::string_view meetingKey, bool resultMode) {
    const std::string suffix = rank == 2 ? "2" : "";
    return (rank == 2 ? "TANFUKU2/" : "TANFUKU/") + std::string(meetingKey) + (resultMode ? "tnfkRCM" : "tnfk") +
           suffix + ".csv";
}

WinPlacePay WinPlacePayOf(const records::StoredHR& hr, int horse) {
    const std::string umaban = common::TwoDigits(horse);
    // The entry of the horse's own number: a dead heat or a demotion leaves no other rule sound.
    auto pay = [&](const records::PayoutBlock& block) {
        for (int e = 0; e < block.entries; ++e)
            if (hr.Get(block.kumi, e) == umaban) return std::string(hr.Get(block.pay, e));
        return std::string();
    };
    return {pay(records::payout::kTansyo), pay(records::payout::kFukusyo)};
}

namespace {

/// "単勝・複勝 数量化1位 2024年06月02日 第3回 東京 第2日": the day's one title field.
std::string TitleLine(int rank, const RaceState& race, const common::CodeTable& codes) {
    const std::string_view id = race.RaceId;
    const auto kaiji = reports::CodeIntegerText(id.substr(10, 2));
    const auto nichiji = reports::CodeIntegerText(id.substr(12, 2));
    if (!kaiji || !nichiji) throw std::runtime_error("the race's identity holds no meeting numbers");
    const std::string title = std::string(rank == 2 ? "単勝・複勝 数量化2位 " : "単勝・複勝 数量化1位 ") +
                              std::string(id.substr(0, 4)) + "年" + std::string(id.substr(4, 2)) + "月" +
                              std::string(id.substr(6, 2)) + "日 第" + *kaiji + "回 " +
                              codes.LookupCode("2001", id.substr(8, 2), 4) + " 第" + *nichiji + "日";
    return common::WrittenFields({common::ToCp932(title)}) + "\r\n";
}

std::string HeaderLine(bool result) {
    std::vector<common::Field> fields;
    auto add = [&](std::string_view caption) { fields.emplace_back(Cp932(caption)); };
    for (auto c : {"発走時刻", "R番号", "枠番", "馬番"}) add(c);
    if (result) add("人気"), add("入線");
    for (auto c : {"馬名", "単勝配当", "複勝配当", "騎手名", "調教師名"}) add(c);
    return common::WrittenFields(fields) + "\r\n";
}

std::string Row(const RaceState& race, int h) {
    const bool result = race.ResultMode == 1;
    const auto& row = race.RaceInfo;
    WinPlacePay pay;
    if (result && race.CurHr && reports::IsRacePayout(race, *race.CurHr)) pay = WinPlacePayOf(*race.CurHr, h);
    std::vector<common::Field> f{row[info::kHassoTime], Cp932("第") + row[info::kRaceNum] + "R", race.WakuStr(h),
                                 reports::HorseText(h)};
    if (result) f.emplace_back(race.NinkiStr(h)), f.emplace_back(race.NyusenStr(h));
    f.emplace_back(reports::FirstChars(race.BameiStr(h), 9));
    f.emplace_back(pay.Win);
    f.emplace_back(pay.Place);
    f.emplace_back(reports::FirstChars(race.KisyuStr(h), 4));
    f.emplace_back(reports::FirstChars(race.ChokyosiStr(h), result ? 4 : 3));
    f.emplace_back(race.SexStr(h));
    f.emplace_back(reports::AgeText(race.BareiStr(h)) + Cp932("歳"));
    for (int c : {info::kRaceName, info::kSyubetu, info::kJyoken, info::kGrade, info::kTrack})
        f.emplace_back(row[static_cast<std::size_t>(c)]);
    f.emplace_back(row[info::kKyori] + Cp932("ｍ"));
    return common::WrittenFields(f) + "\r\n";
}

}  // namespace

std::string ComposeTanfukuRace(int rank, const RaceState& race, const common::CodeTable& codes, bool newFile) {
    std::string out;
    if (newFile) out += TitleLine(rank, race, codes) + HeaderLine(race.ResultMode == 1);
    for (const reports::RankedHorse& r : reports::HorsesByRank(race))
        if (r.Rank == rank) out += Row(race, r.Horse);
    return out;
}

void TanfukuWriter::WriteRace(workbench::RaceContext& context) {
    const RaceState& race = context.race;
    if (race.MeetingKey.size() != 14 || !common::IsDigits(race.MeetingKey) || race.RaceId.size() != 16)
        throw std::runtime_error("the race's meeting key cannot name its day file");
    const auto path = common::AppPath(TanfukuCsv(rank_, race.MeetingKey, race.ResultMode == 1));
    const bool newFile = context.dayFiles.IsNew(path);
    const std::string lines = ComposeTanfukuRace(rank_, race, context.codes, newFile);
    if (!lines.empty()) context.dayFiles.Append(path, lines);
}

}  // namespace supplementary
