#include "workbench/race_detail.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "batch_fixtures.h"
#include "detail_fixtures.h"

// A click on a race of the list: its selection, its title, the choice of its payout records, the
// race week list and its predicted ranks, from hand-made week files.
namespace {

using namespace detailtest;
using workbench::RaceDetailState;
using workbench::ShowRaceDetail;

constexpr std::string_view kRaceA = "2025060805031011";  // key 202506080511
constexpr std::string_view kRaceB = "2025060809020201";  // key 202506080901
constexpr std::string_view kKeyA = "202506080511";
constexpr std::string_view kKeyB = "202506080901";

std::string Line(std::string_view key) { return "2025年06月08日05東京03回10日11R         " + std::string(key); }

std::string Ra(std::string_view raceId, char kind, std::string toroku = "16") {
    batchtest::Race r = batchtest::RaceOf(std::string(raceId), kind);
    r.toroku = std::move(toroku);
    return batchtest::RaRecord(r);
}

class RaceDetail : public ::testing::Test {
protected:
    workbench::RaceDetailView Click(int index, std::string_view key) {
        auto view = ShowRaceDetail(index, Line(key), titles, state);
        EXPECT_TRUE(view.has_value());
        return view ? std::move(*view) : workbench::RaceDetailView{};
    }
    // Sorted ticket files of all pairs and trios of n horses, so that a fill shows how it was sized.
    void TicketFiles(std::string_view key, int n) const {
        const std::string k(key);
        folder.Write("KAIME/" + k + "UMARENSORT.dat", SortFile(key, "Umaren", AllPairs(n)));
        folder.Write("KAIME/" + k + "UMATANSORT.dat", SortFile(key, "Umatan", AllPairs(n)));
        folder.Write("KAIME/" + k + "SANRENSORT.dat", SortFile(key, "Sanrenpuke", AllTrios(n)));
        folder.Write("KAIME/" + k + "SANRENTANSORT.dat", SortFile(key, "sanrentan", AllTrios(n)));
    }

