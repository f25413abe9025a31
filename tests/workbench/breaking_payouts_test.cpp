#include "workbench/breaking_payouts.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "batch_fixtures.h"
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

}  // namespace
