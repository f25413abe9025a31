#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "acquisition/download_starter.h"
#include "acquisition/race_cancellation.h"
#include "acquisition/run_files.h"
#include "acquisition/structure_building.h"
#include "acquisition/weekly_fetch.h"
#include "dataservice/local_jvlink.h"
#include "generator.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

// Race cancellation on a small generated week served by the folder-backed stand-in: fetched by
// the weekly fetch, built into structures, then the cancelled race taken out through the
// breaking-news files of its dates.
namespace {

using Strings = std::vector<std::string>;

Strings Records(const std::string& bytes, std::size_t length) {
    Strings out;
    for (std::size_t at = 0; at + length <= bytes.size(); at += length) out.push_back(bytes.substr(at, length));
    return out;
}

// RaceId at bytes 12-27 and DataKubun at byte 3 of RA and SE records.
std::string RaceIdOf(const std::string& record) { return record.substr(11, 16); }
char KindOf(const std::string& record) { return record[2]; }

// Year, JyoCD, Kaiji, Nichiji and RaceNum of a RaceId: what a breaking "9" record is matched by.
std::string MatchKeyOf(const std::string& raceId) { return raceId.substr(0, 4) + raceId.substr(8, 8); }

// Asserts that no other race of the file shares the race's meeting day and number.
void ExpectOnlyRaceOfItsKey(const std::vector<std::string>& races, const std::string& raceId) {
    for (const std::string& r : races)
        ASSERT_TRUE(r.substr(11, 16) == raceId || MatchKeyOf(r.substr(11, 16)) != MatchKeyOf(raceId)) << r.substr(11, 16);
}

std::size_t CountOfRace(const Strings& records, const std::string& raceId) {
    std::size_t n = 0;
    for (const std::string& r : records) n += RaceIdOf(r) == raceId;
    return n;
}

struct DemoWeek {
    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    // A week that opens a month. The generator numbers the meeting day of a past race held on a
    // weekday as if it were the next weekend's, so a week later in the month can share Kaiji and
    // Nichiji with a past race; the JRA's own numbering never repeats a meeting day.
    demoweek::World world = demoweek::BuildWorld(20241012, demoweek::SmallScale(), demoweek::DayOf(2025, 11, 1));

    explicit DemoWeek(demoweek::WeekState state) {
        demoweek::WriteWeek(world, state, folder.Path());
        folder.Write("jvlink.settings", "pace=0\n");  // everything downloaded already
    }

    std::unique_ptr<dataservice::LocalJVLink> Link() const {
        dataservice::LocalJVLink::Config config;
        config.settingsFile = folder / "jvlink.settings";
        return std::make_unique<dataservice::LocalJVLink>(std::move(config));
    }

    void FetchAndBuild() {
        const auto link = Link();
        std::int32_t downloadCount = 0;
        std::int16_t dialogResult = 0;
        acquisition::DownloadStarter starter{*link, downloadCount, dialogResult, host};
        acquisition::FetchThisWeek(starter, [](acquisition::DownloadStarter& s) { s.DialogResult = acquisition::kDownloadDone; });
        acquisition::BuildWeekStructures(host);
    }

    acquisition::CancellationSummary Cancel() {
        const auto link = Link();
        return acquisition::ApplyRaceCancellations(*link, host, nullptr);
    }

    std::string CancelledRace() const { return world.races[static_cast<std::size_t>(world.cancelledRace)].RaceId(); }

