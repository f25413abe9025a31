#include "acquisition/weekly_fetch.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "acquisition/structure_building.h"
#include "acquisition/scratch_file.h"
#include "common/file_faults.h"
#include "common/record_file.h"
#include "common/text_file.h"
#include "common/paths.h"
#include "common/step_marks.h"
#include "dataservice/scripted_jvlink.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"
#include "week_records.h"

namespace {

using namespace fetchtest;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using common::StatusBox;

const std::string kOpenLine = "JVOpen TOKURACETCVNRCVN 00000000000000 2";
const std::string kInitLine = "JVInit SA583920/SD271539/TALMOR7/ver.2020.7.21";
const std::string kStartText = "今週開催取得開始しました。しばらくお待ち下さい。。。。。";
const std::string kEndText = "今週開催取得終了";
const std::string kCancelledText = "今週開催取得を中止しました。";
const std::string kFailedText = "今週開催取得に失敗しました。ERRORLOG.txtを確認して下さい。";

const std::vector<std::string> kWeekFiles = {"RATHISWEEKN.dat", "SETHISWEEKN.dat", "UMTHISWEEKN.dat",
                                             "KSTHISWEEKN.dat", "HRTHISWEEKN.dat"};

class WeeklyFetch : public ::testing::Test {
protected:
    void SetUp() override { folder.Write("OPTION1N/STALLION.dat", "weights"); }

    /// Last week's files, which a fetch that ends normally replaces and no other touches. Each
    /// holds other bytes, so that a file that took another's place shows.
    static std::string LastWeek(const std::string& name) { return name + std::string(5000, 'X'); }
    void WriteLastWeek() {
        for (const std::string& name : kWeekFiles) folder.Write(name, LastWeek(name));
    }
    void ExpectLastWeekKept() const {
        for (const std::string& name : kWeekFiles) EXPECT_EQ(folder.Read(name), LastWeek(name)) << name;
    }
    /// Names in the application folder that end in ".partial": no fetch leaves one behind.
    std::vector<std::string> ScratchLeft() const {
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            if (entry.path().extension() == ".partial") left.push_back(entry.path().filename().string());
        return left;
    }

    acquisition::WeeklyFetchOutcome Fetch() { return acquisition::FetchThisWeek(starter, runner); }

    std::vector<std::string> MessageLog() const { return host.Messages(); }
    bool AnyWeekFile() const {
        for (const std::string& name : kWeekFiles)
            if (folder.Exists(name)) return true;
        return false;
    }

    testsupport::TempAppFolder folder;  // first: it sets AppFolder
    testsupport::RecordingHost host;
    dataservice::ScriptedJVLink link;
    std::int32_t downloadCount = -7;
    std::int16_t dialogResult = 99;
    acquisition::DownloadStarter starter{link, downloadCount, dialogResult, host};

