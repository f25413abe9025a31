#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/grid_cells.h"
#include "records/decoders.h"
#include "workbench/race_info_table.h"
#include "workbench/runner_grids.h"
#include "workbench/ticket_grids.h"

// The race detail view: what a click on a race of the prediction window's list shows, read
// afresh from the race's files on every click. Each step is a function; ShowRaceDetail runs them
// in order and returns what the window applies.
namespace workbench {

/// What the view keeps from one click to the next (members of the prediction window).
struct RaceDetailState {
    /// The last payout record read, whether it matched or not (blanks before the first).
    records::StoredHR CurHr;
    /// The runner count the ticket grids were last sized by.
    std::int32_t TicketRunnerCount = 0;
    /// The race's sort file: row = line = horse number 1 to 18, columns 0 to 14 its fields
    /// (CP932 bytes as the file holds them).
    std::array<std::array<std::string, 16>, 19> SortTable{};
    /// Each horse's predicted rank, from column 3 of SortTable.
    std::array<std::string, 19> YosoRank{};
    /// Lines of the sort file read.
    int HorseIdx = 0;
    /// The runner grids and the chart as the last click left them.
    RunnerGrids Runners;
};

/// Step 1: the selected line and the race it names.
struct RaceSelection {
    int Row = 0;            // list index + 1: the race's row of RaceInfoTable
    std::string Line;       // the line's text (UTF-8)
    std::string RaceKey12;  // its last 12 characters
    /// The key is twelve digits: only then does a step read or write a file for the race.
    bool KeyUsable = false;
};
/// None when no line is selected (`listIndex` below 0).
std::optional<RaceSelection> SelectRace(int listIndex, std::string_view lineText);

/// Step 2: Text1 and its background (QBColor index).
struct RaceTitleView {
    std::string Text;
    std::int8_t BackColour = common::qb::kLightGreen;
};
/// The line, then columns 4 to 9 of the race's row, "m ", "SD=", column 10, " " and column 11.
RaceTitleView DetailTitle(const RaceSelection& selection, const RaceInfoTable& titles);

/// Step 4: what the race and payout records change.
struct RacePayouts {
    /// A breaking payout of the race was found: the title turns light yellow.
    bool Breaking = false;
    /// The last call of the ticket grids' fill, if any ran: the grids show it; else they keep
    /// what they showed.
    std::optional<TicketGrids> Tickets;
};
/// Rewrites RACETHISWEEKN.dat with the race keys of the race records of kind "2" (once, through
/// a scratch file). When there are any: the race's race records size the ticket grids, then its
/// breaking payouts (HRRIALTIME.dat) fill the payout grid and the ticket grids; otherwise its
/// payouts of the week (HRTHISWEEKN.dat) do. The last matching record decides; `state.CurHr`
/// keeps the last payout record read.
RacePayouts FindRacePayouts(const RaceSelection& selection, RaceDetailState& state, common::GridCells& haito);

/// Step 5: SortTable and YosoRank rows 1 to 18 emptied, then filled from the first 18 lines of
/// KAIME/<RaceKey12>SORT.dat.
void ReadPredictedRanks(const RaceSelection& selection, RaceDetailState& state);

/// Step 6: the runner grids and the chart from the race's runner file (a missing or unreadable
/// file, or a key that is not twelve digits, gives a race without runners).
void ShowRunnerGrids(const RaceSelection& selection, RaceDetailState& state);

/// What a click shows (the runner grids and the chart are in the state).
struct RaceDetailView {
    RaceTitleView Title;
    common::GridCells HAITOGrid1;
    std::optional<TicketGrids> Tickets;
};
/// Steps 1 to 6; none when no line is selected (the click does nothing).
std::optional<RaceDetailView> ShowRaceDetail(int listIndex, std::string_view lineText, const RaceInfoTable& titles,
                                             RaceDetailState& state);

}  // namespace workbench
