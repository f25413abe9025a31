#include "support/record_bytes.h"
#include "engine/ex_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace {

// Fixtures are whole records filled with a pattern that differs at every position (so that a byte
// taken from the wrong place shows), with the keys placed at their documented 1-based positions.
std::string Pattern(int length, int salt) {
    std::string s(static_cast<std::size_t>(length), ' ');
    for (int p = 1; p <= length; ++p) s[static_cast<std::size_t>(p - 1)] = static_cast<char>(33 + (p * 31 + salt) % 94);
    return s;
}

using testsupport::Put;

struct RaceId {
    std::string year, monthDay, jyo, raceNum;
};

std::string Runner(int salt, std::string_view kettoNum, std::string_view makeDate, const RaceId& race,
                   std::string_view kisyuCode) {
    std::string r = Pattern(555, salt);
    Put(r, 1, "SE");
    Put(r, 4, makeDate);
    Put(r, 12, race.year);
    Put(r, 16, race.monthDay);
    Put(r, 20, race.jyo);
    Put(r, 22, "0302");  // Kaiji, Nichiji: not part of the race's key
    Put(r, 26, race.raceNum);
    Put(r, 31, kettoNum);
    Put(r, 297, kisyuCode);
    Put(r, 554, "\r\n");
    return r;
}

std::string Race(int salt, const RaceId& race, std::string_view dataKubun) {
    std::string r = Pattern(1272, salt);
    Put(r, 1, "RA");
    Put(r, 3, dataKubun);
    Put(r, 12, race.year);
    Put(r, 16, race.monthDay);
    Put(r, 20, race.jyo);
    Put(r, 22, "9999");  // another Kaiji and Nichiji than the runs: they do not count
    Put(r, 26, race.raceNum);
    Put(r, 1271, "\r\n");
    return r;
}

std::string Horse(int salt, std::string_view kettoNum, std::string_view dam) {
    std::string r = Pattern(1609, salt);
    Put(r, 1, "UM");
    Put(r, 12, kettoNum);
    Put(r, 251, dam);  // pedigree entry 2, the dam
    Put(r, 1608, "\r\n");
    return r;
}

std::string Jockey(int salt, std::string_view code, std::string_view birthDate) {
    std::string r = Pattern(4161, salt);
    Put(r, 1, "KS");
    Put(r, 12, code);
    Put(r, 34, birthDate);
    Put(r, 4160, "\r\n");
    return r;
}

std::string Foal(std::string_view dam, std::string_view foal) { return std::string(dam) + std::string(foal) + "\r\n"; }

// The expanded record of a run as documented, position by position; an empty source record stands
// for a table without a row (its fields are blanks).
std::string Expected(std::string_view se, std::string_view um, std::string_view foalOrder, std::string_view ra,
                     std::string_view ks) {
    std::string e(2603, '\0');
    auto copy = [&](int to, std::string_view source, int from, int width) {
        Put(e, to, source.empty() ? std::string(static_cast<std::size_t>(width), ' ')
                                  : std::string(source.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(width))));
    };
    auto blank = [&](int to, int width) { Put(e, to, std::string(static_cast<std::size_t>(width), ' ')); };
    copy(1, se, 1, 40);                       // ExHead
    Put(e, 41, um.empty() ? "  " : foalOrder);
    copy(43, ra, 28, 1);                      // YoubiCD
    blank(44, 163);                           // ExReserved1, SaleBlock
    copy(207, um, 39, 8);                     // BirthDate
    copy(215, um, 863, 120);                  // SyotaiChiiki, BreederCode, BreederName, SanchiName
    copy(335, um, 205, 10);                   // sire's number and name
    copy(345, um, 215, 36);
    blank(381, 24);
    copy(405, um, 251, 10);                   // dam's number
    blank(415, 24);
    // 439..508: block 3, zero bytes
    for (int block = 509; block <= 719; block += 70) {  // blocks 4 to 7: number, year, place blank
        blank(block, 10);
        blank(block + 46, 24);
    }
    copy(729, um, 353, 36);                   // block 7's name: the sire's dam (entry 4)
    copy(789, se, 41, 36);                    // Bamei
    copy(826, se, 77, 6);                     // UmaKigoCD, SexCD, HinsyuCD, KeiroCD
    copy(832, se, 85, 20);                    // TozaiCD .. BanusiCode
    copy(916, se, 169, 60);                   // Fukusyoku
    copy(976, se, 289, 13);                   // Futan .. KisyuCode
    copy(989, ks, 34, 8);                     // jockey's birth date
    copy(997, ks, 228, 1);                    // sex
    copy(998, ks, 232, 20);                   // region
    copy(1018, ks, 229, 1);                   // licence
    copy(1019, se, 302, 92);                  // KisyuCodeBefore .. HaronTimeL3
    copy(1111, se, 532, 4);                   // TimeDiff
    copy(1115, ra, 615, 23);                  // GradeCD .. JyokenCD
    copy(1138, ra, 698, 572);                 // Kyori .. CornerInfo
    copy(2602, se, 554, 2);                   // CR LF
    return e;
}

