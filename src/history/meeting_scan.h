#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"

// Stored meeting days: the day files that earlier result-mode runs left in TEKICHU, found by
// listing the folder once and keeping the names whose key lies in the range the program looks at.
namespace history {

/// True when `key` is 14 digits whose parts lie in the scan's ranges: year 2024 to 2028, month
/// 01 to 12, day 01 to 31 (impossible dates included), course 01 to 10, meeting 01 to 07, day
/// of the meeting 01 to 12.
bool InScanRange(std::string_view key);

/// The 14-digit keys of the entries of `folder` named key + `suffix` that lie in the scan's
/// range, in scan order: newest date first, on one date course, meeting and day ascending.
/// A missing folder gives none; a folder that cannot be listed throws.
std::vector<std::string> StoredDayKeys(const std::string& folder, std::string_view suffix);

/// What one window's scan does with the days it meets.
struct MeetingScan {
    std::string_view step;      // step name for ERRORLOG.txt
    std::string_view suffix;    // the day file that marks a stored day ("tekichu.txt", "lupRCM.txt")
    std::function<void(const std::string& key)> probe;  // run once per stored day, in scan order
    std::function<void()> letEventsRun;                 // after each date's status; empty: none run
};

/// How the TEKICHU folder was met.
enum class TekichuFolder { Missing, Unlisted, Listed };

/// The stored days the scan meets: their keys, in scan order, into `keys`. A folder that cannot
/// be listed is logged under the scan's step and gives none.
TekichuFolder ListMeetingKeys(const MeetingScan& scan, std::vector<std::string>& keys);

/// The scan's turn of keys[day] before its probe: at the first day of a date, Text6's
/// "yyyy年mm月dd日検索中", then window events when asked.
void MeetDay(common::Host& host, const MeetingScan& scan, const std::vector<std::string>& keys, std::size_t day);

/// The meeting-day scan over AppFolder/TEKICHU: lists the folder once, then for each date that
/// has a stored day sets Text6 to "yyyy年mm月dd日検索中", lets window events run when asked, and
/// runs the probe for each of that date's days. A folder that cannot be listed is logged under
/// the scan's step and probes nothing.
TekichuFolder ScanMeetingKeys(common::Host& host, const MeetingScan& scan);

/// The past-results window's day list: `List1` lines (UTF-8) and their keys, newest first.
struct PastDayList {
    std::vector<std::string> lines;
    std::vector<std::string> keys;
    int passedOver = 0;  // failures written to ERRORLOG.txt
    std::vector<std::string> unfinishedInputs;  // end-text parts: marked steps whose files were read unfinished
};

/// The `List1` line of a day: the six title values joined, 18 half-width blanks, the key.
std::string PastDayLine(const std::vector<std::string>& titleUtf8, std::string_view key);

/// The key of a `List1` line: its last 14 characters, when they are 14 digits.
std::optional<std::string> KeyOfPastDayLine(std::string_view line);

/// The day-key list the scan writes and the index rebuild reads.
inline constexpr std::string_view kDayKeyList = "TEKICHU/RACEIDYMDLKN.txt";

/// The past-results window's scan: every stored day whose tekichu.txt starts with a title, and
/// TEKICHU/RACEIDYMDLKN.txt rewritten with their keys (not written when TEKICHU is missing,
/// written empty when it cannot be listed). A stored day whose tekichu.txt holds nothing is
/// logged and counted, and the list then stays as it was. Names the marked steps whose files it
/// reads unfinished (logged). Window events do not run.
PastDayList ScanTekichuDays(common::Host& host);

}  // namespace history
