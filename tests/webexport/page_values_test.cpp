#include "webexport/page_values.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "web_fixture.h"

namespace {

using webfixture::Race;
using webfixture::Runner;

common::CodeTable Codes(std::string_view rows) { return common::CodeTable::FromCp932(common::ToCp932(rows)); }

const common::CodeTable kNakayama = Codes("2001,06,x,x,中山,x,Nakayama,x\r\n");

Runner Plain(std::string waku, std::string barei = "04") {
    return {std::move(waku), "テスト", "牡", std::move(barei), "55.0", "騎手", "調教師"};
}

TEST(PageValues, DateRaceAndMeetingNumbers) {
    struct Case {
        std::string_view id;
        std::string month, day, weekday, raceNo, nichiji, kaiji;
        int green;
    };
    const Case cases[] = {
        {"2024010606050801", "1", "6", "土", "1", "8", "5", 1},
        {"2024010706050812", "1", "7", "日", "12", "8", "5", 12},
        {"2024010806100101", "1", "8", "月", "1", "1", "10", 1},
        {"2024010906050801", "1", "9", "火", "1", "8", "5", 1},
        {"2024011006050801", "1", "10", "水", "1", "8", "5", 1},
        {"2024011106050801", "1", "11", "木", "1", "8", "5", 1},
        {"2024011206050801", "1", "12", "金", "1", "8", "5", 1},
        {"2023102006051209", "10", "20", "金", "9", "12", "5", 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.id));
        const auto race = Race(c.id, {}, {});
        const webexport::PageValues p = webexport::ComputePageValues(race, kNakayama);
        EXPECT_EQ(p.PageMonth, c.month);
        EXPECT_EQ(p.PageDay, c.day);
        EXPECT_EQ(p.PageWeekday, c.weekday);
        EXPECT_EQ(p.PageRaceNo, c.raceNo);
        EXPECT_EQ(p.PageNichiji, c.nichiji);
        EXPECT_EQ(p.PageKaiji, c.kaiji);
        for (int i = 1; i <= 12; ++i) EXPECT_EQ(p.RaceNavClass[i], i == c.green ? "bgnabygreen" : "bgnabyblue") << i;
        EXPECT_EQ(p.CourseName, "中山");
        EXPECT_EQ(p.CourseRomaji, "nakayama");
    }
}

TEST(PageValues, FailsForWhatCannotNameAPage) {
    // Not a date, not a race number, a romaji that would reach another folder.
    EXPECT_THROW(webexport::ComputePageValues(Race("2024023006050801", {}, {}), kNakayama), std::runtime_error);
    EXPECT_THROW(webexport::ComputePageValues(Race("2024131306050801", {}, {}), kNakayama), std::runtime_error);
    EXPECT_THROW(webexport::ComputePageValues(Race("20240106060508 1", {}, {}), kNakayama), std::runtime_error);
    EXPECT_THROW(webexport::ComputePageValues(Race("2024010606050801", {}, {}), Codes("2001,06,x,x,中山,x,../up,x\r\n")),
                 std::runtime_error);
    EXPECT_THROW(webexport::ComputePageValues(Race("2024010606050801", {}, {}), Codes("2001,06,x,x,中山,x,naka yama,x\r\n")),
                 std::runtime_error);
}

TEST(PageValues, FilePaths) {
    const auto named = webexport::ComputePageValues(Race("2024010606050801", {}, {}), kNakayama);
    EXPECT_EQ(webexport::RacePageFile(named), "tarnel_paddy_yosou/20240106_nakayama_r1.txt");
    EXPECT_EQ(webexport::DayBlockFile(named), "tarnel_paddy_wp/20240106-nakayama.txt");
    EXPECT_EQ(webexport::DayPrintFile(named), "tarnel_paddy_wp/20240106_nakayama_pdf.txt");
    // A course the code table lacks: empty name and romaji.
    const auto unnamed = webexport::ComputePageValues(Race("2024010609050812", {}, {}), kNakayama);
    EXPECT_EQ(unnamed.CourseName, "");
    EXPECT_EQ(webexport::RacePageFile(unnamed), "tarnel_paddy_yosou/20240106__r12.txt");
}

