#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
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
using Outcome = acquisition::WeeklyFetchOutcome;

// Last week's five files, which only a fetch that ends normally replaces.
const std::vector<std::string> kWeekFiles = {"RATHISWEEKN.dat", "SETHISWEEKN.dat", "UMTHISWEEKN.dat",
                                             "KSTHISWEEKN.dat", "HRTHISWEEKN.dat"};
std::string LastWeek(const std::string& name) { return "last week " + name; }

// An application folder with last week's files and the stand-in serving AppFolder/jvdata at one
// download a second, on a clock that moves a second at every look.
struct StandIn {
    StandIn() {
        folder.Write("OPTION1N/STALLION.dat", "weights");
        folder.Write("jvlink.settings", "pace=1\n");
        for (const std::string& name : kWeekFiles) folder.Write(name, LastWeek(name));
    }

    /// The fetch, with a progress window that polls until the status reaches the count; then
    /// `afterDownload` runs (it may cancel, or change the folder under the stand-in, which reads
    /// each file only when the reads reach it).
    Outcome Fetch(const std::function<void(acquisition::DownloadStarter&)>& afterDownload = {}) {
        std::chrono::steady_clock::time_point now{};
        dataservice::LocalJVLink::Config config;
        config.settingsFile = folder / "jvlink.settings";
        config.clock = [&now] { return now += 1s; };
        dataservice::LocalJVLink link(std::move(config));
        std::int32_t downloadCount = 0;
        std::int16_t dialogResult = 0;
        acquisition::DownloadStarter starter{link, downloadCount, dialogResult, host};
        auto runner = [&](acquisition::DownloadStarter& s) {
            shownCount = s.DownloadCount;
            while (polls < 100 && s.JVLink1.JVStatus() < s.DownloadCount) ++polls;
            s.DialogResult = acquisition::kDownloadDone;
            if (afterDownload) afterDownload(s);
        };
        return acquisition::FetchThisWeek(starter, runner);
    }

    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    int polls = 0;
    int shownCount = 0;
};

TEST(WeeklyFetchThroughTheStandIn, ReplacesTheFiveWeekFiles) {
    StandIn s;
    // Served in the order of the data spec's ids, files by name; "b.damaged" reads as damaged
    // until it is deleted, and the repeated open resumes at it.
    s.folder.Write("jvdata/stored/RACE/a.dat", RA("RACE1") + SE("RUNR1") + SE("RUNR2") + Delivered("O1", 962, '1', "ODDS1"));
    s.folder.Write("jvdata/stored/RACE/b.damaged", HR("PAYS1") + RA("RACE2"));
    s.folder.Write("jvdata/stored/TCVN/c.dat", UM("HORS1", '9') + UM("HORS2") + KS("00001"));
    s.folder.Write("jvdata/stored/DIFF/d.dat", RA("NEVER"));

    EXPECT_EQ(s.Fetch(), Outcome::Done);

    EXPECT_EQ(s.shownCount, 3);
    EXPECT_LT(s.polls, 100);
    EXPECT_TRUE(s.host.Messages().empty());
    EXPECT_EQ(s.folder.Read("RATHISWEEKN.dat"), RA("RACE1") + RA("RACE2"));
    EXPECT_EQ(s.folder.Read("SETHISWEEKN.dat"), SE("RUNR1") + SE("RUNR2"));
    EXPECT_EQ(s.folder.Read("UMTHISWEEKN.dat"), UM("HORS2"));
    EXPECT_EQ(s.folder.Read("KSTHISWEEKN.dat"), StoredKS("00001"));
    EXPECT_EQ(s.folder.Read("HRTHISWEEKN.dat"), HR("PAYS1"));
    for (const std::string& name : kWeekFiles) EXPECT_FALSE(s.folder.Exists(name + ".partial")) << name;
    EXPECT_FALSE(s.folder.Exists("ERRORLOG.txt"));
    EXPECT_EQ(s.host.Status(common::StatusBox::Text1), "今週開催取得終了");
}

