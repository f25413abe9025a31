#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/code_table.h"
#include "common/encoding.h"
#include "common/record_file.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "records/decoders.h"
#include "records/fields.h"
#include "records/keys.h"
#include "records/week_record_file.h"
#include "workbench/race_detail.h"
#include "workbench/race_horse_record.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// Runs a command line; returns its exit status.
int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::int64_t Records(const fs::path& file, std::size_t length) { return common::RecordFile(file, length).Count(); }

class WeekrunProgram : public ::testing::Test {
protected:
    std::string Command(const std::string& steps, const std::string& log = "weekrun.log", bool quiet = true) {
        return std::string(WEEKRUN_PROGRAM) + " --app " + dir.Path().string() + " --settings " +
               (dir / "no-settings").string() + (quiet ? " --quiet " : " ") + steps + " 2>" + (dir / log).string();
    }
    testsupport::TempAppFolder dir;
};

TEST_F(WeekrunProgram, RunsTheWeeksStepsOnASmallDemoWeek) {
    ASSERT_EQ(RunCommand(std::string(DEMOWEEK_PROGRAM) + " " + dir.Path().string() +
                  " --small --state after --date 20251101 >/dev/null"),
              0);
    ASSERT_EQ(RunCommand(Command("fetch structures cancel dayfix compute odds odds-tables")), 0) << dir.Read("weekrun.log");
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt")) << dir.Read("ERRORLOG.txt");

    // fetch: the five week files.
    EXPECT_GT(Records(dir / "RATHISWEEKN.dat", 1272), 0);
    EXPECT_GT(Records(dir / "SETHISWEEKN.dat", 555), 0);
    EXPECT_GT(Records(dir / "UMTHISWEEKN.dat", 1609), 0);
    EXPECT_GT(Records(dir / "KSTHISWEEKN.dat", 4161), 0);
    EXPECT_GT(Records(dir / "HRTHISWEEKN.dat", 719), 0);

    // structures and cancel: the sorted files, the horse list and one run file per listed horse.
    EXPECT_GT(Records(dir / "RATHISWEEKNNEW.dat", 1272), 0);
    EXPECT_EQ(dir.Read("RATHISWEEKNNEW.dat").size() % 1272, 0u);
    const auto horses = common::SplitLines(dir.Read("KETTONUMTHISWEEKN.dat"));
    ASSERT_FALSE(horses.empty());
    for (const std::string& line : horses) {
        const std::string key = line.substr(1, 10);  // "<KettoNum>"
        EXPECT_TRUE(dir.Exists("UMAGOTOTHISWEEKN/" + key + ".dat")) << key;
        // compute: the horse's expanded runs, this week's run first among them.
        const std::string expanded = dir.Read("UMAGOTOEXTHISWEEKN/" + key + "EX.dat");
        EXPECT_GT(expanded.size(), 0u) << key;
        EXPECT_EQ(expanded.size() % 2603, 0u) << key;
    }
    // The week's cancelled race is marked in the full copy and gone from the working copy.
    const std::string full = dir.Read("RATHISWEEKNNEWd.dat");
    const std::string working = dir.Read("RATHISWEEKNNEW.dat");
    auto kindNine = [](const std::string& file) {
        int n = 0;
        for (std::size_t at = 0; at + 1272 <= file.size(); at += 1272) n += file[at + 2] == '9';
        return n;
    };
    EXPECT_GT(kindNine(full), 0);
    EXPECT_EQ(kindNine(working), 0);

    // odds and odds-tables: the line files and four tables per race with odds.
    EXPECT_GT(fs::file_size(dir / "O6THISWEEKN.dat"), 0u);
    int tables = 0;
    for (const auto& entry : fs::directory_iterator(dir / "KAIME")) tables += entry.path().filename().string().ends_with("ODDS.dat");
    EXPECT_GT(tables, 0);
    EXPECT_EQ(tables % 4, 0);
}

// Bytes that are no record at all, the same every run.
std::string Junk(std::size_t size) {
    std::mt19937 random(20251101);
    std::string out(size, '\0');
    for (char& c : out) c = static_cast<char>(random() & 0xFF);
    return out;
}

// Every file under a folder by its relative path, but the data service's folder and the logs.
std::map<std::string, std::string> Files(const testsupport::TempAppFolder& folder) {
    std::map<std::string, std::string> out;
    for (const auto& entry : fs::recursive_directory_iterator(folder.Path())) {
        if (!entry.is_regular_file()) continue;
        const std::string name = fs::relative(entry.path(), folder.Path()).string();
        if (name.starts_with("jvdata/") || name.ends_with(".log") || name == "ERRORLOG.txt") continue;
        out[name] = folder.Read(name);
    }
    return out;
}

