#include "workbench/betting_files.h"

#include <iterator>
#include <limits>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "common/record_file.h"
#include "common/text_file.h"
#include "ranking_fixtures.h"
#include "workbench/ranking.h"

namespace {

std::string Golden(const std::string& race, const std::string& name) {
    return common::ReadFileBytes(std::string(TALMOR_TEST_DATA) + "/workbench/" + race + "/" + name);
}

workbench::RaceTickets TicketsOf(const workbench::RaceRanking& k) {
    return workbench::MakeTickets(k.YosoSpeed, k.Correction, k.YosoValue, k.RunnerCount);
}

void ExpectGoldenFiles(const std::string& race, std::string_view key, std::string_view course,
                       const std::vector<workbench::RunnerFields>& runners) {
    const auto ranking = workbench::RankRunners(runners, fixtures::Codes());
    const auto tickets = TicketsOf(ranking);
    EXPECT_EQ(workbench::KaimeRunnerLines(key, ranking) + workbench::KaimeTicketLines(key, tickets),
              Golden(race, "kaime.dat"));
    EXPECT_EQ(workbench::SortFileBytes(ranking), Golden(race, "sort.dat"));
    EXPECT_EQ(workbench::LupSortFileBytes(ranking), Golden(race, "lupsort.dat"));
    const auto sorted = workbench::KaimeSortFileBytes(key, tickets);
    EXPECT_EQ(sorted.Umaren, Golden(race, "umarensort.dat"));
    EXPECT_EQ(sorted.Umatan, Golden(race, "umatansort.dat"));
    EXPECT_EQ(sorted.Sanren, Golden(race, "sanrensort.dat"));
    EXPECT_EQ(sorted.Sanrentan, Golden(race, "sanrentansort.dat"));
    const auto bets = workbench::BetCsvFiles(key, course, tickets);
    const char* names[] = {"umaren.csv", "wide.csv", "umatan.csv", "sanrenpuku.csv", "sanrentan.csv"};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(bets[i].Bytes, Golden(race, names[i])) << names[i];
}

TEST(BettingFiles, ThreeRunnerRaceGoldenFiles) {
    SCOPED_TRACE("three runners");
    ExpectGoldenFiles("race3", fixtures::kThreeKey, "東京", fixtures::ThreeRunners());
}

TEST(BettingFiles, FiveRunnerRaceGoldenFiles) {
    SCOPED_TRACE("five runners");
    ExpectGoldenFiles("race5", fixtures::kFiveKey, "中山", fixtures::FiveRunners());
}

TEST(BettingFiles, NamesAndTheCourseNameInThem) {
    const auto tickets = workbench::MakeTickets({0, 60, 61}, {0, 0, 0}, {0, 60, 61}, 2);
    const auto bets = workbench::BetCsvFiles("202508310511", "東京", tickets);
    EXPECT_EQ(bets[0].RelativePath, "UMAREN/250831東京11R.csv");
    EXPECT_EQ(bets[1].RelativePath, "WIDE/250831東京11R.csv");
    EXPECT_EQ(bets[2].RelativePath, "UMATAN/250831東京11R.csv");
    EXPECT_EQ(bets[3].RelativePath, "SANRENPUKU/250831東京11R.csv");
    EXPECT_EQ(bets[4].RelativePath, "SANRENTAN/250831東京11R.csv");
    // Two runners: one pair, no trio.
    EXPECT_EQ(bets[0].Bytes, "20250831,05,11,04,01-02,100\r\n");
    EXPECT_EQ(bets[1].Bytes, "20250831,05,11,05,01-02,100\r\n");
    EXPECT_EQ(bets[2].Bytes, "20250831,05,11,06,02-01,100\r\n20250831,05,11,06,01-02,100\r\n");
    EXPECT_EQ(bets[3].Bytes, "");
    EXPECT_EQ(bets[4].Bytes, "");

    // No code table: the name without the course.
    EXPECT_EQ(workbench::BetCsvFiles("202508310511", "", tickets)[0].RelativePath, "UMAREN/25083111R.csv");
    // A course name or key that would reach another folder writes none of the five.
    for (const char* course : {"..", "a/b", "a\\b", "\t"})
        EXPECT_THROW(workbench::BetCsvFiles("202508310511", course, tickets), std::invalid_argument) << course;
    EXPECT_THROW(workbench::BetCsvFiles("2025083105/1", "東京", tickets), std::invalid_argument);
    EXPECT_EQ(workbench::KaimeFileName("202508310511", "SORT.dat"), "KAIME/202508310511SORT.dat");
    EXPECT_THROW(workbench::KaimeFileName("../202508310", ""), std::invalid_argument);
}

TEST(BettingFiles, LineCountsOfSmallAndFullFields) {
    struct Case {
        int runners;
        std::size_t lines[5];  // 馬連, ワイド, 馬単, 3連複, 3連単
    };
    const Case cases[] = {
        {0, {0, 0, 0, 0, 0}}, {1, {0, 0, 0, 0, 0}}, {4, {6, 3, 12, 4, 24}}, {18, {7, 3, 14, 10, 60}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.runners);
        std::vector<float> values{0.0f};
        for (int h = 1; h <= c.runners; ++h) values.push_back(50.0f + static_cast<float>(h));
        const auto tickets = workbench::MakeTickets(values, std::vector<float>(values.size(), 0.0f), values, c.runners);
        const auto bets = workbench::BetCsvFiles("202508310511", "東京", tickets);
        for (std::size_t i = 0; i < 5; ++i) {
            std::size_t lines = 0;
            for (std::size_t at = bets[i].Bytes.find("\r\n"); at != std::string::npos; at = bets[i].Bytes.find("\r\n", at + 2))
                ++lines;
            EXPECT_EQ(lines, c.lines[i]) << i;
        }
        const auto sorted = workbench::KaimeSortFileBytes("202508310511", tickets);
        if (c.runners < 2) {
            EXPECT_EQ(sorted.Umaren + sorted.Umatan + sorted.Sanren + sorted.Sanrentan, "");
        }
        if (c.runners == 18) {
            const std::string all = workbench::KaimeTicketLines("202508310511", tickets) + sorted.Umaren +
                                    sorted.Umatan + sorted.Sanren + sorted.Sanrentan;
            std::size_t lines = 0;
            for (char ch : all) lines += ch == '\n';
            EXPECT_EQ(lines, 2907u);  // the ticket file's and the four sorted files' ticket lines
        }
    }
}

// The ticket files are written straight into their bytes; each line must read as the written
// fields it stands for, whatever the values.
TEST(BettingFiles, TicketLinesAreTheWrittenFieldsOfEachTicket) {
    const float values[] = {0.0f,   -0.0f,    1.0f,     -1.5f,      0.1f,      123.45678f, 1234567.0f, 12345678.0f,
                            1e-7f,  -2.5e-5f, 3.4e38f,  -999.95f,   65.4321f,  std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN()};
    const std::string key = "202508310511";
    const auto line = [&](std::string_view tag, const std::string& ticket, std::initializer_list<float> fields) {
        std::vector<common::Field> all{key, std::string(tag), ticket};
        for (float f : fields) all.emplace_back(common::Single{f});
        return common::WrittenFields(all) + "\r\n";
    };

    workbench::RaceTickets t;
    t.UmarenKumiList = {""};
    t.UmarenKumiStr = {""};
    t.UmarenValue = {0.0f};
    t.SanrenKumiList = {""};
    t.SanrenKumiStr = {""};
    t.SanrenValue = {0.0f};
    std::string created, umaren, umatan, sanren, sanrentan;
    const std::size_t n = std::size(values);
    for (std::size_t i = 0; i < n; ++i) {
        const float v = values[i], speed = values[(i + 1) % n], correction = values[(i + 2) % n];
        const std::string pair = (i % 2 ? "0102" : "1807"), trio = (i % 2 ? "010203" : "180716");
        const std::string swapped = pair.substr(2) + pair.substr(0, 2), ordered = trio.substr(4) + trio.substr(0, 4);
        t.UmarenCreated.push_back({pair, v, speed, correction});
        t.SanrenCreated.push_back({trio, v, speed, correction});
        t.UmarenKumiStr.push_back(pair);
        t.UmarenKumiList.push_back(swapped);
        t.UmarenValue.push_back(v);
        t.SanrenKumiStr.push_back(trio);
        t.SanrenKumiList.push_back(ordered);
        t.SanrenValue.push_back(v);
        umaren += line("Umaren", pair, {v});
        umatan += line("Umatan", swapped, {v});
        sanren += line("Sanrenpuke", trio, {v});
        sanrentan += line("sanrentan", ordered, {v});
    }
    for (const auto& c : t.UmarenCreated) created += line("Umaren", c.Key, {c.Value, c.SpeedSum, c.CorrectionSum});
    for (const auto& c : t.SanrenCreated) created += line("Sanrenpuku", c.Key, {c.Value, c.SpeedSum, c.CorrectionSum});
    t.UmarenKumiCount = static_cast<int>(n);
    t.SanrenKumiCount = static_cast<int>(n);

    EXPECT_EQ(workbench::KaimeTicketLines(key, t), created);
    const auto sorted = workbench::KaimeSortFileBytes(key, t);
    EXPECT_EQ(sorted.Umaren, umaren);
    EXPECT_EQ(sorted.Umatan, umatan);
    EXPECT_EQ(sorted.Sanren, sanren);
    EXPECT_EQ(sorted.Sanrentan, sanrentan);

    // A count below the lists' length writes only the first tickets; none writes nothing.
    t.UmarenKumiCount = 1;
    t.SanrenKumiCount = 0;
    const auto cut = workbench::KaimeSortFileBytes(key, t);
    EXPECT_EQ(cut.Umaren, line("Umaren", t.UmarenKumiStr[1], {values[0]}));
    EXPECT_EQ(cut.Sanren + cut.Sanrentan, "");
}

}  // namespace
