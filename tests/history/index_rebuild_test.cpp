#include "history/index_rebuild.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/paths.h"
#include "common/record_file.h"
#include "common/text_file.h"
#include "history/meeting_scan.h"
#include "history/past_results.h"
#include "history/stored_days.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

using historytest::Hs;
using historytest::Line;
using historytest::Q1;
using historytest::RaceHead;
using historytest::TitleLine;

struct Rebuild : testing::Test {
    testsupport::TempAppFolder dir;
    testsupport::RecordingHost host;

    void SetUp() override { std::filesystem::create_directories(dir / "SOKUDO"); }

    // A stored day: its tekichu.txt (title from the key) and its result report.
    void Day(const std::string& key, const std::string& report, bool titled = true) {
        dir.Write("TEKICHU/" + key + "tekichu.txt",
                  titled ? TitleLine(key.substr(0, 4), key.substr(4, 2), key.substr(6, 2), "2", "中山", "5")
                         : "\"\",\"03月\"\r\n");
        dir.Write("TEKICHU/" + key + "lupRCM.txt", report);
    }
    std::vector<std::string> Statuses() const {
        std::vector<std::string> texts;
        for (const auto& c : host.calls)
            if (c.what == "setStatus" && c.box == 6) texts.push_back(c.text);
        return texts;
    }
    std::vector<std::string> SokudoFiles() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir / "SOKUDO")) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(Rebuild, GoldenFilesOfAHandMadeFolder) {
    const std::string dayHead = Line({"DY", "1", "20250309"}) + Line({"PL", "1", "2", "中山", "6", "11"});
    // Two days on 9 March, one on 1 March.
    Day("20250309060206",
        dayHead +
            // horses 1 to 3, horse 3 without a predicted time (no runner under that number)
            RaceHead("01", "一", "1600") + Hs("1", "2", " 2", " 1", " 1", " 1", "1.34.56") +
            Hs("2", "1", " 1", " 2", " 3", " 2", "1.35.00") + Hs("3", "3", " 3", " 3", "", "", "") + Q1() +
            Line({"AT", "1", "1", "本線1点目的中", " 1- 2", "560"}) + Line({"KK", "1", "2", "150"}) +
            // a gap at horse 4 ends the line; a garbled time is speed 0
            RaceHead("02", "二", "1200") + Hs("1", "2", " 2", " 1", " 1", " 1", "1.11.50") +
            Hs("2", "3", " 3", " 2", " 2", " 2", "1.2x.00") + Hs("3", "1", " 1", " 3", " 3", " 3", "1.10.00") +
            Hs("4", "5", " 5", " 4", " 4", " 4", "1.12.00") + Q1() +
            // no horse 1: a race id, no speed line
            RaceHead("03", "三", "1400") + Hs("1", "3", " 3", " 1", " 1", " 1", "1.22.00") +
            Hs("2", "2", " 2", " 2", " 2", " 2", "1.23.00") + Q1());
    Day("20250309090105", dayHead + RaceHead("01", "", "2000") + Hs("1", "1", " 1", " 1", " 1", " 1", "2.01.30") + Q1());
    Day("20250301060203", dayHead + RaceHead("11", "", "1000") + Hs("1", "2", " 2", " 1", " 1", " 1", "0.00.00") +
                              Hs("2", "1", " 1", " 2", " 2", " 2", "1.16.80") + Q1());
    // Never listed, so never in the index.
    const std::string other = RaceHead("01", "", "1600") + Hs("1", "1", " 1", " 1", " 1", " 1", "1.35.00") + Q1();
    for (const char* key : {"20231230060101", "20250308110101", "20250308060801", "20250308060113"}) Day(key, other);
    Day("20250302060101", other, false);
    // Files from before: the dates of this pass are replaced, another date's file stays.
    dir.Write("SOKUDO/RACEID.txt", "2025060706010101\r\n");
    dir.Write("SOKUDO/HR20250309.csv", "2025030906020601,1,01\r\n");
    dir.Write("SOKUDO/HR20250607.csv", "2025060706010101,1,01\r\n");

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        host.calls.clear();
        const auto days = history::ScanTekichuDays(host);
        const auto result = history::RebuildSokudoFiles(host);
        EXPECT_EQ(dir.Read("TEKICHU/RACEIDYMDLKN.txt"), "20250309060206\r\n20250309090105\r\n20250301060203\r\n");
        EXPECT_EQ(dir.Read("SOKUDO/RACEID.txt"),
                  "2025030906020601\r\n2025030906020602\r\n2025030906020603\r\n2025030909010501\r\n2025030106020311\r\n");
        // 1600 m in 95.00 s and 94.56 s; 1200 m in 71.50 s and 70.00 s; 2000 m in 121.30 s; 1000 m in
        // 76.80 s taken in single precision (46874, where the exact quotient is 46875.0).
        EXPECT_EQ(dir.Read("SOKUDO/HR20250309.csv"),
                  "2025030906020601,60631,02,60913,01,0,03\r\n"
                  "2025030906020602,61714,03,60419,01,0,02\r\n"
                  "2025030909010501,59356,01\r\n");
        EXPECT_EQ(dir.Read("SOKUDO/HR20250301.csv"), "2025030106020311,46874,02,0,01\r\n");
        EXPECT_EQ(dir.Read("SOKUDO/HR20250607.csv"), "2025060706010101,1,01\r\n");
        EXPECT_EQ(SokudoFiles(), (std::vector<std::string>{"HR20250301.csv", "HR20250309.csv", "HR20250607.csv", "RACEID.txt"}));
        EXPECT_EQ(result.races, 5);
        EXPECT_EQ(result.speedLines, 4);
        EXPECT_EQ(result.passedOver, 0);
        EXPECT_EQ(days.passedOver, 0);
        const auto statuses = Statuses();
        ASSERT_EQ(statuses.size(), 3u + 6u);
        EXPECT_EQ(statuses[2], "2025年03月01日検索中");
        EXPECT_EQ(statuses[3], "TGFの外部指数作成開始");
        EXPECT_EQ(statuses[4], "2025030906020601TGFの外部指数作成中");
        EXPECT_EQ(statuses[8], "2025030106020311TGFの外部指数作成中");
    }
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt"));
}