// The week's road with 16 MB of junk appended to every week record file before each step reads it
// (and some to every run file): each step logs the file, the record where the junk begins and
// that the rest was not read, and everything the steps write is what they write from the whole
// records alone. The damaged files begin with what they held without the junk.
TEST_F(WeekrunProgram, JunkAppendedToTheWeekFilesChangesNothingThatTheStepsWrite) {
    const std::string demoweek = std::string(DEMOWEEK_PROGRAM) + " --small --state after --date 20251101 ";
    testsupport::TempAppFolder clean;
    ASSERT_EQ(RunCommand(demoweek + clean.Path().string() + " >/dev/null"), 0);
    ASSERT_EQ(RunCommand(std::string(WEEKRUN_PROGRAM) + " --app " + clean.Path().string() + " --settings " +
                         (clean / "no-settings").string() + " --quiet fetch structures cancel dayfix compute batch >/dev/null 2>" +
                         (clean / "weekrun.log").string()),
              0)
        << clean.Read("weekrun.log");
    ASSERT_FALSE(clean.Exists("ERRORLOG.txt")) << clean.Read("ERRORLOG.txt");

    ASSERT_EQ(RunCommand(demoweek + dir.Path().string() + " >/dev/null"), 0);
    const std::string junk = Junk(16u << 20);
    std::set<std::string> damaged;
    auto append = [&](const std::string& name, std::string_view bytes) {
        std::ofstream(dir / name, std::ios::binary | std::ios::app).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        damaged.insert(name);
    };
    auto appendToRunFiles = [&] {
        for (const auto& entry : fs::directory_iterator(dir / "UMAGOTOTHISWEEKN"))
            append("UMAGOTOTHISWEEKN/" + entry.path().filename().string(), std::string_view(junk).substr(0, 4000));
    };
    // Each step but the fetch passes records over, and says so: weekrun then ends in 1.
    auto run = [&](const std::string& step, int status) {
        EXPECT_EQ(RunCommand(Command(step) + " >/dev/null"), status) << step << ": " << dir.Read("weekrun.log");
    };

    run("fetch", 0);
    for (const char* name : {"RATHISWEEKN.dat", "SETHISWEEKN.dat", "UMTHISWEEKN.dat", "KSTHISWEEKN.dat", "HRTHISWEEKN.dat"})
        append(name, junk);
    run("structures", 1);
    // Not the full copies: cancellation leaves a damaged full copy, and what it would make of it,
    // as they are (its own tests show that).
    for (const char* name : {"RATHISWEEKNNEW.dat", "SETHISWEEKNNEW.dat", "UMTHISWEEKNNEW.dat"}) append(name, junk);
    appendToRunFiles();
    run("cancel", 1);
    // Cancellation rewrites the working copies and the run files from the whole records. Not the
    // run files before the fix: one with bytes after its runs is told and left as it was, unfixed
    // (the engine tests show it), so what is made from it would rightly differ.
    std::erase_if(damaged, [](const std::string& name) { return name.starts_with("UMAGOTOTHISWEEKN/"); });
    for (const char* name : {"RATHISWEEKNNEW.dat", "SETHISWEEKNNEW.dat"}) append(name, junk);
    run("dayfix", 1);
    run("compute", 1);
    run("batch", 1);

    const std::map<std::string, std::string> expected = Files(clean);
    const std::map<std::string, std::string> got = Files(dir);
    for (const auto& [name, bytes] : expected) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(got.contains(name));
        if (name == "SETHISWEEKN.dat") {
            // With damaged records the fetched runner file stays as it was, records of kind "1" too.
            EXPECT_EQ(got.at(name).size() % 555, (16u << 20) % 555);
        } else if (damaged.contains(name)) {
            EXPECT_EQ(got.at(name).substr(0, bytes.size()), bytes);
            EXPECT_GT(got.at(name).size(), bytes.size());
        } else {
            EXPECT_TRUE(got.at(name) == bytes);
        }
    }
    EXPECT_EQ(got.size(), expected.size());  // no file of a horse or race out of the junk

    const std::string log = dir.Read("ERRORLOG.txt");
    for (const char* entry : {"[BuildWeekStructures] ", "[ApplyRaceCancellations] ", "[FixPreviousDay] ",
                              "[BuildExRecords] ", "[WeeklyYosoBatch] "}) {
        const std::size_t at = log.find(entry);
        ASSERT_NE(at, std::string::npos) << entry << log;
        EXPECT_NE(log.find("the records after it are shifted: the rest of the file (", at), std::string::npos) << entry;
    }
    EXPECT_NE(log.find("[BuildWeekStructures] " + (dir / "UMTHISWEEKN.dat").string() + " record "), std::string::npos);
}

// Without --settings weekrun reads the settings file of the folder it works on and no other: not
// another application folder's, nor one in the user's configuration folder.
TEST_F(WeekrunProgram, ReadsTheSettingsOfItsOwnFolderOnly) {
    testsupport::TempAppFolder week;
    ASSERT_EQ(RunCommand(std::string(DEMOWEEK_PROGRAM) + " " + week.Path().string() + " --small >/dev/null"), 0);
    const std::string servingTheWeek = "root=" + (week / "jvdata").string() + "\npace=0\n";
    week.Write("JVLINKSETTINGS.txt", servingTheWeek);
    week.Write("config/talmor7-jvlink/settings", servingTheWeek);
    week.Write(".config/talmor7-jvlink/settings", servingTheWeek);
    const std::string fetch = "HOME=" + week.Path().string() + " XDG_CONFIG_HOME=" + (week / "config").string() + " " +
                              WEEKRUN_PROGRAM + " --app " + dir.Path().string() + " --quiet fetch 2>" +
                              (dir / "weekrun.log").string();

    RunCommand(fetch);  // this folder has no data of its own
    EXPECT_EQ(Records(dir / "RATHISWEEKN.dat", 1272), 0) << dir.Read("weekrun.log");

    dir.Write("JVLINKSETTINGS.txt", servingTheWeek);
    ASSERT_EQ(RunCommand(fetch), 0) << dir.Read("weekrun.log");
    EXPECT_GT(Records(dir / "RATHISWEEKN.dat", 1272), 0) << dir.Read("weekrun.log");
}

TEST_F(WeekrunProgram, DemoweekRefusesAFolderWithTheUsersOwnWeights) {
    dir.Write("OPTION1N/KYOSOBA.dat", "the user's own");
    const std::string demoweek = std::string(DEMOWEEK_PROGRAM) + " " + dir.Path().string() + " --small";
    EXPECT_NE(RunCommand(demoweek + " >/dev/null 2>" + (dir / "demoweek.log").string()), 0);
    EXPECT_NE(dir.Read("demoweek.log").find("--replace-supplied"), std::string::npos) << dir.Read("demoweek.log");
    EXPECT_EQ(dir.Read("OPTION1N/KYOSOBA.dat"), "the user's own");
    EXPECT_FALSE(dir.Exists("jvdata"));

    ASSERT_EQ(RunCommand(demoweek + " --replace-supplied >/dev/null"), 0);
    EXPECT_NE(dir.Read("OPTION1N/KYOSOBA.dat"), "the user's own");
}

// The keys that end the lines of a text (the race list) or stand quoted at their start (the week
// files), in order.
std::vector<std::string> KeysAtEnd(const std::string& text) {
    std::vector<std::string> keys;
    for (const std::string& line : common::SplitLines(text))
        if (line.size() >= 12) keys.push_back(line.substr(line.size() - 12));
    return keys;
}
/// The quoted fields of a written line, quotes removed.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    common::WrittenFieldReader reader(line);
    std::string value;
    while (reader.Next(value)) fields.push_back(value);
    return fields;
}
std::vector<std::string> QuotedKeys(const std::string& text) {
    std::vector<std::string> keys;
    for (const std::string& line : common::SplitLines(text)) keys.push_back(line.substr(1, 12));
    return keys;
}

