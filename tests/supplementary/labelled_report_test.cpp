#include "supplementary/labelled_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/encoding.h"
#include "reports/lup_race.h"
#include "reports/report_fixtures.h"
#include "supplementary/labelled_hits.h"
#include "support/report_week.h"
#include "support/temp_folder.h"

namespace {

using reportweek::Entry;
using reportweek::PayoutBuilder;
using workbench::RaceState;

std::string Golden(std::string_view name) { return reportfixtures::Golden("../supplementary/" + std::string(name)); }

/// Every pair (trio) of horses 1 to n, ascending, in ascending key order.
std::vector<std::string> Pairs(int n) {
    std::vector<std::string> out;
    for (int a = 1; a <= n; ++a)
        for (int b = a + 1; b <= n; ++b) out.push_back(common::TwoDigits(a) + common::TwoDigits(b));
    return out;
}
std::vector<std::string> Trios(int n) {
    std::vector<std::string> out;
    for (int a = 1; a <= n; ++a)
        for (int b = a + 1; b <= n; ++b)
            for (int c = b + 1; c <= n; ++c) out.push_back(common::TwoDigits(a) + common::TwoDigits(b) + common::TwoDigits(c));
    return out;
}

/// A race of n runners ranked in horse order whose ticket lists hold every pair and trio in
/// ascending key order, so the key at each place is known.
RaceState AscendingRace(int n) {
    RaceState race = reportweek::RankedRace(n, "18", "20", {});
    reportweek::SetTickets(race, Pairs(n), Pairs(n), Trios(n), Trios(n));
    return race;
}

/// The race's "AT" lines, UTF-8, one per element.
std::vector<std::string> AtLines(const RaceState& race, const PayoutBuilder& hr) {
    reports::LineNotes notes;
    const records::StoredHR record = hr.Record();
    const std::string bytes = common::FromCp932(supplementary::HanteiTekichuTwi(race, record, notes));
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", at);
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    EXPECT_TRUE(notes.empty());
    return lines;
}

TEST(HanteiTekichuTwi, PairAndTrioPlacesTakeTheirTierAndPlaceWithinIt) {
    // Eight runners: 28 pairs, 56 trios. The 馬連 (3連複) entry is the key at the place; a second
    // hit at place 1 shows that a place beyond the tiers still uses its hit number.
    const RaceState race = AscendingRace(8);
    const auto pairs = Pairs(8);
    const auto trios = Trios(8);
    struct Case {
        int place;
        const char* text;   // "" when the place is beyond the tiers
        const char* shown;  // the key at the place as the line shows it
    };
    const Case pairCases[] = {{6, "本線6点目 的中", " 1- 7"},   {7, "準本線1点目 的中", " 1- 8"},
                              {12, "準本線6点目 的中", " 2- 7"}, {13, "伏兵1点目 的中", " 2- 8"},
                              {18, "伏兵6点目 的中", " 3- 8"},   {19, "", " 4- 5"}};
    for (const Case& c : pairCases) {
        const std::string& key = pairs[static_cast<std::size_t>(c.place - 1)];
        PayoutBuilder hr("2025110105030208");
        hr.Umaren({{key, "000001000", "010"}}).Wide({{"0102", "000000150", "001"}});
        std::vector<std::string> expected;
        if (*c.text)
            expected.push_back("\"AT\",\"1\",\"馬連\",\"" + std::string(c.text) + "\",\"" + c.shown + "\",\"1000\"");
        expected.push_back("\"AT\",\"2\",\"ワイド\",\"本線1点目 的中\",\" 1- 2\",\"150\"");
        EXPECT_EQ(AtLines(race, hr), expected) << "pair place " << c.place << " " << key;
    }
    const Case trioCases[] = {{7, "本線7点目 的中", " 1- 3- 4"},   {8, "準本線1点目 的中", " 1- 3- 5"},
                              {14, "準本線7点目 的中", " 1- 4- 7"}, {15, "伏兵1点目 的中", " 1- 4- 8"},
                              {21, "伏兵7点目 的中", " 1- 7- 8"},   {22, "", " 2- 3- 4"}};
    for (const Case& c : trioCases) {
        const std::string& key = trios[static_cast<std::size_t>(c.place - 1)];
        PayoutBuilder hr("2025110105030208");
        hr.Sanrenpuku({{key, "000002000", "020"}});
        std::vector<std::string> expected;
        if (*c.text)
            expected.push_back("\"AT\",\"1\",\"3連複\",\"" + std::string(c.text) + "\",\"" + c.shown + "\",\"2000\"");
        EXPECT_EQ(AtLines(race, hr), expected) << "trio place " << c.place << " " << key;
    }
}

TEST(HanteiTekichuTwi, ExactaAndQuinellaWhenTheBetterRankedHorseHasTheHigherNumber) {
    // Five runners ranked 5, 4, 3, 2, 1: the best pair is 05 04 in the value-ordered list and 04 05
    // in the ascending one, and the best trio is 05 04 03.
    RaceState race = reportweek::RankedRace(5, "05", "20", {});
    reportweek::SetRunners(race, {5, 4, 3, 2, 1}, std::vector<std::string>(6), std::vector<std::string>(6, "**"));
    reportweek::SetTickets(race, {"0504", "0503"}, {"0405", "0305"}, {"050403"}, {"030405"});
    struct Case {
        const char* what;
        PayoutBuilder hr;
        std::vector<std::string> lines;
    };
    const std::string id = "2025110105030208";
    const Case cases[] = {
        {"5 beat 4: forward", PayoutBuilder(id).Umatan({{"0504", "000003000", "010"}}),
         {"\"AT\",\"1\",\"馬単\",\"本線1正順 的中\",\" 5→ 4\",\"3000\""}},
        {"4 beat 5: reverse", PayoutBuilder(id).Umatan({{"0405", "000003500", "012"}}),
         {"\"AT\",\"1\",\"馬単\",\"本線1逆順 的中\",\" 4→ 5\",\"3500\""}},
        {"5 beat 3 at place 2", PayoutBuilder(id).Umatan({{"0503", "000004000", "013"}}),
         {"\"AT\",\"1\",\"馬単\",\"本線2正順 的中\",\" 5→ 3\",\"4000\""}},
        {"quinella and trio keyed ascending",
         PayoutBuilder(id).Umaren({{"0405", "000001100", "004"}}).Sanrenpuku({{"030405", "000001200", "005"}}),
         {"\"AT\",\"1\",\"馬連\",\"本線1点目 的中\",\" 4- 5\",\"1100\"",
          "\"AT\",\"2\",\"3連複\",\"本線1点目 的中\",\" 3- 4- 5\",\"1200\""}},
    };
    for (const Case& c : cases) EXPECT_EQ(AtLines(race, c.hr), c.lines) << c.what;
}

TEST(HanteiTekichuTwi, TrifectaOrdersAtTheMainAndSecondLine) {
    // Places 1 (本線) and 8 (準本線) of a list whose trios are A B C = 03 01 02 and 06 04 05.
    RaceState race = AscendingRace(8);
    // Trio 04 05 06 moves to place 8, and the trio there to its place: each trio stays once.
    std::vector<std::string> ascending = Trios(8);
    const auto moved = std::find(ascending.begin(), ascending.end(), "040506") - ascending.begin();
    ascending[static_cast<std::size_t>(moved)] = ascending[7];
    ascending[7] = "040506";
    std::vector<std::string> list = ascending;
    list[0] = "030102", list[7] = "060405";
    reportweek::SetTickets(race, Pairs(8), Pairs(8), list, ascending);
    struct Case {
        const char* kumi;
        const char* text;
        const char* shown;
    };
    const Case cases[] = {
        {"030102", "本線1第1順 的中", " 3→ 1→ 2"},   {"030201", "本線1第2順 的中", " 3→ 2→ 1"},
        {"010302", "本線1第3順的中 ", " 1→ 3→ 2"},   {"010203", "本線1第4順的中 ", " 1→ 2→ 3"},
        {"020301", "本線1第5順的中 ", " 2→ 3→ 1"},   {"020103", "本線1第6順的中 ", " 2→ 1→ 3"},
        {"060405", "準本線1第1順 的中", " 6→ 4→ 5"}, {"060504", "準本線1第2順 的中", " 6→ 5→ 4"},
        {"040605", "準本線1第3順 的中", " 4→ 6→ 5"}, {"040506", "準本線1第4順 的中", " 4→ 5→ 6"},
        {"050604", "準本線1第5順 的中", " 5→ 6→ 4"}, {"050406", "準本線1第6順 的中", " 5→ 4→ 6"},
    };
    for (const Case& c : cases) {
        PayoutBuilder hr("2025110105030208");
        hr.Sanrentan({{c.kumi, "000012340", "0100"}});
        EXPECT_EQ(AtLines(race, hr),
                  std::vector<std::string>{"\"AT\",\"1\",\"3連単\",\"" + std::string(c.text) + "\",\"" + c.shown +
                                           "\",\"12340\""})
            << c.kumi;
    }
}

TEST(HanteiTekichuTwi, UnfilledTrifectaEntriesDeadHeatsAndSmallFields) {
    const std::string id = "2025110105030208";
    struct Case {
        const char* what;
        RaceState race;
        PayoutBuilder hr;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a first 3連単 entry 000000 ends the entries", AscendingRace(4),
         PayoutBuilder(id).Sanrentan({{"000000", "000000000", "    "}, {"010203", "000005000", "0001"}}),
         {}},
        {"an all-blank 3連単 entry matches nothing and the next is compared", AscendingRace(4),
         PayoutBuilder(id).Sanrentan({{"      ", "         ", "    "}, {"010203", "000005000", "0001"}}),
         {"\"AT\",\"1\",\"3連単\",\"本線1第1順 的中\",\" 1→ 2→ 3\",\"5000\""}},
        {"a dead heat: two 馬連 entries, lines in place order", AscendingRace(4),
         PayoutBuilder(id).Umaren({{"0104", "000000900", "003"}, {"0102", "000000500", "001"}}),
         {"\"AT\",\"1\",\"馬連\",\"本線1点目 的中\",\" 1- 2\",\"500\"",
          "\"AT\",\"2\",\"馬連\",\"本線3点目 的中\",\" 1- 4\",\"900\""}},
        {"four ワイド hits after a dead heat, each with its word", AscendingRace(4),
         PayoutBuilder(id).Wide({{"0102", "000000110", "001"},
                                 {"0103", "000000120", "002"},
                                 {"0203", "000000130", "003"},
                                 {"0104", "000000140", "004"}}),
         {"\"AT\",\"1\",\"ワイド\",\"本線1点目 的中\",\" 1- 2\",\"110\"",
          "\"AT\",\"2\",\"ワイド\",\"本線2点目 的中\",\" 1- 3\",\"120\"",
          "\"AT\",\"3\",\"ワイド\",\"本線3点目 的中\",\" 1- 4\",\"140\"",
          "\"AT\",\"4\",\"ワイド\",\"本線4点目 的中\",\" 2- 3\",\"130\""}},
        {"five runners: pairs 7 to 10 and trios 8 to 10 are 準本線", AscendingRace(5),
         PayoutBuilder(id).Umaren({{"0405", "000000700", "010"}}).Sanrenpuku({{"030405", "000000800", "010"}}),
         {"\"AT\",\"1\",\"馬連\",\"準本線4点目 的中\",\" 4- 5\",\"700\"",
          "\"AT\",\"2\",\"3連複\",\"準本線3点目 的中\",\" 3- 4- 5\",\"800\""}},
        {"two runners: no trio pass", AscendingRace(2),
         PayoutBuilder(id).Umaren({{"0102", "000000300", "001"}}).Sanrenpuku({{"010203", "000000400", "001"}}).Sanrentan(
             {{"010203", "000000500", "0001"}}),
         {"\"AT\",\"1\",\"馬連\",\"本線1点目 的中\",\" 1- 2\",\"300\""}},
        {"one runner: no pair pass either", AscendingRace(1),
         PayoutBuilder(id).Umaren({{"0102", "000000300", "001"}}).Umatan({{"0102", "000000400", "001"}}), {}},
        {"a blank payout stays an empty text", AscendingRace(4), PayoutBuilder(id).Umaren({{"0102", "         ", "   "}}),
         {"\"AT\",\"1\",\"馬連\",\"本線1点目 的中\",\" 1- 2\",\"\""}},
    };
    for (const Case& c : cases) EXPECT_EQ(AtLines(c.race, c.hr), c.lines) << c.what;
}

