// The week's steps give the same files, the same log and the same failing file call on one core as
// on four: run through weekrun under taskset, on a mid-size week with damaged inputs, so that the
// log has lines from the steps that use a second core.

#include <sched.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

using Snapshot = std::map<std::string, std::string>;  // relative path -> bytes

int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The first `count` cores this process may run on, as taskset takes them ("0,1,2,3"); fewer when
// there are fewer.
std::string Cores(int count) {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) != 0) return "0";
    std::string list;
    for (int c = 0, taken = 0; c < CPU_SETSIZE && taken < count; ++c)
        if (CPU_ISSET(c, &set)) {
            list += (taken++ ? "," : "") + std::to_string(c);
        }
    return list;
}

int CoreCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    return ::sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 1;
}

// Every file of the folder; ERRORLOG.txt without its time stamps.
Snapshot Take(const testsupport::TempAppFolder& folder) {
    static const std::regex stamp("[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}");
    Snapshot s;
    for (const auto& e : fs::recursive_directory_iterator(folder.Path())) {
        if (!e.is_regular_file()) continue;
        const std::string name = fs::relative(e.path(), folder.Path()).string();
        s[name] = folder.Read(name);
        if (name == "ERRORLOG.txt") s[name] = std::regex_replace(s[name], stamp, "stamp");
    }
    return s;
}

std::vector<std::string> Differences(const Snapshot& a, const Snapshot& b) {
    std::vector<std::string> out;
    std::set<std::string> names;
    for (const auto& [n, _] : a) names.insert(n);
    for (const auto& [n, _] : b) names.insert(n);
    for (const std::string& n : names) {
        const auto x = a.find(n);
        const auto y = b.find(n);
        if (x == a.end()) out.push_back("+ " + n);
        else if (y == b.end()) out.push_back("- " + n);
        else if (x->second != y->second) out.push_back("~ " + n);
    }
    return out;
}

void Restore(const testsupport::TempAppFolder& folder, const Snapshot& s) {
    for (const auto& e : fs::directory_iterator(folder.Path())) fs::remove_all(e.path());
    for (const auto& [name, bytes] : s) folder.Write(name, bytes);
}

class AtAnyCoreCount : public ::testing::Test {
protected:
    // A mid-size week after its results with a past week, fetched and sorted; then damaged where
    // the computation reads: two statistics files gone, a horse record and runs of three horses
    // of the wrong kind (one with more damaged runs than are logged one by one).
    static void SetUpTestSuite() {
        week = new testsupport::TempAppFolder;
        const std::string app = week->Path().string();
        ASSERT_EQ(RunCommand(std::string(DEMOWEEK_PROGRAM) + " " + app +
                             " --state after --date 20251101 --days 1 --courses 2 --races 6 --runners 10-14"
                             " --history 30 --past-weeks 1 >/dev/null 2>&1"),
                  0);
        ASSERT_EQ(RunCommand(std::string(WEEKRUN_PROGRAM) + " --app " + app + " --quiet fetch structures cancel dayfix >/dev/null 2>&1"),
                  0);
        fs::remove(week->Path() / "OPTION1N/STALLION.dat");
        fs::remove(week->Path() / "OPTION1N/KISHUSEISEI.dat");
        std::string horses = week->Read("UMTHISWEEKNNEW.dat");
        ASSERT_GT(horses.size(), 2u * 1609);
        horses.replace(1609, 2, "XX");
        week->Write("UMTHISWEEKNNEW.dat", horses);
        std::vector<fs::path> runFiles;
        for (const auto& e : fs::directory_iterator(week->Path() / "UMAGOTOTHISWEEKN")) runFiles.push_back(e.path());
        std::sort(runFiles.begin(), runFiles.end());
        int damaged = 0;
        for (const fs::path& file : runFiles) {
            const std::string name = "UMAGOTOTHISWEEKN/" + file.filename().string();
            std::string runs = week->Read(name);
            const std::size_t count = runs.size() / 555;
            if (count < (damaged == 0 ? 24u : 3u)) continue;
            for (std::size_t r = 1; r < (damaged == 0 ? count : 2); ++r) runs.replace(r * 555, 2, "XX");
            week->Write(name, runs);
            if (++damaged == 3) break;
        }
        ASSERT_EQ(damaged, 3);
        before = Take(*week);
    }
    static void TearDownTestSuite() {
        delete week;
        week = nullptr;
    }

