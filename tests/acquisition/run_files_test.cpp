#include "acquisition/run_files.h"

#include <cstdint>
#include <random>
#include <string_view>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "acquisition/structure_fixtures.h"
#include "common/record_file.h"
#include "records/keys.h"
#include "records/record.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

using namespace structuretest;
using Strings = std::vector<std::string>;

// One placement: the run (race number, horse number, racecourse) and the record's version date.
struct Placement {
    const char* raceNum;
    const char* umaban;
    const char* makeDate;
    const char* jyo = "05";
};

struct PlaceCase {
    const char* what;
    std::vector<Placement> placements;  // tagged p1, p2, ... in this order
    Strings after;
};

TEST(HorseRuns, PlacesEachVersionByTheRunFileRule) {
    const std::vector<PlaceCase> cases = {
        {"a newer version takes the place of the stored one",
         {{"01", "03", "20241008"}, {"05", "07", "20241008"}, {"01", "03", "20241010"}}, {"p3", "p2"}},
        {"a version of the same date replaces too", {{"01", "03", "20241010"}, {"01", "03", "20241010"}}, {"p2"}},
        {"an older version is added at the end", {{"01", "03", "20241010"}, {"01", "03", "20241008"}}, {"p1", "p2"}},
        {"held twice, both not later: the first is replaced",
         {{"01", "03", "20241010"}, {"01", "03", "20241008"}, {"01", "03", "20241012"}}, {"p3", "p2"}},
        {"held twice, only the second not later: the second is replaced",
         {{"01", "03", "20241010"}, {"01", "03", "20241008"}, {"01", "03", "20241009"}}, {"p1", "p3"}},
        {"another horse number is another run", {{"01", "03", "20241010"}, {"01", "04", "20241010"}}, {"p1", "p2"}},
        {"another race number is another run", {{"01", "03", "20241010"}, {"02", "03", "20241010"}}, {"p1", "p2"}},
        {"the racecourse does not tell runs apart",
         {{"01", "03", "20241010", "05"}, {"01", "03", "20241010", "06"}}, {"p2"}},
    };
    for (const PlaceCase& c : cases) {
        std::vector<std::string> records;
        for (std::size_t k = 0; k < c.placements.size(); ++k) {
            const Placement& p = c.placements[k];
            records.push_back(Se('2', "20241012", p.jyo, p.raceNum, p.umaban, "2019100001",
                                 "p" + std::to_string(k + 1), p.makeDate));
        }
        acquisition::HorseRuns runs;
        for (const std::string& r : records) runs.Place(r);
        EXPECT_EQ(SeTags(runs.Bytes()), c.after) << c.what;
        EXPECT_EQ(runs.Count(), c.after.size()) << c.what;
    }
}

// The rule as it was first written: each record's run key made as a string and compared whole.
std::string PlacedByStringKeys(const std::vector<std::string>& records) {
    struct Run {
        std::string identity;
        std::int64_t version;
        std::string_view record;
    };
    std::vector<Run> runs;
    for (const std::string& record : records) {
        std::string buffer;
        const std::string key =
            records::RunKey(records::RecordView<records::LayoutSE>(acquisition::RecordAsRead(record, buffer)));
        const std::string_view identity = records::RunIdentity(key);
        const std::int64_t version = records::RunVersion(key);
        bool placed = false;
        for (Run& run : runs) {
            if (run.identity == identity && run.version <= version) {
                run.version = version;
                run.record = record;
                placed = true;
                break;
            }
        }
        if (!placed) runs.push_back(Run{std::string(identity), version, record});
    }
    std::string bytes;
    for (const Run& run : runs) bytes.append(run.record);
    return bytes;
}

