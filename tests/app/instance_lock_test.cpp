#include "common/instance_lock.h"

#include <filesystem>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/paths.h"
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

}  // namespace
