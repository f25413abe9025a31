#include "common/file_faults.h"

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

#include <signal.h>
#include <unistd.h>

namespace common {

namespace {
// Atomic, so that a file call made off the calling thread would still be counted once.
std::atomic<std::int64_t> calls{0};
std::atomic<std::int64_t> failAt{0};
std::atomic<std::int64_t> killAt{0};
std::atomic<bool> failed{false};
}  // namespace

void FailNthFileCall(std::int64_t n) {
    failAt = n < 0 ? 0 : n;
    killAt = 0;
    calls = 0;
    failed = false;
}

void KillAtNthFileCall(std::int64_t n) {
    FailNthFileCall(0);
    killAt = n < 0 ? 0 : n;
}

std::int64_t FileCallCount() { return calls.load(); }

bool FileCallFailed() { return failed.load(); }

bool FileCallAllowed() noexcept {
    const std::int64_t n = ++calls;
    // The whole process, whichever thread makes the call; no buffer or handler runs.
    if (n == killAt.load(std::memory_order_relaxed)) {
        ::kill(::getpid(), SIGKILL);
        for (;;) ::pause();
    }
    if (n != failAt.load(std::memory_order_relaxed)) return true;
    failed = true;
    errno = EIO;
    return false;
}

void CountFileCall(const char* what, const std::filesystem::path& path) {
    if (!FileCallAllowed()) throw std::system_error(EIO, std::generic_category(), std::string(what) + " " + path.string());
}

}  // namespace common
