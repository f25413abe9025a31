#include "workbench/runner_grids.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "batch_fixtures.h"
#include "common/grid_cells.h"
#include "common/numbers.h"
#include "support/record_bytes.h"

namespace {

using batchtest::FloatBytes;
using testsupport::Put;
namespace qb = common::qb;

constexpr std::string_view kKey = "202506070511";

// One runner of this week's race, its fields at their record positions (1-based).
struct Runner {
    std::string wakuban = "3", umaban = "05", ketto = "2021100005", bamei = "NAME";
    std::string nyusen = "  ", ninki = "  ", tanOdds = "0000", soha = "0000", l3 = "000", kyori = "1600";
    std::string kisyu = "KISYU", chokyosi = "CHOKYO", chichi = "CHICHI";
    float agari6 = 0, pace6 = 0, measured = 0, combined = 0, predAgari = 0, predPace = 0, residual0 = 0, correction = 0;
};

std::string RaceIdOf(std::string_view key) {
    // Year, MonthDay, JyoCD, Kaiji, Nichiji, RaceNum: the key's parts around a meeting of "0102".
    return std::string(key.substr(0, 10)) + "0102" + std::string(key.substr(10, 2));
}

workbench::RaceHorseRecord Record(const Runner& r, std::string_view key = kKey) {
    std::string b(24022, '\0');
    Put(b, 1, RaceIdOf(key));
    Put(b, 1041, r.wakuban);
    Put(b, 1106, r.umaban);
    Put(b, 1236, r.ketto);
    Put(b, 1886, r.bamei + std::string(36 - r.bamei.size(), ' '));
    Put(b, 1922, r.kisyu + std::string(8 - r.kisyu.size(), ' '));
    Put(b, 2442, r.kyori);
    Put(b, 2702, "17");
    Put(b, 2962, r.nyusen);
    Put(b, 3222, r.soha);
    Put(b, 3482, r.ninki);
    Put(b, 3612, r.tanOdds);
    Put(b, 3872, r.l3);
    Put(b, 4067, r.chokyosi + std::string(8 - r.chokyosi.size(), ' '));
    Put(b, 4587, r.chichi + std::string(36 - r.chichi.size(), ' '));
    for (int k = 0; k < 5; ++k) Put(b, 4942 + 7 * static_cast<std::size_t>(k), "0000000");
    Put(b, 4977 + 6 * 4, FloatBytes(r.agari6));
    Put(b, 11697 + 6 * 4, FloatBytes(r.pace6));
    Put(b, 18417 + 2 * 4, FloatBytes(r.measured));
    Put(b, 18417 + 3 * 4, FloatBytes(r.predAgari));
    Put(b, 18417 + 4 * 4, FloatBytes(r.predPace));
    Put(b, 18417 + 6 * 4, FloatBytes(r.combined));
    Put(b, 18417 + 7 * 4, FloatBytes(r.residual0));
    Put(b, 24017, FloatBytes(r.correction));
    Put(b, 24021, "\r\n");
    return workbench::RaceHorseRecord::FromBytes(b);
}

std::array<std::string, 19> Ranks(const std::vector<std::string>& ranks) {
    std::array<std::string, 19> out{};
    for (std::size_t h = 0; h < ranks.size(); ++h) out[h + 1] = ranks[h];
    return out;
}

// Cells of both grids, row by row: ranks, popularity and its difference, odds, times, weights.
TEST(RunnerGrids, CellsOfBothGrids) {
    std::vector<workbench::RaceHorseRecord> runners;
    Runner a;  // the predicted winner, fifth favourite, first past the post
    a.nyusen = "01", a.ninki = "05", a.tanOdds = "0123", a.soha = "1345", a.l3 = "345";
    a.combined = 60, a.predAgari = 57.6f, a.predPace = 60, a.agari6 = 56.1f, a.pace6 = -1.2f;
    a.measured = 60.7f, a.residual0 = 0.7f, a.correction = -1.2f;
    runners.push_back(Record(a));
    Runner b;  // favourite predicted eighth, not measured: no residual
    b.umaban = "02", b.nyusen = "02", b.ninki = "01", b.tanOdds = "0015", b.combined = 60, b.residual0 = -60;
    runners.push_back(Record(b));
    Runner c;  // withdrawn: "--", a blank 3-furlong time, no predicted speed
    c.ninki = "--", c.l3 = "   ";
    runners.push_back(Record(c));
    Runner d;  // "**" and a rank of 0
    d.ninki = "**";
    runners.push_back(Record(d));
    runners.emplace_back();  // horse number 5 without a runner: all zero bytes
    Runner f;  // a rank that is no number
    f.ninki = "03";
    runners.push_back(Record(f));

    workbench::RunnerGrids grids;
    workbench::FillRunnerGrids(kKey, runners, Ranks({" 1", " 8", " 2", " 0", " 4", "xx"}), grids);
    const common::GridCells& g1 = grids.RACEDETAILGrid1;
    const common::GridCells& g2 = grids.RACEDETAILGrid2;

    struct Case {
        int row, col;
        std::string text;
    };
    const std::vector<Case> factor = {
        {0, 0, std::string(kKey)}, {0, 6, "馬名"}, {0, 24, "母父馬ペース時速"},
        {1, 0, "3    05"}, {1, 1, "01"}, {1, 2, "01"}, {1, 3, "05"}, {1, 4, "4"}, {1, 5, "12.3"},
        {1, 6, "NAME" + std::string(14, ' ') + "2021100005EX.dat"}, {1, 7, "騎F・調F・父父F・母父F・生F"},
        {1, 8, "1.34.50"}, {1, 9, "34.5"}, {1, 10, "1.35.99"}, {1, 11, "37.50"},
        {1, 12, common::FormatYosoTime(60, "1000").value()}, {1, 13, "KISYU   "}, {1, 14, "56.099"},
        {1, 15, "-1.201"}, {1, 16, "CHICHI" + std::string(30, ' ')}, {1, 17, "0"}, {1, 19, "CHOKYO  "},
        {2, 2, "08"}, {2, 3, "01"}, {2, 4, "-7"}, {2, 5, "1.5"}, {2, 9, "0"}, {2, 11, ""},
        {3, 3, "--"}, {3, 4, "-2"}, {3, 9, ""}, {3, 10, ""}, {3, 11, ""}, {3, 12, ""},
        {4, 2, "00"}, {4, 4, "0"},
        {5, 0, ""}, {5, 2, ""}, {5, 5, ""}, {5, 6, ""},
        {6, 2, ""}, {6, 3, "03"}, {6, 4, ""}, {6, 5, "0"}, {7, 0, ""},
    };
    for (const Case& c : factor) EXPECT_EQ(g1.Text(c.row, c.col), c.text) << "factor " << c.row << "," << c.col;
    const std::vector<Case> residual = {
        {0, 0, std::string(kKey)}, {0, 4, "人気-予想"}, {0, 10, "残差平均（時速）"}, {0, 11, "前0残差"}, {0, 75, "前64残差"},
        {1, 4, "4"}, {1, 5, "NAME" + std::string(14, ' ') + "2021100005EX.dat"}, {1, 6, "58.799"},
        {1, 7, common::FormatYosoTime(58.8f, "1600").value()}, {1, 8, "1.35.99"}, {1, 9, "0.699"}, {1, 10, "-1.201"},
        {1, 11, "0.699"}, {1, 12, ""}, {1, 76, ""},
        {2, 4, "-7"}, {2, 9, ""}, {2, 11, ""}, {3, 4, "--"}, {3, 6, "0"}, {3, 7, ""}, {3, 8, ""}, {4, 4, "**"}, {6, 4, ""}, {5, 11, ""},
    };
    for (const Case& c : residual) EXPECT_EQ(g2.Text(c.row, c.col), c.text) << "residual " << c.row << "," << c.col;

    struct Colour {
        int row, col;
        std::int8_t both;
    };
    const std::vector<Colour> colours = {
        {1, 1, qb::kLightYellow}, {2, 1, qb::kLightCyan}, {1, 2, qb::kLightYellow}, {3, 2, qb::kLightCyan},
        {2, 2, qb::kWhite}, {1, 3, qb::kLightMagenta}, {2, 3, qb::kLightYellow}, {6, 3, qb::kLightGreen},
        {3, 3, qb::kWhite}, {5, 1, qb::kWhite}, {7, 3, qb::kWhite},
    };
    for (const Colour& c : colours) {
        EXPECT_EQ(g1.Colour(c.row, c.col), c.both) << c.row << "," << c.col;
        EXPECT_EQ(g2.Colour(c.row, c.col), c.both) << c.row << "," << c.col;
    }
    EXPECT_EQ(g1.Colour(1, 4), qb::kLightYellow);  // 4 more than predicted
    EXPECT_EQ(g1.Colour(2, 4), qb::kLightRed);     // 7 fewer
    EXPECT_EQ(g1.Colour(3, 4), qb::kWhite);        // -2
    EXPECT_EQ(g2.Colour(1, 4), qb::kWhite);

    struct Width {
        int col, twips;
    };
    for (const Width& w : std::vector<Width>{{1, 500}, {4, 500}, {5, 1700}, {6, 2500}, {7, 1000}, {15, 1700}, {21, 1700},
                                             {22, 1000}, {0, -1}, {23, -1}})
        EXPECT_EQ(g1.ColWidth(w.col), w.twips) << "factor col " << w.col;
    for (const Width& w : std::vector<Width>{{1, 500}, {3, 500}, {4, 1000}, {5, 1700}, {6, 1000}, {79, 1000}, {0, -1}})
        EXPECT_EQ(g2.ColWidth(w.col), w.twips) << "residual col " << w.col;
}

// Residual cells of past runs are coloured by the run's course and track code.
TEST(RunnerGrids, ResidualColoursByCourseAndTrack) {
    struct Case {
        std::string jyo, track;
        std::int8_t colour;
    };
    const std::vector<Case> cases = {
        {"05", "17", qb::kLightGreen}, {"01", "00", qb::kLightGreen}, {"10", "22", qb::kLightGreen},
        {"06", "23", qb::kLightYellow}, {"01", "29", qb::kLightYellow}, {"01", "30", qb::kLightCyan},
        {"02", "59", qb::kLightCyan}, {"11", "17", qb::kWhite}, {"00", "17", qb::kWhite}, {"01", "60", qb::kWhite},
        {std::string(2, '\0'), std::string(2, '\0'), qb::kWhite},
    };
    Runner r;
    r.ninki = "01";
    workbench::RaceHorseRecord rec = Record(r);
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const int e = static_cast<int>(k) + 1;
        rec.CopyRaw(workbench::rh::JyoCD, cases[k].jyo.data(), e);
        rec.CopyRaw(workbench::rh::TrackCD, cases[k].track.data(), e);
        rec.SetFloat(workbench::rh::SpeedValue, 55.5f, e, 2);
        rec.SetFloat(workbench::rh::SpeedValue, 58.0f, e, 6);
        rec.SetFloat(workbench::rh::SpeedValue, -2.5f, e, 7);
    }
    workbench::RunnerGrids grids;
    workbench::FillRunnerGrids(kKey, {rec}, Ranks({" 1"}), grids);
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const int col = 12 + static_cast<int>(k);
        EXPECT_EQ(grids.RACEDETAILGrid2.Colour(1, col), cases[k].colour) << cases[k].jyo << "/" << cases[k].track;
        EXPECT_EQ(grids.RACEDETAILGrid2.Text(1, col), "-2.5");
    }
    EXPECT_EQ(grids.RACEDETAILGrid2.Colour(1, 11), qb::kLightGreen);  // this race: "05" and "17"
}

