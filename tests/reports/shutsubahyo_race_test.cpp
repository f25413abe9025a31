#include "reports/shutsubahyo_race.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/numbers.h"
#include "common/text_file.h"
#include "report_fixtures.h"
#include "support/report_week.h"
#include "support/temp_folder.h"

namespace {

using reportweek::Entry;
using reportweek::PayoutBuilder;
using workbench::RaceState;

using reportfixtures::Cp;
using reportfixtures::FixtureWeek;
using reportfixtures::FourRunnerDay;
using reportfixtures::Golden;

struct CardRun : reportfixtures::WriterRun<reports::ShutsubahyoRaceWriter> {
    CardRun() : WriterRun("WriteShutsubahyoRace") {}
};

class ShutsubahyoFiles : public ::testing::Test {
protected:
    testsupport::TempAppFolder dir;
    void SetUp() override { std::filesystem::create_directories(dir / "SHUTSUBAHYO"); }
};

TEST_F(ShutsubahyoFiles, BothModesMatchTheHandWrittenCardsAndASecondRunRewritesThem) {
    for (std::int16_t mode : {0, 1})
        for (int run = 0; run < 2; ++run) {
            CardRun r;
            for (const RaceState& race : FourRunnerDay(mode)) r.Write(race);
            EXPECT_EQ(dir.Read(mode ? "SHUTSUBAHYO/20251101050302mmkRCM.txt" : "SHUTSUBAHYO/20251101050302mmk.txt"),
                      Golden(mode ? "mmkRCM.txt" : "mmk.txt"))
                << "mode " << mode << " run " << run;
            EXPECT_EQ(r.log.StepsPassedOver(), 0);
        }
}

TEST_F(ShutsubahyoFiles, EachDayOfTheWeekIsWrittenWholeThoughAnotherDayCameInBetween) {
    for (std::int16_t mode : {0, 1})
        for (int run = 0; run < 2; ++run) {
            CardRun r;
            for (const RaceState& race : FixtureWeek(mode)) r.Write(race);
            const std::string suffix = mode ? "mmkRCM" : "mmk";
            EXPECT_EQ(dir.Read("SHUTSUBAHYO/20251101050302" + suffix + ".txt"), Golden(suffix + ".txt"))
                << "mode " << mode << " run " << run;
            EXPECT_EQ(dir.Read("SHUTSUBAHYO/20251102060301" + suffix + ".txt"), Golden(suffix + "_dayB.txt"))
                << "mode " << mode << " run " << run;
            EXPECT_EQ(r.log.StepsPassedOver(), 0);
        }
    EXPECT_FALSE(std::filesystem::exists(dir / "ERRORLOG.txt"));
}

TEST(ShutsubahyoBlock, AGapInTheRunnerFileAndADeadHeatForFirst) {
    RaceState race = reportweek::GapDeadHeatRace(1);
    race.CurHr = reportweek::GapDeadHeatPayout().Record();
    reports::LineNotes notes;
    EXPECT_EQ(reports::ComposeShutsubahyoRace(race, reportweek::Codes(), false, notes), Golden("mmkRCM_gap.txt"));
    EXPECT_TRUE(notes.empty());

    // Before the results horse 7 keeps its rank and speed; its texts are empty, its age two blanks.
    const std::vector<std::string> hs = common::SplitLines(reports::CardHsLines(reportweek::GapDeadHeatRace(0)));
    ASSERT_EQ(hs.size(), 16u);
    EXPECT_EQ(hs[6], "\"HS\",\"7\",\"\",\" 7\",\"16\",\"\",\"  \",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\" 16\"");
}

/// A race of `pairs` pair and `trios` trio tickets: pair place k is horses k and k + 1 (mod 18),
/// trio place k horses k, k + 1, k + 2, so each place's text is known.
RaceState TicketRace(std::string_view torokuTosu, int pairs, int trios, std::int16_t mode) {
    RaceState race = reportweek::Race("2025110105030207", mode, torokuTosu, "10");
    auto horse = [](int h) { return (h - 1) % 18 + 1; };
    std::vector<std::string> p, t;
    for (int k = 1; k <= pairs; ++k) p.push_back(common::TwoDigits(horse(k)) + common::TwoDigits(horse(k + 1)));
    for (int k = 1; k <= trios; ++k)
        t.push_back(common::TwoDigits(horse(k)) + common::TwoDigits(horse(k + 1)) + common::TwoDigits(horse(k + 2)));
    reportweek::SetTickets(race, p, p, t, t);
    return race;
}

std::string Two(int h) { return common::RightAlignedTwo((h - 1) % 18 + 1); }

TEST(ShutsubahyoTickets, KAndSFieldsFollowTheRegisteredCountAndTheListsLength) {
    struct Case {
        const char* toroku;
        int pairs, trios;        // places of the lists
        int pairShown, trioShown;  // places written, the rest placeholders
    };
    for (const Case c : {Case{"04", 18, 21, 6, 4}, Case{"00", 18, 21, 6, 4}, Case{"05", 18, 21, 6, 7},
                         Case{"06", 18, 21, 12, 14}, Case{"16", 18, 21, 18, 21}, Case{"  ", 18, 21, 18, 21},
                         Case{"5 ", 18, 21, 18, 21}, Case{"16", 3, 1, 3, 1}, Case{"16", 10, 9, 10, 9}}) {
        std::string expectK, expectS;
        for (int line = 1; line <= 3; ++line) {
            expectK += "\"K" + std::to_string(line) + "\",\"1\"";
            for (int k = 6 * line - 5; k <= 6 * line; ++k)
                expectK += ",\"" + (k <= c.pairShown ? Two(k) + "-" + Two(k + 1) : std::string("  -  ")) + "\"";
            expectK += "\r\n";
            expectS += "\"S" + std::to_string(line) + "\",\"1\"";
            for (int k = 7 * line - 6; k <= 7 * line; ++k)
                expectS += ",\"" + (k <= c.trioShown ? Two(k) + "-" + Two(k + 1) + "-" + Two(k + 2) : std::string("  -  -  ")) +
                           "\"";
            expectS += "\r\n";
        }
        for (std::int16_t mode : {0, 1}) {
            const RaceState race = TicketRace(c.toroku, c.pairs, c.trios, mode);
            reports::LineNotes notes;
            EXPECT_EQ(reports::KLines(race, notes), expectK) << "'" << c.toroku << "' " << c.pairs;
            EXPECT_EQ(reports::SLines(race, notes), expectS) << "'" << c.toroku << "' " << c.trios;
            EXPECT_TRUE(notes.empty());
        }
    }
}

TEST(ShutsubahyoTickets, SLinesTakeTheValueOrderBeforeTheResultsAndTheNumberOrderAfter) {
    for (std::int16_t mode : {0, 1}) {
        RaceState race = reportweek::Race("2025110105030207", mode, "04", "10");
        reportweek::SetTickets(race, {"1203"}, {"0312"}, {"031205"}, {"030512"});
        reports::LineNotes notes;
        EXPECT_EQ(reports::KLines(race, notes).substr(0, 20), "\"K1\",\"1\",\"12- 3\",\"  ");
        EXPECT_EQ(reports::SLines(race, notes).substr(0, 19), mode ? "\"S1\",\"1\",\" 3- 5-12\"" : "\"S1\",\"1\",\" 3-12- 5\"");
    }
}

TEST(ShutsubahyoRunners, SpeedIsTheIntegerPartOfValueTimes16666InFourCharacters) {
    struct Case {
        float value;
        const char* text;
    };
    for (const Case c : {Case{60.5f, "1008"}, Case{58.0f, " 966"}, Case{5.0f, " 83"}, Case{0.0f, " 0"},
                         Case{600.0f, "9999"}, Case{601.0f, "0016"}})
        EXPECT_EQ(reports::CardSpeedText(c.value), c.text) << c.value;
}

/// Prefix "CM","1"," and the line's end around a composed text given in UTF-8.
std::string CmLine(std::string_view utf8) { return "\"CM\",\"1\",\"" + Cp(utf8) + "\"\r\n"; }

/// A trio list of `places` places; place `at` is A B C = 12 5 7, the others trios of 1 to 4
/// (never 12, 5, 7 in any order).
RaceState TrioRace(int places, std::vector<std::pair<int, std::string>> keys) {
    RaceState race = reportweek::Race("2025110105030207", 1, "16", "10");
    std::vector<std::string> t(static_cast<std::size_t>(places), "010203");
    for (auto& [at, key] : keys) t[static_cast<std::size_t>(at - 1)] = key;
    reportweek::SetTickets(race, {}, {}, t, t);
    race.RunnerCount = 12;
    return race;
}

TEST(SantanTekichuCM, OrderTextsByTierAndOrder) {
    struct Case {
        int place;
        int order;
        const char* result;  // 3連単 Kumi: the order of 12 05 07
        const char* line;
    };
    const Case cases[] = {
        {3, 1, "120507", "本線3第1順的中12- 5- 7 45670円"},
        {3, 2, "120705", "本線3第2順的中12- 7- 5 45670円"},
        {3, 3, "051207", "本線3第3順的中 5-12- 7 45670円"},
        {3, 4, "050712", "本線3第4順的中 5- 7-12 45670円"},
        {3, 5, "071205", "本線3第5順的中 7-12- 5 45670円"},
        {3, 6, "070512", "本線3第6順的中 7- 5-12 45670円"},
        {9, 1, "120507", "準本線2第1順的中 12- 5- 7 45670円"},
        {9, 2, "120705", "準本線2第2順的中12- 7- 5 45670円"},
        {9, 3, "051207", "準本線2第3順 的中 5-12- 7 45670円"},
        {14, 6, "070512", "準本線7第6順 的中 7- 5-12 45670円"},
        {15, 1, "120507", "伏兵1第1順的中 12- 5- 7 45670円"},
        {16, 4, "050712", "伏兵2第4順 的中 5- 7-12 45670円"},
        {21, 5, "071205", "伏兵7第5順 的中 7-12- 5 45670円"},
    };
    for (const Case& c : cases) {
        const RaceState race = TrioRace(30, {{c.place, "120507"}});
        const records::StoredHR hr = PayoutBuilder(race.RaceId).Sanrentan({{c.result, "000045670", "0001"}}).Record();
        reports::LineNotes notes;
        EXPECT_EQ(reports::WriteSantanTekichuCM(race, hr, notes), CmLine(c.line)) << c.place << " " << c.order;
    }
}

TEST(SantanTekichuCM, EntriesInUseDeadHeatsAndResultsBeyondTheTiers) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, std::string>> keys;
        std::vector<Entry> entries;
        std::string lines;  // UTF-8 composed texts, one CM line each
    };
    const std::vector<Case> cases = {
        {"entry 1 zeros", {{3, "120507"}}, {{"000000", "000000000", "0000"}, {"120507", "000045670", "0001"}}, ""},
        {"entry 1 blank", {{3, "120507"}}, {}, ""},
        {"found only at place 30", {{30, "120507"}}, {{"120507", "000045670", "0001"}}, ""},
        {"dead heat, places 20 and 2 in entry order",
         {{2, "120507"}, {20, "080910"}},
         {{"091008", "000001000", "0002"}, {"120507", "000045670", "0001"}},
         "本線2第1順的中12- 5- 7 45670円\n伏兵6第4順 的中 9-10- 8 1000円\n"},
        {"entry 3 zeros ends the entries",
         {{2, "120507"}, {4, "080910"}},
         {{"120507", "000045670", "0001"}, {"120705", "000045000", "0001"}, {"000000", "000000000", "0000"},
          {"080910", "000000500", "0003"}},
         "本線2第1順的中12- 5- 7 45670円\n本線2第2順的中12- 7- 5 45000円\n"},
        {"a horse above the runner count", {{3, "120507"}}, {{"130507", "000123450", "0099"}}, "13- 5- 7 123450円\n"},
    };
    for (const Case& c : cases) {
        const RaceState race = TrioRace(30, c.keys);
        const records::StoredHR hr = PayoutBuilder(race.RaceId).Sanrentan(c.entries).Record();
        std::string expected;
        for (std::size_t at = 0, end; (end = c.lines.find('\n', at)) != std::string::npos; at = end + 1)
            expected += CmLine(c.lines.substr(at, end - at));
        reports::LineNotes notes;
        EXPECT_EQ(reports::WriteSantanTekichuCM(race, hr, notes), expected) << c.what;
    }
}

