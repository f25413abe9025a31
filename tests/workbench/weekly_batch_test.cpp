#include "workbench/weekly_batch.h"

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "records/record_check.h"

#include "batch_fixtures.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using batchtest::TestData;

// Text5 of the recording host, call by call.
std::vector<std::string> Text5Calls(const testsupport::RecordingHost& host) {
    std::vector<std::string> texts;
    for (const auto& c : host.calls)
        if (c.what == "setStatus" && c.box == 5) texts.push_back(c.text);
    return texts;
}

// The calls of the host in order, pumps as "pump".
std::vector<std::string> CallOrder(const testsupport::RecordingHost& host) {
    std::vector<std::string> order;
    for (const auto& c : host.calls) order.push_back(c.what == "pumpEvents" ? "pump" : c.text);
    return order;
}

// The names of the files that one snapshot of a folder has and the other lacks or holds otherwise.
std::vector<std::string> ChangedFiles(const std::map<std::string, std::string>& before,
                                      const std::map<std::string, std::string>& after) {
    std::vector<std::string> changed;
    for (const auto& [name, bytes] : before) {
        const auto found = after.find(name);
        if (found == after.end() || found->second != bytes) changed.push_back(name);
    }
    for (const auto& [name, bytes] : after)
        if (!before.contains(name)) changed.push_back(name);
    return changed;
}

TEST(WeeklyBatch, PredictionWeekWritesTheWeekFilesAndVisitsEveryRace) {
    testsupport::TempAppFolder folder;
    batchtest::WritePredictionWeek(folder);
    std::filesystem::create_directories(folder / "RACE");
    std::filesystem::create_directories(folder / "SOKUDO");
    batchtest::CreateTicketFolders(folder);
    testsupport::RecordingHost host;

    const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, {});

    EXPECT_EQ(batch.ResultMode, 0);
    EXPECT_EQ(folder.Read("RACETHISWEEKN.dat"), TestData("workbench/prediction/RACETHISWEEKN.dat"));
    EXPECT_EQ(folder.Read("RACETHISWEEKNSYOSAI.dat"), TestData("workbench/prediction/RACETHISWEEKNSYOSAI.dat"));
    EXPECT_EQ(folder.Read("SOKUDO/RACEID.txt"), TestData("workbench/prediction/RACEID.txt"));

    EXPECT_EQ(batch.WeekRaceCount, 3);
    EXPECT_THAT(batch.RaceKeyList, ElementsAre("", "202506070501", "202506070502", "202506080911"));
    const std::string nine(9, ' ');
    EXPECT_THAT(batch.RaceListLines,
                ElementsAre("2025年06月07日05東京03回01日01R" + nine + "202506070501",
                            "2025年06月07日05東京03回01日02R" + nine + "202506070502",
                            "2025年06月08日09阪神02回02日11R" + nine + "202506080911"));
    // In memory the weather and going are the runners' (曇稍重 in the file for 05-01): 晴良 from
    // its horse 2, 曇重 from 05-02's horse on dirt; 09-11 has no runner and keeps its title's.
    EXPECT_EQ(batch.RaceInfoTable.Cell(1, 11), "\x90\xb0\x97\xc7");      // 晴良
    EXPECT_EQ(batch.RaceInfoTable.Cell(2, 11), "\x93\xdc\x8f\x64");      // 曇重
    EXPECT_EQ(batch.RaceInfoTable.Cell(3, 11), "\x90\xb0\xe2\x63\x8f\x64");  // 晴稍重
    EXPECT_EQ(batch.RaceInfoTable.Cell(1, 2), "1005");
    // The spread replaces "SD": 05-01's values 2099, 1099 and 0 (horse 3 has no runs) have
    // s = sqrt(5613602 / 3 - 1066 * 1066) = 857.23..., RaceSD = Int(s * 16.666) = 14286, of which
    // column 10 keeps the last two digits; one runner and no runner give a spread of 0.
    EXPECT_EQ(batch.RaceInfoTable.Cell(1, 10), "86");
    EXPECT_EQ(batch.RaceInfoTable.Cell(2, 10), " 0");
    EXPECT_EQ(batch.RaceInfoTable.Cell(3, 10), " 0");

    // Per race, in list order: pending events once, then the race's status text.
    EXPECT_THAT(CallOrder(host), ElementsAre("pump", "20250607東京01R予想中", "pump", "20250607東京02R予想中", "pump",
                                             "20250608阪神11R予想中"));

    // One runner file per listed race; the runner without expanded runs is reported.
    EXPECT_EQ(folder.Read("RACE/202506070501.dat").size(), 3 * batchtest::kRhLength);
    EXPECT_EQ(folder.Read("RACE/202506070502.dat").size(), 1 * batchtest::kRhLength);
    EXPECT_TRUE(folder.Exists("RACE/202506080911.dat"));
    EXPECT_EQ(folder.Read("RACE/202506080911.dat").size(), 0u);
    EXPECT_EQ(batch.RunnersWithoutRuns, 1);
    EXPECT_EQ(batch.RacesPassedOver, 0);
    EXPECT_EQ(batch.StepsPassedOver, 0);
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("race 202506070501, horse number 3, KettoNum 2021100003"));
    EXPECT_EQ(workbench::BatchEndText(batch),
              "予想･結果終了（展開データのない出走馬 1 頭。ERRORLOG.txtを確認して下さい。）");
}

