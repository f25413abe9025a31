#include "supplementary/pc_day_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "common/day_files.h"
#include "common/encoding.h"
#include "supplementary/pc_formations.h"
#include "supplementary/pc_hit_check.h"
#include "supplementary/pc_ticket_counts.h"
#include "support/report_week.h"
#include "support/temp_folder.h"
#include "workbench/batch_log.h"

namespace {

using workbench::PcTicketKind;
using workbench::RaceState;
using K = PcTicketKind;

std::string Golden(std::string_view name) {
    std::ifstream in(std::filesystem::path(TALMOR_TEST_DATA) / "supplementary" / name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Cp(std::string_view utf8) { return common::ToCp932(utf8); }

TEST(PcKaimeWidths, RegisteredCountAndSpreadChooseTheRow) {
    struct Case {
        const char* toroku;
        const char* spread;
        int e, g, x, u;
    };
    const Case cases[] = {
        {"03", "42", 4, 4, 4, 4}, {"01", "  ", 4, 4, 4, 4}, {"05", "42", 5, 5, 5, 5}, {"06", " 5", 6, 5, 6, 5},
        {"06", "99", 6, 5, 6, 5}, {"07", "31", 6, 5, 7, 5}, {"08", "30", 7, 6, 8, 6}, {"08", "31", 6, 5, 8, 5},
        {"12", "30", 7, 6, 9, 6}, {"12", "31", 6, 5, 8, 5}, {"  ", "30", 7, 6, 9, 6}, {"  ", "31", 6, 5, 8, 5},
        {"19", "20", 7, 6, 9, 6}, {"16", "42", 6, 5, 8, 5}, {"16", " 5", 7, 6, 9, 6}, {"00", "10", 7, 6, 9, 6},
    };
    for (const Case& c : cases) {
        const supplementary::PcWidths w = supplementary::PcKaimeWidths(c.toroku, c.spread);
        EXPECT_EQ(w.E, c.e) << c.toroku << "/" << c.spread;
        EXPECT_EQ(w.G, c.g) << c.toroku << "/" << c.spread;
        EXPECT_EQ(w.X, c.x) << c.toroku << "/" << c.spread;
        EXPECT_EQ(w.U, c.u) << c.toroku << "/" << c.spread;
    }
}

TEST(PcFormationOf, TicketsAndLastRankByKind) {
    struct Case {
        const char* toroku;
        const char* spread;
        int tickets[7];  // 馬連F 馬連B 馬単F 3連複B 3連単12 3連単23 3連単13
        int e[7];
    };
    const Case cases[] = {
        {"03", "42", {6, 6, 9, 4, 12, 6, 6}, {4, 4, 4, 4, 4, 4, 4}},
        {"05", "10", {9, 10, 12, 10, 18, 12, 12}, {5, 5, 5, 5, 5, 5, 5}},
        {"06", "10", {12, 10, 12, 10, 24, 18, 18}, {6, 5, 5, 5, 6, 6, 6}},
        {"07", "42", {12, 10, 12, 10, 30, 24, 24}, {6, 5, 5, 5, 7, 7, 7}},
        {"08", "30", {15, 15, 18, 20, 36, 30, 30}, {7, 6, 7, 6, 8, 8, 8}},
        {"08", "31", {12, 10, 15, 10, 36, 30, 30}, {6, 5, 6, 5, 8, 8, 8}},
        {"12", "30", {15, 15, 18, 20, 42, 36, 36}, {7, 6, 7, 6, 9, 9, 9}},
        {"  ", "42", {12, 10, 15, 10, 36, 30, 30}, {6, 5, 6, 5, 8, 8, 8}},
        {"18", " 5", {15, 15, 18, 20, 42, 36, 36}, {7, 6, 7, 6, 9, 9, 9}},
    };
    for (const Case& c : cases)
        for (int k = 0; k < 7; ++k) {
            const auto kind = static_cast<PcTicketKind>(static_cast<int>(K::UmarenF) + k);
            const supplementary::PcFormation f = supplementary::PcFormationOf(kind, c.toroku, c.spread);
            EXPECT_EQ(f.RaceTickets, c.tickets[k]) << c.toroku << "/" << c.spread << " kind " << k;
            EXPECT_EQ(f.E, c.e[k]) << c.toroku << "/" << c.spread << " kind " << k;
        }
}

TEST(WriteLupPcKaime, LinesReachTheRanksOfTheRowAndNoFurtherThanTheRace) {
    // Twelve runners ranked by horse number except 1 and 11 swapped, spread 30: E 7, G 6, X 9, U 6.
    RaceState twelve = reportweek::Race("2025110105030209", 0, "12", "10");
    twelve.RaceInfo[10] = "30";
    reportweek::SetRunners(twelve, {11, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1, 12}, std::vector<std::string>(13),
                           std::vector<std::string>(13, "**"));
    EXPECT_EQ(supplementary::WriteLupPcKaime(twelve),
              "\"TF1\",\"11\"\r\n\"TF2\",\" 2\"\r\n\"UF1\",\"11\",\" 2\",\" 3\"\r\n"
              "\"UF2\",\"11\",\" 2\",\" 3\",\" 4\",\" 5\",\" 6\",\" 7\"\r\n"
              "\"UBX\",\"11\",\" 2\",\" 3\",\" 4\",\" 5\",\" 6\"\r\n\"S11\",\"11\"\r\n\"S12\",\" 2\"\r\n"
              "\"S1A\",\" 3\",\" 4\",\" 5\",\" 6\",\" 7\",\" 8\",\" 9\"\r\n\"S21\",\" 2\"\r\n\"S22\",\" 3\"\r\n"
              "\"S2A\",\" 4\",\" 5\",\" 6\",\" 7\",\" 8\",\" 9\"\r\n\"S31\",\"11\"\r\n\"S32\",\" 3\"\r\n"
              "\"S3A\",\" 4\",\" 5\",\" 6\",\" 7\",\" 8\",\" 9\"\r\n"
              "\"SBX\",\"11\",\" 2\",\" 3\",\" 4\",\" 5\",\" 6\"\r\n");
    twelve.ResultMode = 1;
    const std::string result = supplementary::WriteLupPcKaime(twelve);
    twelve.ResultMode = 0;
    EXPECT_EQ(result, supplementary::WriteLupPcKaime(twelve));

    // Three registered runners: the row names rank 4, which the race lacks.
    const RaceState three = reportweek::RankedRace(3, "03", "42", {});
    EXPECT_EQ(supplementary::WriteLupPcKaime(three),
              "\"TF1\",\" 1\"\r\n\"TF2\",\" 2\"\r\n\"UF1\",\" 1\",\" 2\",\" 3\"\r\n\"UF2\",\" 1\",\" 2\",\" 3\"\r\n"
              "\"UBX\",\" 1\",\" 2\",\" 3\"\r\n\"S11\",\" 1\"\r\n\"S12\",\" 2\"\r\n\"S1A\",\" 3\"\r\n"
              "\"S21\",\" 2\"\r\n\"S22\",\" 3\"\r\n\"S2A\"\r\n\"S31\",\" 1\"\r\n\"S32\",\" 3\"\r\n\"S3A\"\r\n"
              "\"SBX\",\" 1\",\" 2\",\" 3\"\r\n");
}

TEST(HanteiTekichuPc, HitsByKind) {
    using reportweek::PayoutBuilder;
    const std::string id = "2025110105030208";
    struct Case {
        const char* what;
        RaceState race;
        PayoutBuilder hr;
        PcTicketKind kind;
        std::string kumi, pay;
        std::int64_t count, total;
    };
    const auto eight = [&](std::map<int, std::string> placed) { return reportweek::RankedRace(8, "08", "20", placed); };
    const Case cases[] = {
        {"dead heat for first: 馬単F buys both orders", reportweek::GapDeadHeatRace(1),
         reportweek::GapDeadHeatPayout(), K::UmatanF, Cp(" 1→ 2"), "400", 1, 850},
        {"dead heat for first: 3連単12 buys both winners' orders", reportweek::GapDeadHeatRace(1),
         reportweek::GapDeadHeatPayout(), K::Sanrentan12, Cp(" 1→ 2→ 3"), "600", 1, 1300},
        {"win kind: the horse number with its leading zero", reportweek::GapDeadHeatRace(1),
         reportweek::GapDeadHeatPayout(), K::Tansho2, "02", "250", 1, 250},
        {"dead heat for second: 馬連B pays both pairs", eight({{1, "01"}, {2, "02"}, {3, "02"}}),
         PayoutBuilder(id).Umaren({{"0102", "000000300", "001"}, {"0103", "000000500", "002"}}), K::UmarenB,
         Cp(" 1- 2"), "300", 1, 800},
        {"dead heat for second: 馬連F pays both pairs", eight({{1, "01"}, {2, "02"}, {3, "02"}}),
         PayoutBuilder(id).Umaren({{"0102", "000000300", "001"}, {"0103", "000000500", "002"}}), K::UmarenF,
         Cp(" 1- 2"), "300", 1, 800},
        {"dead heat for third: 3連単13 with both extra horses", eight({{1, "01"}, {3, "02"}, {4, "03"}, {5, "03"}}),
         PayoutBuilder(id).Sanrentan({{"010304", "000001000", "0001"}, {"010305", "000002000", "0002"}}),
         K::Sanrentan13, Cp(" 1→ 3→ 4"), "1000", 1, 3000},
        {"dead heat for third: 3連単12 bought neither", eight({{1, "01"}, {3, "02"}, {4, "03"}, {5, "03"}}),
         PayoutBuilder(id).Sanrentan({{"010304", "000001000", "0001"}, {"010305", "000002000", "0002"}}),
         K::Sanrentan12, "", "", 0, 0},
        {"tied winner at r5: 馬単F buys the order of its r1-r3 winner only", eight({{1, "01"}, {5, "01"}}),
         PayoutBuilder(id).Umatan({{"0105", "000000900", "001"}, {"0501", "000001100", "002"}}), K::UmatanF,
         Cp(" 1→ 5"), "900", 1, 900},
        {"bet not established: blank payout", eight({{1, "01"}, {2, "02"}}),
         PayoutBuilder(id).Umaren({{"0102", "         ", "   "}}), K::UmarenB, "", "", 0, 0},
        {"3連単 entry 000000 pays nothing", eight({{1, "01"}, {2, "02"}, {3, "03"}}),
         PayoutBuilder(id).Sanrentan({{"000000", "000000000", "0000"}}), K::Sanrentan12, "", "", 0, 0},
        {"place kind paid from the matching entry", eight({{1, "01"}, {2, "02"}, {3, "03"}}),
         PayoutBuilder(id).Fukusyo({{"01", "000000110", "01"}, {"02", "000000230", "03"}, {"03", "000000310", "02"}}),
         K::Fukusho2, "02", "230", 1, 230},
        {"three runners: the trio box of e 4 holds them", reportweek::RankedRace(3, "03", "42", {{1, "01"}, {2, "02"}, {3, "03"}}),
         PayoutBuilder(id).Sanrenpuku({{"010203", "000000150", "001"}}), K::SanrenpukuB, Cp(" 1- 2- 3"), "150", 1, 150},
        {"8 runners, rank 8 won: outside 馬連B's e 6", eight({{8, "01"}, {1, "02"}}),
         PayoutBuilder(id).Umaren({{"0108", "000004000", "020"}}), K::UmarenB, "", "", 0, 0},
    };
    for (const Case& c : cases) {
        workbench::DayTallies t;
        const records::StoredHR hr = c.hr.Record();
        supplementary::HanteiTekichuPc(c.race, hr, t);
        const workbench::PcKindTally& k = t.Pc(c.kind);
        EXPECT_EQ(k.HitKumi, c.kumi) << c.what;
        EXPECT_EQ(k.HitPay, c.pay) << c.what;
        EXPECT_EQ(k.HitCount, c.count) << c.what;
        EXPECT_EQ(k.PayTotal, c.total) << c.what;
    }
}

TEST(HanteiTekichuPc, ThreeRunnersKeepTheTicketsOfTheTable) {
    workbench::DayTallies t;
    const RaceState three = reportweek::RankedRace(3, "03", "42", {});
    supplementary::HanteiTekichuPc(three, reportweek::PayoutBuilder("2025110105030208").Record(), t);
    const int tickets[] = {6, 6, 9, 4, 12, 6, 6};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(t.PcKinds[static_cast<std::size_t>(4 + k)].RaceTickets, tickets[k]);
        EXPECT_EQ(t.PcKinds[static_cast<std::size_t>(4 + k)].TicketTotal, tickets[k]);
    }
}

/// One run of the batch over races: the writer made fresh, one DayFiles, one day tally.
struct BatchRun {
    common::CodeTable codes = reportweek::Codes();
    common::DayFiles dayFiles;
    workbench::DayTallies tallies;
    workbench::WriterNotes notes;
    workbench::BatchLog log;
    supplementary::LupPcRaceWriter writer;
    void Write(const RaceState& race) {
        workbench::RaceContext context{race, tallies, notes, dayFiles, codes, log, "WriteLupPcRace"};
        writer.WriteRace(context);
    }
};

class LupPcFiles : public ::testing::Test {
protected:
    testsupport::TempAppFolder dir;
    void SetUp() override { std::filesystem::create_directories(dir / "TEKICHU"); }

    /// Races 05, 06 (no runners, another race's payouts) and 07 (a gap, a dead heat for first).
    std::vector<RaceState> Day(std::int16_t mode) { return reportweek::DayA(mode); }
};

TEST_F(LupPcFiles, ResultModeDayFilesMatchTheHandWrittenFilesAndTheDayTotalsGrowRaceByRace) {
    for (int run = 0; run < 2; ++run) {
        BatchRun r;
        const auto day = Day(1);
        r.Write(day[0]);
        // After race 05: 複勝1 120, 単勝2 350, 馬単F 1500 of 9 tickets, 3連単12 9000 of 12.
        EXPECT_EQ(r.tallies.Pc(K::Fukusho1).PayTotal, 120);
        EXPECT_EQ(r.tallies.Pc(K::Tansho1).HitCount, 0);
        EXPECT_EQ(r.tallies.Pc(K::UmatanF).PayTotal, 1500);
        EXPECT_EQ(r.tallies.Pc(K::UmatanF).TicketTotal, 9);
        EXPECT_EQ(r.tallies.Pc(K::Sanrentan12).TicketTotal, 12);
        r.Write(day[1]);  // not its own payouts: counted nowhere
        EXPECT_EQ(r.tallies.Pc(K::UmatanF).TicketTotal, 9);
        r.Write(day[2]);
        EXPECT_EQ(r.tallies.Pc(K::Tansho1).HitCount, 1);
        EXPECT_EQ(r.tallies.Pc(K::Tansho1).PayTotal, 200);
        EXPECT_EQ(r.tallies.Pc(K::UmatanF).HitCount, 2);
        EXPECT_EQ(r.tallies.Pc(K::UmatanF).PayTotal, 1500 + 400 + 450);
        EXPECT_EQ(r.tallies.Pc(K::UmatanF).TicketTotal, 9 + 18);
        EXPECT_EQ(r.tallies.Pc(K::Sanrentan12).PayTotal, 9000 + 600 + 700);
        EXPECT_EQ(r.tallies.Pc(K::Sanrentan23).HitCount, 0);
        EXPECT_EQ(r.tallies.Pc(K::Sanrentan23).TicketTotal, 6 + 36);
        EXPECT_EQ(dir.Read("TEKICHU/20251101050302lupRCMPC.txt"), Golden("lupRCMPC.txt")) << "run " << run;
        EXPECT_EQ(dir.Read("TEKICHU/20251101050302tekichuPC.txt"), Golden("tekichuPC.txt")) << "run " << run;
        EXPECT_FALSE(std::filesystem::exists(dir / "TEKICHU/20251101050302lupPC.txt"));
        EXPECT_EQ(r.log.StepsPassedOver(), 0);
    }
}

TEST_F(LupPcFiles, PredictionModeWritesTheDayReportAndNoHitTable) {
    BatchRun r;
    for (const RaceState& race : Day(0)) r.Write(race);
    EXPECT_EQ(dir.Read("TEKICHU/20251101050302lupPC.txt"), Golden("lupPC.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "TEKICHU/20251101050302tekichuPC.txt"));
    EXPECT_EQ(r.tallies.Pc(K::UmatanF).TicketTotal, 0);
}

TEST_F(LupPcFiles, AFailedRaceLeavesTheFilesAsTheyWereAndCountsNothing) {
    BatchRun r;
    const auto day = Day(1);
    r.Write(day[0]);
    const std::string lupBefore = dir.Read("TEKICHU/20251101050302lupRCMPC.txt");
    // The hit table made a folder: its race cannot be written.
    std::filesystem::remove(dir / "TEKICHU/20251101050302tekichuPC.txt");
    std::filesystem::create_directories(dir / "TEKICHU/20251101050302tekichuPC.txt");
    const workbench::DayTallies before = r.tallies;
    EXPECT_ANY_THROW(r.Write(day[2]));
    EXPECT_EQ(r.tallies.Pc(K::UmatanF).TicketTotal, before.Pc(K::UmatanF).TicketTotal);
    EXPECT_EQ(r.tallies.Pc(K::UmatanF).PayTotal, before.Pc(K::UmatanF).PayTotal);
    // The day report took the race whole; the folder is untouched.
    EXPECT_EQ(dir.Read("TEKICHU/20251101050302lupRCMPC.txt").substr(0, lupBefore.size()), lupBefore);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "TEKICHU/20251101050302tekichuPC.txt"));

    RaceState badKey = day[0];
    badKey.MeetingKey = "2025110105030/";
    EXPECT_ANY_THROW(r.Write(badKey));
}

// The result-mode "RR" line, written out from its captions.
const char* const kResultRr =
    "\"RR\",\"n\",\"w\",\"馬\",\"予\",\"人\",\"入\",\"性\",\"齢\",\"馬名　　　　　　　\",\"負担\",\"騎手名　\","
    "\"推定タイム\",\"実タイム\"\r\n";

/// The result-mode "HS" line of a runner of RankedRace whose rank is its horse number: the
/// fixture's texts, the name cut to nine characters.
std::string RankedHs(int h) {
    const std::string n = std::to_string(h), horse = (h < 10 ? " " : "") + n;
    return "\"HS\",\"" + n + "\",\"" + n + "\",\"" + horse + "\",\"" + horse + "\",\"" + horse +
           "\",\"\",\"牡\",\" 3\",\"アイウエオカキクケ\",\"55.0\",\"騎手太郎\",\"1.35.20\",\"1.36.0\"\r\n";
}

using reportweek::TwoThreeThirdPayout;

TEST(ComposeLupPcRace, NamesAreCutByCharactersAndAScratchedRunnerKeepsItsTexts) {
    RaceState race = reportweek::Race("2025110105030208", 1, "04", "10");
    const auto texts = [](workbench::RaceRanking& r) {
        r.BameiStr[2] = Cp("ABCDEFGHIJKL" + std::string(24, ' '));
        r.BameiStr[3] = Cp("サクラ" + std::string(30, ' '));
        r.KisyuStr[1] = Cp("C.ルメール");
        r.KisyuStr[2] = Cp("武豊    ");
        r.KisyuStr[3] = Cp("ﾃｽﾄｷｼｭ  ");
        reportweek::Scratch(r, 4);
    };
    // The scratched horse 4 was ranked first; horses 1, 2, 3 finished in order.
    reportweek::SetRunners(race, {4, 1, 2, 3}, {"", " 1", " 2", " 3", ""}, {"", "01", "02", "03", "**"}, 0, texts);
    race.CurHr = reportweek::PayoutBuilder("2025110105030208")
                     .Tansyo({{"01", "000000350", "01"}})
                     .Fukusyo({{"01", "000000150", "01"}, {"02", "000000180", "02"}, {"03", "000000250", "03"}})
                     .Umaren({{"0102", "000000600", "001"}})
                     .Umatan({{"0102", "000000900", "001"}})
                     .Sanrenpuku({{"010203", "000001100", "001"}})
                     .Sanrentan({{"010203", "000003300", "0001"}})
                     .Record();
    workbench::DayTallies tallies;
    reports::LineNotes notes;
    const auto block = supplementary::ComposeLupPcRace(race, reportweek::Codes(), false, false, tallies, notes);
    EXPECT_EQ(block.LupPc,
              Cp("\"RC\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n") + Cp(kResultRr) +
                  Cp("\"HS\",\"1\",\"4\",\" 4\",\" 1\",\"\",\" 0\",\"牡\",\" 3\",\"アイウエオカキクケ\",\"55.0\","
                     "\"騎手太郎\",\"1.35.20\",\"    \"\r\n"
                     "\"HS\",\"2\",\"1\",\" 1\",\" 2\",\" 1\",\" 1\",\"牡\",\" 3\",\"アイウエオカキクケ\",\"55.0\","
                     "\"C.ルメ\",\"1.35.20\",\"1.36.0\"\r\n"
                     "\"HS\",\"3\",\"2\",\" 2\",\" 3\",\" 2\",\" 2\",\"牡\",\" 3\",\"ABCDEFGHI\",\"55.0\","
                     "\"武豊  \",\"1.35.20\",\"1.36.0\"\r\n"
                     "\"HS\",\"4\",\"3\",\" 3\",\" 4\",\" 3\",\" 3\",\"牡\",\" 3\",\"サクラ      \",\"55.0\","
                     "\"ﾃｽﾄｷ\",\"1.35.20\",\"1.36.0\"\r\n") +
                  "\"TF1\",\" 4\"\r\n\"TF2\",\" 1\"\r\n\"UF1\",\" 4\",\" 1\",\" 2\"\r\n"
                  "\"UF2\",\" 4\",\" 1\",\" 2\",\" 3\"\r\n\"UBX\",\" 4\",\" 1\",\" 2\",\" 3\"\r\n"
                  "\"S11\",\" 4\"\r\n\"S12\",\" 1\"\r\n\"S1A\",\" 2\",\" 3\"\r\n\"S21\",\" 1\"\r\n\"S22\",\" 2\"\r\n"
                  "\"S2A\",\" 3\"\r\n\"S31\",\" 4\"\r\n\"S32\",\" 2\"\r\n\"S3A\",\" 3\"\r\n"
                  "\"SBX\",\" 4\",\" 1\",\" 2\",\" 3\"\r\n");
    // The scratched first rank wins nothing: 単勝1, 複勝1, 3連単12 and 3連単13 miss.
    EXPECT_EQ(block.TekichuPc,
              Cp("\"08R点数  \",\"1\",\"1\",\"1\",\"1\",6,6,9,4,12,6,6\r\n"
                 "\"  的中目\",\"\",\"\",\"01\",\"01\",\" 1- 2\",\" 1- 2\",\" 1→ 2\",\" 1- 2- 3\",\"\",\" 1→ 2→ 3\",\"\"\r\n"
                 "\"  配当\",\"\",\"\",\"350\",\"150\",\"600\",\"600\",\"900\",\"1100\",\"\",\"3300\",\"\"\r\n"));
    EXPECT_TRUE(notes.empty());
}

TEST(ComposeLupPcRace, FiveToEightRunnersTakeTheWidthsOfTheirRowInTheWholeBlock) {
    struct Case {
        int n;
        const char* toroku;
        const char* spread;
        int third;          // horses 2 and 3 finish first and second, this one third
        const char* kaime;  // the fifteen ticket lines
        const char* counts;
        bool trioBoxHits;   // the third horse lies inside 3連複B's e
    };
    const Case cases[] = {
        {5, "05", " 5", 5,
         "\"TF1\",\" 1\"\r\n\"TF2\",\" 2\"\r\n\"UF1\",\" 1\",\" 2\",\" 3\"\r\n"
         "\"UF2\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\"\r\n\"UBX\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\"\r\n"
         "\"S11\",\" 1\"\r\n\"S12\",\" 2\"\r\n\"S1A\",\" 3\",\" 4\",\" 5\"\r\n\"S21\",\" 2\"\r\n\"S22\",\" 3\"\r\n"
         "\"S2A\",\" 4\",\" 5\"\r\n\"S31\",\" 1\"\r\n\"S32\",\" 3\"\r\n\"S3A\",\" 4\",\" 5\"\r\n"
         "\"SBX\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\"\r\n",
         "9,10,12,10,18,12,12", true},
        {6, "06", "42", 6,
         "\"TF1\",\" 1\"\r\n\"TF2\",\" 2\"\r\n\"UF1\",\" 1\",\" 2\",\" 3\"\r\n"
         "\"UF2\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\",\" 6\"\r\n\"UBX\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\"\r\n"
         "\"S11\",\" 1\"\r\n\"S12\",\" 2\"\r\n\"S1A\",\" 3\",\" 4\",\" 5\",\" 6\"\r\n\"S21\",\" 2\"\r\n"
         "\"S22\",\" 3\"\r\n\"S2A\",\" 4\",\" 5\",\" 6\"\r\n\"S31\",\" 1\"\r\n\"S32\",\" 3\"\r\n"
         "\"S3A\",\" 4\",\" 5\",\" 6\"\r\n\"SBX\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\"\r\n",
         "12,10,12,10,24,18,18", false},
        {7, "07", "31", 6,
         "\"TF1\",\" 1\"\r\n\"TF2\",\" 2\"\r\n\"UF1\",\" 1\",\" 2\",\" 3\"\r\n"
         "\"UF2\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\",\" 6\"\r\n\"UBX\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\"\r\n"
         "\"S11\",\" 1\"\r\n\"S12\",\" 2\"\r\n\"S1A\",\" 3\",\" 4\",\" 5\",\" 6\",\" 7\"\r\n\"S21\",\" 2\"\r\n"
         "\"S22\",\" 3\"\r\n\"S2A\",\" 4\",\" 5\",\" 6\",\" 7\"\r\n\"S31\",\" 1\"\r\n\"S32\",\" 3\"\r\n"
         "\"S3A\",\" 4\",\" 5\",\" 6\",\" 7\"\r\n\"SBX\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\"\r\n",
         "12,10,12,10,30,24,24", false},
        {8, "08", "30", 6,
         "\"TF1\",\" 1\"\r\n\"TF2\",\" 2\"\r\n\"UF1\",\" 1\",\" 2\",\" 3\"\r\n"
         "\"UF2\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\",\" 6\",\" 7\"\r\n"
         "\"UBX\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\",\" 6\"\r\n"
         "\"S11\",\" 1\"\r\n\"S12\",\" 2\"\r\n\"S1A\",\" 3\",\" 4\",\" 5\",\" 6\",\" 7\",\" 8\"\r\n\"S21\",\" 2\"\r\n"
         "\"S22\",\" 3\"\r\n\"S2A\",\" 4\",\" 5\",\" 6\",\" 7\",\" 8\"\r\n\"S31\",\" 1\"\r\n\"S32\",\" 3\"\r\n"
         "\"S3A\",\" 4\",\" 5\",\" 6\",\" 7\",\" 8\"\r\n\"SBX\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\",\" 6\"\r\n",
         "15,15,18,20,36,30,30", true},
        {8, "08", "31", 6,
         "\"TF1\",\" 1\"\r\n\"TF2\",\" 2\"\r\n\"UF1\",\" 1\",\" 2\",\" 3\"\r\n"
         "\"UF2\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\",\" 6\"\r\n\"UBX\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\"\r\n"
         "\"S11\",\" 1\"\r\n\"S12\",\" 2\"\r\n\"S1A\",\" 3\",\" 4\",\" 5\",\" 6\",\" 7\",\" 8\"\r\n\"S21\",\" 2\"\r\n"
         "\"S22\",\" 3\"\r\n\"S2A\",\" 4\",\" 5\",\" 6\",\" 7\",\" 8\"\r\n\"S31\",\" 1\"\r\n\"S32\",\" 3\"\r\n"
         "\"S3A\",\" 4\",\" 5\",\" 6\",\" 7\",\" 8\"\r\n\"SBX\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\"\r\n",
         "12,10,15,10,36,30,30", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.toroku) + "/" + c.spread);
        RaceState race = reportweek::RankedRace(c.n, c.toroku, c.spread, {{2, "01"}, {3, "02"}, {c.third, "03"}});
        const std::string t = std::to_string(c.third);
        race.CurHr = TwoThreeThirdPayout("2025110105030208", c.third);
        workbench::DayTallies tallies;
        reports::LineNotes notes;
        const auto block = supplementary::ComposeLupPcRace(race, reportweek::Codes(), false, false, tallies, notes);
        std::string hs;
        for (int h = 1; h <= c.n; ++h) hs += RankedHs(h);
        EXPECT_EQ(block.LupPc, "\"RC\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"" + std::string(c.spread) +
                                   "\",\"\",\"\"\r\n" + Cp(kResultRr) + Cp(hs) + c.kaime);
        const std::string trio = c.trioBoxHits ? " 2- 3- " + t : "", trioPay = c.trioBoxHits ? "4560" : "";
        EXPECT_EQ(block.TekichuPc,
                  Cp("\"08R点数  \",\"1\",\"1\",\"1\",\"1\"," + std::string(c.counts) + "\r\n" +
                     "\"  的中目\",\"\",\"\",\"02\",\"02\",\" 2- 3\",\" 2- 3\",\" 2→ 3\",\"" + trio + "\",\"\",\" 2→ 3→ " +
                     t + "\",\"\"\r\n" + "\"  配当\",\"\",\"\",\"420\",\"150\",\"1230\",\"1230\",\"2340\",\"" + trioPay +
                     "\",\"\",\"23450\",\"\"\r\n"));
    }
}

TEST_F(LupPcFiles, ASecondCourseOnTheSameDateHasItsOwnDayFiles) {
    // 京都 4回2日目 race 01 of the same date, written between 東京's races 05 and 06: eight runners,
    // spread 31; horses 2 and 3 first and second, horse 6 third.
    const RaceState kyoto = reportweek::KyotoRace(1);
    BatchRun r;
    const auto tokyo = Day(1);
    r.Write(tokyo[0]);
    r.Write(kyoto);
    r.Write(tokyo[1]);
    r.Write(tokyo[2]);

    // 東京's files are those of its day alone: the 京都 race neither enters them nor starts them again.
    EXPECT_EQ(dir.Read("TEKICHU/20251101050302lupRCMPC.txt"), Golden("lupRCMPC.txt"));
    EXPECT_EQ(dir.Read("TEKICHU/20251101050302tekichuPC.txt"), Golden("tekichuPC.txt"));
    std::string hs;
    for (int h = 1; h <= 8; ++h) hs += RankedHs(h);
    EXPECT_EQ(dir.Read("TEKICHU/20251101080402lupRCMPC.txt"),
              Cp("\"DY\",\"1\",\"20251101\"\r\n\"PL\",\"1\",\"4\",\"京都\",\"2\",\"11\"\r\n"
                 "\"RC\",\"1\",\"1000\",\"01\",\"\",\"サラ系２歳\",\"新馬\",\"\",\"ダ\",\"1400\",\"31\",\"曇稍\",\"\"\r\n") +
                  Cp(kResultRr) + Cp(hs) +
                  "\"TF1\",\" 1\"\r\n\"TF2\",\" 2\"\r\n\"UF1\",\" 1\",\" 2\",\" 3\"\r\n"
                  "\"UF2\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\",\" 6\"\r\n\"UBX\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\"\r\n"
                  "\"S11\",\" 1\"\r\n\"S12\",\" 2\"\r\n\"S1A\",\" 3\",\" 4\",\" 5\",\" 6\",\" 7\",\" 8\"\r\n"
                  "\"S21\",\" 2\"\r\n\"S22\",\" 3\"\r\n\"S2A\",\" 4\",\" 5\",\" 6\",\" 7\",\" 8\"\r\n"
                  "\"S31\",\" 1\"\r\n\"S32\",\" 3\"\r\n\"S3A\",\" 4\",\" 5\",\" 6\",\" 7\",\" 8\"\r\n"
                  "\"SBX\",\" 1\",\" 2\",\" 3\",\" 4\",\" 5\"\r\n");
    EXPECT_EQ(dir.Read("TEKICHU/20251101080402tekichuPC.txt"),
              Cp("\"2025年\",\"11月\",\"01日\",\"4回\",\"京都\",\"2日目\"\r\n"
                 "\" R番号\",\"単勝1\",\"複勝1\",\"単勝2\",\"複勝2\",\"馬連F\",\"馬連B\",\"馬単F\",\"  3連複B\","
                 "\"  3連単12\",\"  3連単23\",\"  3連単13\"\r\n"
                 "\"01R点数  \",\"1\",\"1\",\"1\",\"1\",12,10,15,10,36,30,30\r\n"
                 "\"  的中目\",\"\",\"\",\"02\",\"02\",\" 2- 3\",\" 2- 3\",\" 2→ 3\",\"\",\"\",\" 2→ 3→ 6\",\"\"\r\n"
                 "\"  配当\",\"\",\"\",\"420\",\"150\",\"1230\",\"1230\",\"2340\",\"\",\"\",\"23450\",\"\"\r\n"));
    EXPECT_FALSE(std::filesystem::exists(dir / "TEKICHU/20251101080402lupPC.txt"));
    EXPECT_EQ(r.log.StepsPassedOver(), 0);
}

}  // namespace
