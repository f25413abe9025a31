#include "acquisition/week_odds_fetch.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "acquisition/odds_tables.h"
#include "common/file_faults.h"
#include "common/step_marks.h"
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

const std::string kFailed = "オッズ取得に失敗しました。ERRORLOG.txtを確認して下さい。";
const std::string kTrifectaFailed = "3連単オッズ取得に失敗しました。ERRORLOG.txtを確認して下さい。";
const std::string kNoExactaNorTrio =
    "オッズ取得完了（馬単オッズがありません、3連複オッズがありません。ERRORLOG.txtを確認して下さい。）";
const std::string kNoKind =
    "オッズ取得完了（馬連オッズがありません、馬単オッズがありません、3連複オッズがありません。"
    "ERRORLOG.txtを確認して下さい。）";

// Scratch files left in the folder.
std::vector<std::string> ScratchFiles(const testsupport::TempAppFolder& folder) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        if (entry.path().extension() == ".partial") found.push_back(entry.path().filename().string());
    return found;
}

// Full-length records of every kind for one race (the O3 only as long as the wide odds are).
std::string Full(const Shape& shape) {
    if (shape.entries == 0 || shape.tag == "O3") return OddsRecord(shape, kRace, '7');
    return FullOddsRecord(shape, kRace);
}

// Fetches on a data service of their own, for tests that run several: script or fill `link`,
// then Run.
template <class Link>
struct FetchesOn {
    template <class... Args>
    explicit FetchesOn(Args&&... args) : link(std::forward<Args>(args)...) {}
    acquisition::WeekOddsSummary Run(bool trifecta) {
        const auto text = [this](std::string_view t) { texts.emplace_back(t); };
        return trifecta ? acquisition::FetchWeekTrifectaOdds(starter, nullptr, text)
                        : acquisition::FetchWeekOdds(starter, nullptr, text);
    }
    testsupport::RecordingHost host;
    Link link;
    std::int32_t count = 0;
    std::int16_t flag = 0;
    acquisition::DownloadStarter starter{link, count, flag, host};
    std::vector<std::string> texts;
};
using OneFetch = FetchesOn<dataservice::ScriptedJVLink>;

// The folder-backed stand-in serving `folder`/jvdata, everything downloaded.
dataservice::LocalJVLink::Config StandInServing(const testsupport::TempAppFolder& folder) {
    folder.Write("jvlink.settings", "pace=0\n");
    dataservice::LocalJVLink::Config config;
    config.settingsFile = folder / "jvlink.settings";
    return config;
}

class WeekOddsFetch : public ::testing::Test {
protected:
    acquisition::WeekOddsSummary FetchOdds() {
        return acquisition::FetchWeekOdds(starter, runner, [this](std::string_view t) { text1.emplace_back(t); });
    }
    acquisition::WeekOddsSummary FetchTrifecta() {
        return acquisition::FetchWeekTrifectaOdds(starter, runner,
                                                  [this](std::string_view t) { text1.emplace_back(t); });
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

// A second fetch leaves only its own records of each kind it brings; a kind it does not bring,
// or a fetch with nothing to read, keeps the last fetch's file and is named in the end text.
TEST_F(WeekOddsFetch, EachFetchReplacesTheKindsItBrings) {
    std::string first = OddsRecord(kO2, kRace);
    PutEntry(first, kO2, 0, "0102", "000110");
    std::string second = OddsRecord(kO2, kRace);
    PutEntry(second, kO2, 0, "0102", "000220");
    link.QueueOpen(0, 1, 0).QueueRecord(first).QueueRecord(first).QueueRecord(Full(kO4)).QueueRecord(Full(kO5));
    link.QueueEnd();
    EXPECT_TRUE(FetchOdds().PlainSuccess());
    ASSERT_EQ(folder.Read("O2THISWEEKN.dat"), first + first);

    link.QueueOpen(0, 1, 0).QueueRecord(second).QueueEnd();
    const acquisition::WeekOddsSummary some = FetchOdds();
    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), second);
    EXPECT_EQ(folder.Read("O4THISWEEKN.dat"), Full(kO4));
    EXPECT_EQ(folder.Read("O5THISWEEKN.dat"), Full(kO5));
    EXPECT_THAT(some.withoutOdds, ElementsAre(acquisition::OddsKind::O4, acquisition::OddsKind::O5));
    EXPECT_FALSE(some.PlainSuccess());

