#include "acquisition/week_odds_fetch.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "acquisition/odds_tables.h"
#include "dataservice/local_jvlink.h"
#include "dataservice/scripted_jvlink.h"
#include "odds_fixtures.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

using namespace oddstest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kRace = RaceId("1213", "05", 11);
const std::string kOpenLine = "JVOpen TOKURACETCOVRCOV 00000000000000 2";
const std::string kOddsInit = "JVInit SA583920/SD271539/TALMOR7THISWEEKN/ver.2020.3.2";

// Full-length records of every kind for one race (the O3 only as long as the wide odds are).
std::string Full(const Shape& shape) {
    if (shape.entries == 0 || shape.tag == "O3") return OddsRecord(shape, kRace, '7');
    return FullOddsRecord(shape, kRace);
}

class WeekOddsFetch : public ::testing::Test {
protected:
    void FetchOdds() {
        acquisition::FetchWeekOdds(starter, runner, [this](std::string_view t) { text1.emplace_back(t); });
    }
    void FetchTrifecta() {
        acquisition::FetchWeekTrifectaOdds(starter, runner, [this](std::string_view t) { text1.emplace_back(t); });
    }
    // Every kind once, in the order O1 .. O6, between next-file marks.
    void QueueEveryKind() {
        link.QueueOpen(0, 2, 0);
        link.QueueRecord(Full(kO1), "a").QueueRecord(Full(kO2), "a").QueueRecord(Full(kO3), "a");
        link.QueueNextFile();
        link.QueueRecord(Full(kO4), "b").QueueRecord(Full(kO5), "b").QueueRecord(Full(kO6), "b");
        link.QueueEnd();
    }

    testsupport::TempAppFolder folder;  // first: it sets AppFolder
    testsupport::RecordingHost host;
    dataservice::ScriptedJVLink link;
    std::int32_t downloadCount = -7;
    std::int16_t dialogResult = 99;
    acquisition::DownloadStarter starter{link, downloadCount, dialogResult, host};
    std::vector<std::string> text1;

    // The progress window: notes what it was shown and ends with `outcome`.
    int progressRuns = 0;
    std::int16_t flagOnOpening = 55;
    std::int16_t outcome = 0;
    acquisition::ProgressRunner runner = [this](acquisition::DownloadStarter& s) {
        ++progressRuns;
        flagOnOpening = s.DialogResult;
        s.DialogResult = outcome;
    };
};

TEST_F(WeekOddsFetch, KeepsQuinellaExactaAndTrioAsDelivered) {
    folder.Write("O6THISWEEKN.dat", "trifecta of an earlier fetch\r\n");
    QueueEveryKind();
    FetchOdds();

    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), Full(kO2));
    EXPECT_EQ(folder.Read("O4THISWEEKN.dat"), Full(kO4));
    EXPECT_EQ(folder.Read("O5THISWEEKN.dat"), Full(kO5));
    EXPECT_EQ(folder.Read("O6THISWEEKN.dat"), "trifecta of an earlier fetch\r\n");
    EXPECT_FALSE(folder.Exists("O1THISWEEKN.dat"));
    EXPECT_FALSE(folder.Exists("O3THISWEEKN.dat"));
    EXPECT_THAT(host.Messages(), IsEmpty());
    EXPECT_THAT(text1, ElementsAre("オッズ取得完了"));
    EXPECT_EQ(link.log.front(), kOddsInit);
    EXPECT_EQ(link.log[1], kOpenLine);
    EXPECT_EQ(link.Count("JVRead"), 8u);
    EXPECT_EQ(link.log.back(), "JVClose");
    EXPECT_EQ(progressRuns, 0);
}

TEST_F(WeekOddsFetch, TrifectaKeepsOnlyTheTrifecta) {
    folder.Write("O2THISWEEKN.dat", "quinella of an earlier fetch\r\n");
    QueueEveryKind();
    FetchTrifecta();

    const std::string o6 = folder.Read("O6THISWEEKN.dat");
    EXPECT_EQ(o6.size(), 83285u);
    EXPECT_EQ(o6, Full(kO6));
    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), "quinella of an earlier fetch\r\n");
    EXPECT_FALSE(folder.Exists("O4THISWEEKN.dat"));
    EXPECT_EQ(link.log.front(), "JVInit UNKNOWN");
    EXPECT_EQ(link.log[1], kOpenLine);
    EXPECT_THAT(text1, ElementsAre("3連単オッズ取得完了"));
}

// A second fetch leaves only its own records, also when it brings fewer, or nothing at all.
TEST_F(WeekOddsFetch, EachFetchReplacesTheLastOne) {
    std::string first = OddsRecord(kO2, kRace);
    PutEntry(first, kO2, 0, "0102", "000110");
    std::string second = OddsRecord(kO2, kRace);
    PutEntry(second, kO2, 0, "0102", "000220");
    link.QueueOpen(0, 1, 0).QueueRecord(first).QueueRecord(first).QueueRecord(Full(kO4)).QueueEnd();
    FetchOdds();
    ASSERT_EQ(folder.Read("O2THISWEEKN.dat"), first + first);

    link.QueueOpen(0, 1, 0).QueueRecord(second).QueueEnd();
    FetchOdds();
    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), second);
    EXPECT_EQ(folder.Read("O4THISWEEKN.dat"), "");

    link.QueueOpen(0, 0, 0);
    FetchOdds();
    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), "");
    EXPECT_TRUE(folder.Exists("O5THISWEEKN.dat"));
}

