#include "acquisition/race_cancellation.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "acquisition/breaking_results.h"
#include "acquisition/recent_races.h"
#include "cancellation_fixtures.h"
#include "common/paths.h"
#include "dataservice/scripted_jvlink.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

using namespace cancellationtest;
using acquisition::CancellationOutcome;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Strings = std::vector<std::string>;

const std::string kInit = "JVInit SA583920/SD271539/TALMOR7THISWEEKN/ver.2020.3.2";
const std::string kEndText = "中止処理終了コマンドボタンはソフトを完全に終了する時まではクリックしないで下さい。";
const std::string kIncompleteText = "中止処理の一部を処理できませんでした。ERRORLOG.txtを確認して下さい。";
const std::string kNoData = "該当するデータがありません。";

// A race of the given date; the rest of its place does not matter to the dates.
std::string Dated(const std::string& date, const std::string& raceNum = "01") {
    return Race('2', At{date, "05", "04", "01", raceNum}, "t");
}

class Cancellation : public ::testing::Test {
protected:
    acquisition::CancellationSummary Apply() {
        return acquisition::ApplyRaceCancellations(link, host, [this](std::string_view t) {
            text1.emplace_back(t);
            pumpsAtText.push_back(Pumps());
        });
    }
    int Pumps() const {
        int n = 0;
        for (const auto& call : host.calls) n += call.what == "pumpEvents";
        return n;
    }
    // A week whose race and runner files are as structure building leaves them: working copy and
    // full copy equal.
    void SortedFiles(const std::string& races, const std::string& runners) {
        folder.Write("RATHISWEEKNNEW.dat", races);
        folder.Write("RATHISWEEKNNEWd.dat", races);
        folder.Write("SETHISWEEKNNEW.dat", runners);
        folder.Write("SETHISWEEKNNEWd.dat", runners);
    }

    testsupport::TempAppFolder folder;  // first: it sets AppFolder
    testsupport::RecordingHost host;
    dataservice::ScriptedJVLink link;
    Strings text1;
    std::vector<int> pumpsAtText;
};

