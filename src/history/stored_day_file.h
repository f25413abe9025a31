#pragma once

#include <string>
#include <string_view>

#include "common/text_file.h"

// Reading a stored day file of TEKICHU back: one sequence of comma-separated values across its
// lines, quotes removed.
namespace history {

/// The values of TEKICHU/<key><suffix> (key already checked). A missing file gives no values; one
/// that is there but cannot be read is logged under `step`, gives no values and raises
/// `unreadable`. A value that cannot be read is logged under `step` with the file and its line;
/// the reader counts them (UnreadableFields).
common::WrittenFieldReader StoredDayFile(std::string_view key, std::string_view suffix, std::string_view step,
                                         int& unreadable);
/// The same, read into `buffer` (moved into the reader; its Release gives it back for the next day).
common::WrittenFieldReader StoredDayFile(std::string_view key, std::string_view suffix, std::string_view step,
                                         int& unreadable, std::string& buffer);

/// Whether TEKICHU/<key><suffix> is there.
bool StoredDayFileExists(std::string_view key, std::string_view suffix);

/// A stored value (CP932) as shown in a window (UTF-8).
std::string Shown(std::string_view cp932);

}  // namespace history
