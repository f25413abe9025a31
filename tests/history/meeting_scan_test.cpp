#include "history/meeting_scan.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "history/stored_days.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

using historytest::Q;
using historytest::TitleLine;

TEST(InScanRange, KeysOutsideTheRangesAreNeverFound) {
    struct Case {
        const char* key;
        bool in;
    };
    const std::vector<Case> cases = {
        {"20241231010112", true},  {"20280101100701", true},  {"20250231050305", true},  // 31 Feb is probed too
        {"20231231050101", false}, {"20290101050101", false},                            // years
        {"20250001050101", false}, {"20251301050101", false},                            // months
        {"20250100050101", false}, {"20250132050101", false},                            // days
        {"20250101000101", false}, {"20250101110101", false},                            // courses
        {"20250101050001", false}, {"20250101050801", false},                            // meetings
        {"20250101050100", false}, {"20250101050113", false},                            // days of the meeting
        {"2025010105011", false},  {"202501010501011", false}, {"2025010105010a", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(history::InScanRange(c.key), c.in);
    }
}

TEST(PastDayLine, TitleEighteenBlanksAndKey) {
    const std::string line = history::PastDayLine({"2025年", "03月", "08日", "2回", "中山", "5日目"}, "20250308060205");
    EXPECT_EQ(line, "2025年03月08日2回中山5日目                  20250308060205");
    EXPECT_EQ(history::KeyOfPastDayLine(line).value_or(""), "20250308060205");
    EXPECT_FALSE(history::KeyOfPastDayLine("2025年03月08日2回中山5日目   ../../etc/passwd").has_value());
    EXPECT_FALSE(history::KeyOfPastDayLine("0123").has_value());
}

struct Folder : testing::Test {
    testsupport::TempAppFolder dir;
    testsupport::RecordingHost host;

    void Day(const std::string& key, const std::string& course) {
        dir.Write("TEKICHU/" + key + "tekichu.txt",
                  TitleLine(key.substr(0, 4), key.substr(4, 2), key.substr(6, 2), std::to_string(std::stoi(key.substr(10, 2))),
                            course, std::to_string(std::stoi(key.substr(12, 2)))) +
                      Q("R番号") + "," + Q("馬連") + "\r\n");
    }
    std::vector<std::string> Statuses() const {
        std::vector<std::string> texts;
        for (const auto& c : host.calls)
            if (c.what == "setStatus" && c.box == 6) texts.push_back(c.text);
        return texts;
    }
};

TEST_F(Folder, DaysNewestDateFirstCoursesAscendingAndTheDayKeyList) {
    Day("20250309060206", "中山");
    Day("20250308090105", "阪神");
    Day("20250308060205", "中山");
    Day("20250308020112", "函館");
    Day("20250301060203", "中山");
    // Never found: out of the ranges, an empty first value, other day files, a stray name.
    Day("20231230060101", "中山");
    Day("20250308110101", "外国");
    Day("20250308060801", "中山");
    Day("20250308060113", "中山");
    dir.Write("TEKICHU/20250307060101tekichu.txt", "\"\",\"03月\",\"07日\",\"1回\",\"x\",\"1日目\"\r\n");
    dir.Write("TEKICHU/20250302060101lupRCM.txt", "\"RC\"\r\n");
    dir.Write("TEKICHU/20250302060101tekichuPC.txt", TitleLine("2025", "03", "02", "1", "中山", "1"));
    dir.Write("TEKICHU/x20250302060101tekichu.txt", TitleLine("2025", "03", "02", "1", "中山", "1"));

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        host.calls.clear();
        const auto days = history::ScanTekichuDays(host);
        const std::vector<std::string> lines = {
            "2025年03月09日2回中山6日目                  20250309060206",
            "2025年03月08日1回函館12日目                  20250308020112",
            "2025年03月08日2回中山5日目                  20250308060205",
            "2025年03月08日1回阪神5日目                  20250308090105",
            "2025年03月01日2回中山3日目                  20250301060203",
        };
        EXPECT_EQ(days.lines, lines);
        EXPECT_EQ(days.passedOver, 0);
        EXPECT_EQ(dir.Read("TEKICHU/RACEIDYMDLKN.txt"),
                  "20250309060206\r\n20250308020112\r\n20250308060205\r\n20250308090105\r\n20250301060203\r\n");
        // One status per date that has a stored day in the folder, the empty-titled one included.
        const std::vector<std::string> statuses = {"2025年03月09日検索中", "2025年03月08日検索中", "2025年03月07日検索中",
                                                   "2025年03月01日検索中"};
        EXPECT_EQ(Statuses(), statuses);
        for (const auto& c : host.calls) EXPECT_NE(c.what, "pumpEvents");
    }
}

