#include "run.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/error_log.h"
#include "common/file_faults.h"
#include "common/instance_lock.h"
#include "common/paths.h"
#include "steps.h"
#include "support/other_user.h"
#include "support/temp_folder.h"

// weekrun run in this process, as a test sweeping file faults runs it once per failing call.
namespace {

namespace fs = std::filesystem;
using LockResult = common::InstanceLock::Result;

int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Ran {
    int exit = -1;
    std::string out;
    std::string err;
};

Ran RunWeekrun(const testsupport::TempAppFolder& dir, const std::vector<std::string>& steps) {
    std::vector<std::string> args = {"--app", dir.Path().string(), "--settings", (dir / "no-settings").string()};
    args.insert(args.end(), steps.begin(), steps.end());
    std::ostringstream out, err;
    Ran ran;
    ran.exit = weekrun::Run(args, out, err);
    ran.out = out.str();
    ran.err = err.str();
    return ran;
}

fs::path LockFileOf(const testsupport::TempAppFolder& dir) { return dir / std::string(common::kInstanceLockFile); }

// "<date time> [step] reason" without its date and time, as it stands in the log.
std::vector<std::string> LogEntries(const testsupport::TempAppFolder& dir) {
    std::vector<std::string> entries;
    std::istringstream log(dir.Read("ERRORLOG.txt"));
    for (std::string line; std::getline(log, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto step = line.find(" [");
        if (step != std::string::npos) entries.push_back(line.substr(step + 1));
    }
    return entries;
}

bool Contains(const std::vector<std::string>& entries, const std::string& entry) {
    for (const auto& e : entries)
        if (e == entry) return true;
    return false;
}

// Calls `hook` once, at the first text written to the stream: the middle of a run.
class HookedBuffer : public std::stringbuf {
public:
    explicit HookedBuffer(std::function<void()> hook) : hook_(std::move(hook)) {}

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        Fire();
        return std::stringbuf::xsputn(s, n);
    }
    int_type overflow(int_type c) override {
        Fire();
        return std::stringbuf::overflow(c);
    }

private:
    void Fire() {
        if (!hook_) return;
        auto hook = std::move(hook_);
        hook_ = nullptr;
        hook();
    }
    std::function<void()> hook_;
};

// Two runs on one folder would double the day files' lines: a folder that a program or weekrun
// holds is refused before any step, and the folder is free again once weekrun returns.
TEST(WeekrunRun, RefusesAFolderThatIsHeldAndReleasesItsOwn) {
    testsupport::TempAppFolder dir;
    testsupport::TempAppFolder other;  // AppFolder while no run works
    const std::string appFolder = common::AppFolder();
    const fs::path settings = weekrun::Options().settingsFile;
    {
        // The lock the program takes at its start (main.cpp).
        common::InstanceLock program(LockFileOf(dir));
        ASSERT_EQ(program.TryLock(), LockResult::Held);

        const Ran refused = RunWeekrun(dir, {"odds-tables"});
        EXPECT_EQ(refused.exit, 2);
        EXPECT_NE(refused.err.find(dir.Path().string()), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find(std::string(common::kAlreadyRunningMessage)), std::string::npos) << refused.err;
        EXPECT_EQ(refused.err.find("[Text2]"), std::string::npos) << "a step ran: " << refused.err;
        EXPECT_FALSE(dir.Exists("ERRORLOG.txt"));

        // The weekrun program beside it, too.
        EXPECT_EQ(RunCommand(std::string(WEEKRUN_PROGRAM) + " --app " + dir.Path().string() + " odds-tables 2>/dev/null"),
                  2);
        EXPECT_FALSE(dir.Exists("ERRORLOG.txt"));
    }
    EXPECT_EQ(common::AppFolder(), appFolder);
    EXPECT_EQ(weekrun::Options().settingsFile, settings);

    // While weekrun works, the folder is its: the program, a second weekrun in this process and
    // the weekrun program are refused.
    int nested = -1, program = -1;
    LockResult another = LockResult::Held;
    HookedBuffer hooked([&] {
        common::InstanceLock programLock(LockFileOf(dir));
        another = programLock.TryLock();
        nested = RunWeekrun(dir, {"odds-tables"}).exit;
        program = RunCommand(std::string(WEEKRUN_PROGRAM) + " --app " + dir.Path().string() + " odds-tables 2>/dev/null");
    });
    std::ostream err(&hooked);
    std::ostringstream out;
    const int exit = weekrun::Run({"--app", dir.Path().string(), "--settings", (dir / "none").string(), "past-scan"}, out, err);
    EXPECT_EQ(exit, 0) << hooked.str();
    EXPECT_EQ(another, LockResult::HeldByAnother);
    EXPECT_EQ(nested, 2);
    EXPECT_EQ(program, 2);

    // Released on return, on every way out, and AppFolder and the options are as they were.
    EXPECT_FALSE(dir.Exists(std::string(common::kInstanceLockFile)));
    EXPECT_EQ(common::AppFolder(), appFolder);
    EXPECT_EQ(weekrun::Options().settingsFile, settings);
    common::InstanceLock next(LockFileOf(dir));
    EXPECT_EQ(next.TryLock(), LockResult::Held);
}

// A log that takes every line and keeps none: the old test of "the log grew" sees nothing, yet
// each of these steps ends with a text that is not its plain success text, and fails.
TEST(WeekrunRun, AStepWhoseEndTextIsNotPlainFailsEvenWithAnUnchangedLog) {
    struct Case {
        std::vector<std::string> steps;
        int exit;
    };
    const std::vector<Case> cases = {
        {{"fetch"}, 1},          {{"structures"}, 1},   {{"cancel"}, 1},
        {{"dayfix"}, 1},         {{"compute"}, 1},      {{"batch"}, 1},
        {{"breaking-odds"}, 1},  {{"breaking-payouts"}, 1}, {{"odds-tables"}, 1},
        {{"--odds-source", "1", "odds-tables"}, 1},     {{"index-rebuild"}, 1},
        {{"hit-list"}, 1},
        {{"past-scan"}, 0},  // nothing to do and its plain text says so
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps.back());
        testsupport::TempAppFolder dir;
        fs::create_symlink("/dev/null", dir / "ERRORLOG.txt");

        const Ran ran = RunWeekrun(dir, c.steps);

        EXPECT_EQ(ran.exit, c.exit) << ran.err;
        struct stat log {};
        ASSERT_EQ(::stat((dir / "ERRORLOG.txt").c_str(), &log), 0);
        EXPECT_EQ(log.st_size, 0);  // what weekrun looked at before
        if (c.exit == 1) {
            EXPECT_NE(ran.err.find(" reported failures: "), std::string::npos) << ran.err;
        }
    }
}