// "" when the files are equal, else where they first differ (a whole record dump says little).
std::string Difference(std::string_view got, std::string_view want) {
    if (got == want) return "";
    std::size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i]) ++i;
    return "sizes " + std::to_string(got.size()) + " and " + std::to_string(want.size()) + ", first difference at byte " +
           std::to_string(i % 2603 + 1) + " of record " + std::to_string(i / 2603 + 1);
}

const RaceId kTokyo11{"2023", "0604", "05", "11"};
const RaceId kNiigata9{"2023", "1001", "08", "09"};
const RaceId kAbroad{"2024", "0101", "C8", "01"};  // no race row

TEST(BuildExRecords, JoinsEveryRunWithItsHorseRaceAndJockeyAndNothingCarriesOver) {
    testsupport::TempAppFolder dir;
    const std::string h1 = "2019100001", h2 = "2019100002", dam = "2010200001";

    // Two rows of the horse (the later wins) and one of another horse.
    const std::string um1 = Horse(6, h1, dam);
    dir.Write("UMTHISWEEKNNEW.dat", Horse(5, h1, dam) + Horse(7, "2019100009", "2010200009") + um1);
    // The dam's first record is record 2; the horse is its record f + 5.
    dir.Write("OPTION1N/HNSKOPTION1N.dat", Foal("2010200009", "2019100009") + Foal(dam, "2014000001") +
                                                 Foal(dam, "2015000001") + Foal(dam, "2016000001") +
                                                 Foal(dam, "2017000001") + Foal(dam, "2018000001") + Foal(dam, h1));
    // Two rows of one race with different data kinds (the later wins) and another race.
    const std::string raTokyo = Race(11, kTokyo11, "7"), raNiigata = Race(12, kNiigata9, "2");
    dir.Write("RATHISWEEKNNEW.dat", Race(10, kTokyo11, "2") + raNiigata + raTokyo);
    // Jockey 01002 is in both files with different birth dates: the supplied file's values win.
    const std::string ks1 = Jockey(20, "01001", "19800101"), ks2 = Jockey(22, "01002", "19900202");
    dir.Write("KSTHISWEEKN.dat", ks1 + Jockey(21, "01002", "19700303"));
    dir.Write("OPTION1N/ks20190101new.DAT", ks2);  // name matched without regard to case

    const std::string run1 = Runner(30, h1, "20230601", kTokyo11, "01001");
    std::string run2 = Runner(31, h1, "20230928", kNiigata9, "01002");
    Put(run2, 41, std::string(4, '\0'));  // zero bytes read as blanks
    const std::string run3 = Runner(32, h1, "20240101", kAbroad, "09999");
    dir.Write("UMAGOTOTHISWEEKN/" + h1 + ".dat", run1 + run2 + run3);
    const std::string run4 = Runner(33, h2, "20230601", kTokyo11, "01001");
    dir.Write("UMAGOTOTHISWEEKN/" + h2 + ".dat", run4);

    std::vector<int> progress;
    const engine::ExBuildSummary summary =
        engine::BuildExRecords({h1, "../2019100002", h2}, [&](int p) { progress.push_back(p); });

    std::string run2AsRead = run2;
    Put(run2AsRead, 41, "    ");
    EXPECT_EQ(Difference(dir.Read("UMAGOTOEXTHISWEEKN/" + h1 + "EX.dat"),
                         Expected(run1, um1, "06", raTokyo, ks1) + Expected(run2AsRead, um1, "06", raNiigata, ks2) +
                             Expected(run3, um1, "06", "", "")),
              "");
    // The second horse has no horse row: blanks, not the first horse's values.
    EXPECT_EQ(Difference(dir.Read("UMAGOTOEXTHISWEEKN/" + h2 + "EX.dat"), Expected(run4, "", "", raTokyo, ks1)), "");

    EXPECT_TRUE(summary.tablesLoaded);
    EXPECT_EQ(summary.horses, 3);
    EXPECT_EQ(summary.filesWritten, 2);
    EXPECT_EQ(summary.horsesPassedOver, 1);
    EXPECT_EQ(summary.runs, 4);
    EXPECT_EQ(summary.records, 4);
    EXPECT_NE(dir.Read("ERRORLOG.txt").find("../2019100002"), std::string::npos);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 100);
}