    link.QueueOpen(0, 0, 0);
    FetchOdds();
    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), second);
    EXPECT_THAT(text1, ElementsAre("オッズ取得完了",
                                   "オッズ取得完了（馬単オッズがありません、3連複オッズがありません。"
                                   "ERRORLOG.txtを確認して下さい。）",
                                   "オッズ取得完了（馬連オッズがありません、馬単オッズがありません、"
                                   "3連複オッズがありません。ERRORLOG.txtを確認して下さい。）"));
    EXPECT_THAT(ScratchFiles(folder), IsEmpty());
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

// How every outcome of the data service ends the fetch: the message, the reads made, that the
// connection is closed and the end text written whatever happened, and that only reads that end
// normally replace the odds file.
TEST_F(WeekOddsFetch, DataServiceOutcomes) {
    struct Case {
        std::string name;
        std::function<void(dataservice::ScriptedJVLink&)> script;
        std::vector<std::string> messages;
        std::size_t reads;
        bool replaced;  // O2THISWEEKN.dat holds the record, or is kept as it was
        std::string text;
    };
    const std::string rec = Full(kO2);
    const std::string old = "quinella of an earlier fetch\r\n";
    const std::vector<Case> cases = {
        {"open error", [](auto& l) { l.QueueOpen(-111, 0, 0); }, {"JVOpenエラー。RC=-111"}, 0, false, kFailed},
        {"nothing to read", [](auto& l) { l.QueueOpen(0, 0, 0); }, {"該当するデータがありません。"}, 0, false, kNoKind},
        {"init error goes on",
         [&](auto& l) {
             l.initResults.push_back(-101);
             l.QueueOpen(0, 1, 0).QueueRecord(rec).QueueEnd();
         },
         {"JVInitエラー。RC=-101"}, 2, true, kNoExactaNorTrio},
        {"read error",
         [&](auto& l) { l.QueueOpen(0, 1, 0).QueueRecord(rec).QueueReadCode(-502).QueueRecord(rec); },
         {"JVReadエラー。 RC=-502"}, 2, false, kFailed},
        // Only -403 is repaired here; -402 is a read error like any other.
        {"-402 ends the reads",
         [&](auto& l) { l.QueueOpen(0, 1, 0).QueueRecord(rec).QueueReadCode(-402, "f1").QueueRecord(rec).QueueEnd(); },
         {"JVReadエラー。 RC=-402"}, 2, false, kFailed},
        {"-402 after a repaired -403",
         [&](auto& l) {
             l.QueueOpen(0, 1, 0).QueueReadCode(-403, "f1").QueueRecord(rec).QueueReadCode(-402, "f1");
             l.QueueRecord(rec).QueueEnd();
         },
         {"JVReadエラー。 RC=-402"}, 3, false, kFailed},
        {"-403 reopens",
         [&](auto& l) { l.QueueOpen(0, 1, 0).QueueReadCode(-403, "f1").QueueRecord(rec).QueueEnd(); },
         {}, 3, true, kNoExactaNorTrio},
        {"a file that stays damaged",
         [&](auto& l) {
             l.QueueOpen(0, 1, 0);
             for (int i = 0; i < 5; ++i) l.QueueReadCode(-403, "f1");
         },
         {"JVReadエラー。 RC=-403"}, 4, false, kFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempAppFolder own;
        own.Write("O2THISWEEKN.dat", old);
        OneFetch fetch;
        c.script(fetch.link);
        const acquisition::WeekOddsSummary summary = fetch.Run(false);

        EXPECT_EQ(fetch.host.Messages(), c.messages);
        EXPECT_EQ(fetch.link.Count("JVRead"), c.reads);
        EXPECT_EQ(own.Read("O2THISWEEKN.dat"), c.replaced ? rec : old);
        EXPECT_EQ(fetch.link.log.back(), "JVClose");
        EXPECT_THAT(fetch.texts, ElementsAre(c.text));
        EXPECT_EQ(summary.endText, c.text);
        EXPECT_FALSE(summary.PlainSuccess());
        EXPECT_THAT(ScratchFiles(own), IsEmpty());
        // A failure names the message that ended it.
        if (c.text == kFailed) {
            EXPECT_NE(own.Read("ERRORLOG.txt").find("[FetchWeekOdds] the fetch ended with \"" + c.messages.back()),
                      std::string::npos);
        }
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
    EXPECT_FALSE(folder.Exists("O6THISWEEKN.dat"));
    EXPECT_THAT(text1, ElementsAre(kTrifectaFailed));
}

TEST_F(WeekOddsFetch, DownloadIsFollowedAndCancelKeepsTheOddsFiles) {
    // Done: the window ran over this fetch's own count and flag, and the reads follow.
    link.QueueOpen(0, 4, 3).QueueRecord(Full(kO2)).QueueRecord(Full(kO4)).QueueRecord(Full(kO5)).QueueEnd();
    FetchOdds();
    EXPECT_EQ(progressRuns, 1);
    EXPECT_EQ(downloadCount, 3);
    EXPECT_EQ(flagOnOpening, 0);
    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), Full(kO2));

    // Cancelled: no read, the files of the last fetch stay, the connection is closed.
    link.log.clear();
    outcome = -1;
    link.QueueOpen(0, 4, 3).QueueRecord(Full(kO2)).QueueEnd();
    const acquisition::WeekOddsSummary cancelled = FetchOdds();
    EXPECT_EQ(progressRuns, 2);
    EXPECT_EQ(link.Count("JVRead"), 0u);
    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), Full(kO2));
    EXPECT_EQ(folder.Read("O4THISWEEKN.dat"), Full(kO4));
    EXPECT_EQ(folder.Read("O5THISWEEKN.dat"), Full(kO5));
    EXPECT_EQ(link.log.back(), "JVClose");
    EXPECT_EQ(cancelled.outcome, acquisition::WeekOddsOutcome::Cancelled);
    EXPECT_FALSE(cancelled.PlainSuccess());

    folder.Write("O6THISWEEKN.dat", "trifecta of an earlier fetch\r\n");
    link.QueueOpen(0, 4, 3).QueueRecord(Full(kO6)).QueueEnd();
    FetchTrifecta();
    EXPECT_EQ(folder.Read("O6THISWEEKN.dat"), "trifecta of an earlier fetch\r\n");
    EXPECT_THAT(text1, ElementsAre("オッズ取得完了", "オッズ取得を中止しました。", "3連単オッズ取得を中止しました。"));
    EXPECT_THAT(ScratchFiles(folder), IsEmpty());
}

