#pragma once

#include <array>
#include <vector>

#include "rng.h"
#include "world.h"

// Odds of every bet kind from the win probabilities (each later place drawn among the horses
// left, in proportion to their chances), their popularity, and the payouts of a finished race.
namespace demoweek {

struct OddsBook {
    int runners = 0;
    bool bracketSold = false;  // bracket quinella is sold from nine runners on
    // Odds times ten and popularity; index by horse numbers (1 to 18) or brackets (1 to 8).
    std::array<int, 19> win{}, winNinki{}, placeLow{}, placeHigh{}, placeNinki{};
    std::array<std::array<int, 9>, 9> bracket{}, bracketNinki{};
    std::vector<int> quinella, quinellaNinki;    // [a * 19 + b], a < b
    std::vector<int> wide, wideNinki;            // [a * 19 + b], a < b
    std::vector<int> exacta, exactaNinki;        // [a * 19 + b], a != b
    std::vector<int> trio, trioNinki;            // [(a * 19 + b) * 19 + c], a < b < c
    std::vector<int> trifecta, trifectaNinki;    // [(a * 19 + b) * 19 + c], all different
    long long votes = 0;                         // total votes of the win pool
};

/// Probabilities by horse number (index 0 unused) as the race's final odds have them.
std::vector<double> FinalChances(const Race& race);
/// The market before the races: the final chances, a little shuffled.
std::vector<double> EarlyChances(const Race& race, Rng& rng);

OddsBook MakeOddsBook(const Race& race, const std::vector<double>& chances);

/// One paid combination: horse numbers (or brackets) in the order they are written.
struct Payout {
    std::vector<int> numbers;
    long long pay = 0;  // yen per 100-yen ticket
    int ninki = 0;
};

struct RacePayouts {
    std::vector<Payout> win, place, bracket, quinella, wide, exacta, trio, trifecta;
};

/// Payouts of a settled race from its final odds: every combination that the finishing order
/// makes a winner, a dead heat for first paying both orders.
RacePayouts PayoutsOf(const Race& race, const OddsBook& book);

}  // namespace demoweek
