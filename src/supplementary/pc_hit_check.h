#pragma once

#include "records/decoders.h"
#include "workbench/day_tallies.h"
#include "workbench/race_state.h"

// The hit check of the eleven PC ticket kinds against a race's own payout record.
namespace supplementary {

/// Sets every kind's tickets of the race and clears its hit; adds the tickets to the day; then
/// judges each kind. A win or place kind hits with the entry of its horse. A formation kind hits
/// when one or more entries of its bet pay a combination it bought (dead heats pay several): the
/// first such entry is its hit, and every such entry adds its payout. An entry without a
/// combination or without digits in its payout pays nothing.
void HanteiTekichuPc(const workbench::RaceState& race, const records::StoredHR& hr, workbench::DayTallies& tallies);

}  // namespace supplementary
