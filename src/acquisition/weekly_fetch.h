#pragma once

#include <string_view>

#include "acquisition/download_starter.h"

// The first step of every week: one stored-data fetch that replaces this week's five record
// files (RA races, SE runners, UM horses, KS jockeys, HR payouts).
namespace acquisition {

inline constexpr std::string_view kWeeklyFetchSid = "SA583920/SD271539/TALMOR7/ver.2020.7.21";
inline constexpr std::string_view kWeeklyDataSpec = "TOKURACETCVNRCVN";

inline constexpr std::string_view kFetchStartText = "今週開催取得開始しました。しばらくお待ち下さい。。。。。";
inline constexpr std::string_view kFetchEndText = "今週開催取得終了";
/// Text1 when the user cancelled the download: last week's files are as they were.
inline constexpr std::string_view kFetchCancelledText = "今週開催取得を中止しました。";
/// Text1 when the fetch did not end normally (the reason is in ERRORLOG.txt): last week's files
/// are as they were.
inline constexpr std::string_view kFetchFailedText = "今週開催取得に失敗しました。ERRORLOG.txtを確認して下さい。";
/// The main menu's Label1 when the fetch finds OPTION1N/STALLION.dat missing.
inline constexpr std::string_view kFetchWeightsMissingLabel =
    "まだ、予想因子ウエイトが展開されていません。タスクバーにある展開先の指定をクリックして自己解凍EXEを起動させて下さい。";

/// How a weekly fetch ended.
enum class WeeklyFetchOutcome {
    Done,       ///< the reads ended normally: the five files hold the new week
    Cancelled,  ///< the user cancelled the download: last week's files are untouched
    Failed,     ///< anything else (logged): last week's files are untouched
};

/// The weekly fetch, run by the main menu's button ①.
/// - Missing OPTION1N/STALLION.dat: asks for the weights (message, Label1, NEWSFX.EXE), goes on.
/// - Text1 gets the start text, pending events run.
/// - JVInit, then JVOpen of "TOKURACETCVNRCVN" into the starter's DownloadCount. An open error or
///   nothing to read ends the fetch with a message; a download runs under `runProgress`, and a
///   cancel there ends the fetch.
/// - Reads every record (RunStoredFetch): RA, SE, UM (not of data kind "9"), KS (stored form)
///   and HR go, in the order delivered, into scratch files beside RATHISWEEKN.dat,
///   SETHISWEEKN.dat, UMTHISWEEKN.dat, KSTHISWEEKN.dat and HRTHISWEEKN.dat (ScratchPathFor),
///   each held open for the whole fetch; other kinds are skipped. A record of another length
///   than its layout (one line: its tag, CR LF at its end and nowhere before) is stored at the
///   layout's length: blanks in place of the bytes it lacks, the bytes beyond the layout left
///   out, CR LF at its end. A record of the five kinds that is not one line, or of its length
///   but not whole (records::CheckRecord), is damaged: passed over and logged with the data
///   service's file and its number there. A damaged file is deleted and the open repeated (at
///   most kMaxReopensPerFile times per file); any other read error is reported.
/// - JVClose. When the reads ended at 0, every record was written and no damaged record was
///   passed over (by the fetch or by the data service, JVLink::RecordsPassedOver), the five
///   scratch files are renamed over the week files while WEEKLYFETCH.mark stands
///   (ReplaceUnderMark; reads that bring no record give five empty files) and Text1 gets the end
///   text. Otherwise the scratch files go, the week files stay byte for byte as they were, and
///   Text1 says that the fetch was cancelled or failed; a failure is written to ERRORLOG.txt with
///   the message it brought. A rename that fails leaves the mark standing, since the week files
///   are then partly new and partly old.
/// Messages and status texts go through the starter's host.
WeeklyFetchOutcome FetchThisWeek(DownloadStarter& starter, const ProgressRunner& runProgress);

}  // namespace acquisition