// Runs held in place must tell runs apart exactly as whole string keys did: zero bytes in a key
// field (read as blanks), blank fields, and short records whose keys stop early.
TEST(HorseRuns, PlacesAsWholeStringKeysDo) {
    const std::string zeros(2, '\0');
    const std::vector<std::string> umabans = {"01", "02", "  ", zeros};
    const std::vector<std::string> makeDates = {"20241008", "20241010", "2024101 ", "        ", std::string(8, '\0')};
    const std::vector<std::size_t> cuts = {555, 555, 555, 555, 40, 31, 30, 29, 12, 8, 3};
    std::mt19937 random(36);
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<std::string> records;
        const int count = 1 + static_cast<int>(random() % 12);
        for (int k = 0; k < count; ++k) {
            std::string record = Se('2', random() % 2 ? "20241012" : "20241013", "05", random() % 2 ? "01" : "02",
                                    umabans[random() % umabans.size()], random() % 4 ? "2019100001" : "2019100002",
                                    "p" + std::to_string(k + 1), makeDates[random() % makeDates.size()]);
            records.push_back(record.substr(0, cuts[random() % cuts.size()]));
        }
        acquisition::HorseRuns runs;
        for (const std::string& r : records) runs.Place(r);
        ASSERT_EQ(runs.Bytes(), PlacedByStringKeys(records)) << "trial " << trial;
    }
}

TEST(JoinAdjacent, JoinsViewsThatFollowOneAnotherInMemoryOnly) {
    const std::string_view bytes = "aaabbbcccddd";
    const std::string_view a = bytes.substr(0, 3), b = bytes.substr(3, 3), c = bytes.substr(6, 3),
                           d = bytes.substr(9, 3);
    const struct {
        std::vector<std::string_view> records;
        std::vector<std::string_view> pieces;
    } cases[] = {
        {{}, {}},
        {{a}, {a}},
        {{a, b, c, d}, {bytes}},
        {{a, c, d}, {a, bytes.substr(6)}},
        {{b, a}, {b, a}},                      // in memory order only
        {{a, a}, {a, a}},                      // the same record twice is not joined
        {{a, b, d, c}, {bytes.substr(0, 6), d, c}},
    };
    for (const auto& c : cases) {
        const std::vector<std::string_view> pieces = acquisition::JoinAdjacent(c.records);
        ASSERT_EQ(pieces.size(), c.pieces.size());
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_EQ(pieces[i].data(), c.pieces[i].data());
            EXPECT_EQ(pieces[i].size(), c.pieces[i].size());
        }
    }
}

struct RunFileWeek {
    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    std::vector<std::string> se;

    RunFileWeek() {
        folder.Write("KETTONUMTHISWEEKN.dat",
                     "\"2019100001\"\r\n\"2019100002\"\r\n\"../ESCAPE1\"\r\n\"12345\"\r\n\"2019100003\"\r\n");
        se = {
            Se('2', "20241012", "05", "01", "03", "2019100001", "x-kind2", "20241008"),
            Se('7', "20240915", "06", "04", "08", "2019100001", "older-run", "20240916"),
            Se('4', "20241012", "05", "01", "03", "2019100001", "x-kind4", "20241010"),
            Se('9', "20241013", "05", "02", "05", "2019100001", "cancelled", "20241011"),
            Se('2', "20241012", "05", "03", "01", "../ESCAPE1", "escape"),
            Se('2', "20241012", "05", "03", "02", "2019100003", "h3"),
            Se('2', "20241012", "05", "03", "04", "2019999999", "not-listed"),
        };
        folder.Write("SETHISWEEKNNEW.dat", Join(se));
        folder.Write("UMAGOTOTHISWEEKN/2019100001.dat", "last week's runs of a listed horse");
        folder.Write("UMAGOTOTHISWEEKN/2018000009.dat", "last week's runs of an unlisted horse");
    }
};

TEST(RebuildHorseRunFiles, EveryListedHorseGetsItsRunsAndNothingElseChanges) {
    RunFileWeek week;
    const acquisition::RunFileSummary summary = acquisition::RebuildHorseRunFiles(week.host, "test step");

    // The kind 4 version took the kind 2 one's place; the cancelled run is written like any other.
    EXPECT_EQ(week.folder.Read("UMAGOTOTHISWEEKN/2019100001.dat"), week.se[2] + week.se[1] + week.se[3]);
    EXPECT_EQ(week.folder.Read("UMAGOTOTHISWEEKN/2019100003.dat"), week.se[5]);
    EXPECT_TRUE(week.folder.Exists("UMAGOTOTHISWEEKN/2019100002.dat"));  // listed, no runs: empty
    EXPECT_EQ(week.folder.Read("UMAGOTOTHISWEEKN/2019100002.dat"), "");
    EXPECT_EQ(week.folder.Read("UMAGOTOTHISWEEKN/2018000009.dat"), "last week's runs of an unlisted horse");
    EXPECT_FALSE(week.folder.Exists("UMAGOTOTHISWEEKN/2019999999.dat"));

    EXPECT_EQ(summary.listedHorses, 5);
    EXPECT_EQ(summary.filesWritten, 3);
    EXPECT_EQ(summary.horsesPassedOver, 2);
    EXPECT_EQ(summary.runnerRecords, 7);
    EXPECT_EQ(summary.recordsPlaced, 5);
    EXPECT_EQ(summary.filesUnchanged, 0);
    bool pumped = false;
    for (const auto& call : week.host.calls) pumped = pumped || call.what == "pumpEvents";
    EXPECT_TRUE(pumped);
}

