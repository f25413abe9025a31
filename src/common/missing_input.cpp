#include "common/missing_input.h"

#include <system_error>

#include "common/error_log.h"

namespace common {

namespace fs = std::filesystem;

void InputCheck::Note(const fs::path& file, bool holdsSomething) {
    files_.push_back(file);
    if (holdsSomething) return;
    empty_.push_back(file);
    if (need_ == Need::Every) Log(file);
}

std::string_view InputCheck::Report() {
    if (empty_.empty()) return {};
    if (NothingToWorkOn()) {
        if (need_ == Need::Any && !reported_)
            for (const fs::path& file : empty_) Log(file);
        reported_ = true;
        return kNoInputPart;
    }
    return need_ == Need::Every ? kSomeInputsMissingPart : std::string_view{};
}

void InputCheck::Log(const fs::path& file) const {
    std::error_code ec;
    const bool there = fs::exists(file, ec);
    LogError(step_, file.filename().string() + (there ? " holds nothing to work on" : " is missing: nothing to work on"));
}

std::string PassedOverNote(const std::vector<std::string>& parts) {
    if (parts.empty()) return {};
    std::string note = "（";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) note += "、";
        note += parts[i];
    }
    return note + "。ERRORLOG.txtを確認して下さい。）";
}

}  // namespace common
