#include "engine/model_tables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace {

using engine::ModelFile;
using engine::ModelScope;
using engine::Surface;
using engine::Target;

// Values joined the ways the files may separate them: commas, line ends, both, blank lines.
std::string Join(const std::vector<std::string>& values, bool quoted) {
    static const char* const kSeparators[] = {",", "\r\n", ",\r\n", " , ", "\r\n\r\n"};
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) out += kSeparators[i % 5];
        out += quoted ? "\"" + values[i] + "\"" : values[i];
    }
    return out + "\r\n";
}

// A model of 34 categories: item 1 two, item 2 three, item 3 none, item 4 three, items 5 to 30 one.
struct Model {
    std::vector<std::string> totals, labels, agari, pace, soha, counts;

    Model() {
        totals = {"2", "3", "0", "3"};
        for (int k = 5; k <= 30; ++k) totals.push_back("1");
        labels = {"201905   ", "201906   ",                      // item 1
                  "84         ", "6417K      ", "84         ",   // item 2: a label twice
                  "56", "56  ", "56  "};                         // item 4: blanks make labels differ
        agari = {"58.5", "59.25", "-.5", "1.234568E-02", "0.75", " 7 ", "-1.5E-01", "20.5"};
        pace = {"60", "61", "2", "3", "4", "5", "6", "7"};
        soha = {"-60", "-61", "-2", "-3", "-4", "-5", "-6", "-7"};
        counts = {"1200", "0", "31", "32", "33", "41", "42", "43"};
        for (int k = 5; k <= 30; ++k) {
            const std::string n = std::to_string(k);
            labels.push_back("I" + n);
            agari.push_back(n + ".125");
            pace.push_back(std::to_string(100 + k));
            soha.push_back(std::to_string(-100 - k));
            counts.push_back(std::to_string(1000 + k));
        }
    }

    void Write(const testsupport::TempAppFolder& dir, Surface s, const std::string& folder = "OPTION1N") const {
        auto put = [&](ModelFile f, const std::vector<std::string>& v, bool quoted) {
            dir.Write(folder + "/" + engine::ModelFileName(s, f), Join(v, quoted));
        };
        put(ModelFile::TotalData, totals, false);
        put(ModelFile::ItemCategory, labels, true);
        put(ModelFile::ItemCategoryCount, counts, false);
        put(ModelFile::SohaWeightData, soha, false);
        if (s != Surface::Shog) {
            put(ModelFile::AgariWeightData, agari, false);
            put(ModelFile::PaceWeightData, pace, false);
        }
    }
};

TEST(ModelTables, FileNames) {
    EXPECT_EQ(engine::ModelFileName(Surface::Siba, ModelFile::TotalData), "QA1SibaTotalData201901N2025.dat");
    EXPECT_EQ(engine::ModelFileName(Surface::Dirt, ModelFile::ItemCategory), "DirtItemCategory201901N2025.dat");
    EXPECT_EQ(engine::ModelFileName(Surface::Shog, ModelFile::ItemCategoryCount),
              "ShogItemCategoryCount201901N2025.dat");
    EXPECT_EQ(engine::ModelFileName(Surface::Dirt, ModelFile::PaceWeightData), "QA1DirtPaceWeightData201901N2025.dat");
    EXPECT_EQ(engine::ModelFilesOf(Surface::Siba).size(), 6u);
    EXPECT_EQ(engine::ModelFilesOf(Surface::Shog).size(), 4u);
    EXPECT_EQ(engine::WeightFile(Surface::Shog, Target::Agari), ModelFile::SohaWeightData);
    EXPECT_EQ(engine::WeightFile(Surface::Dirt, Target::Pace), ModelFile::PaceWeightData);
}

