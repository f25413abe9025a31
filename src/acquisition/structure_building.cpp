#include "acquisition/structure_building.h"

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <utility>

#include "acquisition/weights_installer.h"
#include "app/startup.h"
#include "common/error_log.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/quicksort.h"
#include "common/record_file.h"
#include "records/fields.h"
#include "records/layouts.h"
#include "records/record.h"
#include "records/week_record_file.h"

namespace acquisition {

namespace fs = std::filesystem;

namespace {

using records::LayoutRA;
using records::LayoutSE;
using records::LayoutUM;

// A record file read whole, in one go: the passes cut their records out of it by number.
class RecordBuffer {
public:
    RecordBuffer(std::string bytes, std::size_t length) : bytes_(std::move(bytes)), length_(length) {}
    /// A missing file has no records; one that is there but cannot be read is a failure, not an
    /// empty week.
    static RecordBuffer Read(const fs::path& path, std::size_t length) {
        std::string bytes = common::ReadWholeFile(path);
        std::error_code ec;
        const auto size = fs::file_size(path, ec);
        if (!ec && bytes.size() < size) throw std::runtime_error("cannot read " + path.string());
        return RecordBuffer(std::move(bytes), length);
    }
    std::size_t Size() const { return bytes_.size(); }
    const std::string& Bytes() const { return bytes_; }
    /// Whole records (a torn tail is not one).
    std::int64_t Count() const { return static_cast<std::int64_t>(bytes_.size() / length_); }
    /// Record k, from 1.
    std::string_view Record(std::int64_t k) const {
        return std::string_view(bytes_).substr(static_cast<std::size_t>(k - 1) * length_, length_);
    }

private:
    std::string bytes_;
    std::size_t length_;
};

template <class L>
constexpr std::size_t kLengthOf = static_cast<std::size_t>(records::kLength<L>);

// The sort keys, fixed-width fields joined, so that every key of one pass has the same length.
// Kaiji and Nichiji are in none of them; DataKubun is, so every data kind of a race stays.
std::string RaceSortKey(records::RecordView<LayoutRA> ra) {
    std::string key;
    key.reserve(13);
    key.append(ra.Get(records::kYear<LayoutRA>)).append(ra.Get(records::kMonthDay<LayoutRA>));
    key.append(ra.Get(records::kDataKubun<LayoutRA>)).append(ra.Get(records::kJyoCD<LayoutRA>));
    key.append(ra.Get(records::kRaceNum<LayoutRA>));
    return key;
}

std::string RunnerSortKey(records::RecordView<LayoutSE> se) {
    std::string key;
    key.reserve(25);
    key.append(se.Get(records::kYear<LayoutSE>)).append(se.Get(records::kMonthDay<LayoutSE>));
    key.append(se.Get(records::kDataKubun<LayoutSE>)).append(se.Get(records::kJyoCD<LayoutSE>));
    key.append(se.Get(records::kRaceNum<LayoutSE>)).append(se.Get(records::se::Umaban));
    key.append(se.Get(records::se::KettoNum));
    return key;
}

// The keys of records 1..N at indices 1..N with their record numbers; index 0 stays empty.
struct KeyTable {
    std::vector<std::string> keys;
    std::vector<std::int64_t> numbers;