TEST(RebuildHorseRunFiles, AFileThatHoldsItsRunsAlreadyIsLeftAlone) {
    RunFileWeek week;
    acquisition::RebuildHorseRunFiles(week.host, "test step");
    const auto inode = [&](const char* name) {
        struct stat st {};
        ::stat((week.folder / name).c_str(), &st);
        return st.st_ino;
    };
    const auto before1 = inode("UMAGOTOTHISWEEKN/2019100001.dat");
    const auto before3 = inode("UMAGOTOTHISWEEKN/2019100003.dat");

    // Horse 3's run gets a newer version; horse 1's runs stay as they were.
    week.se[5] = Se('4', "20241012", "05", "03", "02", "2019100003", "h3-new", "20241011");
    week.folder.Write("SETHISWEEKNNEW.dat", Join(week.se));
    const acquisition::RunFileSummary again = acquisition::RebuildHorseRunFiles(week.host, "test step");

    EXPECT_EQ(again.filesWritten, 3);
    EXPECT_EQ(again.filesUnchanged, 2);  // horses 1 and 2
    EXPECT_EQ(inode("UMAGOTOTHISWEEKN/2019100001.dat"), before1);
    EXPECT_NE(inode("UMAGOTOTHISWEEKN/2019100003.dat"), before3);
    EXPECT_EQ(week.folder.Read("UMAGOTOTHISWEEKN/2019100003.dat"), week.se[5]);
    EXPECT_EQ(week.folder.Read("UMAGOTOTHISWEEKN/2019100001.dat"), week.se[2] + week.se[1] + week.se[3]);
}

TEST(RebuildHorseRunFiles, BadRegistrationNumbersNeverBecomePaths) {
    RunFileWeek week;
    acquisition::RebuildHorseRunFiles(week.host, "test step");

    EXPECT_FALSE(week.folder.Exists("ESCAPE1.dat"));
    EXPECT_FALSE(std::filesystem::exists(week.folder.Path().parent_path() / "ESCAPE1.dat"));
    EXPECT_FALSE(week.folder.Exists("UMAGOTOTHISWEEKN/12345.dat"));
    const std::string log = week.folder.Read("ERRORLOG.txt");
    EXPECT_NE(log.find("[test step]"), std::string::npos) << log;
    EXPECT_NE(log.find("../ESCAPE1"), std::string::npos) << log;
    EXPECT_NE(log.find("\"12345\" of KETTONUMTHISWEEKN.dat"), std::string::npos) << log;
}

// A sorted runner file cut inside a record, or with bytes added: the whole records before are
// placed, and the bytes after them are logged and counted as passed over, not lost on the way.
TEST(RebuildHorseRunFiles, BytesAfterTheLastWholeRecordAreTold) {
    for (const std::size_t tail : {std::size_t{300}, std::size_t{1}}) {
        SCOPED_TRACE(tail);
        testsupport::TempAppFolder folder;
        testsupport::RecordingHost host;
        folder.Write("KETTONUMTHISWEEKN.dat", "\"2019100001\"\r\n");
        const std::string first = Se('2', "20241012", "05", "01", "03", "2019100001", "r1");
        const std::string second = Se('2', "20241012", "05", "02", "03", "2019100001", "r2");
        folder.Write("SETHISWEEKNNEW.dat", first + second.substr(0, tail));

        const acquisition::RunFileSummary summary = acquisition::RebuildHorseRunFiles(host, "test step");

        EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/2019100001.dat"), first);
        EXPECT_EQ(summary.recordsPassedOver, 1);
        EXPECT_NE(folder.Read("ERRORLOG.txt").find("[test step] " + (folder / "SETHISWEEKNNEW.dat").string() + ": " +
                                                   std::to_string(tail) + " bytes after record 1 are not a whole record"),
                  std::string::npos)
            << folder.Read("ERRORLOG.txt");
    }
}

