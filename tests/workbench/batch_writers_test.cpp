#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "batch_fixtures.h"
#include "common/encoding.h"
#include "common/text_file.h"
#include "race_writing_fixtures.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"
#include "workbench/day_tallies.h"
#include "workbench/weekly_batch.h"

// The batch with writers of the test's own: called race by race from the table it is given, and
// in result mode followed by each meeting day's rate files.
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using workbench::RaceContext;
using writertest::kNames;

std::vector<std::string> Lines(const testsupport::TempAppFolder& folder, const std::string& file) {
    return common::SplitLines(folder.Read(file));
}

std::string Cp932(const char* utf8) { return common::ToCp932(utf8); }

TEST(BatchWriters, EveryRaceGoesThroughTheTableAndEachResultDayGetsItsRateFiles) {
    testsupport::TempAppFolder folder;
    batchtest::WriteResultWeek(folder);
    for (const char* sub : {"RACE", "SOKUDO", "TEKICHU"}) std::filesystem::create_directories(folder / sub);
    batchtest::CreateTicketFolders(folder);
    testsupport::RecordingHost host;

    std::vector<std::string> calls;
    const auto table = writertest::Table(
        [&](std::size_t i, RaceContext& c) {
            calls.push_back(c.race.RaceKey12 + " " + std::string(c.writer));
            if (i == 1 && c.race.RaceKey12 == "202506070501") {
                c.tallies.Kaiteki.TierHits(workbench::TierKind::Umaren, workbench::Tier::Honsen) += 1;
                c.tallies.Kaiteki.AllHits(workbench::TierKind::Umaren) += 1;
                c.tallies.Kaiteki.TierPayout(workbench::TierKind::Umaren, workbench::Tier::Honsen) += 1000;
                throw std::runtime_error("cannot write its day file");
            }
        },
        {7});

    const workbench::WeekBatch batch = workbench::WeeklyYosoBatch(host, table);

    // The races in the list's order (the payout file's), each through the table less its entry
    // without a maker.
    std::vector<std::string> expected;
    for (const char* race : {"202506070902", "202506070501", "202506070502", "202506080601"})
        for (std::size_t i = 0; i < kNames.size(); ++i)
            if (i != 7) expected.push_back(std::string(race) + " " + kNames[i]);
    EXPECT_THAT(calls, ElementsAreArray(expected));

    // Three meeting days, each titled by its own race identifier; a course the code table lacks
    // is an empty text. The day of 09 has race 02 only and counts 2 races from 0.
    const std::string pcRaces = Cp932("\"予想R数\"");
    struct Day {
        std::string key;
        std::string title;
        std::string races;
    };
    const Day days[] = {
        {"20250607090401", Cp932("\"2025年\",\"06月\",\"07日\",\"4回\",\"阪神\",\"1日目\""), ",2,2,2,2,2,2,2,2,2,2,2"},
        {"20250607050301", Cp932("\"2025年\",\"06月\",\"07日\",\"3回\",\"東京\",\"1日目\""), ",2,2,2,2,2,2,2,2,2,2,2"},
        {"20250608060301", Cp932("\"2025年\",\"06月\",\"08日\",\"3回\",\"\",\"1日目\""), ",1,1,1,1,1,1,1,1,1,1,1"},
    };
    for (const Day& day : days) {
        SCOPED_TRACE(day.key);
        const auto tier = Lines(folder, "TEKICHU/" + day.key + "kaiteki.txt");
        const auto pc = Lines(folder, "TEKICHU/" + day.key + "kaitekiPC.txt");
        ASSERT_EQ(tier.size(), 9u);
        ASSERT_EQ(pc.size(), 8u);
        EXPECT_EQ(tier[0], day.title);
        EXPECT_EQ(pc[0], day.title);
        EXPECT_EQ(pc[2], pcRaces + day.races);
    }
    // The hit that the failing writer added before it failed stays, and the rates followed.
    EXPECT_EQ(Lines(folder, "TEKICHU/20250607050301kaiteki.txt")[3], Cp932("\"馬連\",83.3,0,0,50,0,0"));

    EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("race 202506070501, WriteLupRace: cannot write its day file"));
    EXPECT_EQ(batch.RacesPassedOver, 0);
    EXPECT_EQ(workbench::BatchEndText(batch), "予想･結果終了（処理できなかった手順 1 件。ERRORLOG.txtを確認して下さい。）");
}

TEST(BatchWriters, WritersAreMadeForEachRunAndPredictionModeWritesNoRateFile) {
    testsupport::TempAppFolder folder;
    batchtest::WritePredictionWeek(folder);
    for (const char* sub : {"RACE", "SOKUDO", "TEKICHU"}) std::filesystem::create_directories(folder / sub);
    batchtest::CreateTicketFolders(folder);
    testsupport::RecordingHost host;

    int made = 0;
    int calls = 0;
    std::vector<workbench::RaceWriterEntry> table;
    for (const std::string& name : kNames)
        table.push_back({name, [&] {
                             ++made;
                             return std::make_unique<writertest::ScriptedWriter>([&](RaceContext&) { ++calls; });
                         }});
    workbench::WeeklyYosoBatch(host, table);
    EXPECT_EQ(made, 11);
    EXPECT_EQ(calls, 3 * 11);
    workbench::WeeklyYosoBatch(host, table);
    EXPECT_EQ(made, 22);
    EXPECT_EQ(calls, 2 * 3 * 11);
    EXPECT_TRUE(std::filesystem::is_empty(folder / "TEKICHU"));
}

}  // namespace
