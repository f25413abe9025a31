#include "workbench/race_steps.h"

#include <array>
#include <exception>
#include <string_view>
#include <utility>
#include <vector>

#include "common/paths.h"
#include "common/record_file.h"
#include "workbench/betting_files.h"
#include "workbench/ranking.h"
#include "workbench/tickets.h"
#include "workbench/weekly_batch.h"

namespace workbench {

namespace {

std::string CourseName(const common::CodeTable& codes, std::string_view raceKey12) {
    return codes.LookupCode("2001", raceKey12.substr(8, 2), 4);
}

/// Writes one KAIME file of the race whole, through a scratch file and a rename.
void WriteKaimeFile(std::string_view raceKey12, std::string_view suffix, std::string_view content) {
    common::WriteFileAtomically(common::AppPath(KaimeFileName(raceKey12, suffix)), content);
}

}  // namespace

void AnnounceRace(RaceRun& run, const RaceState& race) {
    run.host.pumpEvents();
    run.host.setStatus(common::StatusBox::Text5, RaceStatusText(race.RaceKey12, CourseName(run.codes, race.RaceKey12)));
}

const std::string& MadeBytes::Get() const {
    if (failed) std::rethrow_exception(failed);
    return bytes;
}

namespace {

template <class F>
MadeBytes Make(F&& make) {
    MadeBytes made;
    try {
        made.bytes = make();
    } catch (...) {
        made.failed = std::current_exception();
    }
    return made;
}

template <class F>
std::exception_ptr FailureOf(F&& work) {
    try {
        work();
        return nullptr;
    } catch (...) {
        return std::current_exception();
    }
}

void Rethrow(const std::exception_ptr& failed) {
    if (failed) std::rethrow_exception(failed);
}

}  // namespace

RaceStepWork ComputeRaceSteps(const common::CodeTable& codes, const RaceWriting& writing, RaceState& race) {
    const std::string& key = race.RaceKey12;
    RaceStepWork work;

    // Steps 1 to 3: the runners' values and texts, the spread and the predicted order, and the
    // runner files.
    RaceRanking ranking;
    work.rankingFailed = FailureOf([&] {
        std::vector<RunnerFields> runners;
        runners.reserve(static_cast<std::size_t>(race.RunnerCount));
        for (int h = 1; h <= race.RunnerCount; ++h) runners.push_back(RunnerFieldsOf(race.Runner(h)));
        ranking = RankRunners(runners, codes);
        race.RaceInfo[info::kSpread] = SpreadColumnText(ranking.RaceSD);
    });
    work.rankingNotes = ranking.Notes;
    const bool ranked = !work.rankingFailed;
    if (ranked) {
        work.sort = Make([&] { return SortFileBytes(ranking); });
        work.lupSort = Make([&] { return LupSortFileBytes(ranking); });
    }

    // Step 4: the tickets and their files.
    RaceTickets tickets;
    if (ranked) {
        work.ticketsFailed = FailureOf([&] {
            tickets = MakeTickets(ranking.YosoSpeed, ranking.Correction, ranking.YosoValue, ranking.RunnerCount);
            work.sorted = KaimeSortFileBytes(key, tickets);
        });
    }
    if (ranked && !work.ticketsFailed) {
        work.kaime = Make([&] { return KaimeRunnerLines(key, ranking) + KaimeTicketLines(key, tickets); });
        // A course name that cannot be part of a file name writes none of the five.
        work.betsFailed = FailureOf([&] { work.bets = BetCsvFiles(key, CourseName(codes, key), tickets); });
    }

    race.SetRanking(std::move(ranking));
    race.SetTickets(std::move(tickets));
    // Step 5's writers draft what depends on the race alone.
    work.writerDrafts = writing.DraftRace(race);
    return work;
}

void RunRaceSteps(RaceRun& run, RaceState& race, const RaceStepWork& work) {
    const std::string& key = race.RaceKey12;
    const auto step = [&](std::string_view subStep, auto&& write) { return run.log.Race(race.RaceIdx, key, subStep, write); };

    // Each file was built in memory and is written once.
    const bool ranked = step("ranking", [&] { Rethrow(work.rankingFailed); });
    for (const std::string& note : work.rankingNotes) run.log.RaceFailed(race.RaceIdx, key, "ranking", note);
    if (ranked) {
        step("SORT.dat", [&] { WriteKaimeFile(key, "SORT.dat", work.sort.Get()); });
        step("LUPSORT.dat", [&] { WriteKaimeFile(key, "LUPSORT.dat", work.lupSort.Get()); });
    }

    // The race shows in Text5 once its quinella sort file stands, where the user has always seen it.
    const bool ticketed = ranked && step("tickets", [&] { Rethrow(work.ticketsFailed); });
    if (ticketed) {
        step("KAIME file", [&] { WriteKaimeFile(key, ".dat", work.kaime.Get()); });
        step("UMARENSORT.dat", [&] { WriteKaimeFile(key, "UMARENSORT.dat", work.sorted.Umaren); });
    }

    step("status", [&] { AnnounceRace(run, race); });

    if (ticketed) {
        const bool betsMade = step("betting files", [&] { Rethrow(work.betsFailed); });
        const auto bet = [&](std::size_t i) {
            if (!betsMade) return;
            const BetCsvFile& file = work.bets[i];
            step(file.RelativePath, [&] { common::WriteFileAtomically(common::AppPath(file.RelativePath), file.Bytes); });
        };
        bet(0);  // UMAREN
        bet(1);  // WIDE
        step("UMATANSORT.dat", [&] { WriteKaimeFile(key, "UMATANSORT.dat", work.sorted.Umatan); });
        bet(2);  // UMATAN
        step("SANRENSORT.dat", [&] { WriteKaimeFile(key, "SANRENSORT.dat", work.sorted.Sanren); });
        bet(3);  // SANRENPUKU
        step("SANRENTANSORT.dat", [&] { WriteKaimeFile(key, "SANRENTANSORT.dat", work.sorted.Sanrentan); });
        bet(4);  // SANRENTAN
    }

    run.writing.WriteRace(race, work.writerDrafts);
}

}  // namespace workbench
