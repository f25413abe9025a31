#include "acquisition/structure_building.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "acquisition/structure_fixtures.h"
#include "common/paths.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

using namespace structuretest;
using common::StatusBox;
using ::testing::HasSubstr;
using Strings = std::vector<std::string>;

// The week of the sorted-file tests. Where records share a key, which one survives was traced by
// hand through the quicksort's steps (a stable sort would keep the other one).
struct SmallWeek {
    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    std::vector<std::string> ra, se, um;

    SmallWeek() {
        ra = {
            Ra('2', "20241012", "05", "01", "A"),
            Ra('4', "20241012", "05", "01", "B"),  // the same race at a later stage
            Ra('9', "20241013", "05", "11", "C"),  // cancelled, newest date
            Ra('2', "20241013", "05", "02", "D"),
            Ra('1', "20241013", "05", "02", "E"),  // earliest stage of race D
            Ra('2', "20241012", "05", "01", "F"),  // the key of A again
        };
        se = {
            Se('2', "20241012", "05", "01", "03", "2019100001", "s1"),
            Se('1', "20241012", "05", "01", "01", "2019100002", "s2"),  // kind 1: filtered out
            Se('2', "20241012", "05", "01", "01", "2019100002", "s3"),
            Se('2', "20241012", "05", "01", "03", "2019100001", "s4"),  // the key of s1 again
            Se('7', "20241012", "05", "01", "01", "2019100002", "s5"),
        };
        um = {
            Um("2019100005", "1000000001", "u1"),
            Um("2019100001", "1000000001", "u2"),
            Um("2019100005", "1000000001", "u3"),  // the horse of u1 arrived twice
            Um("2019100003", "1000000001", "u4"),
            Um("2019100004", "0999999999", "u5"),
        };
        folder.Write("RATHISWEEKN.dat", Join(ra));
        folder.Write("SETHISWEEKN.dat", Join(se));
        folder.Write("UMTHISWEEKN.dat", Join(um));
        folder.Write("OPTION1N/KYOSOBA.dat", "weights");
        folder.Write("NEWSFX.EXE", "installer");
    }
};

TEST(BuildWeekStructures, RaceFilesKeepOneRecordPerKeyInKeyOrder) {
    SmallWeek week;
    const acquisition::StructureSummary summary = acquisition::BuildWeekStructures(week.host);

    const std::string working = week.folder.Read("RATHISWEEKNNEW.dat");
    // By date, then kind: kind "2" before "4" of one race, kind "1" before "2", the cancelled
    // race of the newest date last. Of A and F (one key) the quicksort leaves A last.
    EXPECT_EQ(RaTags(working), (Strings{"A", "B", "E", "D", "C"}));
    EXPECT_EQ(working, week.ra[0] + week.ra[1] + week.ra[4] + week.ra[3] + week.ra[2]);
    EXPECT_EQ(week.folder.Read("RATHISWEEKNNEWd.dat"), working);
    EXPECT_EQ(week.folder.Read("RATHISWEEKN.dat"), Join(week.ra));  // the source stays
    EXPECT_EQ(summary.raceRecords, 6);
    EXPECT_EQ(summary.races, 5);
}

// A zero byte in a key field (a gap a later write left) reads as a blank: the record shares its
// key with the one that holds the blank, and is written as it was read, zero and all.
TEST(BuildWeekStructures, AZeroByteInAKeyFieldReadsAsABlank) {
    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    const std::string zero("\0", 1);
    const Strings ra = {Ra('2', "20241012", "05", "1" + zero, "zero"), Ra('2', "20241012", "05", "1 ", "blank")};
    const Strings se = {Se('2', "20241012", "05", "01", "0" + zero, "2019100001", "zero"),
                        Se('2', "20241012", "05", "01", "0 ", "2019100001", "blank")};
    const Strings um = {Um("2019100001", "100000000" + zero, "u1"), Um("2019100002", "100000000 ", "u2")};
    folder.Write("RATHISWEEKN.dat", Join(ra));
    folder.Write("SETHISWEEKN.dat", Join(se));
    folder.Write("UMTHISWEEKN.dat", Join(um));
    folder.Write("OPTION1N/KYOSOBA.dat", "weights");
    folder.Write("NEWSFX.EXE", "installer");
    const acquisition::StructureSummary summary = acquisition::BuildWeekStructures(host);

    // Of two records with one key the quicksort leaves the first last.
    EXPECT_EQ(folder.Read("RATHISWEEKNNEW.dat"), ra[0]);
    EXPECT_EQ(folder.Read("SETHISWEEKNNEW.dat"), se[0]);
    EXPECT_EQ(folder.Read("HAHAHANNUMTHISWEEKN.dat"), "\"100000000 \"\r\n");
    EXPECT_EQ(summary.races, 1);
    EXPECT_EQ(summary.runners, 1);
    EXPECT_EQ(summary.dams, 1);
}

