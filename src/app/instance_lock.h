#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

class QLockFile;

// One program per application folder: every step reads what the step before wrote there, so a
// second program working on the same files would mix two runs.
namespace app {

/// The lock file in the application folder; it exists while a program works there.
inline constexpr std::string_view kInstanceLockFile = "TALMOR7.lock";

/// Shown (after AppFolder) when another program holds the folder; this one then ends.
inline constexpr std::string_view kAlreadyRunningMessage =
    "ではこのプログラムがすでに起動しています。同じフォルダで二つ同時には起動できません。";

/// A lock on one application folder, held until the object goes.
class InstanceLock {
public:
    enum class Result {
        Held,           ///< this program now holds the folder
        HeldByAnother,  ///< a running program holds it
        Unavailable,    ///< no lock file can be made there (a folder that cannot be written)
    };

    /// `lockFile`: normally AppFolder / kInstanceLockFile.
    explicit InstanceLock(const std::filesystem::path& lockFile);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    /// Tries once, without waiting. A lock left by a program that is gone (ended by the logo,
    /// or crashed) is taken over.
    Result TryLock();

private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace app
