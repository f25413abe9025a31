#include "race_simulation.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace demoweek {

namespace {

struct Point {
    int distance;
    double speed;
};

double Interpolate(const std::vector<Point>& table, int distance) {
    if (distance <= table.front().distance) return table.front().speed;
    for (std::size_t i = 1; i < table.size(); ++i) {
        if (distance <= table[i].distance) {
            const Point& a = table[i - 1];
            const Point& b = table[i];
            return a.speed + (b.speed - a.speed) * (distance - a.distance) / (b.distance - a.distance);
        }
    }
    return table.back().speed;
}

// Gap in tenths of a second to the horse in front: mostly small, now and then a wide one.
int DrawGap(Rng& rng, int place, int runners) {
    const double tail = static_cast<double>(place) / runners;
    const double roll = rng.Real();
    if (roll < 0.2) return 0;
    if (roll < 0.45) return 1;
    if (roll < 0.65) return 2;
    if (roll < 0.78) return 3;
    if (roll < 0.88 - 0.1 * tail) return rng.Between(4, 6);
    return rng.Between(5, tail > 0.7 ? 20 : 10);
}

// Margin code to the horse in front by the gap in tenths (about six lengths a second).
std::string MarginCode(int gap, int salt) {
    static const char* kClose[] = {"H  ", "A  ", "K  "};
    if (gap <= 0) return kClose[salt % 3];
    static const char* kByGap[] = {"", "12 ", "1  ", "112", "2  ", "3  ", "312", "4  ", "5  ", "5  ",
                                   "6  ", "6  ", "7  ", "8  ", "8  ", "9  "};
    if (gap == 1 && salt % 2 == 1) return "34 ";
    if (gap == 2 && salt % 3 == 1) return "114";
    if (gap == 3 && salt % 3 == 2) return "134";
    if (gap < 16) return kByGap[gap];
    return "Z  ";
}

}  // namespace

double BaseSpeed(Surface surface, int distance) {
    static const std::vector<Point> turf = {{1000, 64.3}, {1200, 63.5}, {1400, 62.4}, {1600, 61.6}, {1800, 60.8},
                                            {2000, 60.2}, {2200, 59.8}, {2400, 59.6}, {2600, 59.2}, {3000, 58.6},
                                            {3200, 58.3}, {3600, 58.0}};
    static const std::vector<Point> dirt = {{1000, 61.2}, {1150, 60.8}, {1200, 60.4}, {1300, 59.9}, {1400, 59.6},
                                            {1600, 58.9}, {1700, 57.8}, {1800, 57.6}, {1900, 57.3}, {2100, 56.8},
                                            {2500, 56.0}};
    static const std::vector<Point> hurdle = {{2750, 55.5}, {3000, 55.0}, {3300, 54.5}, {3900, 54.0}, {4250, 53.6}};
    switch (surface) {
        case Surface::Turf: return Interpolate(turf, distance);
        case Surface::Dirt: return Interpolate(dirt, distance);
        case Surface::Hurdle: return Interpolate(hurdle, distance);
    }
    return 60;
}

double GoingEffect(Surface surface, char going) {
    // Turf and hurdle courses slow down as they soften; a wet dirt track runs faster.
    static const double kTurf[] = {0, 0, -0.5, -1.1, -1.9};
    static const double kDirt[] = {0, 0, 0.3, 0.6, 0.8};
    const int g = std::clamp(going - '0', 0, 4);
    return surface == Surface::Dirt ? kDirt[g] : kTurf[g];
}

double FinishRatio(Surface surface, int distance) {
    const double longness = std::clamp((distance - 1200) / 1200.0, 0.0, 1.0);
    switch (surface) {
        case Surface::Turf: return 0.985 + 0.045 * longness;
        case Surface::Dirt: return 0.978 + 0.012 * longness;
        case Surface::Hurdle: return 0.82;
    }
    return 1;
}

char GoingOf(const Race& race) { return race.surface() == Surface::Dirt ? race.dirtGoing : race.turfGoing; }

int OddsOf(double probability, double payback, int maxTimesTen) {
    if (probability <= 0) return maxTimesTen;
    const double odds = std::floor(payback / probability * 10.0);
    return static_cast<int>(std::clamp(odds, 10.0, static_cast<double>(maxTimesTen)));
}