TEST(BuildWeekStructures, RunnerFilterKeepsOrderAndSortedRunnersDeduplicate) {
    SmallWeek week;
    acquisition::BuildWeekStructures(week.host);

    // Kind "1" leaves the fetched file for good; the others keep their order.
    EXPECT_EQ(week.folder.Read("SETHISWEEKN.dat"), week.se[0] + week.se[2] + week.se[3] + week.se[4]);
    EXPECT_FALSE(week.folder.Exists("TEMPORARY"));

    // s1 and s4 share a key and the quicksort leaves s1 last; s3 (kind 2) before s5 (kind 7).
    const std::string working = week.folder.Read("SETHISWEEKNNEW.dat");
    EXPECT_EQ(working, week.se[2] + week.se[0] + week.se[4]);
    EXPECT_EQ(week.folder.Read("SETHISWEEKNNEWd.dat"), working);
}

TEST(BuildWeekStructures, HorseFileAndBothKeyLists) {
    SmallWeek week;
    const acquisition::StructureSummary summary = acquisition::BuildWeekStructures(week.host);

    // The horse that arrived twice is there once (as u3, where the sort leaves it).
    EXPECT_EQ(UmTags(week.folder.Read("UMTHISWEEKNNEW.dat")), (Strings{"u2", "u4", "u5", "u3"}));
    EXPECT_EQ(week.folder.Read("KETTONUMTHISWEEKN.dat"),
              "\"2019100001\"\r\n\"2019100003\"\r\n\"2019100004\"\r\n\"2019100005\"\r\n");
    // Four foals of one dam: the dam once.
    EXPECT_EQ(week.folder.Read("HAHAHANNUMTHISWEEKN.dat"), "\"0999999999\"\r\n\"1000000001\"\r\n");
    EXPECT_EQ(summary.horses, 4);
    EXPECT_EQ(summary.dams, 2);
}

TEST(BuildWeekStructures, RunFilesComeFromTheSortedRunners) {
    SmallWeek week;
    week.folder.Write("UMAGOTOTHISWEEKN/2018000009.dat", "a horse of an earlier week");
    acquisition::BuildWeekStructures(week.host);

    // Horse 2019100002 runs but has no horse record: it is not listed and gets no file.
    EXPECT_FALSE(week.folder.Exists("UMAGOTOTHISWEEKN/2019100002.dat"));
    EXPECT_EQ(week.folder.Read("UMAGOTOTHISWEEKN/2019100001.dat"), week.se[0]);
    for (const char* empty : {"2019100003", "2019100004", "2019100005"}) {
        const std::string name = std::string("UMAGOTOTHISWEEKN/") + empty + ".dat";
        EXPECT_TRUE(week.folder.Exists(name)) << name;
        EXPECT_EQ(week.folder.Read(name), "") << name;
    }
    EXPECT_EQ(week.folder.Read("UMAGOTOTHISWEEKN/2018000009.dat"), "a horse of an earlier week");
}

