#include "supplementary/speed_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <stdexcept>
#include <vector>

#include "reports/report_fixtures.h"
#include "supplementary/speed_writer.h"
#include "support/report_week.h"
#include "support/temp_folder.h"

namespace {

using supplementary::SpeedEntry;

TEST(SokudoLine, RaceIdThenSpeedAndTwoDigitRankPerHorseNumber) {
    struct Case {
        const char* what;
        std::vector<SpeedEntry> entries;
        const char* line;
    };
    const Case cases[] = {
        {"one runner: three fields", {{60500, 1}}, "2026120506050101,60500,01\r\n"},
        {"a gap keeps the places of the others",
         {{61234, 1}, {0, 3}, {58000, 2}},
         "2026120506050101,61234,01,0,03,58000,02\r\n"},
        {"rank 10 and above as they are", {{57001, 10}, {1, 18}, {99999, 9}}, "2026120506050101,57001,10,1,18,99999,09\r\n"},
        {"no runners: no line", {}, ""},
        {"a speed beyond 32 bits", {{5000000000ULL, 1}}, "2026120506050101,5000000000,01\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(supplementary::SokudoLine("2026120506050101", c.entries), c.line) << c.what;
    }
}

TEST(SokudoLine, RanksOneToEighteen) {
    std::vector<SpeedEntry> entries;
    for (int h = 1; h <= 18; ++h) entries.push_back({static_cast<std::uint64_t>(h), 19 - h});
    EXPECT_EQ(supplementary::SokudoLine("2027010106010212", entries),
              "2027010106010212,1,18,2,17,3,16,4,15,5,14,6,13,7,12,8,11,9,10,10,09,11,08,12,07,13,06,14,05,15,04,"
              "16,03,17,02,18,01\r\n");
}

TEST(SokudoLine, ARaceIdThatIsNotSixteenDigitsFormsNoLine) {
    const std::vector<SpeedEntry> one{{60500, 1}};
    for (const char* id : {"", "20261205060501", "20261205060501011", "2026120506050A01", "2026120506050 01",
                           "2026/205060501,1"}) {
        EXPECT_THROW(supplementary::SokudoLine(id, one), std::invalid_argument) << id;
    }
}

TEST(SpeedOfValue, ProductInSinglePrecisionRoundedDown) {
    struct Case {
        float kmh;
        std::uint64_t speed;
    };
    const Case cases[] = {
        {60.5f, 60500},
        {61.2349f, 61234},  // product 61234.902: the fraction is dropped, not rounded
        {57.001f, 57001},   // in double the product is 57000.9995; single precision makes it 57001
        {0.0009f, 0},
        {0.0f, 0},
        {-0.0001f, 0},  // negative: no such field, written 0
        {-61.5f, 0},
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {std::numeric_limits<float>::infinity(), 0},
        {1e30f, 0},  // no whole number of 64 bits holds it
        {1e7f, 10000000000ULL},  // large but whole: kept
    };
    for (const Case& c : cases) EXPECT_EQ(supplementary::SpeedOfValue(c.kmh), c.speed) << c.kmh;
}

/// A race of the given ranking values; `order` lists the horse numbers best first.
workbench::RaceState ValuedRace(const std::vector<float>& values, const std::vector<int>& order, int missing = 0) {
    workbench::RaceState race = reportweek::Race("2025110105030208", 1, "18", "10");
    const auto n = values.size();
    reportweek::SetRunners(race, order, std::vector<std::string>(n + 1), std::vector<std::string>(n + 1, "**"), missing,
                           [&](workbench::RaceRanking& r) {
                               for (std::size_t h = 1; h <= n; ++h) r.YosoValue[h] = values[h - 1];
                           });
    return race;
}

TEST(SokudoRaceLine, ValuesAndRanksOfTheRace) {
    struct Case {
        const char* what;
        workbench::RaceState race;
        const char* line;
    };
    std::vector<float> eighteen;
    std::vector<int> byHorse;
    for (int h = 1; h <= 18; ++h) eighteen.push_back(70.0f - static_cast<float>(h)), byHorse.push_back(h);
    const Case cases[] = {
        {"one runner, a product with fraction .9", ValuedRace({61.2349f}, {1}), "2025110105030208,61234,01\r\n"},
        {"a gap: value 0, ranked last", ValuedRace({60.5f, 0.0f, 58.0f}, {1, 3, 2}, 2),
         "2025110105030208,60500,01,0,03,58000,02\r\n"},
        {"a negative value is written 0", ValuedRace({-5.5f, 57.25f}, {2, 1}), "2025110105030208,0,02,57250,01\r\n"},
        {"ranks 1 to 18",
         ValuedRace(eighteen, byHorse),
         "2025110105030208,69000,01,68000,02,67000,03,66000,04,65000,05,64000,06,63000,07,62000,08,61000,09,60000,10,"
         "59000,11,58000,12,57000,13,56000,14,55000,15,54000,16,53000,17,52000,18\r\n"},
        {"no runners, no line", reportweek::Race("2025110105030208", 1, "  ", "10"), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(supplementary::SokudoRaceLine(c.race), c.line) << c.what;

    workbench::RaceState blankRank = ValuedRace({60.0f, 59.0f}, {1, 2}, 0);
    reportweek::SetRunners(blankRank, {1, 2}, {"", "", ""}, {"", "**", "**"}, 0,
                           [](workbench::RaceRanking& r) { r.YosoRank[2] = "  "; });
    EXPECT_THROW(supplementary::SokudoRaceLine(blankRank), std::runtime_error);
}

TEST(SokudoHrCsvWriter, OneFilePerDateOverEveryCourseInTheOrderOfTheRaces) {
    testsupport::TempAppFolder dir;
    std::filesystem::create_directories(dir / "SOKUDO");
    dir.Write("SOKUDO/HR20251101.csv", "2025110105030201,1,01\r\n");
    dir.Write("SOKUDO/HR20251031.csv", "2025103105030201,1,01\r\n");
    const auto dayA = reportweek::DayA(1);
    const workbench::RaceState b1 = reportweek::SixOfSixteenRace(1);
    const workbench::RaceState b2 = reportweek::CancelledRace(1);
    for (int run = 0; run < 2; ++run) {
        reportfixtures::WriterRun<supplementary::SokudoHrCsvWriter> r("WriteSokudoHrCsv");
        // The day's races with the other course's race and the next date's between them.
        for (const workbench::RaceState* race : {&dayA[0], &b1, &dayA[1], &dayA[2], &b2}) {
            r.Write(*race);
            if (race == &b1) r.Write(reportweek::KyotoRace(1));
        }
        EXPECT_EQ(r.writer.LastSokudoDate(), "20251102");
        EXPECT_EQ(r.log.StepsPassedOver(), 0);
        EXPECT_EQ(dir.Read("SOKUDO/HR20251101.csv"), reportfixtures::Golden("../supplementary/HR20251101.csv"));
        EXPECT_EQ(dir.Read("SOKUDO/HR20251102.csv"), reportfixtures::Golden("../supplementary/HR20251102.csv"));
        EXPECT_EQ(dir.Read("SOKUDO/HR20251031.csv"), "2025103105030201,1,01\r\n");
    }
}

}  // namespace