// A data service that never ends is cut off: the loop is bounded, and the stop is logged.
TEST_F(WeekOddsFetch, EndlessNextFileMarksStop) {
    link.QueueOpen(0, 1, 0);
    for (int i = 0; i < 100002; ++i) link.QueueNextFile();
    link.QueueRecord(Full(kO2));
    FetchOdds();
    EXPECT_EQ(link.Count("JVRead"), 100001u);
    EXPECT_FALSE(folder.Exists("O2THISWEEKN.dat"));
    EXPECT_NE(folder.Read("ERRORLOG.txt").find("FetchWeekOdds"), std::string::npos);
    EXPECT_EQ(link.log.back(), "JVClose");
    EXPECT_THAT(text1, ElementsAre(kFailed));
}

// The service brings no trifecta odds (reads without an O6 record, or nothing to read at all):
// the trifecta file of the last fetch stays byte for byte, and the kind is named in the log and
// in the end text.
TEST(WeekOddsFetchWithoutTrifecta, KeepsTheOldFileAndNamesTheKind) {
    struct Case {
        std::string name;
        std::function<void(dataservice::ScriptedJVLink&)> script;
    };
    const std::vector<Case> cases = {
        {"reads without O6",
         [](auto& l) { l.QueueOpen(0, 2, 0).QueueRecord(Full(kO2)).QueueRecord(Full(kO5)).QueueEnd(); }},
        {"nothing to read", [](auto& l) { l.QueueOpen(0, 0, 0); }},
    };
    const std::string old = Full(kO6).substr(0, 100) + "\r\n" + Full(kO6);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempAppFolder folder;
        folder.Write("O6THISWEEKN.dat", old);
        OneFetch fetch;
        c.script(fetch.link);
        const acquisition::WeekOddsSummary summary = fetch.Run(true);

        EXPECT_EQ(folder.Read("O6THISWEEKN.dat"), old);
        EXPECT_THAT(fetch.texts, ElementsAre("3連単オッズ取得完了（3連単オッズがありません。ERRORLOG.txtを確認して下さい。）"));
        EXPECT_EQ(summary.outcome, acquisition::WeekOddsOutcome::Done);
        EXPECT_THAT(summary.withoutOdds, ElementsAre(acquisition::OddsKind::O6));
        EXPECT_FALSE(summary.PlainSuccess());
        EXPECT_NE(folder.Read("ERRORLOG.txt").find("[FetchWeekTrifectaOdds] no O6 odds came: O6THISWEEKN.dat was kept"),
                  std::string::npos);
        EXPECT_THAT(ScratchFiles(folder), IsEmpty());
    }
}

