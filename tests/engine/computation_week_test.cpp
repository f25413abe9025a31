#include <cstdint>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "acquisition/download_starter.h"
#include "acquisition/run_files.h"
#include "acquisition/structure_building.h"
#include "acquisition/weekly_fetch.h"
#include "common/paths.h"
#include "dataservice/local_jvlink.h"
#include "engine/computation.h"
#include "engine/ex_builder.h"
#include "engine/model_tables.h"
#include "engine/prediction.h"
#include "engine/surface.h"
#include "generator.h"
#include "prediction_fixtures.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

// The road from the data service to the predicted speeds on a small generated week: the demo week
// is fetched through the folder-backed stand-in, built into structures, then computed.
namespace {

namespace fs = std::filesystem;
using namespace predictionfixtures;
using Strings = std::vector<std::string>;

Strings Records(const std::string& bytes, std::size_t length) {
    Strings out;
    for (std::size_t at = 0; at + length <= bytes.size(); at += length) out.push_back(bytes.substr(at, length));
    return out;
}

class ComputationOfADemoWeek : public ::testing::Test {
protected:
    void SetUp() override {
        demoweek::Options options;
        options.folder = folder.Path();
        options.scale = demoweek::SmallScale();
        options.seed = 20250607;
        saturday = options.saturday.Ymd();
        sunday = options.saturday.Plus(1).Ymd();
        demoweek::GenerateWeek(options);

        folder.Write("jvlink.settings", "pace=0\n");
        dataservice::LocalJVLink::Config config;
        config.settingsFile = folder / "jvlink.settings";
        dataservice::LocalJVLink link(std::move(config));
        std::int32_t downloadCount = 0;
        std::int16_t dialogResult = 0;
        acquisition::DownloadStarter starter{link, downloadCount, dialogResult, host};
        acquisition::FetchThisWeek(starter, [](acquisition::DownloadStarter& s) { s.DialogResult = acquisition::kDownloadDone; });
        acquisition::BuildWeekStructures(host);
        ASSERT_TRUE(host.Messages().empty()) << host.Messages().front();
        horses = acquisition::ReadKeyList(common::AppPath(acquisition::kHorseList));
        ASSERT_FALSE(horses.empty());
    }

