#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/grid_cells.h"
#include "workbench/race_horse_record.h"
#include "workbench/ranking.h"

// The last step of the race detail view: the factor grid, the residual grid and the chart of
// predicted order against popularity, from the selected race's runner file. The grids carry over
// from one click to the next (a race without runners keeps the residual grid's captions).
namespace workbench {

inline constexpr int kRunnerGridRows = 19;
inline constexpr int kFactorGridCols = 25;
inline constexpr int kResidualGridCols = 80;

/// The chart: one row per runner, row r (index r - 1) showing the win odds of the runner
/// predicted r-th beside those of the r-th favourite, with three label levels (horse number,
/// finishing position, the rank); rows no runner holds have empty labels.
struct RunnerChart {
    std::vector<double> Predicted;  // series "予想順"
    std::vector<double> Popular;    // series "人気順"
    std::vector<std::array<std::string, 3>> Labels;
    int Rows() const { return static_cast<int>(Predicted.size()); }
};

/// What the runner grids keep between clicks.
struct RunnerGrids {
    common::GridCells RACEDETAILGrid1{kRunnerGridRows, kFactorGridCols};
    common::GridCells RACEDETAILGrid2{kRunnerGridRows, kResidualGridCols};
    RunnerChart YNjunMSChart;
    /// Each shown runner's grades (index = horse number).
    std::vector<Grades> ShinraidoGrade;
};

/// Rows 1 to 18 of both grids emptied and white, the factor grid's widths set, cell (0, 0) of
/// both grids the selected key; then one row per record (record h is horse number h), the chart
/// from the factor grid's cells. `yosoRank` holds each horse's predicted rank text (index = horse
/// number). A cell that cannot be computed (a rank or 3-furlong time that is not a number, a zero
/// speed, a record without a runner, the residual of a run without a measured or a predicted
/// speed) stays empty.
void FillRunnerGrids(std::string_view raceKey12, const std::vector<RaceHorseRecord>& runners,
                     const std::array<std::string, 19>& yosoRank, RunnerGrids& grids);

/// The chart from the factor grid's first `runnerCount` rows.
RunnerChart ChartOfRunners(const common::GridCells& factors, int runnerCount);

}  // namespace workbench
