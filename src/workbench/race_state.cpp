#include "workbench/race_state.h"

#include "records/fields.h"
#include "records/keys.h"

namespace workbench {

const RaceHorseRecord& RaceState::Runner(int horse) const {
    static const RaceHorseRecord kBlank;
    if (horse < 1 || horse > RunnerCount || static_cast<std::size_t>(horse) > Runners.size()) return kBlank;
    return Runners[static_cast<std::size_t>(horse) - 1];
}

RaceState BuildRaceState(int raceIdx, std::int16_t resultMode, const ListedRace& race, const RaceInfoRow& title,
                         std::vector<RaceHorseRecord> runners) {
    using namespace records;
    RaceState state;
    state.RaceIdx = raceIdx;
    state.ResultMode = resultMode;
    state.RaceKey12 = race.RaceKey12;
    state.RaceId = race.RaceId;
    state.MeetingKey = MeetingKey(race.RaceId);
    state.RaceNum = race.RaceKey12.substr(10, 2);
    if (race.Ra) {
        state.TorokuTosu = race.Ra->Get(ra::TorokuTosu);
        state.TrackCD = race.Ra->Get(ra::TrackCD);
        state.Kyori = race.Ra->Get(ra::Kyori);
        state.HassoTime = race.Ra->Get(ra::HassoTime);
    } else if (race.Hr) {
        state.TorokuTosu = race.Hr->Get(hr::TorokuTosu);
    }
    state.RaceInfo = title;
    state.CurHr = race.Hr;
    state.RunnerCount = static_cast<int>(runners.size());
    state.Runners = std::move(runners);
    return state;
}

}  // namespace workbench
