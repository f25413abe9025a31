#include "acquisition/structure_building.h"

#include <array>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <utility>

#include "acquisition/weights_installer.h"
#include "common/weights_marker.h"
#include "common/error_log.h"
#include "common/missing_input.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/quicksort.h"
#include "common/record_file.h"
#include "common/step_marks.h"
#include "records/fields.h"
#include "records/layouts.h"
#include "records/record_check.h"
#include "records/record.h"
#include "records/week_record_file.h"

namespace acquisition {

namespace fs = std::filesystem;

namespace {

using records::LayoutRA;
using records::LayoutSE;
using records::LayoutUM;

// A record file read whole, once. The passes hold its records as views into it, filter and
// reorder the views, and write the records they keep straight from it, so that a week's records
// are never copied.
class RecordList {
public:
    static RecordList Read(const fs::path& path, std::size_t length) { return RecordList(common::LoadedFile(path), length); }
    /// Whole records (a torn tail is not one).
    std::int64_t Count() const { return static_cast<std::int64_t>(records_.size()); }
    /// Record k, from 1.
    std::string_view Record(std::int64_t k) const { return records_[static_cast<std::size_t>(k - 1)]; }
    const std::vector<std::string_view>& Records() const { return records_; }
    /// True when the records held are the file's bytes as read: none dropped, no torn tail.
    bool AsRead() const { return records_.size() * length_ == file_.Bytes().size(); }

    /// The whole records of layout L only, in their order: a damaged record is passed over and
    /// logged with its file and number, and at a shifted record the rest goes unread. Returns the
    /// records passed over.
    template <class L>
    std::int64_t KeepSound(const fs::path& path) {
        records::RecordFileCheck check(kStructureStep, path, L::kName, length_, file_.Bytes().size());
        std::int64_t n = 0;
        KeepOnly([&](std::string_view record) { return check.Sound(++n, record); });
        check.Finish();
        return check.PassedOver();
    }

    /// Keeps the records for which keep(record) is true, in their order; keep sees each record
    /// once, in order.
    template <class Keep>
    void KeepOnly(Keep keep) {
        std::size_t to = 0;
        for (const std::string_view record : records_)
            if (keep(record)) records_[to++] = record;
        records_.resize(to);
    }

    /// Leaves the records numbered `order` (distinct numbers from 1), in that order, and no other.
    void Reorder(const std::vector<std::int64_t>& order) {
        std::vector<std::string_view> reordered;
        reordered.reserve(order.size());
        for (std::int64_t number : order) reordered.push_back(Record(number));
        records_ = std::move(reordered);
    }

    /// Writes the records, in order, as the whole content of `path` (through a scratch file and a
    /// rename). Records that lie one after another in the file go in one piece.
    void WriteTo(const fs::path& path, const fs::path& scratch = {}) const {
        common::WriteFileAtomically(path, JoinAdjacent(records_), scratch);
    }

private:
    RecordList(common::LoadedFile file, std::size_t length)
        : file_(std::move(file)), length_(length), records_(common::WholeRecords(file_.Bytes(), length)) {}

    common::LoadedFile file_;  // the views point into it; moving the list keeps them valid
    std::size_t length_;
    std::vector<std::string_view> records_;
};

template <class L>
constexpr std::size_t kLengthOf = static_cast<std::size_t>(records::kLength<L>);

// The sort keys: the fields each one joins, fixed-width, so that every key of one pass has the
// same length. Kaiji and Nichiji are in none of them; DataKubun is, so every data kind of a race
// stays.
std::array<std::string_view, 5> RaceSortKey(records::RecordView<LayoutRA> ra) {
    return {ra.Get(records::kYear<LayoutRA>), ra.Get(records::kMonthDay<LayoutRA>),
            ra.Get(records::kDataKubun<LayoutRA>), ra.Get(records::kJyoCD<LayoutRA>),
            ra.Get(records::kRaceNum<LayoutRA>)};
}

std::array<std::string_view, 7> RunnerSortKey(records::RecordView<LayoutSE> se) {
    return {se.Get(records::kYear<LayoutSE>),     se.Get(records::kMonthDay<LayoutSE>),
            se.Get(records::kDataKubun<LayoutSE>), se.Get(records::kJyoCD<LayoutSE>),
            se.Get(records::kRaceNum<LayoutSE>),   se.Get(records::se::Umaban),
            se.Get(records::se::KettoNum)};
}

// The keys of records 1..N at indices 1..N with their record numbers; index 0 stays empty. The
// keys are views into one block that holds them all, rather than a string each.
struct KeyTable {
    std::vector<char> bytes;  // moving the table keeps the views valid
    std::vector<std::string_view> keys;
    std::vector<std::int64_t> numbers;

