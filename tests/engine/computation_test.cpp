#include "engine/computation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/surface.h"
#include "prediction_fixtures.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

using namespace predictionfixtures;
using engine::Surface;

// A statistics record: the key, then a filler that tells records apart, CR LF at the end.
std::string Stats(std::size_t length, std::string_view key, char filler) {
    std::string r(length, filler);
    Put(r, 1, key);
    Put(r, static_cast<int>(length) - 1, "\r\n");
    return r;
}

// A runner record with only its keys: MakeDate 4, Year 12, MonthDay 16, JyoCD 20, RaceNum 26,
// Umaban 29, KettoNum 31; CR LF at 554.
std::string Runner(std::string_view kettoNum, std::string_view date, std::string_view raceNum) {
    std::string r(555, ' ');
    Put(r, 1, "SE7");
    Put(r, 4, date);
    Put(r, 12, date);
    Put(r, 20, "05");
    Put(r, 22, "0102");
    Put(r, 26, raceNum);
    Put(r, 29, "03");
    Put(r, 31, kettoNum);
    Put(r, 554, "\r\n");
    return r;
}

class Computation : public ::testing::Test {
protected:
    void SetUp() override {
        for (Surface s : engine::kSurfaces) WriteModel(folder, s, {{1, {{"201905", 10, 58, 57, 59}}}});
        folder.Write("KETTONUMTHISWEEKN.dat", "\"2016100001\"\r\n\"2016100002\"\r\n");
        folder.Write("HAHAHANNUMTHISWEEKN.dat", "\"2005200001\"\r\n\"2005200009\"\r\n");
        folder.Write("OPTION1N/HAHAUMA.dat", Stats(402, "2005200007", 'a') + Stats(402, "2005200001", 'b') +
                                                 Stats(402, "2005200001", 'c'));
        folder.Write("OPTION1N/KYOSOBA.dat", Stats(228, "2016100002", 'd') + Stats(228, "2016100099", 'e') +
                                                 Stats(228, "2016100001", 'f'));
        std::string lastWeek;
        for (int i = 0; i < 5; ++i) lastWeek += Stats(228, "2015100000", 'o');
        folder.Write("OPTION1N/KYOSOBATHISWEEK.dat", lastWeek);
        folder.Write("UMAGOTOEXTHISWEEKN/2016100001EX.dat", std::string(2603, 'x'));
        folder.Write("UMAGOTOEXTHISWEEKN/2016109999EX.dat", std::string(2603, 'y'));
        folder.Write("UMAGOTOTHISWEEKN/2016100001.dat", Runner("2016100001", "20190601", "05"));
        folder.Write("UMAGOTOTHISWEEKN/2016100002.dat",
                     Runner("2016100002", "20190512", "11") + Runner("2016100002", "20190608", "09"));
        WriteSuppliedStatistics(folder);
        WriteWeekTables(folder);
    }

    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
};

