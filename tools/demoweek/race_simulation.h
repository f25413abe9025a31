#pragma once

#include "rng.h"
#include "world.h"

// How races are run: speeds by surface and distance, the finishing order drawn from the win
// probabilities, times, last-three-furlong times, margins, corner positions and lap times.
namespace demoweek {

/// Whole-race speed in km/h of a class-1 winner on good going.
double BaseSpeed(Surface surface, int distance);
/// Change of speed in km/h by the going code ('1' good to '4' heavy).
double GoingEffect(Surface surface, char going);
/// Speed over the last three furlongs divided by the whole-race speed.
double FinishRatio(Surface surface, int distance);
/// Going code of a race for its surface.
char GoingOf(const Race& race);

/// Win probabilities and odds from the slots' strengths, then the running: order, times,
/// own last furlongs and corner positions. `chaos` widens the spread of strengths.
void RunRace(Race& race, Rng& rng);

/// Places from the running, leaving out horses that did not finish; margins, time
/// differences, prizes and the race's lap times. A dead heat for first joins the first two.
void SettleRace(Race& race, Rng& rng);

/// Win odds (times ten) of a probability after the takeout, at least 1.0.
int OddsOf(double probability, double payback, int maxTimesTen);

/// Bracket of a horse number in a field of n (JRA rule: the last brackets take the extra horses).
int BracketOf(int umaban, int runners);

}  // namespace demoweek