// ⑥ without the window, after the week's other steps, on a small week of three courses a day,
// whose payouts come course by course in another order than the sorted race file's.
class WeekrunBatch : public WeekrunProgram, public ::testing::WithParamInterface<const char*> {
protected:
    /// The small demo week of three courses in `state`, through the steps up to the batch, with
    /// nothing passed over.
    void RunWeekThroughBatch(const std::string& state) {
        ASSERT_EQ(RunCommand(std::string(DEMOWEEK_PROGRAM) + " " + dir.Path().string() + " --small --courses 3 --state " +
                             state + " >/dev/null"),
                  0);
        ASSERT_EQ(RunCommand(Command("fetch structures compute batch") + " >/dev/null"), 0) << dir.Read("weekrun.log");
        EXPECT_FALSE(dir.Exists("ERRORLOG.txt")) << dir.Read("ERRORLOG.txt");
    }

    /// The listed races' numbers by meeting day, in list order.
    std::map<std::string, std::vector<std::string>> RaceNumbersByDay() const {
        std::map<std::string, std::vector<std::string>> byDay;
        for (const std::string& id : common::SplitLines(dir.Read("SOKUDO/RACEID.txt")))
            byDay[id.substr(0, 14)].push_back(id.substr(14, 2));
        return byDay;
    }

    /// A second batch writes every file of the first run again with the same bytes.
    void ExpectASecondBatchRewritesAlike(const std::map<std::string, std::string>& firstRun) {
        ASSERT_EQ(RunCommand(Command("batch") + " >/dev/null"), 0) << dir.Read("weekrun.log");
        for (const auto& [file, bytes] : firstRun) EXPECT_EQ(dir.Read(file), bytes) << file;
        EXPECT_FALSE(dir.Exists("ERRORLOG.txt")) << dir.Read("ERRORLOG.txt");
    }
};

TEST_P(WeekrunBatch, ListsEveryRaceOnceWithItsRunnerFileAndTitle) {
    const std::string state = GetParam();
    ASSERT_EQ(RunCommand(std::string(DEMOWEEK_PROGRAM) + " " + dir.Path().string() + " --small --courses 3 --state " +
                         state + " >/dev/null"),
              0);
    ASSERT_EQ(RunCommand(Command("fetch structures compute batch", "weekrun.log", false) + " >" + (dir / "list.txt").string()), 0)
        << dir.Read("weekrun.log");
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt")) << dir.Read("ERRORLOG.txt");
    const std::string log = dir.Read("weekrun.log");
    EXPECT_NE(log.find("[Text5] 予想･結果を開始しました。しばらくお待ちください。。数分かかります。\n"), std::string::npos);
    EXPECT_NE(log.find("[Text5] 予想･結果終了\n"), std::string::npos) << log;

    // The race list as List1 shows it, each race once, in the order of RACETHISWEEKN.dat.
    const std::vector<std::string> listed = KeysAtEnd(dir.Read("list.txt"));
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(QuotedKeys(dir.Read("RACETHISWEEKN.dat")), listed);
    EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()).size(), listed.size());
    const bool after = state == "after";
    for (const std::string& line : common::SplitLines(dir.Read("list.txt")))
        EXPECT_EQ(line.substr(line.size() - 12 - (after ? 11 : 10), after ? 11 : 10), after ? "R          " : "R         ");

    // One title line and one race identifier per listed race, the same race on the same line.
    const std::vector<std::string> titled = QuotedKeys(dir.Read("RACETHISWEEKNSYOSAI.dat"));
    EXPECT_EQ(std::multiset<std::string>(titled.begin(), titled.end()), std::multiset<std::string>(listed.begin(), listed.end()));
    std::vector<std::string> ids = common::SplitLines(dir.Read("SOKUDO/RACEID.txt"));
    ASSERT_EQ(ids.size(), titled.size());
    for (std::size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(ids[i].substr(0, 10) + ids[i].substr(14, 2), titled[i]);
    if (after) {
        // The payouts: one record more than races (one delivered twice), in another order than
        // the race file's.
        EXPECT_EQ(Records(dir / "HRTHISWEEKN.dat", 719), static_cast<std::int64_t>(listed.size()) + 1);
        EXPECT_NE(titled, listed);
    } else {
        EXPECT_EQ(titled, listed);
    }

    // Each listed race's runner file: every runner has this week's race in element 0.
    for (const std::string& key : listed) {
        const std::string file = dir.Read("RACE/" + key + ".dat");
        ASSERT_GT(file.size(), 0u) << key;
        ASSERT_EQ(file.size() % 24022, 0u) << key;
        for (std::size_t at = 0; at < file.size(); at += 24022) {
            const std::string runner = file.substr(at, 24022);
            if (runner.substr(24020) != "\r\n") continue;  // no horse at this number
            EXPECT_EQ(runner.substr(0, 10) + runner.substr(14, 2), key) << key << " horse " << at / 24022 + 1;
        }
    }

    // Each listed race's KAIME files and its five betting files: a runner line per horse number,
    // every pair and trio of them, at most 7 quinella and 10 trio tickets.
    const common::CodeTable codes = common::CodeTable::FromFile(dir / "JRACODE/CodeTable.csv");
    for (const std::string& key : listed) {
        SCOPED_TRACE(key);
        const std::size_t n = dir.Read("RACE/" + key + ".dat").size() / 24022;
        const std::size_t pairs = n * (n - 1) / 2, trios = n * (n - 1) * (n - 2) / 6;
        const auto lines = [&](const std::string& file) {
            EXPECT_TRUE(dir.Exists(file)) << file;
            return common::SplitLines(dir.Read(file)).size();
        };
        EXPECT_EQ(lines("KAIME/" + key + ".dat"), n + pairs + trios);
        EXPECT_EQ(lines("KAIME/" + key + "SORT.dat"), n);
        EXPECT_EQ(lines("KAIME/" + key + "LUPSORT.dat"), n);
        EXPECT_EQ(lines("KAIME/" + key + "UMARENSORT.dat"), pairs);
        EXPECT_EQ(lines("KAIME/" + key + "UMATANSORT.dat"), pairs);
        EXPECT_EQ(lines("KAIME/" + key + "SANRENSORT.dat"), trios);
        EXPECT_EQ(lines("KAIME/" + key + "SANRENTANSORT.dat"), trios);
        const std::string name =
            key.substr(2, 6) + codes.LookupCode("2001", key.substr(8, 2), 4) + key.substr(10, 2) + "R.csv";
        EXPECT_EQ(lines("UMAREN/" + name), std::min<std::size_t>(7, pairs));
        EXPECT_EQ(lines("WIDE/" + name), std::min<std::size_t>(3, pairs));
        EXPECT_EQ(lines("UMATAN/" + name), 2 * std::min<std::size_t>(7, pairs));
        EXPECT_EQ(lines("SANRENPUKU/" + name), std::min<std::size_t>(10, trios));
        EXPECT_EQ(lines("SANRENTAN/" + name), 6 * std::min<std::size_t>(10, trios));
    }
}