class TwiFiles : public ::testing::Test {
protected:
    testsupport::TempAppFolder dir;
    void SetUp() override { std::filesystem::create_directories(dir / "TEKICHU"); }
};

TEST_F(TwiFiles, DayFilesOfBothModesMatchTheHandWrittenFiles) {
    // A file of an earlier run is replaced by the run's first race.
    dir.Write("TEKICHU/20251101050302twiRCM.txt", "last week\r\n");
    for (int run = 0; run < 2; ++run) {
        for (std::int16_t mode : {0, 1}) {
            reportfixtures::WriterRun<supplementary::TwiRaceWriter> r("WriteTwiRace");
            for (const RaceState& race : reportweek::DayA(mode)) r.Write(race);
            EXPECT_EQ(r.log.StepsPassedOver(), 0);
        }
        EXPECT_EQ(dir.Read("TEKICHU/20251101050302twiRCM.txt"), Golden("twiRCM.txt")) << "run " << run;
        EXPECT_EQ(dir.Read("TEKICHU/20251101050302twi.txt"), Golden("twi.txt")) << "run " << run;
    }
}

TEST_F(TwiFiles, ASecondCourseBetweenTheRacesOfADayGoesToItsOwnFile) {
    reportfixtures::WriterRun<supplementary::TwiRaceWriter> r("WriteTwiRace");
    const auto day = reportweek::DayA(1);
    r.Write(day[0]);
    r.Write(reportweek::KyotoRace(1));
    r.Write(day[1]);
    r.Write(day[2]);
    EXPECT_EQ(dir.Read("TEKICHU/20251101050302twiRCM.txt"), Golden("twiRCM.txt"));
    const std::string kyoto = common::FromCp932(dir.Read("TEKICHU/20251101080402twiRCM.txt"));
    EXPECT_EQ(kyoto.substr(0, kyoto.find("\"HS\"")),
              "\"DY\",\"1\",\"20251101\"\r\n\"PL\",\"1\",\"4\",\"京都\",\"2\",\"11\"\r\n"
              "\"RC\",\"1\",\"1000\",\"01\",\"\",\"サラ系２歳新馬\",\"サラ系２歳新馬\",\"\",\"ダ\",\"1400\",\"31\",\"曇稍\"\r\n"
              "\"RR\",\"連番\",\"枠番\",\"馬番\",\"予順\",\"人気\",\"入線\",\"性\",\"齢\",\"馬名　　　　　　　\",\"負担\","
              "\"騎手名　\",\"調教師名\",\"推定タイム\",\"実タイム\",\"推定上3F\",\"実上3F\"\r\n");
    // Horses 2 and 3 first and second, 6 third, the tickets of the fixture's RankedRace are none.
    EXPECT_NE(kyoto.find("\"KK\",\"1\",\" 2\",\"420\",\"\",\"\"\r\n"), std::string::npos);
    EXPECT_NE(kyoto.find("\"KS\",\"3\",\" 2→ 3→ 6\",\"23450\","), std::string::npos);
}

