// The shared readings of the items, the statistics tables, and all thirty labels of runs.
#include <gtest/gtest.h>

#include <set>

#include "item_fixtures.h"
#include "support/temp_folder.h"

namespace {

using namespace itemfix;
using engine::ExRecord;

TEST(ModelItemHelpers, LogBandKeepsItsOrderOfOperations) {
    struct BandCase {
        double x;
        std::int64_t band;
    };
    for (const BandCase& c : std::vector<BandCase>{{1, 0}, {2, 3}, {10, 10}, {35, 15}, {100, 20}, {1000, 29},
                                                  {1000000, 59}, {4000000, 66}, {0.5, -4}}) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(engine::LogBand(c.x, "x"), c.band);
    }
    EXPECT_THROW(engine::LogBand(0, "x"), engine::ItemFailure);
    EXPECT_THROW(engine::LogBand(-3, "x"), engine::ItemFailure);
}

TEST(ModelItemHelpers, DaysKeepTheLastFourCharacters) {
    const auto day = [](const char* y, const char* m, const char* d) { return *engine::DayNumber(y, m, d); };
    EXPECT_EQ(engine::ItemDays(day("2021", "04", "10"), day("2024", "05", "19")), 1135);
    EXPECT_EQ(engine::ItemDays(day("2024", "02", "28"), day("2024", "03", "01")), 2);  // leap year
    EXPECT_EQ(engine::ItemDays(0, 9999), 9999);
    EXPECT_EQ(engine::ItemDays(0, 12000), 2000);   // 22000 -> "2000"
    EXPECT_EQ(engine::ItemDays(0, -5), 9995);      // 9995
    EXPECT_EQ(engine::ItemDays(0, -10005), -5);    // "-5"
    EXPECT_EQ(engine::ItemDays(0, -12345), 2345);  // "-2345" -> "2345"

    EXPECT_FALSE(engine::DayNumber("2023", "02", "29"));
    EXPECT_FALSE(engine::DayNumber("2024", "13", "01"));
    EXPECT_FALSE(engine::DayNumber("2024", "00", "10"));
    EXPECT_FALSE(engine::DayNumber("20 4", "05", "10"));
    EXPECT_FALSE(engine::DayNumber("    ", "  ", "  "));
    EXPECT_FALSE(engine::DayNumber("0099", "05", "10"));
}

TEST(ModelItemHelpers, PreviousNormalRun) {
    // IJyoCD of runs 1 to r - 1, and the number of P.
    struct PrevCase {
        std::vector<const char*> ijyo;
        int previous;
    };
    const std::vector<PrevCase> cases = {
        {{}, 0}, {{"1"}, 1}, {{"0", "0"}, 2}, {{"0", "1"}, 1}, {{"1", "1"}, 1}, {{"0", "1", "1"}, 2}, {{"1", "1", "0"}, 3},
    };
    const engine::ItemStatistics stats;
    for (const PrevCase& c : cases) {
        SCOPED_TRACE(c.previous);
        std::vector<ExRecord> earlier;
        for (const char* i : c.ijyo) earlier.push_back(MakeRun({{pos::IJyoCD, i}}));
        const ExRecord current = MakeRun();
        const engine::ItemRun run{current, earlier, stats};
        EXPECT_EQ(run.PreviousNumber(), c.previous);
        EXPECT_EQ(run.Previous() == nullptr, c.previous == 0);
    }
}

TEST(ModelItemStatistics, FirstRecordOfAKeyWinsAndKeysMatchWhole) {
    const engine::StatsTable<engine::PersonStats> table({
        StatsRecord(121, {{1, "01001"}, {30, "  4000"}}),
        StatsRecord(121, {{1, "01001"}, {30, "  8000"}}),
        StatsRecord(121, {{1, "0100 "}, {30, " 12000"}}),
    });
    ASSERT_NE(table.Find("01001"), nullptr);
    EXPECT_EQ(table.Find("01001")->PlaceRateTurf(), 4000);
    EXPECT_EQ(table.Find("0100 ")->PlaceRateTurf(), 12000);
    EXPECT_EQ(table.Find("0100"), nullptr);  // a key that differs by a trailing blank
    EXPECT_EQ(table.Find("01002"), nullptr);
}

