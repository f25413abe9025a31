#include "supplementary/win_place_csv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/encoding.h"
#include "reports/report_fixtures.h"
#include "support/report_week.h"
#include "support/temp_folder.h"

namespace {

using reportweek::PayoutBuilder;
using workbench::RaceState;

std::string Golden(std::string_view name) { return reportfixtures::Golden("../supplementary/" + std::string(name)); }

TEST(WinPlacePayOf, EntriesAreTakenByHorseNumberNeverByPosition) {
    const std::string id = "2025110105030208";
    struct Case {
        const char* what;
        PayoutBuilder hr;
        int horse;
        const char* win;
        const char* place;
    };
    const Case cases[] = {
        {"tied winner listed first", PayoutBuilder(id).Tansyo({{"01", "000000200", "01"}, {"02", "000000250", "02"}}), 1,
         "000000200", ""},
        {"tied winner listed second", PayoutBuilder(id).Tansyo({{"01", "000000200", "01"}, {"02", "000000250", "02"}}), 2,
         "000000250", ""},
        {"two place entries, the horse's is the second",
         PayoutBuilder(id).Tansyo({{"05", "000000380", "02"}}).Fukusyo({{"05", "000000140", "02"}, {"03", "000000210", "04"}}),
         3, "", "000000210"},
        {"the winner of two place entries",
         PayoutBuilder(id).Tansyo({{"05", "000000380", "02"}}).Fukusyo({{"05", "000000140", "02"}, {"03", "000000210", "04"}}),
         5, "000000380", "000000140"},
        {"three place entries in another order than the finish",
         PayoutBuilder(id).Fukusyo({{"12", "000000460", "07"}, {"04", "000000110", "01"}, {"09", "000000230", "03"}}), 9, "",
         "000000230"},
        {"a horse without an entry", PayoutBuilder(id).Tansyo({{"01", "000000200", "01"}}).Fukusyo({{"01", "000000110", "01"}}),
         10, "", ""},
        {"horse 1 is not horse 10", PayoutBuilder(id).Fukusyo({{"10", "000000170", "03"}}), 1, "", ""},
    };
    for (const Case& c : cases) {
        const supplementary::WinPlacePay pay = supplementary::WinPlacePayOf(c.hr.Record(), c.horse);
        EXPECT_EQ(pay.Win, c.win) << c.what;
        EXPECT_EQ(pay.Place, c.place) << c.what;
    }
}

class TanfukuFiles : public ::testing::Test {
protected:
    testsupport::TempAppFolder dir;
    void SetUp() override {
        std::filesystem::create_directories(dir / "TANFUKU");
        std::filesystem::create_directories(dir / "TANFUKU2");
    }
    void Run(std::int16_t mode, const std::vector<RaceState>& races) {
        reportfixtures::WriterRun<supplementary::TanfukuWriter> one("WriteTanfuku1", 1);
        reportfixtures::WriterRun<supplementary::TanfukuWriter> two("WriteTanfuku2", 2);
        for (const RaceState& race : races) {
            EXPECT_EQ(race.ResultMode, mode);
            one.Write(race);
            two.Write(race);
        }
    }
};

TEST_F(TanfukuFiles, DayFilesOfBothRanksAndModesMatchTheHandWrittenFiles) {
    dir.Write("TANFUKU/20251101050302tnfkRCM.csv", "last week\r\n");
    for (int run = 0; run < 2; ++run) {
        for (std::int16_t mode : {0, 1}) Run(mode, reportweek::DayA(mode));
        EXPECT_EQ(dir.Read("TANFUKU/20251101050302tnfkRCM.csv"), Golden("tnfkRCM.csv")) << "run " << run;
        EXPECT_EQ(dir.Read("TANFUKU2/20251101050302tnfkRCM2.csv"), Golden("tnfkRCM2.csv")) << "run " << run;
        EXPECT_EQ(dir.Read("TANFUKU/20251101050302tnfk.csv"), Golden("tnfk.csv")) << "run " << run;
        EXPECT_EQ(dir.Read("TANFUKU2/20251101050302tnfk2.csv"), Golden("tnfk2.csv")) << "run " << run;
    }
}

TEST_F(TanfukuFiles, RowsOfSmallFieldsAndACourseTheCodeTableLacks) {
    // Day B (course 06, not in the code table): the cancelled race of three runners has no
    // positions; then a one-runner race 11 whose horse is number 7, popularity 3 and age 4.
    RaceState cancelled = reportweek::CancelledRace(1);
    cancelled.CurHr = reportweek::CancelledPayout().Record();
    RaceState one = reportweek::Race("2025110206030111", 1, "01", "10");
    reportweek::SetTitle(one, {"11", "1535", "11", "メインレース", "サラ系３歳以上", "オープン", "Ｇ１", "芝", "2400", " 0", ""});
    const auto texts = [](workbench::RaceRanking& r) {
        r.NinkiStr[1] = " 3", r.BareiStr[1] = "04", r.WakuStr[1] = "5";
    };
    reportweek::SetRunners(one, {1}, {"", " 1"}, {"", "01"}, 0, texts);
    one.CurHr = PayoutBuilder("2025110206030111").Tansyo({{"01", "000000110", "01"}}).Record();
    Run(1, {cancelled, one});
    EXPECT_EQ(common::FromCp932(dir.Read("TANFUKU/20251102060301tnfkRCM.csv")),
              "\"単勝・複勝 数量化1位 2025年11月02日 第3回  第1日\"\r\n"
              "\"発走時刻\",\"R番号\",\"枠番\",\"馬番\",\"人気\",\"入線\",\"馬名\",\"単勝配当\",\"複勝配当\",\"騎手名\",\"調教師名\"\r\n"
              "\"1030\",\"第02R\",\"2\",\" 2\",\" 2\",\"\",\"アイウエオカキクケ\",\"\",\"\",\"騎手太郎\",\"調教師名\",\"牡\","
              "\" 3歳\",\"\",\"サラ系３歳\",\"未勝利\",\"\",\"ダ\",\"1800ｍ\"\r\n"
              "\"1535\",\"第11R\",\"5\",\" 1\",\" 3\",\" 1\",\"アイウエオカキクケ\",\"000000110\",\"\",\"騎手太郎\",\"調教師名\","
              "\"牡\",\" 4歳\",\"メインレース\",\"サラ系３歳以上\",\"オープン\",\"Ｇ１\",\"芝\",\"2400ｍ\"\r\n");
    // No horse holds rank 2 in the one-runner race.
    EXPECT_EQ(common::FromCp932(dir.Read("TANFUKU2/20251102060301tnfkRCM2.csv")),
              "\"単勝・複勝 数量化2位 2025年11月02日 第3回  第1日\"\r\n"
              "\"発走時刻\",\"R番号\",\"枠番\",\"馬番\",\"人気\",\"入線\",\"馬名\",\"単勝配当\",\"複勝配当\",\"騎手名\",\"調教師名\"\r\n"
              "\"1030\",\"第02R\",\"1\",\" 1\",\" 1\",\"\",\"アイウエオカキクケ\",\"\",\"\",\"騎手太郎\",\"調教師名\",\"牡\","
              "\" 3歳\",\"\",\"サラ系３歳\",\"未勝利\",\"\",\"ダ\",\"1800ｍ\"\r\n");
}

TEST_F(TanfukuFiles, PayoutsComeFromTheRaceStateNeverFromThePayoutFile) {
    // The week's payout file holds an older record of race 07; the race state carries the newer one.
    RaceState race = reportweek::DayA(1)[2];
    dir.Write("HRTHISWEEKN.dat", PayoutBuilder("2025110105030207").Tansyo({{"01", "000000900", "01"}}).bytes);
    race.CurHr = PayoutBuilder("2025110105030207")
                     .Tansyo({{"01", "000000200", "01"}, {"02", "000000250", "02"}})
                     .Fukusyo({{"02", "000000130", "02"}, {"01", "000000120", "01"}})
                     .Record();
    Run(1, {race});
    EXPECT_NE(common::FromCp932(dir.Read("TANFUKU/20251101050302tnfkRCM.csv"))
                  .find("\"1330\",\"第07R\",\"1\",\" 1\",\" 1\",\" 1\",\"アイウエオカキクケ\",\"000000200\",\"000000120\","),
              std::string::npos);
    EXPECT_NE(common::FromCp932(dir.Read("TANFUKU2/20251101050302tnfkRCM2.csv"))
                  .find("\"1330\",\"第07R\",\"2\",\" 2\",\" 2\",\" 2\",\"アイウエオカキクケ\",\"000000250\",\"000000130\","),
              std::string::npos);
}

}  // namespace
