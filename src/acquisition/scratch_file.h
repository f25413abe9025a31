#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/step_marks.h"

// A file that a fetch writes whole or not at all. What the fetch brings goes into a scratch file
// beside the file (ScratchPathFor), held open for the whole fetch: a full week brings some
// 150 000 runner records, and opening the file once per record would cost more than the records
// themselves. Only a fetch that ends normally puts the scratch file in the file's place, so a
// fetch that is cancelled, fails or is killed half way leaves the old file as it was.
// A failed write is passed over: the first of a file is logged, and the records lost (an
// appender that writes a block at a time loses the whole block) are counted and logged when the
// file closes; the file then no longer holds the whole fetch.
namespace acquisition {

/// The part that does not depend on how the scratch file is written.
class ScratchFileBase {
public:
    /// `step` names the failures in ERRORLOG.txt; `target` is the file the fetch replaces.
    ScratchFileBase(std::string_view step, std::filesystem::path target);

    const std::filesystem::path& Target() const { return target_; }

    /// True when the scratch file was opened, took everything written to it and closed.
    bool Sound() const { return closed_ && lost_ == 0; }

    /// The scratch file takes the file's place; one that cannot goes. Throws when the rename
    /// fails.
    void Replace() const;

    /// The scratch file of a fetch that did not end normally goes; the file stays as it was.
    void Discard() const;

protected:
    const std::filesystem::path& Scratch() const { return scratch_; }
    /// Notes a write that did not reach the scratch file and the records it lost (the first
    /// failed write is logged with `reason`).
    void Lost(std::string_view reason, std::int64_t records);
    /// Notes a write to a scratch file that never opened (its open was logged).
    void LostUnopened() { ++lost_; }
    /// Notes records lost when the file closed (the failure is the caller's to log).
    void LostAtClose(std::int64_t records) { lost_ += records; }
    /// Logs how many writes were lost, if any.
    void LogLost() const;
    void MarkClosed() { closed_ = true; }

private:
    std::string step_;
    std::filesystem::path target_;
    std::filesystem::path scratch_;
    std::int64_t lost_ = 0;
    bool failed_ = false;
    bool closed_ = false;
};

/// A scratch file written through `Appender` (common::RecordAppender, common::TextAppender): an
/// appender that opens as (path, its own arguments..., truncate) and has Close().
template <class Appender>
class ScratchFile : public ScratchFileBase {
public:
    using ScratchFileBase::ScratchFileBase;

    /// Opens the scratch file as a new, empty file; `args` go to the appender before its truncate
    /// flag. Throws when it cannot be opened.
    template <class... Args>
    void Open(const Args&... args) {
        file_.emplace(Scratch(), args..., /*truncate=*/true);
    }

    bool IsOpen() const { return file_.has_value(); }

    /// Writes one record with `write(appender)`; a failure is passed over (see above).
    template <class Write>
    void Append(Write&& write) {
        if (!file_) {
            LostUnopened();
            return;
        }
        const std::int64_t before = Taken();
        try {
            write(*file_);
        } catch (const std::exception& e) {
            // The record itself, and the records the appender held and dropped with it.
            Lost(e.what(), before + 1 - Taken());
        }
    }

    /// Closes the scratch file (a file that never opened has nothing to close). Throws when the
    /// close fails.
    void Close() {
        if (!file_) {
            LogLost();
            return;
        }
        // Closed once, even when the close fails.
        struct Reset {
            std::optional<Appender>& f;
            ~Reset() { f.reset(); }
        } reset{file_};
        const std::int64_t before = Taken();
        try {
            file_->Close();
        } catch (...) {
            LostAtClose(before - Taken());
            LogLost();
            throw;
        }
        LogLost();
        MarkClosed();
    }

private:
    // Records the appender has taken, for an appender that counts them (common::RecordAppender
    // drops what it held when a block cannot be written); 0 for one that writes each at once.
    std::int64_t Taken() const {
        if constexpr (requires(const Appender& a) { a.Count(); }) return file_->Count();
        else return 0;
    }

    std::optional<Appender> file_;
};

/// How a fetch's files were put in place of the old (ReplaceUnderMark).
enum class Replacement {
    Whole,      ///< every file replaced, the mark removed
    MarkLeft,   ///< every file replaced, but the mark could not be removed (logged)
    NotMarked,  ///< the mark could not be set (logged): nothing was replaced
    Mixed,      ///< a rename failed (logged): the files are partly new, partly old, and the mark stands
};

/// Puts a fetch's files in place of the old ones: `replaceAll` renames them (false when a rename
/// failed) while `mark` stands, so that a run ended between two renames is named by the start-up
/// and by the steps that read the files. Failures are logged under `step`.
Replacement ReplaceUnderMark(std::string_view step, common::MarkedStep mark, const std::function<bool()>& replaceAll);

/// The parts of a fetch's end-text note (common::PassedOverNote) for a replacement that left
/// its mark standing; none otherwise.
std::vector<std::string> MarkLeftParts(Replacement replacement);

/// ERRORLOG.txt's reason for a replacement that did not happen or mixed two fetches; `files`
/// names them ("week", "odds").
std::string ReplacementFailure(Replacement replacement, common::MarkedStep mark, std::string_view files);

}  // namespace acquisition
