#pragma once

#include <string>

#include "betting.h"
#include "world.h"

// The data service's records of the week, built field by field through the record layouts:
// each a blank record of its kind's length, ending in CR LF, Shift-JIS text in its fields.
namespace demoweek {

/// How far a race has got when its record is made.
struct Stage {
    char kubun = '7';    // DataKubun
    Day made;            // MakeDate
    bool results = true; // finishing order, times and body weights are known
};

/// A past race as the data service holds it: final results, made two days after the race.
Stage PastStage(const Race& race);
/// This week's race as fetched in `state`: the race card (kind 2) before, the results (kind 7,
/// kind 9 for a race called off) after.
Stage WeekStage(const World& world, const Race& race, WeekState state);

std::string RaRecord(const World& world, const Race& race, const Stage& stage);
std::string SeRecord(const World& world, const Race& race, const Slot& slot, const Stage& stage);
std::string HrRecord(const Race& race, const RacePayouts& payouts, const Stage& stage);
std::string UmRecord(const World& world, const Horse& horse, Day made);
/// The jockey record as the data service delivers it (4173 bytes).
std::string KsRecord(const World& world, const Person& jockey, Day made);
/// The jockey record in its stored form (4161 bytes), as the supplied jockey file holds it.
std::string KsStoredRecord(const World& world, const Person& jockey, Day made);

/// Odds records. `announced` is the HappyoTime, mmddhhmm.
std::string O1Record(const Race& race, const OddsBook& book, char kubun, Day made, const std::string& announced);
std::string O2Record(const Race& race, const OddsBook& book, char kubun, Day made, const std::string& announced);
std::string O4Record(const Race& race, const OddsBook& book, char kubun, Day made, const std::string& announced);
std::string O5Record(const Race& race, const OddsBook& book, char kubun, Day made, const std::string& announced);
std::string O6Record(const Race& race, const OddsBook& book, char kubun, Day made, const std::string& announced);

/// A whole number as `width` digits with leading zeros (cut to its last digits when longer).
std::string Digits(long long value, int width);

}  // namespace demoweek