TEST_F(Rebuild, FailuresArePassedOverAndLogged) {
    // A race number that is not two digits, a distance that is no number, a report that is a
    // folder, a line of the day-key list that is no key, a listed day without its report (which
    // keeps the race list as it was).
    dir.Write("SOKUDO/RACEID.txt", "2025060706010101\r\n");
    Day("20250309060206", RaceHead("1", "", "1600") + Hs("1", "1", " 1", " 1", " 1", " 1", "1.35.00") + Q1() +
                              RaceHead("02", "", "abc") + Hs("1", "1", " 1", " 1", " 1", " 1", "1.35.00") + Q1() +
                              RaceHead("03", "", "1600") + Hs("1", "1", " 1", " 1", " 1", " 1", "1.35.00") + Q1());
    std::filesystem::create_directories(dir / "TEKICHU/20250308060205lupRCM.txt");
    dir.Write("TEKICHU/RACEIDYMDLKN.txt", "20250309060206\r\n20250308060205\r\n../../x\r\n20250307060201\r\n");
    const auto result = history::RebuildSokudoFiles(host);
    EXPECT_EQ(dir.Read("SOKUDO/RACEID.txt"), "2025060706010101\r\n");
    EXPECT_EQ(dir.Read("SOKUDO/HR20250309.csv"), "2025030906020603,60631,01\r\n");
    EXPECT_EQ(result.passedOver, 5);
    const std::string log = dir.Read("ERRORLOG.txt");
    EXPECT_NE(log.find("20250308060205lupRCM.txt"), std::string::npos);
    EXPECT_NE(log.find("../../x"), std::string::npos);
    EXPECT_NE(log.find("TEKICHU/20250307060201lupRCM.txt is missing: SOKUDO/RACEID.txt and SOKUDO/HR20250307.csv are kept"),
              std::string::npos)
        << log;
    EXPECT_FALSE(dir.Exists("HR20250308.csv"));
}

