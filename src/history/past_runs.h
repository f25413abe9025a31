#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/grid_cells.h"

// The past runs of one horse: the records of its expanded-runs file, newest first, field by field,
// as the past-runs window shows them. The window is opened from a click on a cell of the race
// detail grids, whose text names the file.
namespace history {

/// The text of the last clicked cell of a race detail grid: set by the clicks, read by the
/// past-runs window when it loads. Empty at program start.
inline std::string SelectedHorseFile;

/// The step's name in ERRORLOG.txt.
inline constexpr std::string_view kPastRunsStep = "ListAllPastRuns";

/// Rows of the past-runs grid EXFG1: row 0 the run labels, rows 1 to 311 the fields.
inline constexpr int kPastRunsRows = 312;

/// The file of expanded runs a selected text names: its last 16 characters (the whole text when
/// shorter) when they are ten digits and "EX.dat" (the end of a runner's name cell); none
/// otherwise (a time, a grade, an empty cell): such a text opens no file.
std::optional<std::string> PastRunsFileName(std::string_view selected);

/// What the past-runs window shows.
struct PastRuns {
    common::GridCells EXFG1;
    /// The horse's file is there but could not be read, or ends in a torn record; the log says
    /// which. What could be read is shown.
    bool unreadable = false;
};

/// The grid of the past-runs window for a selected text: 312 rows; an empty text gives the
/// designed empty grid of two columns. Otherwise column 0 holds the field captions and column k
/// the k-th newest whole record of UMAGOTOEXTHISWEEKN/<name>, labelled "前<k-1>走", its columns
/// aligned left and top; a text that names no file, or a missing file, gives the captions alone.
/// Course and day names come from the code table, read afresh. Reads only: no file is created.
PastRuns ListAllPastRuns(std::string_view selected);

}  // namespace history
