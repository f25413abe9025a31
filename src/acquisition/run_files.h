#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"

// The per-horse run files: UMAGOTOTHISWEEKN/<KettoNum>.dat holds the runner records of one horse,
// one per run, a newer version of a run taking the place of the stored one. Structure building
// makes them from the sorted runner file; race cancellation rebuilds them the same way.
namespace acquisition {

/// The folder of the run files, under AppFolder.
inline constexpr std::string_view kHorseRunFolder = "UMAGOTOTHISWEEKN";
/// The list of this week's horses (one quoted KettoNum a line, ascending, each once).
inline constexpr std::string_view kHorseList = "KETTONUMTHISWEEKN.dat";
/// The list of their dams' breeding numbers, in the same form.
inline constexpr std::string_view kDamList = "HAHAHANNUMTHISWEEKN.dat";

/// A record as readers see it: zero bytes (a gap a later write left in a file) read as blanks.
/// Returns the record itself, or its copy in `buffer` when it holds a zero byte.
std::string_view RecordAsRead(std::string_view record, std::string& buffer);

/// The same for fields copied out of a record (a key made of them), in place: a pass that reads
/// a few fields of each record blanks those rather than look through the whole record.
void BlankZeros(std::span<char> bytes);

/// `records` (views of bytes) as the pieces of one content: views that lie one after another in
/// memory are joined into one, so that a file's records written in their order go in few pieces.
std::vector<std::string_view> JoinAdjacent(std::span<const std::string_view> records);

/// A registration number that may name a file: ten ASCII letters or digits.
bool IsValidKettoNum(std::string_view kettoNum);

/// AppFolder/UMAGOTOTHISWEEKN/<kettoNum>.dat. The caller checks the key with IsValidKettoNum.
std::filesystem::path HorseRunFilePath(std::string_view kettoNum);

/// The values of a key list file in file order, quotes removed; a missing file gives none.
std::vector<std::string> ReadKeyList(const std::filesystem::path& path);

/// Writes a key list file (each key in double quotes, CR LF) through a scratch file and a rename.
void WriteKeyList(const std::filesystem::path& path, const std::vector<std::string>& keys);

/// The runs of one horse as its run file holds them, kept in memory while a pass places records.
/// It holds views of the records: the bytes placed must outlive it.
class HorseRuns {
public:
    /// One runner record as placing looks at it: which run it is and its version, read once (a
    /// pass that gathers each horse's records reads them while they are at hand).
    struct Run {
        explicit Run(std::string_view record);

        // Characters 9 to 30 of the run key, held in place; a short record's shorter identity is
        // padded with zero bytes, which a record as read never holds, so it stays apart.
        std::array<char, 22> identity{};
        std::int64_t version = 0;  // characters 1 to 8 read as a whole number
        std::string_view record;
    };

    /// Places one 555-byte runner record by the run-file rule: it is written over the first stored
    /// run (in file order) with the same run (race date, race number, horse number, horse) whose
    /// version date is not later than its own; when there is none it is added at the end. So a
    /// newer or equal version replaces the stored one in its place, and a version older than
    /// every stored one of the same run is added as a further record.
    void Place(std::string_view record) { Place(Run(record)); }
    void Place(const Run& run);

    std::size_t Count() const { return runs_.size(); }
    /// Holds no run again (keeping its room, for the next horse).
    void Clear() { runs_.clear(); }
    std::string_view Record(std::size_t index) const { return runs_[index].record; }
    /// The file's content: the records in order.
    std::string Bytes() const;
    /// The same, appended to `out` (one buffer reused for every horse).
    void AppendBytes(std::string& out) const;

private:
    std::vector<Run> runs_;
};

/// Lets pending window events run while a long pass works, at most every `interval` rather than
/// once per record, so that the screen keeps moving without the pass paying for every record.
class PeriodicPump {
public:
    explicit PeriodicPump(common::Host& host,
                          std::chrono::milliseconds interval = std::chrono::milliseconds(20));
    /// Called once per record; looks at the clock every 64 calls.
    void Tick();

private:
    common::Host& host_;
    std::chrono::milliseconds interval_;
    std::chrono::steady_clock::time_point last_;
    unsigned calls_ = 0;
};

struct RunFileSummary {
    std::int64_t listedHorses = 0;     // values of the horse list
    std::int64_t filesWritten = 0;     // run files that hold their runs now
    std::int64_t filesUnchanged = 0;   // of those, files that held them already and were left alone
    std::int64_t runnerRecords = 0;    // records of the sorted runner file
    std::int64_t recordsPlaced = 0;    // of those, records of a listed horse
    std::int64_t horsesPassedOver = 0; // bad registration numbers, and files that could not be written
    std::int64_t recordsPassedOver = 0; // damaged records of the sorted runner file (each logged)
};

/// Writes the run file of every horse of `horseList` (values of a horse list, in its order) from
/// `sortedRunners` (the whole records of a sorted runner file, 555 bytes each, in order), as
/// RebuildHorseRunFiles below does from the files themselves. `fileBytes` is the size of the file
/// the records were cut from, so that bytes after its last whole record are told too.
RunFileSummary WriteHorseRunFiles(const std::vector<std::string>& horseList,
                                  std::span<const std::string_view> sortedRunners, std::uint64_t fileBytes,
                                  common::Host& host, std::string_view step);

/// Rebuilds the run file of every horse of KETTONUMTHISWEEKN.dat from SETHISWEEKNNEW.dat: each
/// listed horse's file ends up holding its runner records placed in file order by
/// HorseRuns::Place (a horse without runner records gets an empty file). Files of horses that are
/// not listed are left as they are. A damaged runner record is passed over and logged under `step`
/// (records::RecordFileCheck), and a shifted one ends the pass. Each file is written once, through
/// a scratch file and a rename; a file that holds exactly its new bytes already is not rewritten.
/// A listed value that is not a valid KettoNum is passed over and logged under `step`, as is a
/// file that cannot be written; the other horses go on. Pending window events run through `host`
/// while the records are placed and the files written.
/// Reading the list or the runner file failing throws (nothing written).
RunFileSummary RebuildHorseRunFiles(common::Host& host, std::string_view step);

/// Outputs a run leaves as they were because an input of theirs that the same run was to make was
/// not made (it could not be read or written): rebuilt from the file the last run left, they would
/// mix two runs.
class UnmadeOutputs {
public:
    explicit UnmadeOutputs(std::string_view step) : step_(step) {}
    /// Logs under the step that `output` was left as it was, since `input` was not made.
    void Keep(std::string_view output, std::string_view input);
    /// The part of the end text's note (common::PassedOverNote) that names them: "作成できなかった
    /// 出力 UMAGOTOTHISWEEKN・SETHISWEEKNNEW.dat"; "" when there is none.
    std::string Part() const;
    bool Empty() const { return outputs_.empty(); }

private:
    std::string step_;
    std::vector<std::string> outputs_;
};

}  // namespace acquisition
