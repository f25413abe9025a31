#include "reports/day_block_draft.h"

namespace reports {

DayBlockDraft::DayBlockDraft(const std::function<std::string(LineNotes&)>& head,
                             const std::function<std::string(LineNotes&)>& body)
    : head_(Make(head)), body_(Make(body)) {}

DayBlockDraft::Part DayBlockDraft::Make(const std::function<std::string(LineNotes&)>& make) {
    Part part;
    try {
        part.text = make(part.notes);
    } catch (...) {
        part.failed = std::current_exception();
    }
    return part;
}

std::string DayBlockDraft::Block(bool newFile, LineNotes& notes) const {
    std::string block;
    const auto add = [&](const Part& part) {
        if (part.failed) std::rethrow_exception(part.failed);
        notes.insert(notes.end(), part.notes.begin(), part.notes.end());
        block += part.text;
    };
    if (newFile) add(head_);
    add(body_);
    return block;
}

}  // namespace reports
