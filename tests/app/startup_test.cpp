#include "app/startup.h"
#include "common/weights_marker.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/host.h"
#include "common/paths.h"
#include "engine/computation.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono;
using common::StatusBox;

const std::string kUnpack = "自己解凍EXEにある展開先の指定をクリックして予想因子パラメータをセットして下さい。";
const std::string kOld =
    "予想因子ウエイトが最新ではありません。さらに高精度の予想を望まれる場合、最新予想ウエイトを取得して下さい。";
const std::string kMissingLabel =
    "まだ、予想因子ウエイトが展開されていません。自己解凍EXEにある展開先の指定をクリックして起動させて下さい。";
const std::string kPresentHead = "予想因子ウエイトは展開されています。作成日は ";
const std::string kPresentTail =
    " です。これより新しい日付の予想因子ウエイトがあれば展開して上書きして下さい。無ければそのまま続行して下さい。"
    "新しい日付のバージョンまたは最新因子ウエイトはサポートサイトよりダウンロードして下さい。";
const std::string kReminder = "今週の結果は必ず前に今週の予想の3つの操作を行って下さい。";

const std::vector<std::string> kFolders = {
    "KAIME", "RACE", "SHUTSUBAHYO", "TEKICHU", "TANFUKU", "TANFUKU2", "UMAGOTOEXTHISWEEKN",
    "UMAGOTOTHISWEEKN", "TANSHO", "FUKUSHO", "UMAREN", "UMATAN", "SANRENPUKU", "SANRENTAN",
    "WIDE", "SOKUDO", "tarnel_paddy_wp", "tarnel_paddy_yosou", "tarnel_paddy_pdf"};

const std::vector<std::string> kBreaking = {"SERIALTIME.dat", "HRRIALTIME.dat", "RARIALTIME.dat",
                                            "O1RIALTIME.dat", "O2RIALTIME.dat", "O4RIALTIME.dat",
                                            "O5RIALTIME.dat", "O6RIALTIME.dat"};

