#include "workbench/race_state.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ranking_fixtures.h"
#include "workbench/ranking.h"
#include "workbench/tickets.h"

namespace {

// The three-runner race (values 60, 61, 62) as the batch leaves it for the writers.
workbench::RaceState ThreeRunnerRace() {
    workbench::RaceState race;
    race.RaceKey12 = std::string(fixtures::kThreeKey);
    race.RunnerCount = 3;
    workbench::RaceRanking ranking = workbench::RankRunners(fixtures::ThreeRunners(), fixtures::Codes());
    race.SetTickets(workbench::MakeTickets(ranking.YosoSpeed, ranking.Correction, ranking.YosoValue, 3));
    race.SetRanking(std::move(ranking));
    return race;
}

TEST(RaceState, ReadsInsideTheRaceGiveItsValues) {
    const workbench::RaceState race = ThreeRunnerRace();
    EXPECT_EQ(race.YosoValue(3), 62.0f);
    EXPECT_EQ(race.YosoSpeed(2), 61.0f);
    EXPECT_EQ(race.YosoJun(1), "03");
    EXPECT_EQ(race.YosoRank(1), " 3");
    EXPECT_EQ(race.ShinraidoGrade(1, 0), "B");  // jockey 0000073 on turf: band 4
    EXPECT_EQ(race.FutanStr(2), "56.0");
    EXPECT_EQ(race.YosoTimeStr(1), "1.35.99");
    EXPECT_EQ(race.Yoso3FStr(1), "36.00");
    EXPECT_EQ(race.RaceSD(), 13);
    EXPECT_EQ(race.UmarenKumiCount(), 3);
    EXPECT_EQ(race.UmarenKumiList(1), "0302");
    EXPECT_EQ(race.UmarenKumiStr(1), "0203");
    EXPECT_EQ(race.UmarenValue(3), 121.0f);
    EXPECT_EQ(race.SanrenKumiCount(), 1);
    EXPECT_EQ(race.SanrenKumiList(1), "030201");
    EXPECT_EQ(race.SanrenKumiStr(1), "010203");
}

// A writer that reads 18 horses, 18 pairs, 21 trios or four places of a three-runner race gets
// empty entries past the race, never a failure.
TEST(RaceState, ReadsOutsideTheRaceAreEmpty) {
    const workbench::RaceState race = ThreeRunnerRace();
    for (int outside : {-1, 0, 4, 18, 19}) {
        SCOPED_TRACE(outside);
        EXPECT_EQ(race.YosoValue(outside), 0.0f);
        EXPECT_EQ(race.YosoSpeed(outside), 0.0f);
        EXPECT_EQ(race.Correction(outside), 0.0f);
        EXPECT_EQ(race.JitsuSpeed(outside), 0.0f);
        EXPECT_EQ(race.YosoJun(outside), "");
        EXPECT_EQ(race.YosoRank(outside), "");
        EXPECT_EQ(race.WakuStr(outside), "");
        EXPECT_EQ(race.BameiStr(outside), "");
        EXPECT_EQ(race.NyusenStr(outside), "");
        EXPECT_EQ(race.NinkiStr(outside), "");
        EXPECT_EQ(race.ChakujunStr(outside), "");
        EXPECT_EQ(race.ShinraidoGrade(outside, 0), "");
    }
    EXPECT_EQ(race.ShinraidoGrade(1, 5), "");
    EXPECT_EQ(race.ShinraidoGrade(1, -1), "");
    for (int place : {0, 4, 18}) {
        EXPECT_EQ(race.UmarenKumiList(place), "") << place;
        EXPECT_EQ(race.UmarenKumiStr(place), "") << place;
        EXPECT_EQ(race.UmarenValue(place), 0.0f) << place;
    }
    for (int place : {0, 2, 21}) {
        EXPECT_EQ(race.SanrenKumiList(place), "") << place;
        EXPECT_EQ(race.SanrenKumiStr(place), "") << place;
        EXPECT_EQ(race.SanrenValue(place), 0.0f) << place;
    }
}

// A race without ranking (none made, or fewer runners in the state than ranked) reads empty
// rather than another race's values.
TEST(RaceState, AFreshStateReadsEmpty) {
    workbench::RaceState fresh;
    fresh.RunnerCount = 3;
    EXPECT_EQ(fresh.YosoValue(1), 0.0f);
    EXPECT_EQ(fresh.YosoJun(1), "");
    EXPECT_EQ(fresh.UmarenKumiList(1), "");
    EXPECT_EQ(fresh.RaceSD(), 0);
    EXPECT_EQ(fresh.UmarenKumiCount(), 0);

    workbench::RaceState fewer = ThreeRunnerRace();
    fewer.RunnerCount = 2;
    EXPECT_EQ(fewer.YosoValue(3), 0.0f);
    EXPECT_EQ(fewer.YosoValue(2), 61.0f);
}

}  // namespace
