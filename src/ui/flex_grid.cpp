#include "ui/flex_grid.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include "ui/window_controls.h"

namespace ui {

namespace {

constexpr int kDefaultRowTwips = 270;
constexpr int kDefaultColTwips = 960;
// The designed widths were made for a 9-point font whose half-width characters are 6 pixels
// wide: the narrowest columns (500 twips, 33 pixels) hold a horse cell of five half-width
// characters ("8  17") with 3 pixels to spare.
constexpr double kDesignedHalfWidth = 6.0;
constexpr double kDesignedSpare = 3.0;
constexpr int kTwipsPerPixel = 15;

// How far to scroll so that a cell from `first` to `last` (pixels along one axis of the viewport)
// shows between the fixed cells, which end at `fixedEnd`, and the viewport's end `areaEnd`; its
// start first when it cannot show whole.
int ShiftToShow(int first, int last, int fixedEnd, int areaEnd) {
    if (first < fixedEnd) return first - fixedEnd;
    if (last > areaEnd) return std::min(last - areaEnd, first - fixedEnd);
    return 0;
}

bool IsTrailingBlank(QChar c) { return c == QLatin1Char(' ') || c == QChar(0x3000); }

// Texts wrap in the rows at least two text lines high.
class FlexGridDelegate final : public QStyledItemDelegate {
public:
    explicit FlexGridDelegate(FlexGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (grid_->RowWraps(index.row()))
            option->features |= QStyleOptionViewItem::WrapText;
        else
            option->features &= ~QStyleOptionViewItem::WrapText;
    }

private:
    FlexGrid* grid_;
};

// One of the views that draw the fixed cells over the grid: its scrolling follows the grid's
// (across for the caption row band, down for the caption column band, not at all for the corner)
// and the wheel over it scrolls the grid.
class FixedCellsView final : public QTableView {
public:
    enum class Follows { Across, Down, Nothing };

    FixedCellsView(FlexGrid* grid, Follows follows) : QTableView(grid), grid_(grid), follows_(follows) {}

    void Follow() {
        if (follows_ == Follows::Across) horizontalScrollBar()->setValue(grid_->horizontalScrollBar()->value());
        if (follows_ == Follows::Down) verticalScrollBar()->setValue(grid_->verticalScrollBar()->value());
    }

    // The fixed cells never scroll of their own accord (a click on one, the current cell moving).
    void scrollTo(const QModelIndex&, ScrollHint) override {}

protected:
    void updateGeometries() override {
        QTableView::updateGeometries();
        Follow();
    }
    void wheelEvent(QWheelEvent* event) override { QCoreApplication::sendEvent(grid_->viewport(), event); }

private:
    FlexGrid* grid_;
    Follows follows_;
};

}  // namespace

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
    setItemDelegate(new FlexGridDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Every row is one text line high, so a long grid lays out without measuring its rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(TwipsToPixels(kDefaultRowTwips));
    horizontalHeader()->setDefaultSectionSize(TwipsToPixels(kDefaultColTwips));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    // As in the grid control it stands for, a text wider than its cell is cut at the cell's edge,
    // not shortened to an ellipsis (a cell of blanks would otherwise show "…").
    setTextElideMode(Qt::ElideNone);
    // By pixels, so that the other cells pass under the fixed ones instead of jumping a cell at a
    // time beside them.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    fixedRowsView_ = new FixedCellsView(this, FixedCellsView::Follows::Across);
    fixedColsView_ = new FixedCellsView(this, FixedCellsView::Follows::Down);
    cornerView_ = new FixedCellsView(this, FixedCellsView::Follows::Nothing);
    for (QTableView* view : {fixedRowsView_, fixedColsView_, cornerView_}) {
        view->setModel(&model_);
        view->setSelectionModel(selectionModel());
        view->setItemDelegate(itemDelegate());
        view->horizontalHeader()->hide();
        view->verticalHeader()->hide();
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
        view->horizontalHeader()->setDefaultSectionSize(horizontalHeader()->defaultSectionSize());
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setWordWrap(false);
        view->setTextElideMode(Qt::ElideNone);
        view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        view->setFrameShape(QFrame::NoFrame);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setFocusPolicy(Qt::NoFocus);
        // A click on a fixed cell is a click on the grid.
        connect(view, &QAbstractItemView::pressed, this, [this] { setFocus(); });
        connect(view, &QAbstractItemView::pressed, this, &QAbstractItemView::pressed);
        connect(view, &QAbstractItemView::clicked, this, &QAbstractItemView::clicked);
        connect(view, &QAbstractItemView::doubleClicked, this, &QAbstractItemView::doubleClicked);
        connect(view, &QAbstractItemView::activated, this, &QAbstractItemView::activated);
    }
    connect(horizontalScrollBar(), &QAbstractSlider::valueChanged, fixedRowsView_->horizontalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, fixedColsView_->verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int width) {
        fixedRowsView_->setColumnWidth(col, width);
        fixedColsView_->setColumnWidth(col, width);
        cornerView_->setColumnWidth(col, width);
        PlaceFixedViews();
    });
    connect(verticalHeader(), &QHeaderView::sectionResized, this, [this](int row, int, int height) {
        fixedRowsView_->setRowHeight(row, height);
        fixedColsView_->setRowHeight(row, height);
        cornerView_->setRowHeight(row, height);
        PlaceFixedViews();
        // A caption row made two lines high wraps its texts: they may need less width.
        FitColumns();
    });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
        if (designedTwips_.size() != static_cast<std::size_t>(model_.columnCount()))
            designedTwips_.assign(static_cast<std::size_t>(model_.columnCount()), -1);
        CopySizesToFixedViews();
        PlaceFixedViews();
    });
    designedTwips_.assign(static_cast<std::size_t>(cols), -1);
    FitColumns();
    PlaceFixedViews();
}

