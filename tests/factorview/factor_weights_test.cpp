#include "factorview/factor_weights.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/model_tables.h"
#include "factorview/factor_design.h"
#include "model_fixture.h"
#include "support/temp_folder.h"

namespace {

using engine::Surface;
using factorview::AgeSex;
using factorviewtest::AgeLabel;
using factorviewtest::Category;
using factorviewtest::FixtureModel;
using factorviewtest::FixtureSurface;

engine::ModelTables Load(Surface surface) { return engine::LoadModelTables(surface, engine::ModelScope::Weights); }

const factorview::ItemTab& Tab(Surface surface, int k) {
    return factorview::DesignOf(surface).tabs[static_cast<std::size_t>(k - 1)];
}

// The weights as the file writes them and as the grid shows them: the 4-byte value floored to
// three decimals, so the binary value shows, not the file's decimal text.
TEST(ItemGrid, ShowsEachWeightFlooredFromItsFourByteValue) {
    struct Case {
        std::string inFile, shown;
    };
    const std::vector<Case> cases = {
        {"56.1", "56.099"}, {"57.25", "57.25"}, {"-0.12345", "-0.124"}, {"0.0004", "0"},   {"-0.0004", "-0.001"},
        {"3", "3"},         {"0.5", "0.5"},     {"0.7", "0.699"},       {"-0.001", "-0.002"}, {"-1.2", "-1.201"},
    };
    testsupport::TempAppFolder folder;
    FixtureModel model;
    for (std::size_t i = 0; i < cases.size(); ++i)
        model.items[3].push_back({"L" + std::to_string(i), cases[i].inFile, "1.5", "-2.25", "7"});
    factorviewtest::WriteModel(folder, model);

    const common::GridCells cells = factorview::ItemGridCells(Load(Surface::Siba), 3, Tab(Surface::Siba, 3));
    ASSERT_EQ(cells.Rows(), static_cast<int>(cases.size()) + 1);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        EXPECT_EQ(cells.Text(row, 1), cases[i].shown) << cases[i].inFile;
        EXPECT_EQ(cells.Text(row, 2), "1.5");
        EXPECT_EQ(cells.Text(row, 3), "-2.25");
    }
}

// Row 0 carries the six headers; row j the label, the weights, the count and j itself, whatever
// order the labels stand in.
TEST(ItemGrid, RowsByCategoryNumberWithTheHeaderOnTop) {
    testsupport::TempAppFolder folder;
    FixtureModel model;
    model.items[9] = {{"9", "1", "2", "3", "120"}, {"03", "4", "5", "6", "-5"}, {"\x8e\xc5", "7", "8", "9", "0"}};
    model.items[10] = {};  // an item without categories
    factorviewtest::WriteModel(folder, model);
    const engine::ModelTables tables = Load(Surface::Siba);

    const std::vector<std::string> header = {"コード番号", "上がり速度", "ペース速度", "走破速度", "延出走数", "参照番地"};
    const common::GridCells empty = factorview::ItemGridCells(tables, 10, Tab(Surface::Siba, 10));
    ASSERT_EQ(empty.Rows(), 1);
    ASSERT_EQ(empty.Cols(), 6);
    for (int c = 0; c < 6; ++c) EXPECT_EQ(empty.Text(0, c), header[static_cast<std::size_t>(c)]);

    const common::GridCells cells = factorview::ItemGridCells(tables, 9, Tab(Surface::Siba, 9));
    ASSERT_EQ(cells.Rows(), 4);
    for (int c = 0; c < 6; ++c) EXPECT_EQ(cells.Text(0, c), header[static_cast<std::size_t>(c)]);
    const std::vector<std::vector<std::string>> rows = {
        {"9", "1", "2", "3", "120", "1"},
        {"03", "4", "5", "6", "-5", "2"},
        {"芝", "7", "8", "9", "0", "3"},  // the label's CP932 bytes, decoded
    };
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(cells.Text(static_cast<int>(r) + 1, c), rows[r][static_cast<std::size_t>(c)]) << r << "," << c;
    EXPECT_EQ(cells.ColWidth(0), -1);  // only item 2 sets a width
}

// The hurdle model's one Soha file serves all three columns.
TEST(ItemGrid, HurdleShowsTheSohaWeightInAllThreeColumns) {
    testsupport::TempAppFolder folder;
    FixtureModel model;
    model.surface = FixtureSurface::Shog;
    model.items[4] = {{"52", "", "", "0.25", "3"}, {"54", "", "", "-1.2", "4"}};
    factorviewtest::WriteModel(folder, model);
    const common::GridCells cells = factorview::ItemGridCells(Load(Surface::Shog), 4, Tab(Surface::Shog, 4));
    ASSERT_EQ(cells.Rows(), 3);
    for (const auto& [row, text] : std::vector<std::pair<int, std::string>>{{1, "0.25"}, {2, "-1.201"}})
        for (int c = 1; c <= 3; ++c) EXPECT_EQ(cells.Text(row, c), text) << row << "," << c;
}