    // The progress window: notes what it was shown and ends with `outcome`.
    int progressRuns = 0;
    std::int32_t countShown = 0;
    std::int16_t flagOnOpening = 55;
    std::int16_t outcome = 0;
    acquisition::ProgressRunner runner = [this](acquisition::DownloadStarter& s) {
        ++progressRuns;
        countShown = s.DownloadCount;
        flagOnOpening = s.DialogResult;
        s.DialogResult = outcome;
    };
};

TEST_F(WeeklyFetch, WritesEveryKeptKindInDeliveryOrderAndSkipsTheRest) {
    WriteLastWeek();
    link.QueueOpen(0, 3, 0);
    link.QueueRecord(RA("RACE1"));
    link.QueueRecord(SE("RUNR1"));
    link.QueueRecord(UM("HORS1"));
    link.reads.push_back({-1, RA("STALE"), ""});  // a next-file mark that leaves bytes: not a record
    link.QueueRecord(KS("00001"));
    link.QueueRecord(Delivered("O1", 962, '1', "ODDS1"));  // kinds the week files do not keep
    link.QueueRecord(Delivered("WE", 42, '1', "WTHR1"));
    link.QueueRecord("R\r\n");
    link.QueueRecord(HR("PAYS1"));
    link.QueueRecord(RA("RACE2"));
    link.QueueRecord(SE("RUNR2"));
    link.QueueEnd();
    link.QueueRecord(RA("AFTER"));  // past the end: never read

    Fetch();

    EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), RA("RACE1") + RA("RACE2"));
    EXPECT_EQ(folder.Read("SETHISWEEKN.dat"), SE("RUNR1") + SE("RUNR2"));
    EXPECT_EQ(folder.Read("UMTHISWEEKN.dat"), UM("HORS1"));
    EXPECT_EQ(folder.Read("KSTHISWEEKN.dat"), StoredKS("00001"));
    EXPECT_EQ(folder.Read("HRTHISWEEKN.dat"), HR("PAYS1"));

    EXPECT_TRUE(MessageLog().empty());
    EXPECT_EQ(progressRuns, 0);  // nothing to download
    EXPECT_EQ(link.log.front(), kInitLine);
    EXPECT_EQ(link.log[1], kOpenLine);
    EXPECT_EQ(link.Count("JVRead"), 12u);
    EXPECT_EQ(link.log.back(), "JVClose");
    EXPECT_EQ(link.reads.size(), 1u);

    // Start text, pending events, end text, in that order, and nothing else said.
    ASSERT_EQ(host.calls.size(), 3u);
    EXPECT_EQ(host.calls[0].what, "setStatus");
    EXPECT_EQ(host.calls[0].text, kStartText);
    EXPECT_EQ(host.calls[0].box, 1);
    EXPECT_EQ(host.calls[1].what, "pumpEvents");
    EXPECT_EQ(host.calls[2].text, kEndText);
    EXPECT_EQ(host.calls[2].box, 1);
}

TEST_F(WeeklyFetch, StoresOnlyTheBytesAReadReturned) {
    link.QueueOpen(0, 1, 0);
    // The buffer holds a whole record and more, but the read says 100 bytes: the rest is not this
    // record's. The 100 bytes are a runner record of another length, stored at the layout's.
    std::string shortSe = Delivered("SE", 100, '2', "SHORT");
    link.reads.push_back({100, shortSe + SE("TRAILING"), "SE1.dat"});
    link.reads.push_back({static_cast<int>(kSeLength), SE("WHOLE") + "TRAILING", "SE1.dat"});
    link.QueueEnd();

    EXPECT_EQ(Fetch(), acquisition::WeeklyFetchOutcome::Done);

    EXPECT_EQ(folder.Read("SETHISWEEKN.dat"), SE("SHORT") + SE("WHOLE"));
    EXPECT_FALSE(folder.Exists("ERRORLOG.txt"));
    EXPECT_EQ(host.Status(StatusBox::Text1), kEndText);
}