    std::string ExFile(const std::string& kettoNum) const { return folder.Read("UMAGOTOEXTHISWEEKN/" + kettoNum + "EX.dat"); }

    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    std::string saturday, sunday;
    Strings horses;
};

// Every runner of this week's races has its run among its horse's expanded records, with
// measured-speed fields, category indices and predicted speeds.
TEST_F(ComputationOfADemoWeek, EveryRunnerOfTheWeekHasPredictedSpeeds) {
    std::string text3;
    std::vector<int> bar3;
    const engine::ComputationSummary s = engine::RunComputation(
        host, {[&](std::string_view t) { text3 = t; }, [&](int v) { bar3.push_back(v); }, {}});
    EXPECT_TRUE(s.AllDone()) << engine::ComputationEndText(s) << "\n" << folder.Read("ERRORLOG.txt");
    EXPECT_EQ(text3, "計算終了");
    ASSERT_FALSE(bar3.empty());
    EXPECT_EQ(bar3.back(), 100);
    EXPECT_EQ(s.horses, static_cast<std::int64_t>(horses.size()));
    EXPECT_EQ(s.filesWritten, s.horses);
    EXPECT_GT(s.horseStatsRecords, 0);
    EXPECT_GT(s.damStatsRecords, 0);

    int runners = 0;
    for (const std::string& se : Records(folder.Read("SETHISWEEKNNEW.dat"), 555)) {
        const std::string date = se.substr(11, 8);
        if (date != saturday && date != sunday) continue;
        ++runners;
        const std::string kettoNum = se.substr(30, 10);
        const std::string raceId = se.substr(11, 16);  // Year .. RaceNum
        std::optional<std::string> found;
        for (const std::string& r : Records(ExFile(kettoNum), 2603))
            if (At(r, kYear, 16) == raceId && At(r, kKettoNum, 10) == kettoNum) found = r;
        ASSERT_TRUE(found) << kettoNum << " " << raceId;
        const std::string& r = *found;
        EXPECT_EQ(At(r, IndexAt(1), 4).find_first_not_of(' '), 0u) << kettoNum;
        for (int i = 3; i <= 5; ++i) {
            const std::string speed = At(r, SpeedAt(i), 7);
            EXPECT_EQ(speed.find_first_not_of("0123456789"), std::string::npos) << kettoNum << " " << speed;
        }
        for (int i = 96; i <= 99; ++i) {
            EXPECT_GT(FloatOf(r, i), 30.0f) << kettoNum << " float " << i;
            EXPECT_LT(FloatOf(r, i), 80.0f) << kettoNum << " float " << i;
        }
    }
    EXPECT_GT(runners, 20);
}

// Expanding and predicting each horse in memory gives the files that the expansion of every horse
// followed by the prediction of every horse gives.
TEST_F(ComputationOfADemoWeek, InMemoryRunEqualsTheTwoPasses) {
    engine::RunComputation(host);
    std::map<std::string, std::string> inMemory;
    for (const std::string& h : horses) inMemory[h] = ExFile(h);

    const engine::ExBuildSummary built = engine::BuildExRecords(horses);
    ASSERT_EQ(built.horsesPassedOver, 0);
    const engine::PredictionSummary predicted =
        engine::PredictAllRunners(horses, engine::PredictionModel::Load(), host);
    EXPECT_EQ(predicted.runsFailed, 0);
    std::int64_t bytes = 0;
    for (const std::string& h : horses) {
        const std::string twoPass = ExFile(h);
        EXPECT_TRUE(twoPass == inMemory[h]) << h;
        bytes += static_cast<std::int64_t>(twoPass.size());
    }
    EXPECT_GT(bytes, 100 * 2603);
}

// The labels of the week's runs hit the model's categories: of the labels of items for which the
// run's surface has categories, nine in ten are found.
TEST_F(ComputationOfADemoWeek, LabelsFindTheirCategories) {
    engine::RunComputation(host);
    const engine::PredictionModel model = engine::PredictionModel::Load();
    std::map<int, int> tried, missed;
    std::map<int, std::string> missedExample;
    for (const std::string& h : horses) {
        const Strings records = Records(ExFile(h), 2603);
        const std::size_t n = records.size();
        for (std::size_t i = n > 4 ? n - 4 : 0; i < n; ++i) {
            const std::string& r = records[i];
            const auto surface = engine::SurfaceOfTrack(At(r, kTrackCD, 2));
            const std::string jyo = At(r, kJyoCD, 2);
            if (!surface || jyo < "01" || jyo > "10" || At(r, kYear, 8) < "20160101") continue;
            const engine::ModelTables* tables = model.Tables(*surface);
            ASSERT_NE(tables, nullptr);
            for (int k = 1; k <= 30; ++k) {
                if (tables->TotalData(k) == 0) continue;
                ++tried[k];
                if (At(r, IndexAt(k), 4) != Padded("0", 4)) continue;
                ++missed[k];
                missedExample[k] = "'" + At(r, kItemAt[k], kItemWidth[k]) + "' (" + std::string(engine::SurfaceName(*surface)) + ")";
            }
        }
    }
    int all = 0, misses = 0;
    std::ostringstream report;
    for (const auto& [k, t] : tried) {
        all += t;
        misses += missed[k];
        if (missed[k]) report << "item " << k << ": " << missed[k] << " of " << t << " missed, e.g. " << missedExample[k] << "\n";
    }
    ASSERT_GT(all, 0);
    EXPECT_GE((all - misses) * 10, all * 9) << misses << " of " << all << " labels missed\n" << report.str();
    RecordProperty("labels", all);
    RecordProperty("missed", misses);
    if (misses) std::cout << misses << " of " << all << " labels missed\n" << report.str();
}

}  // namespace
