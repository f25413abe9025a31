#include "supplementary/win_bet_csv.h"

#include <stdexcept>
#include <vector>

#include "common/numbers.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "reports/lup_lines.h"
#include "workbench/betting_files.h"

namespace supplementary {

std::string TanshoCsvLines(const workbench::RaceState& race) {
    workbench::BetLines lines(race.RaceKey12, "01");
    const std::vector<reports::RankedHorse> ranked = reports::HorsesByRank(race);
    for (int rank : {1, 2})
        for (const reports::RankedHorse& r : ranked)
            if (r.Rank == rank) lines.Add({common::TwoDigits(r.Horse)});
    return lines.Take();
}

void TanshoCsvWriter::WriteRace(workbench::RaceContext& context) {
    const workbench::RaceState& race = context.race;
    if (race.RaceKey12 == lastTanshoRaceKey_) return;
    if (race.RaceKey12.size() != 12) throw std::runtime_error("the race key is not twelve digits");
    // The course name becomes part of the file name: the name is checked before anything is written.
    const std::string path =
        workbench::BetCsvFileName("TANSHO", race.RaceKey12, context.codes.LookupCode("2001", race.RaceKey12.substr(8, 2), 4));
    common::WriteFileAtomically(common::AppPath(path), TanshoCsvLines(race));
    lastTanshoRaceKey_ = race.RaceKey12;
}

}  // namespace supplementary
