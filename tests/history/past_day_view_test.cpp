#include "history/past_day_view.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "history/stored_days.h"
#include "support/temp_folder.h"

namespace {

using historytest::Line;
using historytest::Q;
using historytest::TitleLine;
namespace qb = common::qb;

constexpr const char* kKey = "20250308060205";
const std::string kSelected = std::string("2025年03月08日2回中山5日目                  ") + kKey;

std::string File(const char* suffix) { return std::string("TEKICHU/") + kKey + suffix; }

// tekichu.txt of `races` races; race n's "予人" row holds `places[n-1]` in the bet columns.
std::string Tekichu(int races, const std::vector<std::vector<std::string>>& places = {}) {
    std::string text = TitleLine("2025", "03", "08", "2", "中山", "5") +
                       Line({"R番号", "馬連", "馬単", "3連複", "3連単", "ワイド1", "ワイド2", "ワイド3"});
    for (int n = 1; n <= races; ++n) {
        const std::string r = (n < 10 ? "0" : "") + std::to_string(n);
        text += Line({r + "R 的中", "本線1点目", "          ", "", "", "", "", ""});
        text += Line({"当目", " 1- 2", "", "", "", "", "", ""});
        text += Line({"配当", "1230", "", "", "", "", "", ""});
        std::vector<std::string> p(7);
        if (n <= static_cast<int>(places.size())) p = places[static_cast<std::size_t>(n - 1)];
        text += Q("予人") + "," + Q(p[0]) + "," + Q(p[1]) + "," + Q(p[2]) + "," + Q(p[3]) + "," + Q(p[4]) + "," +
                Q(p[5]) + "," + Q(p[6]) + "\r\n";
    }
    return text;
}

TEST(ShowPastDay, TierBandsOfEveryBetColumn) {
    struct Case {
        int col;
        const char* place;
        std::int8_t colour;
    };
    const std::vector<Case> cases = {
        {1, "1 4", qb::kLightYellow}, {1, "6 1", qb::kLightYellow}, {1, "7 3", qb::kLightCyan},
        {1, "12 2", qb::kLightCyan},  {1, "13 9", qb::kLightRed},   {1, "18 5", qb::kLightRed},
        {1, "19 4", qb::kWhite},      {1, "", qb::kWhite},          {1, "0 1", qb::kWhite},
        {2, "12 1", qb::kLightYellow}, {2, "13 1", qb::kLightCyan}, {2, "24 2", qb::kLightCyan},
        {2, "25 3", qb::kLightRed},   {2, "36 9", qb::kLightRed},   {2, "37 1", qb::kWhite},
        {3, "7 1", qb::kLightYellow}, {3, "8 1", qb::kLightCyan},   {3, "15 2", qb::kLightRed},
        {3, "21 3", qb::kLightRed},   {3, "22 1", qb::kWhite},
        {4, "42 1", qb::kLightYellow}, {4, "43 1", qb::kLightCyan}, {4, "84 2", qb::kLightCyan},
        {4, "85 3", qb::kLightRed},   {4, "126 4", qb::kLightRed},  {4, "127 1", qb::kWhite},
        {5, "6 1", qb::kLightYellow}, {6, "7 3", qb::kLightCyan},   {7, "18 2", qb::kLightRed},
        {7, "19 2", qb::kWhite},
        // no blank among the first ten characters, or no whole number before it: no mark
        {1, "7", qb::kWhite},         {1, "7.5 3", qb::kWhite},     {1, "x 3", qb::kWhite},
        {4, "1234567890 1", qb::kWhite}, {1, " 7 3", qb::kWhite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.col) + " [" + c.place + "]");
        testsupport::TempAppFolder dir;
        std::vector<std::string> row(7);
        row[static_cast<std::size_t>(c.col - 1)] = c.place;
        dir.Write(File("tekichu.txt"), Tekichu(12, {{}, {}, row}));  // race 3: rows 10 to 13
        const auto day = history::ShowPastDay(kSelected);
        EXPECT_EQ(day.KakoSeiFG.Text(13, c.col), c.place);
        EXPECT_EQ(day.KakoSeiFG.Colour(10, c.col), c.colour);
        for (int col = 1; col <= 7; ++col) {
            if (col == c.col) continue;
            EXPECT_EQ(day.KakoSeiFG.Colour(10, col), qb::kWhite);
        }
    }
}