TEST(ModelTables, SurfaceByTrackCode) {
    EXPECT_EQ(engine::SurfaceOfTrack("10"), Surface::Siba);
    EXPECT_EQ(engine::SurfaceOfTrack("22"), Surface::Siba);
    EXPECT_EQ(engine::SurfaceOfTrack("23"), Surface::Dirt);
    EXPECT_EQ(engine::SurfaceOfTrack("29"), Surface::Dirt);
    EXPECT_EQ(engine::SurfaceOfTrack("50"), Surface::Shog);
    EXPECT_EQ(engine::SurfaceOfTrack("59"), Surface::Shog);
    for (const char* none : {"09", "30", "35", "49", "60", "  ", "", "01"}) EXPECT_FALSE(engine::SurfaceOfTrack(none)) << none;
}

TEST(ModelTables, ReadsEveryFileInItemOrder) {
    testsupport::TempAppFolder dir;
    Model().Write(dir, Surface::Siba);
    const auto t = engine::LoadModelTables(Surface::Siba, ModelScope::Weights);

    EXPECT_EQ(t.TotalData(1), 2);
    EXPECT_EQ(t.TotalData(3), 0);
    EXPECT_EQ(t.TotalData(30), 1);
    EXPECT_EQ(t.Label(2, 1), "201906   ");
    EXPECT_EQ(t.Label(2, 4), "56  ");
    EXPECT_EQ(t.Label(1, 30), "I30");
    // Weights as written, including the number forms of the files.
    EXPECT_EQ(t.Agari(1, 1), 58.5f);
    EXPECT_EQ(t.Agari(1, 2), -0.5f);
    EXPECT_EQ(t.Agari(2, 2), 1.234568E-02f);
    EXPECT_EQ(t.Agari(1, 4), 7.0f);
    EXPECT_EQ(t.Agari(2, 4), -0.15f);
    EXPECT_EQ(t.Pace(3, 4), 7.0f);
    EXPECT_EQ(t.Soha(3, 2), -4.0f);
    EXPECT_EQ(t.Agari(1, 30), 30.125f);
    EXPECT_EQ(t.Pace(1, 5), 105.0f);
    EXPECT_EQ(t.Soha(1, 17), -117.0f);
    EXPECT_EQ(t.Count(1, 1), 1200);
    EXPECT_EQ(t.Count(2, 1), 0);
    EXPECT_EQ(t.Count(3, 4), 43);
    EXPECT_EQ(t.Count(1, 29), 1029);
    // Category 0 and categories beyond an item's count weigh 0, up to the 6000 of the full tables.
    for (Target target : {Target::Agari, Target::Pace, Target::Soha}) {
        EXPECT_EQ(t.Weight(target, 0, 1), 0.0f);
        EXPECT_EQ(t.Weight(target, 3, 1), 0.0f);
        EXPECT_EQ(t.Weight(target, 1, 3), 0.0f);
        EXPECT_EQ(t.Weight(target, 6000, 30), 0.0f);
        EXPECT_EQ(t.Weight(target, 2, 0), 0.0f);
    }
    EXPECT_EQ(t.Count(0, 1), 0);
    EXPECT_EQ(t.Count(4, 4), 0);
    EXPECT_EQ(t.Label(0, 1), "");
    EXPECT_EQ(t.Label(3, 1), "");
    EXPECT_THROW(t.Weight(Target::Agari, 6001, 1), std::out_of_range);
    EXPECT_THROW(t.Weight(Target::Agari, -1, 1), std::out_of_range);
    EXPECT_THROW(t.Label(1, 31), std::out_of_range);
    EXPECT_THROW(t.TotalData(31), std::out_of_range);
}

