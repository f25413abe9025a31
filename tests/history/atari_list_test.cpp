#include "history/atari_list.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/encoding.h"
#include "common/text_file.h"
#include "history/stored_days.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using historytest::Line;

// The "RC" line of a race: race number, start time, two-digit race number, an empty value, the
// name, kind and condition, grade, surface, distance, spread, weather and going.
std::string Rc(std::string_view raceNum, std::string_view name, std::string_view distance) {
    return Line({"RC", std::string(1, raceNum.back()), "1010", raceNum, "", name, "３歳未勝利", "", "芝", distance, "35", "晴良"});
}

// The lines of a race that the list passes over: the caption, a horse and the ticket lines.
std::string RaceBody() {
    return Line({"RR", "n", "w", "馬"}) + Line({"HS", "1", "2", " 3", " 1", " 2", " 1", "牡", "3", "テストホース"}) +
           Line({"Q1", "x"}) + Line({"ATQ1", "y"});
}

struct AtariListTest : testing::Test {
    testsupport::TempAppFolder dir;
    testsupport::RecordingHost host;

    history::AtariList Collect() { return history::CollectAtariList(host, [this] { host.pumpEvents(); }); }
    std::vector<std::string> Text6AndPumps() const {
        std::vector<std::string> seen;
        for (const auto& c : host.calls) {
            if (c.what == "setStatus" && c.box == 6) seen.push_back(c.text);
            if (c.what == "pumpEvents") seen.push_back("(events)");
        }
        return seen;
    }
};