// With the weekly batch's mark standing, the steps that read the batch's day files name it in their
// end texts, and fail on that alone where the log takes nothing.
TEST(WeekrunRun, AStandingBatchMarkIsInTheEndTextsOfThePastResultSteps) {
    for (const char* step : {"past-scan", "index-rebuild", "hit-list"}) {
        SCOPED_TRACE(step);
        testsupport::TempAppFolder dir;
        fs::create_directories(dir / "TEKICHU");
        fs::create_directories(dir / "SOKUDO");
        dir.Write("JRACODE/CodeTable.csv", "2001,05,,,x,,,\r\n");
        dir.Write("WEEKLYBATCH.mark", "");
        fs::create_symlink("/dev/null", dir / "ERRORLOG.txt");

        const Ran ran = RunWeekrun(dir, {step});

        EXPECT_EQ(ran.exit, 1) << ran.out << ran.err;
        EXPECT_NE(ran.err.find("が途中で終了しています"), std::string::npos) << ran.err;
    }
}

// The n-th file call fails, for every n that structure building makes on an empty folder: where it
// hits the log's write, the entry the log did not take is on the error stream and the run fails.
TEST(WeekrunRun, AnEntryTheLogCannotTakeGoesToTheErrorStream) {
    std::vector<std::string> expected;
    std::int64_t calls = 0;
    {
        testsupport::TempAppFolder dir;
        common::FailNthFileCall(0);
        ASSERT_EQ(RunWeekrun(dir, {"structures"}).exit, 1);
        calls = common::FileCallCount();
        expected = LogEntries(dir);
        ASSERT_FALSE(expected.empty());
    }
    int logCallsHit = 0;
    // From 2: the first is the lock file's, which stops the run before any step.
    for (std::int64_t n = 2; n <= calls; ++n) {
        SCOPED_TRACE(n);
        testsupport::TempAppFolder dir;
        common::FailNthFileCall(n);
        const Ran ran = RunWeekrun(dir, {"structures"});
        const bool failed = common::FileCallFailed();
        common::FailNthFileCall(0);
        ASSERT_TRUE(failed);
        EXPECT_EQ(ran.exit, 1);
        const std::vector<std::string> logged = LogEntries(dir);
        for (const std::string& entry : expected) {
            if (Contains(logged, entry)) continue;
            ++logCallsHit;
            EXPECT_NE(ran.err.find("not written to ERRORLOG.txt: "), std::string::npos) << ran.err;
            EXPECT_NE(ran.err.find(entry + "\n"), std::string::npos) << entry << "\n" << ran.err;
        }
    }
    EXPECT_GE(logCallsHit, static_cast<int>(expected.size()));
    EXPECT_TRUE(common::TakeUnwrittenLogEntries().empty());
}