void FlexGrid::Apply(common::GridCells cells) {
    const int cols = std::min(cells.Cols(), model_.columnCount());
    for (int c = 0; c < cols; ++c)
        if (const int twips = cells.ColWidth(c); twips >= 0) designedTwips_[static_cast<std::size_t>(c)] = twips;
    model_.SetCells(std::move(cells));
    FitColumns();
}

void FlexGrid::Fill(common::GridCells cells) {
    std::vector<int> widths;
    for (int c = 0; c < cells.Cols(); ++c) widths.push_back(cells.ColWidth(c));
    model_.ReplaceCells(std::move(cells));
    // After the reset, which gives a grid of another column count its default widths.
    for (std::size_t c = 0; c < widths.size(); ++c)
        if (widths[c] >= 0) designedTwips_[c] = widths[c];
    FitColumns();
}

void FlexGrid::SetColWidth(int col, int twips) {
    if (col < 0 || col >= model_.columnCount()) return;
    designedTwips_[static_cast<std::size_t>(col)] = twips;
    setColumnWidth(col, FittedWidth(col, WidthFactor()));
}

int FlexGrid::DesignedColWidth(int col) const {
    if (col < 0 || static_cast<std::size_t>(col) >= designedTwips_.size()) return kDefaultColTwips;
    const int twips = designedTwips_[static_cast<std::size_t>(col)];
    return twips >= 0 ? twips : kDefaultColTwips;
}

double FlexGrid::WidthFactor() const {
    const QFontMetrics metrics(font());
    const double needed = metrics.horizontalAdvance(QStringLiteral("00000")) + CellPadding();
    return std::max(1.0, needed / (5 * kDesignedHalfWidth + kDesignedSpare));
}

int FlexGrid::CellPadding() const {
    // The item delegate keeps this margin on either side of a text; the grid line takes a pixel
    // of the cell's width.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return 2 * margin + (showGrid() ? 1 : 0);
}

bool FlexGrid::RowWraps(int row) const { return rowHeight(row) >= WrappingRowHeight(); }

int FlexGrid::WrappingRowHeight() const { return 2 * QFontMetrics(font()).height() + (showGrid() ? 1 : 0); }