TEST_F(AtariListTest, GoldenListOfAHandMadeFolder) {
    dir.Write("JRACODE/CodeTable.csv", common::ToCp932("2001,06,,,中山,,,\r\n2001,05,,,東京,,,\r\n"));
    // 9 March, Nakayama: a race whose only hit is a 3連複, a 馬連 hit over 10000 with a ワイド hit
    // under it, then a race line without its first value (the race stays the one before) and a hit
    // of exactly 10000.
    dir.Write("TEKICHU/20250309060205lupRCM.txt",
              Line({"DY", "1", "20250309"}) + Line({"PL", "1", "2", "中山", "5"}) +  //
                  Rc("01", "春風賞", "1600") + RaceBody() +
                  Line({"AT", "1", "6", "本線3点目 的中", " 1- 2- 3", "2340"}) + Line({"KK", "1", "01", "230", "", ""}) +
                  Line({"KK", "2", "01", "120", "02", "150"}) + Line({"KK", "3", "1-2", "560"}) +
                  Line({"KS", "x"}) +  //
                  Rc("02", "弥生特別", "2000") + RaceBody() +
                  Line({"AT", "1", "1", "本線1点目 的中", " 3- 7", "12340"}) +
                  Line({"AT", "2", "2", "準本線2点目 的中", " 3- 7", "980"}) + Line({"KK", "1", "03", "450", "", ""}) +
                  Line({"KK", "2", "03", "180", "07", "290"}) + Line({"KK", "3", "2-5", "1230"}) +
                  Line({"KK", "4", " 3- 7", "12340"}) + Line({"KK", "5", " 3- 7", "980", " 3- 9", "1500"}) +
                  Line({"RC", "", "1030", "03", "", "名無し", "４歳以上", "G3", "ダ", "1200", "40", "雨重"}) + RaceBody() +
                  Line({"AT", "1", "5", "伏兵13点目 的中", " 7→ 3", "10000"}));
    // 8 March, a course the code table does not name: a 3連単 over 10000, then a 馬連 hit whose
    // payout is not a whole number (in the file, not in the grid).
    dir.Write("TEKICHU/20250308090104lupRCM.txt",
              Rc("11", "", "1800") + RaceBody() + Line({"AT", "1", "7", "本線2点目 的中", " 3→ 1→ 2", "123456"}) +
                  Rc("12", "", "1400") + RaceBody() + Line({"AT", "1", "1", "本線1点目 的中", " 1- 2", "15000.5"}) +
                  Line({"KK", "1", "01", "300"}) + Line({"KK", "2", "01", "130"}) + Line({"KK", "3", "1-1", "1620"}));
    // Days that are not read: tekichu.txt without lupRCM.txt, a prediction report, keys out of range.
    dir.Write("TEKICHU/20250307060101tekichu.txt", Line({"2025年"}));
    dir.Write("TEKICHU/20250307060101lup.txt", Rc("01", "x", "1600") + Line({"AT", "1", "1", "x", "1-2", "50000"}));
    dir.Write("TEKICHU/20231230060101lupRCM.txt", Rc("01", "x", "1600") + Line({"AT", "1", "1", "x", "1-2", "50000"}));
    dir.Write("TEKICHU/20250307110101lupRCM.txt", Rc("01", "x", "1600") + Line({"AT", "1", "1", "x", "1-2", "50000"}));

    const std::vector<std::vector<std::string_view>> lines = {
        {"2025年", "03月", "09日", "中山", "02回", "05日", "01R", "春風賞", "春風賞", "３歳未勝利", "", "芝", "1600", "35",
         "晴良", "３連複", "本線3点目 的中", " 1- 2- 3", "2340"},
        {"2025年", "03月", "09日", "中山", "02回", "05日", "02R", "弥生特別", "弥生特別", "３歳未勝利", "", "芝", "2000",
         "35", "晴良", "馬連", "本線1点目 的中", " 3- 7", "12340"},
        {"2025年", "03月", "09日", "中山", "02回", "05日", "02R", "弥生特別", "弥生特別", "３歳未勝利", "", "芝", "2000",
         "35", "晴良", "ワイド1", "準本線2点目 的中", " 3- 7", "980"},
        {"2025年", "03月", "09日", "中山", "02回", "05日", "02R", "弥生特別", "弥生特別", "３歳未勝利", "", "芝", "2000",
         "35", "晴良", "ワイド1", "準本線2点目 的中", " 3- 7", "980", "単勝", "03", "450"},
        {"2025年", "03月", "09日", "中山", "02回", "05日", "02R", "弥生特別", "弥生特別", "３歳未勝利", "", "芝", "2000",
         "35", "晴良", "ワイド1", "準本線2点目 的中", " 3- 7", "980", "複勝", "03", "180"},
        {"2025年", "03月", "09日", "中山", "02回", "05日", "02R", "弥生特別", "弥生特別", "３歳未勝利", "", "芝", "2000",
         "35", "晴良", "ワイド1", "準本線2点目 的中", " 3- 7", "980", "枠連", "2-5", "1230"},
        {"2025年", "03月", "09日", "中山", "02回", "05日", "02R", "弥生特別", "弥生特別", "３歳未勝利", "", "芝", "2000",
         "35", "晴良", "馬単", "伏兵13点目 的中", " 7→ 3", "10000"},
        {"2025年", "03月", "08日", "", "01回", "04日", "11R", "", "", "３歳未勝利", "", "芝", "1800", "35", "晴良",
         "３連単", "本線2点目 的中", " 3→ 1→ 2", "123456"},
        {"2025年", "03月", "08日", "", "01回", "04日", "12R", "", "", "３歳未勝利", "", "芝", "1400", "35", "晴良", "馬連",
         "本線1点目 的中", " 1- 2", "15000.5"},
        {"2025年", "03月", "08日", "", "01回", "04日", "12R", "", "", "３歳未勝利", "", "芝", "1400", "35", "晴良", "馬連",
         "本線1点目 的中", " 1- 2", "15000.5", "単勝", "01", "300"},
        {"2025年", "03月", "08日", "", "01回", "04日", "12R", "", "", "３歳未勝利", "", "芝", "1400", "35", "晴良", "馬連",
         "本線1点目 的中", " 1- 2", "15000.5", "複勝", "01", "130"},
        {"2025年", "03月", "08日", "", "01回", "04日", "12R", "", "", "３歳未勝利", "", "芝", "1400", "35", "晴良", "馬連",
         "本線1点目 的中", " 1- 2", "15000.5", "枠連", "1-1", "1620"},
    };
    std::string golden;
    for (const auto& values : lines) {
        std::string line;
        for (std::size_t i = 0; i < values.size(); ++i) line += (i ? ",\"" : "\"") + std::string(values[i]) + "\"";
        golden += common::ToCp932(line) + "\r\n";
    }
    const std::vector<std::vector<std::string>> rows = {
        {" 2025年 1", "03月", "09日", "中山", "02回", "05日", "02R", "弥生特別", "馬連", "12340", "本線1点目 的中",
         "  3- 7", "弥生特別", "３歳未勝利", "", "芝", "2000", "35", "晴良", "1"},
        {" 2025年 2", "03月", "08日", "", "01回", "04日", "11R", "", "３連単", "123456", "本線2点目 的中", "  3→ 1→ 2",
         "", "３歳未勝利", "", "芝", "1800", "35", "晴良", "2"},
    };

    // Opening twice gives the same file and grid, rows from 1 again.
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        host.calls.clear();
        const history::AtariList list = Collect();
        EXPECT_EQ(dir.Read("TEKICHU/ATARILIST.txt"), golden);
        EXPECT_EQ(list.hitLines, 6);
        EXPECT_EQ(list.payoutLines, 6);
        EXPECT_EQ(list.bigPayouts, 2);
        EXPECT_EQ(list.days, 2);
        EXPECT_EQ(list.passedOver, 0);
        const common::GridCells& grid = list.tekichuFG;
        ASSERT_EQ(grid.Rows(), 5000);
        ASSERT_EQ(grid.Cols(), 20);
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (int c = 0; c < 20; ++c)
                EXPECT_EQ(grid.Text(static_cast<int>(r) + 1, c), rows[r][static_cast<std::size_t>(c)]) << r + 1 << "," << c;
        for (int c = 0; c < 20; ++c) EXPECT_EQ(grid.Text(3, c), "") << c;
        EXPECT_EQ(Text6AndPumps(), (std::vector<std::string>{"2025年03月09日検索中", "(events)", "2025年03月08日検索中", "(events)"}));
        EXPECT_FALSE(dir.Exists("ERRORLOG.txt"));
    }
}

