#pragma once

#include <exception>
#include <functional>
#include <string>

#include "reports/report_lines.h"
#include "workbench/race_writer.h"

// A race's block of a day file made ahead of its write: the block starts with the day's head
// lines only when it starts the file, which is known only in its turn, so both parts are made.
namespace reports {

class DayBlockDraft final : public workbench::RaceDraft {
public:
    /// Makes the head lines and the race's own lines, each with what it leaves out; a failure
    /// met making a part is kept for Block.
    DayBlockDraft(const std::function<std::string(LineNotes&)>& head, const std::function<std::string(LineNotes&)>& body);

    /// The block for a file that is new or not, as composing it then would give: its notes are
    /// added to `notes`, and a failure met making one of its parts is thrown.
    std::string Block(bool newFile, LineNotes& notes) const;

private:
    struct Part {
        std::string text;
        LineNotes notes;
        std::exception_ptr failed;
    };
    static Part Make(const std::function<std::string(LineNotes&)>& make);

    Part head_, body_;
};

}  // namespace reports
