#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/code_table.h"
#include "records/decoders.h"
#include "workbench/batch_log.h"
#include "workbench/race_info_table.h"

// The week's race list: which races the batch works on and in which order, their titles, and the
// three week files made from the list. Each race is listed once, however often the race and payout
// files hold it.
namespace workbench {

/// The week files, under AppFolder, beside RACETHISWEEKN.dat (engine::kRaceWeekListFile).
inline constexpr std::string_view kRaceTitleFile = "RACETHISWEEKNSYOSAI.dat";
inline constexpr std::string_view kRaceIdListFile = "SOKUDO/RACEID.txt";

/// The race file as the list reads it: the records kept, in file order, each with its place among
/// the file's whole records, and of every record, kept or not, the count and the kind that
/// decides the mode.
/// A week's race file holds the races of past weeks too; the batch keeps only the records the list
/// can use (ListCanUse).
struct RaceFileRecords {
    std::vector<records::StoredRA> Records;
    std::vector<std::int64_t> RecordNos;  // 1-based, one per kept record
    std::int64_t FileCount = 0;
    /// The kind of the last record that is not of kind "9" (' ': none).
    char LastKind = ' ';

    RaceFileRecords() = default;
    /// Every record of a file, kept.
    RaceFileRecords(const std::vector<records::StoredRA>& all);
    /// Takes the n-th whole record read (n from 1 up): it counts, its kind is noted, and it is kept
    /// when `keep`.
    void Take(std::int64_t n, records::RecordView<records::LayoutRA> ra, bool keep);
};

/// The RaceKey12 of every payout record.
std::unordered_set<std::string> PayoutRaces(const std::vector<records::StoredHR>& payoutFile);

/// Whether the list can use a race record in either mode: one of a listed kind ("2" to "6"), or
/// one of a race that has a payout record (`payoutRaces`, as PayoutRaces gives them).
bool ListCanUse(records::RecordView<records::LayoutRA> ra, const std::unordered_set<std::string>& payoutRaces);

/// 1 (result mode) when the last race record that is not of kind "9" has kind "7", else 0: a
/// cancelled race of the newest date sorts last and must not turn a results week into a
/// prediction week.
std::int16_t DecideResultMode(const RaceFileRecords& raceFile);

/// The race-list line of a race (a window text): Year "年" month "月" day "日" JyoCD, the course
/// name, Kaiji "回" Nichiji "日" RaceNum "R", 9 blanks in prediction mode or 10 in result mode,
/// and the RaceKey12. `raceId` is the 16-byte RaceId; `courseName` is UTF-8.
std::string RaceListLine(std::string_view raceId, std::string_view courseName, std::int16_t resultMode);

/// One race of the list.
struct ListedRace {
    std::string RaceKey12;
    /// The 16-byte RaceId: from the race record, in result mode from the payout record when the race
    /// file lacks the race.
    std::string RaceId;
    /// The race's own race record: in prediction mode the last of its listed kinds, in result mode
    /// its newest record in the race file; none when the race file lacks it.
    std::optional<records::StoredRA> Ra;
    /// Where that record stands among the race file's whole records, from 1 (0: none).
    std::int64_t RaRecordNo = 0;
    /// The race's own newest payout record (highest MakeDate; the later one of equal dates), if any.
    std::optional<records::StoredHR> Hr;
    /// Its title row (only the key when it has no race record).
    RaceInfoRow Title{};
    /// Its line in the window's race list (UTF-8).
    std::string ListLine;
};

struct RaceList {
    std::int16_t ResultMode = 0;
    /// Race r at Races[r - 1]: in prediction mode in the race file's order of each race's first
    /// listed record, in result mode in the payout file's order of each race's first record.
    std::vector<ListedRace> Races;
    /// The races whose RaceId and title lines the week files hold, in the files' order: every race
    /// in list order in prediction mode; in result mode the races that have a race record, in the
    /// race file's order.
    std::vector<int> TitleOrder;
    /// Why nothing is listed ("" when races are).
    std::string NothingListed;
};

/// Phase 6: lists the week's races from the race file and the payout file (both whole, in file
/// order). Prediction mode lists the races of kinds "2" to "6"; result mode every race with a
/// payout record, titled from its newest race record. A record whose RaceId is not digits cannot
/// name the race's files: it is passed over and logged.
RaceList ListRaces(std::int16_t resultMode, const RaceFileRecords& raceFile,
                   const std::vector<records::StoredHR>& payoutFile, const common::CodeTable& codes, BatchLog& log);

/// The contents of the three week files: one quoted RaceKey12 a line, in list order; one bare
/// RaceId a line and one title line a race, in the order of TitleOrder.
std::string RaceWeekListContent(const RaceList& list);
std::string RaceIdListContent(const RaceList& list);
std::string RaceTitleFileContent(const RaceList& list);

/// Writes the three week files whole, each on its own (a failure is logged and the others are
/// still written).
void WriteWeekFiles(const RaceList& list, BatchLog& log);

}  // namespace workbench