TEST(ModelItemStatistics, LoadsTheFiveFilesOnce) {
    testsupport::TempAppFolder app;
    // Names in another letter case; a torn last record is no record.
    app.Write("option1n/stallion.dat", StatsRecord(402, {{1, "1100000001"}, {65, "000001000"}}) +
                                           StatsRecord(402, {{1, "1100000001"}, {65, "000000100"}}) + "1100000002");
    app.Write("option1n/KISHUSEISEI.DAT", StatsRecord(121, {{1, "00666"}, {30, "  8000"}}));
    app.Write("option1n/KYOSOBATHISWEEK.dat", StatsRecord(228, {{1, "2021100001"}, {11, " 50000"}}));
    const engine::ItemStatistics stats = engine::LoadItemStatistics();
    EXPECT_EQ(stats.sires.Size(), 2u);
    EXPECT_EQ(stats.sires.Find("1100000001")->ValueFlat(), 1000);
    EXPECT_EQ(stats.jockeys.Find("00666")->PlaceRateTurf(), 8000);
    EXPECT_EQ(stats.horses.Find("2021100001")->PlaceRate(), 50000);
    EXPECT_EQ(stats.dams.Size(), 0u);  // missing: empty, and not created
    EXPECT_EQ(stats.trainers.Size(), 0u);
    EXPECT_FALSE(app.Exists("option1n/MARE.dat"));
    EXPECT_FALSE(app.Exists("OPTION1N/MARE.dat"));

    // The table holds what was read: a later change of the file is not seen by it.
    app.Write("option1n/KYOSOBATHISWEEK.dat", StatsRecord(228, {{1, "2021100001"}, {11, " 90000"}}));
    EXPECT_EQ(stats.horses.Find("2021100001")->PlaceRate(), 50000);
}