TEST(ShowPastDay, HitTableRowsAndAnElevenRaceDay) {
    testsupport::TempAppFolder dir;
    dir.Write(File("tekichu.txt"), Tekichu(11));
    const auto day = history::ShowPastDay(kSelected);
    const auto& g = day.KakoSeiFG;
    EXPECT_EQ(g.Text(0, 0), "2025年");
    EXPECT_EQ(g.Text(0, 4), "中山");
    EXPECT_EQ(g.Text(0, 5), "5日目");
    EXPECT_EQ(g.Text(0, 6), "");
    EXPECT_EQ(g.Text(1, 7), "ワイド3");
    EXPECT_EQ(g.Text(2, 0), "01R 的中");
    EXPECT_EQ(g.Text(2, 2), "          ");
    EXPECT_EQ(g.Text(42, 0), "11R 的中");
    EXPECT_EQ(g.Text(44, 1), "1230");
    EXPECT_EQ(g.ColWidth(2), 1100);
    EXPECT_EQ(g.ColWidth(4), 1200);
    EXPECT_EQ(g.ColWidth(3), -1);
    for (int r = 46; r <= 49; ++r)
        for (int c = 0; c < 8; ++c) EXPECT_EQ(g.Text(r, c), "") << r << "," << c;
    for (int c = 1; c <= 7; ++c) {
        EXPECT_EQ(g.Colour(46, c), qb::kWhite);
        EXPECT_EQ(g.Colour(47, c), qb::kNone);
    }
    EXPECT_EQ(day.unreadable, 0);
}

TEST(ShowPastDay, LinesAfterTheTwelfthRaceAreNotRead) {
    testsupport::TempAppFolder dir;
    dir.Write(File("tekichu.txt"), Tekichu(13));
    const auto day = history::ShowPastDay(kSelected);
    EXPECT_EQ(day.KakoSeiFG.Text(46, 0), "12R 的中");
    EXPECT_EQ(day.KakoSeiFG.Text(49, 0), "予人");
    EXPECT_EQ(day.unreadable, 0);
}

std::string Kaiteki(const std::vector<std::string>& returnRates, const std::vector<std::string>& hitRates) {
    std::string text = TitleLine("2025", "03", "08", "2", "中山", "5") +
                       Line({"　　", "回収率", "％", "　　", "的中率", "％", "　　"}) +
                       Line({"券種", "本線", "準本線", "伏兵", "本線", "準本線", "伏兵"});
    for (const char* kind : {"馬連", "馬単表", "馬単裏", "３連複", "３連単", "ワイド"})
        text += Line({kind, returnRates[0], returnRates[1], returnRates[2], hitRates[0], hitRates[1], hitRates[2]});
    return text;
}

TEST(ShowPastDay, RateColours) {
    testsupport::TempAppFolder dir;
    dir.Write(File("kaiteki.txt"), Kaiteki({"100.0", "100.1", "30.1"}, {"30.0", "30.1", "100.1"}));
    const auto day = history::ShowPastDay(kSelected);
    const auto& g = day.TekiKaiFG;
    EXPECT_EQ(g.Text(0, 4), "中山");
    EXPECT_EQ(g.Text(1, 1), "回収率");
    EXPECT_EQ(g.Text(3, 0), "馬連");
    EXPECT_EQ(g.Text(8, 0), "ワイド");
    for (int r = 3; r <= 8; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(g.TextColour(r, 1), qb::kNone);  // 100.0
        EXPECT_EQ(g.TextColour(r, 2), qb::kLightRed);
        EXPECT_EQ(g.TextColour(r, 3), qb::kNone);  // 30.1 is a return rate
        EXPECT_EQ(g.TextColour(r, 4), qb::kNone);  // 30.0
        EXPECT_EQ(g.TextColour(r, 5), qb::kNavy);
        EXPECT_EQ(g.TextColour(r, 6), qb::kNavy);
    }
    EXPECT_EQ(g.TextColour(1, 1), qb::kNone);
}

