#pragma once

#include <vector>

#include "rng.h"
#include "world.h"

// Jockeys, trainers, owners and breeders, sized to the week.
namespace demoweek {

/// Fills world.jockeys, trainers, owners and breeders for a week of about `horses` runners.
void CreatePeople(World& world, int horses);

/// A jockey for a ride: the horse's own jockey mostly, someone else now and then; over hurdles
/// only hurdle riders; never one of `taken` (the race's other riders).
int PickJockey(const World& world, Rng& rng, int usual, bool hurdles, const std::vector<int>& taken);

}  // namespace demoweek
