#include "engine/day_before_fix.h"

#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <unordered_set>
#include <vector>

#include "acquisition/run_files.h"
#include "common/encoding.h"
#include "common/error_log.h"
#include "common/missing_input.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/step_marks.h"
#include "common/text_file.h"
#include "engine/ex_builder.h"
#include "engine/ex_record.h"
#include "records/fields.h"
#include "records/keys.h"
#include "records/record_check.h"
#include "records/week_record_file.h"

namespace engine {

namespace {

namespace fs = std::filesystem;
using records::LayoutRA;
using records::LayoutSE;

template <class L>
consteval records::Ref<L> At(std::string_view path) { return records::Locate<L>(path); }

constexpr auto kBaTaijyu = At<LayoutSE>("BaTaijyu");
constexpr auto kTimeDiff = At<LayoutSE>("TimeDiff");
constexpr auto kFutan = At<LayoutSE>("Futan");
constexpr auto kFutanBefore = At<LayoutSE>("FutanBefore");
constexpr auto kKisyuCode = At<LayoutSE>("KisyuCode");
constexpr auto kKisyuCodeBefore = At<LayoutSE>("KisyuCodeBefore");
constexpr auto kKisyuRyakusyo = At<LayoutSE>("KisyuRyakusyo");
constexpr auto kKisyuRyakusyoBefore = At<LayoutSE>("KisyuRyakusyoBefore");
static_assert(kKisyuCode.width == kKisyuCodeBefore.width && kFutan.width == kFutanBefore.width &&
              kKisyuRyakusyo.width == kKisyuRyakusyoBefore.width);

constexpr std::size_t kRunLength = static_cast<std::size_t>(records::kLength<LayoutSE>);
constexpr std::size_t kRaceLength = static_cast<std::size_t>(records::kLength<LayoutRA>);

template <class L>
std::string_view FieldOf(std::string_view record, records::Ref<L> ref) {
    return record.substr(static_cast<std::size_t>(ref.offset), static_cast<std::size_t>(ref.width));
}

template <class L>
void Put(std::string& record, records::Ref<L> ref, std::string_view bytes) {
    std::memcpy(record.data() + ref.offset, bytes.data(), static_cast<std::size_t>(ref.width));
}

template <class L>
void CopyField(std::string& record, records::Ref<L> to, records::Ref<L> from) {
    std::memmove(record.data() + to.offset, record.data() + from.offset, static_cast<std::size_t>(to.width));
}

// A field read as a number, zero bytes as blanks.
template <class L>
double NumberOf(std::string_view record, records::Ref<L> ref) {
    return common::Val(common::BlankZeros(FieldOf(record, ref)));
}

// What the fix assumes of every race it treats.
constexpr std::string_view kFineWeather = "1";
constexpr std::string_view kGoodGoing = "1";
static_assert(records::ra::TenkoBaba.width == 3 && records::ra::TenkoCD.offset == records::ra::TenkoBaba.offset);

// A sub-step whose failure is logged and counted, and the fix goes on.
template <class F>
void Part(DayBeforeFixSummary& summary, F&& part) {
    if (!common::PassOver(kDayBeforeFixStep, std::forward<F>(part))) ++summary.failures;
}

}  // namespace

void FixLastRun(std::string& last, std::string_view before) {
    if (last.size() < kRunLength) throw std::invalid_argument("a runner record has 555 bytes");
    if (before.empty()) {
        Put(last, kBaTaijyu, kDebutBodyWeight);
    } else {
        if (before.size() < kRunLength) throw std::invalid_argument("a runner record has 555 bytes");
        Put(last, kBaTaijyu, FieldOf(before, kBaTaijyu));
    }
    Put(last, kTimeDiff, "0000");
    if (NumberOf(last, kKisyuCodeBefore) != 0) {
        CopyField(last, kKisyuCode, kKisyuCodeBefore);
        CopyField(last, kKisyuRyakusyo, kKisyuRyakusyoBefore);
    }
    if (NumberOf(last, kFutanBefore) != 0) CopyField(last, kFutan, kFutanBefore);
}

bool SetFineWeatherAndGoodGoing(std::string& race) {
    if (race.size() < kRaceLength) throw std::invalid_argument("a race record has 1272 bytes");
    const std::string before(FieldOf(race, records::ra::TenkoBaba));
    Put(race, records::ra::TenkoCD, kFineWeather);
    Put(race, records::ra::SibaBabaCD, kGoodGoing);
    Put(race, records::ra::DirtBabaCD, kGoodGoing);
    return FieldOf(race, records::ra::TenkoBaba) != before;
}

void SetFineWeatherAndGoodGoing(ExRecord& run) {
    run.Set(ex::TenkoCD, kFineWeather);
    run.Set(ex::SibaBabaCD, kGoodGoing);
    run.Set(ex::DirtBabaCD, kGoodGoing);
}

void FixLastEntry(DayBeforeFixSummary& summary) {
    const fs::path listPath = common::AppPath(acquisition::kHorseList);
    std::vector<std::string> horses;
    // A missing list reads as no horse: FixPreviousDay names it as an input that held nothing.
    Part(summary, [&] { horses = acquisition::ReadKeyList(listPath); });
    summary.horses = static_cast<std::int64_t>(horses.size());

    // One buffer for every horse's runs: a fresh one per horse would cost more than the reading.
    std::string buffer;
    for (const std::string& kettoNum : horses) {
        Part(summary, [&] {
            if (!acquisition::IsValidKettoNum(kettoNum))
                throw std::invalid_argument("KettoNum \"" + kettoNum + "\" of " + std::string(acquisition::kHorseList) +
                                            " cannot name a file");
            // Reading never creates the file. A listed horse without one is an input missing; one
            // whose file is empty (its runs all called off) has nothing to fix.
            const common::RecordFile file(acquisition::HorseRunFilePath(kettoNum), kRunLength);
            std::error_code ec;
            if (!fs::exists(file.Path(), ec)) {
                common::LogError(kDayBeforeFixStep, file.Path().string() + " is missing: the horse's last run not fixed");
                ++summary.lastEntriesNotFixed;
                return;
            }
            // The last run and the one before it. A run file with a damaged, shifted or repeated
            // run, or bytes after its last run, is left as it was: the fix could go into an older,
            // finished run, and writing into the file would keep the damage.
            const std::string_view runs = common::ReadFileBytes(file.Path(), buffer);
            std::string_view before;
            std::string_view newest;
            std::int64_t n = 0;
            RepeatedRuns seen(runs.size() / kRunLength);
            std::int64_t repeats = 0;
            const std::int64_t passedOver = records::ForEachSoundRecord<LayoutSE>(
                kDayBeforeFixStep, file.Path(), runs, [&](std::int64_t k, std::string_view record) {
                    if (const std::int64_t earlier = seen.Seen(k, record)) {
                        common::LogError(kDayBeforeFixStep, RepeatedRunLine(file.Path(), k, earlier));
                        ++repeats;
                    }
                    before = newest;
                    newest = record;
                    n = k;
                });
            const std::int64_t damaged = passedOver + repeats;
            summary.recordsPassedOver += damaged;
            if (runs.empty()) return;
            if (damaged > 0) {
                common::LogError(kDayBeforeFixStep, file.Path().string() + ": damaged: its last run not fixed, the file left as it was");
                ++summary.lastEntriesNotFixed;
                return;
            }
            std::string last(newest);
            FixLastRun(last, before);
            if (last != newest) file.Write(n, last);
            ++summary.lastEntriesFixed;
        });
    }
}

void FixRaceConditions(DayBeforeFixSummary& summary, const std::function<void(int)>& progress) {
    const common::RecordFile raceFile(common::AppPath(records::kRaThisWeekNew), kRaceLength);
    std::vector<std::string> races = raceFile.ReadAll();
    // The whole records are fixed; a damaged one is passed over (logged) and written back as it
    // was, and after a shifted one nothing is looked at.
    std::vector<std::string*> whole;
    {
        records::RecordFileCheck check(kDayBeforeFixStep, raceFile.Path(), LayoutRA::kName, kRaceLength,
                                       raceFile.Size());
        // Structure building writes each race once: a record that stands again byte for byte was
        // copied into the file, and is written back as it was rather than fixed a second time.
        std::unordered_set<std::string_view, RecordHeadHash> seen;
        seen.reserve(races.size());
        for (std::size_t i = 0; i < races.size() && !check.Stopped(); ++i) {
            const auto n = static_cast<std::int64_t>(i) + 1;
            if (!check.Sound(n, races[i])) continue;
            if (!seen.insert(races[i]).second) {
                common::LogError(kDayBeforeFixStep, raceFile.Path().string() + " record " + std::to_string(n) +
                                                        ": the same race record stands again: passed over");
                ++summary.recordsPassedOver;
                continue;
            }
            whole.push_back(&races[i]);
        }
        summary.recordsPassedOver += check.PassedOver();
    }
    summary.raceRecords = static_cast<std::int64_t>(whole.size());
    // No race: nothing to fix (FixPreviousDay names the file as an input that held nothing).
    if (whole.empty()) return;
    summary.resultMode = (*whole.back())[static_cast<std::size_t>(records::kDataKubun<LayoutRA>.offset)] == '7';

    std::unordered_set<std::string> payoutKeys;
    if (summary.resultMode) {
        // The race list becomes the races that have a payout record, in the payout file's order.
        std::string list;
        const records::WeekFileHR payouts(common::AppPath(records::kHrThisWeek));
        summary.recordsPassedOver += payouts.ForEach(kDayBeforeFixStep, [&](std::int64_t, records::RecordView<records::LayoutHR> hr) {
            // The fetch keeps every payout record delivered, a repeated one too: each race is
            // listed once.
            const std::string key = records::RaceKey12Of(hr);
            if (!payoutKeys.insert(key).second) return;
            list += common::WrittenFields({key});
            list += "\r\n";
            ++summary.payoutKeys;
        });
        // Without a payout the list would be emptied: the list of the last run stays.
        if (summary.payoutKeys == 0) {
            if (common::KeepOutput(kDayBeforeFixStep, common::AppPath(kRaceWeekListFile), common::AppPath(records::kHrThisWeek)))
                ++summary.outputsKept;
        } else {
            common::WriteFileAtomically(common::AppPath(kRaceWeekListFile), list);
        }
    }

    bool changed = false;
    const auto count = static_cast<std::int64_t>(whole.size());
    for (std::int64_t r = 1; r <= count; ++r) {
        std::string& race = *whole[static_cast<std::size_t>(r - 1)];
        const bool fix = summary.resultMode
                             ? payoutKeys.contains(records::RaceKey12(common::BlankZeros(
                                   FieldOf(race, records::kRaceId<LayoutRA>))))
                             : race[static_cast<std::size_t>(records::kDataKubun<LayoutRA>.offset)] == '1';
        if (fix) {
            changed = SetFineWeatherAndGoodGoing(race) || changed;
            ++summary.racesFixed;
        }
        if (progress) progress(static_cast<int>(r * 100 / count));
    }
    if (changed) raceFile.RewriteAll(races);
}

DayBeforeFixSummary FixPreviousDay(common::Host& host, const DayBeforeFixControls& controls) {
    DayBeforeFixSummary summary;
    // The mark stands until the run has ended: a run cut short leaves it for the next start.
    Part(summary, [] { common::SetStepMark(common::MarkedStep::DayBeforeFix); });
    if (controls.setProgressBar1) controls.setProgressBar1(0);
    const std::vector<std::string> unfinished = common::UnfinishedInputParts(common::MarkedStep::DayBeforeFix, kDayBeforeFixStep);
    FixLastEntry(summary);
    Part(summary, [&] { FixRaceConditions(summary, controls.setProgressBar1); });

    // The fix works on the structures of the week; without them it had nothing to fix.
    common::InputCheck inputs(kDayBeforeFixStep, common::InputCheck::Need::Every);
    inputs.Note(common::AppPath(acquisition::kHorseList), summary.horses > 0);
    inputs.Note(common::AppPath(records::kRaThisWeekNew), summary.raceRecords > 0);
    if (summary.resultMode) inputs.Note(common::AppPath(records::kHrThisWeek), summary.payoutKeys > 0);
    summary.inputNote = inputs.Report();
    Part(summary, [] { common::ClearStepMark(common::MarkedStep::DayBeforeFix); });

    std::vector<std::string> noteParts = unfinished;
    if (!summary.inputNote.empty()) noteParts.push_back(summary.inputNote);
    if (summary.outputsKept > 0) noteParts.push_back(common::KeptOutputsPart(summary.outputsKept));
    if (summary.lastEntriesNotFixed > 0)
        noteParts.push_back("前日固定できなかった馬 " + std::to_string(summary.lastEntriesNotFixed) + " 頭");
    if (summary.recordsPassedOver > 0) noteParts.push_back(records::DamagedRecordsPart(summary.recordsPassedOver));
    const std::string runFirst = summary.inputNote.empty() ? "" : common::RunFirstPart(common::MarkedStep::DayBeforeFix);
    if (controls.setText1) controls.setText1(std::string(kDayBeforeFixDone) + common::PassedOverNote(noteParts, runFirst));
    if (summary.failures > 0) host.messageBox(kDayBeforeFixIncomplete);
    return summary;
}

}  // namespace engine