TEST(WeeklyBatch, ResultWeekListsThePayoutsOnceWithTheirOwnTitles) {
    testsupport::TempAppFolder folder;
    batchtest::WriteResultWeek(folder);
    std::filesystem::create_directories(folder / "RACE");
    std::filesystem::create_directories(folder / "SOKUDO");
    batchtest::CreateTicketFolders(folder);
    std::filesystem::create_directories(folder / "TEKICHU");  // the day rate files of result mode
    testsupport::RecordingHost host;

    const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, {});

    EXPECT_EQ(batch.ResultMode, 1);
    EXPECT_EQ(folder.Read("RACETHISWEEKN.dat"), TestData("workbench/result/RACETHISWEEKN.dat"));
    EXPECT_EQ(folder.Read("RACETHISWEEKNSYOSAI.dat"), TestData("workbench/result/RACETHISWEEKNSYOSAI.dat"));
    EXPECT_EQ(folder.Read("SOKUDO/RACEID.txt"), TestData("workbench/result/RACEID.txt"));

    // The payout file's order, the doubled payout record once, "R" and 10 blanks.
    EXPECT_EQ(batch.WeekRaceCount, 4);
    const std::string ten(10, ' ');
    EXPECT_THAT(batch.RaceListLines,
                ElementsAre("2025年06月07日09阪神04回01日02R" + ten + "202506070902",
                            "2025年06月07日05東京03回01日01R" + ten + "202506070501",
                            "2025年06月07日05東京03回01日02R" + ten + "202506070502",
                            "2025年06月08日0603回01日01R" + ten + "202506080601"));
    // Each title row is its own race's, whatever the order of the two files; a race without a
    // race record has only its key.
    for (int r = 1; r <= 4; ++r) EXPECT_EQ(batch.RaceInfoTable.Cell(r, 0), batch.RaceKeyList[static_cast<std::size_t>(r)]);
    EXPECT_EQ(batch.RaceInfoTable.Cell(1, 2), "1210");
    EXPECT_EQ(batch.RaceInfoTable.Cell(2, 2), "1005") << "from the newest race record of 05-01";
    workbench::RaceInfoRow keyOnly{"202506080601"};
    keyOnly[10] = " 0";  // no runners: a spread of 0
    EXPECT_EQ(batch.RaceInfoTable.Row(4), keyOnly);
    EXPECT_THAT(Text5Calls(host), ElementsAre("20250607阪神02R予想中", "20250607東京01R予想中", "20250607東京02R予想中",
                                              "2025060801R予想中"));
    EXPECT_EQ(workbench::BatchEndText(batch), "予想･結果終了");
    EXPECT_FALSE(folder.Exists("ERRORLOG.txt")) << folder.Read("ERRORLOG.txt");
}

