// Every step that writes several files killed at every one of its file calls, on a tiny week over
// last week's files (a normal Monday). After each kill: no file that held something is left
// empty, cut or partly this run's unless a step mark stands; the step that reads the killed
// step's files does not end with its plain text on files that are neither last week's nor a
// clean run's; and a rerun writes exactly what a clean run writes.

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "support/week_snapshot.h"

namespace {

namespace fs = std::filesystem;

using namespace testsupport;  // the sweeps' helpers

// The steps swept, in the order of the week, each with the step after it that reads its files
// ("" where no step of the week reads them). A step that runs two of the program's buttons one
// after the other names the files of its second: a kill between the two leaves the first's files
// new and those as they were, which is where a user who clicked only the first button stands.
struct SweptStep {
    std::string name;
    std::string reader;
    std::vector<std::string> secondButtonFiles = {};
};
const std::vector<SweptStep> kSwept = {
    {"fetch", "structures"},  {"structures", "cancel"}, {"cancel", "dayfix"},  {"dayfix", "compute"},
    {"compute", "batch"},     {"odds", "odds-tables", {"O6THISWEEKN.dat"}},  {"odds-tables", ""},
    {"batch", "breaking-payouts"}, {"breaking-payouts", ""}, {"past-scan", "index-rebuild"}, {"index-rebuild", ""},
    {"hit-list", ""},
};

struct Tally {
    int kills = 0, untouched = 0, marks = 0, told = 0, lost = 0;
    std::set<std::string> damagedUnderMark;  // files left empty or cut while a mark stood
};

class KillSweep : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        week = new TempAppFolder;
        std::vector<std::string> steps;
        for (const SweptStep& s : kSwept) steps.push_back(s.name);
        ASSERT_TRUE(MakeTinyWeekOverLastWeek(DEMOWEEK_PROGRAM, WEEKRUN_PROGRAM, *week, steps));
    }
    static void TearDownTestSuite() {
        delete week;
        week = nullptr;
    }

    // Runs steps of weekrun on the week; `options` before them. Returns the exit status (-1 or
    // 128 + the signal for a run that was killed); the error output is in `err`.
    int Run(const std::string& options, const std::string& steps, std::string& err) const {
        const fs::path errFile = scratch.Path() / "weekrun.err";
        const int status = RunCommand(std::string(WEEKRUN_PROGRAM) + " --app " + week->Path().string() + " --quiet " +
                                      options + " " + steps + " >/dev/null 2>" + errFile.string());
        err = scratch.Read("weekrun.err");
        return status;
    }

    // True when the step's end text was not its plain one (weekrun prints it after the colon).
    static bool EndedNotPlain(const std::string& err) { return err.find(" reported failures: ") != std::string::npos; }


    static TempAppFolder* week;
    TempAppFolder scratch;
};

TempAppFolder* KillSweep::week = nullptr;

TEST_F(KillSweep, NoKilledStepLeavesAWeekMixedFromTwoRunsUntold) {
    std::map<std::string, Tally> tallies;
    std::string err;
    for (const SweptStep& step : kSwept) {
        SCOPED_TRACE(step.name);
        if (!InSweep(step.name)) {
            ASSERT_EQ(Run("", step.name, err), 0) << err;
            continue;
        }
        const Snapshot before = week->Files();
        ASSERT_EQ(Run("--count-file-calls", step.name, err), 0) << err;
        const Snapshot clean = week->Files();
        const long calls = FileCallsOf(err);
        ASSERT_GT(calls, 0) << err;
        ASSERT_FALSE(Differences(before, clean).empty()) << "the step wrote what last week's run wrote";
        if (!step.reader.empty()) {
            // The reader ends plainly on a clean run's files, so that its other texts tell.
            ASSERT_EQ(Run("", step.reader, err), 0) << err;
            Restore(*week, clean);
        }
        Tally& t = tallies[step.name];
        // The first button's files new, the second's as they were.
        Snapshot firstButtonOnly = clean;
        for (const std::string& file : step.secondButtonFiles) {
            if (before.contains(file)) firstButtonOnly[file] = before.at(file);
            else firstButtonOnly.erase(file);
        }

        for (long n = 1; n <= calls; ++n) {
            SCOPED_TRACE("killed at file call " + std::to_string(n));
            Restore(*week, before);
            const int status = Run("--kill-at-file-call " + std::to_string(n), step.name, err);
            ASSERT_TRUE(status != 0 && status != 1 && status != 2) << "not killed: exit " << status << "\n" << err;
            ++t.kills;
            const Snapshot after = week->Files();
            const bool marked = !StandingMarks(after).empty();
            // Scratch files left behind are no output: the files are last week's, or the clean
            // run's, or partly each.
            const Snapshot outputs = WithoutScratchFiles(after);
            const bool untouched = Differences(before, outputs, false).empty() ||
                                   (!step.secondButtonFiles.empty() && Differences(firstButtonOnly, outputs, false).empty());
            const std::vector<std::string> notClean = Differences(clean, outputs, false);
            if (marked) ++t.marks;
            if (untouched) ++t.untouched;
            std::vector<std::string> lost;

            // A file left damaged, or files of two runs side by side, only under a mark.
            if (marked) {
                for (const std::string& file : LostFiles(before, clean, after)) t.damagedUnderMark.insert(file);
            } else {
                lost = LostFiles(before, clean, after);
                if (!untouched && !notClean.empty())
                    lost.push_back("partly this run's, no mark:" + Joined(notClean, 4));
            }

            // The step that reads these files does not end plainly on them.
            if (!step.reader.empty() && !untouched && !notClean.empty()) {
                Run("", step.reader, err);
                if (EndedNotPlain(err)) ++t.told;
                else lost.push_back(step.reader + " ended plainly on:" + Joined(notClean, 4));
                Restore(*week, after);
            }

            // A rerun mends everything.
            if (Run("", step.name, err) != 0) lost.push_back("the rerun did not end plainly:\n" + err);
            const std::vector<std::string> mended = Differences(clean, week->Files(), false);
            if (!mended.empty()) lost.push_back("the rerun differs from a clean run:" + Joined(mended));

            EXPECT_TRUE(lost.empty()) << Joined(lost, 12);
            if (!lost.empty()) ++t.lost;
        }
        Restore(*week, clean);
    }
    for (const auto& [name, t] : tallies)
        std::cout << "kill sweep: " << name << ": " << t.kills << " kills, " << t.untouched
                  << " left all as it was (or as its first button leaves it), "
                  << t.marks << " marks standing, " << t.told << " told, " << t.lost << " lost"
                  << (t.damagedUnderMark.empty() ? "" : "; left damaged under its mark:")
                  << Joined({t.damagedUnderMark.begin(), t.damagedUnderMark.end()}, 6) << "\n";
}

}  // namespace
