#pragma once

#include <string_view>

#include "workbench/day_tallies.h"
#include "workbench/race_state.h"

// How far down the predicted order each PC ticket kind reaches in a race, and how many tickets
// that makes: chosen by the registered runner count, and by the race spread where the count
// leaves it open.
namespace supplementary {

/// The tickets a kind buys in the race and the last rank e of its formation.
struct PcFormation {
    int RaceTickets = 0;
    int E = 0;
};

/// The formation of one of the seven formation kinds for a registered count and a spread column
/// (two characters: "42" stands for 142 as well); a single-ticket kind gives 1 ticket, e 1.
PcFormation PcFormationOf(workbench::PcTicketKind kind, std::string_view torokuTosu, std::string_view spread);

/// The horse number at predicted rank k, 0 where the race has no horse at that rank.
int HorseAtRank(const workbench::RaceState& race, int rank);

}  // namespace supplementary
