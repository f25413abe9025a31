#pragma once

#include <exception>
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

/// The values of TEKICHU/<key><suffix> (key already checked), read whole into `buffer`: a buffer
/// handed on from day to day (take it back with Release), so that no file costs fresh memory. A
/// missing file gives no values; one that is there but cannot be read gives none either, and why is
/// kept in `failure` for the caller to log in its turn (LogReadFailure). A value that cannot be
/// read is logged under `step` with the file and its line; the reader counts them.
common::WrittenFieldReader ReadStoredDay(std::string_view key, std::string_view suffix, std::string_view step,
                                         std::string& buffer, std::exception_ptr& failure);

/// Logs under `step` why a stored day file could not be read; true when it could not.
bool LogReadFailure(std::string_view step, const std::exception_ptr& failure);

/// Whether TEKICHU/<key><suffix> is there.
bool StoredDayFileExists(std::string_view key, std::string_view suffix);

/// A stored value (CP932) as shown in a window (UTF-8).
std::string Shown(std::string_view cp932);

}  // namespace history