// A day's hits before its first race line are listed under the race the days before it left
// (in scan order), in the file and in the grid, however far ahead the days are read.
TEST_F(AtariListTest, HitsBeforeADaysFirstRaceTakeTheRaceOfTheDaysBefore) {
    const auto hit = [](std::string_view payout) { return Line({"AT", "1", "6", "x", " 1- 2- 3", payout}); };
    const std::string noNumber = Line({"RC", "", "1030", "", "", "名無し", "x", "", "ダ", "1200", "40", "雨重"});
    // Newest date first: the days as the list meets them.
    const std::vector<std::pair<std::string, std::string>> days = {
        {"20250309060201", Rc("05", "前走", "1800") + RaceBody() + hit("3000")},
        {"20250308060201", hit("4000") + Rc("06", "次走", "1600") + hit("5000")},
        {"20250307060201", hit("6000")},  // no race line
        {"20250306060201", noNumber + hit("7000")},
        {"20250305060201", Rc("07", "七", "1200") + hit("8000")},
        {"20250304060201", hit("20000")},
        {"20250303060201", hit("9000") + Rc("08", "八", "1400")},
    };
    for (const auto& [key, report] : days) dir.Write("TEKICHU/" + key + "lupRCM.txt", report);
    const history::AtariList list = Collect();

    // Day, race and name, and payout of each line.
    std::vector<std::string> shown;
    for (const std::string& line : common::SplitLines(common::FromCp932(dir.Read("TEKICHU/ATARILIST.txt")))) {
        const std::string inner = line.substr(1, line.size() - 2);  // the values between `"` and `","`
        std::vector<std::string> f;
        for (std::size_t at = 0;;) {
            const std::size_t end = inner.find("\",\"", at);
            f.push_back(inner.substr(at, end - at));
            if (end == std::string::npos) break;
            at = end + 3;
        }
        shown.push_back(f[2] + " " + f[6] + " " + f[7] + " " + f[18]);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"09日 05R 前走 3000", "08日 05R 前走 4000", "08日 06R 次走 5000",
                                               "07日 06R 次走 6000", "06日 06R 次走 7000", "05日 07R 七 8000",
                                               "04日 07R 七 20000", "03日 07R 七 9000"}));
    EXPECT_EQ(list.tekichuFG.Text(1, 6), "07R");
    EXPECT_EQ(list.tekichuFG.Text(1, 7), "七");
    EXPECT_EQ(list.tekichuFG.Text(1, 0), " 2025年 1");
    EXPECT_EQ(list.tekichuFG.Text(1, 2), "04日");
    EXPECT_EQ(list.days, 7);
    EXPECT_EQ(list.passedOver, 2 + 1);  // the days without a race line, and no code table
    const std::string log = dir.Read("ERRORLOG.txt");
    EXPECT_NE(log.find("TEKICHU/20250307060201lupRCM.txt holds no race"), std::string::npos) << log;
    EXPECT_NE(log.find("TEKICHU/20250304060201lupRCM.txt holds no race"), std::string::npos) << log;
}

