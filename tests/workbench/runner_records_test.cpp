#include "workbench/runner_records.h"

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "batch_fixtures.h"
#include "common/paths.h"
#include "support/temp_folder.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using batchtest::At;
using batchtest::Digits;
using batchtest::FloatBytes;
using batchtest::ExRun;

constexpr char kRaceA[] = "2025060705030101";
constexpr char kKeyA[] = "202506070501";

// The runner record's per-run fields at the positions of the record's layout: 1-based position
// of element 0 and width.
struct PerRun {
    const char* name;
    std::size_t at, width;
};
const std::vector<PerRun> kPerRun = {
    {"RunRaceId", 1, 16},       {"Wakuban", 1041, 1},     {"Umaban", 1106, 2},       {"KettoNum", 1236, 10},
    {"KisyuRyakusyo", 1922, 8}, {"Kyori", 2442, 4},       {"TrackCD", 2702, 2},      {"TorokuTosu", 2832, 2},
    {"NyusenJyuni", 2962, 2},   {"KakuteiJyuni", 3092, 2}, {"SohaTime", 3222, 4},    {"Ninki", 3482, 2},
    {"TanOdds", 3612, 4},       {"HaronTimeL3", 3872, 3}, {"ChokyosiRyakusyo", 4067, 8}, {"Baba", 4736, 3},
};

// What element e of each per-run field holds when it came from run `run` (the fixture's marks).
std::vector<std::string> ExpectedRunFields(const ExRun& r) {
    return {r.raceId,
            "3",
            r.umaban,
            r.kettoNum,
            "JK" + Digits(r.run, 6),
            Digits(r.run, 4),
            r.track,
            Digits(r.run + 3, 2),
            Digits(r.run, 2),
            Digits(r.run + 1, 2),
            Digits(1000 + r.run, 4),
            Digits(r.run + 2, 2),
            Digits(2000 + r.run, 4),
            Digits(300 + r.run, 3),
            "TR" + Digits(r.run, 6),
            r.baba};
}

// Floats of element e: Agari weights 0-23, Pace weights (expanded floats 31-54), speed values
// (expanded floats 93-112).
void ExpectFloatsOfRun(const std::string& record, std::size_t e, int run) {
    for (std::size_t i = 0; i < 24; ++i) {
        EXPECT_EQ(At(record, 4977 + 96 * e + 4 * i, 4), FloatBytes(static_cast<float>(run * 1000 + static_cast<int>(i))));
        EXPECT_EQ(At(record, 11697 + 96 * e + 4 * i, 4), FloatBytes(static_cast<float>(run * 1000 + 31 + static_cast<int>(i))));
    }
    for (std::size_t i = 0; i < 20; ++i)
        EXPECT_EQ(At(record, 18417 + 80 * e + 4 * i, 4), FloatBytes(static_cast<float>(run * 1000 + 93 + static_cast<int>(i))));
}

bool ElementIsZero(const std::string& record, std::size_t e) {
    for (const PerRun& f : kPerRun)
        if (At(record, f.at + f.width * e, f.width) != std::string(f.width, '\0')) return false;
    return At(record, 4977 + 96 * e, 96) == std::string(96, '\0') && At(record, 11697 + 96 * e, 96) == std::string(96, '\0') &&
           At(record, 18417 + 80 * e, 80) == std::string(80, '\0');
}

std::string Runs(std::vector<ExRun> runs) {
    std::string bytes;
    for (const ExRun& r : runs) bytes += batchtest::ExRecord(r);
    return bytes;
}

ExRun RunOf(std::string raceId, int run) {
    ExRun r;
    r.raceId = std::move(raceId);
    r.run = run;
    return r;
}

// Past runs on days before this week's race, one a week back in time.
std::vector<ExRun> History(int count) {
    std::vector<ExRun> runs;
    for (int n = 1; n < count; ++n) runs.push_back(RunOf("20" + Digits(10 + n / 50, 2) + "0101" + "0501" + "01" + Digits(n % 50 + 1, 2), n));
    runs.push_back(RunOf(kRaceA, count));
    return runs;
}