// A listed day whose report holds no race is logged and counted in the end text; its date's speed
// file stays byte for byte as it was, and the other days come out as they do without it.
TEST_F(Rebuild, AListedDayWhoseReportHoldsNoRaceKeepsItsDatesFile) {
    const std::string head = Line({"DY", "1", "20250309"}) + Line({"PL", "1", "2", "中山", "6", "11"});
    Day("20250309060206", head + RaceHead("01", "", "1600") + Hs("1", "1", " 1", " 1", " 1", " 1", "1.35.00") + Q1());
    Day("20250301060203", head + RaceHead("11", "", "1000") + Hs("1", "1", " 1", " 1", " 1", " 1", "1.00.00") + Q1());
    history::ScanTekichuDays(host);
    const auto alone = history::RebuildSokudoFiles(host);
    ASSERT_EQ(alone.passedOver, 0);
    const std::string raceIds = dir.Read("SOKUDO/RACEID.txt");
    const std::string firstOfMarch = dir.Read("SOKUDO/HR20250301.csv");
    ASSERT_EQ(raceIds, "2025030906020601\r\n2025030106020311\r\n");

    // The weekly batch's file of 9 March, with the races of the day whose report is now empty.
    const std::string weekly = "2025030906020601,60631,01\r\n2025030909010501,59356,01,0,02\r\n";
    for (const std::string& empty : {std::string(), head}) {
        SCOPED_TRACE(empty.size());
        std::filesystem::remove(dir / "ERRORLOG.txt");
        dir.Write("SOKUDO/HR20250309.csv", weekly);
        Day("20250309090105", empty);
        const auto load = history::LoadPastResults(host);
        EXPECT_EQ(load.days.keys.size(), 3u);
        EXPECT_EQ(dir.Read("SOKUDO/RACEID.txt"), raceIds);
        EXPECT_EQ(dir.Read("SOKUDO/HR20250301.csv"), firstOfMarch);
        EXPECT_EQ(dir.Read("SOKUDO/HR20250309.csv"), weekly);
        EXPECT_EQ(load.rebuild.races, 2);
        EXPECT_EQ(load.rebuild.speedLines, 1);
        EXPECT_EQ(load.rebuild.dates, 1);
        EXPECT_EQ(load.rebuild.passedOver, 1);
        const std::string log = dir.Read("ERRORLOG.txt");
        EXPECT_NE(log.find("TEKICHU/20250309090105lupRCM.txt holds no race"), std::string::npos) << log;
        EXPECT_NE(log.find("HR20250309.csv is kept"), std::string::npos) << log;
        EXPECT_EQ(history::PastResultsEndText(load.Failures()), "過去の予想成績終了　エラー1件（ERRORLOG.txt）");
    }
}

// What a rebuild logs and shows, one after the other: "log: <reason>" for each ERRORLOG line, and
// "status: <text>" for each Text6 text, placed after the log lines written before it.
class LogOrderHost : public testsupport::RecordingHost {
public:
    void setStatus(common::StatusBox box, std::string_view text) override {
        TakeLog();
        events.push_back("status: " + std::string(text));
        RecordingHost::setStatus(box, text);
    }
    void TakeLog() {
        const std::vector<std::string> lines = common::SplitLines(common::ReadFileBytes(common::AppPath("ERRORLOG.txt")));
        for (; logged < lines.size(); ++logged) events.push_back("log: " + lines[logged].substr(lines[logged].find("] ") + 2));
    }
    std::vector<std::string> events;
    std::size_t logged = 0;
};

// Every day's log lines and race statuses, and the day-key list's lines that are no key, come
// out in list order, one day after the other.
TEST_F(Rebuild, LogLinesAndStatusesComeOutInListOrder) {
    std::vector<std::string> expected = {"status: TGFの外部指数作成開始"};
    std::string list;
    for (int d = 1; d <= 7; ++d) {
        const std::string key = "2025030906020" + std::to_string(d);
        // A value that cannot be read, a race number that is not two digits, a distance that is no
        // number and a good race; the last day holds no race.
        const std::string report = "\"DY\",\"1\"x\r\n" + RaceHead("1", "", "1600") + Q1() +
                                   RaceHead("02", "", "abc") + Q1() + RaceHead("03", "", "1600") + Q1();
        Day(key, d < 7 ? report : Line({"DY", "1", "20250309"}));
        list += key + "\r\n";
        if (d < 7) {
            expected.push_back("log: " + common::UnreadableFieldReason("TEKICHU/" + key + "lupRCM.txt", 1));
            expected.push_back("log: day " + key + ": a race whose race number is not two digits: \"1\"");
            expected.push_back("status: " + key + "02TGFの外部指数作成中");
            expected.push_back("log: race " + key + "02: its distance is no number: \"abc\"");
            expected.push_back("status: " + key + "03TGFの外部指数作成中");
        } else {
            expected.push_back("log: TEKICHU/" + key +
                               "lupRCM.txt holds no race: the day's races are not in SOKUDO/RACEID.txt, and "
                               "SOKUDO/HR20250309.csv is kept as it was");
        }
        if (d % 3 == 0) {
            list += "no key " + std::to_string(d) + "\r\n";
            const std::size_t number = static_cast<std::size_t>(std::count(list.begin(), list.end(), '\n'));
            expected.push_back("log: TEKICHU/RACEIDYMDLKN.txt line " + std::to_string(number) +
                               " holds no day key: no key " + std::to_string(d));
        }
    }
    dir.Write("TEKICHU/RACEIDYMDLKN.txt", list);
    LogOrderHost order;
    const auto result = history::RebuildSokudoFiles(order);
    order.TakeLog();
    EXPECT_EQ(order.events, expected);
    EXPECT_EQ(result.races, 12);
    EXPECT_EQ(result.passedOver, 6 * 3 + 1 + 2);
}

