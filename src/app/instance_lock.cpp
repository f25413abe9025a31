#include "app/instance_lock.h"

#include <QLockFile>
#include <QString>

namespace app {

InstanceLock::InstanceLock(const std::filesystem::path& lockFile)
    : lock_(std::make_unique<QLockFile>(QString::fromStdString(lockFile.string()))) {
    // Held for the whole run, however long: only a lock whose program is gone is stale.
    lock_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

InstanceLock::Result InstanceLock::TryLock() {
    if (lock_->tryLock(0)) return Result::Held;
    return lock_->error() == QLockFile::LockFailedError ? Result::HeldByAnother : Result::Unavailable;
}

}  // namespace app
