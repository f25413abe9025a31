#include "reports/day_block_draft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "support/report_week.h"
#include "support/temp_folder.h"
#include "workbench/batch_log.h"
#include "workbench/race_writing.h"
#include "writers/race_writers.h"

namespace {

using reports::DayBlockDraft;
using reports::LineNotes;

std::function<std::string(LineNotes&)> Part(std::string text, std::string note) {
    return [=](LineNotes& notes) {
        notes.push_back(note);
        return text;
    };
}

std::function<std::string(LineNotes&)> Failing(std::string what) {
    return [=](LineNotes& notes) -> std::string {
        notes.push_back("lost with the failure");
        throw std::runtime_error(what);
    };
}

// The block of a new file starts with the head lines and their notes; a later block has neither,
// nor meets a failure of the head lines. Notes go after those already noted.
TEST(DayBlockDraft, TheBlockAsComposedForANewFileOrNot) {
    struct Case {
        const char* name;
        std::function<std::string(LineNotes&)> head, body;
        bool newFile;
        std::string block;  // or the failure thrown
        LineNotes notes;
    };
    const Case cases[] = {
        {"new file", Part("H", "h"), Part("B", "b"), true, "HB", {"earlier", "h", "b"}},
        {"later block", Part("H", "h"), Part("B", "b"), false, "B", {"earlier", "b"}},
        {"failed head, new file", Failing("head failed"), Part("B", "b"), true, "head failed", {}},
        {"failed head, later block", Failing("head failed"), Part("B", "b"), false, "B", {"earlier", "b"}},
        {"failed body, new file", Part("H", "h"), Failing("body failed"), true, "body failed", {}},
        {"failed body, later block", Part("H", "h"), Failing("body failed"), false, "body failed", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DayBlockDraft draft(c.head, c.body);
        LineNotes notes{"earlier"};
        if (c.notes.empty()) {
            try {
                draft.Block(c.newFile, notes);
                ADD_FAILURE() << "no failure thrown";
            } catch (const std::runtime_error& e) {
                EXPECT_EQ(e.what(), c.block);
            }
        } else {
            EXPECT_EQ(draft.Block(c.newFile, notes), c.block);
            EXPECT_EQ(notes, c.notes);
        }
    }
}

/// The log's lines without their time stamps.
std::string Unstamped(std::string_view log) {
    std::string out;
    for (std::size_t at = 0; at < log.size();) {
        const std::size_t end = std::min(log.find('\n', at), log.size() - 1) + 1;
        const std::string_view line = log.substr(at, end - at);
        out += line.substr(std::min(line.find(" ["), line.size()));
        at = end;
    }
    return out;
}

/// Every file of the folder, the log included (unstamped), after the table's writers wrote `races` in turn,
/// either drafting each race in its writers' turn or from drafts of every race made before the
/// first write, as the batch makes them on its second core.
std::map<std::string, std::string> Written(const std::vector<workbench::RaceState>& races, bool draftedAhead) {
    testsupport::TempAppFolder dir;
    for (const char* folder : {"TEKICHU", "TANFUKU", "TANFUKU2", "TANSHO", "SOKUDO", "SHUTSUBAHYO", "tarnel_paddy_yosou", "tarnel_paddy_wp"})
        std::filesystem::create_directories(dir / folder);
    const common::CodeTable codes = reportweek::Codes();
    workbench::BatchLog log;
    workbench::RaceWriting writing(writers::kRaceWriters, codes, log);
    std::vector<workbench::RaceWriting::Drafts> drafts(races.size());
    if (draftedAhead)
        for (std::size_t i = 0; i < races.size(); ++i) drafts[i] = writing.DraftRace(races[i]);
    for (std::size_t i = 0; i < races.size(); ++i) writing.WriteRace(races[i], drafts[i]);
    auto files = dir.Files();
    files["ERRORLOG.txt"] = Unstamped(files["ERRORLOG.txt"]);
    return files;
}

// What is drafted ahead is written as the writers would have made it in their turn: the day
// files' head lines only in their first block, of two interleaved days, a race written twice in a
// row (its page is not written again), and a race whose meeting key cannot name a day file.
TEST(DraftedWriters, WriteWhatTheyWouldHaveMadeInTheirTurn) {
    for (const std::int16_t mode : {0, 1}) {
        SCOPED_TRACE(mode);
        std::vector<workbench::RaceState> races = reportweek::DayA(mode);
        races.insert(races.begin() + 1, reportweek::KyotoRace(mode));
        races.push_back(races.back());
        workbench::RaceState badKey = reportweek::FourRunnerRace(mode);
        badKey.MeetingKey = "2025110105030X";
        races.push_back(badKey);

        const auto inTurn = Written(races, false);
        const auto ahead = Written(races, true);
        EXPECT_EQ(ahead, inTurn);
        EXPECT_NE(inTurn.at("ERRORLOG.txt").find("cannot name its day file"), std::string::npos);
        EXPECT_GT(inTurn.size(), 10u);
    }
}

}  // namespace
