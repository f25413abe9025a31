#include "acquisition/breaking_odds.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "acquisition/recent_races.h"
#include "common/paths.h"
#include "dataservice/local_jvlink.h"
#include "dataservice/scripted_jvlink.h"
#include "odds_fixtures.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

using namespace oddstest;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

const std::string kInitLine = "JVInit SA583920/SD271539/TALMOR7/ver.2020.3.2";
const std::vector<std::string> kBreakingFiles = {"O2RIALTIME.dat", "O4RIALTIME.dat", "O5RIALTIME.dat",
                                                 "O6RIALTIME.dat"};

// Race n of the sorted race file (1-based): distinct days and race numbers.
std::string NthRace(int n) {
    const std::string monthDay = "12" + Digits(1 + n / 12, 2);
    return RaceId(monthDay, "05", 1 + n % 12);
}

// A sorted race file of `count` stored records, race n at record n.
std::string SortedRaceFile(int count) {
    std::string file;
    for (int n = 1; n <= count; ++n) file += StoredRaceRecord(NthRace(n));
    return file;
}

// Full-length records of race `raceId` (the O1 and O3 only as long as theirs are).
std::string Full(const Shape& shape, const std::string& raceId) {
    if (shape.entries == 0 || shape.tag == "O3") return OddsRecord(shape, raceId, '5');
    return FullOddsRecord(shape, raceId);
}

class BreakingOdds : public ::testing::Test {
protected:
    void Fetch() {
        acquisition::FetchBreakingOdds(link, host, [this](std::string_view t) {
            text1.emplace_back(t);
            pumpsBefore.push_back(Pumps());
        });
    }
    int Pumps() const {
        int n = 0;
        for (const auto& call : host.calls) n += call.what == "pumpEvents";
        return n;
    }
    std::vector<std::string> RTOpenKeys() const {
        std::vector<std::string> keys;
        for (const std::string& line : link.log)
            if (line.starts_with("JVRTOpen 0B30 ")) keys.push_back(line.substr(14));
        return keys;
    }

    testsupport::TempAppFolder folder;  // first: it sets AppFolder
    testsupport::RecordingHost host;
    dataservice::ScriptedJVLink link;
    std::vector<std::string> text1;
    std::vector<int> pumpsBefore;
};

TEST(RecentRaceWindow, NewestNinetySevenNeverBelowTheFirst) {
    testsupport::TempAppFolder folder;
    for (int count : {0, 1, 40, 97, 98, 130}) {
        SCOPED_TRACE(count);
        folder.Write("RATHISWEEKNNEW.dat", SortedRaceFile(count) + "RA torn last record");
        std::vector<std::string> expected;
        for (int n = count; n >= 1 && n > count - 97; --n) expected.push_back(NthRace(n));
        EXPECT_EQ(acquisition::RecentRaceWindow(common::AppPath("RATHISWEEKNNEW.dat"), "test"), expected);
    }
    EXPECT_THAT(acquisition::RecentRaceWindow(common::AppPath("MISSING.dat"), "test"), IsEmpty());
    EXPECT_FALSE(folder.Exists("MISSING.dat"));
}

TEST_F(BreakingOdds, FortyRacesNewestFirstEachOnItsOwnConnection) {
    folder.Write("RATHISWEEKNNEW.dat", SortedRaceFile(40));
    // The newest race brings its odds; every other race has none (-1 at once).
    link.QueueRecord(Full(kO2, NthRace(40))).QueueRecord(Full(kO6, NthRace(40))).QueueNextFile();
    for (int i = 0; i < 39; ++i) link.QueueNextFile();
    Fetch();

    std::vector<std::string> expected;
    for (int n = 40; n >= 1; --n) expected.push_back(NthRace(n));
    EXPECT_EQ(RTOpenKeys(), expected);
    EXPECT_EQ(link.Count("JVInit"), 40u);
    EXPECT_EQ(link.Count("JVClose"), 40u);
    EXPECT_EQ(link.Count("JVRead"), 42u);  // three for the newest, one for each other
    EXPECT_THAT(std::vector<std::string>(link.log.begin(), link.log.begin() + 7),
                ElementsAre(kInitLine, "JVRTOpen 0B30 " + NthRace(40), "JVRead", "JVRead", "JVRead", "JVClose",
                            kInitLine));
    EXPECT_EQ(folder.Read("O2RIALTIME.dat"), Full(kO2, NthRace(40)));
    EXPECT_EQ(folder.Read("O6RIALTIME.dat"), Full(kO6, NthRace(40)));
    EXPECT_THAT(text1, ElementsAre("速報オッズ取得を開始します。。。。。。", "速報オッズ取得完了"));
    EXPECT_THAT(pumpsBefore, ElementsAre(0, 1));  // events run once, right after the start text
    EXPECT_EQ(Pumps(), 1);
}