// Sets a file's modification time to local noon of `date`; returns the date-and-time text
// the label is expected to show.
std::string SetLocalNoon(const fs::path& file, year_month_day date) {
    std::tm tm{};
    tm.tm_year = static_cast<int>(date.year()) - 1900;
    tm.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
    tm.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    fs::last_write_time(file, file_clock::from_sys(system_clock::from_time_t(t)));
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02u/%02u 12:00:00", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

year_month_day DaysBefore(year_month_day date, int days) { return year_month_day{sys_days{date} - std::chrono::days{days}}; }

std::vector<std::string> CallKinds(const testsupport::RecordingHost& host) {
    std::vector<std::string> kinds;
    for (const auto& c : host.calls) kinds.push_back(c.what);
    return kinds;
}

TEST(MainMenuStartUp, MissingMarkerAsksForUnpackingAndKeepsTheDesignColour) {
    testsupport::TempAppFolder folder;
    // Given without its separator, the folder still reaches the message with exactly one.
    common::SetAppFolder(folder.Path().string());
    testsupport::RecordingHost host;
    app::MainMenuStartUp(host);

    EXPECT_EQ(host.Messages(), std::vector<std::string>{folder.Path().string() + "/" + kUnpack});
    EXPECT_EQ(host.Status(StatusBox::Label1), kMissingLabel);
    EXPECT_EQ(host.labelColour, common::kLabelMagenta);
    EXPECT_EQ(host.Status(StatusBox::Text2), kReminder);
    // The message comes first, then the label; nothing else reaches the user.
    EXPECT_EQ(CallKinds(host), (std::vector<std::string>{"messageBox", "setStatus", "setStatus"}));
    for (const auto& name : kFolders) EXPECT_TRUE(fs::is_directory(folder / name)) << name;
    EXPECT_FALSE(folder.Exists("ERRORLOG.txt"));
}

TEST(MainMenuStartUp, MarkerThatIsNoFileCountsAsMissing) {
    testsupport::TempAppFolder folder;
    fs::create_directories(folder / "OPTION1N/KYOSOBA.dat");
    folder.Write("OPTION1N/KYOSOBATHISWEEK.dat", "x");
    testsupport::RecordingHost host;
    app::MainMenuStartUp(host);
    EXPECT_EQ(host.Messages(), std::vector<std::string>{folder.Path().string() + "/" + kUnpack});
    EXPECT_EQ(host.labelColour, common::kLabelMagenta);
}

// Age of the marker in days before the host's today, and whether the age message follows.
struct AgeCase {
    int daysOld;
    bool oldMessage;
};

class MarkerAge : public ::testing::TestWithParam<AgeCase> {};

TEST_P(MarkerAge, LabelTurnsGreenWithTheDateAndOldWeightsGetAnAdvisory) {
    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    host.date = year_month_day{year{2026}, month{12}, day{10}};
    folder.Write("OPTION1N/KYOSOBA.dat", std::string(228, '0'));
    const std::string dateTime = SetLocalNoon(folder / "OPTION1N/KYOSOBA.dat", DaysBefore(host.date, GetParam().daysOld));

    app::MainMenuStartUp(host);

    EXPECT_EQ(host.labelColour, common::kLabelGreen);
    EXPECT_EQ(host.Status(StatusBox::Label1), kPresentHead + dateTime + kPresentTail);
    EXPECT_EQ(host.Status(StatusBox::Text2), kReminder);
    if (GetParam().oldMessage) {
        EXPECT_EQ(host.Messages(), std::vector<std::string>{folder.Path().string() + "/" + kOld});
        // The advisory follows the green label.
        EXPECT_EQ(CallKinds(host),
                  (std::vector<std::string>{"setLabelColour", "setStatus", "messageBox", "setStatus"}));
    } else {
        EXPECT_TRUE(host.Messages().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Days, MarkerAge,
                         ::testing::Values(AgeCase{-3, false}, AgeCase{0, false}, AgeCase{1000, false},
                                           AgeCase{1001, true}, AgeCase{4000, true}),
                         [](const auto& info) {
                             const int d = info.param.daysOld;
                             return d < 0 ? "InFuture" + std::to_string(-d) : "DaysOld" + std::to_string(d);
                         });

TEST(MainMenuStartUp, MarkerIsFoundWithoutRegardToLetterCase) {
    testsupport::TempAppFolder folder;
    folder.Write("Option1n/kyosoba.DAT", "x");
    const auto today = year_month_day{floor<days>(system_clock::now())};
    const std::string dateTime = SetLocalNoon(folder / "Option1n/kyosoba.DAT", DaysBefore(today, 5));
    testsupport::RecordingHost host;
    host.date = today;
    app::MainMenuStartUp(host);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(host.labelColour, common::kLabelGreen);
    EXPECT_EQ(host.Status(StatusBox::Label1), kPresentHead + dateTime + kPresentTail);
}

TEST(MainMenuStartUp, SecondStartLeavesExistingFoldersAndTheirContentAlone) {
    testsupport::TempAppFolder folder;
    folder.Write("KAIME/UMAREN202612100511.dat", "tickets");
    folder.Write("RACE/202612100511.dat", "runners");
    folder.Write("tarnel_paddy_pdf/sub/page.txt", "page");
    testsupport::RecordingHost first;
    app::MainMenuStartUp(first);
    testsupport::RecordingHost second;
    app::MainMenuStartUp(second);

    EXPECT_EQ(folder.Read("KAIME/UMAREN202612100511.dat"), "tickets");
    EXPECT_EQ(folder.Read("RACE/202612100511.dat"), "runners");
    EXPECT_EQ(folder.Read("tarnel_paddy_pdf/sub/page.txt"), "page");
    for (const auto& name : kFolders) EXPECT_TRUE(fs::is_directory(folder / name)) << name;
    EXPECT_EQ(second.Status(StatusBox::Text2), kReminder);
    EXPECT_FALSE(folder.Exists("ERRORLOG.txt"));  // an existing folder is no failure
}

TEST(MainMenuStartUp, DeletesTheEightBreakingNewsFilesAndNothingElse) {
    testsupport::TempAppFolder folder;
    for (const auto& name : kBreaking) folder.Write(name, "news");
    const std::vector<std::string> kept = {"O3RIALTIME.dat", "O2THISWEEKN.dat", "RATHISWEEKN.dat",
                                           "KAIME/SERIALTIME.dat", "OPTION1N/HRRIALTIME.dat"};
    for (const auto& name : kept) folder.Write(name, "keep");
    testsupport::RecordingHost host;
    app::MainMenuStartUp(host);

    for (const auto& name : kBreaking) EXPECT_FALSE(folder.Exists(name)) << name;
    for (const auto& name : kept) EXPECT_EQ(folder.Read(name), "keep") << name;
    EXPECT_EQ(host.Status(StatusBox::Text2), kReminder);
    EXPECT_FALSE(folder.Exists("ERRORLOG.txt"));
}

TEST(MainMenuStartUp, NoBreakingNewsFilesIsNoFailure) {
    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    app::MainMenuStartUp(host);
    EXPECT_EQ(host.Status(StatusBox::Text2), kReminder);
    EXPECT_FALSE(folder.Exists("ERRORLOG.txt"));
}

TEST(MainMenuStartUp, FailuresArePassedOverLoggedAndTheStartUpFinishes) {
    testsupport::TempAppFolder folder;
    folder.Write("RACE", "a file where a folder belongs");
    folder.Write("SERIALTIME.dat/inside.dat", "a folder where a file belongs");
    for (const auto& name : kBreaking)
        if (name != "SERIALTIME.dat") folder.Write(name, "news");
    testsupport::RecordingHost host;
    app::MainMenuStartUp(host);

    EXPECT_EQ(folder.Read("RACE"), "a file where a folder belongs");
    for (const auto& name : kFolders)
        if (name != "RACE") {
            EXPECT_TRUE(fs::is_directory(folder / name)) << name;
        }
    EXPECT_TRUE(folder.Exists("SERIALTIME.dat/inside.dat"));
    for (const auto& name : kBreaking)
        if (name != "SERIALTIME.dat") {
            EXPECT_FALSE(folder.Exists(name)) << name;
        }
    EXPECT_EQ(host.Status(StatusBox::Text2), kReminder);

    const std::string log = folder.Read("ERRORLOG.txt");
    EXPECT_NE(log.find("RACE"), std::string::npos) << log;
    EXPECT_NE(log.find("SERIALTIME.dat"), std::string::npos) << log;
}

// A computation (⑤) that did not end, here cut short by a failure that escapes it, is told at the
// next start, after the weights' message; once a run has ended, the start says nothing of it.
TEST(MainMenuStartUp, AComputationThatDidNotEndIsToldAtTheNextStart) {
    const std::string kUnfinished = "前回の計算が終了していません。⑤計算をもう一度実行して下さい。";
    testsupport::TempAppFolder folder;
    struct Ended : std::runtime_error {
        Ended() : std::runtime_error("the program ended") {}
    };
    struct EndingHost : testsupport::RecordingHost {
        void pumpEvents() override { throw Ended(); }
    } ending;
    EXPECT_THROW(engine::RunComputation(ending), Ended);

    testsupport::RecordingHost next;
    app::MainMenuStartUp(next);
    EXPECT_EQ(next.Messages(), (std::vector<std::string>{common::AppFolder() + kUnpack, kUnfinished}));
    EXPECT_EQ(next.Status(StatusBox::Text2), kReminder);

    testsupport::RecordingHost quiet;
    engine::RunComputation(quiet);
    testsupport::RecordingHost after;
    app::MainMenuStartUp(after);
    EXPECT_EQ(after.Messages(), std::vector<std::string>{common::AppFolder() + kUnpack});
}

// Every step whose mark stands is named once, after the weights' message, in the order of the
// week; the marks stay until the step runs to its end.
TEST(MainMenuStartUp, NamesEveryStepWhoseMarkStands) {
    const std::vector<std::pair<std::string, std::string>> marks = {
        {"WEEKLYFETCH.mark", "前回の今週開催取得が終了していません。①今週開催取得をもう一度実行して下さい。"},
        {"STRUCTURES.mark", "前回の構造体処理が終了していません。②構造・中止処理をもう一度実行して下さい。"},
        {"CANCELLATION.mark",
         "前回の中止処理が終了していません。中止処理を選択して②構造・中止処理をもう一度実行して下さい。"},
        {"DAYBEFOREFIX.mark", "前回の前日固定が終了していません。④前日固定をもう一度実行して下さい。"},
        {"COMPUTING.mark", "前回の計算が終了していません。⑤計算をもう一度実行して下さい。"},
        {"WEEKLYBATCH.mark", "前回の予想・結果が終了していません。⑥予想・結果をもう一度実行して下さい。"},
        {"ODDSFETCH.mark",
         "前回のオッズ取得が終了していません。今週オッズ取得の今週のオッズをもう一度実行して下さい。"},
        {"TRIFECTAFETCH.mark",
         "前回の3連単オッズ取得が終了していません。今週オッズ取得の今週の3連単をもう一度実行して下さい。"},
        {"ODDSTABLES.mark", "前回のオッズ処理が終了していません。オッズ処理をもう一度実行して下さい。"},
        {"BREAKINGODDSTABLES.mark",
         "前回の速報オッズ処理が終了していません。Ⅳ速報処理(一括）をもう一度実行して下さい。"},
        {"BREAKINGPAYOUTS.mark",
         "前回の速報払戻等取得が終了していません。Ⅲ速報着順等情報をもう一度実行して下さい。"},
        {"INDEXREBUILD.mark", "前回のTGFの外部指数作成が終了していません。過去予想成績をもう一度実行して下さい。"},
        {"ATARILIST.mark", "前回の過去の的中リストが終了していません。万馬券リストをもう一度実行して下さい。"},
    };
    for (const auto& [file, message] : marks) {
        SCOPED_TRACE(file);
        testsupport::TempAppFolder folder;
        folder.Write(file, "left by a run that did not end\r\n");
        testsupport::RecordingHost host;
        app::MainMenuStartUp(host);
        EXPECT_EQ(host.Messages(), (std::vector<std::string>{common::AppFolder() + kUnpack, message}));
        EXPECT_TRUE(folder.Exists(file));
    }

    testsupport::TempAppFolder folder;
    std::vector<std::string> expected{common::AppFolder() + kUnpack};
    for (const auto& [file, message] : marks) {
        folder.Write(file, "");
        expected.push_back(message);
    }
    testsupport::RecordingHost host;
    app::MainMenuStartUp(host);
    EXPECT_EQ(host.Messages(), expected);
}

TEST(WeightsPresentText, StructureBuildingLeavesTheSupportSiteOut) {
    EXPECT_EQ(common::WeightsPresentText("2025/08/31 09:05:00", common::WeightsNote::Short),
              kPresentHead + "2025/08/31 09:05:00" +
                  " です。これより新しい日付の予想因子ウエイトがあれば展開して上書きして下さい。無ければそのまま続行して下さい。");
}

}  // namespace
