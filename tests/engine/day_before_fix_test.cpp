#include "support/record_bytes.h"
#include "engine/day_before_fix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/ex_record.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

using testsupport::At;
using testsupport::Put;

// A runner record with the fields the fix reads and writes at their 1-based positions:
// Futan 289, FutanBefore 292, KisyuCode 297, KisyuCodeBefore 302, KisyuRyakusyo 307,
// KisyuRyakusyoBefore 315, BaTaijyu 325, TimeDiff 532.
struct RunFields {
    std::string futan = "550", futanBefore = "000";
    std::string kisyu = "01001", kisyuBefore = "00000";
    std::string ryakusyo = "JOCKEY A", ryakusyoBefore = "JOCKEY B";
    std::string baTaijyu = "480", timeDiff = "0012";
};

// A race record with nothing but its kind and its line end.
const std::string kBlankRace = "RA" + std::string(1268, ' ') + "\r\n";

std::string Runner(const RunFields& run, char fill = 'r') {
    std::string r(555, fill);
    Put(r, 1, "SE");
    Put(r, 289, run.futan);
    Put(r, 292, run.futanBefore);
    Put(r, 297, run.kisyu);
    Put(r, 302, run.kisyuBefore);
    Put(r, 307, run.ryakusyo);
    Put(r, 315, run.ryakusyoBefore);
    Put(r, 325, run.baTaijyu);
    Put(r, 532, run.timeDiff);
    Put(r, 554, "\r\n");
    return r;
}

TEST(FixLastRun, BodyWeightTimeDifferenceJockeyAndWeightCarried) {
    struct Case {
        const char* name;
        RunFields last;
        std::string before;  // BaTaijyu of the record before; empty: the horse's only record
        RunFields expected;
    };
    RunFields plain;
    RunFields withBefore;
    withBefore.kisyuBefore = "01234";
    withBefore.futanBefore = "560";
    RunFields blankBefore;
    blankBefore.kisyuBefore = "     ";
    blankBefore.futanBefore = "   ";

    auto fixed = [](RunFields r, std::string baTaijyu) {
        r.baTaijyu = std::move(baTaijyu);
        r.timeDiff = "0000";
        return r;
    };
    RunFields withBeforeFixed = fixed(withBefore, "472");
    withBeforeFixed.kisyu = "01234";
    withBeforeFixed.ryakusyo = "JOCKEY B";
    withBeforeFixed.futan = "560";

    const Case cases[] = {
        {"debutant with a body weight", plain, "", fixed(plain, "440")},
        {"later run takes the previous weight", plain, "472", fixed(plain, "472")},
        {"jockey and weight from the Before fields", withBefore, "472", withBeforeFixed},
        {"blank Before fields read as 0", blankBefore, "472", fixed(blankBefore, "472")},
    };
    for (const Case& c : cases) {
        std::string last = Runner(c.last);
        std::string before;
        if (!c.before.empty()) {
            RunFields previous;
            previous.baTaijyu = c.before;
            before = Runner(previous, 'p');
        }
        engine::FixLastRun(last, before);
        EXPECT_EQ(last, Runner(c.expected)) << c.name;
    }
}