TEST(ModelTables, LabelLookupIsExactAndTheFirstOfEqualLabelsWins) {
    testsupport::TempAppFolder dir;
    Model().Write(dir, Surface::Dirt);
    const auto t = engine::LoadModelTables(Surface::Dirt, ModelScope::Labels);

    EXPECT_EQ(t.FindCategoryIndex(1, "201906   "), 2);
    EXPECT_EQ(t.FindCategoryIndex(1, "201906"), 0);     // without its blanks
    EXPECT_EQ(t.FindCategoryIndex(4, "56  "), 2);       // categories 2 and 3 hold it: the first
    EXPECT_EQ(t.FindCategoryIndex(4, "56"), 1);
    EXPECT_EQ(t.FindCategoryIndex(4, "56 "), 0);
    EXPECT_EQ(t.FindCategoryIndex(2, "84         "), 1);  // categories 1 and 3
    EXPECT_EQ(t.FindCategoryIndex(3, "   "), 0);          // an item without categories
    EXPECT_EQ(t.FindCategoryIndex(3, ""), 0);
    // Item 2 alone tries an unknown draw again as course "6", on the first five characters.
    EXPECT_EQ(t.FindCategoryIndex(2, "5417K      "), 2);
    EXPECT_EQ(t.FindCategoryIndex(2, "5417       "), 0);  // "6417 " is not "6417K"
    EXPECT_EQ(t.FindCategoryIndex(2, "7310       "), 0);
    EXPECT_EQ(t.FindCategory(2, "5417K      "), 0);
    EXPECT_EQ(t.FindCategoryByFirstFive(2, "6417K"), 2);
    // The weights of a labels load are all 0.
    EXPECT_EQ(t.Agari(1, 1), 0.0f);
    EXPECT_EQ(t.Count(1, 1), 0);
}

TEST(ModelTables, HurdleModelWeighsEveryTargetWithItsSohaFile) {
    testsupport::TempAppFolder dir;
    Model m;
    m.Write(dir, Surface::Shog);
    // Stray files of the names the hurdle model does not have are not read.
    dir.Write("OPTION1N/" + engine::ModelFileName(Surface::Shog, ModelFile::AgariWeightData), Join(m.pace, false));
    const auto t = engine::LoadModelTables(Surface::Shog, ModelScope::Weights);
    for (int k = 1; k <= 30; ++k)
        for (int j = 0; j <= t.TotalData(k) + 1; ++j) {
            EXPECT_EQ(t.Agari(j, k), t.Soha(j, k)) << j << " " << k;
            EXPECT_EQ(t.Pace(j, k), t.Soha(j, k)) << j << " " << k;
        }
    EXPECT_EQ(t.Agari(2, 1), -61.0f);
    EXPECT_EQ(t.Pace(1, 30), -130.0f);
    EXPECT_EQ(t.Count(1, 1), 1200);
}

TEST(ModelTables, FileNamesInAnotherLetterCase) {
    testsupport::TempAppFolder dir;
    Model m;
    m.Write(dir, Surface::Siba, "Option1n");
    for (const auto& entry : std::filesystem::directory_iterator(dir / "Option1n")) {
        std::string lower = entry.path().filename().string();
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::filesystem::rename(entry.path(), entry.path().parent_path() / lower);
    }
    const auto t = engine::LoadModelTables(Surface::Siba, ModelScope::Weights);
    EXPECT_EQ(t.Agari(2, 1), 59.25f);
    EXPECT_EQ(t.Label(3, 2), "84         ");
}

