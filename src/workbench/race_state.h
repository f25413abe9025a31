#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "records/decoders.h"
#include "workbench/race_horse_record.h"
#include "workbench/race_info_table.h"
#include "workbench/race_list.h"

// The state of the race the weekly batch is working on, built afresh for every race, so that
// nothing of one race reaches the next. The per-race steps fill it in order and the writers read
// it. Texts are CP932 bytes as they go into files.
namespace workbench {

struct RaceState {
    /// The race's index in the week's list (1 to WeekRaceCount).
    int RaceIdx = 0;
    std::int16_t ResultMode = 0;

    // The race's identity, from its own race record (in result mode from its payout record where
    // the race file lacks it). Writers take the race's keys from here, never from a runner record.
    std::string RaceKey12;   // Year, MonthDay, JyoCD, RaceNum
    std::string RaceId;      // 16 bytes
    std::string MeetingKey;  // Year, MonthDay, JyoCD, Kaiji, Nichiji
    std::string RaceNum;     // 2 digits
    std::string TorokuTosu;  // registered runners, 2 digits
    std::string TrackCD;     // empty, as Kyori and HassoTime, when only the payout record is known
    std::string Kyori;
    std::string HassoTime;

    /// Its row of the week's title table.
    RaceInfoRow RaceInfo{};

    /// Its own newest payout record; none when the week has none for it.
    std::optional<records::StoredHR> CurHr;

    /// The highest horse number of the race (0: no runners).
    int RunnerCount = 0;
    /// The runner records, horse number h at Runners[h - 1] (a blank record where no horse runs).
    std::vector<RaceHorseRecord> Runners;

    /// The record of horse number h; a blank record outside 1 to RunnerCount.
    const RaceHorseRecord& Runner(int horse) const;
    /// The record of the race's highest horse number, RunnerCount; blank for a race without runners.
    const RaceHorseRecord& CurRaceHorse() const { return Runner(RunnerCount); }
};

/// A fresh state of race `raceIdx` of the list: its identity, title row, payout record and runners.
RaceState BuildRaceState(int raceIdx, std::int16_t resultMode, const ListedRace& race, const RaceInfoRow& title,
                         std::vector<RaceHorseRecord> runners);

}  // namespace workbench
