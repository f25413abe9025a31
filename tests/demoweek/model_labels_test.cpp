// The supplied model of a generated week against the program itself: the week is served by the
// folder-backed stand-in, fetched, built into structures and expanded by the program's own steps,
// and every label the engine's items give the runs it labels (each horse's newest four) must be a
// category of its surface's model, before the races and after the results, with and without the
// day-before fix.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "acquisition/download_starter.h"
#include "acquisition/run_files.h"
#include "acquisition/structure_building.h"
#include "acquisition/weekly_fetch.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "dataservice/local_jvlink.h"
#include "engine/day_before_fix.h"
#include "engine/ex_builder.h"
#include "engine/ex_record.h"
#include "engine/model_items.h"
#include "engine/model_tables.h"
#include "engine/surface.h"
#include "generator.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// Labels looked up per item: how many, and the first few that the model lacks.
struct Coverage {
    std::array<int, 31> looked{}, found{};
    std::vector<std::string> missing;
    int records = 0;
    std::set<std::string> weatherGoing;  // item 29's first two characters of this week's runs
};

class ProgramRoad {
public:
    explicit ProgramRoad(demoweek::WeekState state) {
        demoweek::Options options;
        options.folder = folder_.Path();
        options.scale = demoweek::SmallScale();
        options.seed = 20250607;
        options.state = state;
        const demoweek::Summary summary = demoweek::GenerateWeek(options);
        EXPECT_EQ(summary.labelFailures, 0) << summary.firstLabelFailure;

        folder_.Write("jvlink.settings", "pace=0\n");  // everything downloaded already
        dataservice::LocalJVLink::Config config;
        config.settingsFile = folder_ / "jvlink.settings";
        dataservice::LocalJVLink link(std::move(config));
        std::int32_t downloadCount = 0;
        std::int16_t dialogResult = 0;
        acquisition::DownloadStarter starter{link, downloadCount, dialogResult, host_};
        acquisition::FetchThisWeek(starter, [](acquisition::DownloadStarter& s) { s.DialogResult = acquisition::kDownloadDone; });
        acquisition::BuildWeekStructures(host_);
        horses_ = acquisition::ReadKeyList(folder_ / acquisition::kHorseList);

        // This week's part of the horse statistics, as the computation copies it before labelling.
        std::string subset;
        const std::string all = folder_.Read("OPTION1N/KYOSOBA.dat");
        const std::set<std::string> week(horses_.begin(), horses_.end());
        for (std::size_t at = 0; at + 228 <= all.size(); at += 228)
            if (week.contains(all.substr(at, 10))) subset += all.substr(at, 228);
        folder_.Write("OPTION1N/KYOSOBATHISWEEK.dat", subset);

        for (const engine::Surface s : engine::kSurfaces)
            models_[static_cast<std::size_t>(engine::SurfaceIndex(s))] =
                engine::LoadModelTables(s, engine::ModelScope::Labels);
    }

    void FixPreviousDay() {
        const engine::DayBeforeFixSummary fix = engine::FixPreviousDay(host_, {});
        EXPECT_EQ(fix.failures, 0) << folder_.Read("ERRORLOG.txt");
    }

    // Expands every horse's runs and labels its newest four, as the computation does.
    Coverage LabelNewestRuns() {
        const engine::ExBuildSummary built = engine::BuildExRecords(horses_);
        EXPECT_EQ(built.horsesPassedOver, 0) << folder_.Read("ERRORLOG.txt");
        const engine::ItemStatistics stats = engine::LoadItemStatistics();
        Coverage c;
        for (const std::string& ketto : horses_) {
            std::vector<engine::ExRecord> runs = engine::ExRecordFile::OfHorse(ketto).ReadAll(engine::kExBuildStep);
            const int n = static_cast<int>(runs.size());
            for (int r = std::max(1, n - 3); r <= n; ++r) {
                const auto failures = engine::ComputeItemLabels(std::span<engine::ExRecord>(runs), r, stats);
                EXPECT_TRUE(failures.empty()) << ketto << " run " << r << ": " << failures.front().reason;
                const engine::ExRecord& run = runs[static_cast<std::size_t>(r - 1)];
                const auto surface = engine::SurfaceOfTrack(run.Get(engine::ex::TrackCD));
                if (!surface) continue;
                ++c.records;
                const engine::ModelTables& model = models_[static_cast<std::size_t>(engine::SurfaceIndex(*surface))];
                for (int k = 1; k <= 30; ++k) {
                    ++c.looked[static_cast<std::size_t>(k)];
                    if (model.FindCategory(k, run.ItemLabel(k)) > 0) ++c.found[static_cast<std::size_t>(k)];
                    else if (c.missing.size() < 10)
                        c.missing.push_back(ketto + " run " + std::to_string(r) + " item " + std::to_string(k) + " '" +
                                            std::string(run.ItemLabel(k)) + "'");
                }
                if (r == n) c.weatherGoing.insert(std::string(run.ItemLabel(29).substr(0, 2)));
            }
        }
        return c;
    }

private:
    testsupport::TempAppFolder folder_;
    testsupport::RecordingHost host_;
    std::vector<std::string> horses_;
    std::array<engine::ModelTables, 3> models_;
};

void ExpectEveryLabelFound(const Coverage& c, const char* what) {
    EXPECT_GT(c.records, 100) << what;
    for (int k = 1; k <= 30; ++k) {
        EXPECT_GT(c.looked[static_cast<std::size_t>(k)], 0) << what;
        EXPECT_EQ(c.found[static_cast<std::size_t>(k)], c.looked[static_cast<std::size_t>(k)]) << what << ", item " << k;
    }
    for (const std::string& m : c.missing) ADD_FAILURE() << what << ": not in the model: " << m;
}

TEST(DemoWeekModel, EveryLabelTheProgramGivesTheNewestRunsIsACategoryOfItsSurface) {
    for (const demoweek::WeekState state : {demoweek::WeekState::Before, demoweek::WeekState::After}) {
        const bool after = state == demoweek::WeekState::After;
        ProgramRoad road(state);
        const Coverage asFetched = road.LabelNewestRuns();
        ExpectEveryLabelFound(asFetched, after ? "after the results" : "before the races");

        road.FixPreviousDay();
        const Coverage fixed = road.LabelNewestRuns();
        ExpectEveryLabelFound(fixed, after ? "after the results, fixed" : "before the races, fixed");
        // The fix gives the week's races that were run fine weather and good going after the
        // results; before the races it leaves the cards' weather and going alone.
        if (after) {
            EXPECT_NE(asFetched.weatherGoing, fixed.weatherGoing);
        } else {
            EXPECT_EQ(asFetched.weatherGoing, fixed.weatherGoing);
        }
    }
}

}  // namespace