// A service may deliver a kind at another version's length. A record that is one line (its tag,
// CR LF at its end and nowhere before) is stored at its layout's length: blanks in place of the
// bytes it lacks, the bytes beyond the layout left out, CR LF where the layout has it.
TEST_F(WeeklyFetch, RecordsOfAnotherLengthAreStoredAtTheLayoutsLength) {
    // An RA of 1000 bytes with bytes up to its line end.
    std::string shortRa = Delivered("RA", 1000, '2', "SHORTRA");
    Put(shortRa, 991, "ENDBYTES");
    std::string storedShortRa = RA("SHORTRA");
    Put(storedShortRa, 991, "ENDBYTES");
    // An SE of 600 bytes: what stands beyond the layout's 553 bytes and line end goes.
    std::string longSe = Delivered("SE", 600, '2', "LONGSE");
    Put(longSe, 550, "KEPT");
    Put(longSe, 554, "BEYOND");
    std::string storedLongSe = SE("LONGSE");
    Put(storedLongSe, 550, "KEPT");
    // A KS with more bytes before its line end: stored as the KS of its layout would be.
    std::string longKs = KS("LONGKS");
    longKs.insert(kKsLength - 2, "BEYOND");
    // Horses of 40 bytes: the deregistered one still takes no number.
    const std::string shortUm = Delivered("UM", 40, '1', "SHORTUM");
    const std::string gone = Delivered("UM", 40, '9', "GONE");
    // An HR of its head alone.
    const std::string headHr = "HR2" + std::string(8, '0') + "\r\n";
    std::string storedHeadHr = HR("");
    Put(storedHeadHr, 4, std::string(8, '0'));

    WriteLastWeek();
    link.QueueOpen(0, 1, 0);
    for (const std::string& record : {RA("RACE1"), shortRa, longSe, longKs, shortUm, gone, UM("HORS2"), headHr})
        link.reads.push_back({static_cast<int>(record.size()), record, "f.dat"});
    link.QueueEnd();

    EXPECT_EQ(Fetch(), acquisition::WeeklyFetchOutcome::Done);

    EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), RA("RACE1") + storedShortRa);
    EXPECT_EQ(folder.Read("SETHISWEEKN.dat"), storedLongSe);
    EXPECT_EQ(folder.Read("KSTHISWEEKN.dat"), StoredKS("LONGKS"));
    EXPECT_EQ(folder.Read("UMTHISWEEKN.dat"), UM("SHORTUM") + UM("HORS2"));
    EXPECT_EQ(folder.Read("HRTHISWEEKN.dat"), storedHeadHr);
    EXPECT_FALSE(folder.Exists("ERRORLOG.txt"));
    EXPECT_EQ(host.Status(StatusBox::Text1), kEndText);
}

