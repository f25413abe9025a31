#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/ex_record.h"

// Building the expanded records: every run in a horse's run file (UMAGOTOTHISWEEKN/<KettoNum>.dat)
// joined with the week's horse record, the record of its race, the jockey who rode and the horse's
// place among its dam's foals, one ExRecord per run, written to UMAGOTOEXTHISWEEKN/<KettoNum>EX.dat.
//
// The inputs are read once per build into hash maps (ExJoinTables); a horse's runs are expanded in
// memory and its file is written once. The computation run can either call BuildExRecords for the
// whole list, or, per horse, ExpandHorse -> complete the records in memory -> WriteExRecords.
namespace engine {

/// The step's name in ERRORLOG.txt.
inline constexpr std::string_view kExBuildStep = "BuildExRecords";
/// The supplied jockey records (stored KS form) in OPTION1N; they take precedence over this week's.
inline constexpr std::string_view kSuppliedJockeyFile = "KS20190101NEW.dat";

struct HorseExpansion;

/// Value 0 to 100 of the window's progress bar.
using ExBuildProgress = std::function<void(int percent)>;

/// The horse, jockey and race tables, each keyed as the join looks it up. Of several rows with one
/// key the last in file order counts (for jockeys the supplied file comes after this week's, so its
/// values win).
/// - horses: UMTHISWEEKNNEW.dat by KettoNum, with the foal order from OPTION1N/HNSKOPTION1N.dat;
/// - jockeys: KSTHISWEEKN.dat, then OPTION1N/KS20190101NEW.dat, by the five-character KisyuCode;
/// - races: RATHISWEEKNNEW.dat by JyoCD, Year, MonthDay and RaceNum.
/// Zero bytes in the inputs read as blanks. A missing file gives an empty table.
class ExJoinTables {
public:
    /// Reads the five files, each once. `progress` follows the horse table (row x 100 / rows).
    /// Throws when reading a file fails. The tables do not change afterwards, so the computation
    /// expands horses from them on every core.
    static ExJoinTables Load(const ExBuildProgress& progress = {});

    /// Rows read from each table's files (every row, also those a later row overrides).
    std::int64_t HorseRows() const { return horseRows_; }
    std::int64_t JockeyRows() const { return jockeyRows_; }
    std::int64_t RaceRows() const { return raceRows_; }
    /// Damaged records of the five files, passed over (each logged under kExBuildStep).
    std::int64_t RecordsPassedOver() const { return recordsPassedOver_; }

private:
    friend HorseExpansion ExpandHorseRuns(const ExJoinTables&, std::string_view, std::string_view);

    // The bytes a table gives a record, in the order of its copy list in ex_builder.cpp; nullptr
    // when the table has no row for the key.
    const char* Horse(std::string_view kettoNum) const { return horses_.Find(kettoNum); }
    const char* Jockey(std::string_view kisyuCode) const { return jockeys_.Find(kisyuCode); }
    const char* Race(std::string_view raceRowKey) const { return races_.Find(raceRowKey); }

    // The rows of one table, all of one width, each found by its key; a later row with a key
    // takes the place of the earlier one. The rows lie back to back and the index holds only
    // where they start: a run's lookups touch little memory.
    class Rows {
    public:
        /// Room for `rows` rows of `width` bytes at once: grown row by row, the bytes would be
        /// copied into fresh memory again and again, and fresh pages cost more than the copying.
        void Reserve(std::int64_t rows, std::size_t width);
        void Put(std::string_view key, std::string_view row);
        const char* Find(std::string_view key) const;

    private:
        struct Hash {
            using is_transparent = void;
            std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
        };
        std::unordered_map<std::string, std::size_t, Hash, std::equal_to<>> start_;
        std::string bytes_;
    };

    Rows horses_, jockeys_, races_;
    std::int64_t horseRows_ = 0, jockeyRows_ = 0, raceRows_ = 0;
    std::int64_t recordsPassedOver_ = 0;
};

/// One horse's expanded records, as its file is to hold them.
struct HorseExpansion {
    std::vector<ExRecord> records;  // record j is the j-th whole run of the run file
    std::int64_t runs = 0;          // records of the run file
    bool lastDropped = false;       // the order check left out the run file's last record
    bool complete = true;           // false: a run could not be built; the records stop before it
    std::int64_t recordsPassedOver = 0;  // damaged runs passed over (told in `failures`)
    /// Lines for ERRORLOG.txt under "BuildExRecords", in order: left to the caller, so that
    /// horses expanded on other cores are logged by the calling thread in list order.
    std::vector<std::string> failures;
};

/// Hash of a record's first 40 bytes (kind, data kind, date made, race and, in a run, the horse),
/// for sets of whole records compared byte for byte: records that differ there differ, and the
/// hash need not read the hundreds of bytes behind them.
struct RecordHeadHash {
    std::size_t operator()(std::string_view record) const {
        return std::hash<std::string_view>{}(record.substr(0, 40));
    }
};

/// Runs seen in a run file, to find one that stands twice: the program never writes a run twice
/// (a newer version takes its place; an older one added at the end differs from it in bytes), so
/// a repeat is damage.
class RepeatedRuns {
public:
    /// Room for `runs` runs.
    explicit RepeatedRuns(std::size_t runs = 0) { first_.reserve(runs); }