int BracketOf(int umaban, int runners) {
    if (runners <= 8) return umaban;
    const int per = runners / 8;
    const int extra = runners % 8;
    const int small = 8 - extra;  // brackets holding `per` horses
    if (umaban <= small * per) return (umaban - 1) / per + 1;
    return small + (umaban - small * per - 1) / (per + 1) + 1;
}

void RunRace(Race& race, Rng& rng) {
    auto& slots = race.slots;
    const int n = static_cast<int>(slots.size());
    // Win probabilities from the strengths, odds and popularity from them.
    double total = 0;
    for (Slot& s : slots) total += (s.prob = std::exp(1.6 * s.strength));
    for (Slot& s : slots) {
        s.prob /= total;
        s.odds10 = OddsOf(s.prob, 0.8, 9999);
    }
    std::vector<int> byOdds(static_cast<std::size_t>(n));
    std::iota(byOdds.begin(), byOdds.end(), 0);
    std::stable_sort(byOdds.begin(), byOdds.end(), [&](int a, int b) {
        return slots[static_cast<std::size_t>(a)].odds10 < slots[static_cast<std::size_t>(b)].odds10;
    });
    for (int r = 0; r < n; ++r) slots[static_cast<std::size_t>(byOdds[static_cast<std::size_t>(r)])].ninki = r + 1;

    // The running order: each place drawn among the horses left, by their probabilities.
    std::vector<int> left(static_cast<std::size_t>(n));
    std::iota(left.begin(), left.end(), 0);
    std::vector<int> order;
    while (!left.empty()) {
        std::vector<double> w;
        for (int i : left) w.push_back(slots[static_cast<std::size_t>(i)].prob);
        const int k = rng.Weighted(w);
        order.push_back(left[static_cast<std::size_t>(k)]);
        left.erase(left.begin() + k);
    }

    // Times: the winner's from the course's speed, the others behind by drawn gaps.
    const int d = race.layout.distance;
    const double speed = BaseSpeed(race.surface(), d) + GoingEffect(race.surface(), GoingOf(race)) +
                         0.25 * std::min(race.klass, 4) + rng.Normal() * 0.35;
    const int winnerTime = static_cast<int>(std::lround(d * 36.0 / speed));
    const double finishSpeed = speed * FinishRatio(race.surface(), d) + rng.Normal() * 0.3;
    const int raceL3f = static_cast<int>(std::lround(600 * 36.0 / finishSpeed));
    int t = winnerTime;
    for (int place = 1; place <= n; ++place) {
        Slot& s = slots[static_cast<std::size_t>(order[static_cast<std::size_t>(place - 1)])];
        if (place > 1) t += DrawGap(rng, place, n);
        s.order = place;
        s.timeT = t;
        const int behind = t - winnerTime;
        const double styleShift = (s.style - '2') * -2.0;  // closers finish faster
        s.l3f = static_cast<int>(std::lround(raceL3f + behind * 0.45 + styleShift + rng.Normal() * 3.0));
        s.l3f = std::clamp(s.l3f, raceL3f - 12, t - 200);
        s.l4f = s.l3f + static_cast<int>(std::lround(raceL3f / 3.0 + 3 + rng.Normal() * 2));
    }
    // Corner positions: early by running style, drawing closer to the finishing order.
    std::vector<double> early(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) early[static_cast<std::size_t>(i)] = (slots[static_cast<std::size_t>(i)].style - '0') * 3.0 + rng.Normal() * 2.0;
    for (int c = 0; c < 4; ++c) {
        const double mix = 0.2 * c;
        std::vector<int> idx(static_cast<std::size_t>(n));
        std::iota(idx.begin(), idx.end(), 0);
        std::stable_sort(idx.begin(), idx.end(), [&](int a, int b) {
            const auto& sa = slots[static_cast<std::size_t>(a)];
            const auto& sb = slots[static_cast<std::size_t>(b)];
            return early[static_cast<std::size_t>(a)] * (1 - mix) + sa.order * mix * 1.5 <
                   early[static_cast<std::size_t>(b)] * (1 - mix) + sb.order * mix * 1.5;
        });
        for (int r = 0; r < n; ++r) slots[static_cast<std::size_t>(idx[static_cast<std::size_t>(r)])].corner[static_cast<std::size_t>(c)] = r + 1;
    }
    race.winnerTime = winnerTime;
    race.l3f = raceL3f;
}