// Without a race to list, the week files of the last run stay as they were.
TEST(WeeklyBatch, NothingToWorkOnIsLoggedAndSaid) {
    testsupport::TempAppFolder folder;
    folder.Write("JRACODE/CodeTable.csv", TestData("workbench/CodeTable.csv"));
    std::filesystem::create_directories(folder / "SOKUDO");
    folder.Write("RACETHISWEEKN.dat", "\"201901010101\"\r\n");  // last week's list
    folder.Write("SOKUDO/RACEID.txt", "2019010101010101\r\n");
    testsupport::RecordingHost host;

    const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, {});

    EXPECT_TRUE(batch.NothingToWorkOn);
    EXPECT_EQ(batch.WeekRaceCount, 0);
    EXPECT_TRUE(batch.RaceListLines.empty());
    EXPECT_EQ(folder.Read("RACETHISWEEKN.dat"), "\"201901010101\"\r\n");
    EXPECT_EQ(folder.Read("SOKUDO/RACEID.txt"), "2019010101010101\r\n");
    EXPECT_FALSE(folder.Exists("RACETHISWEEKNSYOSAI.dat"));
    EXPECT_FALSE(folder.Exists("RATHISWEEKNNEW.dat")) << "reading never creates a file";
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("RATHISWEEKNNEW.dat is missing: nothing to work on"));
    EXPECT_EQ(workbench::BatchEndText(batch), "予想･結果終了（対象のレースがありません。先に①②⑤を実行して下さい。ERRORLOG.txtを確認して下さい。）");
    EXPECT_TRUE(Text5Calls(host).empty());
}

// Without runner records of this week's races, or without a single expanded run of their runners,
// no race can be worked on: every file the batch wrote last time stays byte for byte (the runner
// files, KAIME and the betting files); the missing input is named in ERRORLOG.txt and the end text
// says that inputs were missing. The race list is still shown.
TEST(WeeklyBatch, AMissingOrEmptyInputLeavesEveryRaceFileAsItWas) {
    struct Case {
        std::string name;
        std::function<void(const testsupport::TempAppFolder&)> damage;
        std::string logged;
        std::string endText;
    };
    const std::string someMissing =
        "予想･結果終了（入力ファイルの一部がありません。先に①②⑤を実行して下さい。ERRORLOG.txtを確認して下さい。）";
    const std::vector<Case> cases = {
        {"runner records missing", [](auto& f) { std::filesystem::remove(f / "SETHISWEEKNNEW.dat"); },
         "SETHISWEEKNNEW.dat is missing: nothing to work on", someMissing},
        {"runner records empty", [](auto& f) { f.Write("SETHISWEEKNNEW.dat", ""); },
         "SETHISWEEKNNEW.dat holds nothing to work on", someMissing},
        {"runner records of another week",
         [](auto& f) { f.Write("SETHISWEEKNNEW.dat", batchtest::SeRecord("2019010105010101", "01", "2017100001", "X")); },
         "SETHISWEEKNNEW.dat holds nothing to work on", someMissing},
        {"expanded runs missing", [](auto& f) { std::filesystem::remove_all(f / "UMAGOTOEXTHISWEEKN"); },
         "UMAGOTOEXTHISWEEKN is missing: nothing to work on",
         "予想･結果終了（入力ファイルの一部がありません、展開データのない出走馬 4 頭。先に①②⑤を実行して下さい。ERRORLOG.txtを確認して下さい。）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempAppFolder folder;
        batchtest::WritePredictionWeek(folder);
        std::filesystem::create_directories(folder / "RACE");
        std::filesystem::create_directories(folder / "SOKUDO");
        batchtest::CreateTicketFolders(folder);
        testsupport::RecordingHost first;
        workbench::WeeklyYosoBatch(first, {});
        ASSERT_EQ(folder.Read("RACE/202506070501.dat").size(), 3 * batchtest::kRhLength);
        std::filesystem::remove(folder / "ERRORLOG.txt");
        c.damage(folder);
        std::map<std::string, std::string> before = folder.Files();

        testsupport::RecordingHost host;
        const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, {});

        std::map<std::string, std::string> after = folder.Files();
        const std::string log = after["ERRORLOG.txt"];
        after.erase("ERRORLOG.txt");
        EXPECT_THAT(ChangedFiles(before, after), IsEmpty());
        EXPECT_EQ(folder.Read("RACE/202506070501.dat").size(), 3 * batchtest::kRhLength);
        EXPECT_THAT(log, HasSubstr(c.logged));
        EXPECT_TRUE(batch.InputsMissing);
        EXPECT_FALSE(batch.NothingToWorkOn);
        EXPECT_EQ(workbench::BatchEndText(batch), c.endText);
        EXPECT_EQ(batch.RaceListLines.size(), 3u);
        EXPECT_TRUE(Text5Calls(host).empty()) << "no race worked on";
    }
}

