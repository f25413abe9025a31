#include <chrono>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "acquisition/weekly_fetch.h"
#include "dataservice/local_jvlink.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"
#include "week_records.h"

// The weekly fetch against the folder-backed stand-in of the data service: a tiny week served
// from files, with a simulated download and a damaged file.
namespace {

using namespace fetchtest;
using namespace std::chrono_literals;

TEST(WeeklyFetchThroughTheStandIn, WritesTheFiveWeekFiles) {
    testsupport::TempAppFolder folder;
    folder.Write("OPTION1N/STALLION.dat", "weights");
    // One download a second on a clock that moves a second at every look.
    folder.Write("jvlink.settings", "pace=1\n");
    // Served in the order of the data spec's ids, files by name; "b.damaged" reads as damaged
    // until it is deleted, and the repeated open resumes at it.
    folder.Write("jvdata/stored/RACE/a.dat", RA("RACE1") + SE("RUNR1") + SE("RUNR2") + Delivered("O1", 962, '1', "ODDS1"));
    folder.Write("jvdata/stored/RACE/b.damaged", HR("PAYS1") + RA("RACE2"));
    folder.Write("jvdata/stored/TCVN/c.dat", UM("HORS1", '9') + UM("HORS2") + KS("00001"));
    folder.Write("jvdata/stored/DIFF/d.dat", RA("NEVER"));

    std::chrono::steady_clock::time_point now{};
    dataservice::LocalJVLink::Config config;
    config.settingsFile = folder / "jvlink.settings";
    config.clock = [&now] { return now += 1s; };
    dataservice::LocalJVLink link(std::move(config));

    testsupport::RecordingHost host;
    std::int32_t downloadCount = 0;
    std::int16_t dialogResult = 0;
    acquisition::DownloadStarter starter{link, downloadCount, dialogResult, host};

    // The progress window as it polls: until the status reaches the count.
    int polls = 0;
    int shownCount = 0;
    auto runner = [&](acquisition::DownloadStarter& s) {
        shownCount = s.DownloadCount;
        while (polls < 100 && s.JVLink1.JVStatus() < s.DownloadCount) ++polls;
        s.DialogResult = 0;
    };

    acquisition::FetchThisWeek(starter, runner);

    EXPECT_EQ(shownCount, 3);
    EXPECT_LT(polls, 100);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), RA("RACE1") + RA("RACE2"));
    EXPECT_EQ(folder.Read("SETHISWEEKN.dat"), SE("RUNR1") + SE("RUNR2"));
    EXPECT_EQ(folder.Read("UMTHISWEEKN.dat"), UM("HORS2"));
    EXPECT_EQ(folder.Read("KSTHISWEEKN.dat"), StoredKS("00001"));
    EXPECT_EQ(folder.Read("HRTHISWEEKN.dat"), HR("PAYS1"));
    EXPECT_EQ(host.Status(common::StatusBox::Text1), "今週開催取得終了");
}

// The weekly fetch repairs both kinds of damage: a -402 file and a -403 file in one week are each
// deleted and fetched again, and every record arrives without a message.
TEST(WeeklyFetchThroughTheStandIn, RepairsFilesDamagedWith402And403) {
    testsupport::TempAppFolder folder;
    folder.Write("OPTION1N/STALLION.dat", "weights");
    folder.Write("jvlink.settings", "pace=0\n");
    folder.Write("jvdata/stored/TOKU/a.damaged", RA("RACE1"));
    folder.Write("jvdata/stored/RACE/b.corrupt", SE("RUNR1") + RA("RACE2"));
    folder.Write("jvdata/stored/RACE/c.dat", HR("PAYS1"));

    dataservice::LocalJVLink::Config config;
    config.settingsFile = folder / "jvlink.settings";
    dataservice::LocalJVLink link(std::move(config));
    testsupport::RecordingHost host;
    std::int32_t downloadCount = 0;
    std::int16_t dialogResult = 0;
    acquisition::DownloadStarter starter{link, downloadCount, dialogResult, host};
    acquisition::FetchThisWeek(starter, [](acquisition::DownloadStarter& s) { s.DialogResult = 0; });

    EXPECT_TRUE(host.Messages().empty()) << host.Messages().front();
    EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), RA("RACE1") + RA("RACE2"));
    EXPECT_EQ(folder.Read("SETHISWEEKN.dat"), SE("RUNR1"));
    EXPECT_EQ(folder.Read("HRTHISWEEKN.dat"), HR("PAYS1"));
}

}  // namespace
