#include "reports/lup_race.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/encoding.h"
#include "common/paths.h"
#include "report_fixtures.h"
#include "reports/lup_lines.h"
#include "reports/report_lines.h"
#include "reports/tekichu.h"
#include "support/report_week.h"
#include "support/temp_folder.h"

namespace {

using workbench::RaceState;
using workbench::Tier;

using reportfixtures::Cp;
using reportfixtures::FourRunnerDay;
using reportfixtures::Golden;

struct BatchRun : reportfixtures::WriterRun<reports::LupRaceWriter> {
    BatchRun() : WriterRun("WriteLupRace") {}
};

class LupRaceFiles : public ::testing::Test {
protected:
    testsupport::TempAppFolder dir;
    void SetUp() override { std::filesystem::create_directories(dir / "TEKICHU"); }
};

TEST_F(LupRaceFiles, ResultModeDayFilesMatchTheHandWrittenFilesAndASecondRunRewritesThem) {
    for (int run = 0; run < 2; ++run) {
        BatchRun r;
        for (const RaceState& race : FourRunnerDay(1)) r.Write(race);
        EXPECT_EQ(dir.Read("TEKICHU/20251101050302lupRCM.txt"), Golden("lupRCM.txt")) << "run " << run;
        EXPECT_EQ(dir.Read("TEKICHU/20251101050302tekichu.txt"), Golden("tekichu.txt")) << "run " << run;
        EXPECT_FALSE(std::filesystem::exists(dir / "TEKICHU/20251101050302lup.txt"));
        EXPECT_EQ(r.log.StepsPassedOver(), 0);
        // Every hit of the race lies in 本線: 馬連 800, three ワイド 1400, 馬単 reverse 1500,
        // 3連複 2000, 3連単 9000.
        const workbench::KaitekiTally& t = r.tallies.Kaiteki;
        EXPECT_EQ(t.Umaren.HitsH, 1);
        EXPECT_EQ(t.Umaren.HitsAll, 1);
        EXPECT_EQ(t.Umaren.PayH, 800);
        EXPECT_EQ(t.Wide.HitsH, 3);
        EXPECT_EQ(t.Wide.PayH, 1400);
        EXPECT_EQ(t.UmatanOmote.HitsAll, 0);
        EXPECT_EQ(t.UmatanUra.HitsH, 1);
        EXPECT_EQ(t.UmatanUra.PayH, 1500);
        EXPECT_EQ(t.Sanrenpuku.PayH, 2000);
        EXPECT_EQ(t.Sanrentan.HitsH, 1);
        EXPECT_EQ(t.Sanrentan.PayH, 9000);
        EXPECT_EQ(t.Sanrentan.HitsJ + t.Sanrentan.HitsF + t.Sanrentan.PayJ + t.Sanrentan.PayF, 0);
    }
}

TEST_F(LupRaceFiles, PredictionModeWritesTheReportOnlyWithItsOwnColumns) {
    BatchRun r;
    for (const RaceState& race : FourRunnerDay(0)) r.Write(race);
    EXPECT_EQ(dir.Read("TEKICHU/20251101050302lup.txt"), Golden("lup.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "TEKICHU/20251101050302tekichu.txt"));
    EXPECT_EQ(r.tallies.Kaiteki.Umaren.HitsAll, 0);
}

TEST_F(LupRaceFiles, ADayMetAgainAfterAnotherDayKeepsItsEarlierRaces) {
    BatchRun r;
    const std::vector<RaceState> day = FourRunnerDay(0);
    RaceState other = reportweek::Race("2025110206030101", 0, "  ", "10");
    r.Write(day[0]);
    r.Write(other);
    r.Write(day[1]);
    EXPECT_EQ(dir.Read("TEKICHU/20251101050302lup.txt"), Golden("lup.txt"));
    // A course the code table lacks: the PL line's course is nothing between two commas.
    const std::vector<std::string> lines = common::SplitLines(dir.Read("TEKICHU/20251102060301lup.txt"));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "\"PL\",\"1\",\"3\",,\"1\",\"11\"");
}

/// The fixture week (day A, day B, day A): day A keeps both its races although day B came in
/// between; day B has a hit whose popularity is blank.
class FixtureWeek : public LupRaceFiles {
protected:
    std::vector<RaceState> Week(std::int16_t mode) { return reportfixtures::FixtureWeek(mode); }
};

TEST_F(FixtureWeek, BothModesWriteEachDayWholeAndASecondRunRewritesThem) {
    for (const std::int16_t mode : {std::int16_t{0}, std::int16_t{1}}) {
        for (int run = 0; run < 2; ++run) {
            BatchRun r;
            for (const RaceState& race : Week(mode)) r.Write(race);
            const std::string at = "mode " + std::to_string(mode) + " run " + std::to_string(run);
            if (mode == 1) {
                EXPECT_EQ(dir.Read("TEKICHU/20251101050302lupRCM.txt"), Golden("lupRCM.txt")) << at;
                EXPECT_EQ(dir.Read("TEKICHU/20251101050302tekichu.txt"), Golden("tekichu.txt")) << at;
                EXPECT_EQ(dir.Read("TEKICHU/20251102060301lupRCM.txt"), Golden("lupRCM_dayB.txt")) << at;
                EXPECT_EQ(dir.Read("TEKICHU/20251102060301tekichu.txt"), Golden("tekichu_dayB.txt")) << at;
                // The hit with a blank popularity is left out and logged with its race.
                EXPECT_EQ(r.log.StepsPassedOver(), 1) << at;
                // Day B adds its one ワイド hit to the tally that day A's race filled; the 馬連
                // hit that was left out adds nothing.
                EXPECT_EQ(r.tallies.Kaiteki.Wide.HitsAll, 4) << at;
                EXPECT_EQ(r.tallies.Kaiteki.Wide.PayH, 1600) << at;
                EXPECT_EQ(r.tallies.Kaiteki.Umaren.HitsAll, 1) << at;
            } else {
                EXPECT_EQ(dir.Read("TEKICHU/20251101050302lup.txt"), Golden("lup.txt")) << at;
                EXPECT_EQ(dir.Read("TEKICHU/20251102060301lup.txt"), Golden("lup_dayB.txt")) << at;
                EXPECT_EQ(r.log.StepsPassedOver(), 0) << at;
            }
        }
    }
    const std::string errorLog = dir.Read("ERRORLOG.txt");
    EXPECT_NE(errorLog.find("202511020601"), std::string::npos) << errorLog;
    EXPECT_NE(errorLog.find("AT"), std::string::npos) << errorLog;
}

/// The lines of a composed block.
std::vector<std::string> Lines(const std::string& block) { return common::SplitLines(block); }

TEST(LupRaceBlock, AGapInTheRunnerFileAndADeadHeatForFirst) {
    RaceState race = reportweek::GapDeadHeatRace(1);
    race.CurHr = reportweek::GapDeadHeatPayout().Record();
    workbench::KaitekiTally tally;
    reports::LineNotes notes;
    const reports::LupRaceBlock block =
        reports::ComposeLupRace(race, reportweek::Codes(), false, false, tally, notes);
    EXPECT_TRUE(notes.empty());
    const std::vector<std::string> lines = Lines(block.Lup);

    // Sixteen runner lines, ranks 1 to 16; horse 7 (no runner record) last with empty texts and
    // its age as two blanks.
    std::vector<std::string> hs;
    for (const std::string& line : lines)
        if (line.rfind("\"HS\"", 0) == 0) hs.push_back(line);
    ASSERT_EQ(hs.size(), 16u);
    EXPECT_EQ(hs[5].substr(0, 22), "\"HS\",\"6\",\"6\",\" 6\",\" 6\"");
    EXPECT_EQ(hs[6].substr(0, 22), "\"HS\",\"7\",\"8\",\" 8\",\" 7\"");
    EXPECT_EQ(hs[15], "\"HS\",\"16\",\"\",\" 7\",\"16\",\"\",\"\",\"\",\"  \",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"");

    auto from = [&](std::string_view tag) {
        std::string out;
        for (const std::string& line : lines)
            if (line.rfind("\"" + std::string(tag), 0) == 0) out += line + "\r\n";
        return out;
    };
    EXPECT_EQ(from("Q"), "\"Q1\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\"\r\n\"Q2\",\" 6\",\" 8\",\" 9\",\"10\",\"11\"\r\n"
                         "\"Q3\",\"12\",\"13\",\"14\",\"15\",\"16\"\r\n\"Q4\",\" 7\"\r\n");
    EXPECT_EQ(from("ATQ"), "\"ATQ1\",\"01\",\"01\",\"03\",\"**\",\"**\"\r\n"
                           "\"ATQ2\",\"**\",\"**\",\"**\",\"**\",\"**\"\r\n"
                           "\"ATQ3\",\"**\",\"**\",\"**\",\"**\",\"**\"\r\n\"ATQ4\",\"**\"\r\n");
    // Both 馬単 orders and both 3連単 entries are hits of their own, numbered in pass order.
    EXPECT_EQ(from("AT\""), Cp("\"AT\",\"1\",\"1\",\"本線1点目 的中\",\" 1- 2\",\"300\"\r\n"
                               "\"AT\",\"2\",\"5\",\"本線1正順 的中\",\" 1→ 2\",\"400\"\r\n"
                               "\"AT\",\"3\",\"5\",\"本線1逆順 的中\",\" 2→ 1\",\"450\"\r\n"
                               "\"AT\",\"4\",\"6\",\"本線1点目 的中\",\" 1- 2- 3\",\"500\"\r\n"
                               "\"AT\",\"5\",\"7\",\"本線1第1順 的中\",\" 1→ 2→ 3\",\"600\"\r\n"
                               "\"AT\",\"6\",\"7\",\"本線1第3順的中 \",\" 2→ 1→ 3\",\"700\"\r\n"));
    EXPECT_EQ(from("KK\",\"1"), "\"KK\",\"1\",\" 1\",\"200\",\" 2\",\"250\"\r\n");
    EXPECT_EQ(from("KS"), Cp("\"KS\",\"1\",\" 1→ 2\",\"400\",\" 2→ 1\",\"450\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
                             "\"KS\",\"2\",\" 1- 2- 3\",\"500\",\"\",\"\",\"\",\"\"\r\n"
                             "\"KS\",\"3\",\" 1→ 2→ 3\",\"600\",\" 2→ 1→ 3\",\"700\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"));
    // The day table keeps the hit found last: the reverse 馬単 order and the second 3連単 entry.
    EXPECT_EQ(block.Tekichu, Cp("\"07R 的中\",\"本線1点目\",\"本線1点目裏\",\"本線1点目\",\"本線1第3順目\","
                                "\"          \",\"          \",\"          \"\r\n"
                                "\"    当目\",\" 1- 2\",\" 2→ 1\",\" 1- 2- 3\",\" 2→ 1→ 3\",\"\",\"\",\"\"\r\n"
                                "\"    配当\",\"300\",\"450\",\"500\",\"700\",\"\",\"\",\"\"\r\n"
                                "\"    予人\",\"1 1\",\"2 2\",\"1 1\",\"3 2\",\"\",\"\",\"\"\r\n"));
    EXPECT_EQ(tally.UmatanOmote.HitsH, 1);
    EXPECT_EQ(tally.UmatanOmote.PayH, 400);
    EXPECT_EQ(tally.UmatanUra.HitsH, 1);
    EXPECT_EQ(tally.UmatanUra.PayH, 450);
    EXPECT_EQ(tally.Sanrentan.HitsH, 2);
    EXPECT_EQ(tally.Sanrentan.HitsAll, 2);
    EXPECT_EQ(tally.Sanrentan.PayH, 1300);
}

TEST(TicketTiers, PlacesFallInTheirTiers) {
    struct Case {
        int place;
        bool trio;
        char letter;
        int inTier;
    };
    for (const Case c : {Case{1, false, 'H', 1}, Case{6, false, 'H', 6}, Case{7, false, 'J', 1}, Case{13, false, 'F', 1},
                         Case{18, false, 'F', 6}, Case{7, true, 'H', 7}, Case{8, true, 'J', 1}, Case{21, true, 'F', 7}}) {
        const auto tier = c.trio ? reports::TrioTier(c.place) : reports::PairTier(c.place);
        ASSERT_TRUE(tier) << c.place;
        EXPECT_EQ(tier->Letter, c.letter) << c.place;
        EXPECT_EQ(tier->Place, c.inTier) << c.place;
    }
    EXPECT_FALSE(reports::PairTier(19));
    EXPECT_FALSE(reports::TrioTier(22));
    EXPECT_FALSE(reports::PairTier(0));
    EXPECT_EQ(reports::ShortTierWord(Tier::Junhonsen), Cp("準本"));
    EXPECT_EQ(reports::TierWord(Tier::Junhonsen), Cp("準本線"));
    EXPECT_TRUE(reports::IsFlatTrack("49"));
    EXPECT_FALSE(reports::IsFlatTrack("50"));
    EXPECT_FALSE(reports::IsFlatTrack("  "));
    EXPECT_EQ(reports::CodeIntegerText("10"), "10");
    EXPECT_EQ(reports::CodeIntegerText("08"), "8");
}

// The tag leads as a quoted text; no field leaves the tag alone, a first field of no value leaves
// the comma after it.
TEST(ReportLines, TheTagThenTheFieldsWithCrLf) {
    using common::Field;
    EXPECT_EQ(reports::ReportLine("AT", {}), "\"AT\"\r\n");
    EXPECT_EQ(reports::ReportLine("AT", {Field{common::NoValue{}}}), "\"AT\",\r\n");
    EXPECT_EQ(reports::ReportLine("HS", {Field{std::string("1")}, Field{common::Single{57.1f}}, Field{7},
                                         Field{common::NoValue{}}, Field{std::string("a text longer than sixteen")}}),
              "\"HS\",\"1\",57.1,7,,\"a text longer than sixteen\"\r\n");
}

TEST(TicketLines, CountsFollowTheRegisteredRunnersAsText) {
    struct Case {
        const char* toroku;
        int pairs, trios;
    };
    for (const Case c : {Case{"04", 6, 4}, Case{"05", 6, 7}, Case{"06", 12, 14}, Case{"07", 18, 21}, Case{"18", 18, 21},
                         Case{"  ", 18, 21}, Case{"00", 6, 4}}) {
        EXPECT_EQ(reports::PairLineCount(c.toroku), c.pairs) << c.toroku;
        EXPECT_EQ(reports::TrioLineCount(c.toroku), c.trios) << c.toroku;
    }
}

/// Tags and field counts of the order lines of a race.
std::vector<std::pair<std::string, int>> OrderLayout(const std::string& lines) {
    std::vector<std::pair<std::string, int>> out;
    for (const std::string& line : common::SplitLines(lines)) {
        const auto commas = std::count(line.begin(), line.end(), ',');
        out.emplace_back(line.substr(1, line.find('"', 1) - 1), static_cast<int>(commas));
    }
    return out;
}

TEST(OrderLines, LayoutFollowsTheCountCutAtTheRunners) {
    using Layout = std::vector<std::pair<std::string, int>>;
    struct Case {
        const char* toroku;
        int runners;
        Layout layout;
    };
    const Case cases[] = {
        {"09", 9, {{"Q1", 5}, {"Q2", 4}, {"ATQ1", 5}, {"ATQ2", 4}}},
        {" 9", 9, {{"Q1", 5}, {"Q2", 4}, {"ATQ1", 5}, {"ATQ2", 4}}},
        {"9 ", 9, {{"Q1", 5}, {"Q2", 4}, {"ATQ1", 5}, {"ATQ2", 4}}},
        {"18", 18, {{"Q1", 5}, {"Q2", 5}, {"Q3", 5}, {"Q4", 3}, {"ATQ1", 5}, {"ATQ2", 5}, {"ATQ3", 5}, {"ATQ4", 3}}},
        {"05", 5, {{"Q1", 5}, {"ATQ1", 5}}},
        {"03", 3, {{"Q1", 3}, {"ATQ1", 3}}},       // a layout of four over three runners
        {"16", 6, {{"Q1", 5}, {"Q2", 1}, {"ATQ1", 5}, {"ATQ2", 1}}},  // the runner file ends at 6
        {"  ", 4, {}},
        {"19", 18, {}},
    };
    for (const Case& c : cases) {
        RaceState race = reportweek::Race("2025110105030205", 1, c.toroku, "10");
        std::vector<int> order;
        std::vector<std::string> blanks(static_cast<std::size_t>(c.runners) + 1, "**");
        for (int h = c.runners; h >= 1; --h) order.push_back(h);
        reportweek::SetRunners(race, order, blanks, blanks);
        EXPECT_EQ(OrderLayout(reports::WriteYosoJunQ(race)), c.layout) << "'" << c.toroku << "'";
    }
    // Horse numbers right-aligned; positions as stored.
    RaceState race = reportweek::Race("2025110105030205", 1, "10", "10");
    reportweek::SetRunners(race, {10, 9, 1, 2, 3, 4, 5, 6, 7, 8}, std::vector<std::string>(11, " 0"),
                           {"", "03", "**", "**", "**", "**", "**", "**", "**", "02", "01"});
    EXPECT_EQ(reports::WriteYosoJunQ(race),
              "\"Q1\",\"10\",\" 9\",\" 1\",\" 2\",\" 3\"\r\n\"Q2\",\" 4\",\" 5\",\" 6\",\" 7\",\" 8\"\r\n"
              "\"ATQ1\",\"01\",\"02\",\"03\",\"**\",\"**\"\r\n\"ATQ2\",\"**\",\"**\",\"**\",\"**\",\"**\"\r\n");
}

/// A race of 9 runners ranked 1 to 9 (values 256 down to 1): pair and trio places run in rank
/// order, so the pair (a, b) with a < b stands at a known place.
RaceState NineRunners() {
    RaceState race = reportweek::Race("2025110105030209", 1, "09", "10");
    std::vector<std::string> blank(10, " 0");
    reportweek::SetRunners(race, {1, 2, 3, 4, 5, 6, 7, 8, 9}, blank, blank);
    std::vector<std::string> pairs, trios;
    for (int a = 1; a <= 9; ++a)
        for (int b = a + 1; b <= 9; ++b) pairs.push_back(common::TwoDigits(a) + common::TwoDigits(b));
    for (int a = 1; a <= 9; ++a)
        for (int b = a + 1; b <= 9; ++b)
            for (int c = b + 1; c <= 9; ++c) trios.push_back(common::TwoDigits(a) + common::TwoDigits(b) + common::TwoDigits(c));
    reportweek::SetTickets(race, pairs, pairs, trios, trios);
    return race;
}

struct Evaluated {
    std::string lines;
    reports::TekichuSummary summary;
    workbench::KaitekiTally tally;
    reports::LineNotes notes;
};

Evaluated Evaluate(const RaceState& race, const reportweek::PayoutBuilder& hr) {
    Evaluated e;
    reports::HanteiTekichuAT(race, hr.Record(), e.lines, e.summary, e.tally, e.notes);
    return e;
}

// IsSantanKey agrees with the key SantanKey makes: each order against each order's key and near
// misses, a trio key of another length (whose key is empty) and orders outside 1 to 6.
TEST(HitEvaluation, TrifectaKeyCheckAgreesWithTheMadeKey) {
    const std::vector<std::string> trios = {"010203", "180917", "050505", "0102", "", "0102030"};
    const std::vector<std::string> kumis = {"010203", "010302", "020103", "020301", "030102", "030201", "010204",
                                            "050505", "", "0102", "01020304", "020103 "};
    for (const std::string& abc : trios)
        for (int order = 0; order <= 7; ++order) {
            std::vector<std::string> candidates = kumis;
            for (int o = 1; o <= 6; ++o) candidates.push_back(reports::SantanKey(abc, o));
            for (const std::string& kumi : candidates)
                EXPECT_EQ(reports::IsSantanKey(abc, order, kumi), reports::SantanKey(abc, order) == kumi)
                    << abc << " " << order << " " << kumi;
        }
    // The quick refusal never refuses a payout key (six characters) that some order makes.
    for (const std::string& abc : trios)
        for (const std::string_view kumi : {"010203", "030201", "020301", "180917", "091718", "050505", "040102", "170918"}) {
            bool made = false;
            for (int o = 1; o <= 6; ++o) made = made || reports::IsSantanKey(abc, o, kumi);
            EXPECT_TRUE(!made || reports::MayBeSantanKey(abc, kumi)) << abc << " " << kumi;
        }
    EXPECT_FALSE(reports::MayBeSantanKey("010203", "040102"));
    EXPECT_FALSE(reports::MayBeSantanKey("0102", "010203"));
    EXPECT_TRUE(reports::MayBeSantanKey("180917", "170918"));
}

// A 3連単 entry hits the best trio in whichever of the six orders it stands, and misses it when it
// starts with the trio's horses but holds another.
TEST(HitEvaluation, EveryOrderOfATrioAndNearMisses) {
    const RaceState race = NineRunners();
    const std::string abc = race.SanrenKumiList(1);
    ASSERT_EQ(abc.size(), 6u);
    for (int o = 1; o <= 6; ++o) {
        SCOPED_TRACE(o);
        const std::string hit = reports::SantanKey(abc, o);
        const std::string miss = hit.substr(0, 4) + "18";  // nine runners: no ticket holds horse 18
        reportweek::PayoutBuilder hr("2025110105030209");
        hr.Sanrentan({{miss, "000000700", "0003"}, {hit, "000000100", "0001"}});
        std::vector<reports::TicketHit> trifectas;
        for (const reports::TicketHit& h : reports::FindTicketHits(race, hr.Record()))
            if (h.Bet == reports::HitBet::Sanrentan) trifectas.push_back(h);
        ASSERT_EQ(trifectas.size(), 1u);
        EXPECT_EQ(trifectas[0].Place, 1);
        EXPECT_EQ(trifectas[0].Order, o);
        EXPECT_EQ(trifectas[0].Kumi, hit);
    }
}

TEST(HitEvaluation, HitsBeyondTheTiersAndDeadHeats) {
    const RaceState race = NineRunners();
    // Pairs in rank order: (1,2) place 1 ... (1,9) place 8 (準本線 2), (2,3) place 9, (3,4) place 22,
    // (8,9) place 36. Trios: (1,2,3) place 1, (1,2,9) place 7, (1,3,4) place 8.
    reportweek::PayoutBuilder hr("2025110105030209");
    hr.Umaren({{"0203", "000001230", "005"}, {"0809", "000050000", "036"}})  // dead heat for second
        .Wide({{"0102", "000000100", "001"}, {"0203", "000000200", "002"}, {"0304", "000000300", "003"},
               {"0809", "000000400", "004"}, {"0109", "000000500", "005"}})  // dead heat for third
        .Umatan({{"0201", "000000900", "002"}, {"0809", "000009000", "040"}})
        .Sanrenpuku({{"010304", "000001500", "007"}})
        .Sanrentan({{"020103", "000004000", "0012"}, {"000000", "000000000", "0000"}, {"010203", "000000100", "0001"}});
    const Evaluated e = Evaluate(race, hr);
    EXPECT_EQ(e.lines,
              Cp("\"AT\",\"1\",\"1\",\"準本線3点目 的中\",\" 2- 3\",\"1230\"\r\n"
                 "\"AT\",\"3\",\"2\",\"本線1点目 的中\",\" 1- 2\",\"100\"\r\n"
                 "\"AT\",\"4\",\"3\",\"準本線2点目 的中\",\" 1- 9\",\"500\"\r\n"
                 "\"AT\",\"5\",\"4\",\"準本線3点目 的中\",\" 2- 3\",\"200\"\r\n"
                 "\"AT\",\"8\",\"5\",\"本線1逆順 的中\",\" 2→ 1\",\"900\"\r\n"
                 "\"AT\",\"10\",\"6\",\"準本線1点目 的中\",\" 1- 3- 4\",\"1500\"\r\n"
                 "\"AT\",\"11\",\"7\",\"本線1第3順的中 \",\" 2→ 1→ 3\",\"4000\"\r\n")
)
        << common::FromCp932(e.lines);
    EXPECT_TRUE(e.notes.empty());
    // 馬連: the place-36 hit is found last, beyond the tiers.
    EXPECT_EQ(e.summary.Umaren.HitText, std::string(10, ' '));
    EXPECT_EQ(e.summary.Umaren.YosoNinki, "36 36");
    EXPECT_EQ(e.tally.Umaren.HitsJ, 1);
    EXPECT_EQ(e.tally.Umaren.HitsAll, 2);
    EXPECT_EQ(e.tally.Umaren.PayJ, 1230);
    // ワイド: three hits numbered in pass order; the fourth and fifth (places 22 and 36) have no
    // line, no column, but are tallied.
    EXPECT_EQ(e.summary.Wide1.HitText, Cp("本線1点目"));
    EXPECT_EQ(e.summary.Wide2.HitText, Cp("準本2点目"));
    EXPECT_EQ(e.summary.Wide3.HitText, Cp("準本3点目"));
    EXPECT_EQ(e.summary.Wide3.YosoNinki, "9 2");
    EXPECT_EQ(e.tally.Wide.HitsAll, 5);
    EXPECT_EQ(e.tally.Wide.HitsH, 1);
    EXPECT_EQ(e.tally.Wide.PayH, 100);
    EXPECT_EQ(e.tally.Wide.HitsJ, 2);
    EXPECT_EQ(e.tally.Wide.PayJ, 700);
    // 馬単: forward hit at place 36, ticket 71, eleven blanks.
    EXPECT_EQ(e.summary.Umatan.HitText, std::string(11, ' '));
    EXPECT_EQ(e.summary.Umatan.YosoNinki, "71 40");
    EXPECT_EQ(e.tally.UmatanUra.HitsH, 1);
    EXPECT_EQ(e.tally.UmatanOmote.HitsAll, 1);
    EXPECT_EQ(e.tally.UmatanOmote.HitsH, 0);
    EXPECT_EQ(e.summary.Sanrenpuku.HitText, Cp("準本1点目"));
    // 3連単: the "000000" entry stops the place; the entry after it is never tested.
    EXPECT_EQ(e.summary.Sanrentan.HitText, Cp("本線1第3順目"));
    EXPECT_EQ(e.summary.Sanrentan.YosoNinki, "3 12");
    EXPECT_EQ(e.tally.Sanrentan.HitsAll, 1);
}

TEST(HitEvaluation, AHitWithoutPopularityIsLeftOutWholeAndItsNumberStaysUsed) {
    const RaceState race = NineRunners();
    reportweek::PayoutBuilder hr("2025110105030209");
    hr.Umaren({{"0102", "000000500", "   "}}).Wide({{"0102", "000000100", "001"}});
    const Evaluated e = Evaluate(race, hr);
    EXPECT_EQ(e.lines, Cp("\"AT\",\"2\",\"2\",\"本線1点目 的中\",\" 1- 2\",\"100\"\r\n"));
    EXPECT_EQ(e.summary.Umaren.HitKumi, "");
    EXPECT_EQ(e.tally.Umaren.HitsAll, 0);
    ASSERT_EQ(e.notes.size(), 1u);
    EXPECT_EQ(e.notes[0].substr(0, 3), "AT:");
}

TEST(HitEvaluation, ACancelledRaceShowsNoHitsAndNoTrifectaPayoutLine) {
    const RaceState race = NineRunners();
    reportweek::PayoutBuilder hr("2025110105030209");
    hr.Sanrentan({{"000000", "         ", "    "}});
    const Evaluated e = Evaluate(race, hr);
    EXPECT_EQ(e.lines, "");
    EXPECT_EQ(e.summary.Sanrentan.HitText, std::string(10, ' '));
    reports::LineNotes notes;
    const std::vector<std::string> payout = common::SplitLines(reports::PayoutLines(hr.Record(), notes));
    ASSERT_EQ(payout.size(), 7u);
    EXPECT_EQ(payout[6], "\"KS\",\"2\",\"\",\"\",\"\",\"\",\"\",\"\"");
    EXPECT_TRUE(notes.empty());
}

TEST(TicketLines, ARaceOfThreeRunnersEndsAtItsLastTicket) {
    RaceState race = reportweek::Race("2025110105030213", 0, "03", "10");
    std::vector<std::string> blank(4, "");
    reportweek::SetRunners(race, {2, 1, 3}, blank, blank);
    reportweek::SetTickets(race, {"0201", "0203", "0103"}, {"0102", "0203", "0103"}, {"020103"}, {"010203"});
    reports::LineNotes notes;
    // Race 13: the trio lines carry horse-number order and the PS line three fields.
    EXPECT_EQ(reports::WriteKaimeMU(race, notes) + reports::WriteKaimePU(race, notes),
              Cp("\"MUH1\",\"1\",\" 2- 1\"\r\n\"MUH2\",\"2\",\" 2- 3\"\r\n\"MUH3\",\"3\",\" 1- 3\"\r\n"
                 "\"MSH1\",\"1\",\" 1- 2- 3\"\r\n"
                 "\"PUH1\",\"1\",\" 1- 2\",\" 2→ 1\",\" 1→ 2\"\r\n\"PUH2\",\"2\",\" 2- 3\",\" 2→ 3\",\" 3→ 2\"\r\n"
                 "\"PUH3\",\"3\",\" 1- 3\",\" 1→ 3\",\" 3→ 1\"\r\n\"PSH1\",\"1\",\" 1- 2- 3\"\r\n"));
    EXPECT_TRUE(notes.empty());
}

}  // namespace