// A residual is measured minus predicted speed: only a horse's newest four runs are measured, so
// an older run stores 0 minus its prediction. Its cell stays empty, as does one of a run without
// a prediction; the record keeps what it stores.
TEST(RunnerGrids, ResidualOnlyWhereBothSpeedsExist) {
    Runner r;
    r.ninki = "01";
    workbench::RaceHorseRecord rec = Record(r);
    struct Run {
        float measured, combined, residual;
        std::string shown;
    };
    const std::vector<Run> runs = {
        {61.25f, 60.0f, 1.25f, "1.25"},   // this race, after the results
        {57.5f, 58.0f, -0.5f, "-0.5"},    // the newest three past runs
        {59.0f, 58.5f, 0.5f, "0.5"},
        {58.25f, 58.25f, 0.0f, "0"},      // measured exactly as predicted
        {0.0f, 58.2f, -58.2f, ""},        // older runs: not measured
        {0.0f, 57.9f, -57.9f, ""},
        {60.0f, 0.0f, 60.0f, ""},         // measured, but no prediction (no surface)
        {0.0f, 0.0f, 0.0f, ""},           // no run at all
    };
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const int e = static_cast<int>(k);
        rec.SetFloat(workbench::rh::SpeedValue, runs[k].measured, e, 2);
        rec.SetFloat(workbench::rh::SpeedValue, runs[k].combined, e, 6);
        rec.SetFloat(workbench::rh::SpeedValue, runs[k].residual, e, 7);
    }
    const std::string stored(rec.Bytes());
    workbench::RunnerGrids grids;
    workbench::FillRunnerGrids(kKey, {rec}, Ranks({" 1"}), grids);
    const common::GridCells& g2 = grids.RACEDETAILGrid2;
    EXPECT_EQ(g2.Text(1, 9), "1.25");  // this race's own column
    for (std::size_t k = 0; k < runs.size(); ++k)
        EXPECT_EQ(g2.Text(1, 11 + static_cast<int>(k)), runs[k].shown) << "run " << k;
    for (int k = static_cast<int>(runs.size()); k < 65; ++k) EXPECT_EQ(g2.Text(1, 11 + k), "") << "run " << k;
    EXPECT_EQ(rec.Bytes(), stored);

    // This week's race before the results: no measured speed, no residual of its own.
    rec.SetFloat(workbench::rh::SpeedValue, 0.0f, 0, 2);
    rec.SetFloat(workbench::rh::SpeedValue, -60.0f, 0, 7);
    workbench::FillRunnerGrids(kKey, {rec}, Ranks({" 1"}), grids);
    EXPECT_EQ(g2.Text(1, 9), "");
    EXPECT_EQ(g2.Text(1, 11), "");
    EXPECT_EQ(g2.Text(1, 12), "-0.5");
}

