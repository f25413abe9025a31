#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/code_table.h"
#include "workbench/race_horse_record.h"

// The ranking of a race: each runner's ranking value, display texts, reliability grades and
// predicted times, the race spread and the predicted order, and the three runner files of the
// race in KAIME. Pure computations on what the runner records hold; the batch writes the bytes.
// Texts are CP932 bytes, as they go into the files.
namespace workbench {

/// What the ranking reads of one runner record (element 0: this week's race). Zero bytes of a
/// blank record read as blanks.
struct RunnerFields {
    float CombinedSoha = 0;    // speed block value 6: the ranking speed, km/h
    float MeasuredSoha = 0;    // value 2: the measured whole-race speed, 0 before the race
    float PredictedAgari = 0;  // value 3: the predicted last-3-furlong speed
    float Correction = 0;
    std::string Wakuban, Bamei, KisyuRyakusyo, ChokyosiRyakusyo, Futan, SexCD, Barei, Kyori, TrackCD;
    std::string SohaTime, HaronTimeL3, NyusenJyuni, KakuteiJyuni, Ninki;
    std::array<std::string, 5> SampleCounts;  // jockey, trainer, sire, dam's sire, breeder
};

/// The fields of a runner record that the ranking reads.
RunnerFields RunnerFieldsOf(const RaceHorseRecord& record);

/// The five grade letters of a runner: jockey, trainer, sire, dam's sire, breeder.
using Grades = std::array<std::string, 5>;

/// Grades the five sample counts (7-character texts, read leniently; blank counts 0) by the
/// bands of the track class (flat: TrackCD "00" to "49"): band 5 "A" (the most samples) down to
/// band 0 "F" (none); a count in no band (a fraction between bands, a negative count) gives "".
Grades GradeShinraido(const std::array<std::string, 5>& sampleCounts, std::string_view trackCD);

/// Population standard deviation of values[1..n], sums in single precision and the root in
/// double; nothing for n = 0, and 0 when rounding makes the variance negative.
std::optional<double> PopulationStdDev(const std::vector<float>& values, int n);

/// The race spread in metres per minute, Int(s x 16.666); 0 without runners.
int RaceSpread(const std::vector<float>& yosoValue, int n);

/// Column 10 of the race's title row: the spread right-aligned in two characters, only its last
/// two digits kept (7 gives " 7", 123 gives "23").
std::string SpreadColumnText(int raceSD);

/// The ranking of one race. Per-horse lists are indexed by horse number 1 to RunnerCount (index 0
/// holds nothing); YosoJun by predicted place.
struct RaceRanking {
    int RunnerCount = 0;
    std::vector<float> YosoSpeed, Correction, YosoValue, JitsuSpeed;
    std::vector<std::string> WakuStr, BameiStr, FutanStr, KisyuStr, ChokyosiStr, SexStr, BareiStr;
    std::vector<std::string> YosoTimeStr, Yoso3FStr, JitsuTimeStr, Jitsu3FStr, NyusenStr, NinkiStr, ChakujunStr;
    std::vector<Grades> ShinraidoGrade;
    /// Place r holds the two-digit horse number ranked r-th; equal values fall as the quicksort
    /// leaves them.
    std::vector<std::string> YosoJun;
    /// Each horse's place right-aligned in two characters (" 1").
    std::vector<std::string> YosoRank;
    int RaceSD = 0;
    /// What was passed over, one text each, for the batch's log: a value that is not a finite
    /// number (counted as 0), a predicted time that could not be made.
    std::vector<std::string> Notes;
};

/// Ranks a race whose runner records are runners[h - 1] for horse number h (a blank record where
/// no horse runs). `codes` gives the sex names.
RaceRanking RankRunners(const std::vector<RunnerFields>& runners, const common::CodeTable& codes);

/// The runner lines of KAIME/<RaceKey12>.dat: key, horse number, ranking value, ranking speed,
/// correction, one line per horse number.
std::string KaimeRunnerLines(std::string_view raceKey12, const RaceRanking& ranking);

/// KAIME/<RaceKey12>SORT.dat, which the race detail view reads back.
std::string SortFileBytes(const RaceRanking& ranking);

/// KAIME/<RaceKey12>LUPSORT.dat.
std::string LupSortFileBytes(const RaceRanking& ranking);

}  // namespace workbench