TEST(BuildWeekStructures, StatusTextsAndTheShortWeightsLabel) {
    SmallWeek week;
    acquisition::BuildWeekStructures(week.host);

    std::vector<std::string> text4;
    for (const auto& call : week.host.calls)
        if (call.what == "setStatus" && call.box == static_cast<int>(StatusBox::Text4)) text4.push_back(call.text);
    EXPECT_EQ(text4, (Strings{"構造体処理を開始しました。しばらくお待ちください。。。。。。。",
                              "構造体処理終了  5"}));

    // The start text is painted before the work: events run right after it.
    std::size_t start = 0;
    while (start < week.host.calls.size() && week.host.calls[start].text != text4[0]) ++start;
    ASSERT_LT(start + 1, week.host.calls.size());
    EXPECT_EQ(week.host.calls[start + 1].what, "pumpEvents");

    const std::string label = week.host.Status(StatusBox::Label1);
    EXPECT_EQ(label.rfind("予想因子ウエイトは展開されています。作成日は ", 0), 0u) << label;
    const std::string tail = " です。これより新しい日付の予想因子ウエイトがあれば展開して上書きして下さい。無ければそのまま続行して下さい。";
    EXPECT_EQ(label.substr(label.size() - tail.size()), tail);
    EXPECT_EQ(week.host.labelColour, common::kLabelGreen);
    EXPECT_TRUE(week.host.Messages().empty());
    EXPECT_FALSE(week.folder.Exists("ERRORLOG.txt"));
}

TEST(BuildWeekStructures, MissingWeightsAskForTheInstallerAndTheWorkGoesOn) {
    for (const bool installerThere : {true, false}) {
        testsupport::TempAppFolder folder;
        testsupport::RecordingHost host;
        if (installerThere) folder.Write("NEWSFX.EXE", "installer");
        folder.Write("RATHISWEEKN.dat", Ra('2', "20241012", "05", "01", "A"));

        acquisition::BuildWeekStructures(host);

        EXPECT_EQ(host.Messages(),
                  (Strings{folder.Path().string() + "/" + "に参照場所(展開フォルダ）に合わせてOKをクリックして初回予想因子パラメータをセットして下さい。"}));
        bool started = false;
        for (const auto& call : host.calls)
            if (call.what == "startProgram") started = call.text == (folder / "NEWSFX.EXE").string();
        EXPECT_TRUE(started);
        EXPECT_EQ(host.labelColour, common::kLabelMagenta);
        EXPECT_EQ(RaTags(folder.Read("RATHISWEEKNNEW.dat")), (Strings{"A"}));
        // Without the installer the request goes nowhere: that is written down.
        EXPECT_EQ(folder.Read("ERRORLOG.txt").find("NEWSFX.EXE") != std::string::npos, !installerThere);
    }
}

TEST(BuildWeekStructures, AnEmptyWeekKeepsTheLastOutputsNoMessageAndSaysItHadNoInput) {
    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    folder.Write("OPTION1N/KYOSOBA.dat", "weights");
    folder.Write("RATHISWEEKN.dat", "");
    // Last week's sorted files are kept rather than emptied: a fetch that brought nothing does
    // not take the week away.
    const std::string oldRace = Ra('2', "20241005", "05", "01", "old");
    const std::string oldRunner = Se('2', "20241005", "05", "01", "01", "2019100001", "old");
    folder.Write("RATHISWEEKNNEW.dat", oldRace);
    folder.Write("SETHISWEEKNNEWd.dat", oldRunner);

    const acquisition::StructureSummary summary = acquisition::BuildWeekStructures(host);

    EXPECT_EQ(folder.Read("RATHISWEEKNNEW.dat"), oldRace);
    EXPECT_EQ(folder.Read("SETHISWEEKNNEWd.dat"), oldRunner);
    // Outputs that held nothing are not made.
    for (const char* name : {"RATHISWEEKNNEWd.dat", "SETHISWEEKNNEW.dat", "UMTHISWEEKNNEW.dat",
                             "KETTONUMTHISWEEKN.dat", "HAHAHANNUMTHISWEEKN.dat"})
        EXPECT_FALSE(folder.Exists(name)) << name;
    // Missing sources are not created by reading them.
    EXPECT_FALSE(folder.Exists("SETHISWEEKN.dat"));
    EXPECT_FALSE(folder.Exists("UMTHISWEEKN.dat"));
    EXPECT_TRUE(host.Messages().empty());
    // Nothing to sort is not a sorted week: each source is named, and the end text says so.
    const std::string log = folder.Read("ERRORLOG.txt");
    EXPECT_THAT(log, HasSubstr("[BuildWeekStructures] RATHISWEEKN.dat holds nothing to work on"));
    EXPECT_THAT(log, HasSubstr("[BuildWeekStructures] SETHISWEEKN.dat is missing"));
    EXPECT_THAT(log, HasSubstr("[BuildWeekStructures] UMTHISWEEKN.dat is missing"));
    EXPECT_THAT(log, HasSubstr("[BuildWeekStructures] RATHISWEEKNNEW.dat left as it was: RATHISWEEKN.dat holds nothing"));
    EXPECT_THAT(log, HasSubstr("[BuildWeekStructures] SETHISWEEKNNEWd.dat left as it was: SETHISWEEKN.dat holds nothing"));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 5);
    EXPECT_EQ(host.Status(StatusBox::Text4),
              "構造体処理終了  0（入力ファイルがありません、前回のまま残した出力 2 件。先に①を実行して下さい。ERRORLOG.txtを確認して下さい。）");
    EXPECT_EQ(summary.races, 0);
}