TEST(FixPreviousDay, FixesTheLastRunOfEveryListedHorseOnly) {
    testsupport::TempAppFolder dir;
    dir.Write("KETTONUMTHISWEEKN.dat", "\"2019100001\"\r\n\"2019100002\"\r\n\"2019100003\"\r\n\"bad/key\"\r\n");
    dir.Write("RATHISWEEKNNEW.dat", kBlankRace);
    RunFields debut;
    dir.Write("UMAGOTOTHISWEEKN/2019100001.dat", Runner(debut));
    RunFields first, second, last;
    first.baTaijyu = "460";
    second.baTaijyu = "470";
    last.baTaijyu = "   ";
    last.kisyuBefore = "05555";
    const std::string earlier = Runner(first) + Runner(second);
    dir.Write("UMAGOTOTHISWEEKN/2019100002.dat", earlier + Runner(last));

    testsupport::RecordingHost host;
    std::string text1;
    const auto summary = engine::FixPreviousDay(host, {[&](std::string_view t) { text1 = t; }, {}});

    const std::string debutFile = dir.Read("UMAGOTOTHISWEEKN/2019100001.dat");
    EXPECT_EQ(At(debutFile, 325, 3), "440");
    EXPECT_EQ(At(debutFile, 532, 4), "0000");
    const std::string runsFile = dir.Read("UMAGOTOTHISWEEKN/2019100002.dat");
    ASSERT_EQ(runsFile.size(), 3u * 555u);
    EXPECT_EQ(runsFile.substr(0, 2 * 555), earlier);  // only the last record changes
    EXPECT_EQ(At(runsFile, 2 * 555 + 325, 3), "470");
    EXPECT_EQ(At(runsFile, 2 * 555 + 297, 5), "05555");
    EXPECT_EQ(At(runsFile, 2 * 555 + 302, 5), "05555");  // the Before field itself stays
    EXPECT_FALSE(dir.Exists("UMAGOTOTHISWEEKN/2019100003.dat"));  // no run file: none created

    EXPECT_EQ(summary.horses, 4);
    EXPECT_EQ(summary.lastEntriesFixed, 2);
    EXPECT_EQ(summary.failures, 1);  // the bad key
    EXPECT_EQ(summary.lastEntriesNotFixed, 1);  // no run file: told
    EXPECT_NE(dir.Read("ERRORLOG.txt").find("bad/key"), std::string::npos);
    EXPECT_NE(dir.Read("ERRORLOG.txt").find("2019100003.dat is missing"), std::string::npos);
    EXPECT_EQ(text1, "前日固定終了（前日固定できなかった馬 1 頭。ERRORLOG.txtを確認して下さい。）");
    EXPECT_EQ(host.Messages(), std::vector<std::string>{std::string(engine::kDayBeforeFixIncomplete)});

    // A second run changes nothing.
    engine::FixPreviousDay(host, {});
    EXPECT_EQ(dir.Read("UMAGOTOTHISWEEKN/2019100002.dat"), runsFile);
    EXPECT_EQ(dir.Read("UMAGOTOTHISWEEKN/2019100001.dat"), debutFile);
}

// A race record: DataKubun at 3, RaceId at 12, TenkoCD, SibaBabaCD, DirtBabaCD at 888 to 890.
std::string RaceRecord(std::string_view dataKubun, std::string_view raceId, std::string_view tenkoBaba) {
    std::string r(1272, 'a');
    Put(r, 1, "RA");
    Put(r, 3, dataKubun);
    Put(r, 12, raceId);
    Put(r, 888, tenkoBaba);
    Put(r, 1271, "\r\n");
    return r;
}

std::string PayoutRecord(std::string_view raceId) {
    std::string r(719, 'h');
    Put(r, 1, "HR");
    Put(r, 12, raceId);
    Put(r, 718, "\r\n");
    return r;
}

// Year, MonthDay, JyoCD, Kaiji, Nichiji, RaceNum.
constexpr std::string_view kRace1 = "2024060105030101";
constexpr std::string_view kRace2 = "2024060105030102";
constexpr std::string_view kRace3 = "2024060208030111";

TEST(FixPreviousDay, PredictionModeFixesTheRacesOfDataKindOne) {
    testsupport::TempAppFolder dir;
    dir.Write("KETTONUMTHISWEEKN.dat", "");
    dir.Write("RACETHISWEEKN.dat", "\"keep\"\r\n");
    dir.Write("RATHISWEEKNNEW.dat",
              RaceRecord("1", kRace1, "234") + RaceRecord("2", kRace2, "234") + RaceRecord("1", kRace3, "   "));
    testsupport::RecordingHost host;
    std::vector<int> bar;
    const auto summary = engine::FixPreviousDay(host, {{}, [&](int v) { bar.push_back(v); }});

    EXPECT_EQ(dir.Read("RATHISWEEKNNEW.dat"),
              RaceRecord("1", kRace1, "111") + RaceRecord("2", kRace2, "234") + RaceRecord("1", kRace3, "111"));
    EXPECT_EQ(dir.Read("RACETHISWEEKN.dat"), "\"keep\"\r\n");
    EXPECT_FALSE(summary.resultMode);
    EXPECT_EQ(summary.racesFixed, 2);
    EXPECT_EQ(summary.failures, 0);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(bar, (std::vector<int>{0, 33, 66, 100}));
}

TEST(FixPreviousDay, ResultModeFixesTheRacesWithPayoutsAndListsThem) {
    testsupport::TempAppFolder dir;
    dir.Write("KETTONUMTHISWEEKN.dat", "");
    dir.Write("RACETHISWEEKN.dat", "\"old\"\r\n\"list\"\r\n");
    dir.Write("RATHISWEEKNNEW.dat",
              RaceRecord("1", kRace1, "234") + RaceRecord("2", kRace2, "234") + RaceRecord("7", kRace3, "345"));
    dir.Write("HRTHISWEEKN.dat", PayoutRecord(kRace3) + PayoutRecord(kRace2));
    testsupport::RecordingHost host;
    const auto summary = engine::FixPreviousDay(host, {});

    // Race 1 has no payout: it keeps its weather and going, whatever its data kind.
    EXPECT_EQ(dir.Read("RATHISWEEKNNEW.dat"),
              RaceRecord("1", kRace1, "234") + RaceRecord("2", kRace2, "111") + RaceRecord("7", kRace3, "111"));
    EXPECT_EQ(dir.Read("RACETHISWEEKN.dat"), "\"202406020811\"\r\n\"202406010502\"\r\n");
    EXPECT_TRUE(summary.resultMode);
    EXPECT_EQ(summary.payoutKeys, 2);
    EXPECT_EQ(summary.failures, 0);
}

