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

std::string CourseName(const common::CodeTable& codes, std::string_view raceKey12) {
    return codes.LookupCode("2001", raceKey12.substr(8, 2), 4);
}

// Each file written whole, through a scratch file and a rename; a failure computing it is logged
// in the place the file would have been written.
void WriteOutputs(RaceRun& run, const RaceState& race, const std::vector<RaceOutput>& outputs) {
    for (const RaceOutput& out : outputs) {
        if (out.failure) {
            run.log.RaceFailed(race.RaceIdx, race.RaceKey12, out.subStep, *out.failure);
        } else if (!out.relativePath.empty()) {
            run.log.Race(race.RaceIdx, race.RaceKey12, out.subStep,
                         [&] { common::WriteFileAtomically(common::AppPath(out.relativePath), out.bytes); });
        }
    }
}

}  // namespace

void AnnounceRace(RaceRun& run, const RaceState& race) {
    run.host.pumpEvents();
    run.host.setStatus(common::StatusBox::Text5, RaceStatusText(race.RaceKey12, CourseName(run.codes, race.RaceKey12)));
}

RaceComputed ComputeRaceSteps(const common::CodeTable& codes, RaceState& race) {
    const std::string& key = race.RaceKey12;
    RaceComputed computed;
    std::vector<RaceOutput>* outputs = &computed.beforeStatus;
    // A sub-step whose failure is kept to be logged; true when it did its work.
    const auto step = [&](std::string_view subStep, auto&& work) {
        std::optional<std::string> failure = BatchLog::Attempt(work);
        if (!failure) return true;
        outputs->push_back({std::string(subStep), {}, {}, std::move(failure)});
        return false;
    };
    const auto file = [&](std::string_view subStep, auto&& relativePathAndBytes) {
        step(subStep, [&] {
            auto [path, bytes] = relativePathAndBytes();
            outputs->push_back({std::string(subStep), std::move(path), std::move(bytes), std::nullopt});
        });
    };
    const auto kaime = [&](std::string_view suffix, auto&& bytes) {
        file(suffix, [&] { return std::pair{KaimeFileName(key, suffix), bytes()}; });
    };

    // Steps 1 to 3: the runners' values and texts, the spread and the predicted order, and the
    // runner files.
    RaceRanking ranking;
    const bool ranked = step("ranking", [&] {
        std::vector<RunnerFields> runners;
        runners.reserve(static_cast<std::size_t>(race.RunnerCount));
        for (int h = 1; h <= race.RunnerCount; ++h) runners.push_back(RunnerFieldsOf(race.Runner(h)));
        ranking = RankRunners(runners, codes);
        race.RaceInfo[info::kSpread] = SpreadColumnText(ranking.RaceSD);
    });
    for (const std::string& note : ranking.Notes) outputs->push_back({"ranking", {}, {}, note});

    if (ranked) {
        kaime("SORT.dat", [&] { return SortFileBytes(ranking); });
        kaime("LUPSORT.dat", [&] { return LupSortFileBytes(ranking); });
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
        file("KAIME file", [&] {
            return std::pair{KaimeFileName(key, ".dat"), KaimeRunnerLines(key, ranking) + KaimeTicketLines(key, tickets)};
        });
        kaime("UMARENSORT.dat", [&] { return std::move(sorted.Umaren); });

        outputs = &computed.afterStatus;
        // A course name that cannot be part of a file name writes none of the five.
        std::array<BetCsvFile, 5> bets;
        const bool betsMade = step("betting files", [&] { bets = BetCsvFiles(key, CourseName(codes, key), tickets); });
        const auto bet = [&](std::size_t i) {
            if (betsMade) file(bets[i].RelativePath, [&] { return std::pair{bets[i].RelativePath, std::move(bets[i].Bytes)}; });
        };
        bet(0);  // UMAREN
        bet(1);  // WIDE
        kaime("UMATANSORT.dat", [&] { return std::move(sorted.Umatan); });
        bet(2);  // UMATAN
        kaime("SANRENSORT.dat", [&] { return std::move(sorted.Sanren); });
        bet(3);  // SANRENPUKU
        kaime("SANRENTANSORT.dat", [&] { return std::move(sorted.Sanrentan); });
        bet(4);  // SANRENTAN
    }

    race.SetRanking(std::move(ranking));
    race.SetTickets(std::move(tickets));
    return computed;
}

void WriteRaceUntilStatus(RaceRun& run, const RaceState& race, const RaceComputed& computed) {
    WriteOutputs(run, race, computed.beforeStatus);
    run.log.Race(race.RaceIdx, race.RaceKey12, "status", [&] { AnnounceRace(run, race); });
}

void WriteRaceAfterStatus(RaceRun& run, const RaceState& race, const RaceComputed& computed) {
    WriteOutputs(run, race, computed.afterStatus);
    run.writing.WriteRace(race);
}

}  // namespace workbench
