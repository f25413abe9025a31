#include "supplementary/pc_ticket_counts.h"

#include "common/numbers.h"

namespace supplementary {

using workbench::PcTicketKind;

namespace {

// Columns: T 1-4, T 5, T 6, T 7, T 8, other T with a spread of 30 or less, other T over 30.
// A T 8 entry of 0 means "as other T".
struct Row {
    PcFormation byCount[5];
    PcFormation wide, narrow;
};

const Row kRows[] = {
    {{{6, 4}, {9, 5}, {12, 6}, {12, 6}, {0, 0}}, {15, 7}, {12, 6}},    // 馬連F
    {{{6, 4}, {10, 5}, {10, 5}, {10, 5}, {0, 0}}, {15, 6}, {10, 5}},   // 馬連B
    {{{9, 4}, {12, 5}, {12, 5}, {12, 5}, {0, 0}}, {18, 7}, {15, 6}},   // 馬単F
    {{{4, 4}, {10, 5}, {10, 5}, {10, 5}, {0, 0}}, {20, 6}, {10, 5}},   // 3連複B
    {{{12, 4}, {18, 5}, {24, 6}, {30, 7}, {36, 8}}, {42, 9}, {36, 8}},  // 3連単12
    {{{6, 4}, {12, 5}, {18, 6}, {24, 7}, {30, 8}}, {36, 9}, {30, 8}},   // 3連単23
    {{{6, 4}, {12, 5}, {18, 6}, {24, 7}, {30, 8}}, {36, 9}, {30, 8}},   // 3連単13
};

}  // namespace

PcFormation PcFormationOf(PcTicketKind kind, std::string_view torokuTosu, std::string_view spread) {
    if (workbench::IsSingleTicketKind(kind)) return {1, 1};
    const Row& row = kRows[static_cast<int>(kind) - static_cast<int>(PcTicketKind::UmarenF)];
    const double t = common::Val(torokuTosu);
    int column = -1;
    if (t >= 1 && t <= 4) column = 0;
    else if (t == 5) column = 1;
    else if (t == 6) column = 2;
    else if (t == 7) column = 3;
    else if (t == 8) column = 4;
    if (column >= 0 && row.byCount[column].E != 0) return row.byCount[column];
    return common::Val(spread) > 30 ? row.narrow : row.wide;
}

int HorseAtRank(const workbench::RaceState& race, int rank) {
    if (rank < 1 || rank > race.RunnerCount) return 0;
    const auto horse = common::DigitsValue(race.YosoJun(rank));
    return horse && *horse >= 1 && *horse <= race.RunnerCount ? static_cast<int>(*horse) : 0;
}

}  // namespace supplementary