// Only what a read returned is written: its own length, never a buffer left from before.
TEST_F(WeekOddsFetch, WritesOnlyTheBytesAReadReturned) {
    const std::string o2 = Full(kO2);
    link.QueueOpen(0, 1, 0);
    link.reads.push_back({2042, o2 + "O2 tail of a longer buffer", "a"});
    link.reads.push_back({-1, Full(kO4), ""});  // a next-file mark that leaves bytes behind
    // A record that came without its CR LF still ends its own line.
    link.reads.push_back({2040, o2, "a"});
    link.QueueEnd();
    FetchOdds();
    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), o2 + o2);
    EXPECT_EQ(folder.Read("O4THISWEEKN.dat"), "");
}

// How every outcome of the data service ends the fetch: the message, the reads made, and that
// the connection is closed and the end text written whatever happened.
TEST_F(WeekOddsFetch, DataServiceOutcomes) {
    struct Case {
        std::string name;
        std::function<void(dataservice::ScriptedJVLink&)> script;
        std::vector<std::string> messages;
        std::size_t reads;
        std::string o2;  // O2THISWEEKN.dat afterwards
    };
    const std::string rec = Full(kO2);
    const std::vector<Case> cases = {
        {"open error", [](auto& l) { l.QueueOpen(-111, 0, 0); }, {"JVOpenエラー。RC=-111"}, 0, ""},
        {"nothing to read", [](auto& l) { l.QueueOpen(0, 0, 0); }, {"該当するデータがありません。"}, 0, ""},
        {"init error goes on",
         [&](auto& l) {
             l.initResults.push_back(-101);
             l.QueueOpen(0, 1, 0).QueueRecord(rec).QueueEnd();
         },
         {"JVInitエラー。RC=-101"}, 2, rec},
        {"read error",
         [&](auto& l) { l.QueueOpen(0, 1, 0).QueueRecord(rec).QueueReadCode(-502).QueueRecord(rec); },
         {"JVReadエラー。 RC=-502"}, 2, rec},
        // Only -403 is repaired here; -402 is a read error like any other.
        {"-402 ends the reads",
         [&](auto& l) { l.QueueOpen(0, 1, 0).QueueRecord(rec).QueueReadCode(-402, "f1").QueueRecord(rec).QueueEnd(); },
         {"JVReadエラー。 RC=-402"}, 2, rec},
        {"-402 after a repaired -403",
         [&](auto& l) {
             l.QueueOpen(0, 1, 0).QueueReadCode(-403, "f1").QueueRecord(rec).QueueReadCode(-402, "f1");
             l.QueueRecord(rec).QueueEnd();
         },
         {"JVReadエラー。 RC=-402"}, 3, rec},
        {"-403 reopens",
         [&](auto& l) { l.QueueOpen(0, 1, 0).QueueReadCode(-403, "f1").QueueRecord(rec).QueueEnd(); },
         {}, 3, rec},
        {"a file that stays damaged",
         [&](auto& l) {
             l.QueueOpen(0, 1, 0);
             for (int i = 0; i < 5; ++i) l.QueueReadCode(-403, "f1");
         },
         {"JVReadエラー。 RC=-403"}, 4, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempAppFolder own;
        testsupport::RecordingHost ownHost;
        dataservice::ScriptedJVLink ownLink;
        c.script(ownLink);
        std::int32_t count = 0;
        std::int16_t flag = 0;
        acquisition::DownloadStarter s{ownLink, count, flag, ownHost};
        std::vector<std::string> texts;
        acquisition::FetchWeekOdds(s, nullptr, [&](std::string_view t) { texts.emplace_back(t); });

        EXPECT_EQ(ownHost.Messages(), c.messages);
        EXPECT_EQ(ownLink.Count("JVRead"), c.reads);
        EXPECT_EQ(own.Read("O2THISWEEKN.dat"), c.o2);
        EXPECT_EQ(ownLink.log.back(), "JVClose");
        EXPECT_THAT(texts, ElementsAre("オッズ取得完了"));
    }
}

TEST_F(WeekOddsFetch, CorruptFileIsDeletedAndTheSameOpenRepeated) {
    link.QueueOpen(0, 2, 0).QueueReadCode(-403, "DAMAGED.jvd").QueueRecord(Full(kO5)).QueueEnd();
    FetchOdds();
    EXPECT_THAT(link.log, ElementsAre(kOddsInit, kOpenLine, "JVRead", "JVFiledelete DAMAGED.jvd", "JVClose",
                                      kOpenLine, "JVRead", "JVRead", "JVClose"));
    EXPECT_EQ(folder.Read("O5THISWEEKN.dat"), Full(kO5));
}

// -402 deletes nothing and opens nothing again: the message, then the fetch's own close and end.
TEST_F(WeekOddsFetch, DamagedFileEndsTheFetch) {
    link.QueueOpen(0, 2, 0).QueueReadCode(-402, "DAMAGED.jvd").QueueRecord(Full(kO6)).QueueEnd();
    FetchTrifecta();
    EXPECT_THAT(link.log, ElementsAre("JVInit UNKNOWN", kOpenLine, "JVRead", "JVClose"));
    EXPECT_THAT(host.Messages(), ElementsAre("JVReadエラー。 RC=-402"));
    EXPECT_EQ(folder.Read("O6THISWEEKN.dat"), "");
    EXPECT_THAT(text1, ElementsAre("3連単オッズ取得完了"));
}

TEST_F(WeekOddsFetch, DownloadIsFollowedAndCancelEndsTheFetch) {
    // Done: the window ran over this fetch's own count and flag, and the reads follow.
    link.QueueOpen(0, 4, 3).QueueRecord(Full(kO2)).QueueEnd();
    FetchOdds();
    EXPECT_EQ(progressRuns, 1);
    EXPECT_EQ(downloadCount, 3);
    EXPECT_EQ(flagOnOpening, 0);
    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), Full(kO2));

    // Cancelled: no read, the files stay emptied, the connection is closed.
    link.log.clear();
    outcome = -1;
    link.QueueOpen(0, 4, 3).QueueRecord(Full(kO2)).QueueEnd();
    FetchOdds();
    EXPECT_EQ(progressRuns, 2);
    EXPECT_EQ(link.Count("JVRead"), 0u);
    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), "");
    EXPECT_EQ(link.log.back(), "JVClose");
    EXPECT_THAT(text1, ElementsAre("オッズ取得完了", "オッズ取得完了"));
}