// After the results, one pair of rate files per meeting day, titled by the day, over the day's
// highest race number; before the races, none.
TEST_P(WeekrunBatch, WritesTheDayRateFilesAfterTheResults) {
    const std::string state = GetParam();
    ASSERT_NO_FATAL_FAILURE(RunWeekThroughBatch(state));

    // The meeting days of the week and their highest race numbers, from the race identifiers.
    std::map<std::string, int> days;
    for (const std::string& id : common::SplitLines(dir.Read("SOKUDO/RACEID.txt"))) {
        ASSERT_EQ(id.size(), 16u);
        int& highest = days[id.substr(0, 14)];
        highest = std::max(highest, std::stoi(id.substr(14, 2)));
    }
    ASSERT_GT(days.size(), 1u);
    std::set<std::string> rateFiles;
    for (const auto& entry : fs::directory_iterator(dir / "TEKICHU")) {
        const std::string name = entry.path().filename().string();
        if (name.find("kaiteki") != std::string::npos) rateFiles.insert(name);
    }
    if (state == "before") {
        EXPECT_TRUE(rateFiles.empty());
        return;
    }
    std::set<std::string> expected;
    for (const auto& [day, highest] : days) {
        SCOPED_TRACE(day);
        expected.insert(day + "kaiteki.txt");
        expected.insert(day + "kaitekiPC.txt");
        const std::vector<std::string> tier = common::SplitLines(dir.Read("TEKICHU/" + day + "kaiteki.txt"));
        const std::vector<std::string> pc = common::SplitLines(dir.Read("TEKICHU/" + day + "kaitekiPC.txt"));
        ASSERT_EQ(tier.size(), 9u);
        ASSERT_EQ(pc.size(), 8u);
        // Year, month and day, meeting and day of the meeting without leading zeros; the course
        // name between them.
        const std::string title = common::FromCp932(tier[0]);
        EXPECT_EQ(common::FromCp932(pc[0]), title);
        EXPECT_TRUE(title.starts_with("\"" + day.substr(0, 4) + "年\",\"" + day.substr(4, 2) + "月\",\"" + day.substr(6, 2) +
                                      "日\",\"" + std::to_string(std::stoi(day.substr(10, 2))) + "回\",\""))
            << title;
        EXPECT_TRUE(title.ends_with("\",\"" + std::to_string(std::stoi(day.substr(12, 2))) + "日目\"")) << title;
        std::string races = "\"予想R数\"";
        for (int k = 0; k < 11; ++k) races += "," + std::to_string(highest);
        EXPECT_EQ(common::FromCp932(pc[2]), races);
    }
    EXPECT_EQ(rateFiles, expected);
}


// The result report of every meeting day: one block per listed race under that race's own title,
// and a second batch writes the same bytes.
TEST_P(WeekrunBatch, WritesTheResultReportOfEveryMeetingDay) {
    const std::string state = GetParam();
    const bool after = state == "after";
    ASSERT_NO_FATAL_FAILURE(RunWeekThroughBatch(state));

    // Each listed race's title line: its race number (column 1) and its name (column 4).
    std::map<std::string, std::string> titleOf;
    for (const std::string& line : common::SplitLines(dir.Read("RACETHISWEEKNSYOSAI.dat"))) titleOf[line.substr(1, 12)] = line;
    const auto raceNumbersByDay = RaceNumbersByDay();
    ASSERT_GT(raceNumbersByDay.size(), 1u);

    std::map<std::string, std::string> firstRun;
    for (const auto& [day, raceNums] : raceNumbersByDay) {
        SCOPED_TRACE(day);
        const std::string lup = "TEKICHU/" + day + (after ? "lupRCM.txt" : "lup.txt");
        ASSERT_TRUE(dir.Exists(lup));
        EXPECT_EQ(dir.Exists("TEKICHU/" + day + "tekichu.txt"), after);
        firstRun[lup] = dir.Read(lup);
        if (after) firstRun["TEKICHU/" + day + "tekichu.txt"] = dir.Read("TEKICHU/" + day + "tekichu.txt");
        const std::vector<std::string> lines = common::SplitLines(dir.Read(lup));
        ASSERT_GE(lines.size(), 2u);
        EXPECT_TRUE(lines[0].starts_with("\"DY\",\"1\",\"" + day.substr(0, 8) + "\""));
        std::vector<std::string> rcRaceNums;
        for (const std::string& line : lines) {
            if (!line.starts_with("\"RC\"")) continue;
            const std::vector<std::string> f = Fields(line);
            ASSERT_EQ(f.size(), 12u) << line;
            rcRaceNums.push_back(f[3]);
            // The title row's race number and post time are those of the race itself.
            const std::vector<std::string> title = Fields(titleOf[day.substr(0, 10) + f[3]]);
            ASSERT_GE(title.size(), 5u);
            EXPECT_EQ(f[1], title[1]);
            EXPECT_EQ(f[2], title[2]);
            EXPECT_EQ(f[5], title[4].empty() ? f[6] : title[4]);
        }
        EXPECT_EQ(rcRaceNums, raceNums);
        if (after) {
            const std::vector<std::string> table = common::SplitLines(dir.Read("TEKICHU/" + day + "tekichu.txt"));
            EXPECT_EQ(table.size(), 2 + 4 * raceNums.size());
        }
    }
    ExpectASecondBatchRewritesAlike(firstRun);
}

