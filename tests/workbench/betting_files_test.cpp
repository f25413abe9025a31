#include "workbench/betting_files.h"

#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "common/record_file.h"
#include "ranking_fixtures.h"
#include "workbench/ranking.h"

namespace {

std::string Golden(const std::string& race, const std::string& name) {
    return common::ReadWholeFile(std::string(TALMOR_TEST_DATA) + "/workbench/" + race + "/" + name);
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

}  // namespace
