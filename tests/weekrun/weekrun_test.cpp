#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/record_file.h"
#include "common/text_file.h"
#include "records/week_record_file.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// Runs a command line; returns its exit status.
int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::int64_t Records(const fs::path& file, std::size_t length) { return common::RecordFile(file, length).Count(); }

class WeekrunProgram : public ::testing::Test {
protected:
    std::string Command(const std::string& steps, const std::string& log = "weekrun.log") {
        return std::string(WEEKRUN_PROGRAM) + " --app " + dir.Path().string() + " --settings " +
               (dir / "no-settings").string() + " --quiet " + steps + " 2>" + (dir / log).string();
    }
    testsupport::TempAppFolder dir;
};

TEST_F(WeekrunProgram, RunsTheWeeksStepsOnASmallDemoWeek) {
    ASSERT_EQ(RunCommand(std::string(DEMOWEEK_PROGRAM) + " " + dir.Path().string() +
                  " --small --state after --date 20251101 >/dev/null"),
              0);
    ASSERT_EQ(RunCommand(Command("fetch structures cancel dayfix compute odds odds-tables")), 0) << dir.Read("weekrun.log");
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt")) << dir.Read("ERRORLOG.txt");

    // fetch: the five week files.
    EXPECT_GT(Records(dir / "RATHISWEEKN.dat", 1272), 0);
    EXPECT_GT(Records(dir / "SETHISWEEKN.dat", 555), 0);
    EXPECT_GT(Records(dir / "UMTHISWEEKN.dat", 1609), 0);
    EXPECT_GT(Records(dir / "KSTHISWEEKN.dat", 4161), 0);
    EXPECT_GT(Records(dir / "HRTHISWEEKN.dat", 719), 0);

    // structures and cancel: the sorted files, the horse list and one run file per listed horse.
    EXPECT_GT(Records(dir / "RATHISWEEKNNEW.dat", 1272), 0);
    EXPECT_EQ(dir.Read("RATHISWEEKNNEW.dat").size() % 1272, 0u);
    const auto horses = common::SplitLines(dir.Read("KETTONUMTHISWEEKN.dat"));
    ASSERT_FALSE(horses.empty());
    for (const std::string& line : horses) {
        const std::string key = line.substr(1, 10);  // "<KettoNum>"
        EXPECT_TRUE(dir.Exists("UMAGOTOTHISWEEKN/" + key + ".dat")) << key;
        // compute: the horse's expanded runs, this week's run first among them.
        const std::string expanded = dir.Read("UMAGOTOEXTHISWEEKN/" + key + "EX.dat");
        EXPECT_GT(expanded.size(), 0u) << key;
        EXPECT_EQ(expanded.size() % 2603, 0u) << key;
    }
    // The week's cancelled race is marked in the full copy and gone from the working copy.
    const std::string full = dir.Read("RATHISWEEKNNEWd.dat");
    const std::string working = dir.Read("RATHISWEEKNNEW.dat");
    auto kindNine = [](const std::string& file) {
        int n = 0;
        for (std::size_t at = 0; at + 1272 <= file.size(); at += 1272) n += file[at + 2] == '9';
        return n;
    };
    EXPECT_GT(kindNine(full), 0);
    EXPECT_EQ(kindNine(working), 0);

    // odds and odds-tables: the line files and four tables per race with odds.
    EXPECT_GT(fs::file_size(dir / "O6THISWEEKN.dat"), 0u);
    int tables = 0;
    for (const auto& entry : fs::directory_iterator(dir / "KAIME")) tables += entry.path().filename().string().ends_with("ODDS.dat");
    EXPECT_GT(tables, 0);
    EXPECT_EQ(tables % 4, 0);
}

// Without --settings weekrun reads the settings file of the folder it works on and no other: not
// another application folder's, nor one in the user's configuration folder.
TEST_F(WeekrunProgram, ReadsTheSettingsOfItsOwnFolderOnly) {
    testsupport::TempAppFolder week;
    ASSERT_EQ(RunCommand(std::string(DEMOWEEK_PROGRAM) + " " + week.Path().string() + " --small >/dev/null"), 0);
    const std::string servingTheWeek = "root=" + (week / "jvdata").string() + "\npace=0\n";
    week.Write("JVLINKSETTINGS.txt", servingTheWeek);
    week.Write("config/talmor7-jvlink/settings", servingTheWeek);
    week.Write(".config/talmor7-jvlink/settings", servingTheWeek);
    const std::string fetch = "HOME=" + week.Path().string() + " XDG_CONFIG_HOME=" + (week / "config").string() + " " +
                              WEEKRUN_PROGRAM + " --app " + dir.Path().string() + " --quiet fetch 2>" +
                              (dir / "weekrun.log").string();

    RunCommand(fetch);  // this folder has no data of its own
    EXPECT_EQ(Records(dir / "RATHISWEEKN.dat", 1272), 0) << dir.Read("weekrun.log");

    dir.Write("JVLINKSETTINGS.txt", servingTheWeek);
    ASSERT_EQ(RunCommand(fetch), 0) << dir.Read("weekrun.log");
    EXPECT_GT(Records(dir / "RATHISWEEKN.dat", 1272), 0) << dir.Read("weekrun.log");
}

