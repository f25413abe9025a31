#include "acquisition/weekly_fetch.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/paths.h"
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

const std::vector<std::string> kWeekFiles = {"RATHISWEEKN.dat", "SETHISWEEKN.dat", "UMTHISWEEKN.dat",
                                             "KSTHISWEEKN.dat", "HRTHISWEEKN.dat"};

class WeeklyFetch : public ::testing::Test {
protected:
    void SetUp() override { folder.Write("OPTION1N/STALLION.dat", "weights"); }

    /// Last week's files, which every fetch must replace.
    void WriteLastWeek() {
        for (const std::string& name : kWeekFiles) folder.Write(name, std::string(5000, 'X'));
    }

    void Fetch() { acquisition::FetchThisWeek(starter, runner); }

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
    // The buffer holds a whole record and more, but the read says 100 bytes: the rest is not
    // this record's and the stored form gets blanks in its place.
    link.reads.push_back({100, SE("SHORT") + "TRAILING", ""});
    link.reads.push_back({static_cast<int>(kSeLength), SE("WHOLE") + "TRAILING", ""});
    link.QueueEnd();

    Fetch();

    std::string shortStored = SE("SHORT").substr(0, 100) + std::string(kSeLength - 100, ' ');
    EXPECT_EQ(folder.Read("SETHISWEEKN.dat"), shortStored + SE("WHOLE"));
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

TEST_F(WeeklyFetch, NothingToReadOrOpenErrorEndsWithTheWeekFilesDeleted) {
    struct Case {
        int result;
        int readCount;
        std::string message;
    };
    for (const Case& c : {Case{0, 0, "該当するデータがありません。"}, Case{-111, 0, "JVOpenエラー。RC=-111"},
                          Case{-201, 5, "JVOpenエラー。RC=-201"}}) {
        SCOPED_TRACE(c.message);
        host.calls.clear();
        link.log.clear();
        WriteLastWeek();
        link.QueueOpen(c.result, c.readCount, 4);
        link.QueueRecord(RA("NEVER"));

        Fetch();

        EXPECT_THAT(MessageLog(), ElementsAre(c.message));
        EXPECT_FALSE(AnyWeekFile());
        EXPECT_EQ(progressRuns, 0);
        EXPECT_EQ(link.Count("JVRead"), 0u);
        EXPECT_EQ(link.log.back(), "JVClose");
        EXPECT_EQ(host.Status(StatusBox::Text1), kEndText);
        link.reads.clear();
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

TEST_F(WeeklyFetch, CancelledDownloadEndsWithoutReadingOrWeekFiles) {
    WriteLastWeek();
    outcome = -1;
    link.QueueOpen(0, 12, 12);
    link.QueueRecord(RA("RACE1"));

    Fetch();

    EXPECT_EQ(progressRuns, 1);
    EXPECT_EQ(dialogResult, -1);
    EXPECT_EQ(link.Count("JVRead"), 0u);
    EXPECT_FALSE(AnyWeekFile());
    EXPECT_TRUE(MessageLog().empty());
    EXPECT_EQ(link.log.back(), "JVClose");
    EXPECT_EQ(host.Status(StatusBox::Text1), kEndText);
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

    Fetch();

    EXPECT_THAT(MessageLog(), ElementsAre("JVReadエラー。 RC=-403"));
    EXPECT_EQ(link.Count("JVFiledelete a.dat"), 3u);
    EXPECT_EQ(link.Count("JVFiledelete b.dat"), 1u);
    EXPECT_EQ(link.Count("JVOpen"), 5u);
    EXPECT_EQ(link.reads.size(), 1u);
    EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), RA("RACE1") + RA("RACE2"));
    EXPECT_EQ(link.log.back(), "JVClose");
    EXPECT_EQ(host.Status(StatusBox::Text1), kEndText);
}

TEST_F(WeeklyFetch, ReadErrorIsReportedAndKeepsWhatCameBefore) {
    link.QueueOpen(0, 2, 0);
    link.QueueRecord(SE("RUNR1"));
    link.QueueReadCode(-503, "x.dat");
    link.QueueRecord(SE("NEVER"));

    Fetch();

    EXPECT_THAT(MessageLog(), ElementsAre("JVReadエラー。 RC=-503"));
    EXPECT_EQ(folder.Read("SETHISWEEKN.dat"), SE("RUNR1"));
    EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), "");
    EXPECT_TRUE(folder.Exists("RATHISWEEKN.dat"));  // opened as a new, empty file
    EXPECT_EQ(link.reads.size(), 1u);
    EXPECT_EQ(link.Operations().back(), "JVClose");
    EXPECT_EQ(host.Status(StatusBox::Text1), kEndText);
}

TEST_F(WeeklyFetch, ReadsThatBringNoRecordLeaveEmptyFilesOrNone) {
    // Reads that end normally: the week has no records, and says so with five empty files.
    WriteLastWeek();
    link.QueueOpen(0, 1, 0);
    link.QueueNextFile();
    link.QueueEnd();
    Fetch();
    for (const std::string& name : kWeekFiles) {
        EXPECT_TRUE(folder.Exists(name)) << name;
        EXPECT_EQ(folder.Read(name), "") << name;
    }

    // A read error before the first record: the files were opened as new, empty files before
    // the reads began, so last week's records are gone and the five files are empty.
    WriteLastWeek();
    link.QueueOpen(0, 1, 0);
    link.QueueReadCode(-502);
    Fetch();
    EXPECT_THAT(MessageLog(), ElementsAre("JVReadエラー。 RC=-502"));
    for (const std::string& name : kWeekFiles) {
        EXPECT_TRUE(folder.Exists(name)) << name;
        EXPECT_EQ(folder.Read(name), "") << name;
    }
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
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("[FetchThisWeek] read loop stopped"));
    EXPECT_EQ(link.Operations().back(), "JVClose");
    EXPECT_EQ(host.Status(StatusBox::Text1), kEndText);
}

TEST_F(WeeklyFetch, AWeekFileThatCannotBeWrittenIsPassedOverAndLogged) {
    // A folder in the way of the runner file: it can be neither deleted nor opened as a file.
    folder.Write("SETHISWEEKN.dat/keep", "x");
    link.QueueOpen(0, 1, 0);
    link.QueueRecord(RA("RACE1"));
    link.QueueRecord(SE("RUNR1"));
    link.QueueRecord(SE("RUNR2"));
    link.QueueRecord(HR("PAYS1"));
    link.QueueEnd();

    Fetch();

    EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), RA("RACE1"));
    EXPECT_EQ(folder.Read("HRTHISWEEKN.dat"), HR("PAYS1"));
    const std::string log = folder.Read("ERRORLOG.txt");
    EXPECT_THAT(log, HasSubstr("cannot delete"));
    EXPECT_THAT(log, HasSubstr("2 records not written to SETHISWEEKN.dat"));
    EXPECT_TRUE(MessageLog().empty());
    EXPECT_EQ(host.Status(StatusBox::Text1), kEndText);
}

}  // namespace
