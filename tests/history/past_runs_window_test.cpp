#include "history/past_runs_window.h"

#include <string>
#include <vector>

#include <QApplication>
#include <QPushButton>
#include <gtest/gtest.h>

#include "history/past_runs.h"
#include "support/record_bytes.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"
#include "ui/flex_grid.h"

// The past-runs window, found and driven by its controls' names.
namespace {

using testsupport::Put;

std::string Str(const QString& s) { return s.toStdString(); }

std::string DatedRecord(std::string_view yyyymmdd) {
    std::string r(2603, ' ');
    Put(r, 1, "SE");
    Put(r, 12, yyyymmdd);
    Put(r, 2602, "\r\n");
    return r;
}

std::vector<QWidget*> OpenWindows() {
    std::vector<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "Kakoso" && w->isVisible()) found.push_back(w);
    return found;
}

void CloseWith(QWidget& window) {
    window.findChild<QPushButton*>("Command1")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

const ui::FlexGridModel& Grid(QWidget& window) { return window.findChild<ui::FlexGrid*>("EXFG1")->Model(); }

TEST(Kakoso, OneWindowThatKeepsItsHorseUntilClosed) {
    testsupport::TempAppFolder dir;
    dir.Write("JRACODE/CodeTable.csv", "2001,05,,,x,,,\r\n");
    dir.Write("UMAGOTOEXTHISWEEKN/2019104321EX.dat", DatedRecord("20240106") + DatedRecord("20240203"));
    dir.Write("UMAGOTOEXTHISWEEKN/2020100001EX.dat", DatedRecord("20250105"));
    testsupport::RecordingHost host;

    history::Kakoso& window = history::ShowPastRuns(host, "テスト            2019104321EX.dat");
    ASSERT_EQ(OpenWindows(), std::vector<QWidget*>{&window});
    EXPECT_EQ(Str(window.windowTitle()), "全過去走詳細  Ver.2024.6.29Z");
    EXPECT_EQ(window.parentWidget(), nullptr);
    EXPECT_FALSE(window.isModal());
    auto* Command1 = window.findChild<QPushButton*>("Command1");
    ASSERT_NE(Command1, nullptr);
    EXPECT_EQ(Str(Command1->text()), "別の競走馬の全過去走を表示させたい場合、一旦終了（ここをクリック）させて下さい。");
    EXPECT_EQ(Command1->geometry(), QRect(32, 8, 889, 25));
    auto* EXFG1 = window.findChild<ui::FlexGrid*>("EXFG1");
    ASSERT_NE(EXFG1, nullptr);
    EXPECT_EQ(EXFG1->geometry(), QRect(32, 40, 889, 617));
    EXPECT_EQ(EXFG1->font().family(), "IPAPGothic");
    EXPECT_EQ(EXFG1->font().pointSize(), 9);
    const ui::FlexGridModel& cells = EXFG1->Model();
    ASSERT_EQ(cells.rowCount(), 312);
    ASSERT_EQ(cells.columnCount(), 3);
    EXPECT_EQ(Str(cells.Text(0, 1)), "前0走");
    EXPECT_EQ(Str(cells.Text(4, 1)), "20240203");
    EXPECT_EQ(Str(cells.Text(4, 2)), "20240106");
    EXPECT_EQ(EXFG1->DesignedColWidth(0), 2000);
    EXPECT_EQ(EXFG1->DesignedColWidth(1), 1500);
    EXPECT_EQ(cells.data(cells.index(200, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_TRUE(host.Messages().empty());

    // Another horse while it is open: the same window, still the first horse.
    history::Kakoso& again = history::ShowPastRuns(host, "テスト            2020100001EX.dat");
    EXPECT_EQ(&again, &window);
    EXPECT_EQ(history::SelectedHorseFile, "テスト            2020100001EX.dat");
    EXPECT_EQ(OpenWindows().size(), 1u);
    EXPECT_EQ(Str(Grid(window).Text(4, 1)), "20240203");
    EXPECT_EQ(Grid(window).columnCount(), 3);

    // Closed, the next opening reads afresh: the horse now selected, and the file as it is now.
    CloseWith(window);
    EXPECT_TRUE(OpenWindows().empty());
    dir.Write("UMAGOTOEXTHISWEEKN/2020100001EX.dat", DatedRecord("20250105") + DatedRecord("20250112"));
    history::Kakoso& fresh = history::ShowPastRuns(host, "テスト            2020100001EX.dat");
    EXPECT_EQ(Grid(fresh).columnCount(), 3);
    EXPECT_EQ(Str(Grid(fresh).Text(0, 1)), "前0走");
    EXPECT_EQ(Str(Grid(fresh).Text(4, 1)), "20250112");
    CloseWith(fresh);
}

// A file that ends in a torn record is shown as far as it is whole, and the user is told once.
TEST(Kakoso, AFileItCouldNotReadWholeIsTold) {
    testsupport::TempAppFolder dir;
    dir.Write("JRACODE/CodeTable.csv", "2001,05,,,x,,,\r\n");
    dir.Write("UMAGOTOEXTHISWEEKN/2019104321EX.dat", DatedRecord("20240106") + std::string(100, ' '));
    testsupport::RecordingHost host;

    history::Kakoso& window = history::ShowPastRuns(host, "2019104321EX.dat");
    EXPECT_EQ(host.Messages(), std::vector<std::string>{"読めないファイルがありました。ERRORLOG.txtを見て下さい。"});
    EXPECT_EQ(Grid(window).columnCount(), 2);
    EXPECT_EQ(Str(Grid(window).Text(4, 1)), "20240106");
    EXPECT_TRUE(dir.Exists("ERRORLOG.txt"));
    CloseWith(window);

    // A horse without a file is no failure.
    history::Kakoso& none = history::ShowPastRuns(host, "2019999999EX.dat");
    EXPECT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(Grid(none).columnCount(), 1);
    CloseWith(none);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
