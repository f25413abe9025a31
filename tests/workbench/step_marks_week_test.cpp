#include <algorithm>
#include <filesystem>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "acquisition/download_starter.h"
#include "acquisition/odds_tables.h"
#include "acquisition/race_cancellation.h"
#include "acquisition/structure_building.h"
#include "acquisition/weekly_fetch.h"
#include "app/startup.h"
#include "common/file_faults.h"
#include "common/step_marks.h"
#include "dataservice/local_jvlink.h"
#include "dataservice/scripted_jvlink.h"
#include "engine/computation.h"
#include "engine/day_before_fix.h"
#include "generator.h"
#include "history/atari_list.h"
#include "history/index_rebuild.h"
#include "history/past_results.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"
#include "workbench/breaking_payouts.h"
#include "workbench/weekly_batch.h"
#include "writers/race_writers.h"

// The marks of the steps that rewrite many files, on a small generated week: a run killed half way
// leaves its mark, the start-up names it, a step that reads its files says so, and a run that ends,
// whatever it passed over, takes its mark away.
namespace {

using common::MarkedStep;
using ::testing::HasSubstr;
using Strings = std::vector<std::string>;

// Every call of the host, and of the progress bars and the data service, is a point where the
// program can be ended; when `kill` is set the first such point ends the process.
struct Probe {
    bool kill = false;
    void operator()() const {
        if (kill) std::_Exit(0);
    }
};

class ProbeHost : public testsupport::RecordingHost {
public:
    explicit ProbeHost(Probe& probe) : probe_(probe) {}
    void setStatus(common::StatusBox box, std::string_view text) override {
        probe_();
        RecordingHost::setStatus(box, text);
    }
    void pumpEvents() override {
        probe_();
        RecordingHost::pumpEvents();
    }

private:
    Probe& probe_;
};

class ProbeLink : public dataservice::ScriptedJVLink {
public:
    explicit ProbeLink(Probe& probe) : probe_(probe) {}
    int JVRTOpen(std::string_view dataspec, std::string_view key) override {
        probe_();
        return ScriptedJVLink::JVRTOpen(dataspec, key);
    }

private:
    Probe& probe_;
};

struct Row {
    MarkedStep step;
    int failingCall;          // a file call of the run after its mark is set
    Strings readsUnfinished;  // the names its end text gives while the marks before it stand
    std::function<std::string(ProbeHost&, ProbeLink&, Probe&)> run;  // returns the end text
};

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = {
        {MarkedStep::Structures, 60, {"①今週開催取得"},
         [](ProbeHost& host, ProbeLink&, Probe&) {
             acquisition::BuildWeekStructures(host);
             return host.Status(common::StatusBox::Text4);
         }},
        {MarkedStep::Cancellation, 60, {"②構造・中止処理"},
         [](ProbeHost& host, ProbeLink& link, Probe&) {
             std::string text;
             acquisition::ApplyRaceCancellations(link, host, [&](std::string_view t) { text = t; });
             return text;
         }},
        {MarkedStep::DayBeforeFix, 60, {"①今週開催取得", "②構造・中止処理", "②中止処理"},
         [](ProbeHost& host, ProbeLink&, Probe& probe) {
             std::string text;
             engine::FixPreviousDay(host, {[&](std::string_view t) { text = t; }, [&](int) { probe(); }});
             return text;
         }},
        {MarkedStep::Computation, 60, {"①今週開催取得", "②構造・中止処理", "②中止処理", "④前日固定"},
         [](ProbeHost& host, ProbeLink&, Probe&) { return engine::ComputationEndText(engine::RunComputation(host)); }},
        {MarkedStep::WeeklyBatch, 60, {"①今週開催取得", "②構造・中止処理", "②中止処理", "④前日固定", "⑤計算"},
         [](ProbeHost& host, ProbeLink&, Probe&) {
             return workbench::BatchEndText(workbench::WeeklyYosoBatch(host, writers::kRaceWriters));
         }},
        {MarkedStep::BreakingPayouts, 10, {"①今週開催取得", "②構造・中止処理", "②中止処理", "④前日固定", "⑥予想・結果"},
         [](ProbeHost& host, ProbeLink& link, Probe&) {
             return workbench::BreakingPayoutsEndText(workbench::MergeBreakingResults(link, host));
         }},
        {MarkedStep::IndexRebuild, 60, {"⑥予想・結果"},
         [](ProbeHost& host, ProbeLink&, Probe&) {
             // The past-results window's load: the stored days (not a marked step), then the index.
             testsupport::RecordingHost scanHost;
             history::PastResultsLoad load;
             load.days = history::ScanTekichuDays(scanHost);
             load.rebuild = history::RebuildSokudoFiles(host);
             return history::PastResultsEndText(load.Failures(), load.rebuild.unfinishedInputs);
         }},
        {MarkedStep::AtariList, 20, {"⑥予想・結果"},
         [](ProbeHost& host, ProbeLink&, Probe& probe) {
             const history::AtariList l = history::CollectAtariList(host, [&] { probe(); });
             return history::AtariListEndText(l.passedOver, l.unfinishedInputs);
         }},
    };
    return rows;
}

