#include "engine/stats_records.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_folder.h"

namespace {

// A record of `length` bytes: blanks, the given texts at their 1-based positions, CR LF at the end.
std::string Rec(std::size_t length, std::vector<std::pair<std::size_t, std::string>> fields) {
    std::string r(length, ' ');
    for (const auto& [pos, text] : fields) r.replace(pos - 1, text.size(), text);
    r[length - 2] = '\r';
    r[length - 1] = '\n';
    return r;
}

std::string Person(const std::string& code, const std::string& turf) { return Rec(121, {{1, code}, {30, turf}}); }
std::string Horse(const std::string& ketto, const std::string& rate) { return Rec(228, {{1, ketto}, {11, rate}}); }
std::string Foal(const std::string& dam, const std::string& foal) { return Rec(22, {{1, dam}, {11, foal}}); }

TEST(StatsRecords, FieldsAtTheirPositions) {
    // Every value distinct, so that a field read from a neighbour's position shows.
    std::vector<std::pair<std::size_t, std::string>> f = {
        {1, "1234567890"}, {35, "   101"}, {41, "   102"}, {47, "000000103"}, {56, "000000104"},
        {65, "000000105"}, {74, "000000106"}, {119, "   107"}};
    for (int i = 0; i < 12; ++i) f.emplace_back(125 + 6 * i, "   " + std::to_string(200 + i));
    for (int i = 0; i < 6; ++i) f.emplace_back(197 + 6 * i, "   " + std::to_string(300 + i));
    const engine::SireDamStats s(Rec(402, f));
    using G = engine::SireDamStats::Group;
    EXPECT_EQ(s.HansyokuNum(), "1234567890");
    EXPECT_EQ(s.StartsFlat(), 101);
    EXPECT_EQ(s.StartsOther(), 102);
    EXPECT_EQ(s.PrizeFlat(), 103);
    EXPECT_EQ(s.PrizeOther(), 104);
    EXPECT_EQ(s.ValueFlat(), 105);
    EXPECT_EQ(s.ValueOther(), 106);
    EXPECT_EQ(s.GoingPlaceRate(G::Turf, 1), 200);
    EXPECT_EQ(s.GoingPlaceRate(G::Turf, 4), 203);
    EXPECT_EQ(s.GoingPlaceRate(G::Dirt, 1), 204);
    EXPECT_EQ(s.GoingPlaceRate(G::Dirt, 4), 207);
    EXPECT_EQ(s.GoingPlaceRate(G::Other, 2), 209);
    EXPECT_EQ(s.DistancePlaceRate(G::Turf, 1), 300);
    EXPECT_EQ(s.DistancePlaceRate(G::Turf, 3), 302);
    EXPECT_EQ(s.DistancePlaceRate(G::Dirt, 2), 304);
    EXPECT_EQ(s.DistancePlaceRate(G::Other, 3), 107);
    EXPECT_THROW(s.GoingPlaceRate(G::Turf, 5), std::out_of_range);

    const engine::HorseStats h(Rec(228, {{1, "2019100001"}, {11, " 12345"}, {23, "    11"}, {29, "    12"},
                                         {35, "000000013"}, {44, "000000014"}}));
    EXPECT_EQ(h.KettoNum(), "2019100001");
    EXPECT_EQ(h.PlaceRate(), 12345);
    EXPECT_EQ(h.StartsFlat(), 11);
    EXPECT_EQ(h.StartsOther(), 12);
    EXPECT_EQ(h.PrizeFlat(), 13);
    EXPECT_EQ(h.PrizeOther(), 14);

    const engine::PersonStats p(Rec(121, {{1, "01234"}, {30, "  4000"}, {36, "  8001"}, {42, " 12002"}}));
    EXPECT_EQ(p.Code(), "01234");
    EXPECT_EQ(p.PlaceRateTurf(), 4000);
    EXPECT_EQ(p.PlaceRateDirt(), 8001);
    EXPECT_EQ(p.PlaceRateOther(), 12002);

    const engine::DamFoalRecord d(Foal("0001234567", "2019105555"));
    EXPECT_EQ(d.DamHansyokuNum(), "0001234567");
    EXPECT_EQ(d.FoalKettoNum(), "2019105555");
}

TEST(StatsRecords, DamagedFieldsReadLeniently) {
    std::string bytes = Rec(121, {{1, "01234"}, {30, "  12ab"}, {36, "------"}});
    bytes.replace(41, 6, std::string(6, '\0'));  // position 42
    const engine::PersonStats p(bytes);
    EXPECT_EQ(p.PlaceRateTurf(), 12);
    EXPECT_EQ(p.PlaceRateDirt(), 0);
    EXPECT_EQ(p.PlaceRateOther(), 0);

    // Zero bytes in a file read as blanks, in keys as in values.
    testsupport::TempAppFolder dir;
    std::string zeroKey = Person("00000", "  8000");
    zeroKey.replace(0, 5, std::string(5, '\0'));
    dir.Write("OPTION1N/CHOKYOSEISEI.dat", zeroKey);
    engine::StatsFile<engine::PersonStats> trainers(engine::kChokyoSeiseiFile);
    ASSERT_TRUE(trainers.Find("     "));
    EXPECT_EQ(trainers.Find("     ")->PlaceRateTurf(), 8000);
}

TEST(StatsLookup, FirstRecordOfAKeyWinsAndKeysMatchWhole) {
    testsupport::TempAppFolder dir;
    dir.Write("OPTION1N/KISHUSEISEI.dat", Person("01234", "  4000") + Person("00555", "  8000") +
                                              Person("01234", " 36000") + Person("0066 ", " 12000"));
    engine::StatsFile<engine::PersonStats> jockeys(engine::kKishuSeiseiFile);
    EXPECT_EQ(jockeys.Count(), 4);
    ASSERT_TRUE(jockeys.Find("01234"));
    EXPECT_EQ(jockeys.Find("01234")->PlaceRateTurf(), 4000);
    EXPECT_EQ(jockeys.Find("00555")->PlaceRateTurf(), 8000);
    EXPECT_EQ(jockeys.Find("0066 ")->PlaceRateTurf(), 12000);
    EXPECT_FALSE(jockeys.Find("0066"));     // trailing blanks are part of the key
    EXPECT_FALSE(jockeys.Find("00555 "));
    EXPECT_FALSE(jockeys.Find("1234"));
    EXPECT_FALSE(jockeys.Find("     "));
}

TEST(StatsLookup, MissingEmptyAndTornFiles) {
    testsupport::TempAppFolder dir;
    engine::StatsFile<engine::SireDamStats> mares(engine::kMareFile);
    EXPECT_FALSE(mares.Find("1234567890"));
    EXPECT_FALSE(dir.Exists("OPTION1N/MARE.dat"));  // reading never creates it
    EXPECT_FALSE(dir.Exists("OPTION1N"));

    dir.Write("OPTION1N/MARE.dat", "");
    EXPECT_EQ(mares.Count(), 0);
    EXPECT_FALSE(mares.Find("1234567890"));

    // Two whole records and a torn third: the torn one is not a record.
    const std::string third = Rec(402, {{1, "3333333333"}});
    dir.Write("OPTION1N/MARE.dat", Rec(402, {{1, "1111111111"}}) + Rec(402, {{1, "2222222222"}}) + third.substr(0, 300));
    EXPECT_EQ(mares.Count(), 2);
    EXPECT_TRUE(mares.Find("2222222222"));
    EXPECT_FALSE(mares.Find("3333333333"));
}

TEST(StatsLookup, FolderAndFileNamesInAnotherLetterCase) {
    testsupport::TempAppFolder dir;
    dir.Write("option1n/Stallion.DAT", Rec(402, {{1, "1111111111"}, {65, "000001000"}}));
    engine::StatsFile<engine::SireDamStats> sires(engine::kStallionFile);
    ASSERT_TRUE(sires.Find("1111111111"));
    EXPECT_EQ(sires.Find("1111111111")->ValueFlat(), 1000);
}

// This week's subset is written over last week's longer file: the stale records after the fresh
// ones still answer for keys the fresh ones lack, and never for keys they hold.
TEST(StatsLookup, SubsetWithStaleRecordsAfterTheFreshOnes) {
    testsupport::TempAppFolder dir;
    const std::string fresh = Horse("2019100001", " 10000") + Horse("2019100002", " 20000");
    const std::string stale = Horse("2018100009", " 90000") + Horse("2019100001", " 99999");
    dir.Write("OPTION1N/KYOSOBATHISWEEK.dat", fresh + stale);
    engine::StatsFile<engine::HorseStats> horses(engine::kKyosobaThisWeekFile);
    EXPECT_EQ(horses.Find("2019100001")->PlaceRate(), 10000);
    EXPECT_EQ(horses.Find("2018100009")->PlaceRate(), 90000);
    EXPECT_EQ(horses.Count(), 4);
}

TEST(StatsLookup, FollowsTheFilesCurrentContent) {
    testsupport::TempAppFolder dir;
    const auto path = dir / "OPTION1N/KYOSOBATHISWEEK.dat";
    dir.Write("OPTION1N/KYOSOBATHISWEEK.dat", Horse("2019100001", " 10000"));
    engine::StatsFile<engine::HorseStats> horses(engine::kKyosobaThisWeekFile);
    EXPECT_FALSE(horses.Find("2019100002"));

    // A record appended.
    dir.Write("OPTION1N/KYOSOBATHISWEEK.dat", Horse("2019100001", " 10000") + Horse("2019100002", " 20000"));
    ASSERT_TRUE(horses.Find("2019100002"));

    // Rewritten in place at the same size, later.
    const auto before = std::filesystem::last_write_time(path);
    dir.Write("OPTION1N/KYOSOBATHISWEEK.dat", Horse("2019100003", " 30000") + Horse("2019100001", " 11111"));
    std::filesystem::last_write_time(path, before + std::chrono::seconds(2));
    EXPECT_FALSE(horses.Find("2019100002"));
    EXPECT_EQ(horses.Find("2019100001")->PlaceRate(), 11111);

    // Removed.
    std::filesystem::remove(path);
    EXPECT_FALSE(horses.Find("2019100001"));
    EXPECT_EQ(horses.Count(), 0);
}

// A loaded table answers from what the file held when it was read, and touches no file after.
TEST(StatsTable, LoadedOnceFirstRecordOfAKeyWins) {
    using Table = engine::StatsTable<engine::PersonStats>;
    testsupport::TempAppFolder dir;
    EXPECT_EQ(Table::Load(engine::kKishuSeiseiFile).Size(), 0u);
    EXPECT_FALSE(dir.Exists("OPTION1N"));  // reading never creates it

    std::string zeroKey = Person("00000", "  2000");
    zeroKey.replace(0, 5, std::string(5, '\0'));
    const std::string torn = Person("07777", " 70000").substr(0, 100);
    dir.Write("OPTION1N/KISHUSEISEI.dat", Person("01234", "  4000") + zeroKey + Person("01234", " 36000") + torn);
    const Table table = Table::Load(engine::kKishuSeiseiFile);
    EXPECT_EQ(table.Size(), 3u);
    ASSERT_TRUE(table.Find("01234"));
    EXPECT_EQ(table.Find("01234")->PlaceRateTurf(), 4000);
    EXPECT_EQ(table.IndexOf("01234"), 0);
    EXPECT_EQ(table.IndexOf("     "), 1);  // zero bytes read as blanks
    EXPECT_EQ(table.IndexOf("07777"), -1);
    EXPECT_FALSE(table.Find("0123"));
    EXPECT_FALSE(table.Find("01234 "));
    EXPECT_EQ(table.Records()[2].PlaceRateTurf(), 36000);

    // The same records held in memory give the same answers.
    const Table inMemory({Person("01234", "  4000"), zeroKey, Person("01234", " 36000")});
    ASSERT_TRUE(inMemory.Find("     "));
    EXPECT_EQ(inMemory.Find("     ")->PlaceRateTurf(), 2000);
    EXPECT_EQ(inMemory.Find("01234")->PlaceRateTurf(), 4000);

    std::filesystem::remove(dir / "OPTION1N/KISHUSEISEI.dat");
    ASSERT_TRUE(table.Find("01234"));
    EXPECT_EQ(table.Find("01234")->PlaceRateTurf(), 4000);
}

TEST(DamFoals, ProduceOrderCountsFromTheDamsFirstRecord) {
    testsupport::TempAppFolder dir;
    const std::string dam = "0001234567";
    std::string file = Foal("0009999999", "2015100000");  // record 1, another dam
    for (int j = 0; j < 23; ++j) {
        // records 2 to 24: the dam's foals, except that records 10 and 11 name another dam
        const std::string d = (j == 8 || j == 9) ? "0008888888" : dam;
        file += Foal(d, "20161000" + std::to_string(10 + j));
    }
    dir.Write("OPTION1N/HNSKOPTION1N.dat", file);
    engine::DamFoalFile foals;
    EXPECT_EQ(foals.Count(), 24);
    EXPECT_EQ(foals.FirstRecordOf(dam), 2);
    EXPECT_EQ(foals.FirstRecordOf("0008888888"), 10);
    EXPECT_EQ(foals.FirstRecordOf("0007777777"), 0);
    EXPECT_EQ(foals.Record(1)->FoalKettoNum(), "2015100000");
    EXPECT_FALSE(foals.Record(25));

    EXPECT_EQ(foals.ProduceOrder(dam, "2016100010"), "01");
    EXPECT_EQ(foals.ProduceOrder(dam, "2016100015"), "06");
    EXPECT_EQ(foals.ProduceOrder(dam, "2016100018"), "09");  // under another dam's number: still counted
    EXPECT_EQ(foals.ProduceOrder(dam, "2016100030"), "21");
    EXPECT_EQ(foals.ProduceOrder(dam, "2016100031"), "00");  // record f + 21
    EXPECT_EQ(foals.ProduceOrder(dam, "2015100000"), "00");  // before the dam's first record
    EXPECT_EQ(foals.ProduceOrder("0007777777", "2016100010"), "00");
    EXPECT_EQ(foals.ProduceOrder("0008888888", "2016100032"), "15");

    // Near the end of the file the records past it match nothing.
    dir.Write("OPTION1N/HNSKOPTION1N.dat", Foal(dam, "2016100010") + Foal(dam, "2016100011"));
    EXPECT_EQ(foals.ProduceOrder(dam, "2016100011"), "02");
    EXPECT_EQ(foals.ProduceOrder(dam, "2016100012"), "00");
}

}  // namespace
