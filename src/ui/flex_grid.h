#pragma once

#include <cstdint>

#include <QAbstractTableModel>
#include <QColor>
#include <QRect>
#include <QTableView>

#include "common/grid_cells.h"

class QWidget;

// The MSFlexGrid-style grid of the grid windows: a table view over one model of cell texts and
// background colours, with the designed row and column counts. Cell (row, column) is the
// designed cell, row 0 and column 0 included; they are drawn as fixed caption cells, Qt's own
// headers are hidden, and no cell can be edited.
namespace ui {

/// Twips (1/1440 inch) to pixels at 15 twips a pixel: 1200 twips are 80 pixels.
int TwipsToPixels(int twips);

/// The classic 16-colour palette: index 0 to 15 to its 0x00BBGGRR value (9 is 16711680,
/// 10 is 65280, 14 is 65535, 15 is 16777215); 0 outside.
std::uint32_t QBColor(int index);

/// The same as a Qt colour.
QColor QBColour(int index);

/// Colour of a fixed caption cell without a colour of its own.
QColor FixedCellColour();

/// The cells of one grid. Setting them is one model reset.
class FlexGridModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    FlexGridModel(int rows, int cols, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// Every cell at once (texts, colours); sizes other than the designed ones are cut or
    /// filled to the designed size.
    void SetCells(common::GridCells cells);
    const common::GridCells& Cells() const { return cells_; }

    /// Text and colour of a designed cell ("" and an invalid colour outside or where none set).
    QString Text(int row, int col) const;
    QColor BackColour(int row, int col) const;
    QColor TextColour(int row, int col) const;

    /// How many leading rows and columns are caption cells (1 and 1 unless set).
    void SetFixed(int rows, int cols);

private:
    common::GridCells cells_;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
};

/// The grid control.
class FlexGrid final : public QTableView {
    Q_OBJECT

public:
    /// A grid named `name` of `rows` × `cols` designed cells at `geometry` in `parent`.
    FlexGrid(QWidget* parent, const char* name, int rows, int cols, QRect geometry);

    FlexGridModel& Model() { return model_; }
    const FlexGridModel& Model() const { return model_; }

    /// Shows `cells` and sets the column widths they carry (in twips).
    void Apply(common::GridCells cells);
    /// Width of column `col` in twips.
    void SetColWidth(int col, int twips);
    /// Leading rows and columns drawn as caption cells.
    void SetFixed(int rows, int cols) { model_.SetFixed(rows, cols); }

private:
    FlexGridModel model_;
};

}  // namespace ui