TEST_F(Folder, ProbeAndEventsRunAsTheCallerAsks) {
    Day("20250309060206", "中山");
    Day("20250309060106", "中山");
    Day("20250301060203", "中山");
    std::vector<std::string> met;
    history::MeetingScan scan;
    scan.step = "test";
    scan.suffix = "tekichu.txt";
    scan.probe = [&](const std::string& key) { met.push_back(key + "@" + std::to_string(host.calls.size())); };
    scan.letEventsRun = [&] { host.pumpEvents(); };
    EXPECT_EQ(history::ScanMeetingKeys(host, scan), history::TekichuFolder::Listed);
    // status, events, then the date's days
    EXPECT_EQ(met, (std::vector<std::string>{"20250309060106@2", "20250309060206@2", "20250301060203@4"}));
    ASSERT_EQ(host.calls.size(), 4u);
    EXPECT_EQ(host.calls[1].what, "pumpEvents");
    EXPECT_EQ(host.calls[3].what, "pumpEvents");
}

TEST_F(Folder, NoStoredDay) {
    auto days = history::ScanTekichuDays(host);
    EXPECT_TRUE(days.lines.empty());
    EXPECT_FALSE(dir.Exists("TEKICHU"));  // reading creates nothing
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt"));

    // An earlier list is replaced by an empty one.
    dir.Write("TEKICHU/RACEIDYMDLKN.txt", "20250309060206\r\n");
    days = history::ScanTekichuDays(host);
    EXPECT_TRUE(days.lines.empty());
    EXPECT_TRUE(dir.Exists("TEKICHU/RACEIDYMDLKN.txt"));
    EXPECT_EQ(dir.Read("TEKICHU/RACEIDYMDLKN.txt"), "");
    EXPECT_TRUE(Statuses().empty());
}

TEST_F(Folder, ADayFileThatCannotBeReadIsLoggedAndPassedOver) {
    Day("20250309060206", "中山");
    std::filesystem::create_directories(dir / "TEKICHU/20250308060205tekichu.txt");
    const auto days = history::ScanTekichuDays(host);
    EXPECT_EQ(days.lines.size(), 1u);
    EXPECT_EQ(days.passedOver, 1);
    EXPECT_EQ(dir.Read("TEKICHU/RACEIDYMDLKN.txt"), "20250309060206\r\n");
    EXPECT_NE(dir.Read("ERRORLOG.txt").find("20250308060205tekichu.txt"), std::string::npos);
}

// Text after the course name's closing quote loses the course name only: the day is listed with
// the rest of its title in place, and the value is logged with its file and line.
TEST_F(Folder, ATitleValueThatCannotBeReadIsLeftOutAndLogged) {
    dir.Write("TEKICHU/20250309060206tekichu.txt",
              Q("2025年") + "," + Q("03月") + "," + Q("09日") + "," + Q("2回") + "," + Q("中山") + "x," + Q("6日目") +
                  "\r\n" + Q("R番号") + "\r\n");
    const auto days = history::ScanTekichuDays(host);
    EXPECT_EQ(days.lines, std::vector<std::string>{"2025年03月09日2回6日目                  20250309060206"});
    EXPECT_EQ(days.passedOver, 1);
    EXPECT_NE(dir.Read("ERRORLOG.txt").find("TEKICHU/20250309060206tekichu.txt line 1:"), std::string::npos);
}

TEST_F(Folder, ATekichuThatIsNoFolderIsLoggedAndListsNothing) {
    dir.Write("TEKICHU", "not a folder");
    const auto days = history::ScanTekichuDays(host);
    EXPECT_TRUE(days.lines.empty());
    EXPECT_GE(days.passedOver, 1);
    EXPECT_TRUE(dir.Exists("ERRORLOG.txt"));
    EXPECT_EQ(dir.Read("TEKICHU"), "not a folder");
}

}  // namespace
