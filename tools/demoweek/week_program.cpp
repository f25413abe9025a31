#include <algorithm>
#include <cmath>

#include "race_program.h"
#include "race_simulation.h"

namespace demoweek {

namespace {

struct CardSlot {
    int klass;
    bool newcomers;
    Surface surface;
    bool young;
    int named;  // -1 none, 0 a named race of its class, 1 the day's main race
};

// A day's card at one course, race 1 to 12.
const CardSlot kCard[12] = {
    {0, false, Surface::Dirt, true, -1},   {0, false, Surface::Turf, true, -1}, {0, false, Surface::Dirt, true, -1},
    {0, false, Surface::Hurdle, false, -1}, {0, true, Surface::Turf, true, -1}, {1, false, Surface::Dirt, false, -1},
    {1, false, Surface::Turf, false, -1},  {1, false, Surface::Dirt, false, -1}, {2, false, Surface::Turf, false, 0},
    {3, false, Surface::Dirt, false, 0},   {4, false, Surface::Turf, false, 1}, {2, false, Surface::Dirt, false, -1},
};

const int kPostMinutes[12] = {9 * 60 + 50, 10 * 60 + 20, 10 * 60 + 50, 11 * 60 + 20, 12 * 60 + 10, 12 * 60 + 40,
                              13 * 60 + 10, 13 * 60 + 40, 14 * 60 + 15, 14 * 60 + 50, 15 * 60 + 25, 16 * 60 + 10};

bool HasSurface(const Course& course, Surface surface) {
    return std::any_of(course.layouts.begin(), course.layouts.end(),
                       [&](const Layout& l) { return l.surface == surface; });
}

Layout PickLayout(const Course& course, Surface surface, int maxDistance, Rng& rng) {
    std::vector<Layout> fitting;
    for (const Layout& l : course.layouts)
        if (l.surface == surface && (l.distance <= maxDistance || surface == Surface::Hurdle)) fitting.push_back(l);
    if (fitting.empty())
        for (const Layout& l : course.layouts)
            if (l.surface == surface) fitting.push_back(l);
    return rng.Pick(fitting);
}

void AgesOf(const std::string& syubetu, int& minAge, int& maxAge) {
    if (syubetu == "11") { minAge = 2; maxAge = 2; }
    else if (syubetu == "12") { minAge = 3; maxAge = 3; }
    else if (syubetu == "14" || syubetu == "19") { minAge = 4; maxAge = 9; }
    else { minAge = 3; maxAge = 9; }
}

}  // namespace

void CreateWeekRaces(World& world) {
    const Scale& sc = world.scale;
    for (int d = 0; d < sc.days; ++d) world.weekDays.push_back(world.saturday.Plus(d));
    const int month = world.saturday.Month();
    const std::vector<int> courses = CoursesOfMonth(month, sc.courses);
    for (int d = 0; d < sc.days; ++d) {
        const Day day = world.weekDays[static_cast<std::size_t>(d)];
        Rng dayRng = Rng::For(world.seed, "weather", static_cast<std::uint64_t>(d));
        for (std::size_t c = 0; c < courses.size(); ++c) {
            const Course& course = Courses()[static_cast<std::size_t>(courses[c])];
            int kaiji = 1, nichiji = 1;
            MeetingOf(day, courses[c], kaiji, nichiji);
            const double wet = dayRng.Real();
            const char weather = wet < 0.6 ? '1' : wet < 0.88 ? '2' : wet < 0.97 ? '3' : '4';
            const char turf = weather >= '3' ? static_cast<char>('2' + dayRng.Below(2)) : dayRng.Chance(0.8) ? '1' : '2';
            const char dirt = weather >= '3' ? static_cast<char>('2' + dayRng.Below(3)) : dayRng.Chance(0.7) ? '1' : '2';
            for (int r = 1; r <= sc.racesPerDay; ++r) {
                Rng rng = Rng::For(world.seed, "weekrace", static_cast<std::uint64_t>((d * 4 + static_cast<int>(c)) * 16 + r));
                // With fewer races a day, keep the card's spread and its main race last.
                int t = r - 1;
                if (sc.racesPerDay < 12) t = (r == sc.racesPerDay && r > 1) ? 10 : static_cast<int>(std::lround((r - 1) * 10.0 / std::max(1, sc.racesPerDay - 1)));
                CardSlot slot = kCard[t];
                if (slot.surface == Surface::Hurdle && !HasSurface(course, Surface::Hurdle)) slot = {0, false, Surface::Turf, true, -1};
                if (slot.newcomers && (month < 6 && month > 3)) slot.newcomers = false;
                if (sc.fullHistory && (slot.young || slot.klass == 0) && slot.surface != Surface::Hurdle) {
                    slot.young = false;
                    slot.newcomers = false;
                    slot.klass = 1 + t % 2;
                }
                Race race;
                race.thisWeek = true;
                race.day = day;
                race.course = courses[c];
                race.kaiji = kaiji;
                race.nichiji = nichiji;
                race.raceNum = r;
                race.klass = slot.klass;
                race.newcomers = slot.newcomers;
                if (slot.surface == Surface::Hurdle) race.klass = d % 2 == 1 ? 4 : 0;
                const int youngAge = month >= 6 ? 2 : 3;
                const int age = slot.young ? youngAge : (sc.fullHistory ? 5 : 4);
                race.syubetu = SyubetuFor(slot.surface, age, month);
                if (!slot.young && slot.surface != Surface::Hurdle && month <= 5 && t == 7 && !sc.fullHistory) race.syubetu = "12";
                AgesOf(race.syubetu, race.minAge, race.maxAge);
                if (sc.fullHistory) race.minAge = std::max(race.minAge, 4);
                race.layout = PickLayout(course, slot.surface, slot.young ? 1800 : 9999, rng);
                const int minutes = kPostMinutes[r - 1] + 5 * static_cast<int>(c);
                race.hassoTime = minutes / 60 * 100 + minutes % 60;
                race.weather = weather;
                race.turfGoing = turf;
                race.dirtGoing = dirt;
                race.weatherBefore = weather >= '3' ? '2' : weather;
                race.turfGoingBefore = turf == '1' ? '1' : static_cast<char>(turf - 1);
                race.dirtGoingBefore = dirt == '1' ? '1' : static_cast<char>(dirt - 1);
                SetConditions(race, rng, slot.named);
                const int maxRunners = slot.surface == Surface::Hurdle ? std::min(sc.maxRunners, 14) : sc.maxRunners;
                const int runners = rng.Between(std::min(sc.minRunners, maxRunners), maxRunners);
                race.slots.resize(static_cast<std::size_t>(runners));
                for (int u = 1; u <= runners; ++u) {
                    Slot& s = race.slots[static_cast<std::size_t>(u - 1)];
                    s.umaban = u;
                    s.waku = BracketOf(u, runners);
                }
                world.races.push_back(std::move(race));
            }
        }
    }
    world.weekRaceCount = static_cast<int>(world.races.size());
    // One cancelled race on the first day (a cancelled race on the newest day would sort last
    // among the week's race records) and one dead heat on the last day, for first unless the world
    // asks for another place.
    const int perDay = static_cast<int>(courses.size()) * sc.racesPerDay;
    world.cancelledRace = std::min(1, world.weekRaceCount - 1);
    world.deadHeatRace = std::max(0, world.weekRaceCount - perDay);
    if (world.deadHeatRace == world.cancelledRace) world.deadHeatRace = world.weekRaceCount > 2 ? world.weekRaceCount - 1 : -1;
    if (world.cancelledRace >= 0) world.races[static_cast<std::size_t>(world.cancelledRace)].cancelled = true;
    if (world.deadHeatRace >= 0) world.races[static_cast<std::size_t>(world.deadHeatRace)].deadHeatPlace = world.deadHeatPlace;
}

void CreateWeekFields(World& world, std::vector<std::vector<PlannedRun>>& plans) {
    for (int r = 0; r < world.weekRaceCount; ++r) {
        const int runners = static_cast<int>(world.races[static_cast<std::size_t>(r)].slots.size());
        for (int s = 0; s < runners; ++s) {
            std::vector<PlannedRun> plan;
            const int h = CreateWeekHorse(world, r, s, plan);
            plans.resize(static_cast<std::size_t>(h) + 1);
            plans[static_cast<std::size_t>(h)] = std::move(plan);
            world.races[static_cast<std::size_t>(r)].slots[static_cast<std::size_t>(s)].horse = h;
        }
    }
}

void RunWeekRaces(World& world) {
    for (int r = 0; r < world.weekRaceCount; ++r) {
        Race& race = world.races[static_cast<std::size_t>(r)];
        Rng rng = Rng::For(world.seed, "weekrun", static_cast<std::uint64_t>(r));
        for (Slot& s : race.slots) {
            Horse& h = world.horses[static_cast<std::size_t>(s.horse)];
            DressRun(world, race, s, s.horse, rng);
            const double fit = (race.surface() == Surface::Hurdle || race.surface() == h.surface) ? 0.0 : -0.4;
            const double reach = -std::abs(race.layout.distance - h.distance) / 1000.0;
            const Person* j = s.jockey >= 0 ? &world.jockeys[static_cast<std::size_t>(s.jockey)] : nullptr;
            s.strength = h.ability + (j ? 0.3 * j->skill : 0.0) + fit + reach + rng.Normal() * 0.35;
            s.style = h.style;
            h.runs.push_back({r, s.umaban - 1});
        }
        RunRace(race, rng);
        SettleRace(race, rng);
    }
}

}  // namespace demoweek