// While the records come, the odds files are not touched: a fetch killed at any read leaves the
// last fetch's files as they were.
TEST(WeekOddsFetchKilled, TheOddsFilesAreUntouchedUntilTheReadsEnd) {
    struct Watched : dataservice::ScriptedJVLink {
        const testsupport::TempAppFolder* folder = nullptr;
        std::vector<std::string> seen;  // the three files at each read
        int JVRead(std::string& buff, int& size, std::string& fileName) override {
            seen.push_back(folder->Read("O2THISWEEKN.dat") + folder->Read("O4THISWEEKN.dat") +
                           folder->Read("O5THISWEEKN.dat"));
            return ScriptedJVLink::JVRead(buff, size, fileName);
        }
    };
    testsupport::TempAppFolder folder;
    folder.Write("O2THISWEEKN.dat", "old quinella\r\n");
    folder.Write("O4THISWEEKN.dat", "old exacta\r\n");
    folder.Write("O5THISWEEKN.dat", "old trio\r\n");
    const std::string old = "old quinella\r\nold exacta\r\nold trio\r\n";
    testsupport::RecordingHost host;
    Watched link;
    link.folder = &folder;
    link.QueueOpen(0, 2, 0).QueueRecord(Full(kO2)).QueueRecord(Full(kO4)).QueueNextFile();
    link.QueueRecord(Full(kO5)).QueueRecord(Full(kO2)).QueueEnd();
    std::int32_t count = 0;
    std::int16_t flag = 0;
    acquisition::DownloadStarter starter{link, count, flag, host};

    EXPECT_TRUE(acquisition::FetchWeekOdds(starter, nullptr, nullptr).PlainSuccess());

    ASSERT_EQ(link.seen.size(), 6u);
    for (const std::string& files : link.seen) EXPECT_EQ(files, old);
    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), Full(kO2) + Full(kO2));
}