TEST_F(BreakingOdds, EmptyOrMissingRaceFileFetchesNothingAndEmptiesTheFiles) {
    for (bool present : {false, true}) {
        SCOPED_TRACE(present);
        link.log.clear();
        text1.clear();
        std::filesystem::remove(folder / "ERRORLOG.txt");
        if (present) folder.Write("RATHISWEEKNNEW.dat", "");
        for (const std::string& name : kBreakingFiles) folder.Write(name, "odds of an earlier fetch\r\n");
        Fetch();
        EXPECT_THAT(link.log, IsEmpty());
        for (const std::string& name : kBreakingFiles) {
            EXPECT_TRUE(folder.Exists(name)) << name;
            EXPECT_EQ(folder.Read(name), "") << name;
        }
        EXPECT_EQ(folder.Exists("RATHISWEEKNNEW.dat"), present);
        // No race was asked for: the end text and the error log say why.
        EXPECT_THAT(text1, ElementsAre("速報オッズ取得を開始します。。。。。。",
                                       "速報オッズ取得完了（入力ファイルがありません。ERRORLOG.txtを確認して下さい。）"));
        EXPECT_THAT(folder.Read("ERRORLOG.txt"),
                    HasSubstr(present ? "RATHISWEEKNNEW.dat holds nothing to work on" : "RATHISWEEKNNEW.dat is missing"));
    }
}

// Each file is replaced only once its lines are in: a file that cannot be written anew stays as
// the earlier fetch left it, never emptied in place, and the end text says so.
TEST_F(BreakingOdds, AFileThatCannotBeWrittenAnewKeepsTheEarlierFetch) {
    folder.Write("RATHISWEEKNNEW.dat", SortedRaceFile(1));
    for (const std::string& name : kBreakingFiles) folder.Write(name, "odds of an earlier fetch\r\n");
    std::filesystem::create_directories(folder / "O6RIALTIME.dat.partial");  // no scratch file can be made
    link.QueueRecord(Full(kO2, NthRace(1))).QueueRecord(Full(kO6, NthRace(1))).QueueNextFile();
    Fetch();

    EXPECT_EQ(folder.Read("O6RIALTIME.dat"), "odds of an earlier fetch\r\n");
    EXPECT_EQ(folder.Read("O2RIALTIME.dat"), Full(kO2, NthRace(1)));
    EXPECT_EQ(folder.Read("O4RIALTIME.dat"), "");
    EXPECT_FALSE(folder.Exists("O2RIALTIME.dat.partial"));
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("O6RIALTIME.dat.partial"));
    EXPECT_THAT(text1, ElementsAre("速報オッズ取得を開始します。。。。。。",
                                   "速報オッズ取得完了（処理できなかった手順 1 件。ERRORLOG.txtを確認して下さい。）"));
}