// The largest item the files allow, and the particulars of items 2 and 6.
TEST(ItemGrid, SixThousandCategoriesAndTheParticularGrids) {
    testsupport::TempAppFolder folder;
    FixtureModel model;
    model.surface = FixtureSurface::Dirt;
    for (int j = 1; j <= 6000; ++j) model.items[1].push_back({std::to_string(200000 + j), "55.5", "56", "57", "1"});
    model.items[2] = {{"06101", "0.1", "0.2", "0.3", "9"}};
    model.items[6] = {{"A", "1", "1", "1", "1"}};
    factorviewtest::WriteModel(folder, model);
    const engine::ModelTables tables = Load(Surface::Dirt);

    const common::GridCells big = factorview::ItemGridCells(tables, 1, Tab(Surface::Dirt, 1));
    ASSERT_EQ(big.Rows(), 6001);
    EXPECT_EQ(big.Text(6000, 5), "6000");
    EXPECT_EQ(big.Text(6000, 0), "206000");

    EXPECT_EQ(factorview::ItemGridCells(tables, 2, Tab(Surface::Dirt, 2)).ColWidth(0), 1200);

    // Dirt's item 6 has a seventh column that stays empty, header included.
    const common::GridCells six = factorview::ItemGridCells(tables, 6, Tab(Surface::Dirt, 6));
    ASSERT_EQ(six.Cols(), 7);
    EXPECT_EQ(six.Text(0, 6), "");
    EXPECT_EQ(six.Text(1, 6), "");
    EXPECT_EQ(six.Text(1, 5), "1");
}

struct ChartCase {
    const char* what;
    FixtureSurface surface;
    std::vector<Category> ages;
    AgeSex sex;
    // (row label, category shown); the point's Agari value is then category / 100
    std::vector<std::pair<std::string, int>> rows;
};

std::vector<Category> HurdleInLabelOrder() {
    std::vector<Category> ages;
    for (int sex = 1; sex <= 3; ++sex)
        for (int a = 40; a <= 59; ++a) {
            const int j = static_cast<int>(ages.size()) + 1;
            const std::string w = std::to_string(j / 100) + "." + std::to_string(100 + j % 100).substr(1);
            ages.push_back({AgeLabel(sex, a), w, w, w, "1"});
        }
    return ages;
}

// Each row shows the category of its own age, wherever the model lists it.
TEST(AgeChart, EachRowShowsTheCategoryOfItsAge) {
    const std::vector<ChartCase> cases = {
        {"turf male", FixtureSurface::Siba, factorviewtest::DesignedAgeLayout(false), AgeSex::Male, {{"27", 1}, {"43", 17}, {"59", 33}}},
        {"turf female", FixtureSurface::Siba, factorviewtest::DesignedAgeLayout(false), AgeSex::Female, {{"27", 34}, {"59", 66}}},
        {"hurdle male", FixtureSurface::Shog, factorviewtest::DesignedAgeLayout(true), AgeSex::Male, {{"40", 1}, {"59", 20}}},
        {"hurdle female", FixtureSurface::Shog, factorviewtest::DesignedAgeLayout(true), AgeSex::Female, {{"40", 34}, {"59", 53}}},
        {"hurdle female in label order", FixtureSurface::Shog, HurdleInLabelOrder(), AgeSex::Female, {{"40", 21}, {"50", 31}, {"59", 40}}},
    };
    for (const ChartCase& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempAppFolder folder;
        FixtureModel model;
        model.surface = c.surface;
        model.items[12] = c.ages;
        factorviewtest::WriteModel(folder, model);
        const bool hurdle = c.surface == FixtureSurface::Shog;
        const auto chart = factorview::AgeChartPoints(Load(hurdle ? Surface::Shog : Surface::Siba), c.sex, hurdle ? 40 : 27);

        ASSERT_EQ(chart.rowLabels.size(), hurdle ? 20u : 33u);
        EXPECT_EQ(chart.rowLabels.front(), hurdle ? "40" : "27");
        EXPECT_EQ(chart.rowLabels.back(), "59");
        for (const auto& [label, category] : c.rows) {
            const std::size_t row = static_cast<std::size_t>(std::stoi(label) - (hurdle ? 40 : 27));
            EXPECT_EQ(chart.rowLabels[row], label);
            EXPECT_EQ(chart.categories[row], category) << label;
            EXPECT_DOUBLE_EQ(chart.values[0][row], category / 100.0) << label;
            // Hurdle: one weight file, three lines on top of each other.
            EXPECT_DOUBLE_EQ(chart.values[1][row], hurdle ? category / 100.0 : 1 + category / 100.0) << label;
            EXPECT_DOUBLE_EQ(chart.values[2][row], hurdle ? category / 100.0 : 2 + category / 100.0) << label;
        }
    }
}

// The chart takes the weight at seven digits where the grid floors it to three; an age the model
// lacks draws at 0.
TEST(AgeChart, UncutValuesAndMissingAgesAtZero) {
    testsupport::TempAppFolder folder;
    FixtureModel model;
    model.items[12] = {{AgeLabel(1, 27), "0.12349", "-2.000001", "3.7", "5"}, {AgeLabel(2, 27), "-0.5", "0.5", "1", "2"}};
    factorviewtest::WriteModel(folder, model);
    const engine::ModelTables tables = Load(Surface::Siba);

    const auto male = factorview::AgeChartPoints(tables, AgeSex::Male, 27);
    EXPECT_EQ(male.values[0][0], 0.12349);
    EXPECT_EQ(male.values[1][0], -2.000001);
    EXPECT_EQ(male.values[2][0], 3.7);
    EXPECT_EQ(factorview::ItemGridCells(tables, 12, Tab(Surface::Siba, 12)).Text(1, 1), "0.123");
    for (std::size_t row = 1; row < 33; ++row) {
        EXPECT_EQ(male.categories[row], 0) << row;
        for (const auto& values : male.values) EXPECT_EQ(values[row], 0.0) << row;
    }
    const auto female = factorview::AgeChartPoints(tables, AgeSex::Female, 27);
    EXPECT_EQ(female.categories[0], 2);
    EXPECT_EQ(female.values[0][0], -0.5);
    EXPECT_EQ(female.values[0][1], 0.0);
}

}  // namespace