TEST(RunnerRecords, SePassSetsTheFirstFieldsAtTheHorseNumber) {
    testsupport::TempAppFolder folder;
    std::string se;
    for (int h = 1; h <= 16; ++h)
        if (h != 7) se += batchtest::SeRecord(kRaceA, Digits(h, 2), "20211000" + Digits(h, 2), "HORSE " + Digits(h, 2));
    se += batchtest::SeRecord(kRaceA, "00", "2021100099", "NOT DRAWN");
    se += batchtest::SeRecord(kRaceA, "19", "2021100019", "NINETEEN");
    se += batchtest::SeRecord(kRaceA, "ab", "2021100020", "NO NUMBER");
    se += batchtest::SeRecord("2025060705030102", "03", "2022100003", "FIRST");
    se += batchtest::SeRecord("2025060705030103", "01", "2022100004", "NOT LISTED");
    se += batchtest::SeRecord("2025060705030102", "03", "2022100003", batchtest::kHanako, '4');
    folder.Write("SETHISWEEKNNEW.dat", se);

    workbench::BatchLog log;
    const auto entries = workbench::ReadRaceEntries({kKeyA, "202506070502"}, log);

    ASSERT_EQ(entries.size(), 2u);
    const std::vector<workbench::RaceRunners> races = {workbench::FirstFieldRecords(entries[0]),
                                                       workbench::FirstFieldRecords(entries[1])};
    ASSERT_EQ(races[0].size(), 16u) << "RunnerCount is the highest horse number";
    EXPECT_TRUE(races[0][6].IsBlank());
    EXPECT_EQ(races[0][6].Bytes(), std::string(batchtest::kRhLength, '\0'));
    // Record 1: those fields, the CR LF and zero bytes everywhere else.
    std::string expected(batchtest::kRhLength, '\0');
    batchtest::Put(expected, 1041, "1");
    batchtest::Put(expected, 1106, "01");
    batchtest::Put(expected, 1236, "2021100001");
    batchtest::Put(expected, 1886, "HORSE 01" + std::string(28, ' '));
    batchtest::Put(expected, 24021, "\r\n");
    EXPECT_EQ(races[0][0].Bytes(), expected);
    EXPECT_EQ(At(races[0][15].Bytes(), 1236, 10), "2021100016");

    // A later record of the same horse number replaces the earlier one.
    ASSERT_EQ(races[1].size(), 3u);
    EXPECT_EQ(At(races[1][2].Bytes(), 1886, 36), std::string(batchtest::kHanako) + std::string(32, ' '));

    EXPECT_EQ(log.RacesPassedOver(), 1);
    const std::string errors = folder.Read("ERRORLOG.txt");
    EXPECT_THAT(errors, HasSubstr("horse number \"19\""));
    EXPECT_THAT(errors, HasSubstr("horse number \"ab\""));
    EXPECT_THAT(errors, Not(HasSubstr("\"00\"")));
}

