#pragma once

#include <filesystem>
#include <string_view>

// One program per application folder: every step reads what the step before wrote there, so a
// second program (or weekrun) working on the same files would mix two runs. The program and
// weekrun hold the same lock, on the same file.
namespace common {

/// The lock file in the application folder; it exists while a program works there.
inline constexpr std::string_view kInstanceLockFile = "TALMOR7.lock";

/// Shown (after AppFolder) when another program holds the folder; this one then ends.
inline constexpr std::string_view kAlreadyRunningMessage =
    "ではこのプログラムがすでに起動しています。同じフォルダで二つ同時には起動できません。";

/// Shown (after AppFolder) when no lock file can be opened there; this one then ends, since a
/// run that cannot hold its folder could run beside another.
inline constexpr std::string_view kCannotLockMessage =
    "ではロックファイルTALMOR7.lockを開けません。このフォルダでは起動できません。";

/// A lock on one application folder, held until the object goes.
class InstanceLock {
public:
    enum class Result {
        Held,           ///< this program now holds the folder
        HeldByAnother,  ///< a running program holds it
        Unavailable,    ///< no lock file can be opened there, not even for reading
    };

    /// `lockFile`: normally AppFolder / kInstanceLockFile.
    explicit InstanceLock(std::filesystem::path lockFile);
    /// Releases the lock and removes the file, when held.
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    /// Tries once, without waiting. The lock belongs to the open file, so the system releases it
    /// when its program is gone (ended by the logo, or crashed): a file left behind is taken over.
    /// A file that cannot be opened for writing is opened for reading: the lock needs no more.
    /// Each open is a call of the file layer (see file_faults.h).
    Result TryLock();

private:
    std::filesystem::path path_;
    int fd_ = -1;  // open and locked while held
};

}  // namespace common
