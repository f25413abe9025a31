#pragma once

#include <functional>

// Permissions seen by a user other than the test's: root opens every file for writing whatever
// its mode, so a test of a file it may not write runs its body as another user.
namespace testsupport {

/// Runs `body` in a child process, as the user nobody when the test runs as root (as this user
/// otherwise, who is then the other user of files root made), and returns what it returned, or
/// -1 when the child did not get there or did not exit.
int InChildAsOtherUser(const std::function<int()>& body);

}  // namespace testsupport