    // Runs weekrun's `steps` on the week as it was set up (or as `from` holds it), on `cores`
    // cores; returns the folder after it, and the exit status in `status`.
    Snapshot Run(int cores, const std::string& steps, const std::string& options, int& status,
                 const Snapshot& from = before) {
        Restore(*week, from);
        status = RunCommand("taskset -c " + Cores(cores) + " " + WEEKRUN_PROGRAM + " --app " + week->Path().string() +
                            " --quiet " + options + " " + steps + " >/dev/null 2>&1");
        return Take(*week);
    }

    static testsupport::TempAppFolder* week;
    static Snapshot before;
};

testsupport::TempAppFolder* AtAnyCoreCount::week = nullptr;
Snapshot AtAnyCoreCount::before;

TEST_F(AtAnyCoreCount, EveryStepWritesTheSameFilesAndLog) {
    if (CoreCount() < 2) GTEST_SKIP() << "one core only";
    const std::string steps = "compute odds odds-tables batch breaking-payouts past-scan index-rebuild hit-list";
    int status1 = 0, status4 = 0;
    const Snapshot one = Run(1, steps, "", status1);
    const Snapshot four = Run(4, steps, "", status4);
    EXPECT_EQ(status1, status4);
    ASSERT_TRUE(one.contains("ERRORLOG.txt"));
    // The damage was met: the two files, the horse record, the runs passed over one by one and
    // the count of the others.
    for (const char* seen : {"OPTION1N/STALLION.dat is missing", "OPTION1N/KISHUSEISEI.dat is missing",
                             "UMTHISWEEKNNEW.dat record 2", "more damaged records passed over"})
        EXPECT_NE(one.at("ERRORLOG.txt").find(seen), std::string::npos) << seen;
    const std::vector<std::string> differing = Differences(one, four);
    EXPECT_TRUE(differing.empty()) << differing.size() << " files differ, first " << differing.front();
    if (one.contains("ERRORLOG.txt") && four.contains("ERRORLOG.txt")) {
        EXPECT_EQ(one.at("ERRORLOG.txt"), four.at("ERRORLOG.txt"));
    }
}

// A failure injected into a step that uses a second core fails the same call every time, at
// every core count: the same file is told in the same log, and the same files are left.
TEST_F(AtAnyCoreCount, AFailingFileCallReplays) {
    struct Case {
        std::string step, stepsBefore;
    };
    for (const Case& c : {Case{"compute", ""}, Case{"batch", "compute odds odds-tables"}}) {
        SCOPED_TRACE(c.step);
        int status = 0;
        const Snapshot start = c.stepsBefore.empty() ? before : Run(1, c.stepsBefore, "", status);
        const std::string countFile = (week->Path().parent_path() / "calls.txt").string();
        Restore(*week, start);
        RunCommand(std::string(WEEKRUN_PROGRAM) + " --app " + week->Path().string() + " --quiet --count-file-calls " +
                   c.step + " >/dev/null 2>" + countFile);
        const std::string counted = [&] {
            std::ifstream in(countFile);
            return std::string(std::istreambuf_iterator<char>(in), {});
        }();
        const auto at = counted.find(" file calls ");
        ASSERT_NE(at, std::string::npos) << counted;
        const long calls = std::atol(counted.c_str() + at + 12);
        ASSERT_GT(calls, 50);
        fs::remove(countFile);

        for (const long n : {5L, 20L, calls / 4, calls / 2, calls - 3}) {
            SCOPED_TRACE("--fail-file-call " + std::to_string(n));
            const std::string option = "--fail-file-call " + std::to_string(n);
            int firstStatus = 0;
            const Snapshot first = Run(1, c.step, option, firstStatus, start);
            ASSERT_TRUE(first.contains("ERRORLOG.txt"));
            for (int cores : {1, 4, 4, 2, 4}) {
                SCOPED_TRACE(std::to_string(cores) + " cores");
                int again = 0;
                const Snapshot next = Run(cores, c.step, option, again, start);
                EXPECT_EQ(again, firstStatus);
                const std::vector<std::string> differing = Differences(first, next);
                EXPECT_TRUE(differing.empty()) << differing.size() << " files differ, first " << differing.front();
                if (next.contains("ERRORLOG.txt")) {
                    EXPECT_EQ(first.at("ERRORLOG.txt"), next.at("ERRORLOG.txt"));
                }
            }
        }
    }
}

}  // namespace
