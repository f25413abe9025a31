#include "ui/flex_grid.h"

#include <array>
#include <vector>

#include <QHeaderView>

#include "ui/window_controls.h"

namespace ui {

int TwipsToPixels(int twips) { return (twips + 7) / 15; }

std::uint32_t QBColor(int index) {
    static constexpr std::array<std::uint32_t, 16> kPalette = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return index >= 0 && index < 16 ? kPalette[static_cast<std::size_t>(index)] : 0;
}

QColor QBColour(int index) { return ColourFromBgr(QBColor(index)); }

QColor FixedCellColour() { return QBColour(7); }

FlexGridModel::FlexGridModel(int rows, int cols, QObject* parent) : QAbstractTableModel(parent), cells_(rows, cols) {}

int FlexGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cells_.Rows(); }

int FlexGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cells_.Cols(); }

QVariant FlexGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = index.row(), col = index.column();
    switch (role) {
        case Qt::DisplayRole: {
            const std::string& text = cells_.Text(row, col);
            if (text.empty()) return {};
            return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        }
        case Qt::BackgroundRole: {
            const std::int8_t colour = cells_.Colour(row, col);
            if (colour != common::qb::kNone) return QBColour(colour);
            if (row < fixedRows_ || col < fixedCols_) return FixedCellColour();
            return {};
        }
        case Qt::ForegroundRole: {
            const std::int8_t colour = cells_.TextColour(row, col);
            if (colour != common::qb::kNone) return QBColour(colour);
            return {};
        }
        case Qt::TextAlignmentRole: {
            const std::int8_t code = cells_.ColAlignment(col);
            if (code == common::flex_align::kNone) return {};
            // The grid control counts left, centre, right in threes of top, centre, bottom.
            static constexpr std::array<Qt::Alignment, 3> kAcross = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
            static constexpr std::array<Qt::Alignment, 3> kDown = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
            const auto across = static_cast<std::size_t>(code / 3), down = static_cast<std::size_t>(code % 3);
            return QVariant::fromValue(kAcross[across] | kDown[down]);
        }
        default: return {};
    }
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void FlexGridModel::SetCells(common::GridCells cells) {
    if (cells.Rows() == cells_.Rows() && cells.Cols() == cells_.Cols()) {
        ReplaceCells(std::move(cells));
        return;
    }
    // A grid keeps its designed size.
    common::GridCells fitted(cells_.Rows(), cells_.Cols());
    for (int r = 0; r < fitted.Rows(); ++r)
        for (int c = 0; c < fitted.Cols(); ++c) {
            fitted.SetText(r, c, cells.Text(r, c));
            fitted.SetColour(r, c, cells.Colour(r, c));
            fitted.SetTextColour(r, c, cells.TextColour(r, c));
        }
    for (int c = 0; c < fitted.Cols(); ++c) {
        fitted.SetColWidth(c, cells.ColWidth(c));
        fitted.SetColAlignment(c, cells.ColAlignment(c));
    }
    ReplaceCells(std::move(fitted));
}

void FlexGridModel::ReplaceCells(common::GridCells cells) {
    beginResetModel();
    cells_ = std::move(cells);
    endResetModel();
}

void FlexGridModel::SetFixed(int rows, int cols) {
    beginResetModel();
    fixedRows_ = rows;
    fixedCols_ = cols;
    endResetModel();
}

QString FlexGridModel::Text(int row, int col) const { return QString::fromStdString(cells_.Text(row, col)); }

QColor FlexGridModel::BackColour(int row, int col) const {
    const std::int8_t colour = cells_.Colour(row, col);
    return colour == common::qb::kNone ? QColor() : QBColour(colour);
}

QColor FlexGridModel::TextColour(int row, int col) const {
    const std::int8_t colour = cells_.TextColour(row, col);
    return colour == common::qb::kNone ? QColor() : QBColour(colour);
}

FlexGrid::FlexGrid(QWidget* parent, const char* name, int rows, int cols, QRect geometry)
    : QTableView(parent), model_(rows, cols, this) {
    setObjectName(QString::fromLatin1(name));
    setGeometry(geometry);
    setModel(&model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Every row is one text line high, so a long grid lays out without measuring its rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(TwipsToPixels(270));
    horizontalHeader()->setDefaultSectionSize(TwipsToPixels(960));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    // As in the grid control it stands for, a text wider than its cell is cut at the cell's edge,
    // not shortened to an ellipsis (a cell of blanks would otherwise show "…").
    setTextElideMode(Qt::ElideNone);
}

void FlexGrid::Apply(common::GridCells cells) {
    for (int c = 0; c < cells.Cols(); ++c)
        if (const int twips = cells.ColWidth(c); twips >= 0) SetColWidth(c, twips);
    model_.SetCells(std::move(cells));
}

void FlexGrid::Fill(common::GridCells cells) {
    std::vector<int> widths;
    for (int c = 0; c < cells.Cols(); ++c) widths.push_back(cells.ColWidth(c));
    model_.ReplaceCells(std::move(cells));
    // After the reset, so that a changed column count cannot drop them.
    for (std::size_t c = 0; c < widths.size(); ++c)
        if (widths[c] >= 0) SetColWidth(static_cast<int>(c), widths[c]);
}

void FlexGrid::SetColWidth(int col, int twips) { setColumnWidth(col, TwipsToPixels(twips)); }

}  // namespace ui