// The subsets hold exactly this week's records in the order of the supplied files; every listed
// horse's file is made afresh from its runs; an unlisted horse's file is left alone.
TEST_F(Computation, SubsetsAndFreshFilesOfTheListedHorses) {
    std::vector<std::string> text3;
    const engine::ComputationSummary s =
        engine::RunComputation(host, {[&](std::string_view t) { text3.emplace_back(t); }, {}, {}});
    EXPECT_EQ(text3, (std::vector<std::string>{"計算を開始しました。標準で約10分かります。。。。。。", "計算終了"}));
    EXPECT_TRUE(s.AllDone()) << folder.Read("ERRORLOG.txt");
    EXPECT_EQ(s.dams, 2);
    EXPECT_EQ(s.horses, 2);

    EXPECT_EQ(folder.Read("OPTION1N/HAHAUMATHISWEEK.dat"), Stats(402, "2005200001", 'b') + Stats(402, "2005200001", 'c'));
    EXPECT_EQ(s.damStatsRecords, 2);
    // This week's two records go over records 1 and 2; last week's records 3 to 5 stay behind them.
    EXPECT_EQ(folder.Read("OPTION1N/KYOSOBATHISWEEK.dat"), Stats(228, "2016100002", 'd') + Stats(228, "2016100001", 'f') +
                                                                Stats(228, "2015100000", 'o') + Stats(228, "2015100000", 'o') +
                                                                Stats(228, "2015100000", 'o'));
    EXPECT_EQ(s.horseStatsRecords, 2);

    const std::string one = folder.Read("UMAGOTOEXTHISWEEKN/2016100001EX.dat");
    ASSERT_EQ(one.size(), 2603u);
    EXPECT_EQ(At(one, 1, 40), Runner("2016100001", "20190601", "05").substr(0, 40));
    EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016109999EX.dat"), std::string(2603, 'y'));
    const std::string two = folder.Read("UMAGOTOEXTHISWEEKN/2016100002EX.dat");
    ASSERT_EQ(two.size(), 2u * 2603);
    EXPECT_EQ(At(two, 1, 40), Runner("2016100002", "20190512", "11").substr(0, 40));
    EXPECT_EQ(At(two, 2603 + 1, 40), Runner("2016100002", "20190608", "09").substr(0, 40));
    // Without their races the runs have no track: blank speeds and labels, blank indices.
    EXPECT_EQ(At(two, 2603 + SpeedAt(0), 21), std::string(21, ' '));
    EXPECT_EQ(At(two, 2603 + IndexAt(1), 120), std::string(120, ' '));
    EXPECT_EQ(s.filesWritten, 2);
    EXPECT_EQ(s.records, 3);
}

// Missing supplied files are passed over, counted and told in the end text; the subset of a
// missing file is left as it was.
TEST_F(Computation, MissingSuppliedFilesAreToldInTheEndText) {
    std::filesystem::remove(folder / "OPTION1N/KYOSOBA.dat");
    std::filesystem::remove(folder / "OPTION1N/HAHAUMA.dat");
    std::filesystem::remove(folder / ("OPTION1N/" + engine::ModelFileName(Surface::Shog, engine::ModelFile::TotalData)));
    std::string text3;
    const engine::ComputationSummary s = engine::RunComputation(host, {[&](std::string_view t) { text3 = t; }, {}, {}});
    EXPECT_EQ(s.stepsPassedOver, 3);
    EXPECT_EQ(text3, "計算終了（処理できなかった手順 3 件。ERRORLOG.txtを確認して下さい。）");
    std::string lastWeek;
    for (int i = 0; i < 5; ++i) lastWeek += Stats(228, "2015100000", 'o');
    EXPECT_EQ(folder.Read("OPTION1N/KYOSOBATHISWEEK.dat"), lastWeek);
    EXPECT_FALSE(folder.Exists("OPTION1N/KYOSOBA.dat")) << "reading does not create it";
    EXPECT_FALSE(folder.Exists("OPTION1N/HAHAUMATHISWEEK.dat"));
    const std::string log = folder.Read("ERRORLOG.txt");
    EXPECT_NE(log.find("KYOSOBA.dat"), std::string::npos);
    EXPECT_NE(log.find("Shog"), std::string::npos);
    EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016100002EX.dat").size(), 2u * 2603);
}