// The chart from the factor grid: odds by predicted rank and by popularity, rows labelled by rank.
TEST(RunnerGrids, ChartPointsAndLabels) {
    struct Row {
        std::string horse, nyusen, rank, ninki, odds;
    };
    struct Case {
        std::string name;
        std::vector<Row> rows;
        std::vector<double> predicted, popular;
        std::vector<std::array<std::string, 3>> labels;
    };
    const std::vector<Case> cases = {
        {"two runners share a rank",
         {{"1    01", "02", "01", "02", "3.5"}, {"2    02", "01", "01", "01", "2.1"}, {"3    03", "03", "03", "03", "9"}},
         {2.1, 0, 9}, {2.1, 3.5, 9}, {{"02", "01", "1"}, {"", "", ""}, {"03", "03", "3"}}},
        {"withdrawn, unknown and rank 00",
         {{"1    01", "", "00", "--", "4"}, {"2    02", "", "02", "**", "7.5"}, {"3    03", "", "", "02", "12"}},
         {4, 7.5, 0}, {7.5, 12, 0}, {{"", "", ""}, {"02", "", "2"}, {"", "", ""}}},
        {"a rank and a popularity beyond the field",
         {{"1    01", "", "05", "04", "4"}, {"2    02", "", "01", "01", "6"}},
         {6, 0}, {6, 0}, {{"02", "", "1"}, {"", "", ""}}},
        {"no runners", {}, {}, {}, {}},
    };
    for (const Case& c : cases) {
        common::GridCells g(19, 25);
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            const int h = static_cast<int>(i) + 1;
            g.SetText(h, 0, c.rows[i].horse);
            g.SetText(h, 1, c.rows[i].nyusen);
            g.SetText(h, 2, c.rows[i].rank);
            g.SetText(h, 3, c.rows[i].ninki);
            g.SetText(h, 5, c.rows[i].odds);
        }
        const workbench::RunnerChart chart = workbench::ChartOfRunners(g, static_cast<int>(c.rows.size()));
        EXPECT_EQ(chart.Predicted, c.predicted) << c.name;
        EXPECT_EQ(chart.Popular, c.popular) << c.name;
        EXPECT_EQ(chart.Labels, c.labels) << c.name;
    }
}