TEST(RunnerRecords, AHorseWithThreeRuns) {
    testsupport::TempAppFolder folder;
    const std::vector<ExRun> runs = {RunOf("2024120105020101", 1), RunOf("2025030105020201", 2), RunOf(kRaceA, 3)};
    folder.Write("ex.dat", Runs(runs));
    const std::string found = workbench::RunsOfRace(common::RecordFile(folder / "ex.dat", 2603), kKeyA);
    ASSERT_EQ(found.size(), 3 * batchtest::kExLength);

    workbench::RaceHorseRecord runner;
    workbench::CopyRuns(runner, found);
    const std::string record(runner.Bytes());
    for (std::size_t e = 0; e < 3; ++e) {
        const ExRun& from = runs[2 - e];
        const auto values = ExpectedRunFields(from);
        for (std::size_t f = 0; f < kPerRun.size(); ++f)
            EXPECT_EQ(At(record, kPerRun[f].at + kPerRun[f].width * e, kPerRun[f].width), values[f])
                << kPerRun[f].name << " of element " << e;
        ExpectFloatsOfRun(record, e, from.run);
    }
    for (std::size_t e = 3; e < 65; ++e) EXPECT_TRUE(ElementIsZero(record, e)) << e;
    // The single fields come from the newest run.
    EXPECT_EQ(At(record, 4623, 70), "BREEDER003" + std::string(60, ' '));
    EXPECT_EQ(At(record, 4587, 36), "SIRE003" + std::string(29, ' '));
    EXPECT_EQ(At(record, 4729, 2), "04");
    EXPECT_EQ(At(record, 4731, 1), "2");
    EXPECT_EQ(At(record, 4732, 4), "1503");
    EXPECT_EQ(At(record, 4931, 11), "550480+0040");
    EXPECT_EQ(At(record, 4942, 35), "0000006000000800000090000010" "0000007");
    EXPECT_EQ(At(record, 1886, 36), std::string(36, '\0')) << "the name is the runner record's";
    EXPECT_EQ(At(record, 4693, 36), std::string(36, '\0')) << "Name36 is never set";
}

TEST(RunnerRecords, AHorseWithEightyRunsKeepsTheNewestSixtyFive) {
    testsupport::TempAppFolder folder;
    folder.Write("ex.dat", Runs(History(80)));
    const std::string found = workbench::RunsOfRace(common::RecordFile(folder / "ex.dat", 2603), kKeyA);
    ASSERT_EQ(found.size(), 65 * batchtest::kExLength);
    workbench::RaceHorseRecord runner;
    workbench::CopyRuns(runner, found);
    const std::string record(runner.Bytes());
    EXPECT_EQ(At(record, 2962, 2), "80");
    EXPECT_EQ(At(record, 2962 + 2 * 64, 2), "16") << "element 64 is run 16";
    EXPECT_EQ(At(record, 2442 + 4 * 64, 4), "0016");
    ExpectFloatsOfRun(record, 64, 16);
    for (std::size_t e = 65; e < 70; ++e) {
        EXPECT_EQ(At(record, 4977 + 96 * e, 96), std::string(96, '\0')) << e;
        EXPECT_EQ(At(record, 18417 + 80 * e, 80), std::string(80, '\0')) << e;
    }
}

// The join starts at this race: newer records are passed over; a file without a record of this
// race (one left from an earlier week, or none at all) gives no runs and is not created.
TEST(RunnerRecords, TheJoinStartsAtThisRacesRecord) {
    testsupport::TempAppFolder folder;
    folder.Write("newer.dat", Runs({RunOf("2025050105020101", 1), RunOf(kRaceA, 2), RunOf("2025061405030101", 3)}));
    const std::string found = workbench::RunsOfRace(common::RecordFile(folder / "newer.dat", 2603), kKeyA);
    ASSERT_EQ(found.size(), 2 * batchtest::kExLength);
    workbench::RaceHorseRecord runner;
    workbench::CopyRuns(runner, found);
    EXPECT_EQ(At(std::string(runner.Bytes()), 2962, 2), "02");

    // This race's record far back: found through more than one block.
    std::vector<ExRun> long_ = History(70);
    for (int n = 71; n <= 150; ++n) long_.push_back(RunOf("2025061405030101", n));
    folder.Write("far.dat", Runs(long_));
    EXPECT_EQ(workbench::RunsOfRace(common::RecordFile(folder / "far.dat", 2603), kKeyA).size(), 65 * batchtest::kExLength);

    folder.Write("old.dat", Runs({RunOf("2025053105030101", 1), RunOf("2025053105030111", 2)}));
    EXPECT_EQ(workbench::RunsOfRace(common::RecordFile(folder / "old.dat", 2603), kKeyA), "");
    EXPECT_EQ(workbench::RunsOfRace(common::RecordFile(folder / "missing.dat", 2603), kKeyA), "");
    EXPECT_FALSE(folder.Exists("missing.dat"));

    // Read one after another through one buffer, the runs are the same (a later, smaller read
    // leaves the buffer larger than the runs).
    std::string buffer;
    for (const char* name : {"far.dat", "newer.dat", "old.dat", "missing.dat", "far.dat"}) {
        const common::RecordFile file(folder / name, 2603);
        EXPECT_EQ(workbench::RunsOfRace(file, kKeyA, buffer), workbench::RunsOfRace(file, kKeyA)) << name;
    }
}