// A delivered record of the five kinds that is not one line, or of its length without its line
// end, is damaged: it is logged with its file and number there, and the fetch, whose week is then
// not whole, fails and keeps last week's files as they were.
TEST_F(WeeklyFetch, ADamagedRecordFailsTheFetchAndKeepsLastWeek) {
    std::string lf = HR("LF");
    lf.erase(kHrLength - 2, 1);  // LF alone
    struct Case {
        const char* name;
        std::string record;
        std::string logged;
    };
    const std::vector<Case> cases = {
        {"an HR cut short before its line end", HR("CUT").substr(0, 300),
         "f.dat record 2: no CR LF at its end (300 bytes; HR has 719): passed over"},
        {"an HR and a race run together", HR("FIRST") + RA("NEXT"),
         "f.dat record 2: a line break at byte 718 of 1991: not one record: passed over"},
        {"an HR with LF alone", lf, "f.dat record 2: no CR LF at its end (718 bytes; HR has 719): passed over"},
        {"a KS with two bytes after its line end", KS("LONG") + "XX",
         "f.dat record 2: a line break at byte 4172 of 4175: not one record: passed over"},
        {"a race of its length without its line end", RA("NOEND").substr(0, kRaLength - 2) + "XX",
         "f.dat record 2: no CR LF at its end (byte 1271): passed over"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(folder / "ERRORLOG.txt");
        WriteLastWeek();
        link.QueueOpen(0, 1, 0);
        link.reads.push_back({static_cast<int>(kHrLength), HR("BEFORE"), "f.dat"});
        link.reads.push_back({static_cast<int>(c.record.size()), c.record, "f.dat"});
        link.reads.push_back({static_cast<int>(kHrLength), HR("AFTER"), "f.dat"});
        link.QueueEnd();

        EXPECT_EQ(Fetch(), acquisition::WeeklyFetchOutcome::Failed);

        ExpectLastWeekKept();
        EXPECT_THAT(ScratchLeft(), ::testing::IsEmpty());
        const std::string log = folder.Read("ERRORLOG.txt");
        EXPECT_THAT(log, HasSubstr("[FetchThisWeek] " + c.logged));
        EXPECT_THAT(log, HasSubstr("1 damaged records passed over (see above): the week files were kept"));
        EXPECT_EQ(host.Status(StatusBox::Text1), kFailedText);
    }
}

TEST_F(WeeklyFetch, DeregisteredHorseLeavesNoRecordAndNoGap) {
    link.QueueOpen(0, 1, 0);
    link.QueueRecord(UM("HORSA"));
    link.QueueRecord(UM("HORSB", '9'));
    link.QueueRecord(UM("HORSC"));
    link.QueueEnd();

    Fetch();

    EXPECT_EQ(folder.Read("UMTHISWEEKN.dat"), UM("HORSA") + UM("HORSC"));
}

TEST_F(WeeklyFetch, AFetchThatDoesNotEndNormallyKeepsLastWeeksFilesByteForByte) {
    using Outcome = acquisition::WeeklyFetchOutcome;
    struct Case {
        std::string name;
        std::function<void(dataservice::ScriptedJVLink&)> script;
        std::int16_t progressOutcome;  // what the progress window leaves in DialogResult
        std::string message;           // the one message shown ("" for none)
        Outcome outcome;
    };
    const std::vector<Case> cases = {
        {"nothing to read",
         [](auto& l) {
             l.QueueOpen(0, 0, 4);
             l.QueueRecord(RA("NEVER"));
         },
         0, "該当するデータがありません。", Outcome::Failed},
        {"open error", [](auto& l) { l.QueueOpen(-111, 0, 4); }, 0, "JVOpenエラー。RC=-111", Outcome::Failed},
        {"open error with counts", [](auto& l) { l.QueueOpen(-201, 5, 4); }, 0, "JVOpenエラー。RC=-201",
         Outcome::Failed},
        {"cancelled download",
         [](auto& l) {
             l.QueueOpen(0, 12, 12);
             l.QueueRecord(RA("NEVER"));
         },
         -1, "", Outcome::Cancelled},
        {"read error at the first read",
         [](auto& l) {
             l.QueueOpen(0, 1, 0);
             l.QueueReadCode(-502);
         },
         0, "JVReadエラー。 RC=-502", Outcome::Failed},
        {"read error after records of every kind",
         [](auto& l) {
             l.QueueOpen(0, 3, 3);
             for (const std::string& r : {RA("RACE1"), SE("RUNR1"), UM("HORS1"), KS("00001"), HR("PAYS1")})
                 l.QueueRecord(r);
             l.QueueReadCode(-503, "x.dat");
             l.QueueRecord(SE("NEVER"));
         },
         0, "JVReadエラー。 RC=-503", Outcome::Failed},
        {"a file that stays damaged",
         [](auto& l) {
             l.QueueOpen(0, 3, 0);
             l.QueueRecord(RA("RACE1"), "a.dat");
             for (int i = 0; i < 4; ++i) {
                 l.QueueReadCode(-402, "a.dat");
                 if (i < 3) l.QueueOpen(0, 3, 0);
             }
         },
         0, "JVReadエラー。 RC=-402", Outcome::Failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.calls.clear();
        link.log.clear();
        link.reads.clear();
        link.openResults.clear();
        std::filesystem::remove(folder / "ERRORLOG.txt");
        WriteLastWeek();
        outcome = c.progressOutcome;
        c.script(link);

        EXPECT_EQ(Fetch(), c.outcome);

        ExpectLastWeekKept();
        EXPECT_THAT(ScratchLeft(), ::testing::IsEmpty());
        if (c.message.empty()) EXPECT_TRUE(MessageLog().empty());
        else EXPECT_THAT(MessageLog(), ElementsAre(c.message));
        EXPECT_EQ(link.log.back(), "JVClose");
        if (c.outcome == Outcome::Cancelled) {
            EXPECT_EQ(host.Status(StatusBox::Text1), kCancelledText);
            EXPECT_EQ(link.Count("JVRead"), 0u);
            EXPECT_FALSE(folder.Exists("ERRORLOG.txt"));  // the user's own choice is no failure
        } else {
            EXPECT_EQ(host.Status(StatusBox::Text1), kFailedText);
            // One line that names what went wrong and says the files were kept.
            EXPECT_THAT(folder.Read("ERRORLOG.txt"),
                        HasSubstr("[FetchThisWeek] the fetch ended with \"" + c.message + "\": the week files were kept"));
        }
    }
}

TEST_F(WeeklyFetch, InitErrorIsReportedAndTheFetchGoesOn) {
    link.initResults.push_back(-301);
    link.QueueOpen(0, 1, 0);
    link.QueueRecord(HR("PAYS1"));
    link.QueueEnd();

    Fetch();

    EXPECT_THAT(MessageLog(), ElementsAre("JVInitエラー。RC=-301"));
    EXPECT_EQ(folder.Read("HRTHISWEEKN.dat"), HR("PAYS1"));
}

TEST_F(WeeklyFetch, DownloadRunsUnderTheProgressWindowThenReads) {
    link.QueueOpen(0, 12, 12);
    link.QueueRecord(RA("RACE1"));
    link.QueueEnd();

    Fetch();

    EXPECT_EQ(progressRuns, 1);
    EXPECT_EQ(countShown, 12);
    EXPECT_EQ(flagOnOpening, 0);  // the fetch clears the flag before the window opens
    EXPECT_EQ(downloadCount, 12);
    EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), RA("RACE1"));
}