// A folder where no lock file can be opened: unlocked, the run could go beside another one, so
// it runs nothing, exits 2 and names the folder.
TEST(WeekrunRun, AFolderWhereNoLockFileCanBeOpenedRunsNothing) {
    testsupport::TempAppFolder dir;
    common::FailNthFileCall(1);  // the lock file's open for writing, the run's first file call
    const Ran ran = RunWeekrun(dir, {"past-scan"});
    common::FailNthFileCall(0);
    EXPECT_EQ(ran.exit, 2) << ran.err;
    EXPECT_NE(ran.err.find(dir.Path().string()), std::string::npos) << ran.err;
    EXPECT_NE(ran.err.find(std::string(common::kCannotLockMessage)), std::string::npos) << ran.err;
    EXPECT_EQ(ran.err.find("[Text6]"), std::string::npos) << "the step ran: " << ran.err;
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt"));
}

// Runs weekrun as another user (see support/other_user.h): its exit status when standard error
// names the folder with `text` (or `text` is empty), 100 more when it does not.
int RunAsOtherUser(const testsupport::TempAppFolder& dir, const std::string& step, std::string_view text) {
    return testsupport::InChildAsOtherUser([&] {
        const Ran ran = RunWeekrun(dir, {step});
        const bool named = text.empty() || (ran.err.find(dir.Path().string()) != std::string::npos &&
                                            ran.err.find(std::string(text)) != std::string::npos);
        return ran.exit + (named ? 0 : 100);
    });
}

// A read-only folder without a lock file, as its owner's users see it: no step runs.
TEST(WeekrunRun, NoStepRunsInAReadOnlyFolderWithoutALockFile) {
    testsupport::TempAppFolder dir;
    dir.Write("TEKICHU/.keep", "");
    ::chmod((dir / "TEKICHU").c_str(), 0555);
    ::chmod(dir.Path().c_str(), 0555);
    for (const weekrun::Step& step : weekrun::Steps()) {
        SCOPED_TRACE(step.name);
        EXPECT_EQ(RunAsOtherUser(dir, step.name, common::kCannotLockMessage), 2);
    }
    ::chmod((dir / "TEKICHU").c_str(), 0755);
    ::chmod(dir.Path().c_str(), 0755);
}

// The lock file another user's run left behind, which this user may not write, locks all the
// same: while a program holds it, weekrun is refused; once it has gone, weekrun runs.
TEST(WeekrunRun, ALockFileThisUserMayNotWriteStillKeepsTwoRunsApart) {
    testsupport::TempAppFolder dir;
    dir.Write("TALMOR7.lock", "");
    ::chmod(LockFileOf(dir).c_str(), 0444);
    {
        common::InstanceLock program(LockFileOf(dir));
        ASSERT_EQ(program.TryLock(), LockResult::Held);
        EXPECT_EQ(RunAsOtherUser(dir, "past-scan", common::kAlreadyRunningMessage), 2);
        EXPECT_FALSE(dir.Exists("ERRORLOG.txt"));
    }
    dir.Write("TALMOR7.lock", "");  // left behind, as a killed run leaves it
    ::chmod(LockFileOf(dir).c_str(), 0444);
    EXPECT_EQ(RunAsOtherUser(dir, "past-scan", ""), 0);
}

}  // namespace
