#include "acquisition/structure_building_window.h"

#include <string>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "acquisition/structure_fixtures.h"
#include "app/main_menu_window.h"
#include "support/temp_folder.h"

namespace {

using Menu = app::TLMF1THISWEEKNVK31;
using namespace structuretest;

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

QList<acquisition::KOUZOUTAIVK31*> StructureWindows() {
    QList<acquisition::KOUZOUTAIVK31*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* s = qobject_cast<acquisition::KOUZOUTAIVK31*>(w); s && s->isVisible()) found.push_back(s);
    return found;
}

void CloseAll() {
    for (auto* w : StructureWindows()) w->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct MenuWithWeek {
    testsupport::TempAppFolder folder;
    MenuWithWeek() {
        folder.Write("OPTION1N/KYOSOBA.dat", "weights");
        folder.Write("RATHISWEEKN.dat", Ra('2', "20241012", "05", "01", "A") + Ra('2', "20241012", "05", "01", "B"));
        folder.Write("SETHISWEEKN.dat", Se('2', "20241012", "05", "01", "03", "2019100001", "s1"));
        folder.Write("UMTHISWEEKN.dat", Um("2019100001", "1000000001", "u1"));
    }
};

TEST(StructureButton, OpensAFreshWindowThatHasDoneItsWork) {
    MenuWithWeek week;
    Menu menu(Menu::Interaction::Recorded);
    menu.show();
    auto* option1 = menu.findChild<QRadioButton*>("Option1");
    auto* command4 = menu.findChild<QPushButton*>("Command4");
    ASSERT_TRUE(option1 && command4);
    ASSERT_FALSE(option1->isChecked());

    command4->click();

    EXPECT_EQ(menu.ZansaFlag, 1);  // no race cancellation
    const auto windows = StructureWindows();
    ASSERT_EQ(windows.size(), 1);
    acquisition::KOUZOUTAIVK31* window = windows.front();
    EXPECT_EQ(window->objectName(), "KOUZOUTAIVK31");
    EXPECT_EQ(window->windowTitle(), Q("Ver.2024.8.12A　構造体"));
    EXPECT_EQ(window->findChild<QPlainTextEdit*>("Text1")->toPlainText(),
              Q("中止処理を選択した場合、中止処理終了が出ますので暫くお待ち下さい。"));
    EXPECT_EQ(menu.findChild<QPlainTextEdit*>("Text4")->toPlainText(), Q("構造体処理終了  1"));
    // The work was done before the window showed: the files are there.
    // Of two records with one key the sort leaves the first last.
    EXPECT_EQ(RaTags(week.folder.Read("RATHISWEEKNNEW.dat")), (std::vector<std::string>{"A"}));
    EXPECT_EQ(week.folder.Read("UMAGOTOTHISWEEKN/2019100001.dat"),
              Se('2', "20241012", "05", "01", "03", "2019100001", "s1"));
    EXPECT_TRUE(command4->isEnabled());  // the step is over

    auto* command1 = window->findChild<QPushButton*>("Command1");
    ASSERT_TRUE(command1);
    EXPECT_EQ(command1->text(), Q("構造体処理終了"));
    command1->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(StructureWindows().isEmpty());
}

TEST(StructureButton, Option1SelectedSetsZansaFlagToZeroAndEveryClickBuildsAgain) {
    MenuWithWeek week;
    Menu menu(Menu::Interaction::Recorded);
    menu.show();
    menu.findChild<QRadioButton*>("Option1")->setChecked(true);
    auto* command4 = menu.findChild<QPushButton*>("Command4");

    command4->click();
    EXPECT_EQ(menu.ZansaFlag, 0);
    // A second click makes a second window and builds again from the files as they are now.
    week.folder.Write("RATHISWEEKN.dat", Ra('2', "20241012", "05", "01", "C"));
    command4->click();
    EXPECT_EQ(StructureWindows().size(), 2);
    EXPECT_EQ(RaTags(week.folder.Read("RATHISWEEKNNEW.dat")), (std::vector<std::string>{"C"}));
    CloseAll();
}

}  // namespace
