#include "horses.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "names.h"
#include "rng.h"

namespace demoweek {

namespace {

std::string Digits(long long value, int width) {
    std::string s = std::to_string(value);
    return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(s.size()))), '0') + s;
}

Ancestor NewAncestor(Rng& rng, std::set<std::string>& used, int& serial, int firstDigit) {
    return {std::to_string(firstDigit) + Digits(100000000 + serial++, 9).substr(0, 9),
            NewHorseName(rng, used).name};
}


int AgeWeighted(Rng& rng, int minAge, int maxAge) {
    static const double kWeight[] = {0, 0, 1.0, 1.0, 0.9, 0.6, 0.35, 0.2, 0.1, 0.05};
    std::vector<double> w;
    for (int a = minAge; a <= maxAge; ++a) w.push_back(a < 10 ? kWeight[a] : 0.02);
    return minAge + rng.Weighted(w);
}

int AgeMin(int age) { return age >= 4 ? 1 : 0; }

// Plays a plan's flat runs forward: the class the horse ends in, given which runs are wins.
int FinalClass(const Horse& h, const std::vector<PlannedRun>& plan, int start, Day week) {
    int current = start;
    for (const PlannedRun& r : plan) {
        if (r.surface == Surface::Hurdle) continue;
        const int at = std::max(current, AgeMin(AgeOn(h, r.day)));
        if (r.win) current = std::min(4, at + 1);
        else current = at;
    }
    return std::max(current, AgeMin(AgeOn(h, week)));
}

void FillClasses(const Horse& h, std::vector<PlannedRun>& plan, int start) {
    int current = start;
    int hurdleClass = 0;
    for (PlannedRun& r : plan) {
        if (r.surface == Surface::Hurdle) {
            r.klass = hurdleClass;
            if (r.win) hurdleClass = 4;
            continue;
        }
        r.klass = std::max(current, AgeMin(AgeOn(h, r.day)));
        current = r.win ? std::min(4, r.klass + 1) : r.klass;
    }
}

Breeding NewBreeding(World& world, Rng& rng, int birthYear, bool female) {
    auto& used = world.usedNames;
    Breeding b;
    b.birthYear = birthYear;
    b.self = NewAncestor(rng, used, world.ancestorSerial, female ? 2 : 1);
    if (female && !world.sires.empty()) {
        const Breeding& s = world.sires[static_cast<std::size_t>(rng.Below(static_cast<int>(world.sires.size())))];
        b.parents[0] = s.self;  // a dam's sire stands at stud too
        b.grand[0] = s.parents[0];
        b.grand[1] = s.parents[1];
    } else {
        b.parents[0] = NewAncestor(rng, used, world.ancestorSerial, 1);
        b.grand[0] = NewAncestor(rng, used, world.ancestorSerial, 1);
        b.grand[1] = NewAncestor(rng, used, world.ancestorSerial, 2);
    }
    b.parents[1] = NewAncestor(rng, used, world.ancestorSerial, 2);
    b.grand[2] = NewAncestor(rng, used, world.ancestorSerial, 1);
    b.grand[3] = NewAncestor(rng, used, world.ancestorSerial, 2);
    b.turf = std::clamp(0.5 + rng.Normal() * 0.22, 0.05, 0.95);
    b.stamina = std::clamp(0.5 + rng.Normal() * 0.22, 0.05, 0.95);
    b.quality = std::clamp(rng.Normal() * 0.5, -1.0, 1.0);
    return b;
}

}  // namespace

int AgeOn(const Horse& horse, Day day) { return day.Year() - horse.birth.Year(); }

std::string SyubetuFor(Surface surface, int age, int month) {
    if (surface == Surface::Hurdle) return age >= 4 && month <= 5 ? "19" : "18";
    if (age <= 2) return "11";
    if (age == 3) return month <= 5 ? "12" : "13";
    return month <= 5 ? "14" : "13";
}

void CreateSires(World& world) {
    Rng rng = Rng::For(world.seed, "sires");
    const int count = std::clamp(static_cast<int>(world.scale.courses * world.scale.days * world.scale.racesPerDay * 0.9), 20, 90);
    for (int i = 0; i < count; ++i)
        world.sires.push_back(NewBreeding(world, rng, world.saturday.Year() - rng.Between(8, 24), false));
}

