#include "workbench/race_state.h"

#include "records/fields.h"
#include "records/keys.h"

namespace workbench {

const RaceHorseRecord& RaceState::Runner(int horse) const {
    static const RaceHorseRecord kBlank;
    if (horse < 1 || horse > RunnerCount || static_cast<std::size_t>(horse) > Runners.size()) return kBlank;
    return Runners[static_cast<std::size_t>(horse) - 1];
}

namespace {

const std::string kNone;

template <class T>
const T& At(const std::vector<T>& list, int index) {
    static const T kZero{};
    return index >= 0 && static_cast<std::size_t>(index) < list.size() ? list[static_cast<std::size_t>(index)] : kZero;
}

/// Place `place` of a ticket list of `count` entries; "" beyond the count.
const std::string& Place(const std::vector<std::string>& list, int count, int place) {
    return place >= 1 && place <= count ? At(list, place) : kNone;
}

}  // namespace

bool RaceState::IsHorse(int horse) const {
    return horse >= 1 && horse <= RunnerCount && horse <= ranking_.RunnerCount;
}

const std::string& RaceState::ByHorse(const std::vector<std::string>& list, int horse) const {
    return IsHorse(horse) ? At(list, horse) : kNone;
}

float RaceState::YosoSpeed(int horse) const { return IsHorse(horse) ? At(ranking_.YosoSpeed, horse) : 0.0f; }
float RaceState::Correction(int horse) const { return IsHorse(horse) ? At(ranking_.Correction, horse) : 0.0f; }
float RaceState::YosoValue(int horse) const { return IsHorse(horse) ? At(ranking_.YosoValue, horse) : 0.0f; }
float RaceState::JitsuSpeed(int horse) const { return IsHorse(horse) ? At(ranking_.JitsuSpeed, horse) : 0.0f; }
const std::string& RaceState::YosoJun(int place) const { return ByHorse(ranking_.YosoJun, place); }

const std::string& RaceState::ShinraidoGrade(int horse, int column) const {
    if (!IsHorse(horse) || column < 0 || column > 4) return kNone;
    const Grades& grades = At(ranking_.ShinraidoGrade, horse);
    return grades[static_cast<std::size_t>(column)];
}

const std::string& RaceState::YosoRank(int horse) const { return ByHorse(ranking_.YosoRank, horse); }
const std::string& RaceState::WakuStr(int horse) const { return ByHorse(ranking_.WakuStr, horse); }
const std::string& RaceState::BameiStr(int horse) const { return ByHorse(ranking_.BameiStr, horse); }
const std::string& RaceState::FutanStr(int horse) const { return ByHorse(ranking_.FutanStr, horse); }
const std::string& RaceState::KisyuStr(int horse) const { return ByHorse(ranking_.KisyuStr, horse); }
const std::string& RaceState::ChokyosiStr(int horse) const { return ByHorse(ranking_.ChokyosiStr, horse); }
const std::string& RaceState::SexStr(int horse) const { return ByHorse(ranking_.SexStr, horse); }
const std::string& RaceState::BareiStr(int horse) const { return ByHorse(ranking_.BareiStr, horse); }
const std::string& RaceState::YosoTimeStr(int horse) const { return ByHorse(ranking_.YosoTimeStr, horse); }
const std::string& RaceState::Yoso3FStr(int horse) const { return ByHorse(ranking_.Yoso3FStr, horse); }
const std::string& RaceState::JitsuTimeStr(int horse) const { return ByHorse(ranking_.JitsuTimeStr, horse); }
const std::string& RaceState::Jitsu3FStr(int horse) const { return ByHorse(ranking_.Jitsu3FStr, horse); }
const std::string& RaceState::NyusenStr(int horse) const { return ByHorse(ranking_.NyusenStr, horse); }
const std::string& RaceState::NinkiStr(int horse) const { return ByHorse(ranking_.NinkiStr, horse); }
const std::string& RaceState::ChakujunStr(int horse) const { return ByHorse(ranking_.ChakujunStr, horse); }

const std::string& RaceState::UmarenKumiList(int place) const {
    return Place(tickets_.UmarenKumiList, tickets_.UmarenKumiCount, place);
}
const std::string& RaceState::UmarenKumiStr(int place) const {
    return Place(tickets_.UmarenKumiStr, tickets_.UmarenKumiCount, place);
}
float RaceState::UmarenValue(int place) const {
    return place >= 1 && place <= tickets_.UmarenKumiCount ? At(tickets_.UmarenValue, place) : 0.0f;
}
const std::string& RaceState::SanrenKumiList(int place) const {
    return Place(tickets_.SanrenKumiList, tickets_.SanrenKumiCount, place);
}
const std::string& RaceState::SanrenKumiStr(int place) const {
    return Place(tickets_.SanrenKumiStr, tickets_.SanrenKumiCount, place);
}
float RaceState::SanrenValue(int place) const {
    return place >= 1 && place <= tickets_.SanrenKumiCount ? At(tickets_.SanrenValue, place) : 0.0f;
}

RaceState BuildRaceState(int raceIdx, std::int16_t resultMode, const ListedRace& race, const RaceInfoRow& title,
                         std::vector<RaceHorseRecord>&& runners) {
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
