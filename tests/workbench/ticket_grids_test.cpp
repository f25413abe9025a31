#include "workbench/ticket_grids.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "detail_fixtures.h"

// The four ticket grids from hand-made sorted ticket files and odds tables of one race.
namespace {

using namespace detailtest;
using common::qb::kLightGreen;
using common::qb::kLightMagenta;
using common::qb::kLightYellow;
using common::qb::kWhite;
using workbench::FillTicketGrids;

constexpr std::string_view kKey = "202506080511";
constexpr std::string_view kRaceId = "2025060805031011";  // the race of kKey
constexpr std::string_view kOtherRaceId = "2025060805031012";

std::size_t PairLine(int a, int b) { return static_cast<std::size_t>(19 * a + b); }
std::size_t TripleLine(int a, int b, int c) { return static_cast<std::size_t>(361 * a + 19 * b + c); }

records::StoredHR Stored(const Hr& hr) {
    records::StoredHR s;
    s.Assign(hr.bytes);
    return s;
}

class TicketGrids : public ::testing::Test {
protected:
    void Keys(std::string_view suffix, std::string_view tag, const std::vector<std::string>& keys) const {
        folder.Write("KAIME/" + std::string(kKey) + std::string(suffix), SortFile(kKey, tag, keys));
    }
    void AllKeys(int n) const {
        Keys("UMARENSORT.dat", "Umaren", AllPairs(n));
        Keys("UMATANSORT.dat", "Umatan", AllPairs(n));
        Keys("SANRENSORT.dat", "Sanrenpuke", AllTrios(n));
        Keys("SANRENTANSORT.dat", "sanrentan", AllTrios(n));
    }
    void Odds(std::string_view suffix, std::size_t lines, const std::map<std::size_t, std::string>& set) const {
        folder.Write("KAIME/" + std::string(kKey) + std::string(suffix), OddsFile(lines, set));
    }
    workbench::TicketGrids Fill(int n, const Hr& hr) const { return FillTicketGrids(kKey, n, Stored(hr).View()); }
    workbench::TicketGrids Fill(int n) const { return Fill(n, Hr(kOtherRaceId)); }

