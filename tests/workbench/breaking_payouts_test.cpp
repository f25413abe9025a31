#include "workbench/breaking_payouts.h"

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "batch_fixtures.h"
#include "dataservice/scripted_jvlink.h"
#include "support/recording_host.h"
#include "support/record_bytes.h"
#include "support/temp_folder.h"

namespace {

using testsupport::Put;

constexpr std::string_view kRaceId = "2025060705030211";  // RaceKey12 202506070511
constexpr std::string_view kKey = "202506070511";

// A runner record with a distinct byte everywhere, so that any byte the merge should not touch
// shows when it moves; element 0's fields of the merge at their record positions.
std::string RunnerBytes(char fill) {
    std::string b(24022, fill);
    Put(b, 24021, "\r\n");
    return b;
}

// A stored breaking runner record: Umaban 29, NyusenJyuni 333, Time 339, Odds 360, Ninki 364,
// HaronTimeL3 391.
std::string Se(std::string_view raceId, std::string_view umaban, std::string_view nyusen, std::string_view time,
               std::string_view odds, std::string_view ninki, std::string_view l3) {
    std::string r = batchtest::SeRecord(raceId, umaban, "2021100001", "NAME");
    Put(r, 333, nyusen);
    Put(r, 339, time);
    Put(r, 360, odds);
    Put(r, 364, ninki);
    Put(r, 391, l3);
    return r;
}

// A win odds line: RaceId 12, the 28 win entries from 44 (Umaban 2, Odds 4, Ninki 2).
std::string O1(std::string_view raceId, const std::vector<std::string>& entries) {
    std::string r(962, ' ');
    Put(r, 1, "O11");
    Put(r, 12, raceId);
    for (std::size_t e = 0; e < entries.size(); ++e) Put(r, 44 + 8 * e, entries[e]);
    Put(r, 961, "\r\n");
    return r;
}

// Element 0's merged fields: NyusenJyuni 2962, SohaTime 3222, Ninki 3482, TanOdds 3612, HaronTimeL3 3872.
std::string Merged(std::string record, std::string_view nyusen, std::string_view soha, std::string_view ninki,
                   std::string_view odds, std::string_view l3) {
    Put(record, 2962, nyusen);
    Put(record, 3222, soha);
    Put(record, 3482, ninki);
    Put(record, 3612, odds);
    Put(record, 3872, l3);
    return record;
}

TEST(BreakingPayouts, MergesIntoTheRunnerRecordsTheBatchWrote) {
    testsupport::TempAppFolder folder;
    const std::string one = RunnerBytes('a'), two = RunnerBytes('b'), three = RunnerBytes('c');
    folder.Write("RACE/" + std::string(kKey) + ".dat", one + two + three);
    folder.Write("SERIALTIME.dat",
                 Se(kRaceId, "01", "05", "1400", "0300", "04", "360") +   // replaced by the next one
                 Se(kRaceId, "01", "02", "1351", "0250", "03", "355") +   // horse 1: the last decides
                 Se(kRaceId, "02", "01", "1345", "0123", "02", "345") +   // horse 2, then its odds line
                 Se(kRaceId, "00", "09", "9999", "9999", "09", "999") +   // no horse number
                 Se(kRaceId, "  ", "09", "9999", "9999", "09", "999") +   // blank horse number
                 Se(kRaceId, "04", "03", "1360", "0500", "05", "370") +   // beyond the file
                 Se("2025060705030212", "01", "01", "1345", "0100", "01", "345"));  // no race file
    folder.Write("O1RIALTIME.dat", O1(kRaceId, {"02009901", "00123499", "        ", "05001002"}) +
                                       O1(kRaceId, {"03004506"}));

    const workbench::BreakingMergeSummary s = workbench::MergeBreakingIntoRaceFiles();

    const std::string after = folder.Read("RACE/" + std::string(kKey) + ".dat");
    ASSERT_EQ(after.size(), 3u * 24022);  // not extended
    EXPECT_EQ(after.substr(0, 24022), Merged(one, "02", "1351", "03", "0250", "355"));
    // The odds line's popularity and odds, the runner record's arrival order and times.
    EXPECT_EQ(after.substr(24022, 24022), Merged(two, "01", "1345", "01", "0099", "345"));
    std::string third = three;
    Put(third, 3482, "06");
    Put(third, 3612, "0045");
    EXPECT_EQ(after.substr(2 * 24022), third);
    EXPECT_FALSE(std::filesystem::exists(folder / "RACE/202506070512.dat"));

    EXPECT_EQ(s.runnersMerged, 3);
    EXPECT_EQ(s.runnersSkipped, 4);
    EXPECT_EQ(s.oddsMerged, 2);
    EXPECT_EQ(s.oddsSkipped, 1);
    EXPECT_EQ(s.racesWritten, 1);
    EXPECT_EQ(s.failures, 0);
}

// A runner record holding its horse number (Umaban of element 0, at 1106).
std::string Numbered(std::string record, std::string_view horse) {
    Put(record, 1106, horse);
    return record;
}

// A runner file whose records no longer stand where they belong is never merged into and written
// back: it stays byte for byte as it was, and its damage is logged and counted. A whole race file
// beside it is merged as before.
TEST(BreakingPayouts, ARunnerFileReadShiftedIsLeftAsItWas) {
    const std::string whole = RunnerBytes('a') + RunnerBytes('b');
    std::string lfEnds = whole;
    lfEnds.erase(24020, 1);  // record 1's CR: every byte after it moves by one
    lfEnds.erase(2 * 24022 - 2, 1);
    std::string inserted = whole;
    inserted.insert(12000, "x");
    struct Case {
        const char* name;
        std::string bytes;
        std::string logged = " holds damaged records: left as it was";
    };
    const Case cases[] = {
        {"LF line ends", lfEnds},
        {"a byte inserted", inserted},
        {"bytes appended", whole + "junk"},
        {"cut inside its last record", whole.substr(0, 24022 + 9000)},
        {"a record written twice",
         Numbered(RunnerBytes('a'), "01") + Numbered(RunnerBytes('a'), "01") + Numbered(RunnerBytes('b'), "02"),
         " record 2 holds horse number 1: left as it was"},
    };
    constexpr std::string_view kOtherId = "2025060705030212", kOtherKey = "202506070512";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempAppFolder folder;
        folder.Write("RACE/" + std::string(kKey) + ".dat", c.bytes);
        folder.Write("RACE/" + std::string(kOtherKey) + ".dat", RunnerBytes('c'));
        folder.Write("SERIALTIME.dat", Se(kRaceId, "01", "02", "1351", "0250", "03", "355") +
                                           Se(kRaceId, "02", "01", "1345", "0123", "02", "345") +
                                           Se(kOtherId, "01", "01", "1345", "0100", "01", "345"));
        folder.Write("O1RIALTIME.dat", O1(kRaceId, {"01009901", "02012302"}));

        const workbench::BreakingMergeSummary s = workbench::MergeBreakingIntoRaceFiles();

        EXPECT_EQ(folder.Read("RACE/" + std::string(kKey) + ".dat"), c.bytes);
        EXPECT_EQ(folder.Read("RACE/" + std::string(kOtherKey) + ".dat"), Merged(RunnerBytes('c'), "01", "1345", "01", "0100", "345"));
        EXPECT_EQ(s.racesWritten, 1);
        EXPECT_EQ(s.runnersMerged, 1);
        EXPECT_EQ(s.runnersSkipped, 2);
        EXPECT_EQ(s.oddsSkipped, 2);
        EXPECT_GT(s.recordsPassedOver, 0);
        EXPECT_THAT(folder.Read("ERRORLOG.txt"), ::testing::HasSubstr("RACE/" + std::string(kKey) + ".dat" + c.logged));
    }
}