TEST_F(WeeklyFetch, DamagedFileIsDeletedAndTheOpenRepeatedWhileAppendingGoesOn) {
    for (int damage : {-402, -403}) {
        SCOPED_TRACE(damage);
        link.log.clear();
        link.QueueOpen(0, 3, 0);
        link.QueueRecord(RA("RACE1"), "a.dat");
        link.QueueRecord(SE("RUNR1"), "a.dat");
        link.QueueReadCode(damage, "b.dat");
        link.QueueOpen(0, 2, 1);  // the repeated open: counts not looked at, no window
        link.QueueRecord(SE("RUNR2"), "b.dat");
        link.QueueRecord(RA("RACE2"), "b.dat");
        link.QueueEnd();

        Fetch();

        EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), RA("RACE1") + RA("RACE2"));
        EXPECT_EQ(folder.Read("SETHISWEEKN.dat"), SE("RUNR1") + SE("RUNR2"));
        EXPECT_TRUE(MessageLog().empty());
        EXPECT_EQ(progressRuns, 0);
        EXPECT_EQ(link.Operations(),
                  (std::vector<std::string>{"JVInit", "JVOpen", "JVRead", "JVRead", "JVRead", "JVFiledelete",
                                            "JVClose", "JVOpen", "JVRead", "JVRead", "JVRead", "JVClose"}));
        EXPECT_EQ(link.log[5], "JVFiledelete b.dat");
        EXPECT_EQ(link.log[7], kOpenLine);
    }
}

TEST_F(WeeklyFetch, AFileThatStaysDamagedIsReopenedThreeTimesThenReported) {
    link.QueueOpen(0, 3, 0);
    link.QueueRecord(RA("RACE1"), "a.dat");
    for (int i = 0; i < 3; ++i) link.QueueReadCode(-402, "a.dat");
    link.QueueReadCode(-403, "b.dat");  // another file has a bound of its own
    link.QueueRecord(RA("RACE2"), "b.dat");
    link.QueueReadCode(-403, "a.dat");  // the fourth time for a.dat
    link.QueueRecord(RA("NEVER"), "c.dat");

    EXPECT_EQ(Fetch(), acquisition::WeeklyFetchOutcome::Failed);

    EXPECT_THAT(MessageLog(), ElementsAre("JVReadエラー。 RC=-403"));
    EXPECT_EQ(link.Count("JVFiledelete a.dat"), 3u);
    EXPECT_EQ(link.Count("JVFiledelete b.dat"), 1u);
    EXPECT_EQ(link.Count("JVOpen"), 5u);
    EXPECT_EQ(link.reads.size(), 1u);
    EXPECT_FALSE(folder.Exists("RATHISWEEKN.dat"));  // there was no week before, and is none now
    EXPECT_EQ(link.log.back(), "JVClose");
    EXPECT_EQ(host.Status(StatusBox::Text1), kFailedText);
}