TEST(RebuildHorseRunFiles, MakesTheRunFolderWhenItIsMissing) {
    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    folder.Write("KETTONUMTHISWEEKN.dat", "\"2019100001\"\r\n");
    const std::string record = Se('2', "20241012", "05", "01", "03", "2019100001", "r");
    folder.Write("SETHISWEEKNNEW.dat", record);
    acquisition::RebuildHorseRunFiles(host, "test step");
    EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/2019100001.dat"), record);
}

// The run files as the record-by-record procedure makes them: for every runner record, for every
// listed horse it belongs to, open the horse's file, read its stored records, write the record
// over the first one of the same run whose version date is not later, else append it. Run keys
// are cut at the documented positions: MakeDate 4-11, Year and MonthDay 12-19, RaceNum 26-27,
// Umaban 29-30, KettoNum 31-40.
void RecordByRecord(const std::filesystem::path& folder, const Strings& list, const std::string& runners) {
    auto runKey = [](std::string_view r) {
        return std::string(r.substr(3, 8)) + std::string(r.substr(11, 8)) + std::string(r.substr(25, 2)) +
               std::string(r.substr(28, 2)) + std::string(r.substr(30, 10));
    };
    for (const std::string& horse : list) {
        common::RecordFile file(folder / (horse + ".dat"), kSeLength);
        file.Remove();
        file.RewriteAll({});
    }
    for (std::size_t at = 0; at + kSeLength <= runners.size(); at += kSeLength) {
        const std::string r = runners.substr(at, kSeLength);
        const std::string key = runKey(r);
        for (const std::string& horse : list) {
            if (r.substr(30, 10) != horse) continue;
            common::RecordFile file(folder / (horse + ".dat"), kSeLength);
            const std::int64_t m = file.Count();
            std::int64_t target = m + 1;
            for (std::int64_t k = 1; k <= m; ++k) {
                const std::string stored = runKey(file.Read(k));
                if (stored.substr(8) == key.substr(8) && std::stoll(stored.substr(0, 8)) <= std::stoll(key.substr(0, 8))) {
                    target = k;
                    break;
                }
            }
            file.Write(target, r);
        }
    }
}

TEST(RebuildHorseRunFiles, SameBytesAsTheRecordByRecordProcedure) {
    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    std::mt19937 random(81224);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto two = [](int n) { return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10); };

    Strings list;
    for (int h = 0; h < 30; ++h) list.push_back("20191" + std::to_string(10000 + h).substr(0, 5));
    std::string listFile;
    for (const std::string& h : list) listFile += "\"" + h + "\"\r\n";
    folder.Write("KETTONUMTHISWEEKN.dat", listFile);

    // Few runs per horse and few version dates, so that versions meet often, older ones included.
    std::string runners;
    for (int k = 0; k < 2000; ++k) {
        const int horse = pick(32);  // 30 and 31 are not listed
        const std::string ketto = horse < 30 ? list[static_cast<std::size_t>(horse)] : "2019299999";
        const std::string date = "202410" + two(1 + pick(4));
        const std::string made = "202410" + two(1 + pick(9));
        runners += Se(static_cast<char>('1' + pick(7)), date, two(1 + pick(10)), two(1 + pick(3)),
                      two(1 + pick(2)), ketto, "r" + std::to_string(k), made);
    }
    folder.Write("SETHISWEEKNNEW.dat", runners);

    std::filesystem::create_directories(folder / "REFERENCE");
    RecordByRecord(folder / "REFERENCE", list, runners);
    acquisition::RebuildHorseRunFiles(host, "test step");

    std::size_t compared = 0;
    for (const std::string& h : list) {
        const std::string expected = folder.Read("REFERENCE/" + h + ".dat");
        EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/" + h + ".dat"), expected) << h;
        compared += expected.size() / kSeLength;
    }
    EXPECT_GT(compared, 1000u);  // the fixture really holds runs
}

}  // namespace