TEST_F(WeekrunProgram, DemoweekRefusesAFolderWithTheUsersOwnWeights) {
    dir.Write("OPTION1N/KYOSOBA.dat", "the user's own");
    const std::string demoweek = std::string(DEMOWEEK_PROGRAM) + " " + dir.Path().string() + " --small";
    EXPECT_NE(RunCommand(demoweek + " >/dev/null 2>" + (dir / "demoweek.log").string()), 0);
    EXPECT_NE(dir.Read("demoweek.log").find("--replace-supplied"), std::string::npos) << dir.Read("demoweek.log");
    EXPECT_EQ(dir.Read("OPTION1N/KYOSOBA.dat"), "the user's own");
    EXPECT_FALSE(dir.Exists("jvdata"));

    ASSERT_EQ(RunCommand(demoweek + " --replace-supplied >/dev/null"), 0);
    EXPECT_NE(dir.Read("OPTION1N/KYOSOBA.dat"), "the user's own");
}

TEST_F(WeekrunProgram, RefusesUnknownStepsAndReportsFailedSteps) {
    EXPECT_EQ(RunCommand(Command("no-such-step")), 2);
    EXPECT_EQ(RunCommand(std::string(WEEKRUN_PROGRAM) + " --app " + (dir / "missing").string() + " fetch 2>/dev/null"), 2);
    // Structure building without any fetched week writes its failures to the error log.
    dir.Write("RATHISWEEKN.dat", std::string(100, 'x'));  // no whole record
    std::filesystem::create_directory(dir / "SETHISWEEKN.dat");  // not a file: cannot be read
    EXPECT_EQ(RunCommand(Command("structures")), 1) << dir.Read("weekrun.log");
    EXPECT_TRUE(dir.Exists("ERRORLOG.txt"));
}

// Each step run on an empty application folder has nothing to work on: its end text says so, the
// error log names what it missed, and weekrun exits with 1.
TEST(WeekrunOnAnEmptyFolder, EveryStepSaysItHadNoInput) {
    struct Case {
        std::string steps;
        std::string endText;  // the status line weekrun prints
        std::string logged;   // a line of ERRORLOG.txt
    };
    const std::string note = "（入力ファイルがありません。ERRORLOG.txtを確認して下さい。）";
    const std::vector<Case> cases = {
        {"fetch", "[Text1] 今週開催取得に失敗しました。ERRORLOG.txtを確認して下さい。",
         "[FetchThisWeek] the fetch ended with \"該当するデータがありません。\": the week files were kept"},
        {"structures", "[Text4] 構造体処理終了  0" + note, "[BuildWeekStructures] RATHISWEEKN.dat is missing"},
        {"cancel", "[Cancel Text1] 中止処理終了" + note, "[ApplyRaceCancellations] RATHISWEEKNNEW.dat is missing"},
        {"dayfix", "[Expansion Text1] 前日固定終了" + note, "[FixPreviousDay] KETTONUMTHISWEEKN.dat is missing"},
        {"breaking-odds", "[Breaking Text1] 速報オッズ取得完了" + note, "[FetchBreakingOdds] RATHISWEEKNNEW.dat is missing"},
        {"odds-tables", "[Text2] 今週のオッズ処理終了" + note, "[BuildOddsTables] O6THISWEEKN.dat is missing"},
        {"--odds-source 1 odds-tables", "[Text3] 速報オッズ処理終了" + note, "[BuildOddsTables] O2RIALTIME.dat is missing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps);
        testsupport::TempAppFolder dir;
        const std::string command = std::string(WEEKRUN_PROGRAM) + " --app " + dir.Path().string() + " --settings " +
                                    (dir / "no-settings").string() + " " + c.steps + " 2>" +
                                    (dir / "weekrun.log").string();

        EXPECT_EQ(RunCommand(command), 1);

        const std::string printed = dir.Read("weekrun.log");
        EXPECT_NE(printed.find(c.endText + "\n"), std::string::npos) << printed;
        EXPECT_NE(dir.Read("ERRORLOG.txt").find(c.logged), std::string::npos) << dir.Read("ERRORLOG.txt");
    }
}

}  // namespace
