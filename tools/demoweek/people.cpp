#include "people.h"

#include <algorithm>

#include "names.h"

namespace demoweek {

namespace {

std::string Code(int value, int width) {
    std::string s = std::to_string(value);
    return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(s.size()))), '0') + s;
}

double Clamp01(double v) { return std::clamp(v, 0.02, 0.95); }

}  // namespace

void CreatePeople(World& world, int horses) {
    Rng rng = Rng::For(world.seed, "people");
    const int year = world.saturday.Year();

    const int trainerCount = std::clamp(horses / 6, 12, 200);
    for (int i = 0; i < trainerCount; ++i) {
        Person t;
        t.code = Code(301 + i, 5);
        const PersonName n = NewPersonName(rng, rng.Chance(0.03));
        t.name = n.name;
        t.kana = n.kana;
        t.eng = n.eng;
        t.shortName = n.shortName;
        t.birth = DayOf(year - rng.Between(32, 69), rng.Between(1, 12), rng.Between(1, 28));
        t.issued = DayOf(t.birth.Year() + rng.Between(30, 40), 3, 1);
        t.tozai = i % 2 == 0 ? '1' : '2';
        t.skill = std::clamp(rng.Normal() * 0.45, -1.0, 1.0);
        for (double& r : t.placeRate) r = Clamp01(0.22 + 0.09 * t.skill + rng.Normal() * 0.03);
        world.trainers.push_back(std::move(t));
    }

    const int jockeyCount = std::clamp(horses / 9, 36, 140);
    for (int i = 0; i < jockeyCount; ++i) {
        Person j;
        j.code = Code(1101 + i, 5);
        const bool female = i % 17 == 5;
        const PersonName n = NewPersonName(rng, female);
        j.name = n.name;
        j.kana = n.kana;
        j.eng = n.eng;
        j.shortName = n.shortName;
        j.sex = female ? '2' : '1';
        const bool apprentice = i % 9 == 4 || female;
        const int age = apprentice ? rng.Between(18, 22) : rng.Between(23, 55);
        j.birth = DayOf(year - age, rng.Between(1, 12), rng.Between(1, 28));
        j.issued = DayOf(j.birth.Year() + 18 + rng.Below(2), 3, 1);
        j.minarai = apprentice ? static_cast<char>('1' + rng.Below(3)) : '0';
        j.tozai = i % 2 == 0 ? '1' : '2';
        j.hurdles = i % 2 == 1;  // enough riders for a field of 14 over hurdles
        j.trainer = rng.Chance(0.4) ? rng.Below(trainerCount) : -1;
        j.skill = std::clamp(rng.Normal() * 0.5 - (apprentice ? 0.3 : 0.0), -1.0, 1.0);
        for (double& r : j.placeRate) r = Clamp01(0.2 + 0.12 * j.skill + rng.Normal() * 0.03);
        j.ridesPerYear = std::max(40, static_cast<int>(380 + 280 * j.skill + rng.Normal() * 60));
        world.jockeys.push_back(std::move(j));
    }

    const int ownerCount = std::clamp(horses / 4, 10, 400);
    for (int i = 0; i < ownerCount; ++i)
        world.owners.push_back({Code(100001 + i * 7, 6), NewOwnerName(rng), NewColours(rng)});

    const int breederCount = std::clamp(horses / 5, 8, 300);
    for (int i = 0; i < breederCount; ++i)
        world.breeders.push_back({Code(10000101 + i * 13, 8), NewBreederName(rng), NewBirthPlace(rng)});
}

int PickJockey(const World& world, Rng& rng, int usual, bool hurdles, const std::vector<int>& taken) {
    const int n = static_cast<int>(world.jockeys.size());
    auto fits = [&](int j) {
        if (j < 0 || j >= n) return false;
        if (hurdles && !world.jockeys[static_cast<std::size_t>(j)].hurdles) return false;
        return std::find(taken.begin(), taken.end(), j) == taken.end();
    };
    if (fits(usual) && rng.Chance(0.65)) return usual;
    for (int tries = 0; tries < 200; ++tries) {
        const int j = rng.Below(n);
        if (fits(j)) return j;
    }
    for (int j = 0; j < n; ++j)
        if (fits(j)) return j;
    return -1;  // every rider is taken; the caller leaves the slot to a horse outside the week
}

}  // namespace demoweek
