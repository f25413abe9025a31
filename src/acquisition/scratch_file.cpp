#include "acquisition/scratch_file.h"

#include <system_error>

#include "common/error_log.h"
#include "common/record_file.h"

namespace acquisition {

namespace fs = std::filesystem;

ScratchFileBase::ScratchFileBase(std::string_view step, fs::path target)
    : step_(step), target_(std::move(target)), scratch_(common::ScratchPathFor(target_)) {}

void ScratchFileBase::Replace() const {
    try {
        common::RenameFile(scratch_, target_);
    } catch (...) {
        std::error_code ignored;
        fs::remove(scratch_, ignored);
        throw;
    }
}

void ScratchFileBase::Discard() const { common::RemoveFile(scratch_); }

void ScratchFileBase::Lost(std::string_view reason, std::int64_t records) {
    if (!failed_) common::LogError(step_, reason);
    failed_ = true;
    lost_ += records;
}

void ScratchFileBase::LogLost() const {
    if (lost_ > 0)
        common::LogError(step_, std::to_string(lost_) + " records not written to " + target_.filename().string());
}

Replacement ReplaceUnderMark(std::string_view step, common::MarkedStep mark, const std::function<bool()>& replaceAll) {
    if (!common::PassOver(step, [&] { common::SetStepMark(mark); })) return Replacement::NotMarked;
    bool whole = false;
    common::PassOver(step, [&] { whole = replaceAll(); });
    // A mix of two fetches keeps its mark until a fetch replaces every file.
    if (!whole) return Replacement::Mixed;
    return common::PassOver(step, [&] { common::ClearStepMark(mark); }) ? Replacement::Whole : Replacement::MarkLeft;
}

std::vector<std::string> MarkLeftParts(Replacement replacement) {
    if (replacement != Replacement::MarkLeft) return {};
    return {"処理できなかった手順 1 件"};
}

std::string ReplacementFailure(Replacement replacement, common::MarkedStep mark, std::string_view files) {
    if (replacement == Replacement::NotMarked)
        return std::string(common::MarkOf(mark).markFile) + " could not be set (see above): the " + std::string(files) +
               " files were kept";
    return "not every " + std::string(files) + " file could be replaced (see above): " +
           std::string(common::MarkOf(mark).markFile) + " stands until the fetch has run again";
}

}  // namespace acquisition
