#pragma once

#include <cstdint>
#include <filesystem>

// A switch for tests: it makes the n-th call of the file layer fail as an I/O error would, so that
// every way a step can meet a failing disk is walked by a test and not only by reading the code;
// or it ends the process there, as a kill or a power cut would.
// Every open, read, write, close, rename, removal and folder creation of the program goes through
// the file layer and is counted here.
namespace common {

/// From now on the n-th file call (1-based) fails with EIO; 0 turns the switch off. Either way
/// the count starts again from zero and no call ends the process.
void FailNthFileCall(std::int64_t n);

/// From now on the process ends at the n-th file call (1-based), just before making it, as a
/// kill would end it: at once, by SIGKILL, flushing nothing. 0 turns it off; either way the count
/// starts again from zero and no call is made to fail.
void KillAtNthFileCall(std::int64_t n);

/// File calls made since the last FailNthFileCall or KillAtNthFileCall (all of them, whether the switch is on or off).
std::int64_t FileCallCount();

/// True when the switch has made a call fail since the last FailNthFileCall.
bool FileCallFailed();

/// Counts one file call. Returns false (errno set to EIO) when it is the one chosen to fail; the
/// caller then fails as it does for a real error.
[[nodiscard]] bool FileCallAllowed() noexcept;

/// Counts one file call; throws std::system_error (EIO) with "<what> <path>" when it is the one
/// chosen to fail.
void CountFileCall(const char* what, const std::filesystem::path& path);

}  // namespace common