TEST_F(TwiFiles, AFailedFirstWriteKeepsLastWeeksFileAndTheNextRaceStartsTheDayAfresh) {
    dir.Write("TEKICHU/20251101050302twiRCM.txt", "last week\r\n");
    // The scratch file of the day's first write cannot be made.
    std::filesystem::create_directories(dir / "TEKICHU/20251101050302twiRCM.txt.partial");
    reportfixtures::WriterRun<supplementary::TwiRaceWriter> r("WriteTwiRace");
    const auto day = reportweek::DayA(1);
    EXPECT_ANY_THROW(r.Write(day[0]));
    EXPECT_EQ(dir.Read("TEKICHU/20251101050302twiRCM.txt"), "last week\r\n");
    std::filesystem::remove(dir / "TEKICHU/20251101050302twiRCM.txt.partial");
    r.Write(day[1]);
    r.Write(day[2]);
    const std::string golden = Golden("twiRCM.txt");
    const std::string head = golden.substr(0, golden.find("\"RC\""));
    EXPECT_EQ(dir.Read("TEKICHU/20251101050302twiRCM.txt"), head + golden.substr(golden.find("\"RC\",\"6\"")));

    RaceState badKey = day[2];
    badKey.MeetingKey = "2025110105030/";
    EXPECT_ANY_THROW(r.Write(badKey));
}

}  // namespace
