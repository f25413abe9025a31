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
/// The main menu's Label1 when the fetch finds OPTION1N/STALLION.dat missing.
inline constexpr std::string_view kFetchWeightsMissingLabel =
    "まだ、予想因子ウエイトが展開されていません。タスクバーにある展開先の指定をクリックして自己解凍EXEを起動させて下さい。";

/// The weekly fetch, run by the main menu's button ①.
/// - Missing OPTION1N/STALLION.dat: asks for the weights (message, Label1, NEWSFX.EXE), goes on.
/// - Text1 gets the start text, pending events run; the five week files are deleted.
/// - JVInit, then JVOpen of "TOKURACETCVNRCVN" into the starter's DownloadCount. An open error or
///   nothing to read ends the fetch with a message; a download runs under `runProgress`, and a
///   cancel there ends the fetch with the week files left deleted.
/// - Reads every record (RunStoredFetch): RA, SE, UM (not of data kind "9"), KS (stored form)
///   and HR go, in the order delivered, into RATHISWEEKN.dat, SETHISWEEKN.dat, UMTHISWEEKN.dat,
///   KSTHISWEEKN.dat and HRTHISWEEKN.dat, each held open for the whole fetch; other kinds are
///   skipped. The five are opened as new, empty files just before the first read, so reads that
///   bring no record (or fail at once) leave them empty. A damaged file is deleted and the open
///   repeated (at most kMaxReopensPerFile times per file); any other read error is reported.
/// - JVClose; Text1 gets the end text.
/// Messages and status texts go through the starter's host. File-system failures are passed over
/// one sub-step at a time and written to ERRORLOG.txt.
void FetchThisWeek(DownloadStarter& starter, const ProgressRunner& runProgress);

}  // namespace acquisition