// A line of O1RIALTIME.dat that is not a whole win odds record (cut, run into the next) is passed
// over and logged; the lines around it are merged.
TEST(BreakingPayouts, AWinOddsLineThatIsNotWholeIsPassedOver) {
    testsupport::TempAppFolder folder;
    const std::string one = RunnerBytes('a'), two = RunnerBytes('b');
    folder.Write("RACE/" + std::string(kKey) + ".dat", one + two);
    folder.Write("O1RIALTIME.dat", O1(kRaceId, {"01009901"}) + O1(kRaceId, {"02099909"}).substr(0, 500) + "\r\n" +
                                       O1(kRaceId, {"02012302"}) + O1(kRaceId, {"01077707"}).substr(0, 700));

    const workbench::BreakingMergeSummary s = workbench::MergeBreakingIntoRaceFiles();

    std::string first = one, second = two;
    Put(first, 3482, "01");
    Put(first, 3612, "0099");
    Put(second, 3482, "02");
    Put(second, 3612, "0123");
    EXPECT_EQ(folder.Read("RACE/" + std::string(kKey) + ".dat"), first + second);
    EXPECT_EQ(s.oddsMerged, 2);
    EXPECT_EQ(s.recordsPassedOver, 2);
    const std::string log = folder.Read("ERRORLOG.txt");
    EXPECT_THAT(log, ::testing::HasSubstr("O1RIALTIME.dat line 2: cut short: 500 of the 960 bytes of O1"));
    EXPECT_THAT(log, ::testing::HasSubstr("O1RIALTIME.dat line 4: cut short"));
}