// Bytes that are no record at all, the same every run.
std::string Junk(std::size_t size) {
    std::mt19937 random(20241012);
    std::string out(size, '\0');
    for (char& c : out) c = static_cast<char>(random() & 0xFF);
    return out;
}

// A record with LF alone at its end, one byte short.
std::string WithLf(std::string record) {
    record.erase(record.size() - 2, 1);
    return record;
}

// What structure building gives from the week files in `folder`: every output, by name.
std::map<std::string, std::string> BuiltFrom(const testsupport::TempAppFolder& folder, testsupport::RecordingHost& host) {
    acquisition::BuildWeekStructures(host);
    std::map<std::string, std::string> out;
    for (const char* name : {"RATHISWEEKNNEW.dat", "RATHISWEEKNNEWd.dat", "SETHISWEEKNNEW.dat", "SETHISWEEKNNEWd.dat",
                             "UMTHISWEEKNNEW.dat", "KETTONUMTHISWEEKN.dat", "HAHAHANNUMTHISWEEKN.dat"})
        out[name] = folder.Read(name);
    for (const auto& entry : std::filesystem::directory_iterator(folder / "UMAGOTOTHISWEEKN"))
        out["UMAGOTOTHISWEEKN/" + entry.path().filename().string()] = folder.Read("UMAGOTOTHISWEEKN/" + entry.path().filename().string());
    return out;
}