// A supplied statistics file that is gone, or holds no record, reads as empty; the run names it in
// ERRORLOG.txt and its end text says statistics were missing. Nothing is made in OPTION1N in its
// place, and no file there is left empty.
TEST_F(Computation, MissingStatisticsAreNamedAndTold) {
    struct Case {
        std::string name;
        bool empty;  // there, without a record
    };
    std::vector<Case> cases;
    for (const auto& [name, length] : kSuppliedStatistics) cases.push_back({name, false});
    cases.push_back({"STALLION.dat", true});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + (c.empty ? " empty" : " missing"));
        SetUp();  // each case starts from the fixture's week
        std::filesystem::remove(folder / "ERRORLOG.txt");
        std::filesystem::remove(folder / "OPTION1N/HAHAUMATHISWEEK.dat");
        if (c.empty)
            folder.Write("OPTION1N/" + c.name, "");
        else
            std::filesystem::remove(folder / ("OPTION1N/" + c.name));
        std::string text3;
        const engine::ComputationSummary s =
            engine::RunComputation(host, {[&](std::string_view t) { text3 = t; }, {}, {}});
        EXPECT_EQ(s.statisticsMissing, 1);
        EXPECT_FALSE(s.AllDone());
        EXPECT_EQ(text3, "計算終了（見つからないか空の統計ファイル 1 件。ERRORLOG.txtを確認して下さい。）");
        EXPECT_NE(folder.Read("ERRORLOG.txt").find("OPTION1N/" + c.name + (c.empty ? " holds no record" : " is missing")),
                  std::string::npos)
            << folder.Read("ERRORLOG.txt");
        EXPECT_EQ(folder.Exists("OPTION1N/" + c.name), c.empty);
        for (const auto& [name, bytes] : folder.Files("OPTION1N")) {
            if (name == "OPTION1N/" + c.name) continue;
            EXPECT_FALSE(bytes.empty()) << name;
        }
        EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016100002EX.dat").size(), 2u * 2603) << "the horses are computed";
    }
}

