#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "acquisition/download_starter.h"
#include "acquisition/structure_building.h"
#include "acquisition/weekly_fetch.h"
#include "dataservice/local_jvlink.h"
#include "generator.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

// The road from the data service to the run files on a small generated week: the demo week is
// served by the folder-backed stand-in, fetched by the weekly fetch, and built into structures.
namespace {

using Strings = std::vector<std::string>;

// Records of a file, cut by length.
Strings Records(const std::string& bytes, std::size_t length) {
    Strings out;
    for (std::size_t at = 0; at + length <= bytes.size(); at += length) out.push_back(bytes.substr(at, length));
    return out;
}

// Keys cut at the documented positions: date 12-19, DataKubun 3, JyoCD 20-21, RaceNum 26-27,
// Umaban 29-30, KettoNum 31-40 (SE), KettoNum 12-21 and the dam's number 251-260 (UM).
std::string RaceKey(const std::string& r) { return r.substr(11, 8) + r.substr(2, 1) + r.substr(19, 2) + r.substr(25, 2); }
std::string RunnerKey(const std::string& r) { return RaceKey(r) + r.substr(28, 2) + r.substr(30, 10); }
std::string SeHorse(const std::string& r) { return r.substr(30, 10); }
std::string UmHorse(const std::string& r) { return r.substr(11, 10); }
std::string UmDam(const std::string& r) { return r.substr(250, 10); }

std::string Listed(const std::set<std::string>& keys) {
    std::string out;
    for (const std::string& k : keys) out += "\"" + k + "\"\r\n";
    return out;
}

TEST(StructureBuildingOfADemoWeek, FetchedRecordsBecomeSortedFilesListsAndRunFiles) {
    testsupport::TempAppFolder folder;
    demoweek::Options options;
    options.folder = folder.Path();
    options.scale = demoweek::SmallScale();
    options.seed = 20241012;
    const demoweek::Summary generated = demoweek::GenerateWeek(options);
    ASSERT_GT(generated.se, 0);

    // The stand-in serves AppFolder/jvdata with everything downloaded already.
    folder.Write("jvlink.settings", "pace=0\n");
    dataservice::LocalJVLink::Config config;
    config.settingsFile = folder / "jvlink.settings";
    dataservice::LocalJVLink link(std::move(config));
    testsupport::RecordingHost host;
    std::int32_t downloadCount = 0;
    std::int16_t dialogResult = 0;
    acquisition::DownloadStarter starter{link, downloadCount, dialogResult, host};
    acquisition::FetchThisWeek(starter, [](acquisition::DownloadStarter& s) { s.DialogResult = acquisition::kDownloadDone; });
    ASSERT_TRUE(host.Messages().empty()) << host.Messages().front();

    const Strings ra = Records(folder.Read("RATHISWEEKN.dat"), 1272);
    const Strings se = Records(folder.Read("SETHISWEEKN.dat"), 555);
    const Strings um = Records(folder.Read("UMTHISWEEKN.dat"), 1609);
    ASSERT_EQ(static_cast<long long>(ra.size()), generated.ra);
    ASSERT_EQ(static_cast<long long>(se.size()), generated.se);

    const acquisition::StructureSummary built = acquisition::BuildWeekStructures(host);
    EXPECT_FALSE(folder.Exists("ERRORLOG.txt")) << folder.Read("ERRORLOG.txt");
    EXPECT_EQ(host.Status(common::StatusBox::Text4), "構造体処理終了  " + std::to_string(um.size()));

    // Sorted files: every distinct key once, ascending, each record one of the fetched ones.
    struct Sorted {
        const char* working;
        const char* full;
        std::size_t length;
        const Strings& source;
        std::string (*key)(const std::string&);
    };
    for (const Sorted& s : {Sorted{"RATHISWEEKNNEW.dat", "RATHISWEEKNNEWd.dat", 1272, ra, RaceKey},
                            Sorted{"SETHISWEEKNNEW.dat", "SETHISWEEKNNEWd.dat", 555, se, RunnerKey}}) {
        const std::string bytes = folder.Read(s.working);
        EXPECT_EQ(folder.Read(s.full), bytes) << s.working;
        const std::set<std::string> sourceRecords(s.source.begin(), s.source.end());
        std::set<std::string> keys;
        for (const std::string& r : s.source) keys.insert(s.key(r));
        const Strings sorted = Records(bytes, s.length);
        ASSERT_EQ(sorted.size(), keys.size()) << s.working;
        auto key = keys.begin();
        for (const std::string& r : sorted) {
            EXPECT_EQ(s.key(r), *key++) << s.working;
            EXPECT_TRUE(sourceRecords.contains(r)) << s.working;
        }
    }
    EXPECT_EQ(built.races, generated.ra);
    EXPECT_EQ(built.runners, generated.se);

    // The lists: this week's horses and their dams, each once, ascending.
    std::set<std::string> horses, dams;
    for (const std::string& r : um) {
        horses.insert(UmHorse(r));
        dams.insert(UmDam(r));
    }
    EXPECT_EQ(static_cast<long long>(horses.size()), generated.horses);
    EXPECT_EQ(folder.Read("KETTONUMTHISWEEKN.dat"), Listed(horses));
    EXPECT_EQ(folder.Read("HAHAHANNUMTHISWEEKN.dat"), Listed(dams));
    EXPECT_EQ(Records(folder.Read("UMTHISWEEKNNEW.dat"), 1609).size(), horses.size());

    // One run file per horse with every run of the horse, in the order of the sorted runners
    // (each run arrives in one version only), so its last record is its newest run.
    std::map<std::string, std::string> runsOf;
    for (const std::string& r : Records(folder.Read("SETHISWEEKNNEW.dat"), 555)) runsOf[SeHorse(r)] += r;
    std::size_t runRecords = 0;
    for (const std::string& horse : horses) {
        const std::string file = "UMAGOTOTHISWEEKN/" + horse + ".dat";
        ASSERT_TRUE(folder.Exists(file)) << file;
        const std::string bytes = folder.Read(file);
        EXPECT_EQ(bytes, runsOf[horse]) << file;
        runRecords += bytes.size() / 555;
    }
    EXPECT_EQ(static_cast<long long>(runRecords), generated.se);  // past runs are those of this week's horses
    EXPECT_EQ(built.runFiles.filesWritten, static_cast<std::int64_t>(horses.size()));
}

}  // namespace
