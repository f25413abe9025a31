#pragma once

#include <string>
#include <string_view>

#include "common/grid_cells.h"
#include "history/past_race_tabs.h"

// What the past-results window shows for one stored meeting day: its hit table with tier marks,
// its return and hit rates, the PC hit table and rates, the note on the rates and the race tabs.
namespace history {

/// The fixed note on how the rates are counted (`Text1`).
extern const std::string_view kRatesNote;

struct PastDay {
    common::GridCells KakoSeiFG{50, 8};
    common::GridCells TekiKaiFG{9, 7};
    common::GridCells TanFukuFG{38, 12};
    common::GridCells TFTekiKaiFG{7, 12};
    std::string Text1;
    PastRaceTabs races;
    int unreadable = 0;  // day files that exist but could not be read, and values of them, each logged
};

/// The day of a `List1` line (UTF-8; its last 14 characters are the key): the five day files of
/// TEKICHU read into the grids. A missing file leaves its grid empty; one that cannot be read is
/// logged and counted.
PastDay ShowPastDay(std::string_view selectedLine);

}  // namespace history
