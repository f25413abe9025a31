#include "webexport/race_page.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/day_files.h"
#include "common/paths.h"
#include "support/temp_folder.h"
#include "web_fixture.h"
#include "workbench/batch_log.h"
#include "workbench/race_writing.h"
#include "writers/race_writers.h"

namespace {

namespace fs = std::filesystem;

const workbench::RaceWriterEntry& PageEntry() {
    const auto& entry = writers::kRaceWriters[8];
    EXPECT_EQ(entry.Name, "WriteRacePage");
    return entry;
}

/// One run of the batch: the table's writer made fresh, as the batch makes it.
struct BatchRun {
    common::CodeTable codes = webfixture::Codes();
    common::DayFiles dayFiles;
    workbench::DayTallies tallies;
    workbench::WriterNotes notes;
    workbench::BatchLog log;
    std::unique_ptr<workbench::RaceWriter> writer = PageEntry().Make();
    void Write(const workbench::RaceState& race) {
        workbench::RaceContext context{race, tallies, notes, dayFiles, codes, log, "WriteRacePage"};
        writer->WriteRace(context);
    }
};

class RacePage : public ::testing::Test {
protected:
    testsupport::TempAppFolder dir;
    void SetUp() override { fs::create_directories(dir / "tarnel_paddy_yosou"); }
};

TEST_F(RacePage, GoldenPages) {
    struct Case {
        std::string_view settings;  // empty: no settings file
        workbench::RaceState race;
        std::string_view file, golden;
    };
    const Case cases[] = {
        {webfixture::kFullSettings, webfixture::HostileRace(), "tarnel_paddy_yosou/20240106_nakayama_r11.txt",
         "hostile_full.txt"},
        {"", webfixture::HostileRace(), "tarnel_paddy_yosou/20240106_nakayama_r11.txt", "hostile_plain.txt"},
        {"", webfixture::ThreeRunnerRace(), "tarnel_paddy_yosou/20240107_nakayama_r12.txt", "three_runners_r12.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.golden));
        fs::remove(dir / "webexport.ini");
        if (!c.settings.empty()) dir.Write("webexport.ini", c.settings);
        BatchRun run;
        run.Write(c.race);
        const std::string expected = webfixture::Golden(c.golden);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(dir.Read(c.file), expected);
        EXPECT_FALSE(dir.Exists(std::string(c.file) + ".partial"));
    }
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt"));
}

TEST_F(RacePage, OncePerRaceAndRun) {
    const auto race = webfixture::HostileRace();
    const std::string page = "tarnel_paddy_yosou/20240106_nakayama_r11.txt";
    {
        BatchRun run;
        run.Write(race);
        ASSERT_TRUE(dir.Exists(page));
        fs::remove(dir / page);
        run.Write(race);  // the same race again: nothing
        EXPECT_FALSE(dir.Exists(page));
    }
    BatchRun next;  // a new run writes it again
    next.Write(race);
    EXPECT_TRUE(dir.Exists(page));
}

TEST_F(RacePage, FailuresWriteNothingAndLeaveTheOldPage) {
    const std::string page = "tarnel_paddy_yosou/20240106_nakayama_r11.txt";
    dir.Write(page, "old page");
    fs::create_directories(dir / (page + ".partial"));  // where the scratch file goes

    struct Counting final : workbench::RaceWriter {
        int* calls;
        explicit Counting(int* c) : calls(c) {}
        void WriteRace(workbench::RaceContext&) override { ++*calls; }
    };
    int calls = 0;
    const workbench::RaceWriterEntry table[] = {
        PageEntry(),
        {"Next", [&] { return std::make_unique<Counting>(&calls); }},
    };
    const common::CodeTable codes = webfixture::Codes();
    workbench::BatchLog log;
    workbench::RaceWriting writing(table, codes, log);
    writing.WriteRace(webfixture::HostileRace());

    EXPECT_EQ(dir.Read(page), "old page");
    EXPECT_EQ(calls, 1);
    const std::string errors = dir.Read("ERRORLOG.txt");
    EXPECT_NE(errors.find("WriteRacePage 202401060611 " + page), std::string::npos) << errors;
}

TEST_F(RacePage, NoFolderAndBadRomaji) {
    fs::remove_all(dir / "tarnel_paddy_yosou");
    {
        BatchRun run;
        EXPECT_THROW(run.Write(webfixture::HostileRace()), std::runtime_error);
    }
    EXPECT_FALSE(fs::exists(dir / "tarnel_paddy_yosou"));

    fs::create_directories(dir / "tarnel_paddy_yosou");
    BatchRun run;
    run.codes = common::CodeTable::FromCp932(common::ToCp932("2001,06,x,x,中山,x,../naka,x\r\n"));
    EXPECT_THROW(run.Write(webfixture::HostileRace()), std::runtime_error);
    EXPECT_TRUE(fs::is_empty(dir / "tarnel_paddy_yosou"));
    EXPECT_FALSE(fs::exists(dir / "naka"));
}

}  // namespace