TEST_F(AtariListTest, CaptionsAndWidthsOfTheGrid) {
    const common::GridCells grid = history::AtariGridCaptions();
    const std::vector<std::pair<std::string, int>> columns = {
        {"年  本数", 1700}, {"月", 600},        {"日", 600},        {"場所", 600},      {"回次", 600},
        {"日次", 600},      {"R", 600},         {"レース名", 2200}, {"券種", -1},       {"配当(円)", -1},
        {"的中状況", 1700}, {"当たり目", 1700}, {"馬齢条件", 1700}, {"収得条件", 1700}, {"G", 600},
        {"芝ダ", 600},      {"距離(m)", -1},    {"SD", 600},        {"天場", 600},      {"本数", -1},
    };
    ASSERT_EQ(grid.Cols(), 20);
    EXPECT_EQ(grid.Rows(), 5000);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        EXPECT_EQ(grid.Text(0, static_cast<int>(c)), columns[c].first) << c;
        EXPECT_EQ(grid.ColWidth(static_cast<int>(c)), columns[c].second) << c;
    }
}

// Without any result report the list exists and is empty, and the grid has its captions only;
// without TEKICHU there is nothing to write into.
TEST_F(AtariListTest, NoReportsGiveAnEmptyList) {
    dir.Write("JRACODE/CodeTable.csv", "2001,06,,,x,,,\r\n");
    history::AtariList list = Collect();
    EXPECT_FALSE(dir.Exists("TEKICHU"));
    EXPECT_EQ(list.passedOver, 0);

    fs::create_directories(dir / "TEKICHU");
    dir.Write("TEKICHU/ATARILIST.txt", "old");
    list = Collect();
    EXPECT_TRUE(dir.Exists("TEKICHU/ATARILIST.txt"));
    EXPECT_EQ(dir.Read("TEKICHU/ATARILIST.txt"), "");
    EXPECT_EQ(list.tekichuFG.Text(0, 7), "レース名");
    EXPECT_EQ(list.tekichuFG.Text(1, 0), "");
    EXPECT_EQ(list.passedOver, 0);
    EXPECT_TRUE(Text6AndPumps().empty());
}

// The grid has rows for 4,999 big payouts; the file gets every hit.
TEST_F(AtariListTest, TheGridHoldsAtMost4999BigPayouts) {
    dir.Write("JRACODE/CodeTable.csv", "2001,06,,,x,,,\r\n");
    std::string report = Rc("01", "a", "1600");
    for (int i = 1; i <= 5001; ++i) report += Line({"AT", "1", "6", "x", "1-2-3", std::to_string(10000 + i)});
    dir.Write("TEKICHU/20250309060205lupRCM.txt", report);
    const history::AtariList list = Collect();
    EXPECT_EQ(list.bigPayouts, 5001);
    EXPECT_EQ(list.hitLines, 5001);
    EXPECT_EQ(list.tekichuFG.Text(4999, 19), "4999");
    EXPECT_EQ(list.tekichuFG.Text(4999, 9), "14999");
    const std::string file = dir.Read("TEKICHU/ATARILIST.txt");
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 5001);
    EXPECT_NE(file.find("\"15001\"\r\n"), std::string::npos);
}

// A report that cannot be read, or ends inside a line, and a missing code table are passed over,
// logged and counted; the other days are still listed.
TEST_F(AtariListTest, FailuresArePassedOverAndCounted) {
    fs::create_directories(dir / "TEKICHU/20250309060205lupRCM.txt");  // a folder: cannot be read
    dir.Write("TEKICHU/20250308060205lupRCM.txt", Rc("01", "a", "1600") + Line({"AT", "1", "6", "x", "1-2-3", "20000"}) +
                                                      "\"AT\",\"1\",\"1\"");
    const history::AtariList list = Collect();
    EXPECT_EQ(list.passedOver, 3);
    EXPECT_EQ(list.hitLines, 1);
    EXPECT_EQ(list.bigPayouts, 1);
    EXPECT_EQ(list.tekichuFG.Text(1, 3), "");  // no course names without the table
    const std::string log = dir.Read("ERRORLOG.txt");
    EXPECT_NE(log.find("20250309060205lupRCM.txt"), std::string::npos);
    EXPECT_NE(log.find("ends inside a line"), std::string::npos);
    EXPECT_NE(log.find("CodeTable"), std::string::npos);
    EXPECT_EQ(history::AtariListEndText(list.passedOver), "過去の的中リスト終了　エラー3件（ERRORLOG.txt）");
    EXPECT_EQ(history::AtariListEndText(0), "過去の的中リスト終了");
}

