#pragma once

#include <QAbstractItemView>
#include <QImage>
#include <QModelIndex>
#include <QPoint>
#include <QScrollBar>

#include "ui/flex_grid.h"

// What a grid shows where, read from the views on screen: the one drawn on top at a point and its
// cell there, and the colour of the pixels drawn.
namespace gridprobe {

/// The cell drawn at `at` (in the grid's coordinates) by whichever view is on top there.
inline QModelIndex CellShownAt(ui::FlexGrid& grid, QPoint at) {
    QWidget* hit = grid.childAt(at);
    auto* view = hit ? qobject_cast<QAbstractItemView*>(hit->parentWidget()) : nullptr;
    if (view == nullptr) return {};
    return view->indexAt(view->viewport()->mapFrom(&grid, at));
}

/// The point a pixel inside the top left corner of cell (row, col) of the grid's own view, in the
/// grid's coordinates, where the cell's background shows (texts keep a margin).
inline QPoint InsideCell(ui::FlexGrid& grid, int row, int col) {
    const QRect cell = grid.visualRect(grid.model()->index(row, col));
    return grid.viewport()->mapTo(&grid, cell.topLeft() + QPoint(1, 1));
}

/// Where the fixed cells lie, in the grid's coordinates: the caption column's and the caption
/// rows' extent from the viewport's corner.
struct FixedBand {
    int width = 0, height = 0;
    QPoint origin;
};

inline FixedBand FixedBandOf(ui::FlexGrid& grid) {
    FixedBand band;
    band.origin = grid.viewport()->geometry().topLeft();
    for (int c = 0; c < grid.Model().FixedCols(); ++c) band.width += grid.columnWidth(c);
    for (int r = 0; r < grid.Model().FixedRows(); ++r) band.height += grid.rowHeight(r);
    return band;
}

}  // namespace gridprobe
