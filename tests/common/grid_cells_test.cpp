#include "common/grid_cells.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// The texts are kept only as far as the last row written; every cell must still read as a grid
// of all its cells would: what was written last, "" for the rest and outside.
TEST(GridCells, TextsReadAsEveryCellWereKept) {
    common::GridCells grid(50, 4);
    std::vector<std::string> cells(50 * 4);
    struct Write {
        int row, col;
        const char* text;
    };
    const Write writes[] = {
        {0, 0, "caption"}, {7, 3, "far"},  {2, 1, "back"}, {7, 3, "again"}, {49, 0, "last"}, {3, 2, ""},
        {50, 0, "out"},    {-1, 0, "out"}, {0, 4, "out"},  {20, -1, "out"}, {1, 1, "one"},
    };
    for (const Write& w : writes) {
        grid.SetText(w.row, w.col, w.text);
        if (w.row >= 0 && w.row < 50 && w.col >= 0 && w.col < 4) cells[static_cast<std::size_t>(w.row * 4 + w.col)] = w.text;
        for (int row = -1; row <= 51; ++row)
            for (int col = -1; col <= 4; ++col) {
                const bool inside = row >= 0 && row < 50 && col >= 0 && col < 4;
                ASSERT_EQ(grid.Text(row, col), inside ? cells[static_cast<std::size_t>(row * 4 + col)] : "")
                    << row << "," << col << " after " << w.text;
            }
    }
    // Colours cover every cell from the start, texts written or not.
    grid.SetColour(40, 2, common::qb::kLightRed);
    grid.SetTextColour(45, 1, common::qb::kNavy);
    EXPECT_EQ(grid.Colour(40, 2), common::qb::kLightRed);
    EXPECT_EQ(grid.TextColour(45, 1), common::qb::kNavy);
    EXPECT_EQ(grid.Text(45, 1), "");

    const common::GridCells copy = grid;
    EXPECT_EQ(copy.Text(49, 0), "last");
    EXPECT_EQ(copy.Text(48, 3), "");
    EXPECT_EQ(common::GridCells().Text(0, 0), "");
}

}  // namespace
