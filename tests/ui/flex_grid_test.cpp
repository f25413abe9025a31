#include "ui/flex_grid.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

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
    EXPECT_EQ(grid.columnWidth(1), 80);
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
    EXPECT_EQ(grid.columnWidth(0), 80);

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

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