// A subset without a record of this week is not written: a missing one is not made empty, one
// that stands keeps its records.
TEST_F(Computation, NoSubsetIsMadeEmpty) {
    struct Case {
        std::string name;
        std::function<void(const testsupport::TempAppFolder&)> prepare;
    };
    const std::vector<Case> cases = {
        {"lists missing",
         [](auto& f) {
             std::filesystem::remove(f / "HAHAHANNUMTHISWEEKN.dat");
             std::filesystem::remove(f / "KETTONUMTHISWEEKN.dat");
         }},
        {"lists empty",
         [](auto& f) {
             f.Write("HAHAHANNUMTHISWEEKN.dat", "");
             f.Write("KETTONUMTHISWEEKN.dat", "");
         }},
        {"no horse of the week in the statistics",
         [](auto& f) {
             f.Write("HAHAHANNUMTHISWEEKN.dat", "\"2005209999\"\r\n");
             f.Write("KETTONUMTHISWEEKN.dat", "\"2016109999\"\r\n");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        std::filesystem::remove(folder / "OPTION1N/HAHAUMATHISWEEK.dat");
        const std::string lastWeek = folder.Read("OPTION1N/KYOSOBATHISWEEK.dat");
        c.prepare(folder);
        const engine::ComputationSummary s = engine::RunComputation(host);
        EXPECT_EQ(s.damStatsRecords, 0);
        EXPECT_EQ(s.horseStatsRecords, 0);
        EXPECT_FALSE(folder.Exists("OPTION1N/HAHAUMATHISWEEK.dat"));
        EXPECT_EQ(folder.Read("OPTION1N/KYOSOBATHISWEEK.dat"), lastWeek);
        std::filesystem::remove(folder / "OPTION1N/KYOSOBATHISWEEK.dat");
        engine::RunComputation(host);
        EXPECT_FALSE(folder.Exists("OPTION1N/KYOSOBATHISWEEK.dat"));
    }
}

TEST(ComputationEndText, CountsWhatWasPassedOver) {
    engine::ComputationSummary s;
    EXPECT_EQ(engine::ComputationEndText(s), "計算終了");
    s.runsFailed = 4;
    s.horsesPassedOver = 1;
    EXPECT_EQ(engine::ComputationEndText(s),
              "計算終了（予想できなかった過去走 4 件、展開できなかった馬 1 頭。ERRORLOG.txtを確認して下さい。）");
    s = {};
    s.itemLabelsBlanked = 2;
    EXPECT_EQ(engine::ComputationEndText(s), "計算終了（計算できなかった項目 2 件。ERRORLOG.txtを確認して下さい。）");
}

// A bad key in the list fails that horse only.
TEST_F(Computation, ABadKeyFailsOnlyItsHorse) {
    folder.Write("KETTONUMTHISWEEKN.dat", "\"../../etc\"\r\n\"2016100002\"\r\n");
    const engine::ComputationSummary s = engine::RunComputation(host);
    EXPECT_EQ(s.horsesPassedOver, 1);
    EXPECT_EQ(s.filesWritten, 1);
    EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016100002EX.dat").size(), 2u * 2603);
    EXPECT_NE(folder.Read("ERRORLOG.txt").find("../../etc"), std::string::npos);
}

// A second run started while one works (through the events it lets run) returns at once.
TEST_F(Computation, ASecondRunDuringARunReturnsAtOnce) {
    struct NestingHost : testsupport::RecordingHost {
        void pumpEvents() override {
            if (!nested) nested = engine::RunComputation(*this, {});
        }
        std::optional<engine::ComputationSummary> nested;
    } nesting;
    const engine::ComputationSummary outer = engine::RunComputation(nesting);
    ASSERT_TRUE(nesting.nested);
    EXPECT_EQ(nesting.nested->horses, 0);
    EXPECT_EQ(outer.horses, 2);
    // Once the run has ended, a new one starts.
    EXPECT_EQ(engine::RunComputation(host).horses, 2);
}

// A listed horse's file is written once, with its records; one that cannot be computed (its run
// file cannot be read) ends empty, whatever it held; so does every listed horse when the files
// the runs are joined with cannot be read. Unlisted horses' files stay.
TEST_F(Computation, AHorseThatCannotBeComputedEndsWithAnEmptyFile) {
    folder.Write("UMAGOTOEXTHISWEEKN/2016100002EX.dat", std::string(3 * 2603, 'z'));
    std::filesystem::remove(folder / "UMAGOTOTHISWEEKN/2016100001.dat");
    std::filesystem::create_directories(folder / "UMAGOTOTHISWEEKN/2016100001.dat");  // unreadable
    engine::ComputationSummary s = engine::RunComputation(host);
    EXPECT_EQ(s.horsesPassedOver, 1);
    EXPECT_EQ(s.filesWritten, 1);
    EXPECT_TRUE(folder.Exists("UMAGOTOEXTHISWEEKN/2016100001EX.dat"));
    EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016100001EX.dat"), "");
    EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016100002EX.dat").size(), 2u * 2603);
    EXPECT_NE(folder.Read("ERRORLOG.txt").find("2016100001.dat"), std::string::npos);

    // The horse table's file cannot be read: no horse has records this time.
    std::filesystem::remove(folder / "UMTHISWEEKNNEW.dat");
    std::filesystem::create_directories(folder / "UMTHISWEEKNNEW.dat");
    folder.Write("UMAGOTOEXTHISWEEKN/2016100001EX.dat", std::string(2603, 'x'));
    s = engine::RunComputation(host);
    EXPECT_EQ(s.stepsPassedOver, 1);
    EXPECT_EQ(s.filesWritten, 0);
    EXPECT_EQ(s.horsesPassedOver, 0);
    EXPECT_TRUE(folder.Exists("UMAGOTOEXTHISWEEKN/2016100001EX.dat"));
    EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016100001EX.dat"), "");
    EXPECT_TRUE(folder.Exists("UMAGOTOEXTHISWEEKN/2016100002EX.dat"));
    EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016100002EX.dat"), "");
    EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016109999EX.dat"), std::string(2603, 'y'));
}

// A horse whose run file is missing has nothing to be computed from: the file of expanded runs it
// has stays as it is, and the horse is logged and told in the end text. One whose run file is
// there and holds no run (all its runs were called off) has no run to expand: its file is made
// empty, as every listed horse's file is, and nothing is told. A run file with bytes but no whole
// run is damaged: told, and the file of expanded runs kept.
TEST_F(Computation, AHorseWithoutRuns) {
    struct Case {
        std::string name;
        std::optional<std::string> runFile;  // nullopt: removed
        std::string expanded;                // its file of expanded runs afterwards
        std::string text3;
        std::string logged;                  // "" : nothing logged
    };
    const std::string told = "計算終了（展開できなかった馬 1 頭。ERRORLOG.txtを確認して下さい。）";
    const std::vector<Case> cases = {
        {"missing", std::nullopt, std::string(2603, 'x'), told, "UMAGOTOTHISWEEKN/2016100001.dat is missing"},
        {"empty", std::string(), "", "計算終了", ""},
        {"cut inside its only run", Runner("2016100001", "20190601", "05").substr(0, 300), std::string(2603, 'x'),
         "計算終了（展開できなかった馬 1 頭、読み飛ばした壊れたレコード 1 件。ERRORLOG.txtを確認して下さい。）",
         "300 bytes after record 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        std::filesystem::remove(folder / "ERRORLOG.txt");
        if (c.runFile)
            folder.Write("UMAGOTOTHISWEEKN/2016100001.dat", *c.runFile);
        else
            std::filesystem::remove(folder / "UMAGOTOTHISWEEKN/2016100001.dat");
        std::string text3;
        const engine::ComputationSummary s =
            engine::RunComputation(host, {[&](std::string_view t) { text3 = t; }, {}, {}});
        EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016100001EX.dat"), c.expanded);
        EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016100002EX.dat").size(), 2u * 2603);
        EXPECT_FALSE(s.nothingToWorkOn);
        EXPECT_EQ(text3, c.text3);
        const std::string log = folder.Exists("ERRORLOG.txt") ? folder.Read("ERRORLOG.txt") : "";
        if (c.logged.empty())
            EXPECT_EQ(log, "");
        else
            EXPECT_NE(log.find(c.logged), std::string::npos) << log;
    }
}

// The horse list holds each horse once: one listed twice is damage, told with the list and the
// record; its file holds its records once, and this week's subset stays as it was.
TEST_F(Computation, AHorseListedTwice) {
    folder.Write("KETTONUMTHISWEEKN.dat", "\"2016100002\"\r\n\"2016100001\"\r\n\"2016100002\"\r\n");
    const std::string subset = folder.Read("OPTION1N/KYOSOBATHISWEEK.dat");
    const engine::ComputationSummary s = engine::RunComputation(host);
    EXPECT_FALSE(s.AllDone());
    EXPECT_EQ(s.horses, 3);
    EXPECT_EQ(s.filesWritten, 3);
    EXPECT_EQ(s.records, 5);
    EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016100002EX.dat").size(), 2u * 2603);
    EXPECT_EQ(folder.Read("OPTION1N/KYOSOBATHISWEEK.dat"), subset);
    EXPECT_NE(folder.Read("ERRORLOG.txt").find("KETTONUMTHISWEEKN.dat record 3: 2016100002 listed again"),
              std::string::npos)
        << folder.Read("ERRORLOG.txt");
}

// However many threads the horses are computed on, their failures are logged in list order.
TEST_F(Computation, FailuresAreLoggedInListOrder) {
    std::string list;
    std::vector<std::string> keys;
    for (int i = 60; i >= 1; --i) {
        keys.push_back("20161001" + std::string(i < 10 ? "0" : "") + std::to_string(i));
        list += "\"" + keys.back() + "\"\r\n";
        std::filesystem::create_directories(folder / ("UMAGOTOTHISWEEKN/" + keys.back() + ".dat"));
    }
    folder.Write("KETTONUMTHISWEEKN.dat", list);
    const engine::ComputationSummary s = engine::RunComputation(host);
    EXPECT_EQ(s.horsesPassedOver, 60);
    const std::string log = folder.Read("ERRORLOG.txt");
    std::size_t at = 0;
    for (const std::string& key : keys) {
        const std::size_t found = log.find(key + ".dat", at);
        ASSERT_NE(found, std::string::npos) << key << " not after its place";
        at = found;
    }
}

// The mark stands while the run works and goes when it ends, also when the end text tells of
// failures; meanwhile the run in progress does not count as one that did not end.
TEST_F(Computation, TheMarkStandsOnlyWhileTheRunWorks) {
    struct Watching : testsupport::RecordingHost {
        explicit Watching(const testsupport::TempAppFolder& f) : folder(f) {}
        void pumpEvents() override {
            RecordingHost::pumpEvents();
            markSeen = markSeen || folder.Exists("COMPUTING.mark");
            toldUnfinished = toldUnfinished || engine::LastComputationUnfinished();
        }
        const testsupport::TempAppFolder& folder;
        bool markSeen = false;
        bool toldUnfinished = false;
    };
    for (bool failing : {false, true}) {
        SCOPED_TRACE(failing);
        if (failing) std::filesystem::remove(folder / "OPTION1N/KYOSOBA.dat");
        Watching watching(folder);
        std::string text3;
        engine::RunComputation(watching, {[&](std::string_view t) { text3 = t; }, {}, {}});
        EXPECT_TRUE(watching.markSeen);
        EXPECT_FALSE(watching.toldUnfinished);
        EXPECT_FALSE(folder.Exists("COMPUTING.mark"));
        EXPECT_FALSE(engine::LastComputationUnfinished());
        EXPECT_EQ(text3 == "計算終了", !failing) << text3;
    }
    // A mark that stands with no run working was left by a run that did not end.
    folder.Write("COMPUTING.mark", "");
    EXPECT_TRUE(engine::LastComputationUnfinished());
}

// Without its input the run says so: the horse list missing or empty, or the listed horses' run
// files without a run. Each is named in ERRORLOG.txt.
TEST_F(Computation, NothingToWorkOnIsToldInTheEndText) {
    struct Case {
        std::string name;
        std::function<void(const testsupport::TempAppFolder&)> prepare;
        std::string logged;
    };
    const std::vector<Case> cases = {
        {"list missing", [](auto& f) { std::filesystem::remove(f / "KETTONUMTHISWEEKN.dat"); },
         "KETTONUMTHISWEEKN.dat is missing: nothing to work on"},
        {"list empty", [](auto& f) { f.Write("KETTONUMTHISWEEKN.dat", ""); },
         "KETTONUMTHISWEEKN.dat lists no horse: nothing to work on"},
        {"no runs",
         [](auto& f) {
             std::filesystem::remove(f / "UMAGOTOTHISWEEKN/2016100001.dat");
             std::filesystem::remove(f / "UMAGOTOTHISWEEKN/2016100002.dat");
         },
         "UMAGOTOTHISWEEKN hold no run: nothing to work on"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();  // each case starts from the fixture's week
        c.prepare(folder);
        std::filesystem::remove(folder / "ERRORLOG.txt");
        std::string text3;
        const engine::ComputationSummary s =
            engine::RunComputation(host, {[&](std::string_view t) { text3 = t; }, {}, {}});
        EXPECT_TRUE(s.nothingToWorkOn);
        EXPECT_EQ(text3, "計算終了（入力ファイルがありません。先に①②を実行して下さい。ERRORLOG.txtを確認して下さい。）");
        EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016100001EX.dat"), std::string(2603, 'x')) << "files kept";
        EXPECT_NE(folder.Read("ERRORLOG.txt").find(c.logged), std::string::npos) << folder.Read("ERRORLOG.txt");
    }
}

TEST_F(Computation, MissingFilesOfTheWindow) {
    folder.Write("JRACODE/CodeTable.csv", "\"1\",\"01\"\r\n");
    EXPECT_TRUE(engine::MissingComputationFiles().empty());
    std::filesystem::remove(folder / ("OPTION1N/" + engine::ModelFileName(Surface::Dirt, engine::ModelFile::PaceWeightData)));
    std::filesystem::remove(folder / "JRACODE/CodeTable.csv");
    EXPECT_EQ(engine::MissingComputationFiles(),
              (std::vector<std::string>{"JRACODE/CodeTable.csv", "OPTION1N/QA1DirtPaceWeightData201901N2025.dat"}));
}

}  // namespace

namespace {

// Damaged inputs of the computation are told with the file named, and what would be made from
// them stays as it was: this week's dam subset from a damaged dam list, the files of expanded
// runs without the week's horses or races; a run that stands twice in its run file is passed over.
TEST_F(Computation, DamagedInputsAreNamedAndWhatTheyMakeIsKept) {
    struct Case {
        std::string name;
        std::function<void(testsupport::TempAppFolder&)> damage;
        std::string logged;
        bool subsetKept;    // OPTION1N/HAHAUMATHISWEEK.dat as it was
        bool expandedKept;  // UMAGOTOEXTHISWEEKN/2016100001EX.dat as it was
    };
    const std::string runs = Runner("2016100001", "20190601", "05");
    const std::vector<Case> cases = {
        {"dam list missing", [](auto& f) { std::filesystem::remove(f / "HAHAHANNUMTHISWEEKN.dat"); },
         "HAHAHANNUMTHISWEEKN.dat is missing: OPTION1N/HAHAUMATHISWEEK.dat left as it was", true, false},
        {"dam list empty", [](auto& f) { f.Write("HAHAHANNUMTHISWEEKN.dat", ""); },
         "HAHAHANNUMTHISWEEKN.dat holds no key", true, false},
        {"dam list cut", [](auto& f) { f.Write("HAHAHANNUMTHISWEEKN.dat", "\"2005200001\"\r\n\"20052"); },
         "HAHAHANNUMTHISWEEKN.dat record 2: ", true, false},
        {"dam listed again", [](auto& f) { f.Write("HAHAHANNUMTHISWEEKN.dat", "\"2005200001\"\r\n\"2005200001\"\r\n"); },
         "HAHAHANNUMTHISWEEKN.dat record 2: 2005200001 listed again", true, false},
        {"horse list with a bad entry", [](auto& f) { f.Write("KETTONUMTHISWEEKN.dat", "\"2016100001\"\r\n\x7f\x7f"); },
         "of KETTONUMTHISWEEKN.dat cannot name a file", false, false},
        {"race file missing", [](auto& f) { std::filesystem::remove(f / "RATHISWEEKNNEW.dat"); },
         "RATHISWEEKNNEW.dat is missing", false, true},
        {"horse file empty", [](auto& f) { f.Write("UMTHISWEEKNNEW.dat", ""); }, "UMTHISWEEKNNEW.dat", false, true},
        {"a run repeated", [&](auto& f) { f.Write("UMAGOTOTHISWEEKN/2016100001.dat", runs + runs); },
         "UMAGOTOTHISWEEKN/2016100001.dat record 2: the same run as record 1: passed over", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        std::filesystem::remove(folder / "ERRORLOG.txt");
        folder.Write("OPTION1N/HAHAUMATHISWEEK.dat", Stats(402, "2005200000", 'o'));
        c.damage(folder);
        const engine::ComputationSummary s = engine::RunComputation(host);
        EXPECT_FALSE(s.AllDone());
        const std::string log = folder.Exists("ERRORLOG.txt") ? folder.Read("ERRORLOG.txt") : "";
        EXPECT_NE(log.find(c.logged), std::string::npos) << log;
        EXPECT_EQ(folder.Read("OPTION1N/HAHAUMATHISWEEK.dat") == Stats(402, "2005200000", 'o'), c.subsetKept);
        EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016100001EX.dat") == std::string(2603, 'x'), c.expandedKept);
        if (c.name == "a run repeated") {
            EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016100001EX.dat").size(), 2603u);
        }
    }
}

}  // namespace
