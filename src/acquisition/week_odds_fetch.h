#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/download_starter.h"
#include "acquisition/odds_line_file.h"

// This week's stored odds: quinella, exacta and trio in one fetch, trifecta in another, each
// record kept as a line of its odds line file (O2THISWEEKN.dat ... O6THISWEEKN.dat).
namespace acquisition {

/// The data spec of this week's odds.
inline constexpr std::string_view kWeekOddsDataSpec = "TOKURACETCOVRCOV";

/// What the odds window's data service keeps of the files one fetch read, for the other: both
/// read the same stored files (about 71 MB in a full week, most of it race history).
inline constexpr std::size_t kWeekOddsKeptBytes = std::size_t{96} << 20;

/// Software ids of the two fetches.
inline constexpr std::string_view kWeekOddsSid = "SA583920/SD271539/TALMOR7THISWEEKN/ver.2020.3.2";
inline constexpr std::string_view kWeekTrifectaSid = "UNKNOWN";

/// End texts of the odds window's status box: the fetch brought every kind it keeps and replaced
/// their files.
inline constexpr std::string_view kWeekOddsDone = "オッズ取得完了";
inline constexpr std::string_view kWeekTrifectaDone = "3連単オッズ取得完了";
/// The user cancelled the download: the odds files are as they were.
inline constexpr std::string_view kWeekOddsCancelled = "オッズ取得を中止しました。";
inline constexpr std::string_view kWeekTrifectaCancelled = "3連単オッズ取得を中止しました。";
/// The fetch did not end normally (the reason is in ERRORLOG.txt): the odds files are as they were.
inline constexpr std::string_view kWeekOddsFailed = "オッズ取得に失敗しました。ERRORLOG.txtを確認して下さい。";
inline constexpr std::string_view kWeekTrifectaFailed = "3連単オッズ取得に失敗しました。ERRORLOG.txtを確認して下さい。";

/// The odds window's own status box.
using StatusText = std::function<void(std::string_view)>;

/// How an odds fetch ended.
enum class WeekOddsOutcome {
    Done,       ///< the reads ended normally (or there was nothing to read): see withoutOdds
    Cancelled,  ///< the user cancelled the download: the odds files are untouched
    Failed,     ///< anything else (logged): the odds files are untouched, or see below
};

/// What an odds fetch did.
struct WeekOddsSummary {
    WeekOddsOutcome outcome = WeekOddsOutcome::Failed;
    /// Done: the kinds the fetch brought no record of; their files were kept as they were, and
    /// each is named in ERRORLOG.txt and in the end text.
    std::vector<OddsKind> withoutOdds;
    /// Done: the fetch's mark could not be removed (logged, named in the end text).
    bool markLeft = false;
    /// The end text written to the status box.
    std::string endText;

    /// True when the fetch brought every kind it keeps and replaced their files: the end text is
    /// the plain "オッズ取得完了" or "3連単オッズ取得完了".
    bool PlainSuccess() const { return outcome == WeekOddsOutcome::Done && withoutOdds.empty() && !markLeft; }
};

/// Quinella, exacta and trio odds of the week, on the odds window's own control, download count
/// and result flag (`starter`):
/// - fetches "TOKURACETCOVRCOV" (RunStoredFetch: messages, followed download) and writes every
///   O2, O4 and O5 record, exactly as delivered, as a line of the scratch file (ScratchPathFor)
///   of O2THISWEEKN.dat, O4THISWEEKN.dat or O5THISWEEKN.dat, opened at the kind's first record;
///   other kinds are skipped. A file damaged with -403 is deleted and the open repeated; -402 is
///   reported like any read error ("JVReadエラー。 RC=-402") and ends the reads;
/// - JVClose. When the reads ended at 0, every record was written and the data service passed no
///   damaged record over, each kind's scratch file is renamed over its odds file while
///   ODDSFETCH.mark stands (ReplaceUnderMark), and `setText1` gets "オッズ取得完了"; a kind of which no record
///   came (or nothing to read at all) keeps its odds file as it was, is named in ERRORLOG.txt,
///   and the end text names it in a note ("（3連複オッズがありません。ERRORLOG.txtを確認して下さい。）").
///   Otherwise the scratch files go and the odds files stay byte for byte as they were; the end
///   text says that the fetch was cancelled or failed, a failure written to ERRORLOG.txt with the
///   message it brought. A rename that fails (logged, failure text) leaves the kinds renamed
///   before it new and whole, the others as they were.
/// File failures are logged (ERRORLOG.txt); the service is closed and the end text written
/// whatever happened.
WeekOddsSummary FetchWeekOdds(DownloadStarter& starter, const ProgressRunner& runProgress, const StatusText& setText1);

/// Trifecta odds of the week: the same with O6THISWEEKN.dat only, TRIFECTAFETCH.mark, the
/// software id "UNKNOWN" and
/// the end texts "3連単オッズ取得完了", "3連単オッズ取得を中止しました。" and
/// "3連単オッズ取得に失敗しました。ERRORLOG.txtを確認して下さい。".
WeekOddsSummary FetchWeekTrifectaOdds(DownloadStarter& starter, const ProgressRunner& runProgress,
                                      const StatusText& setText1);

}  // namespace acquisition
