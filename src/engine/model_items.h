#pragma once

#include <span>
#include <string>
#include <vector>

#include "engine/ex_record.h"
#include "engine/model_item_helpers.h"

// The thirty explanatory items of the model. Each classifies one run of a horse from the run's own
// fields, the horse's earlier runs and the statistics, and returns its label as stored in the
// item's field of the expanded record: left-aligned, blank-filled to the item's width. A label is
// found in the model only when it equals one of the model's labels byte for byte, blanks included.
//
// Every item function is pure (it reads no file and no other item's label) and throws ItemFailure
// where its rule cannot be computed for the run; ComputeItemLabels turns such a failure into a
// blank label for that item alone.
namespace engine {

// Items 1 to 10.
std::string CalcYearMonth(const ItemRun& run);           //  1 year and month of the race
std::string CalcCourseWaku(const ItemRun& run);          //  2 racecourse, draw, track layout
std::string CalcPrevDistanceClass(const ItemRun& run);   //  3 previous grade and surface, distance change
std::string CalcFutanjuryo(const ItemRun& run);          //  4 weight carried
std::string CalcRuikeiHonshokin(const ItemRun& run);     //  5 prize money of the earlier runs
std::string CalcKyosokigo(const ItemRun& run);           //  6 race symbol
std::string CalcKishuFukusho(const ItemRun& run);        //  7 jockey's place rate
std::string CalcKyosobaFukusho(const ItemRun& run);      //  8 horse's place rate
std::string CalcRaceSuu(const ItemRun& run);             //  9 number of earlier runs
std::string CalcFutanJuryoritu(const ItemRun& run);      // 10 sex and weight carried per body weight
// Items 11 to 20.
std::string CalcBataiju(const ItemRun& run);             // 11 body weight
std::string CalcBarei(const ItemRun& run);               // 12 sex and age in months
std::string CalcFatherValueLog(const ItemRun& run);      // 13 sire's value
std::string CalcRaceKankaku(const ItemRun& run);         // 14 same course, weeks since the previous run
std::string CalcZensoOdds(const ItemRun& run);           // 15 previous run's odds
std::string CalcFatherBaba(const ItemRun& run);          // 16 sire's place rate on the going
std::string CalcMotherBaba(const ItemRun& run);          // 17 dam's place rate on the going
std::string CalcKishuNenrei(const ItemRun& run);         // 18 jockey's age and apprentice code
std::string CalcTrainerFukusho(const ItemRun& run);      // 19 trainer's place rate
std::string CalcFatherArning(const ItemRun& run);        // 20 sire's prize money per start
// Items 21 to 30.
std::string CalcGradeJoken(const ItemRun& run);          // 21 grade and youngest age group's condition
std::string CalcKyoriCourse(const ItemRun& run);         // 22 distance and course part
std::string CalcFatherKyoriFukusho(const ItemRun& run);  // 23 sire's place rate by distance class
std::string CalcUmabanBand(const ItemRun& run);          // 24 horse number
std::string CalcUmakigoTuki(const ItemRun& run);         // 25 horse's symbol, else its birth month
std::string CalcZensoTimediff(const ItemRun& run);       // 26 previous run's time difference
std::string CalcKaijiNichiji(const ItemRun& run);        // 27 meeting and day
std::string CalcTosuBand(const ItemRun& run);            // 28 registered runners
std::string CalcTenkoBabaJikoku(const ItemRun& run);     // 29 weather, going, post-time band
std::string CalcKyosobaArning(const ItemRun& run);       // 30 horse's prize money per start

/// Item k's label (k = 1 to 30) at the item's width. Throws ItemFailure where the rule cannot be
/// computed, std::out_of_range for another k.
std::string ModelItemLabel(int k, const ItemRun& run);

/// An item that got a blank label because its rule could not be computed.
struct ItemLabelFailure {
    int item = 0;        // 1 to 30
    std::string reason;  // names the item and the value that failed
};

/// Computes the thirty labels of a run into its label fields. `earlier` are the horse's runs
/// before it, oldest first (run 1 to r - 1). An item whose rule cannot be computed gets a blank
/// label, which no model category holds, and is listed in the result; the other items go on.
std::vector<ItemLabelFailure> ComputeItemLabels(ExRecord& current, std::span<const ExRecord> earlier,
                                                const ItemStatistics& stats);

/// The same for run r (1-based) of all the horse's runs, oldest first.
std::vector<ItemLabelFailure> ComputeItemLabels(std::span<ExRecord> runs, int r, const ItemStatistics& stats);

}  // namespace engine