// Each file call of a fetch made to fail in turn: the fetch says that it failed, logs why, and
// leaves no scratch file; the odds files of the last fetch stay byte for byte. The renames come
// once every kind is written whole, under the fetch's mark: a failed one keeps its kind's old
// file, the other kinds, each whole, take their new ones, and the mark stays. The mark's removal
// comes last: when it fails, the fetch has replaced every file and says that one step failed.
TEST(WeekOddsFetchFileFaults, EachFailedFileCallKeepsTheOddsFilesAndIsTold) {
    struct SwitchOff {
        ~SwitchOff() { common::FailNthFileCall(0); }
    } off;
    struct Case {
        std::string name;
        bool trifecta;
        std::vector<std::string> files;    // in the order the fetch renames them
        std::vector<std::string> records;  // the new content of each
        std::string failedText;
        std::string markLeftText;
        common::MarkedStep mark;
    };
    const std::vector<Case> cases = {
        {"quinella, exacta, trio", false, {"O2THISWEEKN.dat", "O4THISWEEKN.dat", "O5THISWEEKN.dat"},
         {Full(kO2) + Full(kO2), Full(kO4), Full(kO5)}, kFailed,
         "オッズ取得完了（処理できなかった手順 1 件。ERRORLOG.txtを確認して下さい。）", common::MarkedStep::OddsFetch},
        {"trifecta", true, {"O6THISWEEKN.dat"}, {Full(kO6)}, kTrifectaFailed,
         "3連単オッズ取得完了（処理できなかった手順 1 件。ERRORLOG.txtを確認して下さい。）",
         common::MarkedStep::TrifectaFetch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        struct Run {
            acquisition::WeekOddsSummary summary;
            std::vector<std::string> texts;
            std::vector<std::string> files;
            std::vector<std::string> scratch;
            std::string log;
            bool marked = false;
        };
        // One fetch on a folder that holds the last fetch's files, with call n failing (0: none).
        const auto fetch = [&](std::int64_t n, std::int64_t* calls) {
            testsupport::TempAppFolder folder;
            for (const std::string& name : c.files) folder.Write(name, "last fetch's " + name + "\r\n");
            OneFetch fetch;
            fetch.link.QueueOpen(0, 2, 0).QueueRecord(Full(kO2)).QueueRecord(Full(kO4)).QueueRecord(Full(kO6));
            fetch.link.QueueNextFile().QueueRecord(Full(kO5)).QueueRecord(Full(kO2)).QueueEnd();
            Run run;
            common::FailNthFileCall(n);
            run.summary = fetch.Run(c.trifecta);
            run.texts = fetch.texts;
            if (calls) *calls = common::FileCallCount();
            EXPECT_EQ(common::FileCallFailed(), n > 0);
            common::FailNthFileCall(0);
            for (const std::string& name : c.files) run.files.push_back(folder.Read(name));
            run.scratch = ScratchFiles(folder);
            run.log = folder.Read("ERRORLOG.txt");
            run.marked = common::StepMarkStands(c.mark);
            return run;
        };

        std::int64_t calls = 0;
        const Run sound = fetch(0, &calls);
        ASSERT_TRUE(sound.summary.PlainSuccess()) << sound.log;
        ASSERT_EQ(sound.files, c.records);
        const auto renames = static_cast<std::int64_t>(c.files.size());
        ASSERT_FALSE(sound.marked);
        ASSERT_GT(calls, 3 * renames);  // opens, writes, closes and renames

        for (std::int64_t n = 1; n <= calls; ++n) {
            SCOPED_TRACE(n);
            const Run run = fetch(n, nullptr);
            EXPECT_THAT(run.scratch, IsEmpty());
            EXPECT_NE(run.log.find(c.trifecta ? "[FetchWeekTrifectaOdds]" : "[FetchWeekOdds]"), std::string::npos);
            if (n == calls) {  // the mark's removal
                EXPECT_THAT(run.texts, ElementsAre(c.markLeftText));
                EXPECT_FALSE(run.summary.PlainSuccess());
                EXPECT_EQ(run.files, c.records);
                EXPECT_TRUE(run.marked);
                continue;
            }
            EXPECT_THAT(run.texts, ElementsAre(c.failedText));
            EXPECT_EQ(run.summary.outcome, acquisition::WeekOddsOutcome::Failed);
            EXPECT_FALSE(run.summary.PlainSuccess());
            // Only a failed rename leaves the other kinds with their new files, and the mark; the
            // failed kind, and every kind after any other failure, keeps the last fetch's.
            const std::int64_t failedRename = n - (calls - 1 - renames) - 1;  // index, or below 0
            EXPECT_EQ(run.marked, failedRename >= 0);
            for (std::size_t i = 0; i < c.files.size(); ++i) {
                const bool renamed = failedRename >= 0 && failedRename != static_cast<std::int64_t>(i);
                const std::string label = run.files[i] == c.records[i]                           ? "new"
                                          : run.files[i] == "last fetch's " + c.files[i] + "\r\n" ? "old"
                                                                                                  : "damaged";
                EXPECT_EQ(label, renamed ? "new" : "old") << c.files[i];
            }
        }
    }
}

// Through the folder-backed stand-in, on a week whose first odds file is damaged: a file marked
// -403 is deleted and fetched again and the fetch completes; one marked -402 is told and ends the
// fetch, so that no odds of it reach the tables. Other ids are left out either way.
TEST(WeekOddsFetchThroughTheStandIn, AFirstOddsFileDamagedWith402Or403) {
    struct Case {
        std::string suffix;
        std::vector<std::string> messages;  // of both fetches
        bool delivered;                     // the fetches keep every record
        std::vector<std::string> texts;
    };
    const std::vector<Case> cases = {
        {".corrupt", {}, true, {"オッズ取得完了", "3連単オッズ取得完了"}},
        {".damaged", {"JVReadエラー。 RC=-402", "JVReadエラー。 RC=-402"}, false, {kFailed, kTrifectaFailed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.suffix);
        testsupport::TempAppFolder folder;
        folder.Write("jvdata/stored/TCOV/a" + c.suffix, Full(kO4) + Full(kO5) + Full(kO6));
        folder.Write("jvdata/stored/TCOV/b.dat", Full(kO1) + Full(kO2) + Full(kO3));
        folder.Write("jvdata/stored/RCOV/c.dat", Full(kO2));
        folder.Write("jvdata/stored/RACE/d.dat", std::string("RA") + std::string(1268, ' ') + "\r\n");
        folder.Write("jvdata/stored/DIFF/e.dat", Full(kO5));

        FetchesOn<dataservice::LocalJVLink> fetches(StandInServing(folder));
        fetches.Run(false);
        fetches.Run(true);

        EXPECT_EQ(fetches.host.Messages(), c.messages);
        EXPECT_EQ(fetches.texts, c.texts);
        EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), c.delivered ? Full(kO2) + Full(kO2) : "");
        EXPECT_EQ(folder.Read("O4THISWEEKN.dat"), c.delivered ? Full(kO4) : "");
        EXPECT_EQ(folder.Read("O5THISWEEKN.dat"), c.delivered ? Full(kO5) : "");
        EXPECT_EQ(folder.Read("O6THISWEEKN.dat"), c.delivered ? Full(kO6) : "");
        // One race, four kinds: a table each, or none at all.
        EXPECT_EQ(acquisition::BuildOddsTables(acquisition::kOddsSourceThisWeek).written, c.delivered ? 4 : 0);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "KAIME"), {}), c.delivered ? 4 : 0);
    }
}