// Every way a file can fail names that file.
TEST(ModelTables, BrokenFilesFailNamingTheFile) {
    struct Case {
        const char* what;
        ModelFile file;
        std::function<void(Model&)> breakIt;
    };
    const Case cases[] = {
        {"29 category counts", ModelFile::TotalData, [](Model& m) { m.totals.pop_back(); }},
        {"a count above 6000", ModelFile::TotalData, [](Model& m) { m.totals[29] = "6001"; }},
        {"a negative count", ModelFile::TotalData, [](Model& m) { m.totals[5] = "-1"; }},
        {"a count that is not a number", ModelFile::TotalData, [](Model& m) { m.totals[0] = "2x"; }},
        {"one label short", ModelFile::ItemCategory, [](Model& m) { m.labels.pop_back(); }},
        {"one Agari weight short", ModelFile::AgariWeightData, [](Model& m) { m.agari.pop_back(); }},
        {"one Pace weight short", ModelFile::PaceWeightData, [](Model& m) { m.pace.pop_back(); }},
        {"one Soha weight short", ModelFile::SohaWeightData, [](Model& m) { m.soha.pop_back(); }},
        {"a weight that is not a number", ModelFile::PaceWeightData, [](Model& m) { m.pace[3] = "abc"; }},
        {"a weight too large for single precision", ModelFile::SohaWeightData, [](Model& m) { m.soha[0] = "1E+40"; }},
        {"one training count short", ModelFile::ItemCategoryCount, [](Model& m) { m.counts.pop_back(); }},
        {"an empty file", ModelFile::ItemCategoryCount, [](Model& m) { m.counts.clear(); }},
        // A line duplicated would move every later value one category on.
        {"31 category counts", ModelFile::TotalData, [](Model& m) { m.totals.push_back("1"); }},
        {"a label line duplicated", ModelFile::ItemCategory,
         [](Model& m) { m.labels.insert(m.labels.begin() + 3, m.labels[3]); }},
        {"an Agari weight duplicated", ModelFile::AgariWeightData,
         [](Model& m) { m.agari.insert(m.agari.begin() + 1, m.agari[1]); }},
        {"a Pace weight duplicated", ModelFile::PaceWeightData, [](Model& m) { m.pace.push_back(m.pace.back()); }},
        {"a Soha weight duplicated", ModelFile::SohaWeightData, [](Model& m) { m.soha.insert(m.soha.begin(), "-60"); }},
        {"a training count duplicated", ModelFile::ItemCategoryCount,
         [](Model& m) { m.counts.insert(m.counts.begin() + 5, m.counts[5]); }},
    };
    for (const auto& c : cases) {
        testsupport::TempAppFolder dir;
        Model m;
        c.breakIt(m);
        m.Write(dir, Surface::Dirt);
        if (m.counts.empty()) dir.Write("OPTION1N/" + engine::ModelFileName(Surface::Dirt, ModelFile::ItemCategoryCount), "");
        try {
            engine::LoadModelTables(Surface::Dirt, ModelScope::Weights);
            ADD_FAILURE() << c.what << ": loaded";
        } catch (const engine::ModelFileError& e) {
            EXPECT_NE(std::string(e.what()).find(engine::ModelFileName(Surface::Dirt, c.file)), std::string::npos)
                << c.what << ": " << e.what();
        }
    }
}

TEST(ModelTables, MissingFilesFailOnlyTheScopeThatReadsThem) {
    testsupport::TempAppFolder dir;
    Model().Write(dir, Surface::Siba);
    std::filesystem::remove(dir / ("OPTION1N/" + engine::ModelFileName(Surface::Siba, ModelFile::PaceWeightData)));
    EXPECT_EQ(engine::LoadModelTables(Surface::Siba, ModelScope::Labels).TotalData(2), 3);
    try {
        engine::LoadModelTables(Surface::Siba, ModelScope::Weights);
        ADD_FAILURE() << "loaded without its Pace file";
    } catch (const engine::ModelFileError& e) {
        EXPECT_NE(std::string(e.what()).find("QA1SibaPaceWeightData201901N2025.dat"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(dir.Exists("OPTION1N/" + engine::ModelFileName(Surface::Siba, ModelFile::PaceWeightData)));
    EXPECT_THROW(engine::LoadModelTables(Surface::Dirt, ModelScope::Labels), engine::ModelFileError);
}

TEST(ModelTables, CacheReadsEachSurfaceOnce) {
    testsupport::TempAppFolder dir;
    Model().Write(dir, Surface::Siba);
    engine::ModelCache cache;
    EXPECT_THROW(cache.Labels(Surface::Dirt), engine::ModelFileError);
    const engine::ModelTables& labels = cache.Labels(Surface::Siba);
    const engine::ModelTables& weights = cache.Weights(Surface::Siba);
    EXPECT_EQ(weights.Agari(1, 1), 58.5f);
    EXPECT_EQ(&cache.Labels(Surface::Siba), &weights);  // the fuller tables serve labels too
    EXPECT_EQ(labels.TotalData(1), 2);                   // and the earlier reference still holds
    std::filesystem::remove_all(dir / "OPTION1N");
    EXPECT_EQ(&cache.Weights(Surface::Siba), &weights);  // not read again
    cache.Clear();
    EXPECT_THROW(cache.Weights(Surface::Siba), engine::ModelFileError);
}

}  // namespace
