#include "statistics_files.h"

#include <algorithm>
#include <cmath>

#include "common/record_file.h"
#include "record_writers.h"
#include "rng.h"

namespace demoweek {

namespace {

// A blank record of `length` bytes ending in CR LF, numeric areas zero-filled.
std::string Blank(int length) {
    std::string r(static_cast<std::size_t>(length - 2), '0');
    return r + "\r\n";
}

void Put(std::string& record, int position, int width, const std::string& value) {
    record.replace(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(width),
                   value.substr(0, static_cast<std::size_t>(width)));
}

int Rate(double r) { return static_cast<int>(std::lround(std::clamp(r, 0.0, 0.999) * 100000)); }

// Statistics of a sire or a dam: starts, prize money, a production value and place rates by
// going and distance band, shaped by the horse's aptitudes.
std::string SireDamRecord(const Breeding& b, bool sire, Rng& rng) {
    std::string r = Blank(stats::kSireDamLength);
    Put(r, 1, 10, b.self.num);
    const double scale = sire ? 1.0 : 0.04;
    const long long flatStarts = std::max(3LL, static_cast<long long>((800 + 1500 * (b.quality + 1)) * scale * (0.5 + rng.Real())));
    const long long otherStarts = static_cast<long long>(flatStarts * (0.02 + 0.04 * rng.Real()));
    const double perStart = std::exp(7.6 + 1.1 * b.quality + rng.Normal() * 0.4);  // hundreds of yen
    Put(r, 35, 6, Digits(flatStarts, 6));
    Put(r, 41, 6, Digits(otherStarts, 6));
    Put(r, 47, 9, Digits(static_cast<long long>(flatStarts * perStart), 9));
    Put(r, 56, 9, Digits(static_cast<long long>(otherStarts * perStart * 0.6), 9));
    Put(r, 65, 9, Digits(static_cast<long long>(std::exp(13.0 + 1.5 * b.quality + rng.Normal() * 0.5)), 9));
    Put(r, 74, 9, Digits(static_cast<long long>(std::exp(10.0 + 1.2 * b.quality + rng.Normal() * 0.5)), 9));
    const double base = 0.22 + 0.1 * b.quality;
    const double turf = base * (0.7 + 0.6 * b.turf), dirt = base * (0.7 + 0.6 * (1 - b.turf));
    Put(r, 119, 6, Digits(Rate(base * 0.8 + rng.Normal() * 0.03), 6));
    const double going[4] = {1.0, 0.95, 0.9, 0.85};
    for (int g = 0; g < 4; ++g) {
        Put(r, 125 + 6 * g, 6, Digits(Rate(turf * going[g] + rng.Normal() * 0.02), 6));
        Put(r, 149 + 6 * g, 6, Digits(Rate(dirt * going[3 - g] + rng.Normal() * 0.02), 6));
        Put(r, 173 + 6 * g, 6, Digits(Rate(base * going[g] * 0.8 + rng.Normal() * 0.02), 6));
    }
    const double reach[3] = {1.2 - 0.4 * b.stamina, 1.0, 0.8 + 0.4 * b.stamina};
    for (int d = 0; d < 3; ++d) {
        Put(r, 197 + 6 * d, 6, Digits(Rate(turf * reach[d] + rng.Normal() * 0.02), 6));
        Put(r, 215 + 6 * d, 6, Digits(Rate(dirt * reach[d] + rng.Normal() * 0.02), 6));
    }
    return r;
}

std::string PersonRecord(const Person& p) {
    std::string r = Blank(stats::kPersonLength);
    Put(r, 1, 5, p.code);
    for (int s = 0; s < 3; ++s) Put(r, 30 + 6 * s, 6, Digits(Rate(p.placeRate[s]), 6));
    return r;
}

}  // namespace

std::string_view StatsField(const std::string& record, int position, int width) {
    if (position < 1 || static_cast<std::size_t>(position - 1) >= record.size()) return {};
    return std::string_view(record).substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(width));
}

