#include "workbench/race_steps.h"

#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "batch_fixtures.h"
#include "common/encoding.h"
#include "common/text_file.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"
#include "workbench/weekly_batch.h"

// The batch's ranking and ticket steps on the hand-made prediction week: races 05-01 (horses 1
// and 2 valued 2099 and 1099, horse 3 without runs), 05-02 (one horse valued 1099) and 09-11 (no
// runners). The values are value 6 of the speed block the fixture's expanded records carry
// (run × 1000 + float index 99).
namespace {

using ::testing::HasSubstr;

/// Notes at every pump whether the race's quinella sort file and its quinella betting file stand.
class WatchingHost : public testsupport::RecordingHost {
public:
    WatchingHost(const testsupport::TempAppFolder& folder, std::vector<std::string> watched)
        : folder_(folder), watched_(std::move(watched)) {}
    void pumpEvents() override {
        RecordingHost::pumpEvents();
        std::string seen;
        for (const std::string& file : watched_) seen += folder_.Exists(file) ? '1' : '0';
        atPumps.push_back(seen);
    }
    std::vector<std::string> atPumps;

private:
    const testsupport::TempAppFolder& folder_;
    std::vector<std::string> watched_;
};

std::size_t Lines(const testsupport::TempAppFolder& folder, const std::string& file) {
    return common::SplitLines(folder.Read(file)).size();
}

void PrepareWeek(const testsupport::TempAppFolder& folder) {
    batchtest::WritePredictionWeek(folder);
    std::filesystem::create_directories(folder / "RACE");
    std::filesystem::create_directories(folder / "SOKUDO");
    batchtest::CreateTicketFolders(folder);
}

TEST(RaceSteps, EveryRaceGetsItsKaimeAndBettingFiles) {
    testsupport::TempAppFolder folder;
    PrepareWeek(folder);
    WatchingHost host(folder, {"KAIME/202506070501UMARENSORT.dat", "UMAREN/250607東京01R.csv"});

    const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, {});
    EXPECT_EQ(batch.RacesPassedOver, 0) << folder.Read("ERRORLOG.txt");

    // Line counts: runners, then pairs and trios of 3, 1 and 0 runners; the betting files take
    // 7, 3, 7 × 2, 10 and 10 × 6 lines at most.
    struct Case {
        std::string key, course;
        std::size_t kaime, sort, pairs, trios, umaren, wide, umatan, sanrenpuku, sanrentan;
    };
    const std::vector<Case> cases = {
        {"202506070501", "250607東京01R", 3 + 3 + 1, 3, 3, 1, 3, 3, 6, 1, 6},
        {"202506070502", "250607東京02R", 1, 1, 0, 0, 0, 0, 0, 0, 0},
        {"202506080911", "250608阪神11R", 0, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const std::string kaime = "KAIME/" + c.key;
        for (const std::string suffix : {".dat", "SORT.dat", "LUPSORT.dat", "UMARENSORT.dat", "UMATANSORT.dat",
                                         "SANRENSORT.dat", "SANRENTANSORT.dat"})
            EXPECT_TRUE(folder.Exists(kaime + suffix)) << suffix;
        EXPECT_EQ(Lines(folder, kaime + ".dat"), c.kaime);
        EXPECT_EQ(Lines(folder, kaime + "SORT.dat"), c.sort);
        EXPECT_EQ(Lines(folder, kaime + "LUPSORT.dat"), c.sort);
        EXPECT_EQ(Lines(folder, kaime + "UMARENSORT.dat"), c.pairs);
        EXPECT_EQ(Lines(folder, kaime + "UMATANSORT.dat"), c.pairs);
        EXPECT_EQ(Lines(folder, kaime + "SANRENSORT.dat"), c.trios);
        EXPECT_EQ(Lines(folder, kaime + "SANRENTANSORT.dat"), c.trios);
        const std::string name = c.course + ".csv";
        for (const char* kind : {"UMAREN/", "WIDE/", "UMATAN/", "SANRENPUKU/", "SANRENTAN/"})
            EXPECT_TRUE(folder.Exists(kind + name)) << kind;
        EXPECT_EQ(Lines(folder, "UMAREN/" + name), c.umaren);
        EXPECT_EQ(Lines(folder, "WIDE/" + name), c.wide);
        EXPECT_EQ(Lines(folder, "UMATAN/" + name), c.umatan);
        EXPECT_EQ(Lines(folder, "SANRENPUKU/" + name), c.sanrenpuku);
        EXPECT_EQ(Lines(folder, "SANRENTAN/" + name), c.sanrentan);
    }

    // Race 05-01 written out: the runner lines with their values, the pairs in creation order,
    // the best pair 0102 (2099 + 1099) first in the sorted file, the exacta with horse 1 first.
    EXPECT_EQ(folder.Read("KAIME/202506070501.dat"),
              "\"202506070501\",1,2099,2099,0\r\n"
              "\"202506070501\",2,1099,1099,0\r\n"
              "\"202506070501\",3,0,0,0\r\n"
              "\"202506070501\",\"Umaren\",\"0102\",3198,3198,0\r\n"
              "\"202506070501\",\"Umaren\",\"0103\",2099,2099,0\r\n"
              "\"202506070501\",\"Umaren\",\"0203\",1099,1099,0\r\n"
              "\"202506070501\",\"Sanrenpuku\",\"010203\",3198,3198,0\r\n");
    EXPECT_EQ(folder.Read("UMATAN/250607東京01R.csv"),
              "20250607,05,01,06,01-02,100\r\n20250607,05,01,06,02-01,100\r\n"
              "20250607,05,01,06,01-03,100\r\n20250607,05,01,06,03-01,100\r\n"
              "20250607,05,01,06,02-03,100\r\n20250607,05,01,06,03-02,100\r\n");
    // 05-02's one horse (bracket 3) ranks first.
    EXPECT_EQ(folder.Read("KAIME/202506070502SORT.dat").substr(0, 16), "1,\"3\",\" 1\",\" 1\",");

    // The race shows in Text5 once its quinella sort file stands and before its betting files.
    ASSERT_FALSE(host.atPumps.empty());
    EXPECT_EQ(host.atPumps[0], "10");
}

TEST(RaceSteps, AValueThatIsNoNumberCountsAsZeroAndIsLogged) {
    testsupport::TempAppFolder folder;
    PrepareWeek(folder);
    std::string ex = batchtest::ExRecord({"2025060705030101", "2021100002", "02", "20210315", "11", "111", 1});
    batchtest::Put(ex, 2150 + 4 * 99, batchtest::FloatBytes(std::numeric_limits<float>::quiet_NaN()));
    folder.Write("UMAGOTOEXTHISWEEKN/2021100002EX.dat", ex);
    testsupport::RecordingHost host;

    const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, {});

