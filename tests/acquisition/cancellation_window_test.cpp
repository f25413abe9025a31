#include "acquisition/race_cancellation_window.h"

#include <memory>
#include <string>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "acquisition/structure_building_window.h"
#include "app/main_menu_window.h"
#include "cancellation_fixtures.h"
#include "dataservice/scripted_jvlink.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

// The race-cancellation window offscreen: what it shows once its load has run, its button, and how
// the main menu's ② opens it after structure building.
namespace {

using namespace cancellationtest;
using ::testing::ElementsAre;
using Menu = app::TLMF1THISWEEKNVK31;

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

const At kRace{"20241012", "05", "04", "02", "01"};

QList<acquisition::CHUSIRIALTIME*> CancellationWindows() {
    QList<acquisition::CHUSIRIALTIME*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* c = qobject_cast<acquisition::CHUSIRIALTIME*>(w); c && c->isVisible()) found.push_back(c);
    return found;
}

QString Text1Of(QWidget* window) { return window->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText(); }

TEST(CancellationWindow, HasDoneItsWorkWhenItShowsAndItsButtonCloses) {
    testsupport::TempAppFolder folder;
    const std::string races = Race('2', kRace, "A") + Race('2', At{"20241012", "05", "04", "02", "02"}, "B");
    folder.Write("RATHISWEEKNNEW.dat", races);
    folder.Write("RATHISWEEKNNEWd.dat", races);
    folder.Write("SETHISWEEKNNEWd.dat", "");
    testsupport::RecordingHost host;
    auto link = std::make_unique<dataservice::ScriptedJVLink>();
    dataservice::ScriptedJVLink* script = link.get();
    script->QueueRecord(Race('9', kRace, "X")).QueueReadCode(-203);

    QPointer<acquisition::CHUSIRIALTIME> window = new acquisition::CHUSIRIALTIME(host, nullptr, std::move(link));
    window->show();

    EXPECT_EQ(window->objectName(), "CHUSIRIALTIME");
    EXPECT_EQ(window->windowTitle(), Q("中止処理 Ver.2024.6.29Z"));
    EXPECT_EQ(Text1Of(window), Q("中止処理終了コマンドボタンはソフトを完全に終了する時まではクリックしないで下さい。"));
    // The window's own data service did the fetch; race 01 is gone, race 02 stays.
    EXPECT_THAT(script->log, ElementsAre("JVInit SA583920/SD271539/TALMOR7THISWEEKN/ver.2020.3.2",
                                         "JVRTOpen 0B12 20241012", "JVRead", "JVRead", "JVClose"));
    EXPECT_EQ(folder.Read("RATHISWEEKNNEW.dat"), Race('2', At{"20241012", "05", "04", "02", "02"}, "B"));
    EXPECT_EQ(window->Applied().outcome, acquisition::CancellationOutcome::Done);

    auto* command1 = window->findChild<QPushButton*>(QStringLiteral("Command1"));
    ASSERT_NE(command1, nullptr);
    EXPECT_EQ(command1->text(), Q("触れないで"));
    command1->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST(CancellationWindow, AnEmptyRaceFileSaysThereWasNoInput) {
    testsupport::TempAppFolder folder;
    folder.Write("RATHISWEEKNNEW.dat", "");
    testsupport::RecordingHost host;
    QPointer<acquisition::CHUSIRIALTIME> window =
        new acquisition::CHUSIRIALTIME(host, nullptr, std::make_unique<dataservice::ScriptedJVLink>());

    EXPECT_EQ(Text1Of(window), Q("中止処理終了（入力ファイルがありません。先に①を実行して下さい。ERRORLOG.txtを確認して下さい。）"));
    EXPECT_THAT(host.Messages(), ElementsAre("該当するデータがありません。"));
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The main menu's ② makes the window with the stand-in data service of the application folder's
// settings; the test's folder has none, so the stand-in serves AppFolder/jvdata.
class MenuWithWeek : public ::testing::Test {
protected:
    MenuWithWeek() {
        folder.Write("OPTION1N/KYOSOBA.dat", "weights");
        folder.Write("RATHISWEEKN.dat", structuretest::Ra('2', "20241012", "05", "01", "A") +
                                            structuretest::Ra('2', "20241012", "05", "02", "B"));
        folder.Write("SETHISWEEKN.dat", structuretest::Se('2', "20241012", "05", "01", "03", "2019100001", "s1"));
        folder.Write("UMTHISWEEKN.dat", structuretest::Um("2019100001", "1000000001", "u1"));
        // Race 01 of the 12th (meeting 04, day 02 in the fixtures) and its runner are called off.
        folder.Write("jvdata/realtime/0B12/20241012",
                     Race('9', kRace, "X") + Runner('9', kRace, "03", "2019100001", "x1"));
    }
    ~MenuWithWeek() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<acquisition::CHUSIRIALTIME*>(w) || qobject_cast<acquisition::KOUZOUTAIVK31*>(w)) w->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    testsupport::TempAppFolder folder;
};

TEST_F(MenuWithWeek, StructureButtonWithOption1OpensTheCancellationWindowAfterStructureBuilding) {
    Menu menu(Menu::Interaction::Recorded);
    menu.show();
    menu.findChild<QRadioButton*>(QStringLiteral("Option1"))->setChecked(true);
    menu.findChild<QPushButton*>(QStringLiteral("Command4"))->click();

    EXPECT_EQ(menu.ZansaFlag, 0);
    const auto windows = CancellationWindows();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(Text1Of(windows.front()),
              Q("中止処理終了コマンドボタンはソフトを完全に終了する時まではクリックしないで下さい。"));
    // Structure building wrote both races; cancellation, which came after it, took race 01 out of
    // the working copy and the run file.
    EXPECT_EQ(structuretest::RaTags(folder.Read("RATHISWEEKNNEWd.dat")), (std::vector<std::string>{"X", "B"}));
    EXPECT_EQ(structuretest::RaTags(folder.Read("RATHISWEEKNNEW.dat")), (std::vector<std::string>{"B"}));
    EXPECT_EQ(folder.Read("SETHISWEEKNNEW.dat"), "");
    EXPECT_TRUE(folder.Exists("UMAGOTOTHISWEEKN/2019100001.dat"));
    EXPECT_EQ(folder.Read("UMAGOTOTHISWEEKN/2019100001.dat"), "");
    EXPECT_TRUE(menu.RecordedMessages().empty());
}

TEST_F(MenuWithWeek, StructureButtonWithoutOption1OpensNoCancellationWindow) {
    Menu menu(Menu::Interaction::Recorded);
    menu.show();
    menu.findChild<QPushButton*>(QStringLiteral("Command4"))->click();

    EXPECT_EQ(menu.ZansaFlag, 1);
    EXPECT_TRUE(CancellationWindows().isEmpty());
    EXPECT_EQ(structuretest::RaTags(folder.Read("RATHISWEEKNNEW.dat")), (std::vector<std::string>{"A", "B"}));
    EXPECT_FALSE(folder.Exists("RARIALTIME.dat"));
}

}  // namespace