    explicit KeyTable(std::int64_t n)
        : keys(static_cast<std::size_t>(n) + 1), numbers(static_cast<std::size_t>(n) + 1, 0) {}
    void Set(std::int64_t k, std::string key) {
        keys[static_cast<std::size_t>(k)] = std::move(key);
        numbers[static_cast<std::size_t>(k)] = k;
    }
    std::int64_t Size() const { return static_cast<std::int64_t>(keys.size()) - 1; }
    void Sort() { QuickSortKeys(keys, numbers, 1, Size()); }
};

template <class L, class KeyOf>
KeyTable KeysOf(const RecordBuffer& source, KeyOf keyOf) {
    KeyTable table(source.Count());
    std::string buffer;
    for (std::int64_t k = 1; k <= source.Count(); ++k)
        table.Set(k, keyOf(records::RecordView<L>(RecordAsRead(source.Record(k), buffer))));
    return table;
}

// The sorted file's content: the records that survive, in key order, as they were read.
std::string SortedContent(const RecordBuffer& source, KeyTable& table) {
    table.Sort();
    const std::vector<std::int64_t> survivors = SurvivingNumbers(table.keys, table.numbers);
    std::string content;
    content.reserve(survivors.size() * (source.Count() > 0 ? source.Record(1).size() : 0));
    for (std::int64_t number : survivors) content.append(source.Record(number));
    return content;
}

// The working copy and the full copy: one content, so they are equal byte for byte.
void WriteBothCopies(std::string_view workingName, std::string_view fullName, const std::string& content) {
    common::WriteFileAtomically(common::AppPath(workingName), content);
    common::WriteFileAtomically(common::AppPath(fullName), content);
}

// The state label when the weights are unpacked; otherwise the request to unpack them.
void CheckWeights(common::Host& host) {
    if (app::ShowWeightsPresent(host, app::WeightsNote::Short)) return;
    AskForFirstWeights(host);
    // Without the installer the request cannot be followed: say so where failures are kept.
    std::error_code ec;
    if (!fs::is_regular_file(common::AppPath(kWeightsInstaller), ec))
        common::LogError(kStructureStep, std::string(kWeightsInstaller) + " is not in the application folder: the weights were not unpacked");
}

void BuildRaceFiles(StructureSummary& summary) {
    const RecordBuffer source = RecordBuffer::Read(common::AppPath(records::kRaThisWeek), kLengthOf<LayoutRA>);
    summary.raceRecords = source.Count();
    KeyTable table = KeysOf<LayoutRA>(source, RaceSortKey);
    const std::string content = SortedContent(source, table);
    summary.races = static_cast<std::int64_t>(content.size() / kLengthOf<LayoutRA>);
    WriteBothCopies(records::kRaThisWeekNew, records::kRaThisWeekNewD, content);
}

// Runner records of data kind "1" (the earliest stage of a race) leave SETHISWEEKN.dat for good;
// the others keep their order. The kept records are returned whether or not the rewrite succeeds.
void FilterRunners(StructureSummary& summary, std::optional<RecordBuffer>& kept) {
    const fs::path path = common::AppPath(records::kSeThisWeek);
    const RecordBuffer source = RecordBuffer::Read(path, kLengthOf<LayoutSE>);
    summary.runnerRecords = source.Count();
    std::string content;
    content.reserve(static_cast<std::size_t>(source.Count()) * kLengthOf<LayoutSE>);
    std::string buffer;
    for (std::int64_t k = 1; k <= source.Count(); ++k) {
        const std::string_view record = source.Record(k);
        const records::RecordView<LayoutSE> view(RecordAsRead(record, buffer));
        if (view.Get(records::kDataKubun<LayoutSE>) != "1") content.append(record);
    }
    // A missing file stays missing, and one without a record to drop (nor a torn tail) stays as it is.
    const bool rewrite = fs::exists(path) && content.size() != source.Size();
    kept.emplace(std::move(content), kLengthOf<LayoutSE>);
    summary.runnersKept = kept->Count();
    if (rewrite) common::WriteFileAtomically(path, kept->Bytes(), common::AppPath(records::kTemporary));
}

void BuildRunnerFiles(const RecordBuffer& kept, StructureSummary& summary) {
    KeyTable table = KeysOf<LayoutSE>(kept, RunnerSortKey);
    const std::string content = SortedContent(kept, table);
    summary.runners = static_cast<std::int64_t>(content.size() / kLengthOf<LayoutSE>);
    WriteBothCopies(records::kSeThisWeekNew, records::kSeThisWeekNewD, content);
}

// One record per horse in UMTHISWEEKNNEW.dat and the list of the horses; the dam keys are
// returned for the dam list, which is its own sub-step.
void BuildHorseFiles(StructureSummary& summary, std::optional<KeyTable>& damKeys) {
    const RecordBuffer source = RecordBuffer::Read(common::AppPath(records::kUmThisWeek), kLengthOf<LayoutUM>);
    summary.horseRecords = source.Count();
    KeyTable horses = KeysOf<LayoutUM>(source, [](records::RecordView<LayoutUM> um) {
        return std::string(um.Get(records::um::KettoNum));
    });
    // The dam: the second entry of the pedigree.
    damKeys = KeysOf<LayoutUM>(source, [](records::RecordView<LayoutUM> um) {
        return std::string(um.Get(records::um::Ketto3InfoHansyokuNum, 1));
    });
    const std::string content = SortedContent(source, horses);
    const std::vector<std::string> list = DistinctKeys(horses.keys);
    summary.horses = static_cast<std::int64_t>(list.size());
    WriteKeyList(common::AppPath(kHorseList), list);
    common::WriteFileAtomically(common::AppPath(records::kUmThisWeekNew), content);
}

void BuildDamList(KeyTable& damKeys, StructureSummary& summary) {
    damKeys.Sort();
    const std::vector<std::string> list = DistinctKeys(damKeys.keys);
    summary.dams = static_cast<std::int64_t>(list.size());
    WriteKeyList(common::AppPath(kDamList), list);
}

}  // namespace

void QuickSortKeys(std::vector<std::string>& keys, std::vector<std::int64_t>& numbers, std::ptrdiff_t low,
                   std::ptrdiff_t high) {
    common::QuickSortAscending(keys, numbers, low, high);
}

std::vector<std::int64_t> SurvivingNumbers(const std::vector<std::string>& sortedKeys,
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

std::vector<std::string> DistinctKeys(const std::vector<std::string>& sortedKeys) {
    std::vector<std::string> distinct;
    for (std::size_t i = 1; i < sortedKeys.size(); ++i)
        if (sortedKeys[i] != sortedKeys[i - 1]) distinct.push_back(sortedKeys[i]);
    return distinct;
}

StructureSummary BuildWeekStructures(common::Host& host) {
    StructureSummary summary;
    const std::string_view step = kStructureStep;

    common::PassOver(step, [&] { CheckWeights(host); });
    common::PassOver(step, [&] {
        host.setStatus(common::StatusBox::Text4, kStructureStartText);
        host.pumpEvents();
    });

    common::PassOver(step, [&] { BuildRaceFiles(summary); });

    std::optional<RecordBuffer> keptRunners;
    common::PassOver(step, [&] { FilterRunners(summary, keptRunners); });
    // Without the runner records (the file could not be read) there is nothing to sort, and the
    // sorted files of the last run stay.
    if (keptRunners) common::PassOver(step, [&] { BuildRunnerFiles(*keptRunners, summary); });
    keptRunners.reset();

    std::optional<KeyTable> damKeys;
    common::PassOver(step, [&] { BuildHorseFiles(summary, damKeys); });
    if (damKeys) common::PassOver(step, [&] { BuildDamList(*damKeys, summary); });

    common::PassOver(step, [&] { summary.runFiles = RebuildHorseRunFiles(host, step); });

    common::PassOver(step, [&] {
        const std::int64_t count = records::WeekFileUM(common::AppPath(records::kUmThisWeek)).Count();
        host.setStatus(common::StatusBox::Text4, std::string(kStructureEndText) + " " + common::StrText(count));
    });
    return summary;
}

}  // namespace acquisition
