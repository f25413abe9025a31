#pragma once

#include <functional>
#include <string_view>

#include "acquisition/download_starter.h"

// This week's stored odds: quinella, exacta and trio in one fetch, trifecta in another, each
// record kept as a line of its odds line file (O2THISWEEKN.dat ... O6THISWEEKN.dat).
namespace acquisition {

/// The data spec of this week's odds.
inline constexpr std::string_view kWeekOddsDataSpec = "TOKURACETCOVRCOV";

/// Software ids of the two fetches.
inline constexpr std::string_view kWeekOddsSid = "SA583920/SD271539/TALMOR7THISWEEKN/ver.2020.3.2";
inline constexpr std::string_view kWeekTrifectaSid = "UNKNOWN";

/// End texts of the odds window's status box.
inline constexpr std::string_view kWeekOddsDone = "オッズ取得完了";
inline constexpr std::string_view kWeekTrifectaDone = "3連単オッズ取得完了";

/// The odds window's own status box.
using StatusText = std::function<void(std::string_view)>;

/// Quinella, exacta and trio odds of the week, on the odds window's own control, download count
/// and result flag (`starter`):
/// - empties O2THISWEEKN.dat, O4THISWEEKN.dat and O5THISWEEKN.dat;
/// - fetches "TOKURACETCOVRCOV" (RunStoredFetch: messages, followed download) and appends every
///   O2, O4 and O5 record, exactly as delivered, to its file; other kinds are skipped. A file
///   damaged with -403 is deleted and the open repeated; -402 is reported like any read error
///   ("JVReadエラー。 RC=-402") and ends the reads;
/// - JVClose; `setText1` gets "オッズ取得完了".
/// File failures are logged (ERRORLOG.txt) and the fetch goes on.
void FetchWeekOdds(DownloadStarter& starter, const ProgressRunner& runProgress, const StatusText& setText1);

/// Trifecta odds of the week: the same with O6THISWEEKN.dat only, the software id "UNKNOWN" and
/// the end text "3連単オッズ取得完了".
void FetchWeekTrifectaOdds(DownloadStarter& starter, const ProgressRunner& runProgress,
                           const StatusText& setText1);

}  // namespace acquisition
