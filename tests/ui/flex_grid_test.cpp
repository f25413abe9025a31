#include "ui/flex_grid.h"

#include <string>

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QWheelEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include "grid_probe.h"

// The grid of the grid windows: designed cells, palette colours, widths in twips.
namespace {

TEST(FlexGrid, PaletteAndTwips) {
    const std::vector<std::pair<int, std::uint32_t>> palette = {
        {9, 16711680}, {10, 65280}, {11, 16776960}, {12, 255}, {13, 16711935}, {14, 65535}, {15, 16777215}, {0, 0}};
    for (const auto& [index, value] : palette) EXPECT_EQ(ui::QBColor(index), value) << index;
    EXPECT_EQ(ui::QBColour(14), QColor(255, 255, 0));
    EXPECT_EQ(ui::TwipsToPixels(1200), 80);
    EXPECT_EQ(ui::TwipsToPixels(1500), 100);
}

TEST(FlexGrid, CellsByTheirDesignedCoordinatesInOneReset) {
    QWidget parent;
    ui::FlexGrid grid(&parent, "HAITOGrid1", 10, 22, QRect(0, 0, 400, 200));
    EXPECT_EQ(grid.objectName(), "HAITOGrid1");
    int resets = 0;
    QObject::connect(&grid.Model(), &QAbstractItemModel::modelReset, [&] { ++resets; });

    common::GridCells cells(10, 22);
    cells.SetText(0, 0, "券種");
    cells.SetText(4, 3, "12");
    cells.SetColour(4, 3, common::qb::kLightMagenta);
    cells.SetColWidth(1, 1200);
    cells.SetColAlignment(1, common::flex_align::kLeftTop);
    cells.SetColAlignment(2, 7);  // right centre
    cells.SetColAlignment(3, 9);  // not a code the grid knows: its own alignment
    cells.SetText(10, 0, "beyond");  // outside: dropped
    grid.Apply(cells);

    EXPECT_EQ(resets, 1);
    const ui::FlexGridModel& m = grid.Model();
    EXPECT_EQ(m.rowCount(), 10);
    EXPECT_EQ(m.columnCount(), 22);
    EXPECT_EQ(m.Text(0, 0), QString::fromUtf8("券種"));
    EXPECT_EQ(m.data(m.index(4, 3)).toString(), "12");
    EXPECT_EQ(m.BackColour(4, 3), ui::QBColour(13));
    EXPECT_EQ(m.data(m.index(0, 5), Qt::BackgroundRole).value<QColor>(), ui::FixedCellColour());
    EXPECT_FALSE(m.data(m.index(5, 5), Qt::BackgroundRole).isValid());
    EXPECT_FALSE(m.flags(m.index(4, 3)) & Qt::ItemIsEditable);
    EXPECT_EQ(grid.DesignedColWidth(1), 1200);
    const auto alignment = [&](int row, int col) { return m.data(m.index(row, col), Qt::TextAlignmentRole).value<Qt::Alignment>(); };
    EXPECT_EQ(alignment(0, 1), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(alignment(9, 1), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(alignment(4, 2), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_FALSE(m.data(m.index(4, 3), Qt::TextAlignmentRole).isValid());
    EXPECT_FALSE(m.data(m.index(4, 0), Qt::TextAlignmentRole).isValid());

    // Cells of another size are fitted to the designed ones.
    common::GridCells small(3, 3);
    small.SetText(2, 2, "x");
    small.SetColAlignment(2, common::flex_align::kLeftTop);
    grid.Apply(small);
    EXPECT_EQ(m.rowCount(), 10);
    EXPECT_EQ(m.Text(2, 2), "x");
    EXPECT_EQ(alignment(2, 2), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(m.Text(0, 0), "");
}

// A grid whose row count the load sets: six thousand rows in one reset, the width kept, the
// fixed caption cells as the grid sets them.
TEST(FlexGrid, FillTakesTheRowCountInOneReset) {
    QWidget parent;
    ui::FlexGrid grid(&parent, "BareiTurfFG", 1, 6, QRect(0, 0, 400, 200));
    int resets = 0, inserts = 0;
    QObject::connect(&grid.Model(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    QObject::connect(&grid.Model(), &QAbstractItemModel::rowsInserted, [&] { ++inserts; });

    common::GridCells cells(6001, 6);
    for (int r = 0; r < 6001; ++r) cells.SetText(r, 5, std::to_string(r));
    cells.SetColWidth(0, 1200);
    grid.Fill(cells);
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(inserts, 0);
    EXPECT_EQ(grid.Model().rowCount(), 6001);
    EXPECT_EQ(grid.Model().Text(6000, 5), "6000");
    EXPECT_EQ(grid.DesignedColWidth(0), 1200);

    // Fewer rows on the next fill: nothing of the earlier one stays.
    grid.Fill(common::GridCells(1, 6));
    EXPECT_EQ(grid.Model().rowCount(), 1);
    EXPECT_EQ(grid.Model().Text(1, 5), "");

    // Fixed rows and columns as the grid is designed: none, or the first row only.
    const ui::FlexGridModel& m = grid.Model();
    const struct {
        int rows, cols;
        bool cell00, cell01, cell10;
    } fixedCases[] = {{1, 1, true, true, true}, {1, 0, true, true, false}, {0, 0, false, false, false}};
    grid.Fill(common::GridCells(2, 2));
    for (const auto& c : fixedCases) {
        grid.Model().SetFixed(c.rows, c.cols);
        const auto fixed = [&](int r, int col) {
            return m.data(m.index(r, col), Qt::BackgroundRole).value<QColor>() == ui::FixedCellColour();
        };
        EXPECT_EQ(fixed(0, 0), c.cell00) << c.rows << c.cols;
        EXPECT_EQ(fixed(0, 1), c.cell01) << c.rows << c.cols;
        EXPECT_EQ(fixed(1, 0), c.cell10) << c.rows << c.cols;
        EXPECT_FALSE(fixed(1, 1));
    }
}

// A shown grid of 817 rows and 8 columns, every cell holding "row:col", in the windows' font.
struct ShownGrid {
    QWidget parent;
    ui::FlexGrid* grid;

    ShownGrid(int fixedRows, int fixedCols) {
        QFont font(QStringLiteral("IPAGothic"));
        font.setPixelSize(13);
        parent.setFont(font);
        parent.resize(420, 320);
        grid = new ui::FlexGrid(&parent, "SANTANGrid4", 817, 8, QRect(10, 10, 400, 300));
        grid->SetFixed(fixedRows, fixedCols);
        common::GridCells cells(817, 8);
        for (int r = 0; r < 817; ++r)
            for (int c = 0; c < 8; ++c) cells.SetText(r, c, std::to_string(r) + ":" + std::to_string(c));
        grid->Apply(cells);
        parent.show();
        QApplication::processEvents();
    }
    QColor ColourAt(QPoint at) const { return grid->grab().toImage().pixelColor(at); }
    bool AtTheEnd() const {
        return grid->verticalScrollBar()->value() == grid->verticalScrollBar()->maximum() &&
               grid->horizontalScrollBar()->value() == grid->horizontalScrollBar()->maximum();
    }
};

void PressKey(QWidget& widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&widget, &press);
}

void Wheel(QWidget& target, QPoint angle) {
    const QPointF at(5, 5);
    QWheelEvent event(at, target.mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&target, &event);
}

// Scrolled to the last row and column by a call, by the keyboard or by the wheel (over the other
// cells and over the fixed ones), the fixed rows and columns are still the cells drawn along the
// top and down the left, in their caption colour, beside the cells scrolled to.
TEST(FlexGrid, FixedRowsAndColumnsStayWhileTheOthersScroll) {
    enum class Scroll { Call, Keys, Wheel, WheelOverFixedCells };
    const struct {
        int fixedRows, fixedCols;
        Scroll scroll;
    } cases[] = {{1, 1, Scroll::Call}, {1, 1, Scroll::Keys}, {1, 1, Scroll::Wheel}, {1, 1, Scroll::WheelOverFixedCells},
                 {2, 1, Scroll::Keys}, {2, 1, Scroll::Wheel},  {1, 0, Scroll::Call},  {0, 0, Scroll::Call}};
    for (const auto& k : cases) {
        SCOPED_TRACE(std::to_string(k.fixedRows) + " fixed rows, " + std::to_string(k.fixedCols) + " fixed columns, way " +
                     std::to_string(static_cast<int>(k.scroll)));
        ShownGrid shown(k.fixedRows, k.fixedCols);
        ui::FlexGrid& grid = *shown.grid;
        const gridprobe::FixedBand band = gridprobe::FixedBandOf(grid);
        switch (k.scroll) {
            case Scroll::Call: grid.scrollTo(grid.model()->index(816, 7)); break;
            case Scroll::Keys: PressKey(grid, Qt::Key_End, Qt::ControlModifier); break;
            case Scroll::Wheel:
            case Scroll::WheelOverFixedCells: {
                // Over the caption column where there is one, else over the other cells.
                QWidget* target = grid.viewport();
                if (k.scroll == Scroll::WheelOverFixedCells)
                    target = grid.childAt(band.origin + QPoint(band.width / 2, band.height + 40));
                ASSERT_NE(target, nullptr);
                if (k.scroll == Scroll::WheelOverFixedCells) {
                    ASSERT_NE(target, grid.viewport());
                }
                for (int i = 0; i < 5000 && !shown.AtTheEnd(); ++i) {
                    Wheel(*target, QPoint(0, -120));
                    Wheel(*target, QPoint(-120, 0));
                }
                break;
            }
        }
        QApplication::processEvents();
        ASSERT_TRUE(shown.AtTheEnd()) << grid.verticalScrollBar()->value() << "/" << grid.verticalScrollBar()->maximum() << " " << grid.horizontalScrollBar()->value() << "/" << grid.horizontalScrollBar()->maximum();

        // The last cell is drawn in the bottom right corner.
        const QRect area = grid.viewport()->geometry();
        const QPoint bottomRight = area.bottomRight() - QPoint(3, 3);
        EXPECT_EQ(gridprobe::CellShownAt(grid, bottomRight), grid.model()->index(816, 7));
        const int lastRowTop = grid.visualRect(grid.model()->index(816, 7)).top() + area.top();
        const int lastColLeft = grid.visualRect(grid.model()->index(816, 7)).left() + area.left();

        // The corner and the bands hold the fixed cells of the rows and columns scrolled to.
        for (int r = 0; r < k.fixedRows; ++r)
            for (int c = 0; c < k.fixedCols; ++c)
                EXPECT_EQ(gridprobe::CellShownAt(grid, area.topLeft() + QPoint(3 + c * 64, 3 + r * grid.rowHeight(0))),
                          grid.model()->index(r, c));
        for (int r = 0; r < k.fixedRows; ++r) {
            const QPoint at(bottomRight.x(), area.top() + 3 + r * grid.rowHeight(0));
            EXPECT_EQ(gridprobe::CellShownAt(grid, at), grid.model()->index(r, 7));
            EXPECT_EQ(shown.ColourAt(QPoint(lastColLeft + 1, at.y() - 2)), ui::FixedCellColour());
        }
        for (int c = 0; c < k.fixedCols; ++c) {
            const QPoint at(area.left() + 3, bottomRight.y());
            EXPECT_EQ(gridprobe::CellShownAt(grid, at), grid.model()->index(816, c));
            EXPECT_EQ(shown.ColourAt(QPoint(area.left() + 1, lastRowTop + 1)), ui::FixedCellColour());
        }
        if (k.fixedRows > 0 && k.fixedCols > 0) {
            EXPECT_EQ(shown.ColourAt(area.topLeft() + QPoint(1, 1)), ui::FixedCellColour());
        }
        // Without fixed cells the corner shows the cells scrolled to, in their own colour.
        if (k.fixedRows == 0 && k.fixedCols == 0) {
            EXPECT_NE(gridprobe::CellShownAt(grid, area.topLeft() + QPoint(3, 3)).row(), 0);
            EXPECT_NE(shown.ColourAt(area.topLeft() + QPoint(1, 1)), ui::FixedCellColour());
        }
        // The cell right beside the fixed ones is a scrolled one, whole: nothing hides under them.
        EXPECT_GE(gridprobe::CellShownAt(grid, area.topLeft() + QPoint(band.width + 2, band.height + 2)).row(), k.fixedRows);
    }
}

// A click on a fixed cell is a click on the grid: the grid tells it with that cell and makes it
// its current cell, and the other cells stay where they were scrolled to.
TEST(FlexGrid, AClickOnAFixedCellIsTheGrids) {
    ShownGrid shown(1, 1);
    ui::FlexGrid& grid = *shown.grid;
    grid.scrollTo(grid.model()->index(816, 7));
    QApplication::processEvents();
    const int across = grid.horizontalScrollBar()->value(), down = grid.verticalScrollBar()->value();
    std::vector<QModelIndex> clicked;
    QObject::connect(&grid, &QAbstractItemView::clicked, [&](const QModelIndex& index) { clicked.push_back(index); });

    const QRect area = grid.viewport()->geometry();
    for (const QPoint at : {area.topLeft() + QPoint(5, 5), QPoint(area.right() - 5, area.top() + 5), QPoint(area.left() + 5, area.bottom() - 5)}) {
        QWidget* target = grid.childAt(at);
        ASSERT_NE(target, grid.viewport());
        const QPointF local = target->mapFrom(&grid, at);
        QMouseEvent press(QEvent::MouseButtonPress, local, target->mapToGlobal(local), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, local, target->mapToGlobal(local), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }
    const std::vector<QModelIndex> expected = {grid.model()->index(0, 0), grid.model()->index(0, 7), grid.model()->index(816, 0)};
    EXPECT_EQ(clicked, expected);
    EXPECT_EQ(grid.currentIndex(), grid.model()->index(816, 0));
    EXPECT_EQ(grid.horizontalScrollBar()->value(), across);
    EXPECT_EQ(grid.verticalScrollBar()->value(), down);
}

// The room a text has in a cell: the column's width less the delegate's margins and the grid line.
int TextRoom(const ui::FlexGrid& grid, int col) {
    const int margin = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
    return grid.columnWidth(col) - 2 * margin - 1;
}

// Designed widths in a font wider than the one they were made for: each column keeps its texts
// whole, the designed proportions stay where the texts fit, a text longer than its column ever
// held widens that column only, trailing blanks of a left-aligned text take no room, and a
// caption row two lines high wraps its captions instead of widening their columns.
TEST(FlexGrid, ColumnsHoldTheirTextsWhole) {
    ShownGrid shown(1, 1);
    ui::FlexGrid& grid = *shown.grid;
    const QFontMetrics metrics(grid.font());
    struct Column {
        int twips;
        std::string text;
    };
    const std::vector<Column> columns = {
        {500, "8  17"}, {600, "109160"}, {1100, "準本5点目裏"}, {1000, "1.25.82"}, {1000, "騎A・調A・父父A・母父A・生A"},
        {1000, "ab" + std::string(40, ' ')}, {500, "12"}, {1000, "-57.336"}};
    common::GridCells cells(817, 8);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        cells.SetColWidth(static_cast<int>(c), columns[c].twips);
        cells.SetText(5, static_cast<int>(c), columns[c].text);
    }
    cells.SetText(0, 7, "母父馬上がり時速");
    grid.Apply(cells);
    grid.setRowHeight(0, ui::TwipsToPixels(500));
    QApplication::processEvents();

    for (std::size_t c = 0; c < columns.size(); ++c) {
        QString text = QString::fromStdString(columns[c].text);
        while (text.endsWith(' ')) text.chop(1);
        EXPECT_LE(metrics.horizontalAdvance(text), TextRoom(grid, static_cast<int>(c))) << columns[c].text;
    }
    // The texts that fit keep the designed proportions: 500, 1000 and 1100 twips.
    EXPECT_NEAR(grid.columnWidth(3), 2 * grid.columnWidth(6), 1);
    EXPECT_NEAR(grid.columnWidth(2), 1.1 * grid.columnWidth(3), 1);
    EXPECT_EQ(grid.columnWidth(5), grid.columnWidth(3));
    EXPECT_GT(grid.columnWidth(4), 2 * grid.columnWidth(3));
    // The caption wraps into the two lines of its row, in its designed width.
    EXPECT_EQ(grid.columnWidth(7), grid.columnWidth(3));
    EXPECT_GT(metrics.horizontalAdvance(QString::fromUtf8("母父馬上がり時速")), TextRoom(grid, 7));
    const QRect caption = grid.visualRect(grid.model()->index(0, 7)).translated(grid.viewport()->pos());
    const QImage image = grid.grab().toImage();
    const auto inked = [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = caption.left(); x < caption.right(); ++x)
                if (image.pixelColor(x, y).lightness() < 100) return true;
        return false;
    };
    EXPECT_TRUE(inked(caption.top(), caption.center().y()));
    EXPECT_TRUE(inked(caption.center().y() + 1, caption.bottom()));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