// tekichuPC.txt with `races` races; race 1's payouts are `payouts` (11 kinds).
std::string TekichuPc(int races, const std::vector<std::string>& payouts) {
    std::string text = TitleLine("2025", "03", "08", "2", "中山", "5") +
                       Line({" R番号", "単勝1", "複勝1", "単勝2", "複勝2", "馬連F", "馬連B", "馬単F", "  3連複B",
                             "  3連単12", "  3連単23", "  3連単13"});
    for (int n = 1; n <= races; ++n) {
        const std::string r = (n < 10 ? "0" : "") + std::to_string(n);
        text += Line({r + "R点数  ", "1", "1", "1", "1", "6", "6", "12", "7", "6", "6", "6"});
        std::vector<std::string> p = n == 1 ? payouts : std::vector<std::string>(11);
        std::string hits = Q("  的中目"), pays = Q("  配当");
        for (const auto& v : p) {
            hits += "," + Q(v.empty() ? "" : " 3");
            pays += "," + Q(v);
        }
        text += hits + "\r\n" + pays + "\r\n";
    }
    return text;
}

TEST(ShowPastDay, PcHitMarks) {
    testsupport::TempAppFolder dir;
    dir.Write(File("tekichuPC.txt"),
              TekichuPc(11, {"10000", "10010", "", "150", "0", "", "", "", "", "", "99999"}));
    const auto day = history::ShowPastDay(kSelected);
    const auto& g = day.TanFukuFG;
    EXPECT_EQ(g.Text(1, 8), "  3連複B");
    EXPECT_EQ(g.Text(2, 0), "01R点数  ");
    EXPECT_EQ(g.Text(4, 1), "10000");
    struct Case {
        int col;
        std::int8_t back;
        std::int8_t text;
    };
    const std::vector<Case> cases = {{1, qb::kLightYellow, qb::kNone}, {2, qb::kLightYellow, qb::kLightRed},
                                     {3, qb::kNone, qb::kNone},        {4, qb::kLightYellow, qb::kNone},
                                     {5, qb::kNone, qb::kNone},        {11, qb::kLightYellow, qb::kLightRed}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.col);
        for (int r = 2; r <= 4; ++r) EXPECT_EQ(g.Colour(r, c.col), c.back);
        EXPECT_EQ(g.TextColour(4, c.col), c.text);
        EXPECT_EQ(g.TextColour(2, c.col), qb::kNone);
    }
    for (int c = 1; c <= 7; ++c) EXPECT_EQ(g.ColWidth(c), 600);
    EXPECT_EQ(g.ColWidth(8), -1);
    for (int c = 9; c <= 11; ++c) EXPECT_EQ(g.ColWidth(c), 950);
    // The twelfth race's rows stay empty with default backgrounds.
    for (int r = 35; r <= 37; ++r)
        for (int c = 0; c < 12; ++c) {
            EXPECT_EQ(g.Text(r, c), "");
            EXPECT_EQ(g.Colour(r, c), qb::kNone);
        }
}

std::string KaitekiPc(const std::string& hitRate, const std::string& returnRate) {
    std::string text = TitleLine("2025", "03", "08", "2", "中山", "5") +
                       Line({"券種", "単勝1", "複勝1", "単勝2", "複勝2", "馬連F", "馬連B", "馬単F", "  3連複B",
                             "  3連単12", "  3連単23", "  3連単13"});
    for (const char* caption : {"予想R数", "的中R数", "的中率", "購入点数", "回収金額", "回収率"}) {
        const std::string v = std::string(caption) == "的中率" ? hitRate : std::string(caption) == "回収率" ? returnRate : "12";
        text += Line({caption, v, v, v, v, v, v, v, v, v, v, v});
    }
    return text;
}

