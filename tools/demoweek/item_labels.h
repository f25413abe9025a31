#pragma once

#include <array>
#include <string>
#include <vector>

#include "statistics_files.h"

// The thirty model items' labels of a run, worked out from the run's own record fields, the
// horse's earlier runs and the statistics files, exactly as the prediction forms them.
namespace demoweek {

inline constexpr int kItemCount = 30;
/// Label field width of each item (index 0 = item 1).
inline constexpr std::array<int, kItemCount> kItemWidth = {9, 11, 9, 4, 5, 6, 5, 4, 3, 3, 4, 3, 6, 6, 6,
                                                           4, 4, 6, 5, 10, 10, 5, 10, 6, 4, 4, 8, 6, 6, 4};

/// The fields of one expanded run that the items read, as record texts.
struct RunView {
    std::string kubun, year, monthDay, jyo, kaiji, nichiji, waku, umaban, ketto, sex, umakigo, trainer, futan,
        jockey, minarai, bataijyu, ijyo, nyusen, chakusa, odds, honsyokin, timeDiff, time, l3f;
    std::string grade, kigo, jyoken5, kyori, track, courseKubun, toroku, hasso, tenko, siba, dirt;
    std::string birth, sire, dam, jockeyBirthYear;
};

/// A run view from a runner record and its race record (both as delivered), the horse's birth
/// date, sire and dam numbers, and the rider's birth year ("    " when unknown).
RunView ViewOf(const std::string& se, const std::string& ra, const std::string& birth, const std::string& sire,
               const std::string& dam, const std::string& jockeyBirthYear);

/// Labels of run r (1-based) of `runs`, each left-aligned and blank-filled to its width.
std::array<std::string, kItemCount> LabelsOf(const std::vector<RunView>& runs, int r, const Statistics& stats);

}  // namespace demoweek