// The race card of every meeting day: one block per listed race, in list order, its runner lines
// one per horse number; after the results every race's own payouts; a second batch writes the
// same bytes.
TEST_P(WeekrunBatch, WritesTheRaceCardOfEveryMeetingDay) {
    const std::string state = GetParam();
    const bool after = state == "after";
    ASSERT_NO_FATAL_FAILURE(RunWeekThroughBatch(state));

    const auto raceNumbersByDay = RaceNumbersByDay();
    ASSERT_GT(raceNumbersByDay.size(), 1u);

    std::map<std::string, std::string> firstRun;
    int hitLines = 0;  // a race may hit nothing in the tiers, the week not
    for (const auto& [day, raceNums] : raceNumbersByDay) {
        SCOPED_TRACE(day);
        const std::string card = "SHUTSUBAHYO/" + day + (after ? "mmkRCM.txt" : "mmk.txt");
        ASSERT_TRUE(dir.Exists(card));
        EXPECT_FALSE(dir.Exists("SHUTSUBAHYO/" + day + (after ? "mmk.txt" : "mmkRCM.txt")));
        firstRun[card] = dir.Read(card);
        const std::vector<std::string> lines = common::SplitLines(dir.Read(card));
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[0], "\"DY\",\"1\",\"" + day.substr(0, 8) + "\"");
        EXPECT_TRUE(lines[1].starts_with("\"PL\",\"1\",\"" + std::to_string(std::stoi(day.substr(10, 2))) + "\","));

        // The blocks: tags in their order, and per race the counts of its lines.
        std::vector<std::string> rcRaceNums;
        std::string raceNum;
        std::map<std::string, int> count;
        auto close = [&] {
            if (raceNum.empty()) return;
            const std::string key = day.substr(0, 10) + raceNum;
            const int runners = static_cast<int>(dir.Read("RACE/" + key + ".dat").size() / 24022);
            EXPECT_EQ(count["HS"], runners) << key;
            EXPECT_EQ(count["K1"] + count["K2"] + count["K3"] + count["S1"] + count["S2"] + count["S3"], 6) << key;
            // Every race of the after state has its payouts in the week's payout file.
            EXPECT_EQ(count["KK"] + count["KS"], after ? 2 : 0) << key;
            if (!after) {
                EXPECT_EQ(count["AT"] + count["CM"], 0) << key;
            }
            hitLines += count["AT"] + count["CM"];
            count.clear();
        };
        for (std::size_t i = 2; i < lines.size(); ++i) {
            const std::vector<std::string> f = Fields(lines[i]);
            ASSERT_FALSE(f.empty());
            if (f[0] == "RC") {
                close();
                EXPECT_EQ(f.size(), after ? 13u : 12u) << lines[i];
                raceNum = f[3];
                rcRaceNums.push_back(raceNum);
            } else if (f[0] == "HS") {
                EXPECT_EQ(f.size(), after ? 19u : 16u) << lines[i];
            } else if (f[0] == "K1" || f[0] == "K2" || f[0] == "K3") {
                EXPECT_EQ(f.size(), 8u) << lines[i];
            } else if (f[0] == "S1" || f[0] == "S2" || f[0] == "S3") {
                EXPECT_EQ(f.size(), 9u) << lines[i];
            }
            ++count[f[0]];
        }
        close();
        EXPECT_EQ(rcRaceNums, raceNums);
    }
    EXPECT_EQ(hitLines > 0, after);
    ExpectASecondBatchRewritesAlike(firstRun);
}

// The PC-variant day report of every meeting day: fifteen ticket lines per race, the hit table's
// rows under the race numbers of the day report, the day rates counting the table's hits, and a
// second batch writing the same bytes.
TEST_P(WeekrunBatch, WritesThePcDayReportOfEveryMeetingDay) {
    const std::string state = GetParam();
    const bool after = state == "after";
    ASSERT_EQ(RunCommand(std::string(DEMOWEEK_PROGRAM) + " " + dir.Path().string() + " --small --courses 3 --state " +
                         state + " >/dev/null"),
              0);
    ASSERT_EQ(RunCommand(Command("fetch structures compute batch") + " >/dev/null"), 0) << dir.Read("weekrun.log");
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt")) << dir.Read("ERRORLOG.txt");

    std::map<std::string, std::vector<std::string>> raceNumbersByDay;
    for (const std::string& id : common::SplitLines(dir.Read("SOKUDO/RACEID.txt")))
        raceNumbersByDay[id.substr(0, 14)].push_back(id.substr(14, 2));
    ASSERT_GT(raceNumbersByDay.size(), 1u);

    std::map<std::string, std::string> firstRun;
    std::int64_t hitsOfTheWeek = 0;
    for (const auto& [day, raceNums] : raceNumbersByDay) {
        SCOPED_TRACE(day);
        const std::string lup = "TEKICHU/" + day + (after ? "lupRCMPC.txt" : "lupPC.txt");
        const std::string table = "TEKICHU/" + day + "tekichuPC.txt";
        ASSERT_TRUE(dir.Exists(lup));
        EXPECT_FALSE(dir.Exists("TEKICHU/" + day + (after ? "lupPC.txt" : "lupRCMPC.txt")));
        EXPECT_EQ(dir.Exists(table), after);
        firstRun[lup] = dir.Read(lup);
        const std::vector<std::string> lines = common::SplitLines(dir.Read(lup));
        // Each race: its "RC" line, then the fifteen ticket tags in their order after its runners.
        static const std::vector<std::string> kTags = {"TF1", "TF2", "UF1", "UF2", "UBX", "S11", "S12", "S1A",
                                                       "S21", "S22", "S2A", "S31", "S32", "S3A", "SBX"};
        std::vector<std::string> rcRaceNums;
        std::size_t tag = kTags.size();
        for (const std::string& line : lines) {
            const std::vector<std::string> f = Fields(line);
            ASSERT_FALSE(f.empty());
            if (f[0] == "RC") {
                EXPECT_EQ(tag, kTags.size()) << "a race before " << line << " lacks ticket lines";
                EXPECT_EQ(f.size(), after ? 13u : 12u) << line;
                rcRaceNums.push_back(f[3]);
                tag = 0;
            } else if (f[0].size() == 3) {
                ASSERT_LT(tag, kTags.size()) << line;
                EXPECT_EQ(f[0], kTags[tag]) << line;
                ++tag;
            }
        }
        EXPECT_EQ(tag, kTags.size());
        EXPECT_EQ(rcRaceNums, raceNums);
        if (!after) continue;

        // The hit table: title, header, then per race 点数, 的中目, 配当, each race captioned with
        // the race number of its own "RC" line.
        firstRun[table] = dir.Read(table);
        const std::vector<std::string> rows = common::SplitLines(dir.Read(table));
        ASSERT_GE(rows.size(), 2u);
        ASSERT_EQ((rows.size() - 2) % 3, 0u);
        std::vector<std::string> captioned;
        std::vector<std::int64_t> hits(11, 0);
        for (std::size_t r = 2; r + 2 < rows.size(); r += 3) {
            const std::vector<std::string> counts = Fields(rows[r]);
            ASSERT_EQ(counts.size(), 12u);
            const std::string caption = common::FromCp932(counts[0]);
            EXPECT_TRUE(caption.ends_with("R点数  ")) << caption;
            captioned.push_back(caption.substr(0, 2));
            const std::vector<std::string> kumi = Fields(rows[r + 1]);
            ASSERT_EQ(kumi.size(), 12u);
            for (std::size_t k = 0; k < 11; ++k) hits[k] += kumi[k + 1].empty() ? 0 : 1;
        }
        // Races whose payout record is their own: here, all the day's races.
        EXPECT_EQ(captioned, rcRaceNums);
        // The day rates count the same hits.
        const std::vector<std::string> pc = common::SplitLines(dir.Read("TEKICHU/" + day + "kaitekiPC.txt"));
        ASSERT_EQ(pc.size(), 8u);
        const std::vector<std::string> hitRaces = Fields(pc[3]);
        ASSERT_EQ(hitRaces.size(), 12u);
        for (std::size_t k = 0; k < 11; ++k) {
            EXPECT_EQ(hitRaces[k + 1], std::to_string(hits[k])) << "kind " << k;
            hitsOfTheWeek += hits[k];
        }
    }
    if (after) {
        EXPECT_GT(hitsOfTheWeek, 0);
    }
    ASSERT_EQ(RunCommand(Command("batch") + " >/dev/null"), 0) << dir.Read("weekrun.log");
    for (const auto& [file, bytes] : firstRun) EXPECT_EQ(dir.Read(file), bytes) << file;
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt")) << dir.Read("ERRORLOG.txt");
}

