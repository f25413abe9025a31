#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"
#include "common/step_marks.h"

// The computation run (button ⑤ of the expansion window): this week's part of the supplied horse
// and dam statistics, a fresh file of expanded runs for every horse of the week, then per horse
// the expansion of its runs and their prediction, in memory, its file written once.
namespace engine {

/// The step's name in ERRORLOG.txt.
inline constexpr std::string_view kComputationStep = "RunComputation";
/// Text3 of the expansion window while the run works, and when it has ended without failures.
inline constexpr std::string_view kComputationStart = "計算を開始しました。標準で約10分かります。。。。。。";
inline constexpr std::string_view kComputationDone = "計算終了";
/// The main menu's message (after AppFolder) when button ③ finds no weights; the program ends.
inline constexpr std::string_view kNoWeightsForExpansionMessage =
    "に参照場所(展開フォルダ）に初回予想因子ウエイトが有りませんので、ソフトを終了します。";
/// The expansion window's message (before the missing names) when a file it needs is missing.
inline constexpr std::string_view kComputationFilesMissing = "計算に必要な次のファイルがありません：";

/// The mark a run leaves in the application folder while it works. One that stands when no run
/// is working was left by a run that did not end (the program was ended, or failed, during it):
/// part of the files of expanded runs are then not this week's.
inline constexpr std::string_view kComputationMarkFile = common::MarkOf(common::MarkedStep::Computation).markFile;
/// What the start-up and the expansion window say while such a mark stands.
inline constexpr std::string_view kComputationUnfinished = common::MarkOf(common::MarkedStep::Computation).unfinished;

/// The expansion window's controls that the run drives.
struct ComputationControls {
    std::function<void(std::string_view)> setText3;
    std::function<void(int)> setProgressBar3;  // the lists, the tables, then the horses; 0 to 100
    std::function<void(int)> setProgressBar4;  // the newest records of one horse; 0 to 100
};

struct ComputationSummary {
    std::int64_t dams = 0;                // entries of HAHAHANNUMTHISWEEKN.dat
    std::int64_t damStatsRecords = 0;     // records of OPTION1N/HAHAUMATHISWEEK.dat
    std::int64_t horses = 0;              // entries of KETTONUMTHISWEEKN.dat
    std::int64_t runs = 0;                // records of the horses' run files
    std::int64_t horseStatsRecords = 0;   // records of OPTION1N/KYOSOBATHISWEEK.dat
    std::int64_t filesWritten = 0;        // files of expanded runs written with their records
    std::int64_t records = 0;             // expanded records written
    std::int64_t lastRecordsDropped = 0;  // files the order check shortened by one
    std::int64_t runsFailed = 0;          // records whose prediction could not be computed (zeros)
    std::int64_t itemLabelsBlanked = 0;   // labels left blank because the item could not be computed
    std::int64_t horsesPassedOver = 0;    // horses whose file could not be written or completed
    std::int64_t stepsPassedOver = 0;     // lists, subsets, tables, model files or the mark that failed
    std::int64_t statisticsMissing = 0;   // supplied statistics files missing or without a record
    std::int64_t recordsPassedOver = 0;   // damaged records of the files read (each logged)
    bool nothingToWorkOn = false;         // no horse listed, or none of their run files held a run
    std::vector<std::string> unfinishedInputs;  // end-text parts naming steps whose files were read unfinished

    bool AllDone() const {
        return !nothingToWorkOn && unfinishedInputs.empty() &&
               runsFailed + itemLabelsBlanked + horsesPassedOver + stepsPassedOver + statisticsMissing +
                       recordsPassedOver ==
                   0;
    }
};

/// "計算終了", followed, when the run had nothing to work on, went without statistics or passed
/// anything over, by that ("入力ファイルがありません") and how many statistics files, runs, labels,
/// horses, steps and damaged records, and where the reasons are.
std::string ComputationEndText(const ComputationSummary& summary);

/// Writes `subsetFile` (records of `recordLength` bytes) in OPTION1N with the records of `sourceFile`
/// whose first `keyWidth` characters are one of `keys`, in the source's order, a record once for
/// every time its key is listed. They go from record 1 over the file as it stands (through a scratch
/// file and a rename), so records of an earlier, longer subset stay behind them. A missing source
/// leaves the subset as it was and throws, naming it; so does a source without a record, or one
/// with damaged records (records::RecordFileCheck, each logged); without a record of `keys` nothing
/// is written (a missing subset stays missing).
/// Returns the number of records written.
std::int64_t WriteThisWeekSubset(std::string_view sourceFile, std::string_view subsetFile, std::size_t recordLength,
                                 std::size_t keyWidth, const std::vector<std::string>& keys);

/// Button ⑤. In order: Text3 <- the start text; the mark (kComputationMarkFile) set; each supplied
/// statistics file that is missing or holds no record logged (it reads as empty) and counted; the
/// dams' statistics subset; the horses' statistics subset; then per horse its runs expanded and
/// predicted in memory and its file of expanded runs written once (a horse that cannot be computed,
/// and every horse when the files they are joined with cannot be read, is left with an empty file;
/// a horse whose run file is there and holds no run gets an empty one; a horse whose run file is
/// missing, or holds no whole run, keeps the file it has and is logged); the mark removed; Text3 <- the end
/// text. Each step and each horse passes its failures over into ERRORLOG.txt and the next goes on;
/// a list of horses that is missing or empty, or run files without a run, are logged as nothing to
/// work on. Nothing is created in OPTION1N but a subset that holds this week's records. Horses are
/// computed on ComputationThreads() threads; what the run writes, the log included, is what one
/// thread writes. A second run started while one is working (from another window) returns at
/// once with an empty summary. Pending window events run through `host` as it works, on the
/// calling thread, which alone touches `controls`.
ComputationSummary RunComputation(common::Host& host, const ComputationControls& controls = {});

/// Threads the computation spreads its horses over: the cores the program may run on.
int ComputationThreads();

/// True when the mark of a run stands and no run is working in this program: the last run did
/// not end.
bool LastComputationUnfinished();

/// The files the expansion window needs: JRACODE/CodeTable.csv and the sixteen model files. Returns
/// the relative names of those that are missing or cannot be read.
std::vector<std::string> MissingComputationFiles();

}  // namespace engine
