#include "acquisition/race_cancellation.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "acquisition/breaking_results.h"
#include "acquisition/fetch_messages.h"
#include "acquisition/recent_races.h"
#include "acquisition/run_files.h"
#include "common/error_log.h"
#include "common/missing_input.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/step_marks.h"
#include "records/decoders.h"
#include "records/fields.h"
#include "records/record_check.h"
#include "records/week_record_file.h"

namespace acquisition {

namespace fs = std::filesystem;

namespace {

using records::LayoutRA;
using records::LayoutSE;
using records::RecordView;

constexpr std::string_view kStep = kCancellationStep;

// Year, JyoCD, Kaiji, Nichiji and RaceNum: the race whatever its date field says, so a race whose
// breaking record carries another MonthDay (a postponed race) is still found.
template <class L>
void AppendRaceMatchKey(RecordView<L> record, std::string& key) {
    key.append(record.Get(records::kYear<L>));
    key.append(record.Get(records::kJyoCD<L>));
    key.append(record.Get(records::kKaiji<L>));
    key.append(record.Get(records::kNichiji<L>));
    key.append(record.Get(records::kRaceNum<L>));
}

void AppendMatchKey(RecordView<LayoutRA> race, std::string& key) { AppendRaceMatchKey(race, key); }
void AppendMatchKey(RecordView<LayoutSE> runner, std::string& key) {
    AppendRaceMatchKey(runner, key);
    key.append(runner.Get(records::se::Umaban));
}

// The match key of a record, made in `key` (one string reused for every record); zero bytes in
// its fields read as blanks, as they do in the whole record.
template <class L>
const std::string& MatchKeyOf(std::string_view record, std::string& key) {
    key.clear();
    AppendMatchKey(RecordView<L>(record), key);
    BlankZeros(key);
    return key;
}

// The key a record of the full copy stands once under: its race (and the runner's horse number
// and horse), its date and its data kind, finer than the structure step's, which keeps one record
// of each. A "9" record has none: the marking writes a called-off race's "9" record over every
// record of the race.
template <class L>
bool OnceKeyOf(std::string_view record, std::string& key) {
    const RecordView<L> view(record);
    if (view.Get(records::kDataKubun<L>) == "9") return false;
    MatchKeyOf<L>(record, key);
    key.append(view.Get(records::kMonthDay<L>));
    key.append(view.Get(records::kDataKubun<L>));
    if constexpr (std::is_same_v<L, LayoutSE>) key.append(view.Get(records::se::KettoNum));
    return true;
}

// A record file's content handed from one part of the run to the next so that each file is read
// once: its whole records as views into the files read whole they come from (a marked record comes
// from the breaking file), and a torn tail. Nothing is copied after the read: a week's runner file
// would cost as much to copy as to write. Held only when it is what the file holds: a part that fails hands
// nothing on, and the next part reads the file.
struct HeldRecords {
    std::vector<common::LoadedFile> files;  // the views point into them
    std::vector<std::string_view> records;
    std::string_view tail;  // a torn last record
    bool held = false;