// Nothing breaking: nothing written, nothing created.
TEST(BreakingPayouts, NoBreakingFilesChangeNothing) {
    testsupport::TempAppFolder folder;
    folder.Write("RACE/" + std::string(kKey) + ".dat", RunnerBytes('a'));
    const workbench::BreakingMergeSummary s = workbench::MergeBreakingIntoRaceFiles();
    EXPECT_EQ(folder.Read("RACE/" + std::string(kKey) + ".dat"), RunnerBytes('a'));
    EXPECT_FALSE(std::filesystem::exists(folder / "SERIALTIME.dat"));
    EXPECT_FALSE(std::filesystem::exists(folder / "O1RIALTIME.dat"));
    EXPECT_EQ(s.racesWritten, 0);
    EXPECT_EQ(s.failures, 0);
}

// ---- The fetches and the whole load, on a scripted data service.

const std::string kSid = "SA583920/SD271539/TALMOR7THISWEEKN/ver.2020.3.2";

// RaceId of day `day` (1-based) race `num` at racecourse 05, meeting 03, day 02 of 2025-06.
std::string RaceIdOf(int day, int num) {
    return "202506" + batchtest::Digits(day, 2) + "050302" + batchtest::Digits(num, 2);
}

dataservice::ScriptedJVLink::ReadStep R(int code, std::string bytes) { return {code, std::move(bytes), ""}; }

std::vector<std::string> RtOpens(const dataservice::ScriptedJVLink& link) {
    std::vector<std::string> opens;
    for (const std::string& line : link.log)
        if (line.starts_with("JVRTOpen")) opens.push_back(line);
    return opens;
}

class BreakingFetch : public ::testing::Test {
protected:
    void WeekOf(const std::vector<std::string>& raceIds, std::string_view name) {
        std::string ra;
        for (const std::string& id : raceIds) ra += batchtest::RaRecord(batchtest::RaceOf(id));
        folder.Write(std::string(name), ra);
    }
    testsupport::TempAppFolder folder;  // first: it sets AppFolder
    testsupport::RecordingHost host;
    dataservice::ScriptedJVLink link;
};

// The odds fetch asks for the newest 97 races of the file in the order of arrival, newest first.
TEST_F(BreakingFetch, OddsConnectionsForTheNewestRacesOfTheArrivalFile) {
    struct Case {
        int records;
        int expected;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{40, 40}, Case{120, 97}}) {
        SCOPED_TRACE(c.records);
        std::vector<std::string> ids;
        for (int i = 1; i <= c.records; ++i) ids.push_back(RaceIdOf(1 + i / 12, 1 + i % 12));
        WeekOf(ids, "RATHISWEEKN.dat");
        // The sorted file holds other races: it must not be the one asked for.
        WeekOf({RaceIdOf(28, 1)}, "RATHISWEEKNNEW.dat");
        dataservice::ScriptedJVLink fresh;
        const workbench::WinOddsFetchSummary s = workbench::FetchBreakingWinOdds(fresh, host);
        const std::vector<std::string> opens = RtOpens(fresh);
        ASSERT_EQ(opens.size(), static_cast<std::size_t>(c.expected));
        EXPECT_EQ(s.connections, c.expected);
        for (int k = 0; k < c.expected; ++k)
            EXPECT_EQ(opens[static_cast<std::size_t>(k)], "JVRTOpen 0B30 " + ids[static_cast<std::size_t>(c.records - 1 - k)]);
        EXPECT_EQ(fresh.Count("JVInit " + kSid), static_cast<std::size_t>(c.expected));
        EXPECT_EQ(fresh.Count("JVClose"), static_cast<std::size_t>(c.expected));
        EXPECT_EQ(folder.Read("O1RIALTIME.dat"), "");
    }
}

