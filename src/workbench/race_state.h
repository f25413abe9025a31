#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "records/decoders.h"
#include "workbench/race_horse_record.h"
#include "workbench/race_info_table.h"
#include "workbench/race_list.h"
#include "workbench/ranking.h"
#include "workbench/tickets.h"

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

    // The ranking and the tickets of the race, as the batch's steps leave them for the writers.
    // Every read is checked: a horse number outside 1 to RunnerCount reads 0 or "", and so does a
    // place of YosoJun outside it, and a place of a ticket list beyond its count reads "" (0 for a
    // value), so a writer that reads a fixed number of places of a small race gets empty entries.
    float YosoSpeed(int horse) const;
    float Correction(int horse) const;
    /// The ranking value: YosoSpeed + Correction.
    float YosoValue(int horse) const;
    float JitsuSpeed(int horse) const;
    /// The two-digit horse number at predicted place 1 (best) to RunnerCount.
    const std::string& YosoJun(int place) const;
    /// The horse's predicted place, right-aligned in two characters.
    const std::string& YosoRank(int horse) const;
    /// Grade letter `column` (0 jockey, 1 trainer, 2 sire, 3 dam's sire, 4 breeder) of a horse.
    const std::string& ShinraidoGrade(int horse, int column) const;
    const std::string& WakuStr(int horse) const;
    const std::string& BameiStr(int horse) const;
    const std::string& FutanStr(int horse) const;
    const std::string& KisyuStr(int horse) const;
    const std::string& ChokyosiStr(int horse) const;
    const std::string& SexStr(int horse) const;
    const std::string& BareiStr(int horse) const;
    const std::string& YosoTimeStr(int horse) const;
    const std::string& Yoso3FStr(int horse) const;
    const std::string& JitsuTimeStr(int horse) const;
    const std::string& Jitsu3FStr(int horse) const;
    const std::string& NyusenStr(int horse) const;
    const std::string& NinkiStr(int horse) const;
    const std::string& ChakujunStr(int horse) const;
    /// The race spread in metres per minute.
    int RaceSD() const { return ranking_.RaceSD; }

    /// Pairs best first, the higher-valued horse first in each key.
    const std::string& UmarenKumiList(int place) const;
    /// The same pairs at the same places with ascending horse numbers.
    const std::string& UmarenKumiStr(int place) const;
    float UmarenValue(int place) const;
    int UmarenKumiCount() const { return tickets_.UmarenKumiCount; }
    /// Trios best first, each as A, B, C.
    const std::string& SanrenKumiList(int place) const;
    /// The same trios at the same places with ascending horse numbers.
    const std::string& SanrenKumiStr(int place) const;
    float SanrenValue(int place) const;
    int SanrenKumiCount() const { return tickets_.SanrenKumiCount; }

    /// The ranking and the ticket lists, as the batch's steps (or a test) made them.
    void SetRanking(RaceRanking ranking) { ranking_ = std::move(ranking); }
    void SetTickets(RaceTickets tickets) { tickets_ = std::move(tickets); }

private:
    bool IsHorse(int horse) const;
    const std::string& ByHorse(const std::vector<std::string>& list, int horse) const;
    RaceRanking ranking_;
    RaceTickets tickets_;
};

/// A fresh state of race `raceIdx` of the list: its identity, title row, payout record and runners.
/// The runners are taken only once nothing can fail: on a throw the caller still holds them.
RaceState BuildRaceState(int raceIdx, std::int16_t resultMode, const ListedRace& race, const RaceInfoRow& title,
                         std::vector<RaceHorseRecord>&& runners);

}  // namespace workbench
