#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"
#include "workbench/race_info_table.h"
#include "workbench/race_writer.h"

// The weekly prediction batch (button ⑥): the race list, the week files, one runner file per race
// and then, race by race, everything the week's reports are made of. It runs while the prediction
// window loads, as one core call.
namespace workbench {

/// The main menu's Text5 when ⑥ starts and, without anything passed over, when it has ended.
inline constexpr std::string_view kBatchStartText = "予想･結果を開始しました。しばらくお待ちください。。数分かかります。";
inline constexpr std::string_view kBatchDoneText = "予想･結果終了";

/// What the batch leaves for the prediction window.
struct WeekBatch {
    /// 1: the week's results are in (result mode); 0: prediction mode.
    std::int16_t ResultMode = 0;
    std::int64_t WeekRaceCount = 0;
    /// Entry r is the RaceKey12 of race r; entry 0 holds nothing.
    std::vector<std::string> RaceKeyList{std::string()};
    /// Row r is the title of race r, with the race's spread and its runners' weather and going.
    workbench::RaceInfoTable RaceInfoTable;
    /// The race list's lines (UTF-8), race 1 first: what List1 shows.
    std::vector<std::string> RaceListLines;

    /// What was passed over (each logged in ERRORLOG.txt).
    std::int64_t RacesPassedOver = 0;     // races of which a part could not be done
    std::int64_t RunnersWithoutRuns = 0;  // runners whose horse has no expanded run of the race
    std::int64_t StepsPassedOver = 0;     // week files, input files, the code table
    std::int64_t DamagedRecords = 0;      // damaged records of the week files, passed over
    /// No race could be listed (an input file missing or empty).
    bool NothingToWorkOn = false;
    /// Races were listed, but their runner records or every runner's expanded runs were missing or
    /// empty (logged): no race was worked on and the races' files were left as they were.
    bool InputsMissing = false;
    /// End-text parts naming the marked steps whose files the batch read unfinished.
    std::vector<std::string> UnfinishedInputs;
};

/// The batch. In order: the code table; the mode from RATHISWEEKNNEW.dat; the race list with
/// RACETHISWEEKN.dat, RACETHISWEEKNSYOSAI.dat and SOKUDO/RACEID.txt; the runner records of
/// every race (SETHISWEEKNNEW.dat, then each runner's expanded runs) with each race's runner file
/// RACE/<RaceKey12>.dat written once; then per race, in list order, a fresh RaceState with the
/// race's ranking (its spread into column 10 of its title row) and tickets, its KAIME files and
/// betting files each written once, pending window events once and the race's status text in
/// Text5, the writers of `writers` (made fresh for this run) in table order and, in result mode,
/// the meeting day's rate files. A race's expanded runs are read up to two races ahead of the race
/// whose files are written (none of them is a file the batch writes); its log entries still come
/// in race order. Every sub-step passes its failures over into ERRORLOG.txt;
/// nothing shows a message. WEEKLYBATCH.mark stands from the start of the run to its end. An
/// input missing or empty never empties a file: with no race listed
/// the week files stay, and with no runner of a listed race, or no expanded run of any runner,
/// no race's files are written.
WeekBatch WeeklyYosoBatch(common::Host& host, RaceWriterTable writers);

/// Text5 after the batch: "予想･結果終了", or, when something was passed over, followed in
/// parentheses by what (unfinished steps whose files it read, nothing to work on, inputs missing, races, runners without runs, steps)
/// and where the reasons are.
std::string BatchEndText(const WeekBatch& batch);

/// Text5 while a race is worked on: its date yyyymmdd, the course name, its race number and
/// "R予想中" (`courseName` UTF-8).
std::string RaceStatusText(std::string_view raceKey12, std::string_view courseName);

}  // namespace workbench