// The labelled day report beside the result report of the same run: race by race the same race,
// runner and payout lines, and after the results the same hits, told in words; the speed file of
// each date holds a line for every listed race with runners, in list order.
TEST_P(WeekrunBatch, WritesTheLabelledReportAndTheSpeedFilesOfTheWeek) {
    const std::string state = GetParam();
    const bool after = state == "after";
    ASSERT_NO_FATAL_FAILURE(RunWeekThroughBatch(state));
    const auto raceNumbersByDay = RaceNumbersByDay();
    ASSERT_GT(raceNumbersByDay.size(), 1u);

    /// The lines of a report by race: each race's lines from its "RC" line on, by tag.
    struct RaceLines {
        std::vector<std::string> same;               // RC, HS, KK, KS as written
        std::vector<std::vector<std::string>> hits;  // the AT lines' fields
    };
    auto byRace = [&](const std::string& file) {
        std::vector<RaceLines> races;
        for (const std::string& line : common::SplitLines(dir.Read(file))) {
            const std::vector<std::string> f = Fields(line);
            if (f.empty()) continue;
            if (f[0] == "RC") races.emplace_back();
            if (races.empty()) continue;
            if (f[0] == "RC" || f[0] == "HS" || f[0] == "KK" || f[0] == "KS") races.back().same.push_back(line);
            if (f[0] == "AT") races.back().hits.push_back(f);
        }
        return races;
    };
    const std::map<std::string, std::string> kBetWords = {
        {"1", "馬連"}, {"2", "ワイド"}, {"3", "ワイド"}, {"4", "ワイド"}, {"5", "馬単"}, {"6", "3連複"}, {"7", "3連単"}};

    std::size_t hitsOfTheWeek = 0;
    std::set<std::string> withRunners;
    for (const auto& [day, raceNums] : raceNumbersByDay) {
        SCOPED_TRACE(day);
        const std::string twi = "TEKICHU/" + day + (after ? "twiRCM.txt" : "twi.txt");
        ASSERT_TRUE(dir.Exists(twi));
        EXPECT_FALSE(dir.Exists("TEKICHU/" + day + (after ? "twi.txt" : "twiRCM.txt")));
        const std::vector<RaceLines> labelled = byRace(twi);
        const std::vector<RaceLines> lup = byRace("TEKICHU/" + day + (after ? "lupRCM.txt" : "lup.txt"));
        ASSERT_EQ(labelled.size(), raceNums.size());
        ASSERT_EQ(lup.size(), raceNums.size());
        for (std::size_t r = 0; r < raceNums.size(); ++r) {
            SCOPED_TRACE("race " + raceNums[r]);
            EXPECT_EQ(labelled[r].same, lup[r].same);
            std::map<std::string, std::vector<std::string>> lupHits;
            for (const auto& f : lup[r].hits) lupHits[f[1]] = f;
            std::size_t matched = 0;
            for (const auto& f : labelled[r].hits) {
                ASSERT_EQ(f.size(), 6u);
                const auto it = lupHits.find(f[1]);
                if (it == lupHits.end()) {
                    // Only a fourth or later ワイド hit has no line in the result report.
                    EXPECT_EQ(common::FromCp932(f[2]), "ワイド") << "hit " << f[1];
                    continue;
                }
                ++matched;
                const std::vector<std::string>& l = it->second;
                EXPECT_EQ(common::FromCp932(f[2]), kBetWords.at(l[2])) << "hit " << f[1];
                EXPECT_EQ(f[3], l[3]) << "hit " << f[1];
                EXPECT_EQ(f[4], l[4]) << "hit " << f[1];
                EXPECT_EQ(f[5], l[5]) << "hit " << f[1];
            }
            EXPECT_EQ(matched, lupHits.size());
            hitsOfTheWeek += matched;
            if (!after) {
                EXPECT_TRUE(labelled[r].hits.empty());
            }
            const bool runners = std::any_of(labelled[r].same.begin(), labelled[r].same.end(),
                                             [](const std::string& line) { return line.starts_with("\"HS\""); });
            if (runners) withRunners.insert(day + raceNums[r]);
        }
    }
    EXPECT_EQ(hitsOfTheWeek > 0, after);

    // Every race listed with its runners has its line in its date's speed file, in the order the
    // batch took the races (that of its race list).
    std::map<std::string, std::string> idOfKey;
    for (const std::string& id : withRunners) idOfKey[id.substr(0, 10) + id.substr(14, 2)] = id;
    std::map<std::string, std::vector<std::string>> idsByDate;
    for (const std::string& key : QuotedKeys(dir.Read("RACETHISWEEKN.dat")))
        if (idOfKey.count(key)) idsByDate[key.substr(0, 8)].push_back(idOfKey[key]);
    ASSERT_FALSE(idsByDate.empty());
    for (const auto& [date, ids] : idsByDate) {
        std::vector<std::string> written;
        for (const std::string& line : common::SplitLines(dir.Read("SOKUDO/HR" + date + ".csv"))) {
            EXPECT_EQ(line.find_first_not_of("0123456789,"), std::string::npos) << line;
            written.push_back(line.substr(0, 16));
        }
        EXPECT_EQ(written, ids) << date;
    }
}