// A code table that is there but cannot be read whole (empty, a line cut short) would put blank
// course names into the list: no day is read, the list stays as it was, and that is told.
TEST_F(AtariListTest, ACodeTableNotReadWholeKeepsTheList) {
    for (const std::string& table : {std::string(), common::ToCp932("2001,06,,,中山,,,\r\n2001,05,,\r\n")}) {
        SCOPED_TRACE(table.size());
        std::filesystem::remove(dir / "ERRORLOG.txt");
        dir.Write("JRACODE/CodeTable.csv", table);
        dir.Write("TEKICHU/20250308060205lupRCM.txt", Rc("01", "a", "1600") + Line({"AT", "1", "6", "x", "1-2-3", "20000"}));
        dir.Write("TEKICHU/ATARILIST.txt", "old");
        const history::AtariList list = Collect();
        EXPECT_EQ(dir.Read("TEKICHU/ATARILIST.txt"), "old");
        EXPECT_EQ(list.hitLines, 0);
        EXPECT_EQ(list.passedOver, 1);
        EXPECT_NE(dir.Read("ERRORLOG.txt").find("TEKICHU/ATARILIST.txt kept as it was"), std::string::npos);
    }
}

// A stored day whose report holds no race is logged and counted; the other days' hits are listed
// as they are without it.
TEST_F(AtariListTest, AReportWithoutARaceIsLoggedAndCounted) {
    dir.Write("JRACODE/CodeTable.csv", common::ToCp932("2001,06,,,中山,,,\r\n"));
    const std::string good = Rc("01", "a", "1600") + RaceBody() + Line({"AT", "1", "1", "x", " 1- 2", "20000"}) +
                             Line({"KK", "1", "01", "230"});
    dir.Write("TEKICHU/20250309060205lupRCM.txt", good);
    const history::AtariList alone = Collect();
    const std::string aloneList = dir.Read("TEKICHU/ATARILIST.txt");
    ASSERT_EQ(alone.hitLines, 1);
    ASSERT_EQ(alone.passedOver, 0);

    for (const std::string& empty : {std::string(), Line({"DY", "1", "20250308"}) + Line({"PL", "1", "2", "中山", "5"})}) {
        SCOPED_TRACE(empty.size());
        fs::remove(dir / "ERRORLOG.txt");
        dir.Write("TEKICHU/20250308060205lupRCM.txt", empty);
        host.calls.clear();
        const history::AtariList list = Collect();
        EXPECT_EQ(dir.Read("TEKICHU/ATARILIST.txt"), aloneList);
        EXPECT_EQ(list.hitLines, 1);
        EXPECT_EQ(list.payoutLines, alone.payoutLines);
        EXPECT_EQ(list.tekichuFG.Text(1, 9), "20000");
        EXPECT_EQ(list.passedOver, 1);
        const std::string log = dir.Read("ERRORLOG.txt");
        EXPECT_NE(log.find("TEKICHU/20250308060205lupRCM.txt holds no race"), std::string::npos) << log;
        EXPECT_EQ(history::AtariListEndText(list.passedOver), "過去の的中リスト終了　エラー1件（ERRORLOG.txt）");
    }
}

// A day of the day-key list whose report is gone is told, and the list that would lose its hits
// stays as it was; a listed day with its report, or a line that is no day, tells nothing.
TEST_F(AtariListTest, AListedDayWithoutItsReportKeepsTheList) {
    dir.Write("JRACODE/CodeTable.csv", common::ToCp932("2001,06,,,中山,,,\r\n"));
    dir.Write("TEKICHU/20250309060205lupRCM.txt", Rc("01", "a", "1600") + Line({"AT", "1", "1", "x", " 1- 2", "20000"}));
    dir.Write("TEKICHU/RACEIDYMDLKN.txt", "20250309060205\r\nno day\r\n");
    ASSERT_EQ(Collect().passedOver, 0);
    ASSERT_FALSE(dir.Exists("ERRORLOG.txt"));
    dir.Write("TEKICHU/ATARILIST.txt", "old");
    dir.Write("TEKICHU/RACEIDYMDLKN.txt", "20250309060205\r\n20250308060205\r\n20250308060205\r\n");

    const history::AtariList list = Collect();
    EXPECT_EQ(dir.Read("TEKICHU/ATARILIST.txt"), "old");
    EXPECT_EQ(list.passedOver, 1);
    EXPECT_NE(dir.Read("ERRORLOG.txt").find("TEKICHU/20250308060205lupRCM.txt is missing: TEKICHU/ATARILIST.txt is kept"),
              std::string::npos)
        << dir.Read("ERRORLOG.txt");
}

}  // namespace
