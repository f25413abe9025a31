#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// A file that a fetch writes whole or not at all. What the fetch brings goes into a scratch file
// beside the file (ScratchPathFor), held open for the whole fetch: a full week brings some
// 150 000 runner records, and opening the file once per record would cost more than the records
// themselves. Only a fetch that ends normally puts the scratch file in the file's place, so a
// fetch that is cancelled, fails or is killed half way leaves the old file as it was.
// A failed write is passed over: the first of a file is logged, the rest are counted and logged
// when the file closes; the file then no longer holds the whole fetch.
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
    /// Notes a write that did not reach the scratch file (the first one is logged with `reason`).
    void Lost(std::string_view reason);
    /// Notes a write to a scratch file that never opened (its open was logged).
    void LostUnopened() { ++lost_; }
    /// Logs how many writes were lost, if any.
    void LogLost() const;
    void MarkClosed() { closed_ = true; }

private:
    std::string step_;
    std::filesystem::path target_;
    std::filesystem::path scratch_;
    std::int64_t lost_ = 0;
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

    /// Writes with `write(appender)`; a failure is passed over (see above).
    template <class Write>
    void Append(Write&& write) {
        if (!file_) {
            LostUnopened();
            return;
        }
        try {
            write(*file_);
        } catch (const std::exception& e) {
            Lost(e.what());
        }
    }

    /// Closes the scratch file (a file that never opened has nothing to close). Throws when the
    /// close fails.
    void Close() {
        LogLost();
        if (!file_) return;
        // Closed once, even when the close fails.
        struct Reset {
            std::optional<Appender>& f;
            ~Reset() { f.reset(); }
        } reset{file_};
        file_->Close();
        MarkClosed();
    }

private:
    std::optional<Appender> file_;
};

}  // namespace acquisition