// Damaged records in the stored data: a payout record cut short before its line end, runner
// records with LF line ends, or every file with LF line ends (a bad download). The stand-in
// passes each over and logs it with its file and number; the fetch, whose week is then not whole,
// fails and leaves last week's files as they were.
TEST(WeeklyFetchThroughTheStandIn, DamagedStoredRecordsFailTheFetchAndKeepLastWeek) {
    const auto lf = [](std::string bytes) {
        std::string out;
        for (char c : bytes)
            if (c != '\r') out += c;
        return out;
    };
    struct Case {
        std::string name;
        std::string a, b;     // jvdata/stored/RACE/a.dat and b.dat
        std::string logged;   // one of the stand-in's lines
    };
    const std::vector<Case> cases = {
        {"a record cut short and LF line ends",
         HR("PAYS1") + HR("PAYS2").substr(0, 300) + HR("PAYS3") + RA("RACE1"), SE("RUNR1") + lf(SE("RUNR2") + SE("RUNR3")),
         "a.dat record 2: cut short: 300 of the 719 bytes of HR: passed over"},
        {"every file with LF line ends", lf(HR("PAYS1") + RA("RACE1")), lf(SE("RUNR1") + UM("HORS1") + KS("00001")),
         "b.dat record 1: no CR LF up to the end of the file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StandIn s;
        s.folder.Write("jvdata/stored/RACE/a.dat", c.a);
        s.folder.Write("jvdata/stored/RACE/b.dat", c.b);

        EXPECT_EQ(s.Fetch(), Outcome::Failed);

        for (const std::string& name : kWeekFiles) EXPECT_EQ(s.folder.Read(name), LastWeek(name)) << name;
        for (const std::string& name : kWeekFiles) EXPECT_FALSE(s.folder.Exists(name + ".partial")) << name;
        const std::string log = s.folder.Read("ERRORLOG.txt");
        EXPECT_THAT(log, ::testing::HasSubstr("[LocalJVLink] " + (s.folder / "jvdata/stored/RACE/").string() + c.logged));
        EXPECT_THAT(log, ::testing::HasSubstr("damaged records passed over (see above): the week files were kept"));
        EXPECT_EQ(s.host.Status(common::StatusBox::Text1), "今週開催取得に失敗しました。ERRORLOG.txtを確認して下さい。");
    }
}

TEST(WeeklyFetchThroughTheStandIn, ACancelAGoneDataFolderOrAFailingReadKeepsLastWeek) {
    struct Case {
        std::string name;
        bool removeDataFolder;
        std::function<void(const testsupport::TempAppFolder&, acquisition::DownloadStarter&)> afterDownload;
        Outcome outcome;
        std::string message;  // the one message shown ("" for none)
        std::string text1;
    };
    const std::string failed = "今週開催取得に失敗しました。ERRORLOG.txtを確認して下さい。";
    const std::vector<Case> cases = {
        {"the data folder is gone", true, {}, Outcome::Failed, "該当するデータがありません。", failed},
        // A served file that has become a folder cannot be read: the stand-in reports -503.
        {"a read fails", false,
         [](const testsupport::TempAppFolder& f, acquisition::DownloadStarter&) {
             std::filesystem::remove(f / "jvdata/stored/RACE/b.dat");
             f.Write("jvdata/stored/RACE/b.dat/inside", "x");
         },
         Outcome::Failed, "JVReadエラー。 RC=-503", failed},
        {"the user cancels", false,
         [](const testsupport::TempAppFolder&, acquisition::DownloadStarter& starter) {
             starter.JVLink1.JVCancel();
             starter.DialogResult = acquisition::kDownloadCancelled;
         },
         Outcome::Cancelled, "", "今週開催取得を中止しました。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StandIn s;
        s.folder.Write("jvdata/stored/RACE/a.dat", RA("RACE1") + SE("RUNR1"));
        s.folder.Write("jvdata/stored/RACE/b.dat", HR("PAYS1") + RA("RACE2"));
        s.folder.Write("jvdata/stored/TCVN/c.dat", UM("HORS2") + KS("00001"));
        if (c.removeDataFolder) std::filesystem::remove_all(s.folder / "jvdata");

        const Outcome outcome = s.Fetch([&](acquisition::DownloadStarter& starter) {
            if (c.afterDownload) c.afterDownload(s.folder, starter);
        });

        EXPECT_EQ(outcome, c.outcome);
        if (c.message.empty()) EXPECT_TRUE(s.host.Messages().empty());
        else EXPECT_THAT(s.host.Messages(), ::testing::ElementsAre(c.message));
        for (const std::string& name : kWeekFiles) EXPECT_EQ(s.folder.Read(name), LastWeek(name)) << name;
        for (const std::string& name : kWeekFiles) EXPECT_FALSE(s.folder.Exists(name + ".partial")) << name;
        EXPECT_EQ(s.host.Status(common::StatusBox::Text1), c.text1);
        if (c.message.empty()) EXPECT_FALSE(s.folder.Exists("ERRORLOG.txt"));
        else EXPECT_THAT(s.folder.Read("ERRORLOG.txt"), ::testing::HasSubstr(c.message));
    }
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

// The application folder's own settings file there but unreadable: the fetch does not serve the
// default data folder in its place. It fails, names the file, and keeps last week.
TEST(WeeklyFetchThroughTheStandIn, SettingsThatCannotBeReadKeepLastWeek) {
    testsupport::TempAppFolder folder;
    folder.Write("OPTION1N/STALLION.dat", "weights");
    for (const std::string& name : kWeekFiles) folder.Write(name, LastWeek(name));
    folder.Write("jvdata/stored/RACE/a.dat", RA("DEFAULT"));  // what the defaults would serve
    folder.Write("JVLINKSETTINGS.txt/inside", "root=/elsewhere\n");

    dataservice::LocalJVLink link;
    testsupport::RecordingHost host;
    std::int32_t downloadCount = 0;
    std::int16_t dialogResult = 0;
    acquisition::DownloadStarter starter{link, downloadCount, dialogResult, host};

    EXPECT_EQ(acquisition::FetchThisWeek(starter, {}), Outcome::Failed);

    for (const std::string& name : kWeekFiles) EXPECT_EQ(folder.Read(name), LastWeek(name)) << name;
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), ::testing::HasSubstr((folder / "JVLINKSETTINGS.txt").string()));
    EXPECT_EQ(host.Status(common::StatusBox::Text1), "今週開催取得に失敗しました。ERRORLOG.txtを確認して下さい。");
}

}  // namespace
