#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

/// A stored day file as read, for its values to be read apart from the day's file and host calls.
struct StoredDayRead {
    std::string buffer;  // holds the file's content in its first `size` bytes; kept from day to day
    std::size_t size = 0;
    std::exception_ptr failure;  // why a file that is there could not be read, logged in its turn
};

/// Goes through the stored days `keys` in order: reads TEKICHU/<key><suffix> of each (a missing
/// file gives no bytes), then parse(day, read) reads the day's values, making no file or host call
/// (it keeps what it would log or show), and take(day, read) does the day's file and host calls
/// (logging first a failed read, LogReadFailure).
void ParseStoredDays(const std::vector<std::string>& keys, std::string_view suffix,
                     const std::function<void(std::size_t day, StoredDayRead& read)>& parse,
                     const std::function<void(std::size_t day, StoredDayRead& read)>& take);

/// The values of a day read by ParseStoredDays, for parse: the reason of a value that cannot be
/// read is added to `reasons`. Hand the buffer back with ReleaseStoredDay.
common::WrittenFieldReader StoredDayValues(std::string_view key, std::string_view suffix, StoredDayRead& read,
                                           std::vector<std::string>& reasons);
void ReleaseStoredDay(common::WrittenFieldReader&& values, StoredDayRead& read);

/// Logs under `step` why the day could not be read; true when it could not.
bool LogReadFailure(std::string_view step, const StoredDayRead& read);

/// Whether TEKICHU/<key><suffix> is there.
bool StoredDayFileExists(std::string_view key, std::string_view suffix);

/// A stored value (CP932) as shown in a window (UTF-8).
std::string Shown(std::string_view cp932);

}  // namespace history