TEST(ShowPastDay, PcRatesWithoutTheirTitle) {
    struct Case {
        const char* hit;
        const char* ret;
        std::int8_t hitColour, retColour;
    };
    const std::vector<Case> cases = {{"30.0", "100.0", qb::kNone, qb::kNone},
                                     {"30.1", "100.1", qb::kNavy, qb::kLightRed},
                                     {"", "", qb::kNone, qb::kNone}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hit);
        testsupport::TempAppFolder dir;
        dir.Write(File("kaitekiPC.txt"), KaitekiPc(c.hit, c.ret));
        const auto day = history::ShowPastDay(kSelected);
        const auto& g = day.TFTekiKaiFG;
        EXPECT_EQ(g.Text(0, 0), "券種");
        EXPECT_EQ(g.Text(0, 11), "  3連単13");
        EXPECT_EQ(g.Text(6, 0), "回収率");
        for (int k = 1; k <= 11; ++k) {
            EXPECT_EQ(g.TextColour(3, k), c.hitColour);
            EXPECT_EQ(g.TextColour(6, k), c.retColour);
            EXPECT_EQ(g.TextColour(1, k), qb::kNone);
        }
        EXPECT_EQ(g.ColWidth(1), 600);
        EXPECT_EQ(g.ColWidth(9), 950);
    }
}

TEST(ShowPastDay, MissingAndUnreadableFiles) {
    testsupport::TempAppFolder dir;
    dir.Write(File("tekichu.txt"), Tekichu(12));
    dir.Write(File("kaiteki.txt"), Kaiteki({"1", "2", "3"}, {"4", "5", "6"}));
    dir.Write(File("tekichuPC.txt"), TekichuPc(12, std::vector<std::string>(11, "120")));
    auto day = history::ShowPastDay(kSelected);
    // kaitekiPC.txt is missing: its grid stays empty, the others are filled, nothing is told.
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 12; ++c) EXPECT_EQ(day.TFTekiKaiFG.Text(r, c), "");
    EXPECT_EQ(day.KakoSeiFG.Text(0, 4), "中山");
    EXPECT_EQ(day.TekiKaiFG.Text(8, 6), "6");
    EXPECT_EQ(day.TanFukuFG.Colour(4, 11), qb::kLightYellow);
    EXPECT_FALSE(day.Text1.empty());
    EXPECT_EQ(day.unreadable, 0);
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt"));

    std::filesystem::remove(dir / File("kaiteki.txt"));
    std::filesystem::create_directories(dir / File("kaiteki.txt"));  // a folder where a file should be
    std::filesystem::remove(dir / File("tekichu.txt"));
    day = history::ShowPastDay(kSelected);
    EXPECT_EQ(day.unreadable, 1);
    EXPECT_NE(dir.Read("ERRORLOG.txt").find("kaiteki.txt"), std::string::npos);
    EXPECT_EQ(day.TekiKaiFG.Text(8, 6), "");
    EXPECT_EQ(day.KakoSeiFG.Text(0, 4), "");
    EXPECT_EQ(day.KakoSeiFG.Colour(2, 1), qb::kWhite);
    EXPECT_EQ(day.TanFukuFG.Colour(4, 11), qb::kLightYellow);
}