TEST(RecentRaceDates, UpToThreeNewestFirstFromTheNewest98Records) {
    struct Case {
        const char* name;
        Strings recordDates;  // in file order; "" is a gap of zero bytes
        Strings expected;
    };
    auto times = [](const std::string& date, int n) { return Strings(static_cast<std::size_t>(n), date); };
    auto concat = [](Strings a, const Strings& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::string d1 = "20241005", d2 = "20241006", d3 = "20241012", d4 = "20241013";
    const std::vector<Case> cases = {
        {"empty", {}, {}},
        {"one date", times(d1, 3), {d1}},
        {"two dates", {d1, d2, d2}, {d2, d1}},
        {"the newest date has one record", {d1, d1, d2, d2, d3}, {d3, d2, d1}},
        {"four dates give the newest three", {d1, d2, d3, d4}, {d4, d3, d2}},
        {"record 1 of a short file is read", concat({d1}, times(d2, 5)), {d2, d1}},
        {"98 records: record 1 is the oldest read", concat({d1}, times(d2, 97)), {d2, d1}},
        {"99 records: record 1 is not read", concat({d1}, times(d2, 98)), {d2}},
        {"99 records: record 2 is read", concat({d1, d2}, times(d3, 97)), {d3, d2}},
        {"a gap is no date", {d1, "", d2}, {d2, d1}},
    };
    testsupport::TempAppFolder folder;
    EXPECT_THAT(acquisition::RecentRaceDates(folder / "RATHISWEEKNNEW.dat", "test"), IsEmpty()) << "missing file";
    EXPECT_FALSE(folder.Exists("RATHISWEEKNNEW.dat"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string file;
        for (const std::string& date : c.recordDates) file += date.empty() ? std::string(kRaLength, '\0') : Dated(date);
        folder.Write("RATHISWEEKNNEW.dat", file + "RA torn last record");
        EXPECT_EQ(acquisition::RecentRaceDates(folder / "RATHISWEEKNNEW.dat", "test"), c.expected);
    }
}

TEST_F(Cancellation, OneBreakingFetchPerRecentDateNewestFirst) {
    const std::string d1 = "20241005", d2 = "20241006", d3 = "20241012";
    for (const Strings& dates : {Strings{d3}, Strings{d2, d3}, Strings{d1, d2, d2, d3}}) {
        SCOPED_TRACE(dates.size());
        std::string races;
        // A date of two races is asked for once; each race stands once in the sorted files.
        for (std::size_t i = 0; i < dates.size(); ++i) races += Dated(dates[i], "0" + std::to_string(i + 1));
        SortedFiles(races, "");
        link.log.clear();
        host.calls.clear();
        text1.clear();
        pumpsAtText.clear();

        const auto summary = Apply();

        Strings expected;
        Strings newestFirst;
        for (auto d = dates.rbegin(); d != dates.rend(); ++d) {
            if (!newestFirst.empty() && newestFirst.back() == *d) continue;
            newestFirst.push_back(*d);
            // The date's reads end at the first result, 0.
            for (const std::string& line : {kInit, "JVRTOpen 0B12 " + *d, std::string("JVRead"), std::string("JVClose")})
                expected.push_back(line);
        }
        EXPECT_EQ(summary.dates, newestFirst);
        EXPECT_EQ(link.log, expected);
        EXPECT_EQ(summary.outcome, CancellationOutcome::Done);
        // The start text is painted before the work, the end text closes it.
        EXPECT_THAT(text1, ElementsAre("中止処理中。。", kEndText));
        EXPECT_EQ(pumpsAtText.front(), 0);
        EXPECT_GE(pumpsAtText.back(), 1);
        EXPECT_EQ(folder.Read("RATHISWEEKNNEW.dat"), races);
    }
    EXPECT_THAT(host.Messages(), IsEmpty());
    EXPECT_FALSE(folder.Exists("ERRORLOG.txt"));
}

TEST_F(Cancellation, AppendsExactlyTheDeliveredRecordsAtCountPlusOne) {
    const At race{"20241013", "06", "03", "02", "02"};
    SortedFiles(Race('2', race, "E"), "");
    // A record from an earlier run, and a torn tail that is not a record.
    const std::string earlier = Race('9', race, "EARLIER");
    folder.Write("RARIALTIME.dat", earlier + std::string(100, 'T'));

    const std::string cancelled = Race('9', race, "X", "20241013");
    const std::string runner = Runner('9', race, "02", "2020100001", "Z", "20241013");
    const std::string payout = Payout(race);
    // A read that says 600 bytes while the buffer holds a whole record: only the 600 count, and a
    // record cut short is passed over (logged), never stored padded.
    std::string longBuffer = Race('2', race, "SHORT");
    longBuffer.replace(600, std::string::npos, std::string(kRaLength - 600, 'Z'));
    link.initResults = {-101};  // reported, and the fetch goes on
    link.QueueRecord(cancelled).QueueRecord(runner);
    // A next-file mark that leaves a race record in the buffer: nothing to append.
    link.reads.push_back({dataservice::kRcNextFile, Race('9', race, "NOT A RECORD"), ""});
    link.QueueRecord("O1" + std::string(958, '1') + "\r\n").QueueRecord(payout);
    link.reads.push_back({600, longBuffer, ""});
    link.QueueReadCode(-203);

    const auto summary = Apply();

    EXPECT_EQ(folder.Read("RARIALTIME.dat"), earlier + cancelled);
    EXPECT_EQ(folder.Read("SERIALTIME.dat"), runner);
    EXPECT_EQ(folder.Read("HRRIALTIME.dat"), payout);
    EXPECT_EQ(summary.raAppended, 1);
    // The torn tail and the record cut short, each logged.
    EXPECT_EQ(summary.recordsPassedOver, 2);
    EXPECT_THAT(folder.Read("ERRORLOG.txt"),
                HasSubstr("[ApplyRaceCancellations] 0B12 20241013 record 5: cut short: 600 of the 1272 bytes of RA"));
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("RARIALTIME.dat: its torn last record (100 bytes) cut off"));
    EXPECT_EQ(summary.seAppended, 1);
    EXPECT_EQ(summary.hrAppended, 1);
    EXPECT_EQ(summary.otherSkipped, 1);
    EXPECT_THAT(host.Messages(), ElementsAre("JVInitエラー。RC=-101"));
    EXPECT_EQ(link.Count("JVRead"), 7u);
    EXPECT_EQ(summary.outcome, CancellationOutcome::Done);
    // The race was cancelled: the working copy has nothing left.
    EXPECT_EQ(folder.Read("RATHISWEEKNNEWd.dat"), cancelled);
    EXPECT_EQ(folder.Read("RATHISWEEKNNEW.dat"), "");
}

// An error code is read past like -1: the records behind it still come in, and no message shows;
// but the date's records may not have come whole, so the error is logged and the end text says so.
TEST(CancellationReads, ReadErrorsAreReadPast) {
    for (int code : {-402, -403, -502, -201, -3}) {
        SCOPED_TRACE(code);
        testsupport::TempAppFolder fresh;
        testsupport::RecordingHost freshHost;
        dataservice::ScriptedJVLink failing;
        const At race{"20241013", "06", "03", "02", "02"};
        const std::string races = Race('2', race, "E") + Race('1', race, "EARLY");
        fresh.Write("RATHISWEEKNNEW.dat", races);
        fresh.Write("RATHISWEEKNNEWd.dat", races);
        fresh.Write("SETHISWEEKNNEW.dat", "");
        fresh.Write("SETHISWEEKNNEWd.dat", "");
        for (int i = 0; i < 5; ++i) failing.QueueReadCode(code, "20241013");
        failing.QueueRecord(Race('9', race, "X"));
        failing.QueueReadCode(-203);

        Strings texts;
        const auto summary = acquisition::ApplyRaceCancellations(failing, freshHost, [&](std::string_view t) {
            texts.emplace_back(t);
        });

        EXPECT_THAT(freshHost.Messages(), IsEmpty());
        EXPECT_EQ(failing.Count("JVRead"), 7u);
        EXPECT_EQ(failing.Count("JVFiledelete"), 0u);
        EXPECT_EQ(failing.log.back(), "JVClose");
        EXPECT_EQ(fresh.Read("RARIALTIME.dat"), Race('9', race, "X"));
        EXPECT_NE(summary.outcome, CancellationOutcome::Done);
        EXPECT_NE(texts.back(), kEndText);
        EXPECT_NE(fresh.Read("ERRORLOG.txt").find("RC=" + std::to_string(code)), std::string::npos);
        // The cancelled race left the working copy along with the kind "1" record.
        EXPECT_EQ(fresh.Read("RATHISWEEKNNEW.dat"), "");
    }
}

// An error that stays ends the date's reads at the bound, logged with its code; the rest runs.
TEST(CancellationReads, AnErrorThatStaysIsBoundedAndLogged) {
    testsupport::TempAppFolder fresh;
    testsupport::RecordingHost freshHost;
    dataservice::ScriptedJVLink failing;
    const At race{"20241013", "06", "03", "02", "02"};
    const std::string races = Race('2', race, "E") + Race('1', race, "EARLY");
    fresh.Write("RATHISWEEKNNEW.dat", races);
    fresh.Write("RATHISWEEKNNEWd.dat", races);
    fresh.Write("SETHISWEEKNNEWd.dat", "");
    for (long i = 0; i <= acquisition::kMaxBreakingResultReadsWithoutRecord; ++i) failing.QueueReadCode(-502);
    failing.QueueRecord(Race('9', race, "X"));

    Strings texts;
    const auto summary =
        acquisition::ApplyRaceCancellations(failing, freshHost, [&](std::string_view t) { texts.emplace_back(t); });

    EXPECT_EQ(failing.Count("JVRead"), static_cast<std::size_t>(acquisition::kMaxBreakingResultReadsWithoutRecord + 1));
    EXPECT_THAT(freshHost.Messages(), IsEmpty());
    EXPECT_EQ(failing.log.back(), "JVClose");
    EXPECT_FALSE(fresh.Exists("RARIALTIME.dat"));
    EXPECT_EQ(summary.outcome, CancellationOutcome::Incomplete);
    EXPECT_EQ(texts.back(), kIncompleteText);
    EXPECT_THAT(fresh.Read("ERRORLOG.txt"), HasSubstr("RC=-502"));
    EXPECT_EQ(fresh.Read("RATHISWEEKNNEW.dat"), Race('2', race, "E"));
}

TEST(CancellationReads, NextFileMarksWithoutARecordAreBounded) {
    const At race{"20241013", "06", "03", "02", "02"};
    for (long marks : {acquisition::kMaxBreakingResultReadsWithoutRecord, acquisition::kMaxBreakingResultReadsWithoutRecord + 1}) {
        SCOPED_TRACE(marks);
        testsupport::TempAppFolder fresh;
        testsupport::RecordingHost freshHost;
        dataservice::ScriptedJVLink marking;
        fresh.Write("RATHISWEEKNNEW.dat", Race('2', race, "E"));
        fresh.Write("RATHISWEEKNNEWd.dat", Race('2', race, "E"));
        fresh.Write("SETHISWEEKNNEWd.dat", "");
        for (long i = 0; i < marks; ++i) marking.QueueNextFile();
        marking.QueueRecord(Race('9', race, "X")).QueueReadCode(-203);

        const auto summary = acquisition::ApplyRaceCancellations(marking, freshHost, nullptr);

        const bool withinBound = marks == acquisition::kMaxBreakingResultReadsWithoutRecord;
        EXPECT_EQ(marking.Count("JVRead"), static_cast<std::size_t>(withinBound ? marks + 2 : marks));
        EXPECT_EQ(fresh.Read("RARIALTIME.dat"), withinBound ? Race('9', race, "X") : "");
        EXPECT_THAT(freshHost.Messages(), IsEmpty());
        EXPECT_EQ(summary.outcome, withinBound ? CancellationOutcome::Done : CancellationOutcome::Incomplete);
        if (!withinBound) {
            EXPECT_THAT(fresh.Read("ERRORLOG.txt"), HasSubstr("without a record"));
        }
    }
}

TEST_F(Cancellation, ABreakingOpenThatFailsIsNotRead) {
    SortedFiles(Dated("20241013"), "");
    struct Case {
        int open;
        CancellationOutcome outcome;
    };
    // -1: nothing published for the date, which is no failure.
    for (const Case& c : {Case{-1, CancellationOutcome::Done}, Case{-202, CancellationOutcome::Incomplete}}) {
        SCOPED_TRACE(c.open);
        link.log.clear();
        link.QueueRTOpen(c.open);
        EXPECT_EQ(Apply().outcome, c.outcome);
        EXPECT_THAT(link.log, ElementsAre(kInit, "JVRTOpen 0B12 20241013", "JVClose"));
    }
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("RC=-202"));
}

