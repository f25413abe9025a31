#include "common/instance_lock.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/file_faults.h"

namespace common {

InstanceLock::InstanceLock(std::filesystem::path lockFile) : path_(std::move(lockFile)) {}

InstanceLock::~InstanceLock() {
    if (fd_ < 0) return;
    // Removed while still locked, so that whoever opens the name next makes a new file; a file
    // that cannot be removed is harmless, the next start takes it over.
    ::unlink(path_.c_str());
    ::close(fd_);
}

InstanceLock::Result InstanceLock::TryLock() {
    if (fd_ >= 0) return Result::Held;
    // A few rounds at most: each one lost only to a holder that removed the file meanwhile.
    for (int round = 0; round < 8; ++round) {
        // Not inherited by programs this one starts: they must not keep the folder locked.
        int fd = FileCallAllowed() ? ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644) : -1;
        // A lock file this user may not write (another user's run left it) still takes the lock:
        // flock needs only an open file, whatever its mode.
        if (fd < 0 && FileCallAllowed()) fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return Result::Unavailable;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            return error == EWOULDBLOCK ? Result::HeldByAnother : Result::Unavailable;
        }
        // The holder before may have removed the name between our open and our lock: then the
        // lock is on a file nobody else will find, and the name must be opened again.
        struct stat opened {}, named {};
        if (::fstat(fd, &opened) == 0 && ::stat(path_.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
            opened.st_ino == named.st_ino) {
            fd_ = fd;
            return Result::Held;
        }
        ::close(fd);
    }
    return Result::Unavailable;
}

}  // namespace common