int CreateWeekHorse(World& world, int raceIndex, int slotIndex, std::vector<PlannedRun>& plan) {
    Rng rng = Rng::For(world.seed, "horse", static_cast<std::uint64_t>(raceIndex * 32 + slotIndex));
    const Race& race = world.races[static_cast<std::size_t>(raceIndex)];
    const Day week = race.day;
    Horse h;

    const int age = AgeWeighted(rng, race.minAge, race.maxAge);
    h.birth = DayOf(week.Year() - age, rng.Between(2, 5), rng.Between(1, 28));
    const double sexRoll = rng.Real();
    h.sex = sexRoll < 0.55 ? '1' : sexRoll < (age >= 4 ? 0.88 : 0.97) ? '2' : '3';
    static const std::vector<std::string> coats = {"01", "02", "03", "03", "03", "04", "04", "05", "06", "07", "11"};
    h.keiro = rng.Pick(coats);
    if (rng.Chance(0.08)) {
        static const std::vector<std::string> symbols = {"01", "03", "04", "21"};
        h.umakigo = rng.Pick(symbols);
    }
    h.ability = std::clamp(0.35 * race.klass - 0.6 + rng.Normal() * 0.55, -1.6, 1.6);
    const bool hurdler = race.surface() == Surface::Hurdle;
    h.surface = hurdler ? (rng.Chance(0.5) ? Surface::Turf : Surface::Dirt) : race.surface();
    h.distance = hurdler ? 2000 : std::clamp(race.layout.distance + 200 * rng.Between(-1, 1), 1000, 3600);
    h.weight = std::clamp(static_cast<int>(470 + rng.Normal() * 24 - (h.sex == '2' ? 12 : 0)), 392, 570);
    h.style = static_cast<char>('1' + rng.Weighted({0.15, 0.35, 0.3, 0.2}));

    // Pedigree: a sire from the pool, mostly a dam of its own, now and then a sibling's.
    std::vector<double> sireWeights;
    for (std::size_t i = 0; i < world.sires.size(); ++i) sireWeights.push_back(1.0 / (1.0 + static_cast<double>(i) * 0.15));
    h.sire = rng.Weighted(sireWeights);
    if (!world.dams.empty() && rng.Chance(0.05)) {
        h.dam = rng.Below(static_cast<int>(world.dams.size()));
    } else {
        world.dams.push_back(NewBreeding(world, rng, h.birth.Year() - rng.Between(5, 16), true));
        h.dam = static_cast<int>(world.dams.size()) - 1;
    }
    for (int tries = 0; tries < 20; ++tries) {
        h.trainer = rng.Below(static_cast<int>(world.trainers.size()));
        if (world.trainers[static_cast<std::size_t>(h.trainer)].tozai == Courses()[static_cast<std::size_t>(race.course)].region ||
            rng.Chance(0.3))
            break;
    }
    h.owner = rng.Below(static_cast<int>(world.owners.size()));
    h.breeder = rng.Below(static_cast<int>(world.breeders.size()));
    h.jockey = rng.Below(static_cast<int>(world.jockeys.size()));

    const HorseName name = NewHorseName(rng, world.usedNames);
    h.name = name.name;
    h.kana = name.kana;
    h.eng = name.eng;
    h.ketto = std::to_string(h.birth.Year()) + "10" + Digits(++world.kettoSerials[h.birth.Year()], 4);

    // Past runs: weeks between the horse's debut (June of its second year at the earliest) and
    // last weekend, within the last three years.
    plan.clear();
    if (!race.newcomers) {
        const Day debutEarliest = DayOf(h.birth.Year() + 2, 6, 1).Plus(rng.Between(0, 120));
        const Day windowStart = std::max(debutEarliest, week.Plus(-3 * 365));
        std::vector<Day> saturdays;
        for (Day d = week.Plus(-7); d >= windowStart; d = d.Plus(-7)) saturdays.push_back(d);
        std::reverse(saturdays.begin(), saturdays.end());
        const int available = static_cast<int>(saturdays.size());
        int n = 0;
        if (world.scale.fullHistory) {
            n = std::min(world.scale.history, available);
        } else {
            const int gap = rng.Between(3, 8);
            n = std::min(world.scale.history, available / gap);
            if (race.klass == 0 && n == 0 && available > 0) n = 1;
            if (race.klass >= 3) n = std::max(n, std::min(available, std::min(world.scale.history, 4)));
        }
        // n distinct weeks, in order.
        std::vector<int> idx(static_cast<std::size_t>(available));
        for (int i = 0; i < available; ++i) idx[static_cast<std::size_t>(i)] = i;
        for (int i = 0; i < n; ++i) std::swap(idx[static_cast<std::size_t>(i)], idx[static_cast<std::size_t>(i + rng.Below(available - i))]);
        idx.resize(static_cast<std::size_t>(n));
        std::sort(idx.begin(), idx.end());
        const int hurdleRuns = hurdler ? std::min(n, rng.Between(race.klass == 4 ? 2 : 1, 6)) : 0;
        for (int i = 0; i < n; ++i) {
            PlannedRun r;
            r.day = saturdays[static_cast<std::size_t>(idx[static_cast<std::size_t>(i)])].Plus(rng.Chance(0.5) ? 1 : 0);
            if (i >= n - hurdleRuns) {
                r.surface = Surface::Hurdle;
                r.distance = 3000;
            } else {
                r.surface = rng.Chance(0.85) ? h.surface : (h.surface == Surface::Turf ? Surface::Dirt : Surface::Turf);
                r.distance = std::clamp(h.distance + 200 * rng.Between(-2, 2), 1000, 3600);
            }
            plan.push_back(r);
        }
        // Wins: as many as bring the horse to this week's class (hurdlers: a hurdle win for an
        // open hurdle race). Horses that started before the window may bring a class along.
        std::vector<int> flat, hurdle;
        for (int i = 0; i < n; ++i) (plan[static_cast<std::size_t>(i)].surface == Surface::Hurdle ? hurdle : flat).push_back(i);
        const bool startedEarlier = debutEarliest < windowStart;
        const int target = hurdler ? std::max(1, AgeMin(age)) : race.klass;
        int start = startedEarlier ? rng.Between(0, target) : 0;
        bool solved = false;
        for (; start <= 4 && !solved; ++start) {
            for (int wins = 0; wins <= static_cast<int>(flat.size()) && !solved; ++wins) {
                for (PlannedRun& r : plan) r.win = false;
                std::vector<int> pool = flat;
                for (int w = 0; w < wins; ++w) {
                    const int k = rng.Below(static_cast<int>(pool.size()));
                    plan[static_cast<std::size_t>(pool[static_cast<std::size_t>(k)])].win = true;
                    pool.erase(pool.begin() + k);
                }
                const int reached = FinalClass(h, plan, start, week);
                if (reached == target || (target == 4 && reached == 4)) {
                    solved = true;
                    FillClasses(h, plan, start);
                }
                if (reached > target) break;
            }
            if (solved) break;
        }
        if (!solved) {
            for (PlannedRun& r : plan) r.win = false;
            FillClasses(h, plan, 0);
        }
        if (hurdler && race.klass == 4 && !hurdle.empty()) plan[static_cast<std::size_t>(hurdle.back())].win = true;
        if (hurdler) FillClasses(h, plan, start > 4 ? 0 : start);
        // A first run in the debut season is a newcomers' race; now and then a run ended early.
        if (!plan.empty() && !startedEarlier && plan.front().klass == 0 && plan.front().surface != Surface::Hurdle) {
            const int debutAge = AgeOn(h, plan.front().day);
            const int month = plan.front().day.Month();
            if ((debutAge == 2 && month >= 6) || (debutAge == 3 && month <= 3)) plan.front().newcomers = rng.Chance(0.85);
        }
        for (PlannedRun& r : plan) {
            if (r.win || r.newcomers) continue;
            const double roll = rng.Real();
            if (roll < 0.008) r.ijyo = '4';
            else if (roll < 0.012) r.ijyo = '1';
        }
    }

    world.horses.push_back(std::move(h));
    const int index = static_cast<int>(world.horses.size()) - 1;
    world.dams[static_cast<std::size_t>(world.horses.back().dam)].foals.push_back(world.horses.back().ketto);
    return index;
}

}  // namespace demoweek
