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

void ScratchFileBase::Lost(std::string_view reason) {
    if (lost_++ == 0) common::LogError(step_, reason);
}

void ScratchFileBase::LogLost() const {
    if (lost_ > 0)
        common::LogError(step_, std::to_string(lost_) + " records not written to " + target_.filename().string());
}

}  // namespace acquisition