// Only records that stand where they belong are joined: after a byte inserted, or in a file cut
// inside this race's record, the race's record is not found; a damaged record ends the runs before
// it. What was damaged is handed to the caller.
TEST(RunnerRecords, ADamagedFileOfExpandedRuns) {
    testsupport::TempAppFolder folder;
    const std::string three = Runs({RunOf("2024120105020101", 1), RunOf("2025030105020201", 2), RunOf(kRaceA, 3)});
    const std::size_t L = batchtest::kExLength;
    std::string inserted = three;
    inserted.insert(L + 100, "x");
    std::string wrongKind = three;
    wrongKind[L] = 'X';  // the second run is of another kind
    const struct {
        const char* name;
        std::string bytes;
        std::string runs;
    } cases[] = {
        {"a byte inserted before this race's record", inserted, ""},
        {"cut inside this race's record", three.substr(0, 2 * L + 50), ""},
        {"bytes appended", three + "SE7", three},
        {"a record of another kind before it", wrongKind, three.substr(2 * L)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write("ex.dat", c.bytes);
        std::string buffer;
        std::vector<std::string> damage;
        EXPECT_EQ(std::string(workbench::RunsOfRace(common::RecordFile(folder / "ex.dat", 2603), kKeyA, buffer, &damage)),
                  c.runs);
        EXPECT_EQ(damage.size(), 1u);
    }
}

TEST(RunnerRecords, AgeFromTheRaceYearAndTheBirthYear) {
    struct Case {
        std::string birth, barei;
    };
    for (const Case& c : std::vector<Case>{{"20210401", "04"}, {"20151231", "10"}, {"2024    ", "01"}, {"        ", "25"}}) {
        ExRun r = RunOf(kRaceA, 1);
        r.birthDate = c.birth;
        workbench::RaceHorseRecord runner;
        workbench::CopyRuns(runner, batchtest::ExRecord(r));
        EXPECT_EQ(At(std::string(runner.Bytes()), 4729, 2), c.barei) << c.birth;
    }
}

// Weather and going of the race come from the last runner that has a run of it; a runner without
// runs leaves them; dirt is track 23 to 49 here.
TEST(RunnerRecords, JoinPassSetsWeatherAndGoingFromTheLastRunnerWithRuns) {
    struct Case {
        std::string track, baba;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"24", "133", "\x90\xb0\x8f\x64"},          // 晴重: dirt going of code 3
        {"49", "134", "\x90\xb0\x95\x73\x97\xc7"},  // 晴不良
        {"11", "223", "\x93\xdc\xe2\x63\x8f\x64"},  // 曇稍重: turf going
        {"51", "214", "\x93\xdc\x97\xc7"},          // 曇良: a hurdle race takes the turf going
    };
    std::string runsBuffer;  // kept from case to case, as the batch keeps it from race to race
    for (const Case& c : cases) {
        testsupport::TempAppFolder folder;
        folder.Write("JRACODE/CodeTable.csv", batchtest::TestData("workbench/CodeTable.csv"));
        ExRun first = RunOf(kRaceA, 1);
        first.kettoNum = "2021100001";
        first.track = "11";
        first.baba = "111";
        ExRun last = RunOf(kRaceA, 2);
        last.kettoNum = "2021100003";
        last.track = c.track;
        last.baba = c.baba;
        folder.Write("UMAGOTOEXTHISWEEKN/2021100001EX.dat", batchtest::ExRecord(first));
        folder.Write("UMAGOTOEXTHISWEEKN/2021100003EX.dat", batchtest::ExRecord(last));

        auto runnerOf = [](std::string_view horse, std::string_view ketto) {
            const std::string bytes = batchtest::SeRecord(kRaceA, horse, ketto, "NAME");
            workbench::RaceHorseRecord r;
            workbench::SetRunnerFirstFields(r, records::RecordView<records::LayoutSE>(bytes));
            return r;
        };
        workbench::RaceRunners runners = {runnerOf("01", "2021100001"), workbench::RaceHorseRecord(),
                                          runnerOf("03", "2021100003"), runnerOf("04", "2021100004"),
                                          runnerOf("05", "20211/../x")};
        workbench::BatchLog log;
        const auto join = workbench::JoinExpandedRuns(1, kKeyA, runners, common::CodeTable::Load(), log, runsBuffer);

        EXPECT_TRUE(join.weatherGoingSet);
        EXPECT_EQ(join.weatherGoing, c.expected) << c.track;
        EXPECT_EQ(join.runnersWithRuns, 2);
        EXPECT_EQ(At(std::string(runners[2].Bytes()), 2962, 2), "02");
        EXPECT_EQ(runners[1].Bytes(), std::string(batchtest::kRhLength, '\0')) << "a blank record stays blank";
        EXPECT_EQ(At(std::string(runners[3].Bytes()), 24017, 4), FloatBytes(0.0f));
        EXPECT_EQ(At(std::string(runners[3].Bytes()), 1, 16), std::string(16, '\0')) << "no runs for horse 4";
        EXPECT_EQ(log.RunnersWithoutRuns(), 1);
        EXPECT_EQ(log.RacesPassedOver(), 1) << "the key with a path in it fails that runner's join";
        EXPECT_FALSE(folder.Exists("UMAGOTOEXTHISWEEKN/2021100004EX.dat")) << "reading never creates the file";
        const std::string errors = folder.Read("ERRORLOG.txt");
        EXPECT_THAT(errors, HasSubstr("race 202506070501, horse number 4, KettoNum 2021100004"));
        EXPECT_THAT(errors, HasSubstr("race 202506070501, join of horse number 5"));
    }
}

