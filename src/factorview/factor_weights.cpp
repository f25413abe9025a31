#include "factorview/factor_weights.h"

#include "common/encoding.h"
#include "common/numbers.h"

namespace factorview {

namespace {

constexpr int kAgeItem = 12;

}  // namespace

common::GridCells LegendCells(const Legend& legend) {
    common::GridCells cells(legend.rows, static_cast<int>(legend.widths.size()));
    for (int c = 0; c < cells.Cols(); ++c) cells.SetColWidth(c, legend.widths[static_cast<std::size_t>(c)]);
    for (int c = 0; c < 3; ++c) cells.SetColour(0, c, kWeightColours[static_cast<std::size_t>(c)]);
    for (int c = 0; c < cells.Cols(); ++c) cells.SetText(0, c, std::string(legend.texts[static_cast<std::size_t>(c)]));
    return cells;
}

common::GridCells ItemGridCells(const engine::ModelTables& tables, int k, const ItemTab& tab) {
    const int total = tables.TotalData(k);
    common::GridCells cells(total + 1, tab.cols);
    if (tab.labelWidth >= 0) cells.SetColWidth(0, tab.labelWidth);
    for (std::size_t c = 0; c < kItemGridHeader.size(); ++c)
        cells.SetText(0, static_cast<int>(c), std::string(kItemGridHeader[c]));
    for (int j = 1; j <= total; ++j) {
        cells.SetText(j, 0, common::FromCp932(tables.Label(j, k)));
        cells.SetText(j, 1, common::WeightText(tables.Agari(j, k)));
        cells.SetText(j, 2, common::WeightText(tables.Pace(j, k)));
        cells.SetText(j, 3, common::WeightText(tables.Soha(j, k)));
        cells.SetText(j, 4, common::NumberText(static_cast<std::int64_t>(tables.Count(j, k))));
        cells.SetText(j, 5, common::NumberText(j));
    }
    return cells;
}

AgeChartData AgeChartPoints(const engine::ModelTables& tables, AgeSex sex, int firstAge) {
    AgeChartData chart;
    const char sexDigit = sex == AgeSex::Male ? '1' : '2';
    for (int age = firstAge; age <= kLastAge; ++age) {
        const std::string code = common::TwoDigits(age);
        const int j = tables.FindCategory(kAgeItem, std::string(1, sexDigit) + code);
        chart.rowLabels.push_back(code);
        chart.categories.push_back(j);
        const float weights[3] = {tables.Agari(j, kAgeItem), tables.Pace(j, kAgeItem), tables.Soha(j, kAgeItem)};
        // The chart takes the weight through its decimal text, as the grid does, but uncut.
        for (std::size_t t = 0; t < 3; ++t) chart.values[t].push_back(common::Val(common::SingleText(weights[t])));
    }
    return chart;
}

}  // namespace factorview
