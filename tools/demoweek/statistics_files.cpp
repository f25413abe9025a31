#include "statistics_files.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "common/record_file.h"
#include "engine/ex_builder.h"
#include "engine/stats_records.h"
#include "record_writers.h"
#include "rng.h"

namespace demoweek {

namespace {

using engine::DamFoalRecord;
using engine::HorseStats;
using engine::PersonStats;
using engine::SireDamStats;
using engine::StatsField;

// A blank record of `length` bytes ending in CR LF, numeric areas zero-filled.
std::string Blank(std::size_t length) { return std::string(length - 2, '0') + "\r\n"; }

void Put(std::string& record, StatsField field, const std::string& value) {
    record.replace(static_cast<std::size_t>(field.position - 1), static_cast<std::size_t>(field.width),
                   value.substr(0, static_cast<std::size_t>(field.width)));
}

// A whole number with leading zeros to the field's width.
void PutNumber(std::string& record, StatsField field, long long value) { Put(record, field, Digits(value, field.width)); }

int Rate(double r) { return static_cast<int>(std::lround(std::clamp(r, 0.0, 0.999) * 100000)); }

// Statistics of a sire or a dam: starts, prize money, a production value and place rates by
// going and distance band, shaped by the horse's aptitudes.
std::string SireDamRecord(const Breeding& b, bool sire, Rng& rng) {
    using Group = SireDamStats::Group;
    std::string r = Blank(SireDamStats::kLength);
    Put(r, SireDamStats::kHansyokuNum, b.self.num);
    const double scale = sire ? 1.0 : 0.04;
    const long long flatStarts = std::max(3LL, static_cast<long long>((800 + 1500 * (b.quality + 1)) * scale * (0.5 + rng.Real())));
    const long long otherStarts = static_cast<long long>(flatStarts * (0.02 + 0.04 * rng.Real()));
    const double perStart = std::exp(7.6 + 1.1 * b.quality + rng.Normal() * 0.4);  // hundreds of yen
    PutNumber(r, SireDamStats::kStartsFlat, flatStarts);
    PutNumber(r, SireDamStats::kStartsOther, otherStarts);
    PutNumber(r, SireDamStats::kPrizeFlat, static_cast<long long>(flatStarts * perStart));
    PutNumber(r, SireDamStats::kPrizeOther, static_cast<long long>(otherStarts * perStart * 0.6));
    PutNumber(r, SireDamStats::kValueFlat, static_cast<long long>(std::exp(13.0 + 1.5 * b.quality + rng.Normal() * 0.5)));
    PutNumber(r, SireDamStats::kValueOther, static_cast<long long>(std::exp(10.0 + 1.2 * b.quality + rng.Normal() * 0.5)));
    const double base = 0.22 + 0.1 * b.quality;
    const double turf = base * (0.7 + 0.6 * b.turf), dirt = base * (0.7 + 0.6 * (1 - b.turf));
    PutNumber(r, SireDamStats::kPlaceRateOtherTracks, Rate(base * 0.8 + rng.Normal() * 0.03));
    const double going[4] = {1.0, 0.95, 0.9, 0.85};
    for (int g = 0; g < 4; ++g) {
        PutNumber(r, SireDamStats::GoingPlaceRateField(Group::Turf, g + 1), Rate(turf * going[g] + rng.Normal() * 0.02));
        PutNumber(r, SireDamStats::GoingPlaceRateField(Group::Dirt, g + 1), Rate(dirt * going[3 - g] + rng.Normal() * 0.02));
        PutNumber(r, SireDamStats::GoingPlaceRateField(Group::Other, g + 1), Rate(base * going[g] * 0.8 + rng.Normal() * 0.02));
    }
    const double reach[3] = {1.2 - 0.4 * b.stamina, 1.0, 0.8 + 0.4 * b.stamina};
    for (int d = 0; d < 3; ++d) {
        PutNumber(r, SireDamStats::DistancePlaceRateField(Group::Turf, d + 1), Rate(turf * reach[d] + rng.Normal() * 0.02));
        PutNumber(r, SireDamStats::DistancePlaceRateField(Group::Dirt, d + 1), Rate(dirt * reach[d] + rng.Normal() * 0.02));
    }
    return r;
}

std::string PersonRecord(const Person& p) {
    std::string r = Blank(PersonStats::kLength);
    Put(r, PersonStats::kCode, p.code);
    PutNumber(r, PersonStats::kPlaceRateTurf, Rate(p.placeRate[0]));
    PutNumber(r, PersonStats::kPlaceRateDirt, Rate(p.placeRate[1]));
    PutNumber(r, PersonStats::kPlaceRateOther, Rate(p.placeRate[2]));
    return r;
}

std::string FoalRecord(const std::string& dam, const std::string& foal) {
    std::string r(DamFoalRecord::kLength - 2, ' ');
    Put(r, DamFoalRecord::kDamHansyokuNum, dam);
    Put(r, DamFoalRecord::kFoalKettoNum, foal);
    return r + "\r\n";
}

std::string Joined(const std::vector<std::string>& records) {
    std::string out;
    for (const std::string& r : records) out += r;
    return out;
}

}  // namespace

Statistics BuildStatistics(const World& world) {
    Statistics st;
    Rng rng = Rng::For(world.seed, "statistics");

    std::vector<const Breeding*> sires;
    for (const Breeding& b : world.sires) sires.push_back(&b);
    std::sort(sires.begin(), sires.end(), [](auto* a, auto* b) { return a->self.num < b->self.num; });
    for (const Breeding* b : sires) st.stallion.push_back(SireDamRecord(*b, true, rng));

    std::vector<const Breeding*> dams;
    for (const Breeding& b : world.dams) dams.push_back(&b);
    std::sort(dams.begin(), dams.end(), [](auto* a, auto* b) { return a->self.num < b->self.num; });
    for (const Breeding* b : dams) st.mare.push_back(SireDamRecord(*b, false, rng));

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
        std::string r = Blank(HorseStats::kLength);
        Put(r, HorseStats::kKettoNum, h.ketto);
        const long long runs = flat + other;
        PutNumber(r, HorseStats::kPlaceRate, runs == 0 ? 0 : placed * 100000 / runs);
        PutNumber(r, HorseStats::kStartsFlat, flat);
        PutNumber(r, HorseStats::kStartsOther, other);
        PutNumber(r, HorseStats::kPrizeFlat, flatPrize);
        PutNumber(r, HorseStats::kPrizeOther, otherPrize);
        st.horse.push_back(std::move(r));
    }