    // A copy's views would still point into the first table's block: it may only be moved.
    KeyTable() = default;
    KeyTable(KeyTable&&) = default;
    KeyTable& operator=(KeyTable&&) = default;
    KeyTable(const KeyTable&) = delete;
    KeyTable& operator=(const KeyTable&) = delete;

    std::int64_t Size() const { return static_cast<std::int64_t>(keys.size()) - 1; }
    void Sort() { QuickSortKeys(keys, numbers, 1, Size()); }
};

// keyOf(record) gives the fields of a record's key, joined in that order. Zero bytes in them read
// as blanks, as they do in the whole record.
template <class L, class KeyOf>
KeyTable KeysOf(const RecordList& source, KeyOf keyOf) {
    const auto count = static_cast<std::size_t>(source.Count());
    KeyTable table;
    std::vector<std::size_t> ends(count + 1, 0);
    for (std::size_t k = 1; k <= count; ++k) {
        for (const std::string_view field : keyOf(records::RecordView<L>(source.Records()[k - 1])))
            table.bytes.insert(table.bytes.end(), field.begin(), field.end());
        if (k == 1) table.bytes.reserve(count * table.bytes.size());  // the keys of a pass have one length
        ends[k] = table.bytes.size();
    }
    BlankZeros(table.bytes);
    table.keys.resize(count + 1);
    table.numbers.resize(count + 1, 0);
    for (std::size_t k = 1; k <= count; ++k) {
        table.keys[k] = std::string_view(table.bytes.data() + ends[k - 1], ends[k] - ends[k - 1]);
        table.numbers[k] = static_cast<std::int64_t>(k);
    }
    return table;
}

// Sorts the keys and leaves in `records` the ones that survive, in key order, as they were read.
void SortAndDeduplicate(RecordList& records, KeyTable& table) {
    table.Sort();
    records.Reorder(SurvivingNumbers(table.keys, table.numbers));
}

// The working copy and the full copy: one content, so they are equal byte for byte. Each is an
// output of its own: one that cannot be written does not leave the other at last week's records.
// True when the working copy was written.
bool WriteBothCopies(std::string_view workingName, std::string_view fullName, const RecordList& content,
                     StructureSummary& summary) {
    const bool working = common::PassOver(kStructureStep, [&] { content.WriteTo(common::AppPath(workingName)); });
    const bool full = common::PassOver(kStructureStep, [&] { content.WriteTo(common::AppPath(fullName)); });
    summary.stepsPassedOver += !working + !full;
    return working;
}

// The state label when the weights are unpacked; otherwise the request to unpack them.
void CheckWeights(common::Host& host) {
    if (common::ShowWeightsPresent(host, common::WeightsNote::Short)) return;
    AskForFirstWeights(host);
    // Without the installer the request cannot be followed: say so where failures are kept.
    std::error_code ec;
    if (!fs::is_regular_file(common::AppPath(kWeightsInstaller), ec))
        common::LogError(kStructureStep, std::string(kWeightsInstaller) + " is not in the application folder: the weights were not unpacked");
}

// A source that holds no record rebuilds nothing: the outputs of the last run stay (an output
// that holds something is named in the log and counted for the end text).
void KeepOutputs(std::initializer_list<std::string_view> outputs, std::string_view input, StructureSummary& summary) {
    for (std::string_view output : outputs)
        if (common::KeepOutput(kStructureStep, common::AppPath(output), common::AppPath(input))) ++summary.outputsKept;
}

void BuildRaceFiles(StructureSummary& summary) {
    RecordList races = RecordList::Read(common::AppPath(records::kRaThisWeek), kLengthOf<LayoutRA>);
    summary.recordsPassedOver += races.KeepSound<LayoutRA>(common::AppPath(records::kRaThisWeek));
    summary.raceRecords = races.Count();
    if (races.Count() == 0) return KeepOutputs({records::kRaThisWeekNew, records::kRaThisWeekNewD}, records::kRaThisWeek, summary);
    KeyTable table = KeysOf<LayoutRA>(races, RaceSortKey);
    SortAndDeduplicate(races, table);
    summary.races = races.Count();
    WriteBothCopies(records::kRaThisWeekNew, records::kRaThisWeekNewD, races, summary);
}

// Runner records of data kind "1" (the earliest stage of a race) leave SETHISWEEKN.dat for good;
// the others keep their order. The kept records are handed on whether or not the rewrite succeeds.
void FilterRunners(StructureSummary& summary, std::optional<RecordList>& kept) {
    const fs::path path = common::AppPath(records::kSeThisWeek);
    RecordList runners = RecordList::Read(path, kLengthOf<LayoutSE>);
    const std::int64_t damaged = runners.KeepSound<LayoutSE>(path);
    summary.recordsPassedOver += damaged;
    summary.runnerRecords = runners.Count();
    // (A zero byte there, read as a blank, is not "1" either.)
    runners.KeepOnly([](std::string_view record) {
        return records::RecordView<LayoutSE>(record).Get(records::kDataKubun<LayoutSE>) != "1";
    });
    summary.runnersKept = runners.Count();
    // A missing file stays missing, and one without a record to drop (nor a torn tail) stays as it is.
    // A file with damaged records stays as it is too, so that what was passed over can be looked at.
    const bool rewrite = damaged == 0 && !runners.AsRead() && fs::exists(path);
    kept.emplace(std::move(runners));
    if (rewrite) kept->WriteTo(path, common::AppPath(records::kTemporary));
}

// The sorted runner files; their records are handed on to the run files once the working copy is written.
void BuildRunnerFiles(RecordList& kept, StructureSummary& summary, std::optional<RecordList>& sorted) {
    if (summary.runnerRecords == 0)
        return KeepOutputs({records::kSeThisWeekNew, records::kSeThisWeekNewD}, records::kSeThisWeek, summary);
    KeyTable table = KeysOf<LayoutSE>(kept, RunnerSortKey);
    SortAndDeduplicate(kept, table);
    summary.runners = kept.Count();
    // The run files follow the working copy: handed on only when it holds these records.
    if (WriteBothCopies(records::kSeThisWeekNew, records::kSeThisWeekNewD, kept, summary))
        sorted = std::move(kept);
}

// One record per horse in UMTHISWEEKNNEW.dat and the list of the horses (handed on to the run
// files once written); the dam keys are handed on to the dam list, which is its own sub-step.
void BuildHorseFiles(StructureSummary& summary, std::optional<KeyTable>& damKeys,
                     std::optional<std::vector<std::string>>& horseList) {
    RecordList horses = RecordList::Read(common::AppPath(records::kUmThisWeek), kLengthOf<LayoutUM>);
    summary.horseRecordsPassedOver = horses.KeepSound<LayoutUM>(common::AppPath(records::kUmThisWeek));
    summary.recordsPassedOver += summary.horseRecordsPassedOver;
    summary.horseRecords = horses.Count();
    if (horses.Count() == 0)
        return KeepOutputs({records::kUmThisWeekNew, kHorseList, kDamList}, records::kUmThisWeek, summary);
    KeyTable table = KeysOf<LayoutUM>(horses, [](records::RecordView<LayoutUM> um) {
        return std::array{um.Get(records::um::KettoNum)};
    });
    // The dam: the second entry of the pedigree.
    damKeys = KeysOf<LayoutUM>(horses, [](records::RecordView<LayoutUM> um) {
        return std::array{um.Get(records::um::Ketto3InfoHansyokuNum, 1)};
    });
    SortAndDeduplicate(horses, table);
    std::vector<std::string> list = DistinctKeys(table.keys);
    summary.horses = static_cast<std::int64_t>(list.size());
    // The list and the horse file are outputs of their own: one failing leaves the other written.
    if (!common::PassOver(kStructureStep, [&] {
            WriteKeyList(common::AppPath(kHorseList), list);
            horseList = std::move(list);
        }))
        ++summary.stepsPassedOver;
    if (!common::PassOver(kStructureStep, [&] {
            horses.WriteTo(common::AppPath(records::kUmThisWeekNew));
        }))
        ++summary.stepsPassedOver;
}

void BuildDamList(KeyTable& damKeys, StructureSummary& summary) {
    damKeys.Sort();
    const std::vector<std::string> list = DistinctKeys(damKeys.keys);
    summary.dams = static_cast<std::int64_t>(list.size());
    WriteKeyList(common::AppPath(kDamList), list);
}

}  // namespace

void QuickSortKeys(std::vector<std::string_view>& keys, std::vector<std::int64_t>& numbers, std::ptrdiff_t low,
                   std::ptrdiff_t high) {
    common::QuickSortAscending(keys, numbers, low, high);
}

std::vector<std::int64_t> SurvivingNumbers(const std::vector<std::string_view>& sortedKeys,
                                           const std::vector<std::int64_t>& numbers) {
    // A record whose key differs from the one before starts a new output record; one with the
    // same key is written over it, so the last of each run remains.
    std::vector<std::int64_t> survivors;
    for (std::size_t i = 1; i < sortedKeys.size(); ++i) {
        if (sortedKeys[i] != sortedKeys[i - 1])
            survivors.push_back(numbers[i]);
        else if (!survivors.empty())
            survivors.back() = numbers[i];
    }
    return survivors;
}

std::vector<std::string> DistinctKeys(const std::vector<std::string_view>& sortedKeys) {
    std::vector<std::string> distinct;
    for (std::size_t i = 1; i < sortedKeys.size(); ++i)
        if (sortedKeys[i] != sortedKeys[i - 1]) distinct.emplace_back(sortedKeys[i]);
    return distinct;
}

std::string StructureEndText(std::int64_t horseRecords, const StructureSummary& summary) {
    std::vector<std::string> parts = summary.unfinishedInputs;
    if (!summary.inputNote.empty()) parts.push_back(summary.inputNote);
    if (summary.outputsKept > 0) parts.push_back(common::KeptOutputsPart(summary.outputsKept));
    if (!summary.unmadePart.empty()) parts.push_back(summary.unmadePart);
    if (summary.stepsPassedOver > 0)
        parts.push_back("処理できなかった手順 " + std::to_string(summary.stepsPassedOver) + " 件");
    const std::int64_t damaged = summary.recordsPassedOver + summary.runFiles.recordsPassedOver;
    if (damaged > 0) parts.push_back(records::DamagedRecordsPart(damaged));
    if (summary.runFiles.horsesPassedOver > 0)
        parts.push_back("処理できなかった馬 " + std::to_string(summary.runFiles.horsesPassedOver) + " 頭");
    const std::string runFirst = summary.inputNote.empty() ? "" : common::RunFirstPart(common::MarkedStep::Structures);
    return std::string(kStructureEndText) + " " + common::StrText(horseRecords) + common::PassedOverNote(parts, runFirst);
}

StructureSummary BuildWeekStructures(common::Host& host) {
    StructureSummary summary;
    const std::string_view step = kStructureStep;
    // One sub-step: a failure is logged and counted, and the next one runs.
    auto part = [&](auto&& work) {
        if (!common::PassOver(step, work)) ++summary.stepsPassedOver;
    };

    // The mark stands until the run has ended: a run cut short leaves it for the next start.
    part([] { common::SetStepMark(common::MarkedStep::Structures); });
    summary.unfinishedInputs = common::UnfinishedInputParts(common::MarkedStep::Structures, step);
    part([&] { CheckWeights(host); });
    part([&] {
        host.setStatus(common::StatusBox::Text4, kStructureStartText);
        host.pumpEvents();
    });

    part([&] { BuildRaceFiles(summary); });

    // What a pass has written is handed on in memory; what a failed pass could not write is never
    // read from the file the last run left.
    std::optional<RecordList> sortedRunners;
    bool runnersRead = false;
    {
        std::optional<RecordList> keptRunners;
        part([&] { FilterRunners(summary, keptRunners); });
        runnersRead = keptRunners.has_value();
        // Without the runner records (the file could not be read) there is nothing to sort.
        if (keptRunners) part([&] { BuildRunnerFiles(*keptRunners, summary, sortedRunners); });
    }

    std::optional<KeyTable> damKeys;
    std::optional<std::vector<std::string>> horseList;
    bool horsesRead = false;
    part([&] {
        BuildHorseFiles(summary, damKeys, horseList);
        horsesRead = true;
    });
    if (damKeys) part([&] { BuildDamList(*damKeys, summary); });
    damKeys.reset();

    // Without this week's runners or horses the run files would be rebuilt empty, or from last
    // week's list: they stay as they are. So they do when this run could not make the horse list
    // or the sorted runner file: the files there are the last run's, and run files made from them
    // would mix two runs.
    const std::string_view emptySource = runnersRead && summary.runnerRecords == 0 ? records::kSeThisWeek
                                         : horsesRead && summary.horseRecords == 0 ? records::kUmThisWeek
                                                                                   : std::string_view();
    UnmadeOutputs unmade(step);
    if (!emptySource.empty()) {
        KeepOutputs({kHorseRunFolder}, emptySource, summary);
    } else if (!sortedRunners || !horseList) {
        unmade.Keep(kHorseRunFolder, sortedRunners ? kHorseList : records::kSeThisWeekNew);
    } else {
        part([&] {
            const auto bytes = static_cast<std::uint64_t>(sortedRunners->Count()) * kLengthOf<LayoutSE>;
            summary.runFiles = WriteHorseRunFiles(*horseList, sortedRunners->Records(), bytes, host, step);
        });
    }
    summary.unmadePart = unmade.Part();
    sortedRunners.reset();

    // A week always has races, runners and horses: a source without a record means the fetch
    // has not run (or brought nothing).
    common::InputCheck inputs(step, common::InputCheck::Need::Every);
    inputs.Note(common::AppPath(records::kRaThisWeek), summary.raceRecords > 0);
    inputs.Note(common::AppPath(records::kSeThisWeek), summary.runnerRecords > 0);
    inputs.Note(common::AppPath(records::kUmThisWeek), summary.horseRecords > 0);
    summary.inputNote = inputs.Report();

    part([] { common::ClearStepMark(common::MarkedStep::Structures); });
    common::PassOver(step, [&] {
        // The whole records of the horse file: damaged ones and a torn tail not counted.
        host.setStatus(common::StatusBox::Text4, StructureEndText(summary.horseRecords, summary));
    });
    return summary;
}

}  // namespace acquisition
