#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/host.h"

// The day-before fix (button ④ of the expansion window): brings this week's entries to the state
// the predictions assume on the day before the races. The last run of every horse of the week gets
// the previous run's body weight (440 for a debutant), no time difference, and the jockey and
// weight carried of its "Before" fields where those are set; the week's races get fine weather and
// good going ("1", "1", "1"): in prediction mode the races of data kind "1", in result mode (the
// last race record has data kind "7") every race that has a payout record, whose keys then become
// the race list RACETHISWEEKN.dat.
namespace engine {

// Declared only: the expansion window includes this header, and the record layouts behind
// ExRecord use the name `slots`, which Qt defines as a macro.
class ExRecord;

/// The step's name in ERRORLOG.txt.
inline constexpr std::string_view kDayBeforeFixStep = "FixPreviousDay";
/// The expansion window's Text1 when the fix has run.
inline constexpr std::string_view kDayBeforeFixDone = "前日固定終了";
/// Shown when a part of the fix was passed over (the reasons are in ERRORLOG.txt).
inline constexpr std::string_view kDayBeforeFixIncomplete =
    "前日固定の一部を処理できませんでした。ERRORLOG.txtを確認して下さい。";
/// The week's race list that result mode rewrites, under AppFolder.
inline constexpr std::string_view kRaceWeekListFile = "RACETHISWEEKN.dat";
/// The body weight a horse without an earlier run is given.
inline constexpr std::string_view kDebutBodyWeight = "440";

/// The expansion window's controls that the fix drives.
struct DayBeforeFixControls {
    std::function<void(std::string_view)> setText1;  // Text1
    std::function<void(int)> setProgressBar1;         // ProgressBar1, 0 to 100
};

struct DayBeforeFixSummary {
    std::int64_t horses = 0;          // entries of KETTONUMTHISWEEKN.dat
    std::int64_t lastEntriesFixed = 0;// run files whose last record was treated
    std::int64_t lastEntriesNotFixed = 0;  // listed horses whose run file is missing or damaged at its end
    std::int64_t raceRecords = 0;     // whole records of RATHISWEEKNNEW.dat
    std::int64_t racesFixed = 0;      // of those, records given "1", "1", "1"
    bool resultMode = false;
    std::int64_t payoutKeys = 0;      // result mode: lines written to RACETHISWEEKN.dat
    std::int64_t failures = 0;        // parts passed over (each logged)
    std::int64_t outputsKept = 0;     // result mode: RACETHISWEEKN.dat kept, as there was no payout
    std::int64_t recordsPassedOver = 0;  // damaged records of the files read (each logged)
    std::string inputNote;            // what Text1 says of inputs that held nothing ("" when all did)
};

/// Applies the fix to the last record of a run file, in place (555 bytes each): `before` is the
/// record in front of it, empty when it is the horse's only record.
/// - BaTaijyu <- before's BaTaijyu, or "440" when there is no record before;
/// - TimeDiff <- "0000";
/// - KisyuCode, KisyuRyakusyo <- KisyuCodeBefore, KisyuRyakusyoBefore when KisyuCodeBefore read as a
///   number is not 0;
/// - Futan <- FutanBefore when FutanBefore read as a number is not 0.
void FixLastRun(std::string& last, std::string_view before);

/// Gives a race the conditions the fix assumes of every race it treats, whatever was announced:
/// fine weather and good going on turf and on dirt (TenkoCD, SibaBabaCD and DirtBabaCD "1").
/// `race` is a stored race record (RATHISWEEKNNEW.dat), changed in place; true when it changed.
/// A record shorter than a race record throws std::invalid_argument.
bool SetFineWeatherAndGoodGoing(std::string& race);

/// The same for an expanded run, whose race fields are copied from its race record: the run as
/// the computation reads it once the fix has treated its race.
void SetFineWeatherAndGoodGoing(ExRecord& run);

/// The fix of the last record of every listed horse's run file (UMAGOTOTHISWEEKN/<KettoNum>.dat).
/// A horse whose run file is empty has nothing to fix; one without a run file is logged and
/// counted (lastEntriesNotFixed), and no file is created. Damaged runs are passed over and logged
/// (records::RecordFileCheck); when the last run or the one before it is not whole where it
/// belongs, the file is left as it was, logged and counted. Each horse is its own sub-step: a
/// failure is logged, counted and the next horse goes on.
void FixLastEntry(DayBeforeFixSummary& summary);

/// The fix of the week's race records in RATHISWEEKNNEW.dat (rewritten once, through a scratch file;
/// a file without a race record is left alone)
/// and, in result mode, RACETHISWEEKN.dat (one quoted RaceKey12 a line, in the order of
/// HRTHISWEEKN.dat; without a payout record the list stays as it was, logged). Only whole race and
/// payout records are read and fixed; a damaged one is passed over and logged, and written back as
/// it was. `progress` gets Int(r x 100 / records) after race record r.
void FixRaceConditions(DayBeforeFixSummary& summary, const std::function<void(int)>& progress);

/// Button ④: ProgressBar1 to 0, FixLastEntry, FixRaceConditions, Text1 <- "前日固定終了". Failures
/// are passed over part by part into ERRORLOG.txt; when any was, a message through `host` says so
/// after the end text. A horse list or race file (in result mode also the payout file) that is
/// missing or holds nothing is named in ERRORLOG.txt, and Text1 says in brackets after the end
/// text that the fix had no input; it counts the damaged records passed over there too.
DayBeforeFixSummary FixPreviousDay(common::Host& host, const DayBeforeFixControls& controls);

}  // namespace engine
