#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <sys/wait.h>

#include <gtest/gtest.h>

#include "common/record_file.h"
#include "common/text_file.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Demoweek(const fs::path& dir) {
    return std::string(DEMOWEEK_PROGRAM) + " " + dir.string() + " --small --state after --date 20240113 --past-weeks 2 >/dev/null";
}

// The demo week with two past weeks, one of them in 2023, then the past-results window's two steps.
TEST(PastWeeks, EveryStoredDayIsListedAndEveryRaceIndexed) {
    testsupport::TempAppFolder dir;
    ASSERT_EQ(RunCommand(Demoweek(dir.Path())), 0);
    for (const auto& name : Names(dir.Path())) EXPECT_EQ(name.find("demoweek-past"), std::string::npos) << name;

    // Stored days: 30 December 2023 and 6 January 2024 and the day after each.
    std::vector<std::string> listable;
    std::set<std::string> dates;
    for (const auto& name : Names(dir / "TEKICHU")) {
        if (name.size() != 25 || name.substr(14) != "tekichu.txt") continue;
        dates.insert(name.substr(0, 8));
        if (name.compare(0, 4, "2024") >= 0) listable.push_back(name.substr(0, 14));
    }
    EXPECT_EQ(dates.size(), 4u);
    EXPECT_EQ(dates.count("20231230"), 1u);
    ASSERT_FALSE(listable.empty());

    const std::string weekrun = std::string(WEEKRUN_PROGRAM) + " --app " + dir.Path().string() + " --settings " +
                                (dir / "no-settings").string() + " --quiet past-scan index-rebuild >" +
                                (dir / "list.txt").string() + " 2>" + (dir / "weekrun.log").string();
    ASSERT_EQ(RunCommand(weekrun), 0) << dir.Read("weekrun.log");
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt")) << dir.Read("ERRORLOG.txt");

    const auto keys = common::SplitLines(dir.Read("TEKICHU/RACEIDYMDLKN.txt"));
    std::vector<std::string> expectedKeys = listable;
    std::sort(expectedKeys.begin(), expectedKeys.end(), [](const std::string& a, const std::string& b) {
        return a.compare(0, 8, b, 0, 8) != 0 ? a.compare(0, 8, b, 0, 8) > 0 : a < b;
    });
    EXPECT_EQ(keys, expectedKeys);
    const auto lines = common::SplitLines(dir.Read("list.txt"));
    ASSERT_EQ(lines.size(), keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(lines[i].substr(lines[i].size() - 32), std::string(18, ' ') + keys[i]);

    // Every race of every listed day has its line in RACEID.txt, in list order.
    std::vector<std::string> races;
    for (const auto& key : keys) {
        common::WrittenFieldReader report(common::ReadFileBytes(dir / ("TEKICHU/" + key + "lupRCM.txt")));
        std::string value, raceNum;
        while (report.Next(value)) {
            if (value != "RC") continue;
            for (int i = 0; i < 3; ++i) report.Next(raceNum);
            races.push_back(key + raceNum);
        }
    }
    EXPECT_FALSE(races.empty());
    EXPECT_EQ(common::SplitLines(dir.Read("SOKUDO/RACEID.txt")), races);
}

TEST(PastWeeks, TheSameSeedGivesTheSameFiles) {
    testsupport::TempAppFolder a, b;
    ASSERT_EQ(RunCommand(Demoweek(a.Path())), 0);
    ASSERT_EQ(RunCommand(Demoweek(b.Path())), 0);
    const auto names = Names(a / "TEKICHU");
    ASSERT_EQ(names, Names(b / "TEKICHU"));
    ASSERT_FALSE(names.empty());
    for (const auto& name : names) EXPECT_EQ(a.Read("TEKICHU/" + name), b.Read("TEKICHU/" + name)) << name;
}

}  // namespace