// Races before the first race with a run are still worked on, in list order, once a later race
// shows that the week has runs.
TEST(WeeklyBatch, RacesWithoutRunsBeforeTheFirstRunAreWorkedOnInOrder) {
    testsupport::TempAppFolder folder;
    batchtest::WritePredictionWeek(folder);
    std::filesystem::remove(folder / "UMAGOTOEXTHISWEEKN/2021100001EX.dat");
    std::filesystem::remove(folder / "UMAGOTOEXTHISWEEKN/2021100002EX.dat");
    std::filesystem::create_directories(folder / "RACE");
    std::filesystem::create_directories(folder / "SOKUDO");
    batchtest::CreateTicketFolders(folder);
    testsupport::RecordingHost host;

    const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, {});

    EXPECT_THAT(CallOrder(host), ElementsAre("pump", "20250607東京01R予想中", "pump", "20250607東京02R予想中", "pump",
                                             "20250608阪神11R予想中"));
    // Race 05-01's three runners hold their first fields only.
    const std::string first = folder.Read("RACE/202506070501.dat");
    ASSERT_EQ(first.size(), 3 * batchtest::kRhLength);
    EXPECT_EQ(batchtest::At(first, 1236, 10), "2021100001");
    EXPECT_EQ(batchtest::At(first, 1, 16), std::string(16, '\0'));
    EXPECT_EQ(batchtest::At(first, 2 * batchtest::kRhLength + 1886, 13), "HORSE THREE B");
    EXPECT_EQ(folder.Read("RACE/202506070502.dat").size(), 1 * batchtest::kRhLength);
    EXPECT_EQ(batchtest::At(folder.Read("RACE/202506070502.dat"), 1, 16), "2025060705030102");
    EXPECT_TRUE(folder.Exists("RACE/202506080911.dat"));
    EXPECT_FALSE(batch.InputsMissing);
    EXPECT_EQ(batch.RunnersWithoutRuns, 3);
    EXPECT_EQ(batch.RacesPassedOver, 0);
}

// A race whose runner file cannot be written is passed over; the other races and the week files
// are not; a runner file of a race no longer listed stays as it was.
TEST(WeeklyBatch, AFailedRunnerFileStopsNoOtherRace) {
    testsupport::TempAppFolder folder;
    batchtest::WritePredictionWeek(folder);
    std::filesystem::create_directories(folder / "SOKUDO");
    folder.Write("RACE/202506070501.dat", "old");
    std::filesystem::create_directories(folder / "RACE/202506070501.dat.partial");  // the scratch file cannot be made
    folder.Write("RACE/201901010101.dat", "last week");
    batchtest::CreateTicketFolders(folder);
    testsupport::RecordingHost host;

    const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, {});

    EXPECT_EQ(folder.Read("RACE/202506070501.dat"), "old");
    EXPECT_EQ(folder.Read("RACE/202506070502.dat").size(), batchtest::kRhLength);
    EXPECT_EQ(folder.Read("RACE/201901010101.dat"), "last week");
    EXPECT_EQ(batch.RacesPassedOver, 1);
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("race 202506070501, runner file"));
    EXPECT_EQ(Text5Calls(host).size(), 3u) << "the race still goes on to its next steps";
    EXPECT_EQ(workbench::BatchEndText(batch),
              "予想･結果終了（一部を処理できなかったレース 1 件、展開データのない出走馬 1 頭。"
              "ERRORLOG.txtを確認して下さい。）");
}

// Races are joined with their runs ahead of the races written before them: what such a join logs
// still comes after everything logged for the earlier races, and is counted as before.
TEST(WeeklyBatch, AJoinAheadLogsInItsTurn) {
    testsupport::TempAppFolder folder;
    batchtest::WritePredictionWeek(folder);
    std::filesystem::remove(folder / "UMAGOTOEXTHISWEEKN/2022100001EX.dat");  // race 05-02's horse 1
    std::filesystem::create_directories(folder / "SOKUDO");
    std::filesystem::create_directories(folder / "RACE/202506070501.dat.partial");  // race 05-01's runner file fails
    batchtest::CreateTicketFolders(folder);
    testsupport::RecordingHost host;

    const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, {});

    const std::string log = folder.Read("ERRORLOG.txt");
    const auto firstJoin = log.find("race 202506070501, horse number 3");
    const auto runnerFile = log.find("race 202506070501, runner file");
    const auto secondJoin = log.find("race 202506070502, horse number 1, KettoNum 2022100001");
    ASSERT_NE(firstJoin, std::string::npos) << log;
    ASSERT_NE(runnerFile, std::string::npos) << log;
    ASSERT_NE(secondJoin, std::string::npos) << log;
    EXPECT_LT(firstJoin, runnerFile) << log;
    EXPECT_LT(runnerFile, secondJoin) << log;
    EXPECT_EQ(batch.RunnersWithoutRuns, 2);
    EXPECT_EQ(batch.RacesPassedOver, 1);
    EXPECT_EQ(folder.Read("RACE/202506070502.dat").size(), batchtest::kRhLength);
}

