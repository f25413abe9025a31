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

bool KeepOutput(std::string_view step, const fs::path& output, const fs::path& input) {
    std::error_code ec;
    const bool holds = fs::is_directory(output, ec) ? !fs::is_empty(output, ec) : fs::file_size(output, ec) > 0;
    if (ec || !holds) return false;
    LogError(step, output.filename().string() + " left as it was: " + input.filename().string() +
                       " holds nothing to build it from");
    return true;
}

std::string KeptOutputsPart(std::int64_t outputs) {
    return "前回のまま残した出力 " + std::to_string(outputs) + " 件";
}

std::string PassedOverNote(const std::vector<std::string>& parts, std::string_view runFirst) {
    if (parts.empty() && runFirst.empty()) return {};
    std::string note = "（";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) note += "、";
        note += parts[i];
    }
    if (!runFirst.empty()) {
        if (!parts.empty()) note += "。";
        note += runFirst;
    }
    return note + "。ERRORLOG.txtを確認して下さい。）";
}

}  // namespace common
