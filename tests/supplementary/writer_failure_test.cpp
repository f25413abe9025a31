#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/encoding.h"
#include "support/report_week.h"
#include "support/temp_folder.h"
#include "workbench/batch_log.h"
#include "workbench/race_writing.h"
#include "writers/race_writers.h"

namespace {

// Each writer of this folder forced to fail on a race: its file stays as the earlier run left it,
// the failure is in ERRORLOG.txt under the writer's name, and the writers after it still write.
TEST(SupplementaryWriters, AFailingWriterLeavesItsFileAndTheNextWriterRuns) {
    struct Case {
        const char* writer;
        const char* file;  // the writer's file for race 05 of day A
        const char* next;  // a file of a later writer, or "" for the last writer
    };
    const Case cases[] = {
        {"WriteTwiRace", "TEKICHU/20251101050302twiRCM.txt", "TANFUKU/20251101050302tnfkRCM.csv"},
        {"WriteTanfuku1", "TANFUKU/20251101050302tnfkRCM.csv", "TANFUKU2/20251101050302tnfkRCM2.csv"},
        {"WriteTanfuku2", "TANFUKU2/20251101050302tnfkRCM2.csv", "TANSHO/251101東京05R.csv"},
        {"WriteTanshoCsv", "TANSHO/251101東京05R.csv", "SOKUDO/HR20251101.csv"},
        {"WriteSokudoHrCsv", "SOKUDO/HR20251101.csv", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.writer);
        testsupport::TempAppFolder dir;
        for (const char* folder : {"TEKICHU", "TANFUKU", "TANFUKU2", "TANSHO", "SOKUDO", "SHUTSUBAHYO", "tarnel_paddy_yosou"})
            std::filesystem::create_directories(dir / folder);
        dir.Write(c.file, "an earlier run\r\n");
        // The new file goes through a scratch file beside it, which cannot be made.
        std::filesystem::create_directories(dir / (std::string(c.file) + ".partial"));

        const common::CodeTable codes = reportweek::Codes();
        workbench::BatchLog log;
        {
            workbench::RaceWriting writing(writers::kRaceWriters, codes, log);
            const auto day = reportweek::DayA(1);
            writing.WriteRace(day[0]);
        }
        EXPECT_EQ(dir.Read(c.file), "an earlier run\r\n");
        const std::string errors = dir.Read("ERRORLOG.txt");
        EXPECT_NE(errors.find(std::string("race 202511010505, ") + c.writer + ": "), std::string::npos) << errors;
        EXPECT_EQ(log.StepsPassedOver(), 1);
        if (*c.next) {
            EXPECT_FALSE(dir.Read(c.next).empty());
        }
    }
}

}  // namespace
