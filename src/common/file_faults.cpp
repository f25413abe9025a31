#include "common/file_faults.h"

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

namespace common {

namespace {
// Atomic: the computation writes its horses' files from several threads.
std::atomic<std::int64_t> calls{0};
std::atomic<std::int64_t> failAt{0};
std::atomic<bool> failed{false};
}  // namespace

void FailNthFileCall(std::int64_t n) {
    failAt = n < 0 ? 0 : n;
    calls = 0;
    failed = false;
}

std::int64_t FileCallCount() { return calls.load(); }

bool FileCallFailed() { return failed.load(); }

bool FileCallAllowed() noexcept {
    const std::int64_t n = ++calls;
    if (n != failAt.load(std::memory_order_relaxed)) return true;
    failed = true;
    errno = EIO;
    return false;
}

void CountFileCall(const char* what, const std::filesystem::path& path) {
    if (!FileCallAllowed()) throw std::system_error(EIO, std::generic_category(), std::string(what) + " " + path.string());
}

}  // namespace common