// A week file that cannot be written (its folder is missing) is a step passed over; the missing
// code table leaves every name empty and counts as well.
TEST(WeeklyBatch, WeekFilesAndTheCodeTableFailOnTheirOwn) {
    testsupport::TempAppFolder folder;
    batchtest::WritePredictionWeek(folder);
    std::filesystem::remove(folder / "JRACODE/CodeTable.csv");
    std::filesystem::create_directories(folder / "RACE");
    batchtest::CreateTicketFolders(folder);
    testsupport::RecordingHost host;

    const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, {});

    EXPECT_EQ(batch.StepsPassedOver, 2);
    EXPECT_EQ(folder.Read("RACETHISWEEKN.dat"), TestData("workbench/prediction/RACETHISWEEKN.dat"));
    EXPECT_FALSE(folder.Exists("SOKUDO/RACEID.txt"));
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("SOKUDO/RACEID.txt"));
    EXPECT_EQ(batch.RaceListLines[0], "2025年06月07日0503回01日01R" + std::string(9, ' ') + "202506070501");
    EXPECT_EQ(batch.RaceInfoTable.Cell(1, 5), "");
    EXPECT_EQ(Text5Calls(host)[0], "2025060701R予想中");
    EXPECT_THAT(workbench::BatchEndText(batch), HasSubstr("処理できなかった手順 2 件"));
}

// A code table that is there but cannot be read whole would put blank course names into file
// names and texts: the batch writes nothing, and says so.
TEST(WeeklyBatch, ACodeTableNotReadWholeStopsTheBatchBeforeItWrites) {
    const std::string table = TestData("workbench/CodeTable.csv");
    const std::string tokyo = table.substr(0, table.find("\r\n") + 2);  // "2001","05",…,"Tokyo","x"
    const std::string rest = table.substr(tokyo.size());
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"blank lines only", "\r\n  \r\n"},
        {"the Tokyo line cut after a field", tokyo.substr(0, 12) + "\r\n" + rest},
        {"the Tokyo line cut inside a field", tokyo.substr(0, 22) + "\r\n" + rest},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempAppFolder folder;
        batchtest::WritePredictionWeek(folder);
        folder.Write("JRACODE/CodeTable.csv", c.bytes);
        std::filesystem::create_directories(folder / "RACE");
        std::filesystem::create_directories(folder / "SOKUDO");
        batchtest::CreateTicketFolders(folder);
        testsupport::RecordingHost host;

        const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, {});

        EXPECT_FALSE(folder.Exists("RACETHISWEEKN.dat"));
        EXPECT_TRUE(std::filesystem::is_empty(folder / "RACE"));
        EXPECT_TRUE(std::filesystem::is_empty(folder / "SOKUDO"));
        EXPECT_EQ(batch.StepsPassedOver, 1);
        EXPECT_NE(workbench::BatchEndText(batch), workbench::kBatchDoneText);
        EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("CodeTable.csv"));
        EXPECT_FALSE(folder.Exists("WEEKLYBATCH.mark"));
    }
}

// The input the batch lists its races from: missing is said as missing, and a payout file cut
// inside a record is told rather than leaving its races out silently.
TEST(WeeklyBatch, AMissingOrCutListInputIsTold) {
    {
        testsupport::TempAppFolder folder;
        batchtest::WritePredictionWeek(folder);
        std::filesystem::remove(folder / "RATHISWEEKNNEW.dat");
        testsupport::RecordingHost host;
        const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, {});
        EXPECT_TRUE(batch.NothingToWorkOn);
        EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("RATHISWEEKNNEW.dat is missing: nothing to work on"));
    }
    {
        testsupport::TempAppFolder folder;
        batchtest::WriteResultWeek(folder);
        folder.Write("HRTHISWEEKN.dat", folder.Read("HRTHISWEEKN.dat").substr(0, 3 * batchtest::kHrLength + 300));
        std::filesystem::create_directories(folder / "RACE");
        std::filesystem::create_directories(folder / "SOKUDO");
        std::filesystem::create_directories(folder / "TEKICHU");
        batchtest::CreateTicketFolders(folder);
        testsupport::RecordingHost host;
        const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, {});
        EXPECT_EQ(batch.DamagedRecords, 1);
        EXPECT_THAT(workbench::BatchEndText(batch), HasSubstr(records::DamagedRecordsPart(1)));
        EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("HRTHISWEEKN.dat: 300 bytes after record 3"));
    }
}