// A damaged record of a fetched week file is passed over and logged with the file, its number and
// what was wrong; after a record without its line end (LF line ends, junk appended) nothing more
// of the file is read. The whole records before it build exactly what they build alone: no horse
// out of the junk, no run of a horse that does not exist.
TEST(BuildWeekStructures, DamagedRecordsArePassedOverAndTheWholeOnesBuildWhatTheyBuildAlone) {
    std::string otherKind = Ra('2', "20241013", "05", "05", "X");
    otherKind.replace(0, 2, "SE");
    // Records of a horse that does not exist, one byte out of step: each is whole bytes, but they
    // stand where no record begins.
    std::string shifted = "#";
    for (int i = 0; i < 4; ++i) shifted += Um("2099999999", "2099999998", "ghost");
    struct Case {
        const char* name;
        const char* file;
        std::function<std::string(const SmallWeek&)> damaged;  // the file's bytes
        std::function<std::string(const SmallWeek&)> whole;    // the same file without the damage
        std::string logged;   // "record n: ..." after the file's path; {rest} stands for the records after it
        std::size_t length;   // the file's record length
        std::int64_t damagedAt;
    };
    const std::vector<Case> cases = {
        {"LF line ends from the fourth runner on", "SETHISWEEKN.dat",
         [](const SmallWeek& w) { return w.se[0] + w.se[1] + w.se[2] + WithLf(w.se[3]) + WithLf(w.se[4]); },
         [](const SmallWeek& w) { return w.se[0] + w.se[1] + w.se[2]; },
         "record 4: no CR LF at its end (byte 554); the records after it are shifted: the rest of the file ({rest} records) was not read",
         555, 4},
        {"16 MB of junk after the runners", "SETHISWEEKN.dat",
         [](const SmallWeek& w) { return Join(w.se) + Junk(16u << 20); },
         [](const SmallWeek& w) { return Join(w.se); },
         "record 6: no CR LF at its end (byte 554); the records after it are shifted: the rest of the file ({rest} records) was not read",
         555, 6},
        {"16 MB of junk after the horses", "UMTHISWEEKN.dat",
         [](const SmallWeek& w) { return Join(w.um) + Junk(16u << 20); },
         [](const SmallWeek& w) { return Join(w.um); },
         "record 6: no CR LF at its end (byte 1608); the records after it are shifted: the rest of the file ({rest} records) was not read",
         1609, 6},
        {"horse records out of step after the horses", "UMTHISWEEKN.dat",
         [&](const SmallWeek& w) { return Join(w.um) + shifted; },
         [](const SmallWeek& w) { return Join(w.um); },
         "record 6: no CR LF at its end (byte 1608); the records after it are shifted: the rest of the file ({rest} records) was not read",
         1609, 6},
        {"a record of another kind among the races", "RATHISWEEKN.dat",
         [&](const SmallWeek& w) { return w.ra[0] + w.ra[1] + otherKind + w.ra[2] + w.ra[3] + w.ra[4] + w.ra[5]; },
         [](const SmallWeek& w) { return Join(w.ra); },
         "record 3: kind \"SE\" instead of RA: passed over", 1272, 0},
        {"the races cut inside their fourth record", "RATHISWEEKN.dat",
         [](const SmallWeek& w) { return w.ra[0] + w.ra[1] + w.ra[2] + w.ra[3].substr(0, 700); },
         [](const SmallWeek& w) { return w.ra[0] + w.ra[1] + w.ra[2]; },
         ": 700 bytes after record 3 are not a whole record (the file is cut or has bytes added): not read", 1272, 0},
        {"the horses cut inside their last record", "UMTHISWEEKN.dat",
         [](const SmallWeek& w) { return w.um[0] + w.um[1] + w.um[2] + w.um[3] + w.um[4].substr(0, 1608); },
         [](const SmallWeek& w) { return w.um[0] + w.um[1] + w.um[2] + w.um[3]; },
         ": 1608 bytes after record 4 are not a whole record (the file is cut or has bytes added): not read", 1609, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SmallWeek whole;
        whole.folder.Write(c.file, c.whole(whole));
        const auto expected = BuiltFrom(whole.folder, whole.host);
        ASSERT_FALSE(whole.folder.Exists("ERRORLOG.txt")) << whole.folder.Read("ERRORLOG.txt");

        SmallWeek damaged;
        const std::string bytes = c.damaged(damaged);
        damaged.folder.Write(c.file, bytes);
        // A shifted record: it and every record after it, whole records of the file's length.
        const auto records = static_cast<std::int64_t>(bytes.size() / c.length);
        const std::int64_t rest = c.damagedAt > 0 ? records - c.damagedAt : 0;
        std::string logged = c.logged;
        if (const auto at = logged.find("{rest}"); at != std::string::npos) logged.replace(at, 6, std::to_string(rest));

        EXPECT_EQ(BuiltFrom(damaged.folder, damaged.host), expected);
        EXPECT_FALSE(damaged.folder.Exists("UMAGOTOTHISWEEKN/2099999999.dat"));
        const std::string log = damaged.folder.Read("ERRORLOG.txt");
        const std::string after = logged.starts_with(':') ? "" : " ";
        EXPECT_THAT(log, HasSubstr("[BuildWeekStructures] " + (damaged.folder / c.file).string() + after + logged));
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
        // The end text: the same horse count, and the records passed over.
        EXPECT_EQ(damaged.host.Status(StatusBox::Text4),
                  whole.host.Status(StatusBox::Text4) + "（読み飛ばした壊れたレコード " + std::to_string(1 + rest) +
                      " 件。ERRORLOG.txtを確認して下さい。）");
    }
}

TEST(BuildWeekStructures, AFailingWriteIsLoggedAndTheOtherOutputsAreWritten) {
    SmallWeek week;
    // A folder where the working race file goes: it cannot be written, and the full copy, last
    // week's until now, gets this week's races all the same.
    std::filesystem::create_directory(week.folder / "RATHISWEEKNNEW.dat");
    week.folder.Write("RATHISWEEKNNEWd.dat", Ra('2', "20241005", "05", "01", "last week"));

    acquisition::BuildWeekStructures(week.host);

    EXPECT_NE(week.folder.Read("ERRORLOG.txt").find("BuildWeekStructures"), std::string::npos);
    EXPECT_EQ(RaTags(week.folder.Read("RATHISWEEKNNEWd.dat")), (Strings{"A", "B", "E", "D", "C"}));
    EXPECT_EQ(SeTags(week.folder.Read("SETHISWEEKNNEW.dat")), (Strings{"s3", "s1", "s5"}));
    EXPECT_EQ(week.host.Status(StatusBox::Text4), "構造体処理終了  5（処理できなかった手順 1 件。ERRORLOG.txtを確認して下さい。）");
}

TEST(BuildWeekStructures, AHorseListThatCannotBeWrittenLeavesTheHorseFileWritten) {
    SmallWeek week;
    std::filesystem::create_directory(week.folder / "KETTONUMTHISWEEKN.dat");

    acquisition::BuildWeekStructures(week.host);

    EXPECT_EQ(UmTags(week.folder.Read("UMTHISWEEKNNEW.dat")), (Strings{"u2", "u4", "u5", "u3"}));
    EXPECT_EQ(week.folder.Read("HAHAHANNUMTHISWEEKN.dat"), "\"0999999999\"\r\n\"1000000001\"\r\n");
    EXPECT_NE(week.folder.Read("ERRORLOG.txt").find("KETTONUMTHISWEEKN.dat"), std::string::npos);
    // The list, and the run files that follow it, which are not made.
    EXPECT_EQ(week.host.Status(StatusBox::Text4),
              "構造体処理終了  5（作成できなかった出力 UMAGOTOTHISWEEKN、処理できなかった手順 1 件。ERRORLOG.txtを確認して下さい。）");
}

// The run files come from the sorted runners and the horse list of this run. When either cannot be
// written (a full disk), the one there is the last run's: run files made from it would mix two
// runs, so they stay as they were and the end text names them.
TEST(BuildWeekStructures, RunFilesAreNotMadeFromALastRunsFileThisRunCouldNotWrite) {
    for (const char* unwritten : {"SETHISWEEKNNEW.dat", "KETTONUMTHISWEEKN.dat"}) {
        SCOPED_TRACE(unwritten);
        SmallWeek week;
        // Last run's files, readable; the scratch file of the rewrite cannot be made.
        const std::string lastRunner = Se('2', "20241005", "05", "01", "01", "2018000009", "last");
        week.folder.Write("SETHISWEEKNNEW.dat", lastRunner);
        week.folder.Write("KETTONUMTHISWEEKN.dat", "\"2018000009\"\r\n\"2019100001\"\r\n");
        week.folder.Write("UMAGOTOTHISWEEKN/2018000009.dat", "last run's runs");
        week.folder.Write("UMAGOTOTHISWEEKN/2019100001.dat", "last run's runs");
        std::filesystem::create_directories(week.folder / (std::string(unwritten) + ".partial"));

        acquisition::BuildWeekStructures(week.host);

        EXPECT_EQ(week.folder.Files("UMAGOTOTHISWEEKN"),
                  (std::map<std::string, std::string>{{"UMAGOTOTHISWEEKN/2018000009.dat", "last run's runs"},
                                                      {"UMAGOTOTHISWEEKN/2019100001.dat", "last run's runs"}}));
        EXPECT_THAT(week.folder.Read("ERRORLOG.txt"),
                    HasSubstr("[BuildWeekStructures] UMAGOTOTHISWEEKN left as it was: " + std::string(unwritten) +
                              " was not made in this run"));
        EXPECT_EQ(week.host.Status(StatusBox::Text4),
                  "構造体処理終了  5（作成できなかった出力 UMAGOTOTHISWEEKN、処理できなかった手順 1 件。ERRORLOG.txtを確認して下さい。）");
        // What does not need the unwritten file is built.
        EXPECT_EQ(UmTags(week.folder.Read("UMTHISWEEKNNEW.dat")), (Strings{"u2", "u4", "u5", "u3"}));
        EXPECT_EQ(SeTags(week.folder.Read("SETHISWEEKNNEWd.dat")), (Strings{"s3", "s1", "s5"}));
    }
}

TEST(SurvivingNumbers, TheLastOfEachRunOfEqualKeys) {
    const std::vector<std::string_view> keys{"", "a", "a", "b", "c", "c", "c"};
    const std::vector<std::int64_t> numbers{0, 7, 3, 5, 1, 9, 2};
    EXPECT_EQ(acquisition::SurvivingNumbers(keys, numbers), (std::vector<std::int64_t>{3, 5, 2}));
    EXPECT_EQ(acquisition::DistinctKeys(keys), (Strings{"a", "b", "c"}));
    EXPECT_TRUE(acquisition::SurvivingNumbers({""}, {0}).empty());
}

// One source without a record: what is built from it stays as the last run left it, and so do the
// run files, which need both the runners and the horses; what the other sources make is rebuilt.
TEST(BuildWeekStructures, ASourceWithoutARecordKeepsWhatIsBuiltFromIt) {
    struct Case {
        std::string name;
        std::string emptySource;
        Strings kept;     // outputs that hold last week's bytes afterwards
        Strings rebuilt;  // outputs that hold this week's
    };
    const std::vector<Case> cases = {
        {"runners missing", "", {"SETHISWEEKNNEW.dat", "SETHISWEEKNNEWd.dat", "UMAGOTOTHISWEEKN/2019100001.dat"},
         {"RATHISWEEKNNEW.dat", "UMTHISWEEKNNEW.dat", "KETTONUMTHISWEEKN.dat"}},
        {"horses empty", "UMTHISWEEKN.dat",
         {"UMTHISWEEKNNEW.dat", "KETTONUMTHISWEEKN.dat", "HAHAHANNUMTHISWEEKN.dat", "UMAGOTOTHISWEEKN/2019100001.dat"},
         {"RATHISWEEKNNEW.dat", "SETHISWEEKNNEW.dat"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempAppFolder folder;
        testsupport::RecordingHost host;
        folder.Write("OPTION1N/KYOSOBA.dat", "weights");
        folder.Write("RATHISWEEKN.dat", Ra('2', "20241012", "05", "01", "new"));
        if (c.name != "runners missing")
            folder.Write("SETHISWEEKN.dat", Se('2', "20241012", "05", "01", "01", "2019100001", "new"));
        folder.Write("UMTHISWEEKN.dat", c.emptySource == "UMTHISWEEKN.dat" ? "" : Um("2019100001", "1000000001", "new"));
        const std::string last = "last week";
        for (const std::string& name : c.kept) folder.Write(name, last);
        for (const std::string& name : c.rebuilt) folder.Write(name, last);

        const acquisition::StructureSummary summary = acquisition::BuildWeekStructures(host);

        for (const std::string& name : c.kept) EXPECT_EQ(folder.Read(name), last) << name;
        for (const std::string& name : c.rebuilt) EXPECT_NE(folder.Read(name), last) << name;
        EXPECT_EQ(summary.outputsKept, static_cast<std::int64_t>(c.kept.size()));  // the run files count once
        const std::string log = folder.Read("ERRORLOG.txt");
        EXPECT_THAT(log, HasSubstr("UMAGOTOTHISWEEKN left as it was"));
        EXPECT_THAT(host.Status(StatusBox::Text4), HasSubstr("前回のまま残した出力 " + std::to_string(c.kept.size()) + " 件"));
        EXPECT_FALSE(folder.Exists("STRUCTURES.mark"));
    }
}

}  // namespace
