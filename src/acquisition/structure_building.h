#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/run_files.h"
#include "common/host.h"

// Structure building: the week's fetched race, runner and horse records, in arrival order and with
// repeats, become the sorted working files that every later step reads.
namespace acquisition {

/// Texts of the main menu's Text4 and of the window's Text1.
inline constexpr std::string_view kStructureStartText =
    "構造体処理を開始しました。しばらくお待ちください。。。。。。。";
inline constexpr std::string_view kStructureEndText = "構造体処理終了";
inline constexpr std::string_view kStructureWindowNote =
    "中止処理を選択した場合、中止処理終了が出ますので暫くお待ち下さい。";

/// The step's name in ERRORLOG.txt.
inline constexpr std::string_view kStructureStep = "BuildWeekStructures";

/// Record counts of what was built, for the status texts, tests and the benchmark.
struct StructureSummary {
    std::int64_t raceRecords = 0;    // RATHISWEEKN.dat
    std::int64_t races = 0;          // RATHISWEEKNNEW.dat (and NEWd)
    std::int64_t runnerRecords = 0;  // SETHISWEEKN.dat before the filter
    std::int64_t runnersKept = 0;    // SETHISWEEKN.dat after it (kind "1" left out)
    std::int64_t runners = 0;        // SETHISWEEKNNEW.dat (and NEWd)
    std::int64_t horseRecords = 0;   // UMTHISWEEKN.dat: the number of the end text
    std::int64_t horses = 0;         // UMTHISWEEKNNEW.dat and KETTONUMTHISWEEKN.dat
    std::int64_t dams = 0;           // HAHAHANNUMTHISWEEKN.dat
    RunFileSummary runFiles;
    std::int64_t recordsPassedOver = 0;  // damaged records of the three source files (each logged)
    std::int64_t horseRecordsPassedOver = 0;  // of those, in UMTHISWEEKN.dat (not in the end text's number)
    std::int64_t stepsPassedOver = 0;  // sub-steps that failed (each logged)
    std::int64_t outputsKept = 0;      // outputs left as they were because their source held no record
    std::string inputNote;             // what the end text says of inputs that held nothing ("" when all did)
    std::vector<std::string> unfinishedInputs;  // the fetch's standing mark, as the end text names it
};

/// Text4 at the end: "構造体処理終了", a blank and the record count of UMTHISWEEKN.dat (its damaged
/// records not counted) as a number with its leading blank; when an input held nothing or
/// something was passed over, a note in brackets that says so and points to ERRORLOG.txt.
std::string StructureEndText(std::int64_t horseRecords, const StructureSummary& summary);

/// Builds the week's structures from RATHISWEEKN.dat, SETHISWEEKN.dat and UMTHISWEEKN.dat in
/// AppFolder, in this order: the weights check (the state label, or the request to unpack the
/// weights); the start text in Text4; the sorted race files RATHISWEEKNNEW.dat and
/// RATHISWEEKNNEWd.dat; SETHISWEEKN.dat rewritten without its records of data kind "1"; the
/// sorted runner files SETHISWEEKNNEW.dat and SETHISWEEKNNEWd.dat; UMTHISWEEKNNEW.dat with
/// KETTONUMTHISWEEKN.dat; HAHAHANNUMTHISWEEKN.dat; the per-horse run files; the end text in Text4.
///
/// A sorted file holds one record per distinct key, ascending; of several records with one key
/// the one that QuickSortKeys leaves last survives. The NEW and NEWd copies are byte for byte
/// equal. Every file is written once, through a scratch file and a rename.
///
/// A damaged record of a source file (records::RecordFileCheck) is passed over and logged, and a
/// shifted one ends the reading of its file; SETHISWEEKN.dat is then not rewritten.
/// Each of those sub-steps passes its failure over into ERRORLOG.txt and the next one runs. A
/// source file that is missing or holds no record is named in ERRORLOG.txt, and the end text says
/// so; the outputs built from it (for the runners or the horses also the run files) stay as they
/// were, each one that holds something named in the log and counted in the end text. The mark
/// STRUCTURES.mark stands from the start of the run to its end.
StructureSummary BuildWeekStructures(common::Host& host);

/// Sorts keys[low..high] ascending (byte by byte), moving each record number with its key, by the
/// quicksort whose order of equal keys decides which record survives. Called with low = 1 and
/// high = N on arrays of N + 1 entries whose entry 0 is left empty.
void QuickSortKeys(std::vector<std::string_view>& keys, std::vector<std::int64_t>& numbers,
                   std::ptrdiff_t low, std::ptrdiff_t high);

/// After QuickSortKeys: the record number that ends each run of equal keys, in key order (entry 0
/// of both arrays is the empty key and no record). These are the records a sorted file keeps.
std::vector<std::int64_t> SurvivingNumbers(const std::vector<std::string_view>& sortedKeys,
                                           const std::vector<std::int64_t>& numbers);

/// Each distinct key once, in the order of the sorted keys (entry 0 not counted).
std::vector<std::string> DistinctKeys(const std::vector<std::string_view>& sortedKeys);

}  // namespace acquisition
