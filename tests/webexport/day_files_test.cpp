#include "webexport/day_block_text.h"
#include "webexport/day_print_page.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/day_files.h"
#include "support/temp_folder.h"
#include "web_fixture.h"
#include "workbench/batch_log.h"
#include "workbench/race_writing.h"
#include "writers/race_writers.h"

namespace {

namespace fs = std::filesystem;

const workbench::RaceWriterEntry& Entry(std::size_t index, std::string_view name) {
    const auto& entry = writers::kRaceWriters[index];
    EXPECT_EQ(entry.Name, name);
    return entry;
}

const workbench::RaceWriterEntry& BlockEntry() { return Entry(7, "WriteDayBlockText"); }
const workbench::RaceWriterEntry& PageEntry() { return Entry(8, "WriteRacePage"); }
const workbench::RaceWriterEntry& PrintEntry() { return Entry(9, "WriteDayPrintPage"); }

/// One run of the batch's writing step with the given writers of the table.
struct BatchRun {
    explicit BatchRun(std::vector<workbench::RaceWriterEntry> table)
        : entries(std::move(table)), writing(entries, codes, log) {}
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;
    std::vector<workbench::RaceWriterEntry> entries;
    common::CodeTable codes = webfixture::Codes();
    workbench::BatchLog log;
    workbench::RaceWriting writing;
    void Write(const workbench::RaceState& race) { writing.WriteRace(race); }
};

std::vector<workbench::RaceWriterEntry> DayWriters() { return {BlockEntry(), PrintEntry()}; }

int Count(std::string_view text, std::string_view what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string_view::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

/// The numbers that follow each `mark`, up to the first character that is not a digit.
std::vector<int> NumbersAfter(std::string_view text, std::string_view mark) {
    std::vector<int> out;
    for (auto at = text.find(mark); at != std::string_view::npos; at = text.find(mark, at + 1)) {
        auto p = at + mark.size();
        int n = 0;
        while (p < text.size() && text[p] >= '0' && text[p] <= '9') n = n * 10 + (text[p++] - '0');
        out.push_back(n);
    }
    return out;
}

/// The race numbers of the block headings, and of the print page's race lines, in file order.
std::vector<int> BlockRaces(std::string_view text) { return NumbersAfter(text, "<h2><strong>"); }
std::vector<int> PrintRaces(std::string_view text) { return NumbersAfter(text, "<p class=\"mt5 ml8 lh20\">\r\n<b>"); }

/// The race each green navigation cell links to.
std::vector<int> GreenCells(std::string_view text) {
    std::vector<int> out;
    for (auto at = text.find("\"bgnabygreen\""); at != std::string_view::npos;
         at = text.find("\"bgnabygreen\"", at + 1)) {
        const std::string_view link = text.substr(text.find("_r", at) + 2);
        out.push_back(std::stoi(std::string(link.substr(0, link.find('.')))));
    }
    return out;
}

/// Race n of a meeting day (14 digits) with two runners, horse 2 ranked first unless `ranked` is
/// false; `runners` 0 makes a race without runners.
workbench::RaceState DayRace(std::string_view meeting, int n, int runners = 2, bool ranked = true) {
    const std::string number = (n < 10 ? "0" : "") + std::to_string(n);
    std::vector<webfixture::Runner> field;
    std::vector<int> rank;
    for (int h = 1; h <= runners; ++h) {
        field.push_back({std::to_string(h), "ウマ" + std::to_string(h), "牡", "04", "55.0", "騎手", "調教師"});
        rank.push_back(ranked ? (h == 2 ? 1 : h == 1 ? 2 : h) : 2 + h % 2);  // unranked: 3 runners or more
    }
    workbench::RaceState race = webfixture::Race(std::string(meeting) + number, field, rank);
    webfixture::SetTitle(race, "1" + number + "0", "芝", "1600");
    webfixture::SetTickets(race, {"0201"}, {});
    return race;
}

constexpr std::string_view kDayA = "20240106060508";  // nakayama
constexpr std::string_view kDayB = "20240107060509";  // nakayama, the next date
constexpr std::string_view kDayC = "20240106080101";  // a course without romaji
constexpr std::string_view kDayD = "20240106090101";  // another one on the same date

class DayFilesTest : public ::testing::Test {
protected:
    testsupport::TempAppFolder dir;
    void SetUp() override {
        fs::create_directories(dir / "tarnel_paddy_wp");
        fs::create_directories(dir / "tarnel_paddy_yosou");
    }
};

TEST_F(DayFilesTest, GoldenDayFiles) {
    // Day A: race 1 (the hostile race), race 2 (two runners), then day B's race 12 (three runners),
    // then day A's race 12 without runners.
    dir.Write("webexport.ini", webfixture::kFullSettings);
    workbench::RaceState a1 = webfixture::HostileRace("2024010606050801");
    workbench::RaceState a2 = DayRace(kDayA, 2);
    webfixture::SetTitle(a2, "1005", "ダ", "1200");
    const workbench::RaceState b12 = webfixture::ThreeRunnerRace();
    const workbench::RaceState a12 = DayRace(kDayA, 12, 0);
    {
        BatchRun run(DayWriters());
        run.Write(a1);
        run.Write(a2);
        run.Write(b12);
        run.Write(a12);
    }
    struct Case {
        std::string_view file, golden;
    };
    const Case cases[] = {
        {"tarnel_paddy_wp/20240106-nakayama.txt", "day_a_block.txt"},
        {"tarnel_paddy_wp/20240106_nakayama_pdf.txt", "day_a_pdf.txt"},
        {"tarnel_paddy_wp/20240107-nakayama.txt", "day_b_block.txt"},
        {"tarnel_paddy_wp/20240107_nakayama_pdf.txt", "day_b_pdf.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.golden));
        const std::string expected = webfixture::Golden(c.golden);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(dir.Read(c.file), expected);
    }
    int files = 0;
    for ([[maybe_unused]] const auto& f : fs::directory_iterator(dir / "tarnel_paddy_wp")) ++files;
    EXPECT_EQ(files, 4);  // no scratch file left
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt"));
}

TEST_F(DayFilesTest, VisitingOrder) {
    struct Visit {
        std::string_view meeting;  // empty: a new run of the batch begins
        int race = 0;
        int runners = 2;
        bool ranked = true;
    };
    struct Day {
        std::string_view block, print;
        std::vector<int> races;  // blocks and sections, in file order
        bool finish;
        int headRace;  // the race the print page's heading names
    };
    struct Case {
        std::string_view name;
        std::vector<Visit> visits;
        std::vector<Day> days;
    };
    const std::string_view blockA = "20240106-nakayama.txt", printA = "20240106_nakayama_pdf.txt";
    const std::string_view blockB = "20240107-nakayama.txt", printB = "20240107_nakayama_pdf.txt";
    std::vector<Visit> oneToTwelve, twelveBeforeEleven;
    for (int r = 1; r <= 12; ++r) oneToTwelve.push_back({kDayA, r});
    for (const int r : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 11}) twelveBeforeEleven.push_back({kDayA, r});
    const Case cases[] = {
        {"1 to 12", oneToTwelve, {{blockA, printA, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, true, 1}}},
        {"1 to 3", {{kDayA, 1}, {kDayA, 2}, {kDayA, 3}}, {{blockA, printA, {1, 2, 3}, false, 1}}},
        {"12 alone", {{kDayA, 12}}, {{blockA, printA, {12}, true, 12}}},
        {"races apart",
         {{kDayA, 1}, {kDayA, 2}, {kDayB, 1}, {kDayA, 3}, {kDayB, 2}},
         {{blockA, printA, {1, 2, 3}, false, 1}, {blockB, printB, {1, 2}, false, 1}}},
        {"12 before 11", twelveBeforeEleven, {{blockA, printA, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 11}, true, 1}}},
        {"12 without runners", {{kDayA, 1}, {kDayA, 12, 0}}, {{blockA, printA, {1}, true, 1}}},
        {"12 without runners first", {{kDayA, 12, 0}, {kDayA, 1}}, {{blockA, printA, {1}, true, 12}}},
        {"no runner ranked first",
         {{kDayA, 1}, {kDayA, 2, 3, false}, {kDayA, 3}},
         {{blockA, printA, {1, 3}, false, 1}}},
        {"second run", {{kDayA, 1}, {kDayA, 12}, {}, {kDayA, 3}}, {{blockA, printA, {3}, false, 3}}},
        {"two days of one name",
         {{kDayC, 1}, {kDayD, 1}, {kDayC, 2}},
         {{"20240106-.txt", "20240106__pdf.txt", {1, 1, 2}, false, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name));
        fs::remove_all(dir / "tarnel_paddy_wp");
        fs::create_directories(dir / "tarnel_paddy_wp");
        auto run = std::make_unique<BatchRun>(DayWriters());
        for (const Visit& v : c.visits) {
            if (v.meeting.empty()) run = std::make_unique<BatchRun>(DayWriters());
            else run->Write(DayRace(v.meeting, v.race, v.runners, v.ranked));
        }
        for (const Day& day : c.days) {
            const std::string block = dir.Read("tarnel_paddy_wp/" + std::string(day.block));
            const std::string print = dir.Read("tarnel_paddy_wp/" + std::string(day.print));

            EXPECT_EQ(BlockRaces(block), day.races);
            EXPECT_EQ(Count(block, "<!-- wp:heading -->"), static_cast<int>(day.races.size()));
            EXPECT_EQ(Count(block, "Finish"), day.finish ? 1 : 0);
            EXPECT_TRUE(block.ends_with(day.finish ? "<!-- /wp:table -->\r\nFinish\r\n"
                                                   : "</figure>\r\n<!-- /wp:table -->\r\n"));

            // Head once, the sections in visiting order, each with its own green cell, the foot once.
            EXPECT_EQ(print.rfind("<!DOCTYPE html>\r\n\r\n<html>\r\n", 0), 0u);
            EXPECT_EQ(Count(print, "<!DOCTYPE"), 1);
            EXPECT_EQ(NumbersAfter(print, "日｜"), (std::vector<int>{day.headRace}));
            EXPECT_EQ(PrintRaces(print), day.races);
            EXPECT_EQ(GreenCells(print), day.races);
            const int sections = static_cast<int>(day.races.size());
            EXPECT_EQ(Count(print, "<table class=\"raceList\">"), sections);
            EXPECT_EQ(Count(print, "<table class=\"raceDetail\">"), sections);
            // Each section begins on the line after the one before; the foot follows the last.
            EXPECT_EQ(Count(print, "</table>\r\n<table class=\"raceList\">"), sections > 0 ? sections - 1 : 0);
            const std::string_view beforeFoot = sections > 0 ? "</table>\r\n<!--// maincol--></div>\r\n"
                                                             : "</div><!--// yosounavi-->\r\n\r\n<!--// maincol--></div>";
            EXPECT_EQ(Count(print, beforeFoot), 1);
            EXPECT_TRUE(print.ends_with("</div><!--// wraptop-->\r\n\r\n</body>\r\n</html>\r\n"));
            EXPECT_EQ(Count(print, "</html>"), 1);
        }
    }
}

TEST_F(DayFilesTest, BlockHeadingTakesTheTitleTablesRaceNumber) {
    // The block's heading reads the race number of the title table, "Finish" and the print page the
    // race's own number.
    workbench::RaceState race = DayRace(kDayA, 12);
    race.RaceInfo[3] = "07";
    {
        BatchRun run(DayWriters());
        run.Write(race);
    }
    const std::string block = dir.Read("tarnel_paddy_wp/20240106-nakayama.txt");
    EXPECT_EQ(block.rfind("<!-- wp:heading -->\r\n<h2><strong>7R 芝 1600m 発走 11：20</strong></h2>\r\n", 0), 0u);
    EXPECT_TRUE(block.ends_with("\r\nFinish\r\n"));
    EXPECT_EQ(PrintRaces(dir.Read("tarnel_paddy_wp/20240106_nakayama_pdf.txt")), std::vector<int>{12});
}

TEST_F(DayFilesTest, AFailedRaceLeavesTheFileAndTheNextRaceKeepsTheDay) {
    // For one race a folder stands where the scratch file of one day file goes.
    struct Case {
        std::string_view writer, file;
        int failing;                 // the race whose rewrite fails
        std::vector<int> afterNext;  // the races the file holds after the next race
    };
    const std::string_view block = "tarnel_paddy_wp/20240106-nakayama.txt";
    const std::string_view print = "tarnel_paddy_wp/20240106_nakayama_pdf.txt";
    const Case cases[] = {
        {"WriteDayBlockText", block, 3, {1, 2, 4}},
        {"WriteDayPrintPage", print, 3, {1, 2, 4}},
        // The day's first write fails: last week's file stays, and the next race starts the day.
        {"WriteDayBlockText", block, 1, {4}},
        {"WriteDayPrintPage", print, 1, {4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.writer) + " at race " + std::to_string(c.failing));
        fs::remove_all(dir / "tarnel_paddy_wp");
        fs::remove(dir / "ERRORLOG.txt");
        dir.Write(block, "last week\r\n");
        dir.Write(print, "last week\r\n");
        int calls = 0;
        struct Counting final : workbench::RaceWriter {
            int* calls;
            explicit Counting(int* c) : calls(c) {}
            void WriteRace(workbench::RaceContext&) override { ++*calls; }
        };
        BatchRun run({BlockEntry(), PageEntry(), PrintEntry(),
                      {"Next", [&] { return std::make_unique<Counting>(&calls); }}});
        for (int r = 1; r < c.failing; ++r) run.Write(DayRace(kDayA, r));
        const std::string before = dir.Read(c.file);
        const fs::path scratch = dir / (std::string(c.file) + ".partial");
        fs::create_directories(scratch);
        run.Write(DayRace(kDayA, c.failing));

        EXPECT_EQ(dir.Read(c.file), before);
        const std::string errors = dir.Read("ERRORLOG.txt");
        EXPECT_NE(errors.find(std::string(c.writer) + " 20240106060508 " + std::string(c.file) + ": "),
                  std::string::npos)
            << errors;
        EXPECT_EQ(Count(errors, "\n"), 1) << errors;  // the race's other writers did not fail
        EXPECT_EQ(calls, c.failing);
        EXPECT_TRUE(dir.Exists("tarnel_paddy_yosou/20240106_nakayama_r" + std::to_string(c.failing) + ".txt"));
        const std::string other = dir.Read(c.file == block ? print : block);
        EXPECT_EQ((c.file == block ? PrintRaces(other) : BlockRaces(other)).back(), c.failing)
            << "the other day writer wrote the race";

        fs::remove(scratch);
        run.Write(DayRace(kDayA, 4));
        const std::string after = dir.Read(c.file);
        EXPECT_EQ(c.file == block ? BlockRaces(after) : PrintRaces(after), c.afterNext);
        EXPECT_EQ(after.find("last week"), std::string::npos);
    }
}

TEST_F(DayFilesTest, WhatCannotNameADayFileFailsTheRace) {
    struct Case {
        std::string_view name;
        std::string meetingKey;    // empty: the race's own
        std::string_view codeRows; // empty: the fixture's code table
        bool folder;
    };
    const Case cases[] = {
        {"meeting key of 13 digits", "2024010606050", "", true},
        {"meeting key with a slash", "202401060605/8", "", true},
        {"romaji that leaves the folder", "", "2001,06,x,x,中山,x,../naka,x\r\n", true},
        {"no tarnel_paddy_wp", "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name));
        fs::remove_all(dir / "tarnel_paddy_wp");
        if (c.folder) fs::create_directories(dir / "tarnel_paddy_wp");
        workbench::RaceState race = DayRace(kDayA, 1);
        if (!c.meetingKey.empty()) race.MeetingKey = c.meetingKey;
        const common::CodeTable codes =
            c.codeRows.empty() ? webfixture::Codes() : common::CodeTable::FromCp932(common::ToCp932(c.codeRows));
        for (const auto* entry : {&BlockEntry(), &PrintEntry()}) {
            SCOPED_TRACE(std::string(entry->Name));
            common::DayFiles dayFiles;
            workbench::DayTallies tallies;
            workbench::WriterNotes notes;
            workbench::BatchLog log;
            const auto writer = entry->Make();
            workbench::RaceContext context{race, tallies, notes, dayFiles, codes, log, entry->Name};
            try {
                writer->WriteRace(context);
                ADD_FAILURE() << "no failure";
            } catch (const std::runtime_error& e) {
                EXPECT_EQ(std::string(e.what()).rfind(std::string(entry->Name) + " " + race.MeetingKey, 0), 0u)
                    << e.what();
            }
        }
        EXPECT_EQ(fs::exists(dir / "tarnel_paddy_wp"), c.folder);
        if (c.folder) {
            EXPECT_TRUE(fs::is_empty(dir / "tarnel_paddy_wp"));
        }
        EXPECT_FALSE(fs::exists(dir / "naka"));
    }
}

}  // namespace