Statistics BuildStatistics(const World& world) {
    Statistics st;
    Rng rng = Rng::For(world.seed, "statistics");

    std::vector<const Breeding*> sires;
    for (const Breeding& b : world.sires) sires.push_back(&b);
    std::sort(sires.begin(), sires.end(), [](auto* a, auto* b) { return a->self.num < b->self.num; });
    for (const Breeding* b : sires) st.stallion.Add(b->self.num, SireDamRecord(*b, true, rng));

    std::vector<const Breeding*> dams;
    for (const Breeding& b : world.dams) dams.push_back(&b);
    std::sort(dams.begin(), dams.end(), [](auto* a, auto* b) { return a->self.num < b->self.num; });
    for (const Breeding* b : dams) st.mare.Add(b->self.num, SireDamRecord(*b, false, rng));

    // Racehorses: each horse's record from its runs before this week.
    std::vector<std::size_t> order(world.horses.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](auto a, auto b) { return world.horses[a].ketto < world.horses[b].ketto; });
    for (std::size_t i : order) {
        const Horse& h = world.horses[i];
        long long flat = 0, other = 0, flatPrize = 0, otherPrize = 0, placed = 0;
        for (std::size_t k = 0; k + 1 < h.runs.size(); ++k) {
            const Race& race = world.races[static_cast<std::size_t>(h.runs[k].race)];
            const Slot& s = race.slots[static_cast<std::size_t>(h.runs[k].slot)];
            if (s.ijyo == '1') continue;
            const bool hurdles = race.surface() == Surface::Hurdle;
            ++(hurdles ? other : flat);
            (hurdles ? otherPrize : flatPrize) += s.prize;
            if (s.finish >= 1 && s.finish <= 3) ++placed;
        }
        std::string r = Blank(stats::kHorseLength);
        Put(r, 1, 10, h.ketto);
        const long long runs = flat + other;
        Put(r, 11, 6, Digits(runs == 0 ? 0 : placed * 100000 / runs, 6));
        Put(r, 23, 6, Digits(flat, 6));
        Put(r, 29, 6, Digits(other, 6));
        Put(r, 35, 9, Digits(flatPrize, 9));
        Put(r, 44, 9, Digits(otherPrize, 9));
        st.horse.Add(h.ketto, r);
    }

    for (const Person& j : world.jockeys) st.jockey.Add(j.code, PersonRecord(j));
    for (const Person& t : world.trainers) st.trainer.Add(t.code, PersonRecord(t));

    // Foals of each dam together, oldest first: the week's horses among older and younger
    // brothers and sisters that do not run this week.
    std::map<int, int> serials;
    for (const Breeding* d : dams) {
        std::vector<std::pair<std::string, std::string>> foals;  // (birth year + number, KettoNum)
        for (const std::string& k : d->foals) foals.push_back({k, k});
        const int firstYear = d->birthYear + 3;
        const int siblings = rng.Between(0, 5);
        for (int i = 0; i < siblings; ++i) {
            const int year = firstYear + rng.Between(0, 12);
            const std::string ketto = std::to_string(year) + "10" + Digits(8000 + (++serials[year]) % 2000, 4);
            foals.push_back({ketto, ketto});
        }
        std::sort(foals.begin(), foals.end());
        for (const auto& f : foals) st.foals.push_back(d->self.num + f.second + "\r\n");
    }
    return st;
}

void WriteStatistics(const World& world, const Statistics& st, const std::filesystem::path& option1n) {
    auto join = [](const StatsFile& f) {
        std::string out;
        for (const std::string& r : f.records) out += r;
        return out;
    };
    common::WriteFileAtomically(option1n / "STALLION.dat", join(st.stallion));
    common::WriteFileAtomically(option1n / "MARE.dat", join(st.mare));
    common::WriteFileAtomically(option1n / "HAHAUMA.dat", join(st.mare));
    common::WriteFileAtomically(option1n / "KYOSOBA.dat", join(st.horse));
    common::WriteFileAtomically(option1n / "KISHUSEISEI.dat", join(st.jockey));
    common::WriteFileAtomically(option1n / "CHOKYOSEISEI.dat", join(st.trainer));
    std::string foals;
    for (const std::string& r : st.foals) foals += r;
    common::WriteFileAtomically(option1n / "HNSKOPTION1N.dat", foals);
    std::string jockeys;
    const Day made = world.saturday.Plus(-1);
    for (const Person& j : world.jockeys) jockeys += KsStoredRecord(world, j, made);
    common::WriteFileAtomically(option1n / "KS20190101NEW.dat", jockeys);
}

}  // namespace demoweek