TEST_F(WeeklyFetch, ReadsThatBringNoRecordEndNormallyWithFiveEmptyFiles) {
    WriteLastWeek();
    link.QueueOpen(0, 1, 0);
    link.QueueNextFile();
    link.QueueEnd();

    EXPECT_EQ(Fetch(), acquisition::WeeklyFetchOutcome::Done);

    for (const std::string& name : kWeekFiles) {
        EXPECT_TRUE(folder.Exists(name)) << name;
        EXPECT_EQ(folder.Read(name), "") << name;
    }
    EXPECT_THAT(ScratchLeft(), ::testing::IsEmpty());
    EXPECT_EQ(host.Status(StatusBox::Text1), kEndText);
}

TEST_F(WeeklyFetch, MissingWeightsStartTheInstallerAndTheFetchGoesOn) {
    std::filesystem::remove(folder / "OPTION1N/STALLION.dat");
    link.QueueOpen(0, 1, 0);
    link.QueueRecord(RA("RACE1"));
    link.QueueEnd();

    Fetch();

    ASSERT_GE(host.calls.size(), 4u);
    EXPECT_EQ(host.calls[0].what, "messageBox");
    EXPECT_EQ(host.calls[0].text,
              folder.Path().string() + "/" + "に参照場所(展開フォルダ）に合わせてOKをクリックして初回予想因子パラメータをセットして下さい。");
    EXPECT_EQ(host.calls[1].what, "setStatus");
    EXPECT_EQ(host.calls[1].box, 7);
    EXPECT_EQ(host.calls[1].text,
              "まだ、予想因子ウエイトが展開されていません。タスクバーにある展開先の指定をクリックして自己解凍EXEを起動させて下さい。");
    EXPECT_EQ(host.calls[2].what, "startProgram");
    EXPECT_EQ(host.calls[2].text, (folder / "NEWSFX.EXE").string());
    EXPECT_EQ(host.calls[3].text, kStartText);
    EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), RA("RACE1"));
}

TEST_F(WeeklyFetch, WeightsFoundWhateverTheLetterCase) {
    std::filesystem::remove_all(folder / "OPTION1N");
    folder.Write("option1n/Stallion.DAT", "weights");
    link.QueueOpen(0, 0, 0);

    Fetch();

    EXPECT_THAT(MessageLog(), ElementsAre("該当するデータがありません。"));
}

// A data service that answers every read with "next file".
class EndlessNextFile : public dataservice::ScriptedJVLink {
public:
    long reads = 0;
    int JVRead(std::string&, int&, std::string&) override { return ++reads, dataservice::kRcNextFile; }
};

TEST(WeeklyFetchBounds, ReadLoopGivesUpOnEndlessNonRecordsAndLogsIt) {
    testsupport::TempAppFolder folder;
    folder.Write("OPTION1N/STALLION.dat", "weights");
    testsupport::RecordingHost host;
    EndlessNextFile link;
    link.QueueOpen(0, 1, 0);
    std::int32_t count = 0;
    std::int16_t flag = 0;
    acquisition::DownloadStarter starter{link, count, flag, host};

    acquisition::FetchThisWeek(starter, {});

    EXPECT_EQ(link.reads, 100001);
    const std::string log = folder.Read("ERRORLOG.txt");
    EXPECT_THAT(log, HasSubstr("[FetchThisWeek] read loop stopped"));
    EXPECT_THAT(log, HasSubstr("[FetchThisWeek] the fetch did not end normally: the week files were kept"));
    EXPECT_EQ(link.Operations().back(), "JVClose");
    EXPECT_EQ(host.Status(StatusBox::Text1), kFailedText);
}