// What one race's reads keep in O1RIALTIME.dat.
TEST_F(BreakingFetch, OddsReadsOfOneRace) {
    const std::string a = O1(kRaceId, {"01012301"}), b = O1(kRaceId, {"02045602"});
    const std::string o2 = "O2" + std::string(20, 'x') + "\r\n";
    std::string bare = a.substr(0, a.size() - 2);  // delivered without its line end
    struct Case {
        const char* name;
        std::vector<dataservice::ScriptedJVLink::ReadStep> reads;
        std::string kept;
        std::size_t readsMade;
        std::int64_t failures = 0;  // an error code of the service is told once per race
    };
    const int la = static_cast<int>(a.size()), lb = static_cast<int>(b.size());
    const std::vector<Case> cases = {
        {"-1 first keeps nothing", {R(-1, ""), R(la, a)}, "", 1},
        {"only O1 of six records, no seventh read",
         {R(la, a), R(static_cast<int>(o2.size()), o2), R(lb, b), R(static_cast<int>(o2.size()), o2), R(la, a), R(lb, b), R(la, a)},
         a + b + a + b, 6},
        {"a record then 0 is kept once", {R(la, a), R(0, ""), R(-1, "")}, a, 3},
        {"0 with an O1 left in the buffer keeps nothing", {R(0, a), R(-502, a), R(-1, "")}, "", 3, 1},
        {"errors count toward the six", {R(-502, ""), R(-502, ""), R(-502, ""), R(-502, ""), R(-502, ""), R(la, a), R(lb, b)}, a, 6, 1},
        {"a record without CR LF gets one", {R(static_cast<int>(bare.size()), bare), R(-1, "")}, a, 2},
    };
    WeekOf({std::string(kRaceId)}, "RATHISWEEKN.dat");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write("O1RIALTIME.dat", "left from an earlier load\r\n");
        dataservice::ScriptedJVLink fresh;
        for (const auto& r : c.reads) fresh.reads.push_back(r);
        const workbench::WinOddsFetchSummary s = workbench::FetchBreakingWinOdds(fresh, host);
        EXPECT_EQ(folder.Read("O1RIALTIME.dat"), c.kept);
        EXPECT_EQ(fresh.Count("JVRead"), c.readsMade);
        EXPECT_EQ(s.failures, c.failures);
    }
}

// A failing JVInit is told once per connection, and the connection goes on.
TEST_F(BreakingFetch, JVInitFailureToldOncePerConnection) {
    WeekOf({RaceIdOf(7, 1), RaceIdOf(7, 2)}, "RATHISWEEKN.dat");
    WeekOf({RaceIdOf(7, 1), RaceIdOf(7, 2)}, "RATHISWEEKNNEW.dat");
    link.initResults = {-101, -101, -101};
    link.reads = {R(-1, ""), R(-1, ""), R(0, "")};
    workbench::MergeBreakingResults(link, host);
    EXPECT_THAT(host.Messages(), ::testing::ElementsAre("JVInitエラー。RC=-101", "JVInitエラー。RC=-101",
                                                        "JVInitエラー。RC=-101"));
    EXPECT_EQ(RtOpens(link).size(), 3u);
}

// The result fetch: the dates of the sorted file, newest first, under the payouts' step.
TEST_F(BreakingFetch, ResultConnectionsPerDateAppendInStoredForms) {
    std::vector<std::string> ids;
    for (int i = 1; i <= 24; ++i) ids.push_back(RaceIdOf(1, 1 + i % 12));
    ids.push_back(RaceIdOf(7, 1));
    for (int i = 1; i <= 24; ++i) ids.push_back(RaceIdOf(8, 1 + i % 12));
    WeekOf(ids, "RATHISWEEKNNEW.dat");
    const std::string se = Se(RaceIdOf(8, 3), "01", "01", "1345", "0123", "02", "345");
    link.reads = {R(static_cast<int>(se.size()), se), R(-203, ""), R(0, ""), R(-1, ""), R(0, "")};
    const workbench::ResultsFetchSummary s = workbench::FetchBreakingResults(link, host);
    EXPECT_THAT(s.dates, ::testing::ElementsAre("20250608", "20250607", "20250601"));
    EXPECT_THAT(RtOpens(link), ::testing::ElementsAre("JVRTOpen 0B12 20250608", "JVRTOpen 0B12 20250607",
                                                      "JVRTOpen 0B12 20250601"));
    EXPECT_EQ(s.counts.seAppended, 1);
    EXPECT_EQ(folder.Read("SERIALTIME.dat").size(), 555u);
    EXPECT_EQ(s.counts.failures, 0);
}