TEST(BuildExRecords, TheOrderCheckLooksAtTheLastTwoRecordsOnly) {
    struct Case {
        std::vector<std::string> makeDates;
        std::size_t kept;
        bool logged;
    };
    const Case cases[] = {
        {{"20240515", "20240512"}, 1, false},              // made before the one in front of it
        {{"20240512", "20240512"}, 2, false},              // same day: both stay
        {{"20240512", "20240515"}, 2, false},
        {{"20240601"}, 1, false},                          // one run: no check
        {{"20240101", "20240515", "20240512"}, 2, false},
        {{"20240515", "20240101", "20240102"}, 3, false},  // only the last record is examined
        {{"20240515", "        "}, 2, true},               // not a number: nothing removed, logged
    };
    for (const Case& c : cases) {
        testsupport::TempAppFolder dir;
        const std::string h = "2020100001";
        std::string runs, expected;
        for (std::size_t j = 0; j < c.makeDates.size(); ++j) {
            const std::string run = Runner(40 + static_cast<int>(j), h, c.makeDates[j], kAbroad, "00000");
            runs += run;
            if (j < c.kept) expected += Expected(run, "", "", "", "");
        }
        dir.Write("UMAGOTOTHISWEEKN/" + h + ".dat", runs);
        const auto summary = engine::BuildExRecords({h});
        EXPECT_EQ(Difference(dir.Read("UMAGOTOEXTHISWEEKN/" + h + "EX.dat"), expected), "") << c.makeDates.back();
        EXPECT_EQ(summary.lastRecordsDropped, c.kept < c.makeDates.size() ? 1 : 0) << c.makeDates.back();
        EXPECT_EQ(dir.Exists("ERRORLOG.txt"), c.logged) << c.makeDates.back();
        EXPECT_FALSE(dir.Exists("TEMPORARY"));
    }
}