TEST_F(WeeklyFetch, AWeekThatCannotBeWrittenWholeKeepsLastWeek) {
    // A folder in the way of the runner file's scratch file: the runners cannot be written, so
    // the new week is not whole and none of it takes last week's place.
    WriteLastWeek();
    folder.Write("SETHISWEEKN.dat.partial/keep", "x");
    link.QueueOpen(0, 1, 0);
    link.QueueRecord(RA("RACE1"));
    link.QueueRecord(SE("RUNR1"));
    link.QueueRecord(SE("RUNR2"));
    link.QueueRecord(HR("PAYS1"));
    link.QueueEnd();

    EXPECT_EQ(Fetch(), acquisition::WeeklyFetchOutcome::Failed);

    ExpectLastWeekKept();
    const std::string log = folder.Read("ERRORLOG.txt");
    EXPECT_THAT(log, HasSubstr("2 records not written to SETHISWEEKN.dat"));
    EXPECT_THAT(log, HasSubstr("not every record could be written (see above): the week files were kept"));
    EXPECT_TRUE(MessageLog().empty());
    EXPECT_EQ(host.Status(StatusBox::Text1), kFailedText);
}

TEST_F(WeeklyFetch, AWeekFileThatCannotBeReplacedIsReported) {
    // A folder in the way of the runner file itself: the four others take their place, the
    // runners cannot, and the user is told to fetch again.
    folder.Write("SETHISWEEKN.dat/keep", "x");
    link.QueueOpen(0, 1, 0);
    link.QueueRecord(RA("RACE1"));
    link.QueueRecord(SE("RUNR1"));
    link.QueueEnd();

    EXPECT_EQ(Fetch(), acquisition::WeeklyFetchOutcome::Failed);

    EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), RA("RACE1"));
    EXPECT_EQ(folder.Read("SETHISWEEKN.dat/keep"), "x");
    EXPECT_THAT(ScratchLeft(), ::testing::IsEmpty());
    const std::string log = folder.Read("ERRORLOG.txt");
    EXPECT_THAT(log, HasSubstr("cannot replace"));
    EXPECT_THAT(log, HasSubstr("not every week file could be replaced"));
    EXPECT_EQ(host.Status(StatusBox::Text1), kFailedText);
}

// The five renames are one change of the week: while they run, WEEKLYFETCH.mark stands. A rename
// that fails leaves the week files partly new and partly old, and the mark stays, so that the
// start-up and structure building, which reads them, say that the fetch did not end; a fetch that
// puts every file in place takes it away.
TEST_F(WeeklyFetch, AFetchThatReplacedOnlySomeWeekFilesLeavesItsMark) {
    WriteLastWeek();
    std::filesystem::remove(folder / "SETHISWEEKN.dat");
    folder.Write("SETHISWEEKN.dat/keep", "x");  // in the way of the runner file's rename
    const auto queueWeek = [&] {
        link.QueueOpen(0, 1, 0);
        link.QueueRecord(RA("RACE1")).QueueRecord(SE("RUNR1")).QueueRecord(UM("HORS1"));
        link.QueueEnd();
    };
    queueWeek();

    EXPECT_EQ(Fetch(), acquisition::WeeklyFetchOutcome::Failed);

    EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), RA("RACE1"));
    EXPECT_TRUE(common::StepMarkStands(common::MarkedStep::WeeklyFetch));
    EXPECT_THAT(folder.Read("ERRORLOG.txt"),
                HasSubstr("not every week file could be replaced (see above): WEEKLYFETCH.mark stands until the fetch "
                          "has run again"));
    EXPECT_EQ(host.Status(StatusBox::Text1), kFailedText);

    testsupport::RecordingHost structures;
    acquisition::BuildWeekStructures(structures);
    EXPECT_THAT(structures.Status(StatusBox::Text4), HasSubstr("①今週開催取得が途中で終了しています"));
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("[BuildWeekStructures] WEEKLYFETCH.mark stands"));

    std::filesystem::remove_all(folder / "SETHISWEEKN.dat");
    queueWeek();
    EXPECT_EQ(Fetch(), acquisition::WeeklyFetchOutcome::Done);
    EXPECT_EQ(folder.Read("SETHISWEEKN.dat"), SE("RUNR1"));
    EXPECT_FALSE(common::StepMarkStands(common::MarkedStep::WeeklyFetch));
    EXPECT_EQ(host.Status(StatusBox::Text1), kEndText);
}

