#pragma once

#include <vector>

#include "world.h"

// Sires and dams, the week's racehorses and the plan of each horse's past runs.
namespace demoweek {

/// One past run as planned before it is given a race.
struct PlannedRun {
    Day day;
    Surface surface = Surface::Turf;
    int distance = 1600;
    int klass = 0;         // the horse's class at that run
    bool newcomers = false;
    bool win = false;
    char ijyo = '0';       // '0' ran normally, '1' scratched, '4' did not finish
};

/// Race kind (SyubetuCD) of a race that a horse of this age runs on this day.
std::string SyubetuFor(Surface surface, int age, int month);
/// Age in racing years: the calendar year of the day minus the birth year.
int AgeOn(const Horse& horse, Day day);

/// Creates the sire pool (the dams come with their foals).
void CreateSires(World& world);

/// Creates a horse for starting place `slot` of this week's race `race`, with the plan of its
/// past runs. Returns the horse's index.
int CreateWeekHorse(World& world, int race, int slot, std::vector<PlannedRun>& plan);

}  // namespace demoweek