TEST(BuildExRecords, TwoHorsesThatBothLoseTheirLastRecordKeepTheirOwnCounts) {
    testsupport::TempAppFolder dir;
    const std::string a = "2020100001", b = "2020100002";
    auto runFile = [](std::string_view h, int n) {
        std::string runs;
        for (int j = 1; j < n; ++j) runs += Runner(j, h, "20240515", kAbroad, "00000");
        return runs + Runner(n, h, "20240512", kAbroad, "00000");
    };
    dir.Write("UMAGOTOTHISWEEKN/" + a + ".dat", runFile(a, 30));
    dir.Write("UMAGOTOTHISWEEKN/" + b + ".dat", runFile(b, 10));
    const auto summary = engine::BuildExRecords({a, b});
    EXPECT_EQ(dir.Read("UMAGOTOEXTHISWEEKN/" + a + "EX.dat").size(), 29u * 2603u);
    EXPECT_EQ(dir.Read("UMAGOTOEXTHISWEEKN/" + b + "EX.dat").size(), 9u * 2603u);
    EXPECT_EQ(summary.lastRecordsDropped, 2);
}

TEST(BuildExRecords, AHorseWithoutRunsGetsAnEmptyFileAndUnlistedFilesStayAsTheyWere) {
    testsupport::TempAppFolder dir;
    const std::string empty = "2021100001", missing = "2021100002", unlisted = "2021100003";
    dir.Write("UMAGOTOTHISWEEKN/" + empty + ".dat", "");
    dir.Write("UMAGOTOEXTHISWEEKN/" + empty + "EX.dat", std::string(3 * 2603, 'x'));  // last week's
    dir.Write("UMAGOTOEXTHISWEEKN/" + unlisted + "EX.dat", "old");

    const auto summary = engine::BuildExRecords({empty, missing});
    EXPECT_TRUE(dir.Exists("UMAGOTOEXTHISWEEKN/" + empty + "EX.dat"));
    EXPECT_EQ(dir.Read("UMAGOTOEXTHISWEEKN/" + empty + "EX.dat"), "");
    EXPECT_TRUE(dir.Exists("UMAGOTOEXTHISWEEKN/" + missing + "EX.dat"));
    EXPECT_EQ(dir.Read("UMAGOTOEXTHISWEEKN/" + missing + "EX.dat"), "");
    EXPECT_FALSE(dir.Exists("UMAGOTOTHISWEEKN/" + missing + ".dat"));  // reading created nothing
    EXPECT_EQ(dir.Read("UMAGOTOEXTHISWEEKN/" + unlisted + "EX.dat"), "old");
    EXPECT_EQ(summary.filesWritten, 2);
    EXPECT_EQ(summary.records, 0);
}

TEST(BuildExRecords, OneHorsesRunsCanBeExpandedInMemoryAndWrittenLater) {
    testsupport::TempAppFolder dir;
    const std::string h = "2022100001";
    const std::string run1 = Runner(50, h, "20240101", kAbroad, "00000");
    const std::string run2 = Runner(51, h, "20240202", kAbroad, "00000");
    dir.Write("UMAGOTOTHISWEEKN/" + h + ".dat", run1 + run2 + "torn tail");

    const engine::ExJoinTables tables = engine::ExJoinTables::Load();
    engine::HorseExpansion horse = engine::ExpandHorse(tables, h);
    ASSERT_EQ(horse.records.size(), 2u);
    EXPECT_EQ(horse.runs, 2);
    EXPECT_FALSE(dir.Exists("UMAGOTOEXTHISWEEKN/" + h + "EX.dat"));  // nothing written yet

    // A later pass fills prediction fields in memory; the file is written once with them.
    horse.records[1].SetSpeedText(0, "1234567");
    engine::WriteExRecords(h, horse.records);
    std::string second = Expected(run2, "", "", "", "");
    Put(second, 1710, "1234567");
    EXPECT_EQ(Difference(dir.Read("UMAGOTOEXTHISWEEKN/" + h + "EX.dat"), Expected(run1, "", "", "", "") + second), "");

    EXPECT_THROW(engine::ExpandHorse(tables, "20221/0001"), std::invalid_argument);
    EXPECT_THROW(engine::WriteExRecords("..", horse.records), std::invalid_argument);
}

}  // namespace
