#include "common/instance_lock.h"

#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/file_faults.h"
#include "common/paths.h"
#include "support/other_user.h"
#include "support/temp_folder.h"

namespace {

using Result = common::InstanceLock::Result;

std::filesystem::path LockFileOf(const testsupport::TempAppFolder& folder) {
    return folder / std::string(common::kInstanceLockFile);
}

TEST(InstanceLock, OneHolderPerApplicationFolder) {
    testsupport::TempAppFolder one, two;
    {
        common::InstanceLock first(LockFileOf(one));
        ASSERT_EQ(first.TryLock(), Result::Held);
        EXPECT_TRUE(one.Exists("TALMOR7.lock"));

        common::InstanceLock second(LockFileOf(one));
        EXPECT_EQ(second.TryLock(), Result::HeldByAnother);
        EXPECT_EQ(second.TryLock(), Result::HeldByAnother);

        common::InstanceLock elsewhere(LockFileOf(two));
        EXPECT_EQ(elsewhere.TryLock(), Result::Held);
    }
    // Released when its holder goes: the next start gets the folder.
    EXPECT_FALSE(one.Exists("TALMOR7.lock"));
    common::InstanceLock next(LockFileOf(one));
    EXPECT_EQ(next.TryLock(), Result::Held);
}

// A second program on the folder is refused while the first runs; once the first has gone without
// releasing its lock (killed, crashed), the folder is free again.
TEST(InstanceLock, ASecondProgramIsRefusedUntilTheFirstHasGone) {
    testsupport::TempAppFolder folder;
    int toParent[2], toChild[2];
    ASSERT_EQ(::pipe(toParent), 0);
    ASSERT_EQ(::pipe(toChild), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        common::InstanceLock first(LockFileOf(folder));
        const char got = first.TryLock() == Result::Held ? 'H' : '-';
        if (::write(toParent[1], &got, 1) != 1) ::_exit(2);
        char go = 0;
        if (::read(toChild[0], &go, 1) != 1) ::_exit(3);
        ::_exit(0);  // ends without releasing, as a killed program does
    }
    char got = 0;
    ASSERT_EQ(::read(toParent[0], &got, 1), 1);
    EXPECT_EQ(got, 'H');

    common::InstanceLock second(LockFileOf(folder));
    EXPECT_EQ(second.TryLock(), Result::HeldByAnother);

    const char go = 'x';
    ASSERT_EQ(::write(toChild[1], &go, 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(folder.Exists("TALMOR7.lock"));  // left behind
    EXPECT_EQ(second.TryLock(), Result::Held);
    for (int fd : {toParent[0], toParent[1], toChild[0], toChild[1]}) ::close(fd);
}

// A lock file left by another user's run, which this user may not write: the lock needs only an
// open file, so it still locks, and a holder is still seen. A folder where no lock file can be
// opened at all is told apart. Run as another user, whom the file's mode really binds.
TEST(InstanceLock, ALockFileThisUserMayNotWriteStillLocks) {
    struct Case {
        const char* what;
        bool lockFile;       // TALMOR7.lock is there, mode 0444, owned by the test's user
        bool heldHere;       // the test's process holds it meanwhile
        mode_t folderMode;
        Result expected;
    };
    const Case cases[] = {
        {"left behind", true, false, 0755, Result::Held},
        {"held by a running program", true, true, 0755, Result::HeldByAnother},
        {"left behind in a folder this user may not write", true, false, 0555, Result::Held},
        {"no lock file, a folder this user may not write", false, false, 0555, Result::Unavailable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempAppFolder folder;
        if (c.lockFile) {
            folder.Write("TALMOR7.lock", "");
            ::chmod(LockFileOf(folder).c_str(), 0444);
        }
        common::InstanceLock here(LockFileOf(folder));
        if (c.heldHere) {
            ASSERT_EQ(here.TryLock(), Result::Held);
        }
        ::chmod(folder.Path().c_str(), c.folderMode);
        const int got = testsupport::InChildAsOtherUser([&] {
            common::InstanceLock other(LockFileOf(folder));
            return static_cast<int>(other.TryLock());
        });
        ::chmod(folder.Path().c_str(), 0755);
        EXPECT_EQ(got, static_cast<int>(c.expected));
    }
}

// The same through the file layer, for a build that cannot run as another user: the open for
// writing fails, the open for reading takes the lock; with no file to read, nothing is held.
TEST(InstanceLock, AFailingOpenForWritingFallsBackToReading) {
    testsupport::TempAppFolder folder;
    folder.Write("TALMOR7.lock", "");
    common::InstanceLock holder(LockFileOf(folder));
    common::FailNthFileCall(1);
    EXPECT_EQ(holder.TryLock(), Result::Held);
    common::FailNthFileCall(1);
    EXPECT_EQ(common::InstanceLock(LockFileOf(folder)).TryLock(), Result::HeldByAnother);

    testsupport::TempAppFolder empty;
    common::FailNthFileCall(1);
    EXPECT_EQ(common::InstanceLock(LockFileOf(empty)).TryLock(), Result::Unavailable);
    common::FailNthFileCall(0);
    EXPECT_FALSE(empty.Exists("TALMOR7.lock"));
}

}  // namespace