    /// The number of the earlier record that run `n` repeats byte for byte, 0 when none (it is
    /// then remembered; the view must outlive this object).
    std::int64_t Seen(std::int64_t n, std::string_view run) {
        const auto [at, added] = first_.try_emplace(run, n);
        return added ? 0 : at->second;
    }

private:
    std::unordered_map<std::string_view, std::int64_t, RecordHeadHash> first_;
};

/// The log line of a run that repeats an earlier one and is passed over.
std::string RepeatedRunLine(const std::filesystem::path& runFile, std::int64_t n, std::int64_t earlier);

/// Expands the runs of one horse (`runFile`: the content of its run file, 555-byte runner records,
/// a torn tail ignored). Each record joins:
/// - the run's first 40 bytes, its runner fields and its CR LF;
/// - the horse's row (by `kettoNum`): birth date, stable region, breeder, birthplace, sire and
///   dam numbers, sire's and sire's dam's names, foal order;
/// - the row of the run's race (YoubiCD and the race fields);
/// - the row of the run's KisyuCode (the jockey's birth date, sex, region and licence), whether
///   or not the race has a row.
/// A table without a row for the run gives blanks in that table's fields (never another run's or
/// horse's values). Reserved fields are blanks; unset and prediction fields are zero bytes.
///
/// The order check: when there are two records or more and the last one's MakeDate is smaller than
/// the one before it, the last record is left out. A MakeDate that is not a number leaves all
/// records in place (a line in `failures`).
/// A damaged run (records::RecordFileCheck) is passed over and told in `failures`; a shifted one
/// ends the runs there. A run that repeats an earlier one is passed over and told the same way. A run that cannot be built goes into `failures`; the records end before
/// it, so that record j stays the j-th whole run.
HorseExpansion ExpandHorseRuns(const ExJoinTables& tables, std::string_view kettoNum, std::string_view runFile);

/// Reads the horse's run file (a missing one has no runs and is not created) and expands it.
/// Throws for a KettoNum that cannot name a file or a run file that is there but cannot be read.
HorseExpansion ExpandHorse(const ExJoinTables& tables, std::string_view kettoNum);

/// Replaces the horse's file of expanded runs with these records, in one write through a scratch
/// file and a rename (the folder is made when missing).
/// Throws on a bad KettoNum or a failed write; the old file then stays whole.
void WriteExRecords(std::string_view kettoNum, const std::vector<ExRecord>& records);

/// Counts of a build, for the status texts, tests and the benchmark.
struct ExBuildSummary {
    bool tablesLoaded = false;           // false: an input could not be read and nothing was written
    std::int64_t horses = 0;             // entries of the list
    std::int64_t filesWritten = 0;       // expanded files written (empty ones included)
    std::int64_t runs = 0;               // runs read from the run files
    std::int64_t records = 0;            // expanded records written
    std::int64_t lastRecordsDropped = 0; // files that the order check shortened by one
    std::int64_t horsesPassedOver = 0;   // horses whose file was not written or not completed
    std::int64_t recordsPassedOver = 0;  // damaged records of the tables' files and the run files (logged)
};

/// Builds the expanded records of every horse of `weekHorseList` (KettoNum values, in list order):
/// loads the tables once, then per horse ExpandHorse and WriteExRecords. Files of horses that are
/// not listed are not touched. `progressBar3` gets the horse-table progress while the tables are
/// built, then Int(i x 100 / horses) after horse i.
/// Each horse is its own sub-step: its failure is logged under "BuildExRecords" and the next horse
/// goes on. When the tables cannot be loaded, that is logged and nothing is written.
ExBuildSummary BuildExRecords(const std::vector<std::string>& weekHorseList,
                              const ExBuildProgress& progressBar3 = {});

}  // namespace engine