// A damaged record in the stored data (an RA record cut short) is passed over by the stand-in:
// it may have been odds, so neither fetch ends as if it had brought every kind whole. Each fails,
// says so, and keeps the odds files of the last fetch.
TEST(WeekOddsFetchThroughTheStandIn, ADamagedStoredRecordFailsBothFetches) {
    testsupport::TempAppFolder folder;
    const std::string race = std::string("RA") + std::string(1268, ' ') + "\r\n";
    folder.Write("jvdata/stored/RACE/a.dat", race.substr(0, 600) + race);
    folder.Write("jvdata/stored/TCOV/b.dat", Full(kO2) + Full(kO4) + Full(kO5) + Full(kO6));
    for (const char* name : {"O2THISWEEKN.dat", "O4THISWEEKN.dat", "O5THISWEEKN.dat", "O6THISWEEKN.dat"})
        folder.Write(name, std::string("last fetch's ") + name);

    FetchesOn<dataservice::LocalJVLink> fetches(StandInServing(folder));
    EXPECT_EQ(fetches.Run(false).outcome, acquisition::WeekOddsOutcome::Failed);
    EXPECT_EQ(fetches.Run(true).outcome, acquisition::WeekOddsOutcome::Failed);

    EXPECT_THAT(fetches.texts, ElementsAre(kFailed, kTrifectaFailed));
    for (const char* name : {"O2THISWEEKN.dat", "O4THISWEEKN.dat", "O5THISWEEKN.dat", "O6THISWEEKN.dat"})
        EXPECT_EQ(folder.Read(name), std::string("last fetch's ") + name);
    const std::string log = folder.Read("ERRORLOG.txt");
    EXPECT_THAT(log, ::testing::HasSubstr("[FetchWeekTrifectaOdds] 1 damaged records passed over by the data service"));
    EXPECT_THAT(log, ::testing::HasSubstr("[LocalJVLink] " + (folder / "jvdata/stored/RACE/a.dat").string() + " record 1: "));
}

// The kinds of one fetch are one change of the odds: while their files are renamed the fetch's
// mark stands. One that could not be renamed leaves the odds partly new and partly old, and the
// mark stays, so that the odds tables, which read them, say that the fetch did not end.
TEST(WeekOddsFetchMark, AFetchThatReplacedOnlySomeKindsLeavesItsMark) {
    testsupport::TempAppFolder folder;
    folder.Write("O4THISWEEKN.dat/keep", "x");  // in the way of the exacta file's rename
    OneFetch fetch;
    fetch.link.QueueOpen(0, 2, 0).QueueRecord(Full(kO2)).QueueRecord(Full(kO4)).QueueRecord(Full(kO5)).QueueEnd();

    EXPECT_EQ(fetch.Run(false).outcome, acquisition::WeekOddsOutcome::Failed);

    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), Full(kO2));
    EXPECT_TRUE(common::StepMarkStands(common::MarkedStep::OddsFetch));
    EXPECT_FALSE(common::StepMarkStands(common::MarkedStep::TrifectaFetch));
    EXPECT_THAT(fetch.texts, ElementsAre(kFailed));
    const acquisition::OddsTablesResult tables = acquisition::BuildOddsTables(acquisition::kOddsSourceThisWeek);
    EXPECT_THAT(acquisition::OddsTablesEndText(acquisition::kOddsSourceThisWeek, tables),
                ::testing::HasSubstr("今週のオッズが途中で終了しています"));

    std::filesystem::remove_all(folder / "O4THISWEEKN.dat");
    OneFetch again;
    again.link.QueueOpen(0, 2, 0).QueueRecord(Full(kO2)).QueueRecord(Full(kO4)).QueueRecord(Full(kO5)).QueueEnd();
    EXPECT_TRUE(again.Run(false).PlainSuccess());
    EXPECT_FALSE(common::StepMarkStands(common::MarkedStep::OddsFetch));
}

}  // namespace