class StepMarksOfAWeek : public ::testing::Test {
protected:
    void SetUp() override {
        demoweek::Options options;
        options.folder = folder.Path();
        options.scale = demoweek::SmallScale();
        options.seed = 20250607;
        options.pastWeeks = 2;  // stored days for the past-results steps
        demoweek::GenerateWeek(options);
        demoweek::WritePastWeeks(options);

        folder.Write("jvlink.settings", "pace=0\n");
        dataservice::LocalJVLink::Config config;
        config.settingsFile = folder / "jvlink.settings";
        dataservice::LocalJVLink local(std::move(config));
        std::int32_t downloadCount = 0;
        std::int16_t dialogResult = 0;
        acquisition::DownloadStarter starter{local, downloadCount, dialogResult, host};
        acquisition::FetchThisWeek(starter, [](acquisition::DownloadStarter& s) { s.DialogResult = acquisition::kDownloadDone; });
        // The whole week once, so that every step finds what it reads.
        for (const Row& row : Rows()) row.run(host, link, probe);
        ASSERT_THAT(common::StandingStepMarks(), ::testing::IsEmpty());
    }

    Probe probe;
    testsupport::TempAppFolder folder;
    ProbeHost host{probe};
    ProbeLink link{probe};
};

TEST_F(StepMarksOfAWeek, AKilledRunLeavesItsMarkTheStartUpNamesItAndReadersSaySo) {
    ::testing::FLAGS_gtest_death_test_style = "fast";
    // Each step is ended half way, at the first point where the program could be ended.
    for (const Row& row : Rows()) {
        SCOPED_TRACE(common::MarkOf(row.step).markFile);
        EXPECT_EXIT(
            {
                probe.kill = true;
                row.run(host, link, probe);
                std::_Exit(1);  // the run never came to such a point
            },
            ::testing::ExitedWithCode(0), "");
        EXPECT_TRUE(common::StepMarkStands(row.step));
    }

    testsupport::RecordingHost startUp;
    app::MainMenuStartUp(startUp);
    const Strings messages = startUp.Messages();
    for (const Row& row : Rows())
        EXPECT_EQ(std::count(messages.begin(), messages.end(), std::string(common::MarkOf(row.step).unfinished)), 1)
            << common::MarkOf(row.step).markFile;
    EXPECT_THAT(messages, ::testing::Contains("前回の計算が終了していません。⑤計算をもう一度実行して下さい。"));

    // The mark a fetch cut off between its renames leaves (it reads into scratch files and marks
    // only the renames: the fetch's own tests end it there).
    common::SetStepMark(MarkedStep::WeeklyFetch);

    // Run again from the last step back, each with a file call failing on the way: every step still
    // finds the marks of the steps before it, names them, and takes its own away at its end.
    for (auto row = Rows().rbegin(); row != Rows().rend(); ++row) {
        SCOPED_TRACE(common::MarkOf(row->step).markFile);
        std::filesystem::remove(folder / "ERRORLOG.txt");
        common::FailNthFileCall(row->failingCall);
        const std::string text = row->run(host, link, probe);
        const bool failed = common::FileCallFailed();
        const auto calls = common::FileCallCount();
        common::FailNthFileCall(0);
        EXPECT_TRUE(failed) << calls << " calls\n" << folder.Read("ERRORLOG.txt") << text;
        EXPECT_FALSE(common::StepMarkStands(row->step));
        const std::string log = folder.Read("ERRORLOG.txt");
        for (const std::string& name : row->readsUnfinished) EXPECT_THAT(text, HasSubstr(name + "が途中で終了しています"));
        for (MarkedStep input : common::MarkedInputsOf(row->step))
            EXPECT_NE(log.find(std::string(common::MarkOf(input).markFile) + " stands"), std::string::npos)
                << common::MarkOf(input).markFile;
        if (row->readsUnfinished.empty()) {
            EXPECT_THAT(text, ::testing::Not(HasSubstr("途中で終了しています")));
        }
    }
    EXPECT_THAT(common::StandingStepMarks(), ::testing::ElementsAre(MarkedStep::WeeklyFetch));
}

// The odds tables call nothing while they build: a build whose mark cannot be removed shows that
// the mark stood to its end, and a build that passed a file over still removes it.
TEST_F(StepMarksOfAWeek, OddsTablesMarkStandsWhileTheyBuild) {
    for (std::int16_t source : {acquisition::kOddsSourceThisWeek, acquisition::kOddsSourceBreaking}) {
        const MarkedStep step =
            source == acquisition::kOddsSourceBreaking ? MarkedStep::BreakingOddsTables : MarkedStep::WeekOddsTables;
        SCOPED_TRACE(common::MarkOf(step).markFile);
        common::FailNthFileCall(0);
        acquisition::BuildOddsTables(source);
        const std::int64_t calls = common::FileCallCount();
        common::FailNthFileCall(calls);  // the last call: the mark's removal
        const acquisition::OddsTablesResult kept = acquisition::BuildOddsTables(source);
        EXPECT_TRUE(common::FileCallFailed());
        EXPECT_TRUE(common::StepMarkStands(step));
        EXPECT_GE(kept.passedOver, 1);

        common::FailNthFileCall(calls / 2);
        acquisition::BuildOddsTables(source);
        EXPECT_TRUE(common::FileCallFailed());
        common::FailNthFileCall(0);
        EXPECT_FALSE(common::StepMarkStands(step));
    }
}

}  // namespace
