#pragma once

#include <array>
#include <string>
#include <string_view>

#include "common/grid_cells.h"

// The race tabs of a past day: per race its title, its race card with the prediction and the
// result of every runner, and its hits by bet, from the day's result report lupRCM.txt.
namespace history {

inline constexpr int kPastRaceTabs = 12;
inline constexpr int kRaceCardRows = 19;
inline constexpr int kRaceCardCols = 14;
inline constexpr int kHitGridRows = 8;
inline constexpr int kHitGridCols = 4;
/// Height of the race card's caption row, in twips.
inline constexpr int kRaceCardCaptionHeight = 500;

/// One tab "n　R": `Text2`, `RACEFG` and `TKFG` of race n.
struct PastRaceTab {
    std::string Text2;
    common::GridCells RACEFG{kRaceCardRows, kRaceCardCols};
    common::GridCells TKFG{kHitGridRows, kHitGridCols};
};

struct PastRaceTabs {
    std::array<PastRaceTab, kPastRaceTabs> tabs;
    int unreadable = 0;  // the report was there but could not be read, or values of it (logged)
};

/// A tab as every view prepares it: the day title (the first 20 characters of `selectedLine`) is
/// left to the caller; captions, widths, white empty race-card cells, empty hits.
PastRaceTab PreparedRaceTab();

/// The captions of the tabs: "1　R" to "12　R".
std::string RaceTabCaption(int tab);

/// Fills the twelve tabs of the day `key` (14 digits) from TEKICHU/<key>lupRCM.txt; `selectedLine`
/// is the day's `List1` line (UTF-8). A missing report leaves every tab prepared with its title.
PastRaceTabs FillPastRaceTabs(std::string_view key, std::string_view selectedLine);

}  // namespace history
