#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>

#include <gtest/gtest.h>

#include "common/numbers.h"
#include "common/record_file.h"
#include "common/text_file.h"
#include "support/temp_folder.h"

// The big-payout list of the demo week with two past weeks, through weekrun's hit-list step.
namespace {

namespace fs = std::filesystem;

int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The values of one line of a day file or of the list.
std::vector<std::string> Values(const std::string& line) {
    common::WrittenFieldReader reader(line);
    std::vector<std::string> values;
    std::string value;
    while (reader.Next(value)) values.push_back(value);
    return values;
}

TEST(HitListOfPastWeeks, OneHitLinePerHitOfTheListedDays) {
    testsupport::TempAppFolder dir;
    ASSERT_EQ(RunCommand(std::string(DEMOWEEK_PROGRAM) + " " + dir.Path().string() +
                         " --small --state after --date 20240113 --past-weeks 2 >/dev/null"),
              0);
    const std::string weekrun = std::string(WEEKRUN_PROGRAM) + " --app " + dir.Path().string() + " --settings " +
                                (dir / "no-settings").string() + " --quiet hit-list >" + (dir / "rows.txt").string() +
                                " 2>" + (dir / "weekrun.log").string();
    ASSERT_EQ(RunCommand(weekrun), 0) << dir.Read("weekrun.log");
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt")) << dir.Read("ERRORLOG.txt");

    // The result reports of 2024, newest date first: the week of 30 December 2023 is never listed.
    std::vector<std::string> keys;
    for (const auto& e : fs::directory_iterator(dir / "TEKICHU")) {
        const std::string name = e.path().filename().string();
        if (name.size() == 24 && name.ends_with("lupRCM.txt") && name.starts_with("2024")) keys.push_back(name.substr(0, 14));
    }
    std::sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
        return a.compare(0, 8, b, 0, 8) != 0 ? a.compare(0, 8, b, 0, 8) > 0 : a < b;
    });
    ASSERT_GE(keys.size(), 2u);

    // Each "AT" line of those reports, in order, and the hits over 10000 yen.
    std::vector<std::vector<std::string>> hits;
    std::vector<std::string> big;
    for (const auto& key : keys)
        for (const auto& line : common::SplitLines(common::ReadFileBytes(dir / ("TEKICHU/" + key + "lupRCM.txt")))) {
            if (!line.starts_with("\"AT\",")) continue;
            const auto v = Values(line);
            ASSERT_EQ(v.size(), 6u) << line;
            hits.push_back({key, v[3], v[4], v[5]});
            if (common::DigitsValue(v[5]).value_or(0) > 10000) big.push_back(v[5]);
        }
    ASSERT_FALSE(hits.empty());

    std::vector<std::vector<std::string>> listed;
    for (const auto& line : common::SplitLines(dir.Read("TEKICHU/ATARILIST.txt"))) {
        const auto v = Values(line);
        ASSERT_TRUE(v.size() == 19 || v.size() == 22) << line;
        if (v.size() == 19) listed.push_back({v[0] + v[1] + v[2], v[16], v[17], v[18]});
    }
    ASSERT_EQ(listed.size(), hits.size());
    for (std::size_t i = 0; i < hits.size(); ++i) {
        const auto& key = hits[i][0];
        EXPECT_EQ(listed[i][0], key.substr(0, 4) + "\x94N" + key.substr(4, 2) + "\x8c\x8e" + key.substr(6, 2) + "\x93\xfa") << i;
        EXPECT_EQ(std::vector<std::string>(listed[i].begin() + 1, listed[i].end()),
                  std::vector<std::string>(hits[i].begin() + 1, hits[i].end()))
            << i;
    }

    // The printed rows: one per big payout, the payout in column 9 and the row number last.
    const auto rows = common::SplitLines(dir.Read("rows.txt"));
    ASSERT_EQ(rows.size(), big.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<std::string> cells;
        std::size_t from = 0;
        for (std::size_t tab; (tab = rows[r].find('\t', from)) != std::string::npos; from = tab + 1)
            cells.push_back(rows[r].substr(from, tab - from));
        cells.push_back(rows[r].substr(from));
        ASSERT_EQ(cells.size(), 20u) << rows[r];
        EXPECT_EQ(cells[9], big[r]);
        EXPECT_EQ(cells[19], std::to_string(r + 1));
        EXPECT_TRUE(cells[0].starts_with(" 2024年 ")) << cells[0];
    }
}

}  // namespace
