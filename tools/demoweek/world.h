#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "calendar.h"

// The generator's model of a racing week: people, breeding horses, racehorses, races and the
// runners in them. Everything is decided here first; the writers only turn it into files.
namespace demoweek {

/// How big a week is.
struct Scale {
    int days = 2;            // race days from the Saturday on (1 to 3)
    int courses = 3;         // courses per day (1 to 4)
    int racesPerDay = 12;    // races per course and day (1 to 12)
    int minRunners = 8;      // runners per race (2 to 18)
    int maxRunners = 18;
    int history = 65;        // past runs per horse at most (0 to 65)
    bool fullHistory = false;  // every horse gets `history` past runs (older horses only)
};

enum class WeekState { Before, After };

/// A jockey or a trainer.
struct Person {
    std::string code;       // KisyuCode / ChokyosiCode, five digits
    std::string name, kana, eng, shortName;
    Day birth;
    Day issued;             // licence
    char sex = '1';
    char tozai = '1';       // '1' east (Miho), '2' west (Ritto)
    char minarai = '0';     // apprentice allowance code
    bool hurdles = false;   // rides over hurdles
    int trainer = -1;       // a jockey's stable, index into trainers
    double skill = 0;       // -1 .. 1
    double placeRate[3] = {0, 0, 0};  // turf, dirt, hurdles, 0 .. 1
    int ridesPerYear = 0;
};

struct Owner {
    std::string code, name, colours;
};

struct Breeder {
    std::string code, name, place;
};

/// A horse of the pedigree: a sire, a dam or an ancestor.
struct Ancestor {
    std::string num;   // HansyokuNum, ten digits
    std::string name;
};

/// A sire or a dam with its own parents and grandparents (for the three-generation pedigree).
struct Breeding {
    Ancestor self;
    int birthYear = 0;
    std::array<Ancestor, 2> parents;   // sire, dam
    std::array<Ancestor, 4> grand;     // sire's sire, sire's dam, dam's sire, dam's dam
    double turf = 0.5;                 // aptitude 0..1 for turf (1 - it for dirt)
    double stamina = 0.5;              // 0 sprinter .. 1 stayer
    double quality = 0;                // -1 .. 1
    std::vector<std::string> foals;    // a dam's foals, oldest first (KettoNum)
};

struct RunRef {
    int race = -1;
    int slot = -1;
};

struct Horse {
    std::string ketto;  // KettoNum, ten digits
    std::string name, kana, eng;
    Day birth;
    char sex = '1';      // '1' colt, '2' filly, '3' gelding
    std::string keiro;   // coat colour code
    std::string umakigo = "00";
    int sire = -1, dam = -1, trainer = -1, owner = -1, breeder = -1, jockey = -1;
    double ability = 0;  // -1.5 .. 1.5
    Surface surface = Surface::Turf;
    int distance = 1600;
    int weight = 470;    // body weight in kilograms
    char style = '2';    // running style 1 front, 2 stalker, 3 mid, 4 closer
    std::vector<RunRef> runs;  // oldest first; the last is this week's race
};

/// One starting place in a race: who ran, and how it went.
struct Slot {
    int horse = -1;      // index into horses, -1 for a horse outside this week's field
    int umaban = 0, waku = 0;
    double strength = 0;
    double prob = 0;     // win probability
    int odds10 = 0;      // win odds times ten
    int ninki = 0;
    int order = 0;       // place in the simulated running, 1 first (before any horse is taken out)
    int finish = 0;      // KakuteiJyuni, 0 when the horse did not finish
    char ijyo = '0';     // IJyoCD
    bool deadHeat = false;
    int timeT = 0;       // tenths of a second
    int l3f = 0, l4f = 0;
    std::array<int, 4> corner{};
    char style = '2';
    int futan10 = 550;   // weight carried, tenths of a kilogram
    int bodyWeight = 0;
    int weightChange = 0;
    bool debut = false;
    int jockey = -1;
    char minarai = '0';
    int trainer = -1;
    std::int64_t prize = 0;  // hundreds of yen
    std::string chakusa = "   ";
    int timeDiff = 0;    // tenths behind the winner (winner: minus the lead), 9999 when none
    std::string otherKetto, otherName;  // a horse outside this week's field
};

struct Race {
    Day day;
    int course = 0;      // index into Courses()
    int kaiji = 1, nichiji = 1, raceNum = 1;
    bool thisWeek = false;
    Layout layout{};
    std::string syubetu = "13", kigo = "000", jyuryo = "3";
    std::array<std::string, 5> jyoken{"000", "000", "000", "000", "000"};
    char grade = ' ';
    int klass = 1;        // 0 maiden, 1 to 3 winners' classes, 4 open
    bool newcomers = false;
    int minAge = 3, maxAge = 9;
    std::string hondai, hondaiEng;  // empty: a race without a name
    std::string tokuNum = "0000";
    int hassoTime = 1000;
    char weather = '1', turfGoing = '1', dirtGoing = '1';
    char weatherBefore = '1', turfGoingBefore = '1', dirtGoingBefore = '1';
    std::array<std::int64_t, 5> prize{};  // hundreds of yen, 1st to 5th
    std::vector<Slot> slots;  // index = horse number - 1
    bool cancelled = false;
    int deadHeatPlace = 0;  // the place two horses share (1 to 3), 0 for none
    std::array<int, 25> laps{};
    int s3f = 0, s4f = 0, l3f = 0, l4f = 0, winnerTime = 0;

    Surface surface() const { return layout.surface; }
    std::string RaceId() const;
};

struct World {
    std::uint64_t seed = 1;
    Scale scale;
    Day saturday;
    std::vector<Day> weekDays;
    std::vector<Person> jockeys, trainers;
    std::vector<Owner> owners;
    std::vector<Breeder> breeders;
    std::vector<Breeding> sires, dams;
    std::vector<Horse> horses;
    std::vector<Race> races;          // this week's first, then past races in creation order
    int weekRaceCount = 0;
    int cancelledRace = -1, deadHeatRace = -1;
    int deadHeatPlace = 1;  // the place of the week's dead heat: 1 first, 2 second, 3 third

    // Keeps generated names and numbers unique.
    std::set<std::string> usedNames;
    std::map<int, int> kettoSerials;  // birth year -> last serial given
    int ancestorSerial = 1;

    Day FetchDay(WeekState state) const;  // when the records were made
};

}  // namespace demoweek
