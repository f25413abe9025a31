#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/grid_cells.h"
#include "records/decoders.h"

// The four ticket grids of the race detail view: every ticket of the race in the batch's order
// with its odds, the tier captions, and the hits coloured when the payout record held belongs to
// the race.
namespace workbench {

/// Ticket rows of the pair grids (all pairs of 18 horses) and of the trio grids (all trios).
inline constexpr int kPairTicketRows = 153;
inline constexpr int kTrioTicketRows = 816;

/// The designed sizes (rows × columns).
inline constexpr int kUmarenRows = 154, kUmarenCols = 3;
inline constexpr int kUmatanRows = 517, kUmatanCols = 4;
inline constexpr int kSanrenRows = 817, kSanrenCols = 3;
inline constexpr int kSantanRows = 817, kSantanCols = 8;

/// The four grids as one fill leaves them.
struct TicketGrids {
    common::GridCells UMARENGrid1;  // 馬連
    common::GridCells UMATANGrid2;  // 馬単
    common::GridCells SANRENGrid3;  // ３連複
    common::GridCells SANTANGrid4;  // ３連単
};

/// A file the race detail view reads: its whole content, or nothing when it is missing or cannot
/// be read (the failure is logged; the view goes on as with an empty file).
std::string ReadDetailFile(const std::filesystem::path& path);

/// The runner count that sizes the key lists: `ticketRunnerCount` when it is 1 to 18, else 18,
/// so that every ticket line the batch wrote is shown.
int TicketListRunners(int ticketRunnerCount);

/// Fills the four grids of race `raceKey12` (twelve digits, or no file is read) from its four
/// sorted ticket files KAIME/<key>UMARENSORT.dat, UMATANSORT.dat, SANRENSORT.dat and
/// SANRENTANSORT.dat (their third field, as many lines as the runner count allows) and its four
/// odds tables KAIME/<key>UMARENODDS.dat, UMATANODDS.dat, SANRENODDS.dat and
/// SANRENTANODDS.dat (at most 361 or 6859 lines). Hits are coloured, and the exacta and trifecta
/// texts marked, only when `curHr`'s Year, MonthDay, JyoCD and RaceNum are the race's. A missing
/// or unreadable file reads as empty: no tickets, or odds 0. A key whose horses are not 01 to 18
/// shows odds 0 and is never coloured.
TicketGrids FillTicketGrids(std::string_view raceKey12, int ticketRunnerCount,
                            records::RecordView<records::LayoutHR> curHr);

}  // namespace workbench