// The cells of two grids that differ in text, background or text colour.
std::vector<std::string> Differences(const common::GridCells& a, const common::GridCells& b) {
    std::vector<std::string> out;
    for (int r = 0; r < a.Rows(); ++r)
        for (int c = 0; c < a.Cols(); ++c) {
            const std::string at = std::to_string(r) + "," + std::to_string(c);
            if (a.Text(r, c) != b.Text(r, c)) out.push_back("text " + at);
            if (a.Colour(r, c) != b.Colour(r, c)) out.push_back("colour " + at);
            if (a.TextColour(r, c) != b.TextColour(r, c)) out.push_back("text colour " + at);
        }
    return out;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// Text after a closing quote loses that one value; a line ending in an empty value keeps it. No
// other cell of the day changes.
TEST(ShowPastDay, AFieldThatCannotBeReadMovesNoOtherCell) {
    testsupport::TempAppFolder dir;
    const std::string pc = TekichuPc(12, {"150", "10010", "", "", "", "", "", "", "", "", "480"});
    std::string rates = TitleLine("2025", "03", "08", "2", "中山", "5") +
                        Line({"　　", "回収率", "％", "　　", "的中率", "％", "　　"}) +
                        Line({"券種", "本線", "準本線", "伏兵", "本線", "準本線", "伏兵"});
    for (const char* kind : {"馬連", "馬単表", "馬単裏", "３連複", "３連単", "ワイド"})
        rates += Q(kind) + ",110.5,80,0,40,20,0\r\n";
    dir.Write(File("tekichuPC.txt"), pc);
    dir.Write(File("kaiteki.txt"), rates);
    const auto clean = history::ShowPastDay(kSelected);
    ASSERT_EQ(clean.TanFukuFG.Text(4, 2), "10010");
    ASSERT_EQ(clean.TekiKaiFG.Text(3, 6), "0");

    // Race 1: a stray character after the first hit combination and after the 10010 payout.
    const std::string hitLine = Q("  的中目") + "," + Q(" 3");
    dir.Write(File("tekichuPC.txt"), Replaced(Replaced(pc, hitLine, hitLine + "x"), Q("10010"), Q("10010") + "?"));
    // The 馬連 line ends in an empty hit rate.
    dir.Write(File("kaiteki.txt"), Replaced(rates, ",110.5,80,0,40,20,0\r\n", ",110.5,80,0,40,20,\r\n"));
    const auto day = history::ShowPastDay(kSelected);
    EXPECT_EQ(Differences(day.TanFukuFG, clean.TanFukuFG),
              (std::vector<std::string>{"colour 2,2", "text 3,1", "colour 3,2", "text 4,2", "colour 4,2",
                                        "text colour 4,2"}));
    EXPECT_EQ(day.TanFukuFG.Text(4, 2), "");
    EXPECT_EQ(day.TanFukuFG.Colour(4, 2), qb::kNone);
    EXPECT_EQ(day.TanFukuFG.TextColour(4, 2), qb::kNone);
    EXPECT_EQ(Differences(day.TekiKaiFG, clean.TekiKaiFG), (std::vector<std::string>{"text 3,6"}));
    EXPECT_EQ(day.TekiKaiFG.Text(4, 0), "馬単表");
    EXPECT_EQ(Differences(day.TFTekiKaiFG, clean.TFTekiKaiFG), std::vector<std::string>{});

    // Both lost values are logged with their file and line, and the window is told.
    EXPECT_EQ(day.unreadable, 2);
    const std::string log = dir.Read("ERRORLOG.txt");
    EXPECT_NE(log.find(File("tekichuPC.txt") + " line 4:"), std::string::npos) << log;
    EXPECT_NE(log.find(File("tekichuPC.txt") + " line 5:"), std::string::npos) << log;
    EXPECT_EQ(log.find("kaiteki.txt"), std::string::npos) << log;
}

TEST(ShowPastDay, TheNoteKeepsItsBlanksAndWidths) {
    const std::string note(history::kRatesNote);
    EXPECT_NE(note.find("馬連・ 馬単表（正順）"), std::string::npos);
    EXPECT_NE(note.find("的中率は 33.3％"), std::string::npos);
    EXPECT_NE(note.find("42点(7点ｘ6順）"), std::string::npos);
    EXPECT_EQ(note.substr(0, 9), "回収率");
    EXPECT_EQ(note.substr(note.size() - 15), "あります。");
}

}  // namespace
