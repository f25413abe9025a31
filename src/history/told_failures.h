#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/missing_input.h"

// How the windows of past performance tell the user about what they passed over: the details are
// in ERRORLOG.txt, the user learns that there are some.
namespace history {

/// Told when a window met a file that is there but could not be read whole.
inline constexpr std::string_view kUnreadableFileMessage = "読めないファイルがありました。ERRORLOG.txtを見て下さい。";

/// A step's end text in Text6, followed by "　エラー" n "件（ERRORLOG.txt）" when it passed n
/// failures over, and by the note of `notes` (marked steps whose files it read unfinished).
inline std::string EndTextWithFailures(std::string_view endText, int failures, const std::vector<std::string>& notes = {}) {
    std::string text(endText);
    if (failures > 0) text += "　エラー" + std::to_string(failures) + "件（ERRORLOG.txt）";
    return text + common::PassedOverNote(notes);
}

}  // namespace history