    // Every listed horse's run file.
    std::map<std::string, std::string> RunFiles() const {
        std::map<std::string, std::string> files;
        for (const std::string& horse : acquisition::ReadKeyList(folder / "KETTONUMTHISWEEKN.dat"))
            files[horse] = folder.Read("UMAGOTOTHISWEEKN/" + horse + ".dat");
        return files;
    }
};

// The results are in: the cancelled race came in as kind "9" and structure building kept it in
// both copies; cancellation takes it out of the working copies and the run files.
TEST(RaceCancellationOfADemoWeek, AfterTheResultsTheCancelledRaceLeavesWorkingCopiesAndRunFiles) {
    DemoWeek week(demoweek::WeekState::After);
    week.FetchAndBuild();
    const std::string cancelled = week.CancelledRace();
    const Strings racesBefore = Records(week.folder.Read("RATHISWEEKNNEW.dat"), 1272);
    const Strings runnersBefore = Records(week.folder.Read("SETHISWEEKNNEW.dat"), 555);
    ASSERT_EQ(CountOfRace(racesBefore, cancelled), 1u);
    ExpectOnlyRaceOfItsKey(racesBefore, cancelled);
    const std::size_t cancelledRunners = CountOfRace(runnersBefore, cancelled);
    ASSERT_GT(cancelledRunners, 0u);
    ASSERT_FALSE(week.folder.Exists("ERRORLOG.txt")) << week.folder.Read("ERRORLOG.txt");

    const acquisition::CancellationSummary summary = week.Cancel();

    EXPECT_EQ(summary.outcome, acquisition::CancellationOutcome::Done);
    EXPECT_FALSE(week.folder.Exists("ERRORLOG.txt")) << week.folder.Read("ERRORLOG.txt");
    EXPECT_TRUE(week.host.Messages().empty());
    ASSERT_EQ(summary.dates.size(), 3u);
    EXPECT_EQ(summary.dates[0], week.world.weekDays.back().Ymd());
    EXPECT_EQ(summary.dates[1], week.world.weekDays.front().Ymd());

    // Every race, runner and payout of the week's two dates came in once; the third date is a past
    // one with no breaking news.
    std::size_t weekRunners = 0;
    for (int i = 0; i < week.world.weekRaceCount; ++i) weekRunners += week.world.races[static_cast<std::size_t>(i)].slots.size();
    EXPECT_EQ(Records(week.folder.Read("RARIALTIME.dat"), 1272).size(), static_cast<std::size_t>(week.world.weekRaceCount));
    EXPECT_EQ(Records(week.folder.Read("SERIALTIME.dat"), 555).size(), weekRunners);
    // Payouts: every race but the cancelled one, and one race's earlier version besides.
    EXPECT_EQ(Records(week.folder.Read("HRRIALTIME.dat"), 719).size(), static_cast<std::size_t>(week.world.weekRaceCount));

    // The full copies keep every record; the working copies lose the cancelled race only.
    EXPECT_EQ(Records(week.folder.Read("RATHISWEEKNNEWd.dat"), 1272).size(), racesBefore.size());
    EXPECT_EQ(Records(week.folder.Read("SETHISWEEKNNEWd.dat"), 555).size(), runnersBefore.size());
    const Strings races = Records(week.folder.Read("RATHISWEEKNNEW.dat"), 1272);
    const Strings runners = Records(week.folder.Read("SETHISWEEKNNEW.dat"), 555);
    EXPECT_EQ(CountOfRace(races, cancelled), 0u);
    EXPECT_EQ(CountOfRace(runners, cancelled), 0u);
    EXPECT_EQ(races.size(), racesBefore.size() - 1);
    EXPECT_EQ(runners.size(), runnersBefore.size() - cancelledRunners);

    // No run file holds a run of the cancelled race; together they hold every remaining runner.
    std::size_t runRecords = 0;
    for (const auto& [horse, bytes] : week.RunFiles()) {
        const Strings runs = Records(bytes, 555);
        EXPECT_EQ(CountOfRace(runs, cancelled), 0u) << horse;
        runRecords += runs.size();
    }
    EXPECT_EQ(runRecords, runners.size());
}

// The usual case: structure building ran on the race cards, then the race was called off. Its
// breaking "9" records mark the card's records, which leave the working copies and the run files.
TEST(RaceCancellationOfADemoWeek, ARaceCalledOffAfterTheCardsIsMarkedAndTakenOut) {
    DemoWeek week(demoweek::WeekState::Before);
    week.FetchAndBuild();
    const std::string cancelled = week.CancelledRace();
    const Strings racesBefore = Records(week.folder.Read("RATHISWEEKNNEW.dat"), 1272);
    const Strings runnersBefore = Records(week.folder.Read("SETHISWEEKNNEW.dat"), 555);
    const auto runFilesBefore = week.RunFiles();
    ASSERT_EQ(CountOfRace(racesBefore, cancelled), 1u);
    ASSERT_GT(CountOfRace(runnersBefore, cancelled), 0u);
    ExpectOnlyRaceOfItsKey(racesBefore, cancelled);

    // The results come out: the stand-in now serves the cancelled race's "9" records for its date.
    demoweek::WriteWeek(week.world, demoweek::WeekState::After, week.folder.Path());
    const acquisition::CancellationSummary summary = week.Cancel();
    EXPECT_EQ(summary.outcome, acquisition::CancellationOutcome::Done);
    EXPECT_FALSE(week.folder.Exists("ERRORLOG.txt")) << week.folder.Read("ERRORLOG.txt");

    // Full copies: the cancelled race's records are now of kind "9", every other record as before.
    struct Copy {
        const char* full;
        const char* working;
        std::size_t length;
        const Strings& before;
    };
    for (const Copy& c : {Copy{"RATHISWEEKNNEWd.dat", "RATHISWEEKNNEW.dat", 1272, racesBefore},
                          Copy{"SETHISWEEKNNEWd.dat", "SETHISWEEKNNEW.dat", 555, runnersBefore}}) {
        SCOPED_TRACE(c.full);
        const Strings full = Records(week.folder.Read(c.full), c.length);
        ASSERT_EQ(full.size(), c.before.size());
        Strings expectedWorking;
        for (std::size_t i = 0; i < full.size(); ++i) {
            if (RaceIdOf(c.before[i]) == cancelled) {
                EXPECT_EQ(KindOf(full[i]), '9');
                EXPECT_EQ(RaceIdOf(full[i]), cancelled);
            } else {
                EXPECT_EQ(full[i], c.before[i]);
                expectedWorking.push_back(c.before[i]);
            }
        }
        EXPECT_EQ(Records(week.folder.Read(c.working), c.length), expectedWorking);
    }

    // Each horse's run file is what it was without the runs of the cancelled race.
    for (const auto& [horse, before] : runFilesBefore) {
        std::string expected;
        for (const std::string& run : Records(before, 555))
            if (RaceIdOf(run) != cancelled) expected += run;
        EXPECT_EQ(week.folder.Read("UMAGOTOTHISWEEKN/" + horse + ".dat"), expected) << horse;
    }
}

}  // namespace
