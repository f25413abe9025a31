#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/grid_cells.h"
#include "common/host.h"

// The list of every past hit: the hit lines of the stored result reports (TEKICHU/<key>lupRCM.txt)
// copied with their race into TEKICHU/ATARILIST.txt, and the big payouts among them in a grid.
namespace history {

/// The step's name in ERRORLOG.txt.
inline constexpr std::string_view kAtariListStep = "万馬券リスト";

/// The main menu's Text6 before the list is made, and the end text's first words.
inline constexpr std::string_view kAtariListStartText =
    "過去の的中リストを開始しました。しばらくお待ちください。。。。。。。";
inline constexpr std::string_view kAtariListEndText = "過去の的中リスト終了";

/// The big-payout grid tekichuFG: one caption row and column.
inline constexpr int kAtariGridRows = 5000;
inline constexpr int kAtariGridCols = 20;

/// What one pass made.
struct AtariList {
    /// Captions, widths in twips and a row for each of the first 4,999 big payouts.
    common::GridCells tekichuFG;
    int hitLines = 0;     // "AT" lines copied
    int payoutLines = 0;  // lines of the win, place and bracket payouts of races with a 馬連 hit
    int bigPayouts = 0;   // hits paying over 10000 yen, listed in the grid or not
    int days = 0;         // stored days whose report was read
    int passedOver = 0;   // failures written to ERRORLOG.txt
    std::vector<std::string> unfinishedInputs;  // end-text parts: marked steps whose files were read unfinished
};

/// The grid as the window designs it: captions and column widths, no big payout yet.
common::GridCells AtariGridCaptions();

/// Reads the stored result reports of every stored day in scan order (the date status in Text6,
/// then `letEventsRun` when it is set) and rewrites TEKICHU/ATARILIST.txt whole. Course names come
/// from the code table, read once. A report that holds no race is logged and counted. Nothing is
/// written when TEKICHU does not exist. ATARILIST.mark stands from the start of the pass to its end.
AtariList CollectAtariList(common::Host& host, const std::function<void()>& letEventsRun);

/// The main menu's end text: "過去の的中リスト終了", the count of failures passed over, and the note
/// that names the marked steps whose files the pass read unfinished.
std::string AtariListEndText(int failures, const std::vector<std::string>& unfinished = {});

}  // namespace history
