#include "workbench/race_steps.h"

#include <array>
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

std::string CourseName(const RaceRun& run, std::string_view raceKey12) {
    return run.codes.LookupCode("2001", raceKey12.substr(8, 2), 4);
}

/// Writes one KAIME file of the race whole, through a scratch file and a rename.
void WriteKaimeFile(std::string_view raceKey12, std::string_view suffix, std::string_view content) {
    common::WriteFileAtomically(common::AppPath(KaimeFileName(raceKey12, suffix)), content);
}

}  // namespace

void AnnounceRace(RaceRun& run, const RaceState& race) {
    run.host.pumpEvents();
    run.host.setStatus(common::StatusBox::Text5, RaceStatusText(race.RaceKey12, CourseName(run, race.RaceKey12)));
}

void RunRaceSteps(RaceRun& run, RaceState& race) {
    const std::string& key = race.RaceKey12;
    const auto step = [&](std::string_view subStep, auto&& work) { return run.log.Race(race.RaceIdx, key, subStep, work); };

    // Steps 1 to 3: the runners' values and texts, the spread and the predicted order, and the
    // runner files. Each file is built in memory and written once.
    RaceRanking ranking;
    const bool ranked = step("ranking", [&] {
        std::vector<RunnerFields> runners;
        runners.reserve(static_cast<std::size_t>(race.RunnerCount));
        for (int h = 1; h <= race.RunnerCount; ++h) runners.push_back(RunnerFieldsOf(race.Runner(h)));
        ranking = RankRunners(runners, run.codes);
        race.RaceInfo[info::kSpread] = SpreadColumnText(ranking.RaceSD);
    });
    for (const std::string& note : ranking.Notes) run.log.RaceFailed(race.RaceIdx, key, "ranking", note);

    if (ranked) {
        step("SORT.dat", [&] { WriteKaimeFile(key, "SORT.dat", SortFileBytes(ranking)); });
        step("LUPSORT.dat", [&] { WriteKaimeFile(key, "LUPSORT.dat", LupSortFileBytes(ranking)); });
    }

    // Step 4: the tickets and their files; the race shows in Text5 once its quinella sort file
    // stands, where the user has always seen it.
    RaceTickets tickets;
    KaimeSortFiles sorted;
    const bool ticketed = ranked && step("tickets", [&] {
        tickets = MakeTickets(ranking.YosoSpeed, ranking.Correction, ranking.YosoValue, ranking.RunnerCount);
        sorted = KaimeSortFileBytes(key, tickets);
    });
    if (ticketed) {
        step("KAIME file", [&] {
            WriteKaimeFile(key, ".dat", KaimeRunnerLines(key, ranking) + KaimeTicketLines(key, tickets));
        });
        step("UMARENSORT.dat", [&] { WriteKaimeFile(key, "UMARENSORT.dat", sorted.Umaren); });
    }

    step("status", [&] { AnnounceRace(run, race); });

    if (ticketed) {
        // A course name that cannot be part of a file name writes none of the five.
        std::array<BetCsvFile, 5> bets;
        const bool betsMade = step("betting files", [&] { bets = BetCsvFiles(key, CourseName(run, key), tickets); });
        const auto bet = [&](std::size_t i) {
            if (!betsMade) return;
            step(bets[i].RelativePath,
                 [&] { common::WriteFileAtomically(common::AppPath(bets[i].RelativePath), bets[i].Bytes); });
        };
        bet(0);  // UMAREN
        bet(1);  // WIDE
        step("UMATANSORT.dat", [&] { WriteKaimeFile(key, "UMATANSORT.dat", sorted.Umatan); });
        bet(2);  // UMATAN
        step("SANRENSORT.dat", [&] { WriteKaimeFile(key, "SANRENSORT.dat", sorted.Sanren); });
        bet(3);  // SANRENPUKU
        step("SANRENTANSORT.dat", [&] { WriteKaimeFile(key, "SANRENTANSORT.dat", sorted.Sanrentan); });
        bet(4);  // SANRENTAN
    }

    race.SetRanking(std::move(ranking));
    race.SetTickets(std::move(tickets));

    run.writing.WriteRace(race);
}

}  // namespace workbench
