#include "support/other_user.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

namespace {
constexpr uid_t kNobody = 65534;
}

int InChildAsOtherUser(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(255);
        // No exit handlers of the test program: they belong to the parent.
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255) return -1;
    return WEXITSTATUS(status);
}

}  // namespace testsupport