// Breaking records are appended only after whole records: a torn tail is cut off first and told;
// a file whose records are shifted is left as it was, and what was fetched for it is told lost.
TEST_F(BreakingFetch, ResultsFollowOnlyWholeRecords) {
    WeekOf({RaceIdOf(8, 3)}, "RATHISWEEKNNEW.dat");
    const std::string old1 = Se(RaceIdOf(8, 1), "01", "01", "1345", "0123", "02", "345"),
                      old2 = Se(RaceIdOf(8, 2), "02", "01", "1345", "0123", "02", "345");
    const std::string fetched = Se(RaceIdOf(8, 3), "01", "01", "1345", "0123", "02", "345");
    std::string lfEnds = old1 + old2;
    lfEnds.erase(553, 1);
    std::string inserted = old1 + old2;
    inserted.insert(300, "x");
    struct Case {
        const char* name;
        std::string before, after;
        const char* logged;  // "" when nothing is
    };
    const Case cases[] = {
        {"whole", old1 + old2, old1 + old2 + fetched, ""},
        {"cut inside its last record", old1 + old2.substr(0, 200), old1 + fetched, "its torn last record (200 bytes) cut off"},
        {"bytes appended", old1 + old2 + "junk", old1 + old2 + fetched, "its torn last record (4 bytes) cut off"},
        {"LF line ends", lfEnds, lfEnds, "SERIALTIME.dat holds shifted records"},
        {"a byte inserted", inserted, inserted, "SERIALTIME.dat holds shifted records"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(folder / "ERRORLOG.txt");
        folder.Write("SERIALTIME.dat", c.before);
        link.reads = {R(static_cast<int>(fetched.size()), fetched), R(-203, "")};
        const workbench::ResultsFetchSummary s = workbench::FetchBreakingResults(link, host);
        EXPECT_EQ(folder.Read("SERIALTIME.dat"), c.after);
        const bool told = *c.logged != '\0';
        EXPECT_EQ(s.counts.passedOver + s.counts.failures > 0, told);
        if (told) {
            EXPECT_THAT(folder.Read("ERRORLOG.txt"), ::testing::HasSubstr(c.logged));
        }
    }
}

// The whole load: the runner's arrival order and times from its breaking record, popularity and
// odds from the odds line; a second load rebuilds the odds lines rather than adding to them.
TEST_F(BreakingFetch, LoadFetchesThenMerges) {
    WeekOf({std::string(kRaceId)}, "RATHISWEEKN.dat");
    WeekOf({std::string(kRaceId)}, "RATHISWEEKNNEW.dat");
    const std::string one = RunnerBytes('a'), two = RunnerBytes('b');
    folder.Write("RACE/" + std::string(kKey) + ".dat", one + two);
    const std::string line = O1(kRaceId, {"01009905", "02012301"});
    const std::string se = Se(kRaceId, "02", "01", "1345", "0250", "03", "345");
    auto script = [&](dataservice::ScriptedJVLink& l) {
        l.reads = {R(static_cast<int>(line.size()), line), R(-1, ""), R(static_cast<int>(se.size()), se), R(0, "")};
    };
    script(link);
    const workbench::BreakingPayoutsSummary s = workbench::MergeBreakingResults(link, host);
    EXPECT_THAT(link.Operations(),
                ::testing::ElementsAre("JVInit", "JVRTOpen", "JVRead", "JVRead", "JVClose",  // odds first
                                       "JVInit", "JVRTOpen", "JVRead", "JVRead", "JVClose"));
    EXPECT_EQ(folder.Read("RACE/" + std::string(kKey) + ".dat"),
              Merged(one, "aa", "aaaa", "05", "0099", "aaa") +
                  Merged(two, "01", "1345", "01", "0123", "345"));
    EXPECT_EQ(s.odds.linesKept, 1);
    EXPECT_EQ(s.results.counts.seAppended, 1);
    EXPECT_EQ(s.merge.runnersMerged, 1);
    EXPECT_EQ(s.merge.oddsMerged, 2);
    EXPECT_EQ(s.Failures(), 0);

    dataservice::ScriptedJVLink again;
    script(again);
    workbench::MergeBreakingResults(again, host);
    EXPECT_EQ(folder.Read("O1RIALTIME.dat"), line);
    EXPECT_EQ(folder.Read("SERIALTIME.dat").size(), 2u * 555);  // the result files only grow
}

// O1RIALTIME.dat is replaced whole: when the new lines cannot be written, the last load's file
// stays whole, the failure is told, and its lines are not merged a second time.
TEST_F(BreakingFetch, OddsLinesThatCannotBeWrittenLeaveTheLastFileWhole) {
    WeekOf({std::string(kRaceId)}, "RATHISWEEKN.dat");
    WeekOf({std::string(kRaceId)}, "RATHISWEEKNNEW.dat");
    const std::string runner = RunnerBytes('a');
    folder.Write("RACE/" + std::string(kKey) + ".dat", runner);
    const std::string last = O1(kRaceId, {"01009905"});
    folder.Write("O1RIALTIME.dat", last);
    std::filesystem::create_directories(folder / "O1RIALTIME.dat.partial");  // no scratch file can be made
    const std::string line = O1(kRaceId, {"01012301"});
    link.reads = {R(static_cast<int>(line.size()), line), R(-1, ""), R(0, "")};

    const workbench::BreakingPayoutsSummary s = workbench::MergeBreakingResults(link, host);

    EXPECT_EQ(folder.Read("O1RIALTIME.dat"), last);
    EXPECT_EQ(folder.Read("RACE/" + std::string(kKey) + ".dat"), runner);
    EXPECT_EQ(s.odds.failures, 1);
    EXPECT_EQ(s.merge.oddsMerged, 0);
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), ::testing::HasSubstr("O1RIALTIME.dat.partial"));
}