// Cancelled races and runners leave the working copies and the run files; the full copies keep
// every record, each matching one in its "9" form.
TEST_F(Cancellation, MarksEveryMatchAndRebuildsWorkingCopiesAndRunFiles) {
    const std::string d1 = "20241012", d2 = "20241013";
    const At past{"20240901", "05", "03", "04", "05"};
    const At r1{d1, "05", "04", "01", "11"};
    const At r1Moved{d2, "05", "04", "01", "11"};  // the same race, its breaking record dated a day later
    const At r2{d2, "05", "04", "02", "11"};       // the next day's race of the same number
    const At r3{d2, "06", "03", "02", "01"};
    const At r4{d2, "06", "03", "02", "02"};
    const At r9{d2, "09", "01", "01", "01"};       // in no sorted file
    const std::string h1 = "2020100001", h2 = "2020100002", h3 = "2020100003", h4 = "2020100004",
                      h5 = "2020100005", h6 = "2019100006";

    const std::string P = Race('7', past, "P"), A = Race('2', r1, "A"), B = Race('4', r1, "B"),
                      D = Race('1', r3, "D"), C = Race('2', r2, "C"), E = Race('2', r4, "E");
    const std::string p = Runner('7', past, "05", h2, "p", "20240903"), a = Runner('2', r1, "03", h1, "a"),
                      b = Runner('2', r1, "05", h2, "b"), c = Runner('4', r1, "03", h1, "c", "20241011"),
                      g = Runner('1', r3, "03", h4, "g"), d = Runner('2', r2, "03", h3, "d"),
                      e = Runner('2', r4, "01", h2, "e", "20241010"), f = Runner('2', r4, "02", h1, "f"),
                      e4 = Runner('4', r4, "01", h2, "e4", "20241012");
    SortedFiles(Join({P, A, B, D, C, E}), Join({p, a, b, c, g, d, e, f, e4}));
    folder.Write("KETTONUMTHISWEEKN.dat", KeyList({h1, h2, h3, h4, h5}));
    folder.Write("UMAGOTOTHISWEEKN/" + h1 + ".dat", a + c + f);
    folder.Write("UMAGOTOTHISWEEKN/" + h6 + ".dat", "a horse of another week");

    const std::string X = Race('9', r1Moved, "X", "20241013"), N = Race('9', r9, "N", "20241013"),
                      E2 = Race('2', r4, "E2", "20241013");
    const std::string Y3 = Runner('9', r1Moved, "03", h1, "Y3", "20241013"),
                      Y5 = Runner('9', r1, "05", h2, "Y5", "20241013"),
                      Z = Runner('9', r4, "02", h1, "Z", "20241013"),
                      Nr = Runner('9', r9, "01", h5, "N", "20241013");
    link.QueueRecords({X, E2, N, Y3, Y5, Z, Nr, Payout(r4)}).QueueReadCode(-203);

    const auto summary = Apply();

    EXPECT_EQ(summary.dates, (Strings{d2, d1, "20240901"}));
    EXPECT_EQ(summary.outcome, CancellationOutcome::Done);
    EXPECT_FALSE(folder.Exists("ERRORLOG.txt")) << folder.Read("ERRORLOG.txt");
    // Both records of race r1 (kinds "2" and "4") are marked; the next day's race of the same
    // number and the unmatched "9" record change nothing.
    EXPECT_EQ(folder.Read("RATHISWEEKNNEWd.dat"), Join({P, X, X, D, C, E}));
    EXPECT_EQ(folder.Read("RATHISWEEKNNEW.dat"), Join({P, C, E}));
    EXPECT_EQ(summary.raceRecordsMarked, 2);
    EXPECT_EQ(summary.races, 3);
    // Runners by race and horse number: the next day's horse 3 stays, the scratched horse 2 of r4
    // goes.
    EXPECT_EQ(folder.Read("SETHISWEEKNNEWd.dat"), Join({p, Y3, Y5, Y3, g, d, e, Z, e4}));
    EXPECT_EQ(folder.Read("SETHISWEEKNNEW.dat"), Join({p, d, e, e4}));
    EXPECT_EQ(summary.runnerRecordsMarked, 4);
    EXPECT_EQ(summary.runners, 4);
    // Run files: a horse whose runs were all cancelled is left empty; the newer version of a run
    // takes the older one's place.
    EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/" + h1 + ".dat"), "");
    EXPECT_TRUE(folder.Exists("UMAGOTOTHISWEEKN/" + h1 + ".dat"));
    EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/" + h2 + ".dat"), p + e4);
    EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/" + h3 + ".dat"), d);
    EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/" + h4 + ".dat"), "");
    EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/" + h5 + ".dat"), "");
    EXPECT_TRUE(folder.Exists("UMAGOTOTHISWEEKN/" + h5 + ".dat"));
    EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/" + h6 + ".dat"), "a horse of another week");
    EXPECT_FALSE(folder.Exists("TEMPORARY"));

    // A second run finds the same "9" records again (the breaking files grow) with the same effect.
    link.QueueRecords({X, Y3}).QueueReadCode(-203);
    const auto again = Apply();
    EXPECT_EQ(again.outcome, CancellationOutcome::Done);
    EXPECT_EQ(folder.Read("RATHISWEEKNNEW.dat"), Join({P, C, E}));
    EXPECT_EQ(folder.Read("SETHISWEEKNNEW.dat"), Join({p, d, e, e4}));
    EXPECT_EQ(folder.Read("RATHISWEEKNNEWd.dat"), Join({P, X, X, D, C, E}));
}