TEST_F(Rebuild, HorseLinesThatFillNoSlot) {
    // Race 01: horse 1's rank is no number, so the line would start at a gap: none. Race 02: horse
    // numbers 0 and 20 and a fractional one are no horse numbers; horse 19 without 1 to 18 is cut.
    Day("20250309060206", RaceHead("01", "", "1600") + Hs("1", "1", " 1", "x", " 1", " 1", "1.35.00") +
                              Hs("2", "2", " 2", " 1", " 2", " 2", "1.35.00") + Q1() + RaceHead("02", "", "1600") +
                              Hs("1", "1", " 1", " 2", " 1", " 1", "1.35.00") + Hs("2", "1", " 0", " 1", " 1", " 1", "1.35.00") +
                              Hs("3", "1", "20", " 3", " 1", " 1", "1.35.00") + Hs("4", "1", "2.5", " 4", " 1", " 1", "1.35.00") +
                              Hs("5", "1", "19", " 5", " 1", " 1", "1.35.00") + Q1());
    history::ScanTekichuDays(host);
    const auto result = history::RebuildSokudoFiles(host);
    EXPECT_EQ(dir.Read("SOKUDO/RACEID.txt"), "2025030906020601\r\n2025030906020602\r\n");
    EXPECT_EQ(dir.Read("SOKUDO/HR20250309.csv"), "2025030906020602,60631,02\r\n");
    EXPECT_EQ(result.passedOver, 0);
}

TEST_F(Rebuild, WithoutADayKeyListTheRaceListIsEmptied) {
    dir.Write("SOKUDO/RACEID.txt", "2025060706010101\r\n");
    const auto result = history::RebuildSokudoFiles(host);
    EXPECT_EQ(dir.Read("SOKUDO/RACEID.txt"), "");
    EXPECT_EQ(result.passedOver, 0);
    EXPECT_FALSE(dir.Exists("TEKICHU"));
}

// The files the rebuild cannot do without: a day-key list that is missing or empty while TEKICHU
// holds stored days, a listed day's report missing. Each is logged and counted, and the race list
// and the day's date file stay byte for byte as they were.
// A day key that stands twice in the list is told with the file and its line, and the day is read
// once: the index and the speed file are those of the list without the repeat.
TEST_F(Rebuild, ADayKeyListedTwiceIsToldAndReadOnce) {
    Day("20250309060206", RaceHead("01", "", "1600") + Hs("1", "1", " 1", " 1", " 1", " 1", "1.35.00") + Q1());
    Day("20250301060203", RaceHead("11", "", "1000") + Hs("1", "1", " 1", " 1", " 1", " 1", "1.00.00") + Q1());
    dir.Write("TEKICHU/RACEIDYMDLKN.txt", "20250309060206\r\n20250301060203\r\n");
    ASSERT_EQ(history::RebuildSokudoFiles(host).passedOver, 0);
    const std::string raceIds = dir.Read("SOKUDO/RACEID.txt");
    const std::string speeds = dir.Read("SOKUDO/HR20250309.csv");

    dir.Write("TEKICHU/RACEIDYMDLKN.txt", "20250309060206\r\n20250309060206\r\n20250301060203\r\n");
    const auto result = history::RebuildSokudoFiles(host);
    EXPECT_EQ(result.passedOver, 1);
    EXPECT_EQ(result.races, 2);
    EXPECT_EQ(dir.Read("SOKUDO/RACEID.txt"), raceIds);
    EXPECT_EQ(dir.Read("SOKUDO/HR20250309.csv"), speeds);
    EXPECT_NE(dir.Read("ERRORLOG.txt").find("TEKICHU/RACEIDYMDLKN.txt line 2: the day key 20250309060206 stands a second time"),
              std::string::npos)
        << dir.Read("ERRORLOG.txt");
}