// A fetch whose mark cannot be set replaces nothing: without the mark a rename cut short would go
// unnoticed.
TEST_F(WeeklyFetch, AFetchThatCannotSetItsMarkKeepsLastWeek) {
    WriteLastWeek();
    folder.Write("WEEKLYFETCH.mark.partial/keep", "x");  // in the way of the mark's scratch file
    link.QueueOpen(0, 1, 0);
    link.QueueRecord(RA("RACE1"));
    link.QueueEnd();

    EXPECT_EQ(Fetch(), acquisition::WeeklyFetchOutcome::Failed);

    ExpectLastWeekKept();
    EXPECT_THAT(ScratchLeft(), ElementsAre("WEEKLYFETCH.mark.partial"));  // the obstacle alone
    EXPECT_THAT(folder.Read("ERRORLOG.txt"),
                HasSubstr("WEEKLYFETCH.mark could not be set (see above): the week files were kept"));
    EXPECT_EQ(host.Status(StatusBox::Text1), kFailedText);
}

// A record file is written a block at a time: a block that cannot be written loses every record
// it held, and the log counts them all, not one per failed write. A text file writes each record
// at once and loses just that one.
TEST(ScratchFile, AFailedWriteCountsTheRecordsItLost) {
    struct SwitchOff {
        ~SwitchOff() { common::FailNthFileCall(0); }
    } off;
    testsupport::TempAppFolder folder;
    // 262 144-byte blocks hold 206 races: the 207th append writes the first block.
    acquisition::ScratchFile<common::RecordAppender> races("Step", folder / "RATHISWEEKN.dat");
    races.Open(std::size_t{1272});
    common::FailNthFileCall(1);
    for (int i = 1; i <= 300; ++i) races.Append([&](common::RecordAppender& f) { f.Append(RA(std::to_string(i))); });
    common::FailNthFileCall(0);
    races.Close();

    acquisition::ScratchFile<common::TextAppender> odds("Step", folder / "O6THISWEEKN.dat");
    odds.Open();
    common::FailNthFileCall(2);
    for (int i = 1; i <= 3; ++i) odds.Append([&](common::TextAppender& f) { f.Raw("line\r\n"); });
    common::FailNthFileCall(0);
    odds.Close();

    EXPECT_FALSE(races.Sound());
    EXPECT_FALSE(odds.Sound());
    // The 93 races after the lost block are written.
    EXPECT_EQ(folder.Read("RATHISWEEKN.dat.partial").size(), std::size_t{93 * 1272});
    EXPECT_EQ(folder.Read("O6THISWEEKN.dat.partial"), "line\r\nline\r\n");
    const std::string log = folder.Read("ERRORLOG.txt");
    EXPECT_THAT(log, HasSubstr("[Step] 207 records not written to RATHISWEEKN.dat"));
    EXPECT_THAT(log, HasSubstr("[Step] 1 records not written to O6THISWEEKN.dat"));
}

}  // namespace
