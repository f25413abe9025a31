#include "workbench/ranking.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ranking_fixtures.h"
#include "support/record_bytes.h"

namespace {

using workbench::RunnerFields;

TEST(Ranking, FiveRunnersFallAsTheQuicksortLeavesTheirTie) {
    const auto k = workbench::RankRunners(fixtures::FiveRunners(), fixtures::Codes());
    ASSERT_EQ(k.RunnerCount, 5);
    EXPECT_EQ(k.YosoJun, (std::vector<std::string>{"", "04", "02", "01", "03", "05"}));
    EXPECT_EQ(k.YosoRank, (std::vector<std::string>{"", " 3", " 2", " 4", " 1", " 5"}));
    EXPECT_EQ(k.YosoValue[2], 61.2f);
    EXPECT_TRUE(k.Notes.empty());
}

TEST(Ranking, SpreadOfTheRace) {
    struct Case {
        std::vector<float> values;  // horse numbers 1..n
        int raceSD;
        const char* column;
    };
    const Case cases[] = {
        {{60, 61, 62}, 13, "13"},              // s = 0.8165, 13.608 m/min
        {{}, 0, " 0"},                         // no runners
        {{61.2f}, 0, " 0"},
        {{61.2f, 61.2f, 61.2f, 61.2f, 61.2f, 61.2f, 61.2f}, 0, " 0"},  // rounding leaves -0.00055: 0
        {{0, 13}, 108, "08"},                  // s = 6.5, 108.3: the last two digits only
        {{60, 0, 62}, 479, "79"},              // a blank runner counts with 0
        {{5, 6}, 8, " 8"},
    };
    for (const Case& c : cases) {
        std::vector<float> values{0.0f};
        values.insert(values.end(), c.values.begin(), c.values.end());
        const int n = static_cast<int>(c.values.size());
        SCOPED_TRACE(n);
        EXPECT_EQ(workbench::RaceSpread(values, n), c.raceSD);
        EXPECT_EQ(workbench::SpreadColumnText(c.raceSD), c.column);
    }
    EXPECT_FALSE(workbench::PopulationStdDev({0.0f}, 0).has_value());
    EXPECT_NEAR(*workbench::PopulationStdDev({0.0f, 60, 61, 62}, 3), 0.8164966, 1e-6);
}

TEST(Ranking, GradeLettersByBandAndTrackClass) {
    struct Case {
        const char* track;
        std::array<std::string, 5> counts;  // jockey, trainer, sire, dam's sire, breeder
        workbench::Grades grades;
    };
    const Case cases[] = {
        // Jockey 73 and 74 on turf fall in bands 4 and 5; over hurdles both in band 4.
        {"10", {"0000073", "0000074", "0000000", "0000000", "0000000"}, {"B", "C", "F", "F", "F"}},
        {"10", {"0000074", "0000176", "0000177", "0000075", "0000077"}, {"A", "B", "A", "B", "B"}},
        {"51", {"0000073", "0000074", "0000069", "0000060", "0000045"}, {"B", "B", "B", "B", "B"}},
        {"51", {"0000074", "0000087", "0000070", "0000061", "0000046"}, {"B", "A", "A", "A", "A"}},
        // Band edges on turf.
        {"49", {"0000000", "0000001", "0000005", "0000006", "0000010"}, {"F", "E", "E", "D", "D"}},
        {"49", {"0000011", "0000050", "0000020", "0000021", "0000078"}, {"C", "D", "C", "B", "A"}},
        {"00", {"0000021", "0000051", "0000100", "0000101", "0000176"}, {"B", "C", "A", "A", "A"}},
        // A blank count is 0; a fraction between bands and a negative count get no letter.
        {"23", {"       ", "5.5    ", "-1     ", "0000073", "10.5   "}, {"F", "", "", "B", ""}},
        // A blank track (a blank record) is not flat.
        {"  ", {"0000088", "0000089", "0000000", "0000000", "0000046"}, {"B", "A", "F", "F", "A"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.track) + " " + c.counts[0]);
        EXPECT_EQ(workbench::GradeShinraido(c.counts, c.track), c.grades);
    }
}

RunnerFields Runner(float speed) {
    RunnerFields r;
    r.CombinedSoha = speed;
    r.TrackCD = "10";
    r.Kyori = "1600";
    r.SohaTime = "0000";
    return r;
}

TEST(Ranking, MeasuredTimesOrderTextsAndPredictedTimes) {
    struct Case {
        const char* what;
        void (*set)(RunnerFields&);
        const char* jitsuTime;
        const char* jitsu3F;
        const char* nyusen;
        const char* ninki;
        const char* chakujun;
        const char* yoso3F;
    };
    const Case cases[] = {
        {"before the race", [](RunnerFields&) {}, "    ", "", "", "", "**", ""},
        {"blank time", [](RunnerFields& r) { r.SohaTime = "    "; }, "    ", "", "", "", "**", ""},
        {"run", [](RunnerFields& r) {
             r.SohaTime = "1345";
             r.HaronTimeL3 = "345";
             r.NyusenJyuni = "03";
             r.Ninki = "12";
             r.KakuteiJyuni = "03";
         }, "1.34.5 ", "34.5 ", " 3", "12", "03", ""},
        {"sixth", [](RunnerFields& r) {
             r.NyusenJyuni = "00";
             r.Ninki = " 7";
             r.KakuteiJyuni = "06";
         }, "    ", "", " 0", " 7", "**", ""},
        {"no numbers", [](RunnerFields& r) {
             r.NyusenJyuni = "1a";
             r.Ninki = "--";
             r.KakuteiJyuni = "05";
         }, "    ", "", "", "", "05", ""},
        {"60 km/h on turf", [](RunnerFields& r) { r.PredictedAgari = 60.0f; }, "    ", "", "", "", "**", "36.00"},
        {"60 km/h over hurdles", [](RunnerFields& r) {
             r.PredictedAgari = 60.0f;
             r.TrackCD = "51";
         }, "    ", "", "", "", "**", "12.00"},
        {"58.5 km/h", [](RunnerFields& r) { r.PredictedAgari = 58.5f; }, "    ", "", "", "", "**", "36.92"},
        {"negative speed", [](RunnerFields& r) { r.PredictedAgari = -3.0f; }, "    ", "", "", "", "**", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RunnerFields r = Runner(60.0f);
        c.set(r);
        const auto k = workbench::RankRunners({r}, common::CodeTable());
        EXPECT_EQ(k.JitsuTimeStr[1], c.jitsuTime);
        EXPECT_EQ(k.Jitsu3FStr[1], c.jitsu3F);
        EXPECT_EQ(k.NyusenStr[1], c.nyusen);
        EXPECT_EQ(k.NinkiStr[1], c.ninki);
        EXPECT_EQ(k.ChakujunStr[1], c.chakujun);
        EXPECT_EQ(k.Yoso3FStr[1], c.yoso3F);
        EXPECT_EQ(k.YosoTimeStr[1], "1.35.99");
    }
}

TEST(Ranking, RunnersWithoutATimeAndValuesThatAreNoNumbers) {
    RunnerFields noValue = Runner(0.0f);       // no runs joined: no time, nothing to report
    RunnerFields noDistance = Runner(60.0f);   // a value but a blank distance: reported
    noDistance.Kyori = "    ";
    RunnerFields notANumber = Runner(std::numeric_limits<float>::quiet_NaN());
    notANumber.Correction = std::numeric_limits<float>::infinity();
    const auto k = workbench::RankRunners({noValue, noDistance, notANumber}, common::CodeTable());
    EXPECT_EQ(k.YosoTimeStr, (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(k.YosoValue[3], 0.0f);
    EXPECT_EQ(k.YosoSpeed[3], 0.0f);
    ASSERT_EQ(k.Notes.size(), 3u);
    EXPECT_NE(k.Notes[0].find("horse 2"), std::string::npos);
    EXPECT_NE(k.Notes[1].find("horse 3"), std::string::npos);
    EXPECT_EQ(k.RaceSD, 471);  // 0, 60, 0: s = 28.28
}

TEST(Ranking, NoRunners) {
    const auto k = workbench::RankRunners({}, common::CodeTable());
    EXPECT_EQ(k.RunnerCount, 0);
    EXPECT_EQ(k.RaceSD, 0);
    EXPECT_EQ(workbench::KaimeRunnerLines(fixtures::kThreeKey, k), "");
    EXPECT_EQ(workbench::SortFileBytes(k), "");
    EXPECT_EQ(workbench::LupSortFileBytes(k), "");
}

TEST(Ranking, ABlankRunnerRecordRanksLastInEveryFile) {
    auto runners = fixtures::ThreeRunners();
    runners[1] = workbench::RunnerFieldsOf(workbench::RaceHorseRecord());  // horse 2 has no record
    const auto k = workbench::RankRunners(runners, fixtures::Codes());
    EXPECT_EQ(k.YosoJun, (std::vector<std::string>{"", "03", "01", "02"}));
    EXPECT_EQ(k.YosoValue[2], 0.0f);
    EXPECT_EQ(k.ShinraidoGrade[2], (workbench::Grades{"F", "F", "F", "F", "F"}));
    EXPECT_EQ(workbench::KaimeRunnerLines("202508310511", k),
              "\"202508310511\",1,60,60,0\r\n"
              "\"202508310511\",2,0,0,0\r\n"
              "\"202508310511\",3,62,62,0\r\n");
    const std::string sort = workbench::SortFileBytes(k);
    const std::string line2 = sort.substr(sort.find("\r\n") + 2);
    EXPECT_EQ(line2.substr(0, line2.find("\r\n")),
              "2,\" \",\" 2\",\" 3\",\"\",\" 0\",\"         \",\"  . \",\"F\",\"F\",\"F\",\"F\",\"    \",\"\",\"   0\"");
}

TEST(Ranking, RunnerFieldsComeFromElementZeroOfTheRecord) {
    std::string bytes(workbench::RaceHorseRecord::kLength, '\0');
    const auto putFloat = [&](std::size_t at, float v) {
        char b[4];
        std::memcpy(b, &v, 4);  // little-endian machine
        testsupport::Put(bytes, at, std::string_view(b, 4));
    };
    putFloat(18417 + 6 * 4, 61.5f);  // speed block element 0, value 6
    putFloat(18417 + 2 * 4, 59.0f);  // value 2
    putFloat(18417 + 3 * 4, 60.0f);  // value 3
    putFloat(18417 + 80 + 6 * 4, 1.0f);  // element 1 is an older run
    putFloat(24017, 0.5f);
    testsupport::Put(bytes, 1041, "7");
    testsupport::Put(bytes, 1886, fixtures::Field("ミドリノカゼ", 36));
    testsupport::Put(bytes, 1922, fixtures::Field("山田太郎", 8));
    testsupport::Put(bytes, 2442, "1600");
    testsupport::Put(bytes, 2446, "9999");  // element 1
    testsupport::Put(bytes, 2702, "51");
    testsupport::Put(bytes, 2962, "03");
    testsupport::Put(bytes, 3092, "03");
    testsupport::Put(bytes, 3222, "1345");
    testsupport::Put(bytes, 3482, "02");
    testsupport::Put(bytes, 3872, "345");
    testsupport::Put(bytes, 4067, fixtures::Field("田中次郎", 8));
    testsupport::Put(bytes, 4729, "04");
    testsupport::Put(bytes, 4731, "2");
    testsupport::Put(bytes, 4931, "550");
    testsupport::Put(bytes, 4942, "0000073000017700000000000005");  // four counts; the breeder's stays zero bytes
    testsupport::Put(bytes, 24021, "\r\n");
    const RunnerFields r = workbench::RunnerFieldsOf(workbench::RaceHorseRecord::FromBytes(bytes));
    EXPECT_EQ(r.CombinedSoha, 61.5f);
    EXPECT_EQ(r.MeasuredSoha, 59.0f);
    EXPECT_EQ(r.PredictedAgari, 60.0f);
    EXPECT_EQ(r.Correction, 0.5f);
    EXPECT_EQ(r.Wakuban, "7");
    EXPECT_EQ(r.Bamei, fixtures::Field("ミドリノカゼ", 36));
    EXPECT_EQ(r.KisyuRyakusyo, fixtures::Field("山田太郎", 8));
    EXPECT_EQ(r.ChokyosiRyakusyo, fixtures::Field("田中次郎", 8));
    EXPECT_EQ(r.Kyori, "1600");
    EXPECT_EQ(r.TrackCD, "51");
    EXPECT_EQ(r.NyusenJyuni, "03");
    EXPECT_EQ(r.KakuteiJyuni, "03");
    EXPECT_EQ(r.SohaTime, "1345");
    EXPECT_EQ(r.Ninki, "02");
    EXPECT_EQ(r.HaronTimeL3, "345");
    EXPECT_EQ(r.Barei, "04");
    EXPECT_EQ(r.SexCD, "2");
    EXPECT_EQ(r.Futan, "550");
    EXPECT_EQ(r.SampleCounts, (std::array<std::string, 5>{"0000073", "0000177", "0000000", "0000005", "       "}));
}

}  // namespace
