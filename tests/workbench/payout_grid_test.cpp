#include "workbench/payout_grid.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "detail_fixtures.h"

// The payout grid: captions, and each bet type's entries in their own three columns.
namespace {

using namespace detailtest;
using workbench::FillPayoutGrid;
using workbench::PayoutGridFrame;

constexpr std::string_view kRace = "2025060805031011";

records::StoredHR Stored(const Hr& hr) {
    records::StoredHR s;
    s.Assign(hr.bytes);
    return s;
}

common::GridCells Filled(const Hr& hr) {
    common::GridCells grid = PayoutGridFrame();
    FillPayoutGrid(Stored(hr).View(), grid);
    return grid;
}

TEST(PayoutGrid, FrameHoldsTheCaptionsAndEmptyCells) {
    const common::GridCells g = PayoutGridFrame();
    ASSERT_EQ(g.Rows(), 10);
    ASSERT_EQ(g.Cols(), 22);
    const std::vector<std::string> types = {"単勝", "複勝", "枠連", "馬連", "ワイド", "馬単", "３連複", "３連単"};
    for (int r = 1; r <= 8; ++r) EXPECT_EQ(g.Text(r, 0), types[static_cast<std::size_t>(r - 1)]);
    EXPECT_EQ(g.Text(0, 0), "券種");
    for (int block = 0; block < 5; ++block) {
        EXPECT_EQ(g.Text(0, 3 * block + 1), "当り目");
        EXPECT_EQ(g.Text(0, 3 * block + 2), "配当(円)");
        EXPECT_EQ(g.Text(0, 3 * block + 3), "人気");
    }
    for (int c = 16; c <= 21; ++c) EXPECT_EQ(g.Text(0, c), "") << c;
    EXPECT_EQ(g.ColWidth(1), 1200);
    for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 21; ++c) EXPECT_EQ(g.Text(r, c), "") << r << "," << c;
}

struct Shown {
    const char* what;
    Hr hr;
    int row, col;  // first of the three cells
    std::vector<std::string> cells;
};

TEST(PayoutGrid, EntriesShowTheirCombinationPayoutAndPopularity) {
    const std::vector<Shown> cases = {
        {"quinella as in the example", Hr(kRace).Entry(kUmaren, 0, "0311", "000001230", "004"), 4, 1, {"03-11", "1230", "4"}},
        {"win by its horse number", Hr(kRace).Entry(kTansyo, 1, "07", "000000450", "02"), 1, 4, {"07", "450", "2"}},
        {"win with a payout of zeros is shown", Hr(kRace).Entry(kTansyo, 0, "05", "000000000", "01"), 1, 1, {"05", "0", "1"}},
        {"win with a horse number 00 stays empty", Hr(kRace).Entry(kTansyo, 0, "00", "000000450", "02"), 1, 1, {"", "", ""}},
        {"win with a blank horse number stays empty", Hr(kRace).Entry(kTansyo, 0, "  ", "000000450", "02"), 1, 1, {"", "", ""}},
        {"fifth place entry", Hr(kRace).Entry(kFukusyo, 4, "12", "000000180", "05"), 2, 13, {"12", "180", "5"}},
        {"bracket quinella", Hr(kRace).Entry(kWakuren, 2, "36", "000002210", "09"), 3, 7, {"3-6", "2210", "9"}},
        {"bracket with payout 0 stays empty", Hr(kRace).Entry(kWakuren, 0, "36", "000000000", "09"), 3, 1, {"", "", ""}},
        {"quinella with a blank payout stays empty", Hr(kRace).Entry(kUmaren, 0, "0311", "         ", "004"), 4, 1, {"", "", ""}},
        {"seventh wide entry", Hr(kRace).Entry(kWide, 6, "0916", "000000710", "021"), 5, 19, {"09-16", "710", "21"}},
        {"exacta in finishing order", Hr(kRace).Entry(kUmatan, 5, "1103", "000012000", "045"), 6, 16, {"11→03", "12000", "45"}},
        {"trio", Hr(kRace).Entry(kSanrenpuku, 0, "010512", "000034560", "101"), 7, 1, {"01-05-12", "34560", "101"}},
        {"trifecta", Hr(kRace).Entry(kSanrentan, 0, "120501", "001234560", "0999"), 8, 1, {"12→05→01", "1234560", "999"}},
        {"blank popularity shows 0", Hr(kRace).Entry(kUmaren, 1, "0102", "000000300", "   "), 4, 4, {"01-02", "300", "0"}},
    };
    for (const Shown& c : cases) {
        const common::GridCells g = Filled(c.hr);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(g.Text(c.row, c.col + i), c.cells[static_cast<std::size_t>(i)]) << c.what;
    }
}

TEST(PayoutGrid, AnEmptyEntryDoesNotStopTheBlock) {
    const Hr hr = Hr(kRace).Entry(kUmatan, 0, "0102", "000000000", "001").Entry(kUmatan, 1, "0201", "000000990", "003");
    const common::GridCells g = Filled(hr);
    EXPECT_EQ(g.Text(6, 1), "");
    EXPECT_EQ(g.Text(6, 4), "02→01");
    EXPECT_EQ(g.Text(6, 5), "990");
}

TEST(PayoutGrid, ASmallerRecordLeavesNothingOfTheOneBefore) {
    Hr full(kRace);
    for (int k = 0; k < 7; ++k) full.Entry(kWide, k, "0" + std::to_string(k + 1) + "09", "000000100", "001");
    for (int k = 0; k < 6; ++k) full.Entry(kSanrentan, k, "0102" + std::string("0") + std::to_string(k + 3), "000010000", "0001");
    full.Entry(kFukusyo, 4, "08", "000000120", "03");
    const Hr small = Hr(kRace).Entry(kWide, 0, "0405", "000000200", "002");

    common::GridCells g = PayoutGridFrame();
    FillPayoutGrid(Stored(full).View(), g);
    EXPECT_EQ(g.Text(5, 19), "07-09");
    FillPayoutGrid(Stored(small).View(), g);
    EXPECT_EQ(g.Text(5, 1), "04-05");
    for (int r = 1; r <= 8; ++r)
        for (int c = 1; c <= 21; ++c)
            if (!(r == 5 && c <= 3)) {
                EXPECT_EQ(g.Text(r, c), "") << r << "," << c;
            }
}

TEST(PayoutGrid, CellsOutsideTheBlocksAreNotTouched) {
    common::GridCells g = PayoutGridFrame();
    g.SetText(1, 10, "keep");   // past the three win entries
    g.SetText(3, 21, "keep");   // past the bracket entries
    g.SetText(9, 5, "keep");    // row 9
    g.SetText(0, 18, "keep");   // a caption cell
    Hr hr(kRace);
    for (int k = 0; k < 3; ++k) hr.Entry(kTansyo, k, "0" + std::to_string(k + 1), "000000100", "01");
    FillPayoutGrid(Stored(hr).View(), g);
    EXPECT_EQ(g.Text(1, 9), "1");
    EXPECT_EQ(g.Text(1, 10), "keep");
    EXPECT_EQ(g.Text(3, 21), "keep");
    EXPECT_EQ(g.Text(9, 5), "keep");
    EXPECT_EQ(g.Text(0, 18), "keep");
    EXPECT_EQ(g.Text(0, 1), "当り目");
}

TEST(PayoutGrid, TheReserveBlockIsNotShown) {
    const Hr hr = Hr(kRace).Entry(kReserved, 0, "0102", "000000500", "001");
    const common::GridCells g = Filled(hr);
    for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 21; ++c) EXPECT_EQ(g.Text(r, c), "") << r << "," << c;
}

}  // namespace
