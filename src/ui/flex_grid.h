#pragma once

#include <cstdint>
#include <vector>

#include <QAbstractTableModel>
#include <QColor>
#include <QRect>
#include <QTableView>

#include "common/grid_cells.h"

class QWidget;

// The MSFlexGrid-style grid of the grid windows: a table view over one model of cell texts and
// background colours, with the designed row and column counts. Cell (row, column) is the
// designed cell, row 0 and column 0 included; the fixed rows and columns (one of each unless the
// grid says otherwise) are caption cells that stay in place while the other cells scroll, Qt's
// own headers are hidden, and no cell can be edited.
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
    /// Every cell at once, the row and column counts becoming those of `cells` (a grid whose
    /// row count is set at run time): one model reset however many rows.
    void ReplaceCells(common::GridCells cells);

    /// How many leading rows and columns are fixed caption cells (1 and 1 unless set).
    void SetFixed(int rows, int cols);
    int FixedRows() const { return fixedRows_; }
    int FixedCols() const { return fixedCols_; }
    const common::GridCells& Cells() const { return cells_; }

    /// Text and colour of a designed cell ("" and an invalid colour outside or where none set).
    QString Text(int row, int col) const;
    QColor BackColour(int row, int col) const;
    QColor TextColour(int row, int col) const;

private:
    common::GridCells cells_;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
};

/// The grid control. The fixed rows and columns are drawn by three views over the same model laid
/// over the grid's own (the caption band along the top, the one down the left, their corner),
/// which share its selection and pass their clicks on as the grid's own; they follow its scrolling
/// and its row and column sizes.
///
/// Column widths are designed in twips for a 9-point font. The grid's font is wider and Qt keeps
/// more room round a cell's text, so every designed width is scaled by one factor taken from the
/// font's metrics (the same for every grid of a window, whose grids share their font); a column
/// whose widest text still does not fit is widened to it. In a row at least two text lines high
/// (a caption row designed so) the texts wrap instead.
class FlexGrid final : public QTableView {
    Q_OBJECT

public:
    /// A grid named `name` of `rows` × `cols` designed cells at `geometry` in `parent`.
    FlexGrid(QWidget* parent, const char* name, int rows, int cols, QRect geometry);

    FlexGridModel& Model() { return model_; }
    const FlexGridModel& Model() const { return model_; }

    /// Shows `cells` and sets the column widths they carry (in twips).
    void Apply(common::GridCells cells);
    /// The same for a grid whose row and column counts the load sets: the grid takes the size of
    /// `cells`, in one model reset.
    void Fill(common::GridCells cells);
    /// Designed width of column `col` in twips (drawn scaled, see above).
    void SetColWidth(int col, int twips);
    /// The designed width of column `col` in twips (the grid's default where none was set).
    int DesignedColWidth(int col) const;
    /// Leading rows and columns that stay in place as caption cells.
    void SetFixed(int rows, int cols) { model_.SetFixed(rows, cols); }

    /// The factor every designed width is drawn with in the grid's font.
    double WidthFactor() const;
    /// Pixels of a cell's width that its text cannot use (Qt's text margins and the grid line).
    int CellPadding() const;
    /// Whether the texts of row `row` wrap (the row is at least two text lines high).
    bool RowWraps(int row) const;

    /// Scrolls the other cells so that cell `index` shows beside the fixed ones, not under them.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    void changeEvent(QEvent* event) override;

private:
    void PlaceFixedViews();
    void CopySizesToFixedViews();
    /// Column widths from the designed ones and the texts shown.
    void FitColumns();
    int FittedWidth(int col, double factor) const;
    int WrappingRowHeight() const;

    FlexGridModel model_;
    std::vector<int> designedTwips_;
    QTableView* fixedRowsView_ = nullptr;
    QTableView* fixedColsView_ = nullptr;
    QTableView* cornerView_ = nullptr;
    bool fitting_ = false;
};

}  // namespace ui
