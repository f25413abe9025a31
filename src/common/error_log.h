#pragma once

#include <string>
#include <string_view>
#include <vector>

// Failures that a step passes over are written down here, so none is silently reported as success.
namespace common {

/// Appends "<local date time> [step] reason" and CR LF to ERRORLOG.txt in AppFolder (UTF-8).
/// Control characters in step and reason are written as \r, \n, \t or \xNN, so that every
/// entry stays one line. Never throws.
void LogError(std::string_view step, std::string_view reason) noexcept;

/// The entries ("<date time> [step] reason", without line end) that could not be written to
/// ERRORLOG.txt since the last call, oldest first, so that the caller shows them another way
/// (standard error, a message box). Thread-safe.
std::vector<std::string> TakeUnwrittenLogEntries();

/// Runs one sub-step: a failure is logged under `step` and swallowed. Returns true on success.
template <class F>
bool PassOver(std::string_view step, F&& subStep) noexcept;

}  // namespace common

#include <exception>

namespace common {
template <class F>
bool PassOver(std::string_view step, F&& subStep) noexcept {
    try {
        subStep();
        return true;
    } catch (const std::exception& e) {
        LogError(step, e.what());
    } catch (...) {
        LogError(step, "unknown failure");
    }
    return false;
}
}  // namespace common