// What ends a race's reads: -1 at once, 0 and error codes too (whatever the buffer still holds),
// and six reads at most. The next race starts on a connection of its own.
TEST_F(BreakingOdds, ReadsOfARaceEndAtMinusOneZeroErrorsAndSix) {
    folder.Write("RATHISWEEKNNEW.dat", SortedRaceFile(4));
    const std::string r4 = NthRace(4), r3 = NthRace(3), r2 = NthRace(2), r1 = NthRace(1);
    // Race 4: three records, then -1; the record queued after it belongs to race 3.
    link.QueueRecord(Full(kO2, r4)).QueueRecord(Full(kO4, r4)).QueueRecord(Full(kO5, r4)).QueueNextFile();
    // Race 3: one record, then 0 with race 3's trifecta still in the buffer.
    link.QueueRecord(Full(kO6, r3));
    link.reads.push_back({0, Full(kO6, r3), ""});
    // Race 2: an error code that leaves bytes behind.
    link.reads.push_back({-502, Full(kO2, r2), ""});
    // Race 1: eight records; only six are read.
    for (int i = 0; i < 8; ++i) link.QueueRecord(Full(i % 2 ? kO4 : kO2, r1));
    Fetch();

    std::vector<int> readsPerRace;
    for (const std::string& line : link.log) {
        if (line.starts_with("JVRTOpen")) readsPerRace.push_back(0);
        if (line == "JVRead") ++readsPerRace.back();
    }
    EXPECT_THAT(readsPerRace, ElementsAre(4, 2, 1, 6));
    EXPECT_EQ(link.reads.size(), 2u);  // the last two records of race 1 were never read

    EXPECT_EQ(folder.Read("O2RIALTIME.dat"), Full(kO2, r4) + Full(kO2, r1) + Full(kO2, r1) + Full(kO2, r1));
    EXPECT_EQ(folder.Read("O4RIALTIME.dat"), Full(kO4, r4) + Full(kO4, r1) + Full(kO4, r1) + Full(kO4, r1));
    EXPECT_EQ(folder.Read("O5RIALTIME.dat"), Full(kO5, r4));
    EXPECT_EQ(folder.Read("O6RIALTIME.dat"), Full(kO6, r3));
}

TEST_F(BreakingOdds, SkipsWinPlaceAndWideOddsAndReportsInitFailuresPerRace) {
    folder.Write("RATHISWEEKNNEW.dat", SortedRaceFile(2));
    link.initResults = {-301, 0};
    link.QueueRecord(Full(kO1, NthRace(2))).QueueRecord(Full(kO3, NthRace(2))).QueueRecord(Full(kO5, NthRace(2)));
    link.QueueNextFile();
    Fetch();
    EXPECT_THAT(host.Messages(), ElementsAre("JVInitエラー。RC=-301"));
    EXPECT_EQ(RTOpenKeys().size(), 2u);  // the fetch goes on after the message
    EXPECT_EQ(folder.Read("O5RIALTIME.dat"), Full(kO5, NthRace(2)));
    EXPECT_FALSE(folder.Exists("O1RIALTIME.dat"));
    EXPECT_FALSE(folder.Exists("O3RIALTIME.dat"));
    for (std::string_view name : {"O2RIALTIME.dat", "O4RIALTIME.dat", "O6RIALTIME.dat"})
        EXPECT_EQ(folder.Read(name), "") << name;
}

// Through the folder-backed stand-in: one file of breaking odds per race; a race without one
// brings nothing; the last fetch's odds only.
TEST(BreakingOddsThroughTheStandIn, FetchesEachRacesOdds) {
    testsupport::TempAppFolder folder;
    folder.Write("jvlink.settings", "pace=0\n");
    folder.Write("RATHISWEEKNNEW.dat", SortedRaceFile(3));
    const std::string r3 = NthRace(3), r1 = NthRace(1);
    folder.Write("jvdata/realtime/0B30/" + r3, Full(kO1, r3) + Full(kO2, r3) + Full(kO4, r3) + Full(kO5, r3) + Full(kO6, r3));
    folder.Write("jvdata/realtime/0B30/" + r1, Full(kO6, r1) + Full(kO2, r1));
    folder.Write("O4RIALTIME.dat", "an earlier fetch\r\n");

    dataservice::LocalJVLink::Config config;
    config.settingsFile = folder / "jvlink.settings";
    dataservice::LocalJVLink link(std::move(config));
    testsupport::RecordingHost host;
    acquisition::FetchBreakingOdds(link, host, nullptr);

    EXPECT_THAT(host.Messages(), IsEmpty());
    EXPECT_EQ(folder.Read("O2RIALTIME.dat"), Full(kO2, r3) + Full(kO2, r1));
    EXPECT_EQ(folder.Read("O4RIALTIME.dat"), Full(kO4, r3));
    EXPECT_EQ(folder.Read("O5RIALTIME.dat"), Full(kO5, r3));
    EXPECT_EQ(folder.Read("O6RIALTIME.dat"), Full(kO6, r3) + Full(kO6, r1));
    EXPECT_FALSE(folder.Exists("O1RIALTIME.dat"));
}

}  // namespace
