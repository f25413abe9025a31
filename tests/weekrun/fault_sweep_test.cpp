// Every file call of every step made to fail in turn, on a tiny week: a run either writes exactly
// what a run without the failure writes and says so plainly, or tells the failure (ERRORLOG.txt or
// standard error, exit 1) and loses nothing; a second run without the failure then writes what a
// clean run writes.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "support/week_snapshot.h"

namespace {

namespace fs = std::filesystem;

using testsupport::Differences;
using testsupport::Joined;
using testsupport::LostFiles;
using testsupport::Restore;
using testsupport::RunCommand;
using testsupport::Snapshot;

struct Tally {
    int calls = 0, identical = 0, told = 0, lost = 0;
};

class FaultSweep : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        week = new testsupport::TempAppFolder;
        ASSERT_TRUE(testsupport::MakeTinyWeek(DEMOWEEK_PROGRAM, *week));
    }
    static void TearDownTestSuite() {
        delete week;
        week = nullptr;
    }

    // Runs one step of weekrun on the folder; `failAt` 0 runs it without a failure. Returns the
    // exit status; the error output is in `err`.
    int Step(const fs::path& app, const std::string& step, long failAt, std::string& err) const {
        const fs::path errFile = scratch.Path() / "weekrun.err";
        const int status = RunCommand(std::string(WEEKRUN_PROGRAM) + " --app " + app.string() + " --quiet" +
                                      (failAt > 0 ? " --fail-file-call " + std::to_string(failAt) : std::string()) + " " +
                                      step + " >/dev/null 2>" + errFile.string());
        err = scratch.Read("weekrun.err");
        return status;
    }


    static testsupport::TempAppFolder* week;
    testsupport::TempAppFolder scratch;
};

testsupport::TempAppFolder* FaultSweep::week = nullptr;

TEST_F(FaultSweep, EveryFailingFileCallIsToldAndLosesNothing) {
    const std::vector<std::string> steps = {"fetch",  "structures", "cancel",          "dayfix",        "compute",
                                            "odds",   "odds-tables", "batch", "breaking-payouts", "past-scan", "index-rebuild",
                                            "hit-list"};
    const fs::path app = week->Path();
    std::map<std::string, Tally> tallies;
    for (const std::string& step : steps) {
        SCOPED_TRACE(step);
        if (!testsupport::InSweep(step)) {
            std::string out;
            ASSERT_EQ(Step(app, step, 0, out), 0) << out;
            continue;
        }
        const Snapshot before = week->Files();
        std::string err;
        ASSERT_EQ(Step(app, "--count-file-calls " + step, 0, err), 0) << err;
        const Snapshot clean = week->Files();
        ASSERT_FALSE(clean.contains("ERRORLOG.txt")) << clean.at("ERRORLOG.txt");
        const long calls = testsupport::FileCallsOf(err);
        ASSERT_GT(calls, 0) << err;
        Tally& t = tallies[step];
        t.calls = static_cast<int>(calls);

        for (long n = 1; n <= calls; ++n) {
            SCOPED_TRACE("file call " + std::to_string(n));
            Restore(*week, before);
            const auto started = std::chrono::steady_clock::now();
            const int status = Step(app, step, n, err);
            const auto took = std::chrono::steady_clock::now() - started;
            EXPECT_LT(took, std::chrono::seconds(5)) << "a failure made the step wait";
            const Snapshot after = week->Files();
            const std::vector<std::string> changed = Differences(clean, after);
            const bool logged = after.contains("ERRORLOG.txt") || err.find("not written to ERRORLOG.txt") != std::string::npos;
            if (status == 0) {
                // A plain success: the outputs are exactly the clean run's.
                EXPECT_TRUE(changed.empty()) << "exit 0 but the outputs differ:" << Joined(changed) << "\n" << err;
                if (changed.empty()) ++t.identical;
            } else {
                EXPECT_EQ(status, 1) << err;
                EXPECT_TRUE(logged) << "exit " << status << " with nothing logged:\n" << err;
                if (status == 1 && logged) ++t.told;
            }
            // Nothing that held something is left empty or cut.
            const std::vector<std::string> lost = LostFiles(before, clean, after);
            EXPECT_TRUE(lost.empty()) << Joined(lost) << "\n" << err;
            if (!lost.empty()) ++t.lost;

            // A run without the failure mends everything.
            if (status != 0) {
                ASSERT_EQ(Step(app, step, 0, err), 0) << err;
                const std::vector<std::string> mended = Differences(clean, week->Files(), false);
                EXPECT_TRUE(mended.empty()) << "a second run without the failure differs:" << Joined(mended);
            }
        }
        Restore(*week, clean);
    }
    for (const auto& [step, t] : tallies)
        std::cout << "fault sweep: " << step << ": " << t.calls << " file calls failed, " << t.identical
                  << " ended identical, " << t.told << " told, " << t.lost << " lost\n";
}

}  // namespace
