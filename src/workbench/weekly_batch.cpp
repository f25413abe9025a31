#include "workbench/weekly_batch.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>

#include "common/code_table.h"
#include "common/error_log.h"
#include "common/cores.h"
#include "common/missing_input.h"
#include "common/other_cores.h"
#include "common/paths.h"
#include "common/step_marks.h"
#include "engine/ex_record.h"
#include "records/record_check.h"
#include "records/week_record_file.h"
#include "workbench/batch_log.h"
#include "workbench/race_list.h"
#include "workbench/race_state.h"
#include "workbench/race_steps.h"
#include "workbench/race_writing.h"
#include "workbench/runner_records.h"

namespace workbench {

namespace {

// The whole records of a week file; damaged ones are passed over, logged and counted.
template <class L>
std::vector<records::StoredRecord<L>> ReadWeekFileRecords(std::string_view name, BatchLog& log) {
    std::vector<records::StoredRecord<L>> out;
    log.CountDamagedRecords(records::WeekRecordFile<L>(common::AppPath(name)).ForEach(kBatchStep, [&](std::int64_t, records::RecordView<L> view) {
        out.emplace_back();
        out.back().Assign(view.Bytes());
    }));
    return out;
}

}  // namespace

WeekBatch WeeklyYosoBatch(common::Host& host, RaceWriterTable writers) {
    WeekBatch batch;
    BatchLog log;
    // The mark stands until the run has ended: a run cut short leaves it for the next start.
    log.Step(common::MarkOf(common::MarkedStep::WeeklyBatch).markFile, [] { common::SetStepMark(common::MarkedStep::WeeklyBatch); });
    batch.UnfinishedInputs = common::UnfinishedInputParts(common::MarkedStep::WeeklyBatch, kBatchStep);

    // The code table logs a missing file and what it could not read itself; without a file the
    // names are empty.
    const common::CodeTable codes = common::CodeTable::Load();
    if (!codes.FileFound() || codes.RowsDropped() > 0 || codes.Damaged()) log.CountStep();
    if (codes.Damaged()) {
        // The course names go into file names: a table there but not read whole would have the
        // races' files written under other names beside the right ones. Nothing is written; the
        // next run does it all.
        log.Step(common::MarkOf(common::MarkedStep::WeeklyBatch).markFile, [] { common::ClearStepMark(common::MarkedStep::WeeklyBatch); });
        batch.StepsPassedOver = log.StepsPassedOver();
        return batch;
    }

    // The mode, and the payout and race records, each file read once; they are let go once the
    // races are listed. Of the race file, which holds past weeks' races too, only the records the
    // list can use are kept.
    RaceList list;
    {
        std::vector<records::StoredHR> payoutFile;
        RaceFileRecords raceFile;
        log.Step(records::kHrThisWeek, [&] { payoutFile = ReadWeekFileRecords<records::LayoutHR>(records::kHrThisWeek, log); });
        log.Step(records::kRaThisWeekNew, [&] {
            const auto payoutRaces = PayoutRaces(payoutFile);
            std::int64_t read = 0;
            log.CountDamagedRecords(records::WeekFileRA(common::AppPath(records::kRaThisWeekNew))
                                        .ForEach(kBatchStep, [&](std::int64_t, records::RecordView<records::LayoutRA> ra) {
                                            raceFile.Take(++read, ra, ListCanUse(ra, payoutRaces));
                                        }));
        });
        batch.ResultMode = DecideResultMode(raceFile);

        // The race list and the three week files, each written whole once.
        log.Step("race list", [&] { list = ListRaces(batch.ResultMode, raceFile, payoutFile, codes, log); });
    }
    // Without a race to list the week files stay as the last run left them.
    if (list.Races.empty()) {
        batch.NothingToWorkOn = true;
        if (!list.NothingListed.empty()) common::LogError(kBatchStep, list.NothingListed);
    } else {
        WriteWeekFiles(list, log);
    }
    const int races = static_cast<int>(list.Races.size());
    batch.WeekRaceCount = races;
    batch.RaceInfoTable = workbench::RaceInfoTable(races);
    for (int r = 1; r <= races; ++r) {
        const ListedRace& race = list.Races[static_cast<std::size_t>(r - 1)];
        batch.RaceKeyList.push_back(race.RaceKey12);
        batch.RaceListLines.push_back(race.ListLine);
        batch.RaceInfoTable.SetRow(r, race.Title);
    }

    // The runners of every race, from this week's runner records.
    std::vector<RaceEntries> entries;
    const bool runnersRead = log.Step(records::kSeThisWeekNew, [&] {
        entries = ReadRaceEntries(std::vector<std::string>(batch.RaceKeyList.begin() + 1, batch.RaceKeyList.end()), log);
    });
    entries.resize(static_cast<std::size_t>(races));
    // No runner of a listed race (the runner records missing, empty or of another week), or no run
    // of any runner (the computation has not run), leaves no race to work on: the races' files
    // then stay as the last run left them rather than being written empty.
    common::InputCheck inputs(kBatchStep, common::InputCheck::Need::Every);
    int workRaces = runnersRead ? races : 0;
    if (workRaces > 0) {
        const bool anyRunner = std::ranges::any_of(entries, [](const RaceEntries& race) { return !race.empty(); });
        inputs.Note(common::AppPath(records::kSeThisWeekNew), anyRunner);
        if (!anyRunner) workRaces = 0;
    }

    // Race by race: the runner records with their expanded runs (the join), the race's runner
    // file and a fresh state; then its steps computed; then their files and the writers. Races
    // joined before any runner had a run wait: a week without a single run writes nothing. While
    // another core computes a race's steps, the calling thread reads the race after it and writes
    // the race before it, so that every file call and log line stays in one order.
    RaceWriting writing(writers, codes, log);
    RaceRun run{host, codes, log, writing};
    int joined = 0;
    int runnersWithRuns = 0;
    std::string runsBuffer;  // every runner's runs in turn, in one buffer for the whole run
    const auto join = [&] {
        const int r = ++joined;
        const std::string& key = batch.RaceKeyList[static_cast<std::size_t>(r)];
        RaceRunners runners = FirstFieldRecords(entries[static_cast<std::size_t>(r - 1)]);
        log.Race(r, key, "join", [&] {
            const RaceJoin join = JoinExpandedRuns(r, key, runners, codes, log, runsBuffer);
            runnersWithRuns += join.runnersWithRuns;
            if (join.weatherGoingSet) batch.RaceInfoTable.Set(r, info::kWeatherGoing, join.weatherGoing);
        });
        return runners;
    };
    std::deque<RaceRunners> waiting;
    while (joined < workRaces && runnersWithRuns == 0) waiting.push_back(join());
    const int firstRace = runnersWithRuns > 0 ? 1 : workRaces + 1;
    // A race between its reading and its files; its state is only there once it could be built.
    // It stays where it is while another core computes it.
    struct RaceInWork {
        std::optional<RaceState> race;
        RaceComputed computed;
        std::optional<std::string> failure;  // its steps could not be computed
    };
    const auto read = [&](int r) {
        auto work = std::make_unique<RaceInWork>();
        if (r > workRaces) return work;
        RaceRunners runners;
        if (waiting.empty()) {
            runners = join();
        } else {
            runners = std::move(waiting.front());
            waiting.pop_front();
        }
        const std::string& key = batch.RaceKeyList[static_cast<std::size_t>(r)];
        log.Race(r, key, "runner file", [&] { WriteRaceHorseFile(key, runners); });
        log.Race(r, key, "race state", [&] {
            work->race = BuildRaceState(r, batch.ResultMode, list.Races[static_cast<std::size_t>(r - 1)],
                                        batch.RaceInfoTable.Row(r), std::move(runners));
        });
        return work;
    };
    std::unique_ptr<RaceInWork> current = read(firstRace), next;
    // Declared after the races, so that it waits for the one computing before they go.
    common::OtherCores cores(std::min(2, common::UsableCores()));
    const auto startComputing = [&](RaceInWork* work) {
        if (!work->race) return;
        cores.Start([work, &codes] {
            work->failure = BatchLog::Attempt([&] { work->computed = ComputeRaceSteps(codes, *work->race); });
        });
    };
    startComputing(current.get());
    for (int r = firstRace; r <= workRaces; ++r) {
        next = read(r + 1);
        cores.Wait();
        const std::string& key = batch.RaceKeyList[static_cast<std::size_t>(r)];
        if (current->failure) log.RaceFailed(r, key, "race state", *current->failure);
        const bool computed = current->race && !current->failure;
        // The window's events are let through here, while nothing computes.
        if (computed) WriteRaceUntilStatus(run, *current->race, current->computed);
        startComputing(next.get());
        if (computed) {
            log.Race(r, key, "race state", [&] {
                WriteRaceAfterStatus(run, *current->race, current->computed);
                batch.RaceInfoTable.SetRow(r, current->race->RaceInfo);
            });
        }
        current = std::move(next);
    }
    if (workRaces > 0) inputs.Note(common::AppPath(engine::kExFolder), runnersWithRuns > 0);
    batch.InputsMissing = !inputs.Report().empty();

    log.Step(common::MarkOf(common::MarkedStep::WeeklyBatch).markFile, [] { common::ClearStepMark(common::MarkedStep::WeeklyBatch); });
    batch.RacesPassedOver = log.RacesPassedOver();
    batch.RunnersWithoutRuns = log.RunnersWithoutRuns();
    batch.StepsPassedOver = log.StepsPassedOver();
    batch.DamagedRecords = log.DamagedRecords();
    return batch;
}

std::string BatchEndText(const WeekBatch& b) {
    std::vector<std::string> parts = b.UnfinishedInputs;
    if (b.NothingToWorkOn) parts.emplace_back("対象のレースがありません");
    if (b.InputsMissing) parts.emplace_back(common::kSomeInputsMissingPart);
    if (b.RacesPassedOver) parts.push_back("一部を処理できなかったレース " + std::to_string(b.RacesPassedOver) + " 件");
    if (b.RunnersWithoutRuns) parts.push_back("展開データのない出走馬 " + std::to_string(b.RunnersWithoutRuns) + " 頭");
    if (b.StepsPassedOver) parts.push_back("処理できなかった手順 " + std::to_string(b.StepsPassedOver) + " 件");
    if (b.DamagedRecords) parts.push_back(records::DamagedRecordsPart(b.DamagedRecords));
    const bool inputMissing = b.NothingToWorkOn || b.InputsMissing;
    const std::string runFirst = inputMissing ? common::RunFirstPart(common::MarkedStep::WeeklyBatch) : "";
    return std::string(kBatchDoneText) + common::PassedOverNote(parts, runFirst);
}

std::string RaceStatusText(std::string_view raceKey12, std::string_view courseName) {
    std::string text(raceKey12.substr(0, 8));
    text += courseName;
    text += raceKey12.substr(10, 2);
    text += "R予想中";
    return text;
}

}  // namespace workbench
