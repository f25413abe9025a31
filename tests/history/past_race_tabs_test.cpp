#include "history/past_race_tabs.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "history/stored_days.h"
#include "support/temp_folder.h"

namespace {

using historytest::Hs;
using historytest::Line;
using historytest::Q1;
using historytest::RaceHead;
namespace qb = common::qb;

constexpr const char* kKey = "20250308060205";
const std::string kSelected = std::string("2025年03月08日2回中山5日目                  ") + kKey;
const std::string kTitle20 = "2025年03月08日2回中山5日目  ";  // 18 characters and two blanks

std::string Day(int races) {
    std::string text = Line({"DY", "1", "20250308"}) + Line({"PL", "1", "2", "中山", "5", "11"});
    for (int n = 1; n <= races; ++n) {
        const std::string r = (n < 10 ? "0" : "") + std::to_string(n);
        text += RaceHead(r, "レース" + r, "1600") + Hs("1", "3", " 5", " 1", " 2", "12", "1.34.56") +
                Hs("2", "1", " 1", " 2", " 1", " 1", "1.35.00") + Q1() +
                Line({"AT", "1", "1", "本線1点目的中", " 1- 5", "1230"});
    }
    return text;
}

TEST(FillPastRaceTabs, Titles) {
    testsupport::TempAppFolder dir;
    std::string text = Day(2);
    // race 3 without a race name: the kind and age condition stand in its place
    text += historytest::Line({"RC", "3", "1050", "03", "", "３歳未勝利", "３歳未勝利", "G3", "ダ", "1600", "35", "曇稍"}) +
            Line({"RR", "n"}) + Line({"RC", "4", "1120", "", "", "x", "y", "", "芝", "1200", "40", ""}) + Line({"RR", "n"});
    dir.Write(std::string("TEKICHU/") + kKey + "lupRCM.txt", text);
    const auto tabs = history::FillPastRaceTabs(kKey, kSelected);
    EXPECT_EQ(tabs.tabs[0].Text2, kTitle20 + "01R レース01３歳未勝利芝1600m  SD=35 晴良");
    EXPECT_EQ(tabs.tabs[2].Text2, kTitle20 + "03R ３歳未勝利３歳未勝利G3ダ1600m  SD=35 曇稍");
    EXPECT_EQ(tabs.tabs[3].Text2, kTitle20);  // an empty race number ends the title
    for (int t = 4; t < 12; ++t) EXPECT_EQ(tabs.tabs[static_cast<std::size_t>(t)].Text2, kTitle20);
    EXPECT_EQ(history::RaceTabCaption(0), "1　R");
    EXPECT_EQ(history::RaceTabCaption(11), "12　R");
}

TEST(FillPastRaceTabs, RaceCardValuesAndRankColours) {
    testsupport::TempAppFolder dir;
    std::string text = RaceHead("01", "名", "1600") +
                       Hs("1", "3", " 5", " 1", " 2", "12", "1.34.56") +   // 01 yellow, 02 cyan, 12 white
                       Hs("2", "4", " 7", " 3", " 4", " 5", "1.35.00") +   // 03 green, 04 blue, 05 magenta
                       Hs("3", "5", "", " 2", "", "**", "") +              // no horse number, popularity, finish
                       Hs("", "6", "10", " 9", " 9", " 9", "") +           // no row: not shown
                       Hs("19", "8", "18", " 9", " 9", " 9", "") +         // outside the card
                       Q1();
    dir.Write(std::string("TEKICHU/") + kKey + "lupRCM.txt", text);
    const auto tabs = history::FillPastRaceTabs(kKey, kSelected);
    const auto& card = tabs.tabs[0].RACEFG;
    struct Case {
        int row, col;
        const char* text;
        std::int8_t colour;
    };
    const std::vector<Case> cases = {
        {1, 0, "3  05", qb::kWhite}, {1, 1, "01", qb::kLightYellow}, {1, 2, "02", qb::kLightCyan},
        {1, 3, "12", qb::kWhite},    {1, 4, "牡", qb::kWhite},        {1, 6, "テストホース", qb::kWhite},
        {1, 10, "1.34.56", qb::kWhite}, {1, 13, "35.0", qb::kWhite},
        {2, 0, "4  07", qb::kWhite}, {2, 1, "03", qb::kLightGreen},  {2, 2, "04", qb::kLightBlue},
        {2, 3, "05", qb::kLightMagenta},
        {3, 0, "5", qb::kWhite},     {3, 1, "02", qb::kLightCyan},   {3, 2, "", qb::kWhite},
        {3, 3, "", qb::kWhite},      {3, 10, "", qb::kWhite},
        {4, 0, "", qb::kWhite},      {18, 0, "", qb::kWhite},
        {0, 0, "枠・馬番", qb::kNone}, {0, 13, "実上3F", qb::kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.col));
        EXPECT_EQ(card.Text(c.row, c.col), c.text);
        EXPECT_EQ(card.Colour(c.row, c.col), c.colour);
    }
    EXPECT_EQ(card.ColWidth(5), 500);
    EXPECT_EQ(card.ColWidth(6), 1700);
    EXPECT_EQ(card.ColWidth(7), 500);
    EXPECT_EQ(card.ColWidth(8), 1000);
    EXPECT_EQ(card.ColWidth(13), 1000);
}