TEST(SetFineWeatherAndGoodGoing, RaceRecordAndExpandedRun) {
    // Stored race record: weather and going at 888 to 890; nothing else moves.
    const std::pair<std::string_view, bool> cases[] = {{"234", true}, {"   ", true}, {"121", true}, {"111", false}};
    for (const auto& [tenkoBaba, changed] : cases) {
        std::string race = RaceRecord("2", kRace1, tenkoBaba);
        EXPECT_EQ(engine::SetFineWeatherAndGoodGoing(race), changed) << tenkoBaba;
        EXPECT_EQ(race, RaceRecord("2", kRace1, "111")) << tenkoBaba;
    }
    std::string shortRace = RaceRecord("2", kRace1, "234").substr(0, 889);
    EXPECT_THROW(engine::SetFineWeatherAndGoodGoing(shortRace), std::invalid_argument);

    // Expanded run: TenkoCD, SibaBabaCD, DirtBabaCD at 1328 to 1330.
    std::string bytes(2603, 'x');
    Put(bytes, 1328, "345");
    engine::ExRecord run = engine::ExRecord::FromBytes(bytes);
    engine::SetFineWeatherAndGoodGoing(run);
    std::string expected = bytes;
    Put(expected, 1328, "111");
    EXPECT_EQ(run.Bytes(), expected);
}