    testsupport::TempAppFolder folder;
    workbench::RaceInfoTable titles{2};
    RaceDetailState state;
};

int PairRows(const workbench::TicketGrids& g) {
    int rows = 0;
    for (int r = 1; r <= 153; ++r)
        if (!g.UMARENGrid1.Text(r, 1).empty()) rows = r;
    return rows;
}

TEST_F(RaceDetail, NoSelectedLineDoesNothing) {
    folder.Write("RATHISWEEKNNEW.dat", Ra(kRaceA, '2'));
    EXPECT_FALSE(ShowRaceDetail(-1, "", titles, state).has_value());
    EXPECT_FALSE(folder.Exists("RACETHISWEEKN.dat"));
}

TEST_F(RaceDetail, TitleIsTheLineAndTheRowOfTheRace) {
    titles.Set(2, workbench::info::kRaceName, std::string(batchtest::kDerby));
    titles.Set(2, workbench::info::kSyubetu, "3Y");
    titles.Set(2, workbench::info::kJyoken, "OP");
    titles.Set(2, workbench::info::kGrade, "G1");
    titles.Set(2, workbench::info::kTrack, "T");
    titles.Set(2, workbench::info::kKyori, "2400");
    titles.Set(2, workbench::info::kSpread, " 7");
    titles.Set(2, workbench::info::kWeatherGoing, "AB");
    titles.Set(1, workbench::info::kRaceName, "other");
    const auto view = Click(1, kKeyA);
    EXPECT_EQ(view.Title.Text, Line(kKeyA) + "日本ダービー3YOPG1T2400m SD= 7 AB");
    EXPECT_EQ(view.Title.BackColour, common::qb::kLightGreen);
    // A row with empty columns, and a row past the table, keep the fixed parts.
    EXPECT_EQ(Click(2, kKeyA).Title.Text, Line(kKeyA) + "m SD= ");
}

TEST_F(RaceDetail, FrameOfThePayoutGridWithoutAPayout) {
    const auto view = Click(0, kKeyA);
    EXPECT_EQ(view.HAITOGrid1.Text(0, 0), "券種");
    EXPECT_EQ(view.HAITOGrid1.Text(8, 0), "３連単");
    EXPECT_EQ(view.HAITOGrid1.Text(1, 1), "");
    EXPECT_FALSE(view.Tickets.has_value()) << "no record matched: the ticket grids keep what they showed";
}

// Without race records of kind "2" the payouts come from the week's payout file; the breaking
// payouts are not read and the title stays green.
TEST_F(RaceDetail, WithoutKindTwoThePayoutsOfTheWeek) {
    folder.Write("RATHISWEEKNNEW.dat", Ra(kRaceA, '7') + Ra(kRaceB, '7'));
    folder.Write("HRTHISWEEKN.dat", Hr(kRaceA, "08").Entry(kTansyo, 0, "03", "000000350", "01").bytes + Hr(kRaceB).bytes);
    folder.Write("HRRIALTIME.dat", Hr(kRaceA, "05").Entry(kTansyo, 0, "09", "000009990", "09").bytes);
    TicketFiles(kKeyA, 18);
    const auto view = Click(0, kKeyA);
    EXPECT_EQ(view.Title.BackColour, common::qb::kLightGreen);
    EXPECT_EQ(view.HAITOGrid1.Text(1, 1), "03");
    EXPECT_EQ(view.HAITOGrid1.Text(1, 2), "350");
    EXPECT_EQ(state.TicketRunnerCount, 8);
    ASSERT_TRUE(view.Tickets.has_value());
    EXPECT_EQ(PairRows(*view.Tickets), 28);
    EXPECT_TRUE(folder.Exists("RACETHISWEEKN.dat"));
    EXPECT_EQ(folder.Read("RACETHISWEEKN.dat"), "");
    // The last payout record read stays, although it is another race's.
    EXPECT_EQ(std::string(state.CurHr.Bytes()), Hr(kRaceB).bytes);
}

// With race records of kind "2": the race week list holds exactly those; the race record sizes
// the ticket grids; the breaking payouts fill the payout grid and turn the title yellow.
TEST_F(RaceDetail, WithKindTwoTheBreakingPayouts) {
    folder.Write("RATHISWEEKNNEW.dat", Ra(kRaceA, '2', "10") + Ra(kRaceB, '3') + Ra("2025060905031101", '2'));
    folder.Write("HRTHISWEEKN.dat", Hr(kRaceA, "08").Entry(kTansyo, 0, "03", "000000350", "01").bytes);
    TicketFiles(kKeyA, 18);

    auto view = Click(0, kKeyA);
    EXPECT_EQ(folder.Read("RACETHISWEEKN.dat"), "\"202506080511\"\r\n\"202506090501\"\r\n");
    EXPECT_FALSE(folder.Exists("RACETHISWEEKN.dat.partial"));
    EXPECT_EQ(view.Title.BackColour, common::qb::kLightGreen) << "no breaking payout yet";
    EXPECT_EQ(view.HAITOGrid1.Text(1, 1), "") << "the week's payout file is not read";
    ASSERT_TRUE(view.Tickets.has_value());
    EXPECT_EQ(PairRows(*view.Tickets), 45);

    // Two breaking payout records of the race: the later one's payouts and runner count remain.
    folder.Write("HRRIALTIME.dat", Hr(kRaceA, "12").Entry(kTansyo, 0, "04", "000000410", "02").bytes +
                                       Hr(kRaceA, "06").Entry(kTansyo, 0, "05", "000000520", "03").bytes);
    view = Click(0, kKeyA);
    EXPECT_EQ(view.Title.BackColour, common::qb::kLightYellow);
    EXPECT_EQ(view.HAITOGrid1.Text(1, 1), "05");
    EXPECT_EQ(view.HAITOGrid1.Text(1, 2), "520");
    EXPECT_EQ(state.TicketRunnerCount, 6);
    ASSERT_TRUE(view.Tickets.has_value());
    EXPECT_EQ(PairRows(*view.Tickets), 15);
}

// The race record's ticket fill uses the payout record held from before: when that is the race's
// own (the last one read on the click before), its hits are coloured.
TEST_F(RaceDetail, TheRaceRecordFillUsesThePayoutRecordHeld) {
    folder.Write("RATHISWEEKNNEW.dat", Ra(kRaceA, '2', "04"));
    folder.Write("KAIME/202506080511UMARENSORT.dat", SortFile(kKeyA, "Umaren", {"0102", "0304"}));
    const Hr own = Hr(kRaceA, "04").Entry(kUmaren, 0, "0304", "000000900", "001");
    state.CurHr.Assign(own.bytes);
    const auto view = Click(0, kKeyA);
    ASSERT_TRUE(view.Tickets.has_value());
    EXPECT_EQ(view.Tickets->UMARENGrid1.Colour(2, 1), common::qb::kLightGreen);
    EXPECT_EQ(view.HAITOGrid1.Text(4, 1), "") << "the payout grid shows only what this click matched";
}

TEST_F(RaceDetail, ARunnerCountOfZerosShowsEveryTicketLine) {
    folder.Write("RATHISWEEKNNEW.dat", Ra(kRaceA, '2', "00"));
    TicketFiles(kKeyA, 18);
    const auto view = Click(0, kKeyA);
    EXPECT_EQ(state.TicketRunnerCount, 0);
    ASSERT_TRUE(view.Tickets.has_value());
    EXPECT_EQ(PairRows(*view.Tickets), 153);
}

// Sort file lines: 15 fields, strings in quotes.
std::string SortLine(int h, std::string_view rank) {
    const std::string two = (h < 10 ? " " : "") + std::to_string(h);
    return std::to_string(h) + ",\"1\",\"" + two + "\",\"" + std::string(rank) +
           "\",\"M\",\" 4\",\"NAME\",\"57.0\",\"A\",\"B\",\"C\",\"D\",\"JOCK\",\"1.34.5\",\"1017\"\r\n";
}

TEST_F(RaceDetail, PredictedRanksOfThisRaceOnly) {
    std::string large, small;
    for (int h = 1; h <= 16; ++h) large += SortLine(h, (17 - h < 10 ? " " : "") + std::to_string(17 - h));
    for (int h = 1; h <= 5; ++h) small += SortLine(h, " " + std::to_string(6 - h));
    folder.Write("KAIME/202506080511SORT.dat", large);
    folder.Write("KAIME/202506080901SORT.dat", small);

    Click(0, kKeyA);
    EXPECT_EQ(state.HorseIdx, 16);
    EXPECT_EQ(state.YosoRank[1], "16");
    EXPECT_EQ(state.SortTable[9][2], " 9");
    EXPECT_EQ(state.SortTable[9][14], "1017");
    EXPECT_EQ(state.SortTable[9][0], "9");

    Click(1, kKeyB);
    EXPECT_EQ(state.HorseIdx, 5);
    EXPECT_EQ(state.YosoRank[1], " 5");
    EXPECT_EQ(state.YosoRank[5], " 1");
    for (int h = 6; h <= 18; ++h) {
        EXPECT_EQ(state.YosoRank[static_cast<std::size_t>(h)], "") << h;
        EXPECT_EQ(state.SortTable[static_cast<std::size_t>(h)][3], "") << h;
    }
}

TEST_F(RaceDetail, ASortFileReadsAtMostEighteenLinesAndAMissingOneNone) {
    std::string twenty;
    for (int h = 1; h <= 20; ++h) twenty += SortLine(h, " 1");
    folder.Write("KAIME/202506080511SORT.dat", twenty);
    Click(0, kKeyA);
    EXPECT_EQ(state.HorseIdx, 18);
    Click(1, kKeyB);
    EXPECT_EQ(state.HorseIdx, 0);
    EXPECT_EQ(state.YosoRank[1], "");
}

// A line that does not end in twelve digits names no file: nothing is read or written for it.
TEST_F(RaceDetail, ALineWithoutARaceKeyTouchesNoFile) {
    folder.Write("RATHISWEEKNNEW.dat", Ra(kRaceA, '2'));
    const auto view = ShowRaceDetail(0, "2025年06月08日05東京03回10日11R      ../../x/y", titles, state);
    ASSERT_TRUE(view.has_value());
    EXPECT_FALSE(view->Tickets.has_value());
    EXPECT_FALSE(folder.Exists("RACETHISWEEKN.dat"));
    EXPECT_EQ(view->HAITOGrid1.Text(0, 0), "券種");
}

}  // namespace