// A data service that never ends is cut off: the loop is bounded, and the stop is logged.
TEST_F(WeekOddsFetch, EndlessNextFileMarksStop) {
    link.QueueOpen(0, 1, 0);
    for (int i = 0; i < 100002; ++i) link.QueueNextFile();
    link.QueueRecord(Full(kO2));
    FetchOdds();
    EXPECT_EQ(link.Count("JVRead"), 100001u);
    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), "");
    EXPECT_NE(folder.Read("ERRORLOG.txt").find("FetchWeekOdds"), std::string::npos);
    EXPECT_EQ(link.log.back(), "JVClose");
}

// Through the folder-backed stand-in, on a week whose first odds file is damaged: a file marked
// -403 is deleted and fetched again and the fetch completes; one marked -402 is told and ends the
// fetch, so that no odds of it reach the tables. Other ids are left out either way.
TEST(WeekOddsFetchThroughTheStandIn, AFirstOddsFileDamagedWith402Or403) {
    struct Case {
        std::string suffix;
        std::vector<std::string> messages;  // of both fetches
        bool delivered;                     // the fetches keep every record
    };
    const std::vector<Case> cases = {
        {".corrupt", {}, true},
        {".damaged", {"JVReadエラー。 RC=-402", "JVReadエラー。 RC=-402"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.suffix);
        testsupport::TempAppFolder folder;
        folder.Write("jvlink.settings", "pace=0\n");
        folder.Write("jvdata/stored/TCOV/a" + c.suffix, Full(kO4) + Full(kO5) + Full(kO6));
        folder.Write("jvdata/stored/TCOV/b.dat", Full(kO1) + Full(kO2) + Full(kO3));
        folder.Write("jvdata/stored/RCOV/c.dat", Full(kO2));
        folder.Write("jvdata/stored/RACE/d.dat", std::string("RA") + std::string(1268, ' ') + "\r\n");
        folder.Write("jvdata/stored/DIFF/e.dat", Full(kO5));

        dataservice::LocalJVLink::Config config;
        config.settingsFile = folder / "jvlink.settings";
        dataservice::LocalJVLink link(std::move(config));
        testsupport::RecordingHost host;
        std::int32_t count = 0;
        std::int16_t flag = 0;
        acquisition::DownloadStarter starter{link, count, flag, host};
        std::vector<std::string> texts;
        const auto text = [&](std::string_view t) { texts.emplace_back(t); };

        acquisition::FetchWeekOdds(starter, nullptr, text);
        acquisition::FetchWeekTrifectaOdds(starter, nullptr, text);

        EXPECT_EQ(host.Messages(), c.messages);
        EXPECT_THAT(texts, ElementsAre("オッズ取得完了", "3連単オッズ取得完了"));
        EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), c.delivered ? Full(kO2) + Full(kO2) : "");
        EXPECT_EQ(folder.Read("O4THISWEEKN.dat"), c.delivered ? Full(kO4) : "");
        EXPECT_EQ(folder.Read("O5THISWEEKN.dat"), c.delivered ? Full(kO5) : "");
        EXPECT_EQ(folder.Read("O6THISWEEKN.dat"), c.delivered ? Full(kO6) : "");
        // One race, four kinds: a table each, or none at all.
        EXPECT_EQ(acquisition::BuildOddsTables(acquisition::kOddsSourceThisWeek).written, c.delivered ? 4 : 0);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "KAIME"), {}), c.delivered ? 4 : 0);
    }
}

}  // namespace
