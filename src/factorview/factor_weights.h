#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/grid_cells.h"
#include "engine/model_tables.h"
#include "factorview/factor_design.h"

// What a factor-weight window shows of its surface's model: the legend, one grid per item and the
// two age charts, computed from the model tables the window loaded.
namespace factorview {

/// The opening's message when the model cannot be read; the loader's reason, which names the
/// file, follows it.
inline constexpr std::string_view kModelUnreadable = "予想因子ウエイトのファイルを読み込めません。";

/// The legend grid: the designed rows and columns, its column widths, the three coloured weight
/// cells and the unit text.
common::GridCells LegendCells(const Legend& legend);

/// The grid of item k (1 to 30) on `tab`: TotalData(k) + 1 rows; row 0 the six header texts;
/// row j the label of category j (CP932 decoded), the Agari, Pace and Soha weights as
/// WeightText, the training count and j. A seventh column, where the tab has one, stays empty.
common::GridCells ItemGridCells(const engine::ModelTables& tables, int k, const ItemTab& tab);

enum class AgeSex { Male, Female };

/// One age chart: a row per age code from the first age to 59, three series.
struct AgeChartData {
    std::vector<std::string> rowLabels;           // "27" … "59" (hurdle "40" … "59")
    std::vector<int> categories;                  // the category of item 12 a row shows, 0: none
    std::array<std::vector<double>, 3> values;    // Agari, Pace, Soha by row
};

/// The points of the male or female chart. Row "nn" shows the category of item 12 whose label is
/// the sex digit ("1" male, "2" female) and nn, looked up as the prediction looks up a run's
/// label, so a model in any order of labels is drawn under the right ages; a label the model
/// lacks is drawn at 0. A value is the 4-byte weight at seven significant digits, not floored.
AgeChartData AgeChartPoints(const engine::ModelTables& tables, AgeSex sex, int firstAge);

}  // namespace factorview
