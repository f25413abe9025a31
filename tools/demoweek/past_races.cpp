#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "names.h"
#include "people.h"
#include "race_program.h"
#include "race_simulation.h"

namespace demoweek {

namespace {

std::string ClassCode(int klass, bool newcomers) {
    switch (klass) {
        case 0: return newcomers ? "701" : "703";
        case 1: return "005";
        case 2: return "010";
        case 3: return "016";
        default: return "999";
    }
}

std::int64_t FirstPrize(const Race& race) {
    if (race.surface() == Surface::Hurdle) {
        switch (race.grade) {
            case 'F': return 660000;
            case 'G': return 400000;
            case 'H': return 300000;
            default: return race.klass == 0 ? 79000 : 170000;
        }
    }
    switch (race.grade) {
        case 'A': return 1500000;
        case 'B': return 600000;
        case 'C': return 400000;
        case 'L': return 250000;
        default: break;
    }
    static const std::int64_t kByClass[] = {55000, 78000, 106000, 152000, 240000};
    if (race.newcomers) return 72000;
    return kByClass[std::clamp(race.klass, 0, 4)];
}

int WeightFor(const Race& race, const Horse& h, char minarai, Rng& rng) {
    const int age = AgeOn(h, race.day);
    const bool filly = h.sex == '2';
    int base;
    if (race.surface() == Surface::Hurdle) {
        base = filly ? 580 : 600;
    } else if (race.syubetu == "11") {
        base = filly ? 540 : 550;
    } else if (race.syubetu == "12") {
        base = filly ? 550 : 570;
    } else if (race.syubetu == "14") {
        base = filly ? 550 : 570;
    } else {
        base = age == 3 ? (filly ? 530 : 550) : (filly ? 560 : 580);
    }
    if (race.jyuryo == "1") base = 520 + 5 * rng.Between(0, 12);             // handicap
    else if (race.jyuryo == "2") base += 10 * rng.Between(0, 2);             // weight for age plus penalties
    if (race.surface() != Surface::Hurdle && race.klass < 4 && minarai >= '1' && minarai <= '4')
        base -= 10 * (minarai - '0');
    return base;
}

}  // namespace

void SetConditions(Race& race, Rng& rng, int namedKind) {
    const std::string code = ClassCode(race.klass, race.newcomers);
    const std::string& s = race.syubetu;
    if (s == "11") race.jyoken = {code, "000", "000", "000", code};
    else if (s == "12") race.jyoken = {"000", code, "000", "000", code};
    else if (s == "14" || s == "19") race.jyoken = {"000", "000", code, code, code};
    else race.jyoken = {"000", code, code, code, code};

    static const std::vector<std::string> symbols = {"000", "A00", "A00", "A01", "B00", "C00", "E00", "E01",
                                                     "F00", "N00", "N20", "N21", "N23", "000", "A00"};
    race.kigo = rng.Pick(symbols);
    race.jyuryo = race.klass == 0 ? "3" : race.klass == 4 ? "2" : "4";
    race.grade = ' ';
    race.hondai.clear();
    race.hondaiEng.clear();
    const Course& course = Courses()[static_cast<std::size_t>(race.course)];
    if (race.klass == 4) {
        if (race.surface() == Surface::Hurdle) {
            const double g = rng.Real();
            race.grade = g < 0.75 ? ' ' : g < 0.88 ? 'H' : g < 0.96 ? 'G' : 'F';
        } else {
            const double g = rng.Real();
            race.grade = g < 0.4 ? ' ' : g < 0.7 ? 'L' : g < 0.88 ? 'C' : g < 0.96 ? 'B' : 'A';
            if (race.grade == 'B' || race.grade == 'C') race.jyuryo = rng.Chance(0.3) ? "1" : "2";
            if (race.grade == 'A') race.jyuryo = "4";
        }
        namedKind = std::max(namedKind, 1);
    } else if (namedKind < 0 && race.klass >= 2 && rng.Chance(0.35)) {
        namedKind = 0;
    }
    if (namedKind >= 0) {
        const int kind = race.klass < 4 ? 0 : race.grade == ' ' ? 1 : race.grade == 'L' ? 2 : 3;
        const RaceTitle title = NewRaceTitle(rng, kind, course.name, course.latin);
        race.hondai = title.hondai;
        race.hondaiEng = title.eng;
        if (race.grade == ' ' && race.klass < 4) race.grade = 'E';
        if (race.klass == 3 && rng.Chance(0.3)) race.jyuryo = "1";
        race.tokuNum = std::to_string(1000 + rng.Between(1, 899)).substr(0, 4);
    }
    const std::int64_t first = FirstPrize(race);
    race.prize = {first, first * 4 / 10, first / 4, first * 15 / 100, first / 10};
}

bool DressRun(World& world, Race& race, Slot& slot, int horse, Rng& rng) {
    Horse& h = world.horses[static_cast<std::size_t>(horse)];
    std::vector<int> taken;
    for (const Slot& other : race.slots)
        if (&other != &slot && other.horse >= 0 && other.jockey >= 0) taken.push_back(other.jockey);
    const int jockey = PickJockey(world, rng, h.jockey, race.surface() == Surface::Hurdle, taken);
    if (jockey < 0) return false;
    const Person& j = world.jockeys[static_cast<std::size_t>(jockey)];
    slot.horse = horse;
    slot.jockey = jockey;
    slot.minarai = race.surface() == Surface::Hurdle ? '0' : j.minarai;
    slot.trainer = h.trainer;
    slot.futan10 = WeightFor(race, h, slot.minarai, rng);
    slot.style = h.style;
    // Body weight drifts from run to run; a debut has no change to show.
    const Slot* previous = nullptr;
    for (auto it = h.runs.rbegin(); it != h.runs.rend(); ++it) {
        const Slot& p = world.races[static_cast<std::size_t>(it->race)].slots[static_cast<std::size_t>(it->slot)];
        if (p.bodyWeight > 0) {
            previous = &p;
            break;
        }
    }
    slot.debut = h.runs.empty();
    if (slot.ijyo == '1') {
        slot.bodyWeight = 0;
        slot.weightChange = 0;
        return true;
    }
    int w = previous ? previous->bodyWeight + static_cast<int>(std::lround(rng.Normal() * 4)) : h.weight - 8 + rng.Between(-6, 6);
    w += static_cast<int>(std::lround((h.weight - w) * 0.15));
    w = std::clamp(w, 360, 598);
    slot.bodyWeight = w;
    slot.weightChange = previous ? w - previous->bodyWeight : 0;
    return true;
}

void PlacePastRuns(World& world, const std::vector<std::vector<PlannedRun>>& plans) {
    std::map<int, std::vector<int>> racesByDay;              // day -> past races
    std::map<std::pair<int, int>, int> lastRaceNum;          // (day, course) -> race numbers used
    const Day lastWeekend = world.saturday.Plus(-6);  // the Sunday of the weekend before

    auto createRace = [&](const PlannedRun& p, int age, Day day, Rng& rng) -> int {
        const int month = day.Month();
        std::vector<int> courses = CoursesOfMonth(month, 3);
        // Start from a course that fits, spreading the races over the day's courses.
        const int first = rng.Below(static_cast<int>(courses.size()));
        for (int k = 0; k < static_cast<int>(courses.size()); ++k) {
            const int course = courses[static_cast<std::size_t>((first + k) % static_cast<int>(courses.size()))];
            const Course& c = Courses()[static_cast<std::size_t>(course)];
            int& used = lastRaceNum[{day.n, course}];
            if (used >= 12) continue;
            std::vector<Layout> fitting;
            int best = 1 << 30;
            for (const Layout& l : c.layouts) {
                if (l.surface != p.surface) continue;
                const int gap = std::abs(l.distance - p.distance);
                if (gap < best) {
                    best = gap;
                    fitting.clear();
                }
                if (gap == best) fitting.push_back(l);
            }
            if (fitting.empty()) continue;
            Race race;
            race.day = day;
            race.course = course;
            MeetingOf(day, course, race.kaiji, race.nichiji);
            race.raceNum = ++used;
            race.layout = rng.Pick(fitting);
            race.klass = p.klass;
            race.newcomers = p.newcomers;
            race.syubetu = SyubetuFor(p.surface, age, month);
            Rng weather = Rng::For(world.seed, "pastweather", static_cast<std::uint64_t>(day.n * 16 + course));
            const double wet = weather.Real();
            race.weather = wet < 0.62 ? '1' : wet < 0.88 ? '2' : wet < 0.97 ? '3' : '4';
            race.turfGoing = race.weather >= '3' ? static_cast<char>('2' + weather.Below(3)) : weather.Chance(0.8) ? '1' : '2';
            race.dirtGoing = race.weather >= '3' ? static_cast<char>('2' + weather.Below(3)) : weather.Chance(0.7) ? '1' : '2';
            race.weatherBefore = race.weather;
            race.turfGoingBefore = race.turfGoing;
            race.dirtGoingBefore = race.dirtGoing;
            static const int kPost[12] = {950, 1020, 1050, 1120, 1210, 1240, 1310, 1340, 1415, 1450, 1525, 1610};
            race.hassoTime = kPost[race.raceNum - 1];
            SetConditions(race, rng, -1);
            const int maxRunners = p.surface == Surface::Hurdle ? 14 : 18;
            const int runners = rng.Between(8, maxRunners);
            race.slots.resize(static_cast<std::size_t>(runners));
            for (int u = 1; u <= runners; ++u) {
                Slot& s = race.slots[static_cast<std::size_t>(u - 1)];
                s.umaban = u;
                s.waku = BracketOf(u, runners);
                s.strength = rng.Normal() * 0.6;
                s.style = static_cast<char>('1' + rng.Below(4));
            }
            RunRace(race, rng);
            world.races.push_back(std::move(race));
            const int index = static_cast<int>(world.races.size()) - 1;
            racesByDay[day.n].push_back(index);
            return index;
        }
        return -1;
    };

    auto freeSlot = [&](const Race& race, const PlannedRun& p, double ability, Rng& rng) -> int {
        const int n = static_cast<int>(race.slots.size());
        const double target = std::clamp(n * (0.55 - 0.22 * ability) + rng.Normal() * n * 0.2, 2.0, static_cast<double>(n));
        int best = -1;
        double bestGap = 1e9;
        for (int i = 0; i < n; ++i) {
            const Slot& s = race.slots[static_cast<std::size_t>(i)];
            if (s.horse >= 0) continue;
            if (p.win != (s.order == 1)) continue;
            const double gap = std::abs(s.order - target);
            if (gap < bestGap) {
                bestGap = gap;
                best = i;
            }
        }
        return best;
    };

    for (std::size_t h = 0; h < plans.size(); ++h) {
        Horse& horse = world.horses[h];
        Rng rng = Rng::For(world.seed, "pastruns", h);
        Day previous{-1000000};
        for (std::size_t k = 0; k < plans[h].size(); ++k) {
            const PlannedRun& p = plans[h][k];
            const Day next = k + 1 < plans[h].size() ? plans[h][k + 1].day : lastWeekend.Plus(2);
            const int shifts[] = {0, p.day.Weekday() == 6 ? 1 : -1, -7, 7, -14, 14};
            bool placed = false;
            for (int shift : shifts) {
                const Day day = p.day.Plus(shift);
                // Past races are weekend races: a weekday would share its meeting day number
                // with the next weekend and so the race identifier of another race.
                if (day <= previous || day >= next || day > lastWeekend) continue;
                if (day.Weekday() != 6 && day.Weekday() != 0) continue;
                const int age = AgeOn(horse, day);
                const std::string syubetu = SyubetuFor(p.surface, age, day.Month());
                int race = -1, slot = -1;
                for (int candidate : racesByDay[day.n]) {
                    const Race& r = world.races[static_cast<std::size_t>(candidate)];
                    if (r.surface() != p.surface || r.klass != p.klass || r.newcomers != p.newcomers || r.syubetu != syubetu) continue;
                    if (p.surface != Surface::Hurdle && std::abs(r.layout.distance - p.distance) > 400) continue;
                    const int s = freeSlot(r, p, horse.ability, rng);
                    if (s >= 0) {
                        race = candidate;
                        slot = s;
                        break;
                    }
                }
                if (race < 0) {
                    race = createRace(p, age, day, rng);
                    if (race >= 0) slot = freeSlot(world.races[static_cast<std::size_t>(race)], p, horse.ability, rng);
                }
                if (race < 0 || slot < 0) continue;
                Race& r = world.races[static_cast<std::size_t>(race)];
                Slot& s = r.slots[static_cast<std::size_t>(slot)];
                s.ijyo = p.ijyo;
                if (!DressRun(world, r, s, static_cast<int>(h), rng)) {
                    s.ijyo = '0';
                    continue;
                }
                horse.runs.push_back({race, slot});
                previous = day;
                placed = true;
                break;
            }
            (void)placed;  // a run that finds no race on or near its day is left out
        }
    }
    for (std::size_t i = static_cast<std::size_t>(world.weekRaceCount); i < world.races.size(); ++i) {
        Rng rng = Rng::For(world.seed, "settle", i);
        SettleRace(world.races[i], rng);
    }
}

void NameOutsiders(World& world) {
    Rng rng = Rng::For(world.seed, "outsiders");
    std::set<std::string> names;  // horses outside the week need not differ from the week's
    for (Race& race : world.races) {
        for (Slot& s : race.slots) {
            if (s.horse >= 0 || (s.finish != 1 && s.finish != 2)) continue;
            const int year = race.day.Year() - rng.Between(2, 6);
            s.otherKetto = std::to_string(year) + "10" + std::to_string(5000 + (++world.kettoSerials[year * 10 + 1]) % 3000);
            if (names.size() > 3000) names.clear();
            s.otherName = NewHorseName(rng, names).name;
        }
    }
}

}  // namespace demoweek
