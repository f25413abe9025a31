#include "workbench/race_detail.h"

#include <exception>
#include <vector>

#include "common/encoding.h"
#include "common/error_log.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/text_file.h"
#include "engine/day_before_fix.h"
#include "records/fields.h"
#include "records/keys.h"
#include "records/week_record_file.h"
#include "workbench/payout_grid.h"

namespace workbench {

namespace {

constexpr std::string_view kStep = "race detail";

// The number a TorokuTosu field holds ("00" and blanks give 0).
std::int32_t RunnerCountOf(std::string_view torokuTosu) { return common::CInt(common::Val(torokuTosu)); }

}  // namespace

std::optional<RaceSelection> SelectRace(int listIndex, std::string_view lineText) {
    if (listIndex < 0) return std::nullopt;
    RaceSelection s;
    s.Row = listIndex + 1;
    s.Line = std::string(lineText);
    s.RaceKey12 = common::RightChars(lineText, 12);
    s.KeyUsable = s.RaceKey12.size() == 12 && common::IsDigits(s.RaceKey12);
    return s;
}

RaceTitleView DetailTitle(const RaceSelection& selection, const RaceInfoTable& titles) {
    RaceTitleView title;
    title.Text = selection.Line;
    const auto cell = [&](int column) { return common::FromCp932(titles.Cell(selection.Row, column)); };
    for (int column = info::kRaceName; column <= info::kKyori; ++column) title.Text += cell(column);
    title.Text += "m SD=" + cell(info::kSpread) + " " + cell(info::kWeatherGoing);
    title.BackColour = common::qb::kLightGreen;
    return title;
}

RacePayouts FindRacePayouts(const RaceSelection& selection, RaceDetailState& state, common::GridCells& haito) {
    RacePayouts found;
    if (!selection.KeyUsable) return found;
    const std::string& key = selection.RaceKey12;

    // One pass over the race file: the race week list and the race's runner count.
    std::string weekList;
    std::int64_t kindTwo = 0;
    std::optional<std::int32_t> raceRunners;
    common::PassOver(kStep, [&] {
        records::WeekFileRA(common::AppPath(records::kRaThisWeekNew)).ForEach(kStep, [&](std::int64_t, records::RecordView<records::LayoutRA> ra) {
            const std::string raceKey = records::RaceKey12Of(ra);
            if (ra.Get(records::kDataKubun<records::LayoutRA>) == "2") {
                ++kindTwo;
                weekList += "\"" + raceKey + "\"\r\n";
            }
            if (raceKey == key) raceRunners = RunnerCountOf(ra.Get(records::ra::TorokuTosu));
        });
    });
    common::PassOver(kStep, [&] { common::WriteFileAtomically(common::AppPath(engine::kRaceWeekListFile), weekList); });

    // The ticket grids are filled once, from what the last of their calls would have had: each
    // call repaints all four, so only the last one shows.
    std::optional<std::pair<std::int32_t, records::StoredHR>> lastTicketCall;
    if (kindTwo != 0 && raceRunners) {
        state.TicketRunnerCount = *raceRunners;
        lastTicketCall.emplace(*raceRunners, state.CurHr);
    }

    const std::string_view payoutFile = kindTwo != 0 ? records::kHrRealtime : records::kHrThisWeek;
    std::optional<records::StoredHR> matched;
    common::PassOver(kStep, [&] {
        std::string last;
        records::WeekFileHR(common::AppPath(payoutFile)).ForEach(kStep, [&](std::int64_t, records::RecordView<records::LayoutHR> hr) {
            last.assign(hr.Bytes());
            if (records::RaceKey12Of(hr) != key) return;
            if (!matched) matched.emplace();
            matched->Assign(hr.Bytes());
        });
        if (!last.empty()) state.CurHr.Assign(last);
    });
    if (matched) {
        found.Breaking = kindTwo != 0;
        FillPayoutGrid(matched->View(), haito);
        state.TicketRunnerCount = RunnerCountOf(matched->Get(records::hr::TorokuTosu));
        lastTicketCall.emplace(state.TicketRunnerCount, *matched);
    }
    if (lastTicketCall) found.Tickets = FillTicketGrids(key, lastTicketCall->first, lastTicketCall->second.View());
    return found;
}

void ReadPredictedRanks(const RaceSelection& selection, RaceDetailState& state) {
    for (int h = 1; h <= 18; ++h) {
        state.SortTable[static_cast<std::size_t>(h)].fill({});
        state.YosoRank[static_cast<std::size_t>(h)].clear();
    }
    state.HorseIdx = 0;
    if (!selection.KeyUsable) return;
    const std::string file = "KAIME/" + selection.RaceKey12 + "SORT.dat";
    const std::string content = ReadDetailFile(common::AppPath(file));
    int lineNumber = 0;
    for (const std::string& line : common::SplitLines(content)) {
        if (state.HorseIdx == 18) break;
        auto& row = state.SortTable[static_cast<std::size_t>(++state.HorseIdx)];
        common::WrittenFieldReader fields{line};
        fields.LogUnreadableFields(kStep, file, ++lineNumber);
        for (int c = 0; c < 15; ++c)
            if (!fields.Next(row[static_cast<std::size_t>(c)])) row[static_cast<std::size_t>(c)].clear();
        state.YosoRank[static_cast<std::size_t>(state.HorseIdx)] = row[3];
    }
}

void ShowRunnerGrids(const RaceSelection& selection, RaceDetailState& state) {
    std::vector<RaceHorseRecord> runners;
    if (selection.KeyUsable) {
        // The view shows what it can: a file it cannot read shows as a race without runners.
        try {
            runners = ReadRaceHorseFile(selection.RaceKey12, kStep);
        } catch (const std::exception&) {
            runners.clear();
        }
    }
    FillRunnerGrids(selection.RaceKey12, runners, state.YosoRank, state.Runners);
}

std::optional<RaceDetailView> ShowRaceDetail(int listIndex, std::string_view lineText, const RaceInfoTable& titles,
                                             RaceDetailState& state) {
    const std::optional<RaceSelection> selection = SelectRace(listIndex, lineText);
    if (!selection) return std::nullopt;
    RaceDetailView view;
    view.Title = DetailTitle(*selection, titles);
    view.HAITOGrid1 = PayoutGridFrame();
    RacePayouts payouts = FindRacePayouts(*selection, state, view.HAITOGrid1);
    if (payouts.Breaking) view.Title.BackColour = common::qb::kLightYellow;
    view.Tickets = std::move(payouts.Tickets);
    ReadPredictedRanks(*selection, state);
    ShowRunnerGrids(*selection, state);
    return view;
}

}  // namespace workbench