    EXPECT_THAT(folder.Read("KAIME/202506070501.dat"), HasSubstr("\"202506070501\",2,0,0,0\r\n"));
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("race 202506070501, ranking: horse 2"));
    EXPECT_EQ(batch.RacesPassedOver, 1);
    EXPECT_THAT(workbench::BatchEndText(batch), HasSubstr("一部を処理できなかったレース 1 件"));
}

// A course name with a path in it writes none of the race's five betting files; a KAIME file
// that cannot be replaced fails alone. Both are logged with the race and the sub-step, and the
// race's other files and the other races are written.
TEST(RaceSteps, FailuresArePassedOverPerRaceAndSubStep) {
    testsupport::TempAppFolder folder;
    PrepareWeek(folder);
    folder.Write("JRACODE/CodeTable.csv", batchtest::TestData("workbench/CodeTable.csv") +
                                              common::ToCp932("\"2001\",\"05\",\"x\",\"x\",\"東/京\",\"x\",\"x\",\"x\"\r\n"));
    std::filesystem::create_directories(folder / "KAIME/202506080911SORT.dat.partial");
    testsupport::RecordingHost host;

    const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, {});

    const std::string log = folder.Read("ERRORLOG.txt");
    EXPECT_THAT(log, HasSubstr("race 202506070501, betting files: course name"));
    EXPECT_THAT(log, HasSubstr("race 202506070502, betting files: course name"));
    EXPECT_THAT(log, HasSubstr("race 202506080911, SORT.dat: "));
    // Each betting folder holds only the file of 09-11, nothing of 05 (not even a folder "東").
    for (const char* kind : {"UMAREN", "WIDE", "UMATAN", "SANRENPUKU", "SANRENTAN"}) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder / kind))
            names.push_back(entry.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string>{"250608阪神11R.csv"}) << kind;
    }
    EXPECT_EQ(Lines(folder, "KAIME/202506070501UMARENSORT.dat"), 3u);
    EXPECT_TRUE(folder.Exists("KAIME/202506080911LUPSORT.dat"));
    EXPECT_FALSE(folder.Exists("KAIME/202506080911SORT.dat"));
    EXPECT_EQ(batch.RacesPassedOver, 3);
    EXPECT_EQ(host.calls.size(), 6u) << "every race still shows in Text5";
}

}  // namespace
