#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/grid_cells.h"
#include "engine/model_tables.h"
#include "engine/surface.h"

// What the three factor-weight windows are made of, surface by surface: the window, its legend,
// the thirty item tabs with their grids, the age charts on tab 12 and the help boxes. The windows
// build themselves from these tables; nothing here changes at run time.
namespace factorview {

/// A place in twips: left, top, width, height.
struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
};

/// One item tab of SSTab1: its caption, its grid and where that grid departs from the common
/// form (six columns, one fixed row and one fixed column, default column widths).
struct ItemTab {
    std::string_view caption;
    std::string_view grid;
    int cols = 6;
    int fixedCols = 1;
    int labelWidth = -1;  // twips of column 0, set before the fill; -1 keeps the default
};

/// A help box on a page: its name and the number of the text it shows (0: the load never writes it).
struct HelpBox {
    std::string_view name;
    int text = 0;
};

/// The legend under the tabs.
struct Legend {
    std::string_view grid;
    int rows = 1;
    int fixed = 0;  // fixed rows and fixed columns alike
    TwipsRect place;
    std::array<int, 4> widths{};
    std::array<std::string_view, 4> texts;  // row 0, columns 0 to 3
};

/// Tab 12: a nested tab container holding the male chart, the female chart and the item-12 grid.
struct AgeCharts {
    std::string_view container;
    std::array<std::string_view, 3> captions;
    int openingTab = 0;  // index, from 0
    std::string_view maleChart, femaleChart;
    TwipsRect containerPlace, malePlace, femalePlace, gridPlace;
    int firstAge = 27;  // row labels run from this age code to 59
};

struct SurfaceDesign {
    engine::Surface surface = engine::Surface::Siba;
    std::string_view window;
    std::string_view caption;
    int clientWidth = 0, clientHeight = 0;  // twips
    TwipsRect tabPlace;                     // SSTab1
    int openingTab = 0;                     // index of the tab shown first, from 0
    Legend legend;
    AgeCharts age;
    std::array<ItemTab, engine::kItemCount> tabs;              // [k - 1]
    std::array<std::optional<HelpBox>, engine::kItemCount> boxes;  // page of tab k: [k - 1]
    std::optional<HelpBox> gridPageBox;                        // on the nested page of the item-12 grid
};

inline constexpr int kTabsPerRow = 5;
inline constexpr int kHelpTextCount = 20;
inline constexpr int kLastAge = 59;

/// The design of a surface's window.
const SurfaceDesign& DesignOf(engine::Surface surface);

/// Help text `number` (1 to 20); "" for any other number.
std::string_view HelpText(int number);

/// The palette colours of the three weights, Agari, Pace, Soha: the legend cells and the chart
/// lines.
inline constexpr std::array<std::int8_t, 3> kWeightColours = {common::qb::kLightRed, common::qb::kLightGreen,
                                                            common::qb::kLightBlue};

/// The three weights' names in the charts.
inline constexpr std::array<std::string_view, 3> kSeriesNames = {"上がり", "ペース", "走破"};

/// Header texts of the item grids, columns 0 to 5.
inline constexpr std::array<std::string_view, 6> kItemGridHeader = {"コード番号", "上がり速度", "ペース速度",
                                                                     "走破速度",   "延出走数",   "参照番地"};

}  // namespace factorview