int FlexGrid::FittedWidth(int col, double factor) const {
    const int twips = DesignedColWidth(col);
    if (twips == 0) return 0;  // a hidden column stays hidden
    int width = static_cast<int>(std::lround(twips * factor / kTwipsPerPixel));
    const QFontMetrics metrics(font());
    const int padding = CellPadding();
    const int grid = showGrid() ? 1 : 0;
    // Blanks at the end of a left-aligned text show nothing, so they may be cut.
    const int wrapping = WrappingRowHeight();
    const QVariant align = model_.data(model_.index(0, col), Qt::TextAlignmentRole);
    const bool leftAligned = !align.isValid() || (align.value<Qt::Alignment>() & Qt::AlignLeft);
    for (int r = 0; r < model_.rowCount(); ++r) {
        QString text = model_.Text(r, col);
        if (text.isEmpty()) continue;
        if (rowHeight(r) >= wrapping) {
            // The narrowest width at which the wrapped text fits the row's height.
            const int oneLine = metrics.horizontalAdvance(text) + padding;
            for (; width < oneLine; ++width) {
                const QRect room(0, 0, width - padding, rowHeight(r) - grid);
                const QRect used = metrics.boundingRect(QRect(room.topLeft(), QSize(room.width(), 1 << 20)),
                                                        Qt::TextWordWrap, text);
                if (used.height() <= room.height() && used.width() <= room.width()) break;
            }
            continue;
        }
        if (leftAligned)
            while (!text.isEmpty() && IsTrailingBlank(text.back())) text.chop(1);
        if (!text.isEmpty()) width = std::max(width, metrics.horizontalAdvance(text) + padding);
    }
    return width;
}

void FlexGrid::FitColumns() {
    if (fitting_) return;
    fitting_ = true;
    const double factor = WidthFactor();
    for (int c = 0; c < model_.columnCount(); ++c) setColumnWidth(c, FittedWidth(c, factor));
    fitting_ = false;
}

void FlexGrid::CopySizesToFixedViews() {
    for (int c = 0; c < model_.columnCount(); ++c) {
        const int width = columnWidth(c);
        for (QTableView* view : {fixedRowsView_, fixedColsView_, cornerView_}) view->setColumnWidth(c, width);
    }
    for (int r = 0; r < model_.rowCount(); ++r) {
        const int height = rowHeight(r);
        if (height == verticalHeader()->defaultSectionSize() && fixedColsView_->rowHeight(r) == height) continue;
        for (QTableView* view : {fixedRowsView_, fixedColsView_, cornerView_}) view->setRowHeight(r, height);
    }
}

void FlexGrid::PlaceFixedViews() {
    if (cornerView_ == nullptr) return;  // the base class lays out before they are made
    const int rows = std::min(model_.FixedRows(), model_.rowCount());
    const int cols = std::min(model_.FixedCols(), model_.columnCount());
    const QRect area = viewport()->geometry();
    int width = 0, height = 0;
    for (int c = 0; c < cols; ++c) width += columnWidth(c);
    for (int r = 0; r < rows; ++r) height += rowHeight(r);
    width = std::min(width, area.width());
    height = std::min(height, area.height());
    fixedRowsView_->setGeometry(area.x(), area.y(), area.width(), height);
    fixedColsView_->setGeometry(area.x(), area.y(), width, area.height());
    cornerView_->setGeometry(area.x(), area.y(), width, height);
    fixedRowsView_->setVisible(rows > 0);
    fixedColsView_->setVisible(cols > 0);
    cornerView_->setVisible(rows > 0 && cols > 0);
    static_cast<FixedCellsView*>(fixedRowsView_)->Follow();
    static_cast<FixedCellsView*>(fixedColsView_)->Follow();
}

void FlexGrid::scrollTo(const QModelIndex& index, ScrollHint) {
    if (!index.isValid()) return;
    const int rows = std::min(model_.FixedRows(), model_.rowCount());
    const int cols = std::min(model_.FixedCols(), model_.columnCount());
    int fixedWidth = 0, fixedHeight = 0;
    for (int c = 0; c < cols; ++c) fixedWidth += columnWidth(c);
    for (int r = 0; r < rows; ++r) fixedHeight += rowHeight(r);
    // The cell with its grid line.
    const int line = showGrid() ? 1 : 0;
    const QRect cell = visualRect(index).adjusted(0, 0, line, line);
    const QRect area = viewport()->rect();
    // Beside the fixed cells: past the caption column, below the caption rows.
    if (index.column() >= cols)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() +
                                        ShiftToShow(cell.left(), cell.right(), fixedWidth, area.right()));
    if (index.row() >= rows)
        verticalScrollBar()->setValue(verticalScrollBar()->value() +
                                      ShiftToShow(cell.top(), cell.bottom(), fixedHeight, area.bottom()));
}

void FlexGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    PlaceFixedViews();
}

void FlexGrid::updateGeometries() {
    QTableView::updateGeometries();
    PlaceFixedViews();
}

void FlexGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) FitColumns();
}

}  // namespace ui
