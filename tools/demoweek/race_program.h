#pragma once

#include <vector>

#include "horses.h"
#include "rng.h"
#include "world.h"

// The races: this week's cards and fields, the past races that the horses ran in, and who rode
// and carried what in each run.
namespace demoweek {

/// This week's races of every day and course, with conditions but no horses yet.
void CreateWeekRaces(World& world);

/// A horse for every starting place of this week's races; `plans` receives each horse's planned
/// past runs (index = horse index).
void CreateWeekFields(World& world, std::vector<std::vector<PlannedRun>>& plans);

/// Gives every planned run a place in a past race, creating past races as needed.
void PlacePastRuns(World& world, const std::vector<std::vector<PlannedRun>>& plans);

/// Runs this week's races (their results are written only in the after-results state).
void RunWeekRaces(World& world);

/// Names the winners and runners-up of past races that are not horses of this week.
void NameOutsiders(World& world);

/// Sets the race's condition codes, weights rule, prize money and, for some, a name.
void SetConditions(Race& race, Rng& rng, int namedKind);

/// Fills in a run of `horse` in `slot`: rider, weight carried, body weight. False when no
/// rider is free for the race.
bool DressRun(World& world, Race& race, Slot& slot, int horse, Rng& rng);

}  // namespace demoweek