    for (const Person& j : world.jockeys) st.jockey.push_back(PersonRecord(j));
    for (const Person& t : world.trainers) st.trainer.push_back(PersonRecord(t));

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
        for (const auto& f : foals) st.foals.push_back(FoalRecord(d->self.num, f.second));
    }
    return st;
}

void WriteStatistics(const World& world, const Statistics& st, const std::filesystem::path& option1n) {
    auto write = [&](std::string_view name, const std::vector<std::string>& records) {
        common::WriteFileAtomically(option1n / name, Joined(records));
    };
    write(engine::kStallionFile, st.stallion);
    write(engine::kMareFile, st.mare);
    write(engine::kHahaumaFile, st.mare);
    write(engine::kKyosobaFile, st.horse);
    write(engine::kKishuSeiseiFile, st.jockey);
    write(engine::kChokyoSeiseiFile, st.trainer);
    write(engine::kDamFoalFile, st.foals);
    std::string jockeys;
    const Day made = world.saturday.Plus(-1);
    for (const Person& j : world.jockeys) jockeys += KsStoredRecord(world, j, made);
    common::WriteFileAtomically(option1n / engine::kSuppliedJockeyFile, jockeys);
}

engine::ItemStatistics ItemStatisticsOf(const Statistics& st) {
    engine::ItemStatistics stats;
    stats.sires = engine::StatsTable<SireDamStats>(st.stallion);
    stats.dams = engine::StatsTable<SireDamStats>(st.mare);
    stats.horses = engine::StatsTable<HorseStats>(st.horse);
    stats.jockeys = engine::StatsTable<PersonStats>(st.jockey);
    stats.trainers = engine::StatsTable<PersonStats>(st.trainer);
    return stats;
}

}  // namespace demoweek