TEST_F(Rebuild, AMissingOrEmptyInputKeepsTheIndex) {
    const std::string report = RaceHead("01", "", "1600") + Hs("1", "1", " 1", " 1", " 1", " 1", "1.35.00") + Q1();
    struct Case {
        const char* name;
        std::string list;  // "-" for none
        bool reportThere;
        const char* logged;
    };
    const Case cases[] = {
        {"no day-key list", "-", true, "TEKICHU/RACEIDYMDLKN.txt is missing while TEKICHU holds stored days"},
        {"an empty day-key list", "", true, "TEKICHU/RACEIDYMDLKN.txt holds no day key while TEKICHU holds stored days"},
        {"a listed day without its report", "20250309060206\r\n", false, "TEKICHU/20250309060206lupRCM.txt is missing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir / "ERRORLOG.txt");
        Day("20250309060206", report);
        if (!c.reportThere) std::filesystem::remove(dir / "TEKICHU/20250309060206lupRCM.txt");
        std::filesystem::remove(dir / "TEKICHU/RACEIDYMDLKN.txt");
        if (std::string_view(c.list) != "-") dir.Write("TEKICHU/RACEIDYMDLKN.txt", c.list);
        dir.Write("SOKUDO/RACEID.txt", "2025060706010101\r\n");
        dir.Write("SOKUDO/HR20250309.csv", "2025030906020601,1,01\r\n");

        const auto result = history::RebuildSokudoFiles(host);

        EXPECT_EQ(dir.Read("SOKUDO/RACEID.txt"), "2025060706010101\r\n");
        EXPECT_EQ(dir.Read("SOKUDO/HR20250309.csv"), "2025030906020601,1,01\r\n");
        EXPECT_EQ(result.passedOver, 1);
        EXPECT_NE(dir.Read("ERRORLOG.txt").find(c.logged), std::string::npos) << dir.Read("ERRORLOG.txt");
    }
}

// A stored day whose tekichu.txt holds nothing cannot be listed: the scan says so, and the day-key
// list it would write without the day stays as it was.
TEST_F(Rebuild, AnEmptyDayTitleKeepsTheDayKeyList) {
    const std::string report = RaceHead("01", "", "1600") + Hs("1", "1", " 1", " 1", " 1", " 1", "1.35.00") + Q1();
    Day("20250309060206", report);
    Day("20250301060203", report);
    dir.Write("TEKICHU/20250301060203tekichu.txt", "");
    dir.Write("TEKICHU/RACEIDYMDLKN.txt", "20250309060206\r\n20250301060203\r\n");

    const auto days = history::ScanTekichuDays(host);

    EXPECT_EQ(dir.Read("TEKICHU/RACEIDYMDLKN.txt"), "20250309060206\r\n20250301060203\r\n");
    EXPECT_EQ(days.keys, (std::vector<std::string>{"20250309060206"}));
    EXPECT_EQ(days.passedOver, 1);
    EXPECT_NE(dir.Read("ERRORLOG.txt").find("TEKICHU/20250301060203tekichu.txt holds nothing"), std::string::npos);
    EXPECT_EQ(history::PastResultsEndText(days.passedOver, days.unfinishedInputs), "過去の予想成績終了　エラー1件（ERRORLOG.txt）");
}

// With the weekly batch's mark standing, the scan and the rebuild each say so in the log and in
// their end texts, as they read what the batch wrote.
TEST_F(Rebuild, AStandingBatchMarkIsToldByTheScanAndTheRebuild) {
    Day("20250309060206", RaceHead("01", "", "1600") + Hs("1", "1", " 1", " 1", " 1", " 1", "1.35.00") + Q1());
    dir.Write("WEEKLYBATCH.mark", "");
    const auto days = history::ScanTekichuDays(host);
    const auto rebuild = history::RebuildSokudoFiles(host);
    for (const auto& parts : {days.unfinishedInputs, rebuild.unfinishedInputs}) {
        ASSERT_EQ(parts.size(), 1u);
        EXPECT_NE(history::PastResultsEndText(0, parts), history::PastResultsEndText(0));
    }
}

TEST_F(Rebuild, AMissingSokudoFolderIsLoggedAndNothingIsWritten) {
    std::filesystem::remove_all(dir / "SOKUDO");
    Day("20250309060206", RaceHead("01", "", "1600") + Hs("1", "1", " 1", " 1", " 1", " 1", "1.35.00") + Q1());
    history::ScanTekichuDays(host);
    const auto result = history::RebuildSokudoFiles(host);
    EXPECT_EQ(result.passedOver, 2);  // RACEID.txt and the date's csv
    EXPECT_FALSE(dir.Exists("SOKUDO"));
}

}  // namespace