void SettleRace(Race& race, Rng& rng) {
    auto& slots = race.slots;
    std::vector<int> finishers;
    for (int i = 0; i < static_cast<int>(slots.size()); ++i) {
        Slot& s = slots[static_cast<std::size_t>(i)];
        s.prize = 0;
        s.deadHeat = false;
        if (race.cancelled || s.ijyo != '0') {
            s.finish = 0;
            s.timeT = 0;
            s.l3f = 0;
            s.l4f = 0;
            s.chakusa = "   ";
            s.timeDiff = 9999;
            if (race.cancelled || s.ijyo == '1') s.corner = {};
            continue;
        }
        finishers.push_back(i);
    }
    if (finishers.empty()) return;
    std::sort(finishers.begin(), finishers.end(), [&](int a, int b) {
        return slots[static_cast<std::size_t>(a)].order < slots[static_cast<std::size_t>(b)].order;
    });
    // A dead heat joins the horses of place p and p + 1 (indexes p - 1 and p), with a horse behind them.
    const int p = race.deadHeatPlace;
    const bool tie = p >= 1 && p <= 3 && static_cast<int>(finishers.size()) >= p + 2;
    if (tie) {
        Slot& first = slots[static_cast<std::size_t>(finishers[static_cast<std::size_t>(p - 1)])];
        Slot& second = slots[static_cast<std::size_t>(finishers[static_cast<std::size_t>(p)])];
        second.timeT = first.timeT;
        first.deadHeat = true;
        second.deadHeat = true;
    }
    const int winnerTime = slots[static_cast<std::size_t>(finishers[0])].timeT;
    for (std::size_t k = 0; k < finishers.size(); ++k) {
        Slot& s = slots[static_cast<std::size_t>(finishers[k])];
        s.finish = static_cast<int>(k) + 1;
        if (s.deadHeat) s.finish = p;
        if (k == 0) {
            s.chakusa = "   ";
            const int next = finishers.size() > 1 ? slots[static_cast<std::size_t>(finishers[1])].timeT : winnerTime;
            s.timeDiff = -(next - winnerTime);
        } else {
            const Slot& front = slots[static_cast<std::size_t>(finishers[k - 1])];
            s.chakusa = s.deadHeat && static_cast<int>(k) == p ? std::string("D  ") : MarginCode(s.timeT - front.timeT, s.umaban + rng.Below(3));
            s.timeDiff = s.timeT - winnerTime;
        }
        if (s.finish >= 1 && s.finish <= 5) s.prize = race.prize[static_cast<std::size_t>(s.finish - 1)];
        if (s.deadHeat) s.prize = (race.prize[static_cast<std::size_t>(p - 1)] + race.prize[static_cast<std::size_t>(p)]) / 2;
    }
    race.winnerTime = winnerTime;

    // Lap times of the winner: the last three from the race's closing speed, the rest evenly
    // with a slower first furlong from the standing start.
    race.laps = {};
    const int d = race.layout.distance;
    const int furlongs = (d + 199) / 200;
    if (race.surface() != Surface::Hurdle && furlongs <= 25 && furlongs >= 4) {
        const int last3 = race.l3f;
        const int rest = winnerTime - last3;
        const int firstLength = d - 200 * (furlongs - 1);
        const double perMetre = static_cast<double>(rest) / (d - 600);
        int used = 0;
        for (int f = 0; f < furlongs - 3; ++f) {
            const int metres = f == 0 ? firstLength : 200;
            int lap = static_cast<int>(std::lround(perMetre * metres + (f == 0 ? 4 : -0.5)));
            if (f == furlongs - 4) lap = rest - used;
            race.laps[static_cast<std::size_t>(f)] = lap;
            used += lap;
        }
        const int a = last3 / 3 - 1 + rng.Below(2), b = last3 / 3;
        race.laps[static_cast<std::size_t>(furlongs - 3)] = a;
        race.laps[static_cast<std::size_t>(furlongs - 2)] = b;
        race.laps[static_cast<std::size_t>(furlongs - 1)] = last3 - a - b;
        race.s3f = race.laps[0] + race.laps[1] + race.laps[2];
        race.s4f = race.s3f + race.laps[3];
        race.l4f = last3 + race.laps[static_cast<std::size_t>(furlongs - 4)];
    } else {
        race.s3f = race.s4f = 0;
        race.l4f = race.l3f + race.l3f / 3 + 4;
    }
}

}  // namespace demoweek