// A full copy as a file may hold it after a fault: a damaged record, a torn tail, a cut in the
// middle. Rebuilt from, its working copy would lose every record after the damage, and marked, it
// would be written back with what was read shifted: the copies and the run files stay as they are,
// named in the log, and the end text says so. With no "9" record nothing is marked; with one, the
// marking fails and the parts after it do not run. A record that stands twice (a race, or a runner
// of a race) is damage too: the structure step writes each once.
TEST_F(Cancellation, ADamagedFullCopyIsNeitherMarkedNorRebuiltFrom) {
    const At race{"20241013", "06", "03", "02", "02"};
    const std::string h1 = "2020100001", h2 = "2020100002";
    const std::string r1 = Runner('2', race, "01", h1, "r1"), r2 = Runner('2', race, "02", h2, "r2"),
                      r1Early = Runner('1', race, "01", h1, "early");
    std::string damaged = Runner('2', race, "03", h2, "damaged");
    damaged.replace(0, 2, "XX");
    const std::string Y = Runner('9', race, "02", h2, "Y", "20241013");
    std::string manyRaces;
    for (const char* n : {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12"})
        manyRaces += Race('2', At{"20241013", "06", "03", "02", n}, "R");
    const std::string cutRaces = manyRaces.substr(0, 4 * kRaLength + 300);
    const std::string X = Race('9', At{"20241013", "06", "03", "02", "02"}, "X");
    const std::string lastRaces = Race('2', race, "last run"),
                      lastRunners = Runner('2', race, "05", "2020100009", "last run");
    struct Case {
        const char* what;
        const char* full;  // the damaged full copy
        std::string fullBytes;
        std::vector<std::string> breaking;
        std::string endText;
    };
    const std::string damagedRunners = r1 + damaged + r1Early + r2 + r2.substr(0, 100);
    const std::vector<Case> cases = {
        {"runners: a record of another kind and a torn tail, one runner called off", "SETHISWEEKNNEWd.dat",
         damagedRunners, {Y},
         kIncompleteText + "（作成できなかった出力 SETHISWEEKNNEW.dat・UMAGOTOTHISWEEKN、読み飛ばした壊れたレコード 2 件。ERRORLOG.txtを確認して下さい。）"},
        {"runners: the same, nothing called off", "SETHISWEEKNNEWd.dat", damagedRunners, {},
         kEndText + "（前回のまま残した出力 1 件、作成できなかった出力 UMAGOTOTHISWEEKN、読み飛ばした壊れたレコード 2 件。ERRORLOG.txtを確認して下さい。）"},
        {"races: cut inside the fifth of twelve, nothing called off", "RATHISWEEKNNEWd.dat", cutRaces, {},
         kEndText + "（前回のまま残した出力 1 件、読み飛ばした壊れたレコード 1 件。ERRORLOG.txtを確認して下さい。）"},
        {"runners: a record written twice, nothing called off", "SETHISWEEKNNEWd.dat", r1 + r2 + r2, {},
         kEndText + "（前回のまま残した出力 1 件、作成できなかった出力 UMAGOTOTHISWEEKN、読み飛ばした壊れたレコード 1 件。ERRORLOG.txtを確認して下さい。）"},
        {"races: a race written twice, nothing called off", "RATHISWEEKNNEWd.dat",
         manyRaces.substr(0, 6 * kRaLength) + manyRaces.substr(5 * kRaLength), {},
         kEndText + "（前回のまま残した出力 1 件、読み飛ばした壊れたレコード 1 件。ERRORLOG.txtを確認して下さい。）"},
        {"races: the same, a race called off", "RATHISWEEKNNEWd.dat", cutRaces, {X},
         kIncompleteText + "（作成できなかった出力 RATHISWEEKNNEW.dat、読み飛ばした壊れたレコード 1 件。ERRORLOG.txtを確認して下さい。）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* name : {"SERIALTIME.dat", "RARIALTIME.dat", "ERRORLOG.txt"}) std::filesystem::remove(folder / name);
        SortedFiles(manyRaces, r1 + r2);
        folder.Write("RATHISWEEKNNEW.dat", lastRaces);
        folder.Write("SETHISWEEKNNEW.dat", lastRunners);
        folder.Write(c.full, c.fullBytes);
        folder.Write("KETTONUMTHISWEEKN.dat", KeyList({h1, h2}));
        folder.Write("UMAGOTOTHISWEEKN/" + h1 + ".dat", "last run's runs");
        folder.Write("UMAGOTOTHISWEEKN/" + h2 + ".dat", "last run's runs");
        text1.clear();
        link.QueueRecords(c.breaking).QueueReadCode(-203);

        const auto summary = Apply();

        EXPECT_EQ(folder.Read(c.full), c.fullBytes);
        const bool races = std::string(c.full) == "RATHISWEEKNNEWd.dat";
        EXPECT_EQ(folder.Read("RATHISWEEKNNEW.dat"), races ? lastRaces : manyRaces);
        EXPECT_EQ(folder.Read("SETHISWEEKNNEW.dat"), races ? r1 + r2 : lastRunners);
        EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/" + h1 + ".dat"), races ? r1 : "last run's runs");
        EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/" + h2 + ".dat"), races ? r2 : "last run's runs");
        EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr(std::string(c.full)));
        EXPECT_THAT(text1, ElementsAre("中止処理中。。", c.endText));
        EXPECT_GT(summary.recordsPassedOver, 0);
        EXPECT_FALSE(folder.Exists("TEMPORARY"));
    }
}

// The horse list names the horses whose run files are rebuilt: without it the runs called off
// would stay in them unsaid. It is named in the log and the end text, and the run files stay.
TEST_F(Cancellation, AMissingOrEmptyHorseListIsToldAndTheRunFilesStay) {
    const At race{"20241013", "06", "03", "02", "02"};
    const std::string h1 = "2020100001";
    const std::string r1 = Runner('2', race, "01", h1, "r1");
    for (const bool missing : {true, false}) {
        SCOPED_TRACE(missing ? "missing" : "empty");
        std::filesystem::remove(folder / "ERRORLOG.txt");
        std::filesystem::remove(folder / "KETTONUMTHISWEEKN.dat");
        if (!missing) folder.Write("KETTONUMTHISWEEKN.dat", "");
        SortedFiles(Race('2', race, "E"), r1);
        folder.Write("UMAGOTOTHISWEEKN/" + h1 + ".dat", r1);
        text1.clear();
        link.QueueRecord(Runner('9', race, "01", h1, "Y", "20241013")).QueueReadCode(-203);

        Apply();

        EXPECT_EQ(folder.Read("SETHISWEEKNNEW.dat"), "");  // the runner is called off
        EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/" + h1 + ".dat"), r1);
        const std::string log = folder.Read("ERRORLOG.txt");
        EXPECT_THAT(log, HasSubstr(std::string("[ApplyRaceCancellations] KETTONUMTHISWEEKN.dat ") +
                                   (missing ? "is missing" : "holds nothing to work on")));
        EXPECT_THAT(log, HasSubstr("[ApplyRaceCancellations] UMAGOTOTHISWEEKN left as it was: KETTONUMTHISWEEKN.dat"));
        EXPECT_THAT(text1, ElementsAre("中止処理中。。", kEndText + "（入力ファイルの一部がありません、前回のまま残した出力 1 件。ERRORLOG.txtを確認して下さい。）"));
    }
}

TEST_F(Cancellation, AnEmptyRaceFileEndsWithTheNoDataMessageSaysSoAndTouchesNothing) {
    const At race{"20241013", "06", "03", "02", "02"};
    const std::string runners = Runner('2', race, "01", "2020100001", "kept");
    const std::string fullRunners = Runner('9', race, "01", "2020100001", "cancelled");
    folder.Write("SETHISWEEKNNEW.dat", runners);
    folder.Write("SETHISWEEKNNEWd.dat", fullRunners);
    folder.Write("KETTONUMTHISWEEKN.dat", KeyList({"2020100001"}));
    folder.Write("UMAGOTOTHISWEEKN/2020100001.dat", runners);
    for (const char* file : {"", "RA only a torn record"}) {
        SCOPED_TRACE(file);
        folder.Write("RATHISWEEKNNEW.dat", file);
        folder.Write("RATHISWEEKNNEWd.dat", Race('2', race, "E"));
        text1.clear();
        std::filesystem::remove(folder / "ERRORLOG.txt");

        EXPECT_EQ(Apply().outcome, CancellationOutcome::NoRaces);

        EXPECT_THAT(text1, ElementsAre("中止処理中。。", "中止処理終了（入力ファイルがありません。先に①を実行して下さい。ERRORLOG.txtを確認して下さい。）"));
        EXPECT_THAT(folder.Read("ERRORLOG.txt"),
                    HasSubstr("[ApplyRaceCancellations] RATHISWEEKNNEW.dat holds nothing to work on"));
        EXPECT_THAT(link.log, IsEmpty());
        EXPECT_EQ(folder.Read("RATHISWEEKNNEW.dat"), file);
        EXPECT_EQ(folder.Read("SETHISWEEKNNEW.dat"), runners);
        EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/2020100001.dat"), runners);
    }
    EXPECT_THAT(host.Messages(), ElementsAre(kNoData, kNoData));
}

TEST_F(Cancellation, AFailedRewriteLeavesTheCopiesWhole) {
    const At race{"20241013", "06", "03", "02", "02"};
    const std::string races = Race('2', race, "E") + Race('1', race, "EARLY");
    const std::string runners = Runner('2', race, "01", "2020100001", "r1") + Runner('2', race, "02", "2020100002", "r2");
    SortedFiles(races, runners);
    folder.Write("KETTONUMTHISWEEKN.dat", KeyList({"2020100001"}));
    folder.Write("UMAGOTOTHISWEEKN/2020100001.dat", "last run's runs");
    // The scratch file cannot be made: a folder stands in its place.
    folder.Write("TEMPORARY/in the way", "");
    link.QueueRecords({Race('9', race, "X"), Runner('9', race, "02", "2020100002", "Y")}).QueueReadCode(-203);

    const auto summary = Apply();

    // The marking fails, and what would be made from the unmarked full copies is not made.
    EXPECT_EQ(summary.outcome, CancellationOutcome::Incomplete);
    EXPECT_EQ(summary.failures, 2);
    EXPECT_EQ(text1.back(), kIncompleteText +
                                "（作成できなかった出力 RATHISWEEKNNEW.dat・SETHISWEEKNNEW.dat・UMAGOTOTHISWEEKN。ERRORLOG.txtを確認して下さい。）");
    EXPECT_EQ(folder.Read("RATHISWEEKNNEW.dat"), races);
    EXPECT_EQ(folder.Read("RATHISWEEKNNEWd.dat"), races);
    EXPECT_EQ(folder.Read("SETHISWEEKNNEW.dat"), runners);
    EXPECT_EQ(folder.Read("SETHISWEEKNNEWd.dat"), runners);
    // The breaking records are kept, and the run files stay as they were.
    EXPECT_EQ(folder.Read("RARIALTIME.dat"), Race('9', race, "X"));
    EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/2020100001.dat"), "last run's runs");
}

// A zero byte in a match field (a gap a later write left) reads as a blank, in the full copy and
// in the breaking records alike; a zero data kind is neither "1" nor "9", and its record stays.
TEST_F(Cancellation, AZeroByteInAMatchFieldReadsAsABlank) {
    const std::string zero("\0", 1);
    const At race{"20241013", "06", "03", "02", "02"};
    const At zeroRace{"20241013", "06", "03", "02", "0" + zero};
    const At blankRace{"20241013", "06", "03", "02", "0 "};
    const std::string stays = Race('2', race, "stays"), zeroNum = Race('2', zeroRace, "zeroNum");
    std::string zeroKind = Runner('2', race, "01", "2020100001", "zeroKind");
    zeroKind[2] = '\0';
    const std::string blankUmaban = Runner('2', race, "0 ", "2020100002", "blankUmaban");
    SortedFiles(stays + zeroNum, zeroKind + blankUmaban);
    folder.Write("KETTONUMTHISWEEKN.dat", KeyList({"2020100001"}));
    const std::string X = Race('9', blankRace, "X"), Y = Runner('9', race, "0" + zero, "2020100002", "Y");
    link.QueueRecords({X, Y}).QueueReadCode(-203);

    const auto summary = Apply();

    EXPECT_EQ(folder.Read("RATHISWEEKNNEWd.dat"), stays + X);
    EXPECT_EQ(folder.Read("RATHISWEEKNNEW.dat"), stays);
    EXPECT_EQ(folder.Read("SETHISWEEKNNEWd.dat"), zeroKind + Y);
    EXPECT_EQ(folder.Read("SETHISWEEKNNEW.dat"), zeroKind);
    EXPECT_EQ(summary.raceRecordsMarked, 1);
    EXPECT_EQ(summary.runnerRecordsMarked, 1);
}

TEST_F(Cancellation, AMissingFullCopyLeavesTheWorkingCopyAsItIs) {
    const At race{"20241013", "06", "03", "02", "02"};
    const std::string races = Race('2', race, "E") + Race('1', race, "EARLY");
    folder.Write("RATHISWEEKNNEW.dat", races);
    folder.Write("SETHISWEEKNNEW.dat", "");
    folder.Write("SETHISWEEKNNEWd.dat", "");
    link.QueueRecord(Race('9', race, "X")).QueueReadCode(-203);

    EXPECT_EQ(Apply().outcome, CancellationOutcome::Incomplete);
    EXPECT_EQ(folder.Read("RATHISWEEKNNEW.dat"), races);
    EXPECT_FALSE(folder.Exists("RATHISWEEKNNEWd.dat"));
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("RATHISWEEKNNEWd.dat is missing"));
}

// A full copy without a record would empty its working copy, and a working runner copy without a
// record every run file: they stay, each named in the log, and the end text says so.
TEST_F(Cancellation, EmptyCopiesKeepTheWorkingCopiesAndTheRunFiles) {
    const At race{"20241013", "06", "03", "02", "02"};
    const std::string races = Race('2', race, "E");
    const std::string runner = Runner('2', race, "01", "2020100001", "r");
    folder.Write("RATHISWEEKNNEW.dat", races);
    folder.Write("RATHISWEEKNNEWd.dat", "");
    folder.Write("SETHISWEEKNNEW.dat", "");
    folder.Write("SETHISWEEKNNEWd.dat", "");
    folder.Write("KETTONUMTHISWEEKN.dat", "\"2020100001\"\r\n");
    folder.Write("UMAGOTOTHISWEEKN/2020100001.dat", runner);
    link.QueueReadCode(-203);

    const auto summary = Apply();

    EXPECT_EQ(folder.Read("RATHISWEEKNNEW.dat"), races);
    EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/2020100001.dat"), runner);
    EXPECT_EQ(summary.outputsKept, 2);
    EXPECT_EQ(summary.outcome, CancellationOutcome::Done);
    const std::string log = folder.Read("ERRORLOG.txt");
    EXPECT_THAT(log, HasSubstr("[ApplyRaceCancellations] RATHISWEEKNNEW.dat left as it was: RATHISWEEKNNEWd.dat"));
    EXPECT_THAT(log, HasSubstr("[ApplyRaceCancellations] UMAGOTOTHISWEEKN left as it was: SETHISWEEKNNEW.dat"));
    EXPECT_THAT(text1, ElementsAre("中止処理中。。", kEndText + "（前回のまま残した出力 2 件。ERRORLOG.txtを確認して下さい。）"));
    EXPECT_FALSE(folder.Exists("CANCELLATION.mark"));
}

}  // namespace