// Torn records, broken Shift-JIS and keys with a path in them are passed over, never a crash.
TEST(WeeklyBatch, DamagedInputIsPassedOver) {
    testsupport::TempAppFolder folder;
    folder.Write("JRACODE/CodeTable.csv", TestData("workbench/CodeTable.csv"));
    std::filesystem::create_directories(folder / "RACE");
    std::filesystem::create_directories(folder / "SOKUDO");
    batchtest::CreateTicketFolders(folder);
    batchtest::Race broken = batchtest::RaceOf("2025060705030101");
    broken.hondai = "\x81\x20\x83";  // a lead byte without its trail byte, and one at the end
    const std::string ra = batchtest::RaRecord(broken) + batchtest::RaRecord(batchtest::RaceOf("2025/60705030102")) +
                           batchtest::RaRecord(batchtest::RaceOf("2025060705030103")).substr(0, 600);
    folder.Write("RATHISWEEKNNEW.dat", ra);
    folder.Write("HRTHISWEEKN.dat", std::string(100, 'x'));
    folder.Write("SETHISWEEKNNEW.dat", batchtest::SeRecord("2025060705030101", "1 ", "2021100001", "A") +
                                           batchtest::SeRecord("2025060705030101", "02", "2021100002", "B") +
                                           batchtest::SeRecord("2025060705030101", "03", "2021100003", "C").substr(0, 300));
    folder.Write("UMAGOTOEXTHISWEEKN/2021100002EX.dat",
                 batchtest::ExRecord({"2025060705030101", "2021100002", "02", "20210401", "11", "111", 1}) + "torn");
    testsupport::RecordingHost host;

    const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, {});

    EXPECT_THAT(batch.RaceKeyList, ElementsAre("", "202506070501"));
    EXPECT_EQ(folder.Read("RACE/202506070501.dat").size(), 2 * batchtest::kRhLength);
    EXPECT_EQ(batch.RacesPassedOver, 2) << "the key with a path in it, and the race with horse number \"1 \"";
    EXPECT_EQ(batch.RunnersWithoutRuns, 0);
    EXPECT_THAT(folder.Read("RACETHISWEEKNSYOSAI.dat"), HasSubstr("\"\x81\x20\x83" + std::string(11, ' ') + "\""))
        << "twelve characters, a lead byte taking the next byte as its pair";
}

TEST(WeeklyBatch, EndTextNamesWhatWasPassedOver) {
    struct Case {
        bool nothing;
        std::int64_t races, runners, steps;
        std::string text;
    };
    const std::vector<Case> cases = {
        {false, 0, 0, 0, "予想･結果終了"},
        {false, 2, 0, 0, "予想･結果終了（一部を処理できなかったレース 2 件。ERRORLOG.txtを確認して下さい。）"},
        {false, 0, 5, 1,
         "予想･結果終了（展開データのない出走馬 5 頭、処理できなかった手順 1 件。ERRORLOG.txtを確認して下さい。）"},
        {true, 0, 0, 1,
         "予想･結果終了（対象のレースがありません、処理できなかった手順 1 件。先に①②⑤を実行して下さい。ERRORLOG.txtを確認して下さい。）"},
        {false, 1, 2, 3,
         "予想･結果終了（一部を処理できなかったレース 1 件、展開データのない出走馬 2 頭、処理できなかった手順 3 件。"
         "ERRORLOG.txtを確認して下さい。）"},
    };
    for (const Case& c : cases) {
        workbench::WeekBatch batch;
        batch.NothingToWorkOn = c.nothing;
        batch.RacesPassedOver = c.races;
        batch.RunnersWithoutRuns = c.runners;
        batch.StepsPassedOver = c.steps;
        EXPECT_EQ(workbench::BatchEndText(batch), c.text);
    }
}

}  // namespace
