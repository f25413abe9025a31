#pragma once

#include "common/grid_cells.h"
#include "records/decoders.h"

// The payout grid HAITOGrid1 of the race detail view: one row per bet type, three columns per
// entry (combination, payout in yen, popularity), the fields shown nearly as stored.
namespace workbench {

inline constexpr int kHaitoRows = 10;
inline constexpr int kHaitoCols = 22;

/// The grid as each selection starts it: the bet types in column 0 of rows 1 to 8, "券種" and
/// "当り目", "配当(円)", "人気" five times over in row 0, column 1 1200 twips wide, rows 1 to 8
/// empty in columns 1 to 21.
common::GridCells PayoutGridFrame();

/// Shows the payouts of `curHr` in `haito`: each block's columns are emptied first, then each
/// entry with something to pay (a horse number for 単勝 and 複勝, a payout for the others) gets
/// its combination, its payout and its popularity in its own three columns. Writes nothing else.
void FillPayoutGrid(records::RecordView<records::LayoutHR> curHr, common::GridCells& haito);

}  // namespace workbench