INSTANTIATE_TEST_SUITE_P(BothStates, WeekrunBatch, ::testing::Values("before", "after"));

// Race day: the week taken through ⑥ before the races, then the stand-in's news of the results
// written into the same folder; breaking-payouts brings the results into the runner files, and a
// new click on a race shows them.
TEST_F(WeekrunProgram, RaceDayMergesTheBreakingResultsIntoTheRunnerFiles) {
    const std::string demoweek = std::string(DEMOWEEK_PROGRAM) + " " + dir.Path().string() + " --small --courses 3";
    ASSERT_EQ(RunCommand(demoweek + " --state before >/dev/null"), 0);
    ASSERT_EQ(RunCommand(Command("fetch structures compute batch") + " >" + (dir / "list.txt").string()), 0)
        << dir.Read("weekrun.log");
    const std::vector<std::string> lines = common::SplitLines(dir.Read("list.txt"));
    ASSERT_FALSE(lines.empty());
    std::map<std::string, std::string> before;
    for (const std::string& key : KeysAtEnd(dir.Read("list.txt"))) before[key] = dir.Read("RACE/" + key + ".dat");
    ASSERT_EQ(RunCommand(demoweek + " --state after --replace-supplied >/dev/null"), 0);

    ASSERT_EQ(RunCommand(Command("breaking-payouts", "payouts.log", false)), 0) << dir.Read("payouts.log");
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt")) << dir.Read("ERRORLOG.txt");
    EXPECT_NE(dir.Read("payouts.log").find("[Breaking Text1] 速報払戻等取得を開始します。。。。。\n"
                                           "[Breaking Text1] 速報払戻等取得及び処理完了\n"),
              std::string::npos)
        << dir.Read("payouts.log");

    // What the stand-in delivers, read from its own folder: the runners and payouts of each race
    // date, the win odds of each race; the last record of a runner decides.
    struct Fields {
        std::string nyusen, ninki, odds, time, l3;
    };
    std::map<std::pair<std::string, int>, Fields> expected;
    std::map<std::string, std::string> lastPayout;  // race key -> raw HR record
    std::int64_t payoutRecords = 0;
    for (const auto& entry : fs::directory_iterator(dir / "jvdata/realtime/0B12")) {
        for (const std::string& record : common::SplitLines(common::ReadFileBytes(entry.path()))) {
            if (record.starts_with("SE")) {
                records::RecordSE se;
                records::DecodeSE(record, se);
                Fields& f = expected[{records::RaceKey12Of(se), std::stoi(std::string(se.Get(records::se::Umaban)))}];
                f = {std::string(se.Get(records::se::NyusenJyuni)), std::string(se.Get(records::se::Ninki)),
                     std::string(se.Get(records::se::Odds)), std::string(se.Get(records::se::Time)),
                     std::string(se.Get(records::se::HaronTimeL3))};
            } else if (record.starts_with("HR")) {
                records::RecordHR hr;
                records::DecodeHR(record, hr);
                lastPayout[records::RaceKey12Of(hr)] = record;
                ++payoutRecords;
            }
        }
    }
    for (const auto& entry : fs::directory_iterator(dir / "jvdata/realtime/0B30")) {
        for (const std::string& record : common::SplitLines(common::ReadFileBytes(entry.path()))) {
            if (!record.starts_with("O1")) continue;
            records::RecordO1 o1;
            records::DecodeO1(record, o1);
            for (int e = 0; e < 28; ++e) {
                const std::string umaban(o1.Get(records::o1::TansyoUmaban, e));
                if (umaban == "  " || umaban == "00") continue;
                Fields& f = expected[{records::RaceKey12Of(o1), std::stoi(umaban)}];
                f.ninki = o1.Get(records::o1::TansyoNinki, e);
                f.odds = o1.Get(records::o1::TansyoOdds, e);
            }
        }
    }
    ASSERT_FALSE(expected.empty());
    ASSERT_GT(payoutRecords, 0);
    EXPECT_EQ(Records(dir / "HRRIALTIME.dat", 719), payoutRecords);

    // Each runner record: the five fields of this race as delivered, every other byte as ⑥ wrote it.
    int changed = 0;
    for (const auto& [key, file] : before) {
        SCOPED_TRACE(key);
        const std::string after = dir.Read("RACE/" + key + ".dat");
        ASSERT_EQ(after.size(), file.size());
        for (std::size_t at = 0; at < file.size(); at += 24022) {
            const int h = static_cast<int>(at / 24022) + 1;
            workbench::RaceHorseRecord want = workbench::RaceHorseRecord::FromBytes(std::string_view(file).substr(at, 24022));
            if (const auto it = expected.find({key, h}); it != expected.end()) {
                const Fields& f = it->second;
                if (!f.nyusen.empty()) {
                    want.Set(workbench::rh::NyusenJyuni, f.nyusen);
                    want.Set(workbench::rh::SohaTime, f.time);
                    want.Set(workbench::rh::HaronTimeL3, f.l3);
                }
                want.Set(workbench::rh::Ninki, f.ninki);
                want.Set(workbench::rh::TanOdds, f.odds);
            }
            EXPECT_EQ(want.Bytes(), std::string_view(after).substr(at, 24022)) << "horse " << h;
            changed += after.compare(at, 24022, file, at, 24022) != 0;
        }
    }
    EXPECT_GT(changed, 0);

    // A new click on each race: the finishing order and popularity in the factor grid, the win
    // payout of the breaking payout record and the light yellow title.
    int yellow = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string key = lines[i].substr(lines[i].size() - 12);
        SCOPED_TRACE(key);
        workbench::RaceDetailState state;
        const auto view = workbench::ShowRaceDetail(static_cast<int>(i), lines[i], workbench::RaceInfoTable(), state);
        ASSERT_TRUE(view);
        const int runners = static_cast<int>(before[key].size() / 24022);
        for (int h = 1; h <= runners; ++h) {
            const auto it = expected.find({key, h});
            if (it == expected.end()) continue;
            EXPECT_EQ(state.Runners.RACEDETAILGrid1.Text(h, 1), it->second.nyusen) << h;
            EXPECT_EQ(state.Runners.RACEDETAILGrid1.Text(h, 3), it->second.ninki) << h;
        }
        const auto payout = lastPayout.find(key);
        if (payout == lastPayout.end()) continue;
        records::RecordHR hr;
        records::DecodeHR(payout->second, hr);
        EXPECT_EQ(view->Title.BackColour, common::qb::kLightYellow);
        EXPECT_EQ(view->HAITOGrid1.Text(1, 1), hr.Get(records::hr::PayTansyoUmaban));
        EXPECT_EQ(common::Val(view->HAITOGrid1.Text(1, 2)), common::Val(hr.Get(records::hr::PayTansyoPay)));
        ++yellow;
    }
    EXPECT_GT(yellow, 0);
}

