#include "supplementary/win_bet_csv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/encoding.h"
#include "reports/report_fixtures.h"
#include "support/report_week.h"
#include "support/temp_folder.h"

namespace {

using workbench::RaceState;

class TanshoFiles : public ::testing::Test {
protected:
    testsupport::TempAppFolder dir;
    void SetUp() override { std::filesystem::create_directories(dir / "TANSHO"); }
    std::string Read(std::string_view utf8Name) const { return dir.Read("TANSHO/" + std::string(utf8Name)); }
};

TEST_F(TanshoFiles, RankOneThenRankTwoPerRace) {
    reportfixtures::WriterRun<supplementary::TanshoCsvWriter> r("WriteTanshoCsv");
    const auto day = reportweek::DayA(1);
    RaceState b1 = reportweek::SixOfSixteenRace(0);
    dir.Write("TANSHO/251101東京05R.csv", "an earlier run\r\n");
    r.Write(day[0]);
    r.Write(reportweek::KyotoRace(1));
    r.Write(day[1]);
    r.Write(day[2]);
    r.Write(b1);
    // Race 05 ranks horse 3 first and horse 1 second; race 06 has no runners.
    EXPECT_EQ(Read("251101東京05R.csv"), "20251101,05,05,01,03,100\r\n20251101,05,05,01,01,100\r\n");
    EXPECT_EQ(Read("251101京都01R.csv"), "20251101,08,01,01,01,100\r\n20251101,08,01,01,02,100\r\n");
    EXPECT_TRUE(dir.Exists("TANSHO/251101東京06R.csv"));
    EXPECT_EQ(Read("251101東京06R.csv"), "");
    EXPECT_EQ(Read("251101東京07R.csv"), "20251101,05,07,01,01,100\r\n20251101,05,07,01,02,100\r\n");
    // Course 06 is not in the code table: the race number follows the date.
    EXPECT_EQ(Read("25110201R.csv"), "20251102,06,01,01,01,100\r\n20251102,06,01,01,02,100\r\n");
    EXPECT_EQ(r.writer.LastTanshoRaceKey(), "202511020601");

    RaceState one = reportweek::RankedRace(1, "01", " 0", {}, "2025110105030209");
    r.Write(one);
    EXPECT_EQ(Read("251101東京09R.csv"), "20251101,05,09,01,01,100\r\n");
    EXPECT_EQ(r.log.StepsPassedOver(), 0);
}

TEST_F(TanshoFiles, TheRaceJustWrittenIsNotWrittenAgain) {
    reportfixtures::WriterRun<supplementary::TanshoCsvWriter> r("WriteTanshoCsv");
    const auto day = reportweek::DayA(1);
    r.Write(day[0]);
    dir.Write("TANSHO/251101東京05R.csv", "kept\r\n");
    r.Write(day[0]);
    EXPECT_EQ(Read("251101東京05R.csv"), "kept\r\n");
    r.Write(day[2]);
    r.Write(day[0]);  // not the race written last: written again
    EXPECT_EQ(Read("251101東京05R.csv"), "20251101,05,05,01,03,100\r\n20251101,05,05,01,01,100\r\n");
}

TEST_F(TanshoFiles, ACourseNameThatIsNoPlainFileNamePartFailsTheRace) {
    for (const char* name : {"東/京", "..", "東\\京", "東\x01京", "."}) {
        reportfixtures::WriterRun<supplementary::TanshoCsvWriter> r("WriteTanshoCsv");
        r.codes = common::CodeTable::FromCp932(common::ToCp932("2001,05,x,x," + std::string(name) + ",x,x,x\r\n"));
        const RaceState race = reportweek::DayA(1)[0];
        EXPECT_ANY_THROW(r.Write(race)) << name;
        EXPECT_TRUE(std::filesystem::is_empty(dir / "TANSHO")) << name;
        // A race that failed is not the race written last: once the name is sound it is written.
        r.codes = reportweek::Codes();
        r.Write(race);
        EXPECT_TRUE(dir.Exists("TANSHO/251101東京05R.csv")) << name;
        std::filesystem::remove(dir / "TANSHO/251101東京05R.csv");
    }
}

}  // namespace