// A race after a larger one shows nothing of the earlier race; a race without runners keeps only
// the residual grid's captions.
TEST(RunnerGrids, NothingOfTheRaceBefore) {
    std::vector<workbench::RaceHorseRecord> six;
    for (int h = 1; h <= 6; ++h) {
        Runner r;
        r.umaban = common::TwoDigits(h), r.ninki = common::TwoDigits(h), r.nyusen = "01", r.tanOdds = "0100";
        six.push_back(Record(r, "202506070501"));
    }
    workbench::RunnerGrids grids;
    workbench::FillRunnerGrids("202506070501", six, Ranks({" 1", " 2", " 3", " 4", " 5", " 6"}), grids);
    ASSERT_EQ(grids.RACEDETAILGrid1.Text(6, 3), "06");
    ASSERT_EQ(grids.YNjunMSChart.Rows(), 6);

    Runner one;
    one.ninki = "02", one.tanOdds = "0050";
    workbench::FillRunnerGrids(kKey, {Record(one), Record(one)}, Ranks({" 2", " 1"}), grids);
    for (int h = 3; h <= 18; ++h) {
        for (int c = 0; c < 25; ++c) EXPECT_EQ(grids.RACEDETAILGrid1.Text(h, c), "") << h << "," << c;
        for (int c = 0; c < 80; ++c) EXPECT_EQ(grids.RACEDETAILGrid2.Text(h, c), "") << h << "," << c;
        for (int c = 1; c < 25; ++c) EXPECT_EQ(grids.RACEDETAILGrid1.Colour(h, c), qb::kWhite) << h << "," << c;
        for (int c = 1; c < 80; ++c) EXPECT_EQ(grids.RACEDETAILGrid2.Colour(h, c), qb::kWhite) << h << "," << c;
    }
    EXPECT_EQ(grids.YNjunMSChart.Predicted, (std::vector<double>{5, 5}));
    EXPECT_EQ(grids.YNjunMSChart.Popular, (std::vector<double>{0, 5}));

    workbench::FillRunnerGrids("202506070502", {}, {}, grids);
    EXPECT_EQ(grids.RACEDETAILGrid1.Text(0, 0), "202506070502");
    EXPECT_EQ(grids.RACEDETAILGrid2.Text(0, 0), "202506070502");
    EXPECT_EQ(grids.RACEDETAILGrid2.Text(0, 11), "前0残差");
    EXPECT_EQ(grids.RACEDETAILGrid1.Text(1, 3), "");
    EXPECT_EQ(grids.RACEDETAILGrid2.Text(2, 0), "");
    EXPECT_EQ(grids.YNjunMSChart.Rows(), 0);
}

}  // namespace
