#include "supplementary/pc_day_report.h"

#include <exception>
#include <stdexcept>
#include <vector>

#include "common/numbers.h"
#include "common/paths.h"
#include "reports/lup_lines.h"
#include "reports/tekichu.h"
#include "supplementary/pc_formations.h"
#include "supplementary/pc_hit_check.h"

namespace supplementary {

using common::Field;
using reports::Cp932;
using reports::ReportLine;
using workbench::RaceState;

std::string LupPcFile(std::string_view meetingKey, bool resultMode) {
    return "TEKICHU/" + std::string(meetingKey) + (resultMode ? "lupRCMPC.txt" : "lupPC.txt");
}

std::string TekichuPcFile(std::string_view meetingKey) { return "TEKICHU/" + std::string(meetingKey) + "tekichuPC.txt"; }

namespace {

std::string RcLine(const RaceState& race) {
    std::vector<Field> fields(race.RaceInfo.begin() + 1, race.RaceInfo.begin() + 12);
    if (race.ResultMode == 1) fields.emplace_back(std::string());
    return ReportLine("RC", fields);
}

std::string RrLine(const RaceState& race) {
    const bool result = race.ResultMode == 1;
    std::vector<Field> fields;
    auto add = [&](std::string_view caption) { fields.emplace_back(Cp932(caption)); };
    for (auto c : {"n", "w", "馬", "予"}) add(c);
    if (result) add("人"), add("入");
    for (auto c : {"性", "齢", "馬名　　　　　　　", "負担", "騎手名　", "推定タイム"}) add(c);
    if (result) add("実タイム");
    return ReportLine("RR", fields);
}

std::string HsLines(const RaceState& race) {
    const bool result = race.ResultMode == 1;
    std::string out;
    for (const reports::RankedHorse& r : reports::HorsesByRank(race)) {
        const int h = r.Horse;
        std::vector<Field> f{common::NumberText(r.Rank), race.WakuStr(h), reports::HorseText(h), race.YosoRank(h)};
        if (result) f.emplace_back(race.NinkiStr(h)), f.emplace_back(race.NyusenStr(h));
        f.emplace_back(race.SexStr(h));
        f.emplace_back(reports::AgeText(race.BareiStr(h)));
        f.emplace_back(reports::FirstChars(race.BameiStr(h), 9));
        f.emplace_back(race.FutanStr(h));
        f.emplace_back(reports::FirstChars(race.KisyuStr(h), 4));
        f.emplace_back(race.YosoTimeStr(h));
        if (result) f.emplace_back(race.JitsuTimeStr(h));
        out += ReportLine("HS", f);
    }
    return out;
}

std::string TekichuPcHeader() {
    std::vector<Field> header;
    for (auto c : {"単勝1", "複勝1", "単勝2", "複勝2", "馬連F", "馬連B", "馬単F", "  3連複B", "  3連単12", "  3連単23",
                   "  3連単13"})
        header.emplace_back(Cp932(c));
    return ReportLine(Cp932(" R番号"), header);
}

std::string TekichuPcRaceLines(std::string_view raceNum, const workbench::DayTallies& t) {
    std::vector<Field> counts{std::string("1"), std::string("1"), std::string("1"), std::string("1")};
    std::vector<Field> kumi, pay;
    for (int k = 0; k < workbench::kPcTicketKinds; ++k) {
        const workbench::PcKindTally& tally = t.PcKinds[static_cast<std::size_t>(k)];
        if (!workbench::IsSingleTicketKind(static_cast<workbench::PcTicketKind>(k))) counts.emplace_back(tally.RaceTickets);
        kumi.emplace_back(tally.HitKumi);
        pay.emplace_back(tally.HitPay);
    }
    return ReportLine(std::string(raceNum) + "R" + Cp932("点数  "), counts) + ReportLine(Cp932("  的中目"), kumi) +
           ReportLine(Cp932("  配当"), pay);
}

}  // namespace

LupPcRaceBlock ComposeLupPcRace(const RaceState& race, const common::CodeTable& codes, bool newLupPc,
                                bool newTekichuPc, workbench::DayTallies& tallies, reports::LineNotes& notes) {
    LupPcRaceBlock block;
    std::string& out = block.LupPc;
    if (newLupPc) out += reports::DayHeadLines(race.RaceId, codes, notes);
    out += RcLine(race);
    out += RrLine(race);
    out += HsLines(race);
    out += WriteLupPcKaime(race);
    if (race.ResultMode != 1) return block;

    if (newTekichuPc) block.TekichuPc += reports::TekichuTitleLine(race.RaceId, codes, notes) + TekichuPcHeader();
    // A race whose payout record is another race's is neither judged nor shown.
    if (race.CurHr && reports::IsRacePayout(race, *race.CurHr)) {
        HanteiTekichuPc(race, *race.CurHr, tallies);
        block.TekichuPc += TekichuPcRaceLines(race.RaceNum, tallies);
    }
    return block;
}

void LupPcRaceWriter::WriteRace(workbench::RaceContext& context) {
    const RaceState& race = context.race;
    if (race.MeetingKey.size() != 14 || !common::IsDigits(race.MeetingKey))
        throw std::runtime_error("the race's meeting key cannot name its day files");
    const bool result = race.ResultMode == 1;
    const auto lupPc = common::AppPath(LupPcFile(race.MeetingKey, result));
    const auto tekichuPc = common::AppPath(TekichuPcFile(race.MeetingKey));

    // The race is judged on a copy, which becomes the day's only when the hit table takes the race.
    workbench::DayTallies judged = context.tallies;
    reports::LineNotes notes;
    const LupPcRaceBlock block = ComposeLupPcRace(race, context.codes, context.dayFiles.IsNew(lupPc),
                                                  result && context.dayFiles.IsNew(tekichuPc), judged, notes);
    std::string failed;
    auto write = [&](const std::filesystem::path& path, const std::string& bytes) {
        try {
            context.dayFiles.Append(path, bytes);
            return true;
        } catch (const std::exception& e) {
            failed += (failed.empty() ? "" : "; ") + std::string(e.what());
            return false;
        }
    };
    write(lupPc, block.LupPc);
    if (result && write(tekichuPc, block.TekichuPc)) context.tallies = judged;
    for (const std::string& note : notes) context.PassedOver(note);
    if (!failed.empty()) throw std::runtime_error(failed);
}

}  // namespace supplementary