TEST(RunnerRecords, ARunnerWithoutRunsIsLoggedWithItsFile) {
    // A file of expanded runs that is missing or holds nothing: the log names it.
    for (const bool present : {false, true}) {
        testsupport::TempAppFolder folder;
        if (present) folder.Write("UMAGOTOEXTHISWEEKN/2021100001EX.dat", "");
        const std::string bytes = batchtest::SeRecord(kRaceA, "01", "2021100001", "NAME");
        workbench::RaceRunners runners(1);
        workbench::SetRunnerFirstFields(runners[0], records::RecordView<records::LayoutSE>(bytes));
        workbench::BatchLog log;
        std::string runsBuffer;
        workbench::JoinExpandedRuns(1, kKeyA, runners, common::CodeTable(), log, runsBuffer);
        EXPECT_EQ(log.RunnersWithoutRuns(), 1);
        EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("KettoNum 2021100001: no expanded run of this race in " +
                                                            common::AppPath("UMAGOTOEXTHISWEEKN/2021100001EX.dat").string()))
            << present;
    }
}

TEST(RunnerRecords, NoRunnerWithRunsLeavesTheWeatherAlone) {
    testsupport::TempAppFolder folder;
    workbench::RaceRunners runners(2);
    workbench::BatchLog log;
    std::string runsBuffer;
    const auto join = workbench::JoinExpandedRuns(1, kKeyA, runners, common::CodeTable(), log, runsBuffer);
    EXPECT_FALSE(join.weatherGoingSet);
    EXPECT_EQ(log.RunnersWithoutRuns(), 0);
    EXPECT_FALSE(folder.Exists("ERRORLOG.txt"));
}

}  // namespace