TEST(FillPastRaceTabs, HitsByBetCode) {
    testsupport::TempAppFolder dir;
    std::string text = Line({"AT", "1", "1", "before any race", "x", "1"}) + RaceHead("01", "名", "1600") +
                       Hs("1", "3", " 5", " 1", " 2", "12", "1.34.56") + Q1() +
                       Line({"AT", "1", "2", "準本線2点目的中", " 3- 5", "450"}) +
                       Line({"AT", "2", "6", "本線4点目的中", " 3- 5- 7", "2890"}) +
                       Line({"AT", "3", "8", "bet code 8", "x", "1"}) + Line({"AT", "", "1", "no number", "x", "1"});
    for (int n = 2; n <= 13; ++n) {
        const std::string r = (n < 10 ? "0" : "") + std::to_string(n);
        text += RaceHead(r, "名", "1600") + Q1() + Line({"AT", "1", "7", "伏兵", r, "99"});
    }
    dir.Write(std::string("TEKICHU/") + kKey + "lupRCM.txt", text);
    const auto tabs = history::FillPastRaceTabs(kKey, kSelected);
    const auto& hits = tabs.tabs[0].TKFG;
    EXPECT_EQ(hits.Text(2, 0), "ワイド1");
    EXPECT_EQ(hits.Text(2, 1), "準本線2点目的中");
    EXPECT_EQ(hits.Text(2, 2), " 3- 5");
    EXPECT_EQ(hits.Text(2, 3), "450");
    EXPECT_EQ(hits.Text(6, 0), "３連複");
    EXPECT_EQ(hits.Text(6, 3), "2890");
    for (int r : {1, 3, 4, 5, 7})
        for (int c = 1; c <= 3; ++c) EXPECT_EQ(hits.Text(r, c), "") << r;
    EXPECT_EQ(tabs.tabs[11].TKFG.Text(7, 2), "12");  // the thirteenth race is not shown
    EXPECT_EQ(hits.Text(0, 3), "配当（円）");
    EXPECT_EQ(hits.ColWidth(1), 1700);
    EXPECT_EQ(hits.ColWidth(3), -1);
}

TEST(FillPastRaceTabs, TwelveRacesThenTenLeavesTabsElevenAndTwelveAsPrepared) {
    testsupport::TempAppFolder dir;
    const std::string file = std::string("TEKICHU/") + kKey + "lupRCM.txt";
    dir.Write(file, Day(12));
    auto tabs = history::FillPastRaceTabs(kKey, kSelected);
    EXPECT_EQ(tabs.tabs[11].RACEFG.Text(1, 0), "3  05");
    EXPECT_EQ(tabs.tabs[11].TKFG.Text(1, 3), "1230");
    dir.Write(file, Day(10));
    tabs = history::FillPastRaceTabs(kKey, kSelected);
    history::PastRaceTab prepared = history::PreparedRaceTab();
    prepared.Text2 = kTitle20;
    for (std::size_t t : {10u, 11u}) {
        const auto& tab = tabs.tabs[t];
        EXPECT_EQ(tab.Text2, prepared.Text2);
        for (int r = 0; r < history::kRaceCardRows; ++r)
            for (int c = 0; c < history::kRaceCardCols; ++c) {
                EXPECT_EQ(tab.RACEFG.Text(r, c), prepared.RACEFG.Text(r, c));
                EXPECT_EQ(tab.RACEFG.Colour(r, c), prepared.RACEFG.Colour(r, c));
            }
        for (int r = 0; r < history::kHitGridRows; ++r)
            for (int c = 0; c < history::kHitGridCols; ++c) EXPECT_EQ(tab.TKFG.Text(r, c), prepared.TKFG.Text(r, c));
    }
    EXPECT_EQ(prepared.RACEFG.Colour(18, 13), qb::kWhite);
    EXPECT_EQ(prepared.TKFG.Text(7, 0), "３連単");
    EXPECT_EQ(tabs.tabs[9].TKFG.Text(1, 3), "1230");
}

TEST(FillPastRaceTabs, MissingReport) {
    testsupport::TempAppFolder dir;
    const auto tabs = history::FillPastRaceTabs(kKey, kSelected);
    EXPECT_EQ(tabs.unreadable, 0);
    for (const auto& tab : tabs.tabs) {
        EXPECT_EQ(tab.Text2, kTitle20);
        EXPECT_EQ(tab.RACEFG.Text(1, 0), "");
        EXPECT_EQ(tab.RACEFG.Colour(1, 0), qb::kWhite);
    }
}

}  // namespace
