#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/main_menu_window.h"
#include "dataservice/scripted_jvlink.h"
#include "support/temp_folder.h"
#include "week_records.h"

// The main menu's "設定" and ① buttons with a scripted data service in place of the stand-in.
namespace {

using ::testing::ElementsAre;
using Menu = app::TLMF1THISWEEKNVK31;

const std::vector<std::string> kStepButtons = {"Command1", "Command2", "Command3", "Command4",
                                               "Command6", "Command7", "Command8", "Command11",
                                               "Command12", "Command13", "Command15"};
const std::vector<std::string> kViewerButtons = {"Command5", "Command9", "Command10", "Command14", "Command16"};

class MainMenuFetch : public ::testing::Test {
protected:
    MainMenuFetch() {
        folder.Write("OPTION1N/KYOSOBA.dat", "weights");
        folder.Write("OPTION1N/STALLION.dat", "weights");
        menu = std::make_unique<Menu>(Menu::Interaction::Recorded);
        auto scripted = std::make_unique<dataservice::ScriptedJVLink>();
        link = scripted.get();
        menu->SetJVLink(std::move(scripted));
    }

    QPushButton* Button(const std::string& name) const {
        return menu->findChild<QPushButton*>(QString::fromStdString(name));
    }
    QString Text1() const { return menu->findChild<QPlainTextEdit*>("Text1")->toPlainText(); }

    testsupport::TempAppFolder folder;
    std::unique_ptr<Menu> menu;
    dataservice::ScriptedJVLink* link = nullptr;
};

TEST_F(MainMenuFetch, FetchDisablesTheStepButtonsAndIgnoresASecondStart) {
    link->QueueOpen(0, 2, 5);
    link->QueueRecord(fetchtest::RA("RACE1"));
    link->QueueEnd();

    int progressRuns = 0;
    menu->SetProgressRunner([&](acquisition::DownloadStarter& s) {
        ++progressRuns;
        EXPECT_EQ(&s.JVLink1, link);
        EXPECT_EQ(&s.DownloadCount, &menu->DownloadCount);
        EXPECT_EQ(&s.DialogResult, &menu->DialogResult);
        for (const std::string& name : kStepButtons) EXPECT_FALSE(Button(name)->isEnabled()) << name;
        for (const std::string& name : kViewerButtons) EXPECT_TRUE(Button(name)->isEnabled()) << name;
        // A click that was queued before the buttons went grey: it must not start a second fetch.
        Q_EMIT Button("Command2")->clicked();
        EXPECT_EQ(link->Count("JVInit"), 1u);
        s.DialogResult = 0;
    });

    Button("Command2")->click();

    EXPECT_EQ(progressRuns, 1);
    EXPECT_EQ(link->Count("JVInit"), 1u);
    EXPECT_EQ(menu->DownloadCount, 5);
    EXPECT_EQ(menu->DialogResult, 0);
    EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), fetchtest::RA("RACE1"));
    EXPECT_EQ(Text1(), "今週開催取得終了");
    EXPECT_TRUE(menu->RecordedMessages().empty());
    for (const std::string& name : kStepButtons) EXPECT_TRUE(Button(name)->isEnabled()) << name;

    // The next click runs again; with nothing to read it fails and the week fetched before stays.
    link->QueueOpen(0, 0, 0);
    Button("Command2")->click();
    EXPECT_EQ(link->Count("JVInit"), 2u);
    EXPECT_THAT(menu->RecordedMessages(), ElementsAre("該当するデータがありません。"));
    EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), fetchtest::RA("RACE1"));
    EXPECT_EQ(Text1(), "今週開催取得に失敗しました。ERRORLOG.txtを確認して下さい。");
}

TEST_F(MainMenuFetch, FetchFollowsTheDownloadInTheProgressWindow) {
    // Status 1, 2, then the download count (the scripted default).
    link->QueueOpen(0, 3, 3);
    link->QueueStatus({1, 2});
    link->QueueRecord(fetchtest::HR("PAYS1"));
    link->QueueEnd();
    menu->DialogResult = -1;

    Button("Command2")->click();

    EXPECT_EQ(link->Count("JVStatus"), 3u);
    EXPECT_EQ(menu->DialogResult, 0);
    EXPECT_EQ(folder.Read("HRTHISWEEKN.dat"), fetchtest::HR("PAYS1"));
    EXPECT_TRUE(menu->RecordedMessages().empty());
}

TEST_F(MainMenuFetch, SettingsButtonOpensTheDataServiceSettingsAndReportsAFailure) {
    link->uiResults = {-1, 0};

    Button("Command1")->click();
    Button("Command1")->click();

    EXPECT_EQ(link->Count("JVSetUIProperties"), 2u);
    EXPECT_THAT(menu->RecordedMessages(), ElementsAre("エラーのためJV-Linkの設定に失敗しました。"));
}

}  // namespace
