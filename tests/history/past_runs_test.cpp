#include "history/past_runs.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/encoding.h"
#include "support/record_bytes.h"
#include "support/temp_folder.h"

namespace {

using testsupport::Put;

TEST(PastRunsFileName, OnlyTheEndOfANameCellNamesAFile) {
    struct Case {
        std::string selected;
        std::string name;  // "" for none
    };
    const std::string horse = common::FromCp932("\x83\x65\x83\x58\x83\x67") + "         ";  // テスト and blanks
    const std::vector<Case> cases = {
        {horse + "2019104321EX.dat", "2019104321EX.dat"},
        {"2019104321EX.dat", "2019104321EX.dat"},
        {"1.35.40", ""},                  // a time
        {"騎A・調B・父父C・母父D・生E", ""},  // the grades
        {"", ""},
        {horse + "201910432XEX.dat", ""},  // not ten digits
        {horse + "2019104321EX.txt", ""},
        {horse + "2019104321ex.dat", ""},
        {"../../etc/passwdEX.dat", ""},
        {"019104321EX.dat", ""},  // fifteen characters
        {"名前名前名前名前名前EX.dat", ""},  // sixteen characters, no digits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selected);
        const auto name = history::PastRunsFileName(c.selected);
        EXPECT_EQ(name.value_or(""), c.name);
    }
}

// An expanded record with its date, horse fields and name at their positions.
std::string ExRun(const std::string& date, const std::string& umaban, const std::string& bamei) {
    std::string r(2603, ' ');
    Put(r, 1, "SE");
    Put(r, 3, "7");
    Put(r, 4, "20250101");
    Put(r, 12, date);
    Put(r, 28, "3" + umaban + "2019104321");
    Put(r, 789, bamei);
    Put(r, 2602, "\r\n");
    return r;
}

TEST(ListAllPastRuns, RunsNewestFirstUnderTheirLabels) {
    testsupport::TempAppFolder dir;
    const std::string name = "\x83\x65\x83\x58\x83\x67";  // テスト in Shift-JIS
    // A torn last record is no run.
    dir.Write("UMAGOTOEXTHISWEEKN/2019104321EX.dat", ExRun("20240505", "01", name) + ExRun("20241103", "07", name) +
                                                         ExRun("20250607", "12", name) + std::string(1302, ' '));

    const common::GridCells grid = history::ListAllPastRuns("テスト            2019104321EX.dat");

    ASSERT_EQ(grid.Rows(), 312);
    ASSERT_EQ(grid.Cols(), 4);
    const std::vector<std::vector<std::string>> expected = {
        {"前0走", "20250607", "3122019104321"},
        {"前1走", "20241103", "3072019104321"},
        {"前2走", "20240505", "3012019104321"},
    };
    for (int k = 1; k <= 3; ++k) {
        const auto& e = expected[static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(grid.Text(0, k), e[0]);
        EXPECT_EQ(grid.Text(1, k), "SE");
        EXPECT_EQ(grid.Text(2, k), "7");
        EXPECT_EQ(grid.Text(3, k), "20250101");
        EXPECT_EQ(grid.Text(4, k), e[1]);
        EXPECT_EQ(grid.Text(6, k), e[2]);
        EXPECT_EQ(grid.Text(7, k), "テスト" + std::string(30, ' '));
        EXPECT_EQ(grid.ColWidth(k), 1500);
    }
    EXPECT_EQ(grid.ColWidth(0), 2000);
    EXPECT_EQ(grid.Text(4, 0), "レース年月日");
    EXPECT_EQ(grid.Text(7, 0), "馬名");
}

TEST(ListAllPastRuns, WithoutAFileOnlyCaptionsAndNothingIsCreated) {
    testsupport::TempAppFolder dir;
    std::filesystem::create_directories(dir / "UMAGOTOEXTHISWEEKN");
    for (const std::string selected : {"テスト2019104321EX.dat", "1.35.40", "..EX.dat"}) {
        SCOPED_TRACE(selected);
        const common::GridCells grid = history::ListAllPastRuns(selected);
        EXPECT_EQ(grid.Cols(), 1);
        EXPECT_EQ(grid.Text(7, 0), "馬名");
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir / "UMAGOTOEXTHISWEEKN"));
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt"));

    // An empty selection: the designed empty grid, without captions.
    const common::GridCells empty = history::ListAllPastRuns("");
    EXPECT_EQ(empty.Rows(), 312);
    EXPECT_EQ(empty.Cols(), 2);
    EXPECT_EQ(empty.Text(7, 0), "");
}

}  // namespace
