#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/run_files.h"
#include "common/host.h"
#include "dataservice/jvlink.h"

// Race cancellation: a race or a runner called off after structure building is still in the sorted
// files. The breaking race, runner and payout records of the newest race dates are fetched, the
// cancelled ones (data kind "9") are written over their entries in the full copies, the working
// copies are rebuilt without kinds "1" and "9", and every horse's run file is rebuilt from them.
namespace acquisition {

/// The step's name in ERRORLOG.txt.
inline constexpr std::string_view kCancellationStep = "ApplyRaceCancellations";

/// Texts of the race-cancellation window's status box.
inline constexpr std::string_view kCancellationStartText = "中止処理中。。";
inline constexpr std::string_view kCancellationEndText =
    "中止処理終了コマンドボタンはソフトを完全に終了する時まではクリックしないで下さい。";
/// Instead of the end text when a part was passed over (the reasons are in ERRORLOG.txt).
inline constexpr std::string_view kCancellationIncompleteText =
    "中止処理の一部を処理できませんでした。ERRORLOG.txtを確認して下さい。";

/// Before the note that there was no race to work on.
inline constexpr std::string_view kCancellationNoInputStem = "中止処理終了";

enum class CancellationOutcome {
    Done,        ///< every part ran
    NoRaces,     ///< the sorted race file holds no race date: nothing fetched, nothing rewritten
    Incomplete,  ///< a part was passed over (logged); the files it would have rewritten stay whole
};

struct CancellationSummary {
    CancellationOutcome outcome = CancellationOutcome::Done;
    std::vector<std::string> dates;     // RecentRaceDates, newest first: one fetch each
    std::int64_t raAppended = 0;        // records appended to RARIALTIME.dat
    std::int64_t seAppended = 0;        // to SERIALTIME.dat
    std::int64_t hrAppended = 0;        // to HRRIALTIME.dat
    std::int64_t otherSkipped = 0;      // delivered records of other kinds
    std::int64_t raceRecordsMarked = 0; // full-copy race records overwritten by a "9" record
    std::int64_t runnerRecordsMarked = 0;
    std::int64_t races = -1;            // records of the rebuilt RATHISWEEKNNEW.dat (-1: not rebuilt)
    std::int64_t runners = -1;          // records of the rebuilt SETHISWEEKNNEW.dat (-1: not rebuilt)
    std::int64_t outputsKept = 0;       // working copies and run files left, as their source held no record
    RunFileSummary runFiles;
    std::int64_t failures = 0;          // parts passed over, each logged under kCancellationStep
    std::int64_t recordsPassedOver = 0; // damaged records, delivered or in the files read (each logged)
};

/// The cancellation processing, in this order; `setText1` writes the window's status box.
/// 1. Text1 <- "中止処理中。。"; pending events run once.
/// 2. RecentRaceDates of RATHISWEEKNNEW.dat. None: the file is named in ERRORLOG.txt as missing
///    or empty, message "該当するデータがありません。", Text1 says in brackets after "中止処理終了"
///    that there was no input, and nothing is fetched or rewritten (outcome NoRaces).
/// 3. FetchBreakingResultDates of those dates. Per date: JVInit (a result other than 0: "JVInitエラー。RC=" and the result; goes on),
///    JVRTOpen "0B12" with the date (a negative result: no reads; other than -1 it is logged),
///    reads until 0 or -203, JVClose. Every read that returns a positive length has exactly those
///    bytes decoded and packed; RA, SE and HR go to RARIALTIME.dat, SERIALTIME.dat and
///    HRRIALTIME.dat at record count + 1, other kinds are skipped. -1 and every other code read
///    on (-402 and -403 included: a breaking open has no stored file to delete and open again).
///    The reads of a date are bounded: kMaxBreakingResultReadsWithoutRecord reads in a row without a
///    record end them, logged with the last code.
/// 4. Every "9" record of RARIALTIME.dat is written over every record of RATHISWEEKNNEWd.dat with
///    the same race match key (Year, JyoCD, Kaiji, Nichiji, RaceNum: not MonthDay), so a race the
///    full copy holds under two data kinds is marked under both. A later "9" record of one key
///    wins over an earlier one.
/// 5. RATHISWEEKNNEW.dat <- the records of RATHISWEEKNNEWd.dat whose DataKubun is neither "1" nor
///    "9", in order, through the scratch file TEMPORARY and a rename.
/// 6., 7. The same for runners: SERIALTIME.dat over SETHISWEEKNNEWd.dat by the runner match key
///    (the race match key and Umaban), then SETHISWEEKNNEW.dat.
/// 8. The run file of every horse of KETTONUMTHISWEEKN.dat from the new SETHISWEEKNNEW.dat
///    (WriteHorseRunFiles). A list that is missing or holds nothing is named in ERRORLOG.txt and
///    told, and the run files stay as they are.
/// 9. Text1 <- the end text, or the incomplete text when a part was passed over; the end text
///    with a note of their count when damaged records were passed over.
/// Every file read and every delivered record is checked (records::CheckRecord): a damaged
/// record is passed over and logged, and a shifted one ends the reading of its file.
/// Each part is its own sub-step: a failure is logged and counted, the file it was rewriting stays
/// whole, and the parts that read that file do not run (the one there is the last run's): their
/// outputs stay as they are, named in the log and in the end text's note. A missing full copy
/// fails its parts rather than emptying the working copy. A full copy with a damaged record or a
/// torn tail is neither marked nor rebuilt from: it and its working copy stay as they are. A full
/// copy without a record leaves the working copy as it is, and a working runner copy that was not
/// rebuilt the run files; each such output that holds something is logged and counted in the end
/// text's note. CANCELLATION.mark stands from the start of the run to its end; when
/// the mark of structure building stands, the end text names it in brackets.
CancellationSummary ApplyRaceCancellations(dataservice::JVLink& link, common::Host& host,
                                           const std::function<void(std::string_view)>& setText1);

}  // namespace acquisition