TEST(PageValues, Tickets) {
    struct Case {
        int runners;
        std::vector<std::string> pairs, trios;
        std::array<std::string, 2> pair1, pair2;
        std::array<std::string, 3> trio1, trio2;
    };
    const Case cases[] = {
        {12, {"0112", "1201"}, {"010203", "      "}, {"1", "12"}, {"12", "1"}, {"1", "2", "3"}, {"", "", ""}},
        {2, {"0201"}, {}, {"2", "1"}, {"", ""}, {"", "", ""}, {"", "", ""}},
        {3, {"0201", "0203", "0103"}, {"020103"}, {"2", "1"}, {"2", "3"}, {"2", "1", "3"}, {"", "", ""}},
        {4, {"0201", "0203", "0103", "0204", "0104", "0304"}, {"020103", "020104", "020304", "010304"},
         {"2", "1"}, {"2", "3"}, {"2", "1", "3"}, {"2", "1", "4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.runners);
        auto race = Race("2024010606050801", std::vector<Runner>(static_cast<std::size_t>(c.runners), Plain("1")),
                         [&] {
                             std::vector<int> r;
                             for (int i = 1; i <= c.runners; ++i) r.push_back(i);
                             return r;
                         }());
        webfixture::SetTickets(race, c.pairs, c.trios);
        const auto p = webexport::ComputePageValues(race, kNakayama);
        EXPECT_EQ(p.PagePairHorse[1], c.pair1);
        EXPECT_EQ(p.PagePairHorse[2], c.pair2);
        EXPECT_EQ(p.PageTrioHorse[1], c.trio1);
        EXPECT_EQ(p.PageTrioHorse[2], c.trio2);
        // Places beyond the race's lists stay empty.
        EXPECT_EQ(p.PagePairHorse[6][0] + p.PagePairHorse[6][1], c.pairs.size() >= 6 ? c.pairs[5].substr(1, 1) + c.pairs[5].substr(3, 1) : "");
        EXPECT_EQ(p.PageTrioHorse[7][0] + p.PageTrioHorse[7][1] + p.PageTrioHorse[7][2], "");
    }
}

TEST(RaceCardRows, GatesAgesAndMissingRunners) {
    // Gates 1 to 8, then 9 and blank, which keep the class of the row before without font; a
    // horse number without a runner as the first row of a race starts from an empty class.
    std::vector<Runner> runners;
    for (int g = 1; g <= 8; ++g) runners.push_back(Plain(std::to_string(g), g == 1 ? "03" : "10"));
    runners.push_back(Plain("9"));
    runners.push_back(Plain(""));
    std::vector<int> rank;
    for (int i = 10; i >= 1; --i) rank.push_back(i);
    const auto rows = webexport::RaceCardRows(Race("2024010606050801", runners, rank));
    ASSERT_EQ(rows.size(), 10u);
    const std::string_view classes[] = {"bgwhite",  "bgblack2", "bgred",  "bgblue", "bgyellow",
                                        "bggreen",  "bgorange", "bgpink", "bgpink", "bgpink"};
    const bool fonts[] = {false, true, true, true, false, true, false, false, false, false};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(rows[i].HorseNo, static_cast<int>(i) + 1);
        EXPECT_EQ(rows[i].GateClass, classes[i]);
        EXPECT_EQ(rows[i].GateFont, fonts[i]);
        EXPECT_EQ(rows[i].RankText, std::to_string(10 - i));
    }
    EXPECT_EQ(rows[0].AgeText, "3");
    EXPECT_EQ(rows[1].AgeText, "10");
    EXPECT_EQ(rows[9].GateText, "");

    const auto first = webexport::RaceCardRows(Race("2024010606050801", {Plain(""), Plain("x")}, {1, 2}));
    EXPECT_EQ(first[0].GateClass, "");
    EXPECT_EQ(first[1].GateClass, "");
    EXPECT_EQ(first[1].GateText, "x");
}

TEST(RaceCardRows, TextsCutByCharacters) {
    const auto race = webfixture::HostileRace();
    const auto rows = webexport::RaceCardRows(race);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].HorseName, "<b>&\"</sc");
    EXPECT_EQ(rows[0].Jockey, "A&B ");
    EXPECT_EQ(rows[1].HorseName, "アイウエオカキクケ");
    EXPECT_EQ(rows[2].HorseName, "ミホノブルボン  ");
    EXPECT_EQ(rows[2].Jockey, "武豊  ");
    EXPECT_EQ(rows[2].Sex + rows[2].AgeText, "セ5");
    EXPECT_EQ(rows[3].HorseName, "");
    EXPECT_EQ(rows[3].GateClass, "bgyellow");
    EXPECT_EQ(rows[3].RankText, "5");
}

TEST(WithoutLeadingZero, Rule) {
    EXPECT_EQ(webexport::WithoutLeadingZero("01"), "1");
    EXPECT_EQ(webexport::WithoutLeadingZero("09"), "9");
    EXPECT_EQ(webexport::WithoutLeadingZero("10"), "10");
    EXPECT_EQ(webexport::WithoutLeadingZero("0"), "0");
    EXPECT_EQ(webexport::WithoutLeadingZero(""), "");
}

}  // namespace
