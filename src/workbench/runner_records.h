#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/code_table.h"
#include "common/record_file.h"
#include "records/decoders.h"
#include "workbench/batch_log.h"
#include "workbench/race_horse_record.h"

// The runner records of every listed race, built in memory in two passes: the SE pass keeps each
// race's runner records (SE) of this week, and race by race the records are made from them with
// their first fields set and the join pass copies in the runners' expanded runs. Each race's runner
// file is then written once.
namespace workbench {

/// Runner records of one race: entry h - 1 is horse number h, so the size is the race's highest
/// horse number (RunnerCount); a horse number without a runner has a blank record.
using RaceRunners = std::vector<RaceHorseRecord>;

/// This week's runner records (SE) of one race: entry h - 1 is horse number h, so the size is the
/// race's highest horse number; a horse number without a runner has none.
using RaceEntries = std::vector<std::optional<records::StoredSE>>;

/// Element 0 of Wakuban, Umaban and KettoNum, the Bamei and the CR LF from a runner record (SE);
/// nothing else of the record changes.
void SetRunnerFirstFields(RaceHorseRecord& runner, records::RecordView<records::LayoutSE> se);

/// The SE pass: one pass over SETHISWEEKNNEW.dat. Every runner record of a listed race
/// (`raceKeys[r - 1]` is the key of race r) becomes the entry of its horse number in that race;
/// a later runner record of the same horse number replaces an earlier one. A horse number 00
/// (before the draw) is passed over; one that is not 1 to 18 is passed over and logged. Returns
/// the entries of race r at index r - 1. Only the small SE records are kept for the whole week:
/// the large runner records are made one race at a time.
std::vector<RaceEntries> ReadRaceEntries(const std::vector<std::string>& raceKeys, BatchLog& log);

/// The runner records of one race from its entries, each with its first fields set
/// (SetRunnerFirstFields); a blank record where no horse runs.
RaceRunners FirstFieldRecords(const RaceEntries& entries);

/// The expanded records the join copies for a race, from a horse's file of expanded runs: looking
/// from the newest record backwards for the record of this race (same RaceKey12), that record and
/// at most 64 before it, oldest first, as whole records. Records newer than this race are passed
/// over. Empty when no record of the file is of this race. Reads only what it needs; a missing
/// file reads as empty and is not created.
std::string RunsOfRace(const common::RecordFile& exFile, std::string_view raceKey12);
/// The same, read into `buffer` (see RecordFile::ReadRange): the runs are a view into it, good
/// until the next read into it. Only records that stand where they belong are read
/// (records::RecordFileCheck): in a damaged file the runs end before a damaged record, and after a
/// shifted one nothing is found; what was damaged goes to `damage`, when given, for the caller to
/// log.
std::string_view RunsOfRace(const common::RecordFile& exFile, std::string_view raceKey12, std::string& buffer,
                            std::vector<std::string>* damage = nullptr);

/// Copies runs into a runner record: `runs` are whole expanded records, oldest first, the last
/// being this race's; the last fills element 0, the one before it element 1, and so on. The single
/// fields (breeder, sire, age, sex, weight carried, body weight and its change, abnormality, post
/// time and the five sample counts) come from the last. Elements past the runs keep what they held.
void CopyRuns(RaceHorseRecord& runner, std::string_view runs);

/// What the join did for one race.
struct RaceJoin {
    int runnersWithRuns = 0;
    /// Weather and going of the last runner that has a run of this race (CP932); none joined: "".
    std::string weatherGoing;
    bool weatherGoingSet = false;
};

/// The join pass of one race: every runner record (blank ones aside) gets its horse's runs
/// (UMAGOTOEXTHISWEEKN/<KettoNum>EX.dat) and Correction 0. A runner whose horse has no run of this
/// race gets none and is logged; a KettoNum that is not digits fails that runner's join. Each
/// runner is its own sub-step. Each runner's runs are read into `runsBuffer` and copied into its
/// record before the next is read: one buffer kept for every race of a run spares each race fresh
/// memory for some hundred kilobytes of runs.
RaceJoin JoinExpandedRuns(int raceIdx, std::string_view raceKey12, RaceRunners& runners,
                          const common::CodeTable& codes, BatchLog& log, std::string& runsBuffer);

}  // namespace workbench
