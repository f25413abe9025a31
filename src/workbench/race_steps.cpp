#include "workbench/race_steps.h"

#include "workbench/weekly_batch.h"

namespace workbench {

void AnnounceRace(RaceRun& run, const RaceState& race) {
    run.host.pumpEvents();
    const std::string course = run.codes.LookupCode("2001", std::string_view(race.RaceKey12).substr(8, 2), 4);
    run.host.setStatus(common::StatusBox::Text5, RaceStatusText(race.RaceKey12, course));
}

void RunRaceSteps(RaceRun& run, RaceState& race) {
    run.log.Race(race.RaceIdx, race.RaceKey12, "status", [&] { AnnounceRace(run, race); });
    run.writing.WriteRace(race);
}

}  // namespace workbench