TEST(FixPreviousDay, InputsThatHoldNothingAreNamedAndTheEndTextSaysSo) {
    struct Case {
        std::string name;
        std::vector<std::pair<std::string, std::string>> files;
        std::string text1;
        std::vector<std::string> logged;  // each a line of ERRORLOG.txt
    };
    const std::string none = "前日固定終了（入力ファイルがありません。先に①②を実行して下さい。ERRORLOG.txtを確認して下さい。）";
    const std::string some = "前日固定終了（入力ファイルの一部がありません。先に①②を実行して下さい。ERRORLOG.txtを確認して下さい。）";
    const std::vector<Case> cases = {
        {"an empty application folder", {}, none,
         {"[FixPreviousDay] KETTONUMTHISWEEKN.dat is missing", "[FixPreviousDay] RATHISWEEKNNEW.dat is missing"}},
        {"empty files", {{"KETTONUMTHISWEEKN.dat", ""}, {"RATHISWEEKNNEW.dat", ""}}, none,
         {"[FixPreviousDay] KETTONUMTHISWEEKN.dat holds nothing", "[FixPreviousDay] RATHISWEEKNNEW.dat holds nothing"}},
        // Bytes that are no whole record are told as damage besides.
        {"a torn race file", {{"KETTONUMTHISWEEKN.dat", ""}, {"RATHISWEEKNNEW.dat", "torn"}},
         "前日固定終了（入力ファイルがありません、読み飛ばした壊れたレコード 1 件。先に①②を実行して下さい。ERRORLOG.txtを確認して下さい。）",
         {"[FixPreviousDay] KETTONUMTHISWEEKN.dat holds nothing", "RATHISWEEKNNEW.dat: 4 bytes after record 0 are not a whole record",
          "[FixPreviousDay] RATHISWEEKNNEW.dat holds nothing"}},
        {"horses but no race",
         {{"KETTONUMTHISWEEKN.dat", "\"2019100001\"\r\n"}, {"UMAGOTOTHISWEEKN/2019100001.dat", ""}}, some,
         {"[FixPreviousDay] RATHISWEEKNNEW.dat is missing"}},
        {"a race but no horse", {{"RATHISWEEKNNEW.dat", kBlankRace}}, some,
         {"[FixPreviousDay] KETTONUMTHISWEEKN.dat is missing"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempAppFolder dir;
        for (const auto& [name, bytes] : c.files) dir.Write(name, bytes);
        testsupport::RecordingHost host;
        std::string text1;

        const auto summary = engine::FixPreviousDay(host, {[&](std::string_view t) { text1 = t; }, {}});

        EXPECT_EQ(text1, c.text1);
        EXPECT_EQ(summary.failures, 0);
        EXPECT_TRUE(host.Messages().empty());  // nothing failed: the end text says what was missing
        const std::string log = dir.Read("ERRORLOG.txt");
        for (const std::string& line : c.logged) EXPECT_NE(log.find(line), std::string::npos) << line;
        EXPECT_EQ(static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n')), c.logged.size()) << log;
        EXPECT_FALSE(dir.Exists("RACETHISWEEKN.dat"));
        for (const auto& [name, bytes] : c.files) EXPECT_EQ(dir.Read(name), bytes) << name;
        if (c.files.empty()) {
            EXPECT_FALSE(dir.Exists("RATHISWEEKNNEW.dat"));
        }
    }
}

}  // namespace

namespace {

// In result mode the race list is made from the payouts: without them the list of the last run
// stays rather than being emptied, and the log and Text1 say so.
TEST(FixPreviousDay, ResultModeWithoutPayoutsKeepsTheRaceList) {
    for (const bool payoutFileThere : {false, true}) {
        SCOPED_TRACE(payoutFileThere ? "empty payout file" : "no payout file");
        testsupport::TempAppFolder dir;
        dir.Write("KETTONUMTHISWEEKN.dat", "\"2019100001\"\r\n");
        dir.Write("UMAGOTOTHISWEEKN/2019100001.dat", "");  // its runs called off: nothing to fix
        dir.Write("RACETHISWEEKN.dat", "\"202406020811\"\r\n");
        dir.Write("RATHISWEEKNNEW.dat", RaceRecord("7", kRace3, "345"));
        if (payoutFileThere) dir.Write("HRTHISWEEKN.dat", "");
        testsupport::RecordingHost host;
        std::string text1;

        const auto summary = engine::FixPreviousDay(host, {[&](std::string_view t) { text1 = t; }, {}});

        EXPECT_TRUE(summary.resultMode);
        EXPECT_EQ(dir.Read("RACETHISWEEKN.dat"), "\"202406020811\"\r\n");
        EXPECT_EQ(summary.outputsKept, 1);
        EXPECT_NE(dir.Read("ERRORLOG.txt").find("[FixPreviousDay] RACETHISWEEKN.dat left as it was: HRTHISWEEKN.dat"),
                  std::string::npos);
        EXPECT_EQ(text1, "前日固定終了（入力ファイルの一部がありません、前回のまま残した出力 1 件。先に①②を実行して下さい。ERRORLOG.txtを確認して下さい。）");
        EXPECT_FALSE(dir.Exists("DAYBEFOREFIX.mark"));
    }
}

}  // namespace

namespace {

// The fix goes into the horse's newest run only when the run file stands whole; otherwise the
// run file stays as it was, and the horse is told: bytes added at the end or a run that stands
// twice would be written back with the fix.
TEST(FixPreviousDay, ARunFileDamagedAtItsEndIsLeftAsItWas) {
    RunFields older, newer;
    older.baTaijyu = "460";
    newer.baTaijyu = "   ";
    const std::string two = Runner(older) + Runner(newer);
    std::string inserted = two;
    inserted.insert(700, "x");
    std::string lf = two;
    lf.erase(553, 1);  // the first run's CR gone: the second stands one byte early
    const std::pair<const char*, std::string> cases[] = {
        {"cut inside its newest run", two.substr(0, 555 + 300)},
        {"a byte inserted in its newest run", inserted},
        {"its runs shifted by a lost byte", lf},
        {"bytes appended", two + "\x7f\x7f\x7f"},
        {"its older run repeated", Runner(older) + Runner(older) + Runner(newer)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        testsupport::TempAppFolder dir;
        dir.Write("KETTONUMTHISWEEKN.dat", "\"2019100001\"\r\n");
        dir.Write("RATHISWEEKNNEW.dat", kBlankRace);
        dir.Write("UMAGOTOTHISWEEKN/2019100001.dat", bytes);
        testsupport::RecordingHost host;
        std::string text1;

        const auto summary = engine::FixPreviousDay(host, {[&](std::string_view t) { text1 = t; }, {}});

        EXPECT_EQ(dir.Read("UMAGOTOTHISWEEKN/2019100001.dat"), bytes);
        EXPECT_EQ(summary.lastEntriesFixed, 0);
        EXPECT_EQ(summary.lastEntriesNotFixed, 1);
        EXPECT_NE(dir.Read("ERRORLOG.txt").find("2019100001.dat: damaged: its last run not fixed, the file left as it was"),
                  std::string::npos);
        EXPECT_NE(text1.find("前日固定できなかった馬 1 頭"), std::string::npos) << text1;
    }
}

}  // namespace