/// "AT" line from UTF-8 fields.
std::string AtLine(std::string_view number, std::string_view code, std::string_view text, std::string_view kumi,
                   std::string_view pay) {
    return "\"AT\",\"" + std::string(number) + "\",\"" + std::string(code) + "\",\"" + Cp(text) + "\",\"" +
           std::string(kumi) + "\",\"" + std::string(pay) + "\"\r\n";
}

TEST(ShutsubahyoHits, DeadHeatsFourthWideAndMatchesBeyondTheTiers) {
    // 25 pairs; the number-ordered list and the value-ordered list hold the same pairs.
    RaceState race = reportweek::Race("2025110105030207", 1, "16", "10");
    std::vector<std::string> list(25, "1718"), str(25, "1718");
    list[7] = "1203", str[7] = "0312";    // place 8: 馬単 0312 is its reverse
    list[1] = "0104", str[1] = "0104";    // place 2
    list[2] = "0506", str[2] = "0506";    // place 3
    list[3] = "0708", str[3] = "0708";    // place 4
    list[4] = "0910", str[4] = "0910";    // place 5
    list[24] = "1516", str[24] = "1516";  // place 25, beyond the tiers
    reportweek::SetTickets(race, list, str, {}, {});
    const records::StoredHR hr =
        PayoutBuilder(race.RaceId)
            .Umaren({{"1516", "000009990", "050"}})
            .Wide({{"0104", "000000200", "001"},
                   {"0506", "000000300", "002"},
                   {"0708", "000000400", "003"},
                   {"0910", "000000500", "004"}})
            .Umatan({{"0312", "000001200", "010"}, {"0104", "000001300", "011"}})
            .Record();
    reports::LineNotes notes;
    EXPECT_EQ(reports::CardHitLines(race, hr, notes),
              AtLine("2", "2", "本線2 的中", " 1- 4", "200") + AtLine("3", "3", "本線3 的中", " 5- 6", "300") +
                  AtLine("4", "4", "本線4 的中", " 7- 8", "400") +
                  // hit 5, the fourth ワイド, has no line; 馬単 with a hyphen.
                  AtLine("6", "5", "本線正順的中", " 1- 4", "1300") + AtLine("7", "5", "準本逆順的中", " 3-12", "1200"));
    EXPECT_TRUE(notes.empty());
}

}  // namespace