TEST_F(WeekrunProgram, RefusesUnknownStepsAndReportsFailedSteps) {
    EXPECT_EQ(RunCommand(Command("no-such-step")), 2);
    EXPECT_EQ(RunCommand(std::string(WEEKRUN_PROGRAM) + " --app " + (dir / "missing").string() + " fetch 2>/dev/null"), 2);
    // Structure building without any fetched week writes its failures to the error log.
    dir.Write("RATHISWEEKN.dat", std::string(100, 'x'));  // no whole record
    std::filesystem::create_directory(dir / "SETHISWEEKN.dat");  // not a file: cannot be read
    EXPECT_EQ(RunCommand(Command("structures")), 1) << dir.Read("weekrun.log");
    EXPECT_TRUE(dir.Exists("ERRORLOG.txt"));
}

// Each step run on an empty application folder has nothing to work on: its end text says so and,
// for a step whose input an earlier step writes, which steps to run first; the error log names
// what it missed, and weekrun exits with 1.
TEST(WeekrunOnAnEmptyFolder, EveryStepSaysItHadNoInput) {
    struct Case {
        std::string steps;
        std::string endText;  // the status line weekrun prints
        std::string logged;   // a line of ERRORLOG.txt
    };
    const auto note = [](std::string_view part, std::string_view runFirst) {
        return "（" + std::string(part) + "。" + (runFirst.empty() ? "" : "先に" + std::string(runFirst) + "を実行して下さい。") +
               "ERRORLOG.txtを確認して下さい。）";
    };
    const std::string none = "入力ファイルがありません";
    const std::vector<Case> cases = {
        {"fetch", "[Text1] 今週開催取得に失敗しました。ERRORLOG.txtを確認して下さい。",
         "[FetchThisWeek] the fetch ended with \"該当するデータがありません。\": the week files were kept"},
        {"structures", "[Text4] 構造体処理終了  0" + note(none, "①"), "[BuildWeekStructures] RATHISWEEKN.dat is missing"},
        {"cancel", "[Cancel Text1] 中止処理終了" + note(none, "①"), "[ApplyRaceCancellations] RATHISWEEKNNEW.dat is missing"},
        {"dayfix", "[Expansion Text1] 前日固定終了" + note(none, "①②"), "[FixPreviousDay] KETTONUMTHISWEEKN.dat is missing"},
        // Without the supplied statistics and the code table as well (no horse: no horse subset tried).
        {"compute", "[Expansion Text3] 計算終了" + note(none + "、見つからないか空の統計ファイル 6 件、処理できなかった手順 4 件", "①②"),
         "[RunComputation] KETTONUMTHISWEEKN.dat"},
        {"batch", "[Text5] 予想･結果終了" + note("対象のレースがありません、処理できなかった手順 1 件", "①②⑤"),
         "[WeeklyYosoBatch] RATHISWEEKNNEW.dat"},
        {"breaking-odds", "[Breaking Text1] 速報オッズ取得完了" + note(none, ""), "[FetchBreakingOdds] RATHISWEEKNNEW.dat is missing"},
        {"odds-tables", "[Text2] 今週のオッズ処理終了" + note(none, "今週オッズ取得"), "[BuildOddsTables] O6THISWEEKN.dat is missing"},
        {"--odds-source 1 odds-tables", "[Text3] 速報オッズ処理終了" + note(none, "Ⅱ速報オッズ情報"),
         "[BuildOddsTables] O2RIALTIME.dat is missing"},
        {"breaking-payouts",
         "[Breaking Text1] 速報払戻等取得の一部を処理できませんでした。ERRORLOG.txtを確認して下さい。"
         "（先に①②⑤⑥を実行して下さい。ERRORLOG.txtを確認して下さい。）",
         "[MergeBreakingResults] RATHISWEEKN.dat is missing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps);
        testsupport::TempAppFolder dir;
        const std::string command = std::string(WEEKRUN_PROGRAM) + " --app " + dir.Path().string() + " --settings " +
                                    (dir / "no-settings").string() + " " + c.steps + " 2>" +
                                    (dir / "weekrun.log").string();

        EXPECT_EQ(RunCommand(command), 1);

        const std::string printed = dir.Read("weekrun.log");
        EXPECT_NE(printed.find(c.endText + "\n"), std::string::npos) << printed;
        EXPECT_NE(dir.Read("ERRORLOG.txt").find(c.logged), std::string::npos) << dir.Read("ERRORLOG.txt");
    }
}

}  // namespace