// A fourth run on dirt 24 with every item's data present: the whole label block, item by item.
TEST(ModelItemLabels, AllThirtyOfARun) {
    engine::ItemStatistics stats;
    stats.jockeys = engine::StatsTable<engine::PersonStats>({StatsRecord(121, {{1, "00666"}, {36, " 20000"}})});
    stats.trainers = engine::StatsTable<engine::PersonStats>({StatsRecord(121, {{1, "01001"}, {36, "  8000"}})});
    stats.sires = engine::StatsTable<engine::SireDamStats>({StatsRecord(
        402, {{1, "1100000001"}, {35, "    20"}, {47, "000200000"}, {65, "000050000"}, {149, " 40000"}, {221, " 28000"}})});
    stats.dams = engine::StatsTable<engine::SireDamStats>({StatsRecord(402, {{1, "1200000001"}, {161, " 16000"}})});
    stats.horses = engine::StatsTable<engine::HorseStats>(
        {StatsRecord(228, {{1, "2021100001"}, {11, " 34567"}, {23, "     4"}, {35, "000002000"}})});

    std::vector<ExRecord> runs = {
        MakeRun({{pos::Year, "2023"}, {pos::MonthDay, "1001"}, {pos::Honsyokin, "00001500"}}),
        MakeRun({{pos::Year, "2023"}, {pos::MonthDay, "1210"}, {pos::Honsyokin, "00000500"}}),
        MakeRun({{pos::Year, "2024"}, {pos::MonthDay, "0421"}, {pos::TrackCD, "23"}, {pos::Kyori, "1400"},
                 {pos::Odds, "0123"}, {pos::TimeDiff, "+012"}}),
        MakeRun({{pos::TrackCD, "24"}, {pos::Kyori, "1800"}, {pos::CourseKubunCD, "  "}, {pos::KigoCD, "N21"},
                 {pos::GradeCD, "C"}, {pos::Futan, "560"}, {pos::BaTaijyu, "480"}, {pos::SexCD, "2"},
                 {pos::KisyuBirthDate, "19950101"}, {pos::MinaraiCD, "1"}, {pos::HassoTime, "1540"},
                 {pos::TenkoCD, "2"}, {pos::DirtBabaCD, "3"}, {pos::TorokuTosu, "14"}}),
    };
    const std::string before(runs.back().Bytes());
    const std::string expected = std::string("202405   ")  //  1
                                 + "54         "             //  2 course 5, bracket 4, dirt: no track code
                                 + " 22      "               //  3 P on dirt 23 at 1400, longer now
                                 + "56  "                    //  4
                                 + "33   "                   //  5 2000 won before
                                 + "N0    "                  //  6
                                 + "15   "                   //  7 dirt rate 20000
                                 + "3   "                    //  8
                                 + "003"                     //  9
                                 + "304"                     // 10 56 kg on 480 kg: 104.48 -> 104, filly
                                 + "60  "                    // 11
                                 + "238"                     // 12 1135 days
                                 + "46    "                  // 13 50000
                                 + "11040 "                  // 14 4 weeks after P at the same course
                                 + "20    "                  // 15 odds 12.3
                                 + "10  "                    // 16 going 3 is not read for the sire
                                 + "14  "                    // 17 dirt going 3
                                 + "0281  "                  // 18 aged 29, apprentice 1
                                 + "12   "                   // 19
                                 + "40        "              // 20 10000 per start
                                 + "C703      "              // 21
                                 + "1800 "                   // 22
                                 + "27        "              // 23 dirt 1601 to 2200
                                 + "071   "                  // 24
                                 + "041 "                    // 25
                                 + "0019"                    // 26 +1.2 s
                                 + "0304    "                // 27
                                 + "14    "                  // 28
                                 + "2304  "                  // 29
                                 + "26  ";                   // 30 500 per start
    ASSERT_EQ(expected.size(), 176u);

    const auto failures = engine::ComputeItemLabels(std::span<ExRecord>(runs), 4, stats);
    EXPECT_TRUE(failures.empty());
    const std::string after(runs.back().Bytes());
    EXPECT_EQ(after.substr(1849, 176), expected);
    // Nothing but the label block changes.
    EXPECT_EQ(after.substr(0, 1849), before.substr(0, 1849));
    EXPECT_EQ(after.substr(2025), before.substr(2025));
}

TEST(ModelItemLabels, AFailingItemStopsNoOther) {
    // A run without a track code: every item that tests the track fails, each on its own.
    std::vector<ExRecord> runs = {MakeRun(), MakeRun({{pos::TrackCD, "  "}, {pos::Odds, "----"}})};
    runs.push_back(MakeRun({{pos::TrackCD, "  "}, {pos::BirthDate, "20210231"}}));
    const auto failures = engine::ComputeItemLabels(std::span<ExRecord>(runs), 3, engine::ItemStatistics{});
    std::set<int> failed;
    for (const auto& f : failures) {
        failed.insert(f.item);
        EXPECT_NE(f.reason.find("item " + std::to_string(f.item) + " "), std::string::npos) << f.reason;
    }
    // Item 15 fails for P's odds as well (run 2 is P).
    EXPECT_EQ(failed, (std::set<int>{2, 6, 7, 12, 13, 15, 16, 17, 18, 19, 20, 22, 23, 24, 27, 29, 30}));
    const std::string bytes(runs.back().Bytes());
    for (int k = 1; k <= 30; ++k) {
        SCOPED_TRACE(k);
        const std::string label = bytes.substr(static_cast<std::size_t>(kLabelAt[k] - 1), static_cast<std::size_t>(kLabelWidth[k]));
        if (failed.count(k)) EXPECT_EQ(label, std::string(static_cast<std::size_t>(kLabelWidth[k]), ' '));
        else EXPECT_NE(label, std::string(static_cast<std::size_t>(kLabelWidth[k]), ' '));
    }
    // Two of those that go on, as their rules give them.
    EXPECT_EQ(bytes.substr(1849, 9), "202405   ");
    EXPECT_EQ(bytes.substr(1902, 3), "002");
}

}  // namespace