    // The file as it is, read whole.
    static HeldRecords Read(const fs::path& path, std::size_t length) {
        HeldRecords file;
        file.Load(path, length);
        return file;
    }
    // Reads `path` and holds its records and tail (not yet marked as held); returns its bytes.
    std::string_view Load(const fs::path& path, std::size_t length) {
        const std::string_view bytes = files.emplace_back(path).Bytes();
        records = common::WholeRecords(bytes, length);
        tail = bytes.substr(records.size() * length);
        return bytes;
    }
    // The content in pieces, records that lie one after another joined.
    std::vector<std::string_view> Pieces() const {
        std::vector<std::string_view> pieces = JoinAdjacent(records);
        if (!tail.empty()) pieces.push_back(tail);
        return pieces;
    }
    // Taken from `from` when it holds the file, else read from it; `from` holds nothing after.
    static HeldRecords Take(HeldRecords& from, const fs::path& path, std::size_t length) {
        HeldRecords taken = from.held ? std::move(from) : Read(path, length);
        from = {};
        return taken;
    }
};

// Writes every "9" record of the breaking file over each record of the full copy with the same
// match key; the full copy keeps its length. Returns the records overwritten; `fullHeld` holds the
// full copy when it was read.
// Damaged records of either file are passed over (logged) and counted in `damaged`. A full copy
// with a damaged record or a torn tail is not written back (its records after a shift would be
// written as read, shifted): marking it fails.
template <class L>
std::int64_t MarkCancelled(std::string_view breakingName, std::string_view fullName, std::int64_t& damaged,
                           HeldRecords& fullHeld) {
    constexpr std::size_t length = static_cast<std::size_t>(records::kLength<L>);
    const fs::path breakingPath = common::AppPath(breakingName);
    common::LoadedFile breaking(breakingPath);
    std::unordered_map<std::string, std::string_view> cancelled;
    std::string key;
    damaged += records::ForEachSoundRecord<L>(kStep, breakingPath, breaking.Bytes(), [&](std::int64_t, std::string_view record) {
        // (A zero byte there, read as a blank, is not "9" either.)
        if (RecordView<L>(record).Get(records::kDataKubun<L>) != "9") return;
        cancelled[MatchKeyOf<L>(record, key)] = record;  // a later one of the same key wins
    });
    if (cancelled.empty()) return 0;

    const fs::path fullPath = common::AppPath(fullName);
    HeldRecords full;
    const std::string_view fullBytes = full.Load(fullPath, length);
    std::int64_t marked = 0;
    const std::int64_t fullDamaged = records::ForEachSoundRecord<L>(kStep, fullPath, fullBytes, [&](std::int64_t n, std::string_view record) {
        const auto found = cancelled.find(MatchKeyOf<L>(record, key));
        if (found == cancelled.end()) return;
        // Every record of the race, not only the first: the full copy holds one per data kind,
        // and a kind left unmarked would keep the race in the working copy.
        full.records[static_cast<std::size_t>(n - 1)] = found->second;
        ++marked;
    });
    damaged += fullDamaged;
    if (fullDamaged > 0)
        throw std::runtime_error(fullPath.filename().string() + " is damaged: the records called off are not marked in it, and it is left as it is");
    if (marked > 0) common::WriteFileAtomically(fullPath, full.Pieces(), common::AppPath(records::kTemporary));
    full.files.push_back(std::move(breaking));  // the marked records point into it
    full.held = true;
    fullHeld = std::move(full);
    return marked;
}

// The working copy: the full copy's records of every data kind but "1" and "9", in order, written
// through the scratch file so that a failure leaves the old working copy whole. A full copy without
// a record leaves it as it is (counted in `outputsKept` when it holds something), and so does a
// damaged one: the working copy would lose every record after the damage. Returns the records
// written, -1 when it was left. The full copy is taken from `fullHeld` when the marking held it;
// `workingHeld` holds the working copy written.
template <class L>
std::int64_t RebuildWorkingCopy(std::string_view fullName, std::string_view workingName, std::int64_t& outputsKept,
                               std::int64_t& damaged, HeldRecords& fullHeld, HeldRecords& workingHeld) {
    constexpr std::size_t length = static_cast<std::size_t>(records::kLength<L>);
    const fs::path fullPath = common::AppPath(fullName);
    std::error_code ec;
    if (!fs::is_regular_file(fullPath, ec))
        throw std::runtime_error(fullPath.string() + " is missing: " + std::string(workingName) + " is left as it is");
    HeldRecords full = HeldRecords::Take(fullHeld, fullPath, length);
    if (full.records.empty()) {
        if (common::KeepOutput(kStep, common::AppPath(workingName), fullPath)) ++outputsKept;
        return -1;
    }
    HeldRecords kept;
    // The structure step writes the full copy sorted, each key once: a record of the key of the one
    // before it is a copy, not what that step wrote.
    std::string key;
    std::string previousKey;
    std::int64_t previous = 0;  // its record number, 0 for none
    std::int64_t repeated = 0;
    const std::int64_t fullDamaged = records::ForEachSoundRecord<L>(kStep, fullPath, full.records, full.records.size() * length + full.tail.size(), [&](std::int64_t n, std::string_view record) {
        if (OnceKeyOf<L>(record, key)) {
            if (previous > 0 && key == previousKey) {
                ++repeated;
                common::LogError(kStep, fullPath.string() + " record " + std::to_string(n) + ": the same " +
                                            (std::is_same_v<L, LayoutSE> ? "runner" : "race") + " as record " +
                                            std::to_string(previous) + " stands a second time: passed over");
                return;
            }
            previousKey.swap(key);
            previous = n;
        }
        // (A zero byte there, read as a blank, is neither.)
        const std::string_view kind = RecordView<L>(record).Get(records::kDataKubun<L>);
        if (kind == "1" || kind == "9") return;
        kept.records.push_back(record);
    });
    damaged += fullDamaged + repeated;
    if (fullDamaged + repeated > 0) {
        common::LogError(kStep, std::string(workingName) + " left as it was: " + fullPath.filename().string() +
                                    " is damaged, and the records after the damage would be lost");
        ++outputsKept;
        return -1;
    }
    common::WriteFileAtomically(common::AppPath(workingName), kept.Pieces(), common::AppPath(records::kTemporary));
    kept.files = std::move(full.files);
    kept.held = true;
    workingHeld = std::move(kept);
    return static_cast<std::int64_t>(workingHeld.records.size());
}

}  // namespace

CancellationSummary ApplyRaceCancellations(dataservice::JVLink& link, common::Host& host,
                                           const std::function<void(std::string_view)>& setText1) {
    CancellationSummary summary;
    auto text = [&](std::string_view t) {
        if (setText1) common::PassOver(kStep, [&] { setText1(t); });
    };
    // One part: a failure is logged and counted, and the next part runs.
    auto part = [&](auto&& work) {
        if (common::PassOver(kStep, work)) return true;
        ++summary.failures;
        return false;
    };

    // The mark stands until the run has ended: a run cut short leaves it for the next start.
    part([] { common::SetStepMark(common::MarkedStep::Cancellation); });
    text(kCancellationStartText);
    host.pumpEvents();
    const std::vector<std::string> unfinished = common::UnfinishedInputParts(common::MarkedStep::Cancellation, kStep);

    bool datesRead = false;
    part([&] {
        summary.dates = RecentRaceDates(common::AppPath(records::kRaThisWeekNew), kStep, &summary.recordsPassedOver);
        datesRead = true;
    });
    if (datesRead && summary.dates.empty()) {
        // No race this week: there is nothing to ask for and nothing to take out. Structure
        // building has not run, or had nothing to sort.
        common::InputCheck inputs(kStep, common::InputCheck::Need::Every);
        inputs.Note(common::AppPath(records::kRaThisWeekNew), false);
        host.messageBox(kNoData);
        std::vector<std::string> parts = unfinished;
        parts.emplace_back(inputs.Report());
        part([] { common::ClearStepMark(common::MarkedStep::Cancellation); });
        text(std::string(kCancellationNoInputStem) +
             common::PassedOverNote(parts, common::RunFirstPart(common::MarkedStep::Cancellation)));
        summary.outcome = CancellationOutcome::NoRaces;
        return summary;
    }

    const BreakingResultCounts fetched = FetchBreakingResultDates(link, host, summary.dates, kStep);
    summary.raAppended = fetched.raAppended;
    summary.seAppended = fetched.seAppended;
    summary.hrAppended = fetched.hrAppended;
    summary.otherSkipped = fetched.otherSkipped;
    summary.failures += fetched.failures;
    summary.recordsPassedOver += fetched.passedOver;

    std::int64_t& damaged = summary.recordsPassedOver;
    // Each part works on what the part before it made in this run: when a part fails, the parts
    // after it do not run, since the file they would read is the last run's and what they made of
    // it would mix two runs. Their outputs stay as they are, named in the end text.
    UnmadeOutputs unmade(kStep);
    std::string_view missingInput;  // the horse list, when it held nothing
    {
        HeldRecords full, working;
        if (part([&] { summary.raceRecordsMarked = MarkCancelled<LayoutRA>(records::kRaRealtime, records::kRaThisWeekNewD, damaged, full); }))
            part([&] { summary.races = RebuildWorkingCopy<LayoutRA>(records::kRaThisWeekNewD, records::kRaThisWeekNew, summary.outputsKept, damaged, full, working); });
        else
            unmade.Keep(records::kRaThisWeekNew, records::kRaThisWeekNewD);
    }
    HeldRecords fullRunners, workingRunners;
    bool runnersFailed = false;
    if (part([&] { summary.runnerRecordsMarked = MarkCancelled<LayoutSE>(records::kSeRealtime, records::kSeThisWeekNewD, damaged, fullRunners); })) {
        runnersFailed = !part([&] { summary.runners = RebuildWorkingCopy<LayoutSE>(records::kSeThisWeekNewD, records::kSeThisWeekNew, summary.outputsKept, damaged, fullRunners, workingRunners); });
    } else {
        unmade.Keep(records::kSeThisWeekNew, records::kSeThisWeekNewD);
        runnersFailed = true;
    }
    fullRunners = {};
    part([&] {
        const fs::path runFolder = common::AppPath(kHorseRunFolder);
        if (runnersFailed) return unmade.Keep(kHorseRunFolder, records::kSeThisWeekNew);
        // A working runner copy that this run left as it was (its full copy held nothing, or was
        // damaged) is the last run's: the run files stay as they are, not emptied when it holds nothing.
        if (!workingRunners.held) {
            const fs::path runners = common::AppPath(records::kSeThisWeekNew);
            std::error_code ec;
            if (fs::file_size(runners, ec) >= static_cast<std::uintmax_t>(records::kLength<LayoutSE>) && !ec)
                unmade.Keep(kHorseRunFolder, records::kSeThisWeekNew);
            else if (common::KeepOutput(kStep, runFolder, runners))
                ++summary.outputsKept;
            return;
        }
        // Without the horse list no run file would be rebuilt, and the runs called off would stay in them.
        const std::vector<std::string> horses = ReadKeyList(common::AppPath(kHorseList));
        if (horses.empty()) {
            missingInput = kHorseList;
            if (common::KeepOutput(kStep, runFolder, common::AppPath(kHorseList))) ++summary.outputsKept;
            return;
        }
        // One rebuilt empty (every runner called off) empties them.
        const auto bytes = static_cast<std::uint64_t>(workingRunners.records.size()) * records::kLength<LayoutSE>;
        summary.runFiles = WriteHorseRunFiles(horses, workingRunners.records, bytes, host, kStep);
        summary.failures += summary.runFiles.horsesPassedOver;  // each logged by the rebuild
        summary.recordsPassedOver += summary.runFiles.recordsPassedOver;
    });

    part([] { common::ClearStepMark(common::MarkedStep::Cancellation); });
    summary.outcome = summary.failures > 0 ? CancellationOutcome::Incomplete : CancellationOutcome::Done;
    std::vector<std::string> parts = unfinished;
    if (!missingInput.empty()) {
        common::InputCheck inputs(kStep, common::InputCheck::Need::Every);
        inputs.Note(common::AppPath(records::kSeThisWeekNew), true);
        inputs.Note(common::AppPath(missingInput), false);
        parts.emplace_back(inputs.Report());
    }
    if (summary.outputsKept > 0) parts.push_back(common::KeptOutputsPart(summary.outputsKept));
    if (!unmade.Empty()) parts.push_back(unmade.Part());
    if (damaged > 0) parts.push_back(records::DamagedRecordsPart(damaged));
    text(std::string(summary.outcome == CancellationOutcome::Done ? kCancellationEndText : kCancellationIncompleteText) +
         common::PassedOverNote(parts));
    return summary;
}

}  // namespace acquisition