// A breaking record whose append fails part way (a full disk: here a file size limit) is cut back
// off its file, which keeps its whole records and never ends in a torn one; the file is named in
// the log.
TEST_F(BreakingFetch, AnAppendThatFailsIsCutBackToTheLastWholeRecord) {
    WeekOf({RaceIdOf(8, 3)}, "RATHISWEEKNNEW.dat");
    std::string hrs;
    for (int i = 1; i <= 12; ++i) hrs += std::string(717, static_cast<char>('a' + i)) + "\r\n";
    folder.Write("HRRIALTIME.dat", hrs);
    std::string hr(719, ' ');
    Put(hr, 1, "HR2");
    Put(hr, 12, RaceIdOf(8, 3));
    Put(hr, 718, "\r\n");
    link.reads = {R(static_cast<int>(hr.size()), hr), R(0, "")};

    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = before;
    limited.rlim_cur = hrs.size() + 100;  // the log is smaller than that
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const workbench::ResultsFetchSummary s = workbench::FetchBreakingResults(link, host);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(folder.Read("HRRIALTIME.dat"), hrs);
    EXPECT_EQ(s.counts.hrAppended, 0);
    EXPECT_EQ(s.counts.failures, 1);
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), ::testing::HasSubstr("1 breaking records not written to " +
                                                                  (folder / "HRRIALTIME.dat").string()));
}

// Without a race in the arrival file there is no odds line to fetch: the odds lines of the last
// load stay rather than being emptied, and the log and the end text say so.
TEST_F(BreakingFetch, ArrivalFileWithoutARaceKeepsTheOddsLines) {
    const std::string line = O1(kRaceId, {"01009905"});
    for (const bool arrivalFileThere : {false, true}) {
        SCOPED_TRACE(arrivalFileThere ? "empty arrival file" : "no arrival file");
        std::filesystem::remove(folder / "ERRORLOG.txt");
        std::filesystem::remove(folder / "RATHISWEEKN.dat");
        if (arrivalFileThere) folder.Write("RATHISWEEKN.dat", "");
        WeekOf({std::string(kRaceId)}, "RATHISWEEKNNEW.dat");
        folder.Write("O1RIALTIME.dat", line);
        dataservice::ScriptedJVLink fresh;

        const workbench::BreakingPayoutsSummary s = workbench::MergeBreakingResults(fresh, host);

        EXPECT_EQ(folder.Read("O1RIALTIME.dat"), line);
        EXPECT_THAT(RtOpens(fresh), ::testing::Not(::testing::Contains(::testing::HasSubstr("0B30"))));
        EXPECT_EQ(s.outputsKept, 1);
        EXPECT_THAT(folder.Read("ERRORLOG.txt"),
                    ::testing::HasSubstr("[MergeBreakingResults] O1RIALTIME.dat left as it was: RATHISWEEKN.dat"));
        EXPECT_EQ(workbench::BreakingPayoutsEndText(s),
                  "速報払戻等取得の一部を処理できませんでした。ERRORLOG.txtを確認して下さい。"
                  "（前回のまま残した出力 1 件。先に①②⑤⑥を実行して下さい。ERRORLOG.txtを確認して下さい。）");
        EXPECT_FALSE(folder.Exists("BREAKINGPAYOUTS.mark"));
    }
}

}  // namespace