    testsupport::TempAppFolder folder;
};

// Rows that hold a ticket: a text in column 1.
int TicketRows(const common::GridCells& g) {
    int rows = 0;
    for (int r = 1; r < g.Rows(); ++r)
        if (!g.Text(r, 1).empty()) rows = r;
    return rows;
}

TEST_F(TicketGrids, CaptionsWidthsTierCaptionsAndNotes) {
    AllKeys(5);
    const auto g = Fill(5);
    const std::vector<std::pair<const common::GridCells*, std::vector<std::string>>> heads = {
        {&g.UMARENGrid1, {"馬連", "買い目", "実オッズ"}},
        {&g.UMATANGrid2, {"馬単", "買い目", "正順オッズ", "逆順オッズ"}},
        {&g.SANRENGrid3, {"３連複", "買い目", "実オッズ"}},
        {&g.SANTANGrid4, {"３連単", "買い目", "第1順Odds", "第2順Odds", "第3順Odds", "第4順Odds", "第5順Odds", "第6順Odds"}},
    };
    for (const auto& [grid, captions] : heads)
        for (std::size_t c = 0; c < captions.size(); ++c) EXPECT_EQ(grid->Text(0, static_cast<int>(c)), captions[c]);
    EXPECT_EQ(g.UMARENGrid1.Rows(), 154);
    EXPECT_EQ(g.UMATANGrid2.Rows(), 517);
    EXPECT_EQ(g.SANRENGrid3.Rows(), 817);
    EXPECT_EQ(g.SANTANGrid4.Cols(), 8);
    EXPECT_EQ(g.UMARENGrid1.ColWidth(0), 1200);
    EXPECT_EQ(g.UMATANGrid2.ColWidth(1), 1500);
    EXPECT_EQ(g.SANTANGrid4.ColWidth(1), 1500);
    EXPECT_EQ(g.SANRENGrid3.ColWidth(1), -1);

    const std::vector<std::pair<int, std::string>> pairColumn0 = {
        {1, "本線　1 点目"}, {6, "本線　6 点目"}, {7, "準本線 1 点目"}, {12, "準本線 6 点目"}, {13, "伏兵　1 点目"},
        {18, "伏兵　6 点目"}, {19, "買い目として"}, {20, "強く推奨でき"}, {21, "るには本線の"}, {22, "みです。"}, {23, ""}};
    for (const auto& [row, text] : pairColumn0) {
        EXPECT_EQ(g.UMARENGrid1.Text(row, 0), text) << row;
        EXPECT_EQ(g.UMATANGrid2.Text(row, 0), text) << row;
    }
    const std::vector<std::pair<int, std::string>> trioColumn0 = {
        {1, "本線　1 点目"}, {7, "本線　7 点目"}, {8, "準本線 1 点目"}, {15, "伏兵　1 点目"}, {21, "伏兵　7 点目"},
        {22, "買い目として"}, {23, "強く推奨でき"}, {24, "るのは本線の"}, {25, "みです。"}, {26, ""}};
    for (const auto& [row, text] : trioColumn0) {
        EXPECT_EQ(g.SANRENGrid3.Text(row, 0), text) << row;
        EXPECT_EQ(g.SANTANGrid4.Text(row, 0), text) << row;
    }
}

// 5 runners: 10 pairs and 10 trios; the tier captions stand over empty, white ticket cells.
TEST_F(TicketGrids, FiveRunnersLeaveCaptionsOverEmptyRows) {
    AllKeys(5);
    const auto g = Fill(5);
    EXPECT_EQ(TicketRows(g.UMARENGrid1), 10);
    EXPECT_EQ(TicketRows(g.UMATANGrid2), 10);
    EXPECT_EQ(TicketRows(g.SANRENGrid3), 10);
    EXPECT_EQ(TicketRows(g.SANTANGrid4), 10);
    EXPECT_EQ(g.UMARENGrid1.Text(1, 1), "01-02");
    EXPECT_EQ(g.UMARENGrid1.Text(10, 1), "04-05");
    for (int r = 11; r <= 18; ++r) {
        EXPECT_FALSE(g.UMARENGrid1.Text(r, 0).empty());
        EXPECT_EQ(g.UMARENGrid1.Text(r, 1), "");
        EXPECT_EQ(g.UMARENGrid1.Text(r, 2), "");
        EXPECT_EQ(g.UMARENGrid1.Colour(r, 1), kWhite);
    }
    EXPECT_EQ(g.SANTANGrid4.Text(10, 1), "03→04→05");
}

// Every ticket line is shown once per key, up to all pairs and trios of the runner count; a
// count that is not 1 to 18 shows every line the batch wrote.
TEST_F(TicketGrids, RowsFollowTheKeyLinesUpToTheRunnerCount) {
    AllKeys(18);
    struct Case {
        int count;
        int pairs, trios;
    };
    for (const Case c : {Case{18, 153, 816}, Case{8, 28, 56}, Case{0, 153, 816}, Case{-3, 153, 816}, Case{19, 153, 816},
                         Case{2, 1, 0}, Case{1, 0, 0}}) {
        const auto g = Fill(c.count);
        EXPECT_EQ(TicketRows(g.UMARENGrid1), c.pairs) << c.count;
        EXPECT_EQ(TicketRows(g.UMATANGrid2), c.pairs) << c.count;
        EXPECT_EQ(TicketRows(g.SANRENGrid3), c.trios) << c.count;
        EXPECT_EQ(TicketRows(g.SANTANGrid4), c.trios) << c.count;
    }
    const auto g = Fill(18);
    EXPECT_EQ(g.UMARENGrid1.Text(153, 1), "17-18");
    EXPECT_EQ(g.SANRENGrid3.Text(816, 1), "16-17-18");
    EXPECT_EQ(g.UMATANGrid2.Text(154, 1), "");  // past the pairs the grid holds nothing
    EXPECT_EQ(g.UMATANGrid2.Colour(154, 1), common::qb::kNone);
}

TEST_F(TicketGrids, OddsComeFromTheTablesInEveryOrder) {
    Keys("UMARENSORT.dat", "Umaren", {"0307"});
    Keys("UMATANSORT.dat", "Umatan", {"0703"});
    Keys("SANRENSORT.dat", "Sanrenpuke", {"020918"});
    Keys("SANRENTANSORT.dat", "sanrentan", {"180209"});
    Odds("UMARENODDS.dat", 361, {{PairLine(3, 7), "12.3"}, {PairLine(7, 3), "99"}});
    Odds("UMATANODDS.dat", 361, {{PairLine(7, 3), "25.5"}, {PairLine(3, 7), "41.1"}});
    Odds("SANRENODDS.dat", 6859, {{TripleLine(2, 9, 18), "100"}});
    Odds("SANRENTANODDS.dat", 6859,
         {{TripleLine(18, 2, 9), "1001.5"}, {TripleLine(18, 9, 2), "2002"}, {TripleLine(2, 18, 9), "3003"},
          {TripleLine(2, 9, 18), "4004"}, {TripleLine(9, 18, 2), "5005"}, {TripleLine(9, 2, 18), "6006"}});
    const auto g = Fill(18);
    EXPECT_EQ(g.UMARENGrid1.Text(1, 1), "03-07");
    EXPECT_EQ(g.UMARENGrid1.Text(1, 2), "12.3");
    EXPECT_EQ(g.UMATANGrid2.Text(1, 1), "07→03");
    EXPECT_EQ(g.UMATANGrid2.Text(1, 2), "25.5");
    EXPECT_EQ(g.UMATANGrid2.Text(1, 3), "41.1");
    EXPECT_EQ(g.SANRENGrid3.Text(1, 1), "02-09-18");
    EXPECT_EQ(g.SANRENGrid3.Text(1, 2), "100");
    EXPECT_EQ(g.SANTANGrid4.Text(1, 1), "18→02→09");
    const std::vector<std::string> orders = {"1001.5", "2002", "3003", "4004", "5005", "6006"};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(g.SANTANGrid4.Text(1, k + 2), orders[static_cast<std::size_t>(k)]) << k + 1;
}

// A missing odds file, a short one, a key of a horse outside 1 to 18: odds 0, never an empty cell.
TEST_F(TicketGrids, MissingOddsShowZero) {
    Keys("UMARENSORT.dat", "Umaren", {"0102", "1718", "0119"});
    Keys("SANRENTANSORT.dat", "sanrentan", {"010203"});
    Odds("UMARENODDS.dat", 40, {{PairLine(1, 2), "5.5"}, {PairLine(1, 19), "7"}});  // short: ends before 17-18
    const auto g = Fill(18, Hr(kRaceId).Entry(kUmaren, 0, "0119", "000000500", "001"));
    EXPECT_EQ(g.UMARENGrid1.Text(1, 2), "5.5");
    EXPECT_EQ(g.UMARENGrid1.Text(2, 2), "0");
    EXPECT_EQ(g.UMARENGrid1.Text(3, 1), "01-19");
    EXPECT_EQ(g.UMARENGrid1.Text(3, 2), "0");
    EXPECT_EQ(g.UMARENGrid1.Colour(3, 1), kWhite) << "no horse 19: never a hit";
    for (int c = 2; c <= 7; ++c) EXPECT_EQ(g.SANTANGrid4.Text(1, c), "0") << c;
}

// Wide only: light yellow; wide and quinella: light green.
TEST_F(TicketGrids, QuinellaAndWideHits) {
    Keys("UMARENSORT.dat", "Umaren", {"0105", "0305", "0709"});
    const Hr hr = Hr(kRaceId)
                      .Entry(kUmaren, 0, "0305", "000001000", "001")
                      .Entry(kWide, 0, "0305", "000000300", "001")
                      .Entry(kWide, 2, "0105", "000000400", "002");
    const auto g = Fill(18, hr);
    EXPECT_EQ(g.UMARENGrid1.Colour(1, 1), kLightYellow);
    EXPECT_EQ(g.UMARENGrid1.Colour(1, 2), kLightYellow);
    EXPECT_EQ(g.UMARENGrid1.Colour(2, 1), kLightGreen);
    EXPECT_EQ(g.UMARENGrid1.Colour(2, 2), kLightGreen);
    EXPECT_EQ(g.UMARENGrid1.Colour(3, 1), kWhite);
    EXPECT_EQ(g.UMARENGrid1.Text(2, 1), "03-05");
}

// A dead heat lists both exacta orders; the later entry decides column 1.
TEST_F(TicketGrids, DeadHeatExactaEitherOrderFirst) {
    Keys("UMATANSORT.dat", "Umatan", {"0804"});
    struct Case {
        std::string first, second, text;
        std::int8_t colour;
    };
    for (const Case& c : {Case{"0408", "0804", "　　正順　　08→04", kLightGreen}, Case{"0804", "0408", "　　逆順　　08→04", kLightMagenta}}) {
        const Hr hr = Hr(kRaceId).Entry(kUmatan, 0, c.first, "000002000", "002").Entry(kUmatan, 1, c.second, "000002000", "002");
        const auto g = Fill(18, hr);
        EXPECT_EQ(g.UMATANGrid2.Text(1, 1), c.text);
        EXPECT_EQ(g.UMATANGrid2.Colour(1, 1), c.colour);
        EXPECT_EQ(g.UMATANGrid2.Colour(1, 2), kLightGreen);
        EXPECT_EQ(g.UMATANGrid2.Colour(1, 3), kLightMagenta);
    }
}

TEST_F(TicketGrids, TrioAndTrifectaOrderThreeHit) {
    Keys("SANRENSORT.dat", "Sanrenpuke", {"010203", "020304"});
    Keys("SANRENTANSORT.dat", "sanrentan", {"010203", "030201"});
    // Order 3 of A=01, B=02, C=03 is B, A, C.
    const Hr hr = Hr(kRaceId).Entry(kSanrenpuku, 0, "010203", "000005000", "003").Entry(kSanrentan, 0, "020103", "000030000", "0010");
    const auto g = Fill(18, hr);
    EXPECT_EQ(g.SANRENGrid3.Colour(1, 1), kLightGreen);
    EXPECT_EQ(g.SANRENGrid3.Colour(1, 2), kLightGreen);
    EXPECT_EQ(g.SANRENGrid3.Colour(2, 1), kWhite);
    EXPECT_EQ(g.SANTANGrid4.Text(1, 1), " 第3順01→02→03");
    EXPECT_EQ(g.SANTANGrid4.Colour(1, 1), kLightMagenta);
    for (int c = 2; c <= 7; ++c) EXPECT_EQ(g.SANTANGrid4.Colour(1, c), c == 4 ? kLightMagenta : kWhite) << c;
    // The same payout is order 4 (B, C, A) of 03, 02, 01.
    EXPECT_EQ(g.SANTANGrid4.Text(2, 1), " 第4順03→02→01");
    EXPECT_EQ(g.SANTANGrid4.Colour(2, 5), kLightMagenta);
}

TEST_F(TicketGrids, TrifectaFirstOrderIsGreenAndTheHighestOrderNamesTheRow) {
    Keys("SANRENTANSORT.dat", "sanrentan", {"050607"});
    const Hr hr = Hr(kRaceId).Entry(kSanrentan, 0, "050607", "000030000", "0010").Entry(kSanrentan, 1, "070605", "000030000", "0010");
    const auto g = Fill(18, hr);
    EXPECT_EQ(g.SANTANGrid4.Text(1, 1), " 第6順05→06→07");
    EXPECT_EQ(g.SANTANGrid4.Colour(1, 2), kLightGreen);
    EXPECT_EQ(g.SANTANGrid4.Colour(1, 7), kLightMagenta);
    EXPECT_EQ(g.SANTANGrid4.Colour(1, 1), kLightMagenta);
}

// A payout record of another race colours nothing and marks no order, even where keys match.
TEST_F(TicketGrids, APayoutOfAnotherRaceColoursNothing) {
    Keys("UMARENSORT.dat", "Umaren", {"0102"});
    Keys("UMATANSORT.dat", "Umatan", {"0102"});
    Keys("SANRENSORT.dat", "Sanrenpuke", {"010203"});
    Keys("SANRENTANSORT.dat", "sanrentan", {"010203"});
    const Hr hr = Hr(kOtherRaceId)
                      .Entry(kUmaren, 0, "0102", "000001000", "001")
                      .Entry(kWide, 0, "0102", "000001000", "001")
                      .Entry(kUmatan, 0, "0201", "000001000", "001")
                      .Entry(kSanrenpuku, 0, "010203", "000001000", "001")
                      .Entry(kSanrentan, 0, "010203", "000001000", "0001");
    const auto g = Fill(18, hr);
    EXPECT_EQ(g.UMATANGrid2.Text(1, 1), "01→02");
    EXPECT_EQ(g.SANTANGrid4.Text(1, 1), "01→02→03");
    for (const common::GridCells* grid : {&g.UMARENGrid1, &g.UMATANGrid2, &g.SANRENGrid3, &g.SANTANGrid4})
        for (int c = 1; c < grid->Cols(); ++c) EXPECT_EQ(grid->Colour(1, c), kWhite) << c;
}

TEST_F(TicketGrids, AKeyThatIsNotTwelveDigitsReadsNoFile) {
    AllKeys(5);
    const auto g = FillTicketGrids("../../etc/xx", 5, Stored(Hr(kRaceId)).View());
    EXPECT_EQ(TicketRows(g.UMARENGrid1), 0);
    EXPECT_EQ(g.UMARENGrid1.Text(1, 0), "本線　1 点目");
}

}  // namespace
