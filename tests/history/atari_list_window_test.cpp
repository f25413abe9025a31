#include "history/atari_list_window.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include "app/main_menu_window.h"
#include "history/stored_days.h"
#include "support/temp_folder.h"
#include "ui/flex_grid.h"

// The big-payout window opened from the main menu, found and read by its controls' names.
namespace {

using historytest::Line;
using Menu = app::TLMF1THISWEEKNVK31;

std::string Str(const QString& s) { return s.toStdString(); }

std::string Race(std::string_view raceNum, std::string_view payout) {
    return Line({"RC", "1", "1010", raceNum, "", "レース" + std::string(raceNum), "３歳未勝利", "", "芝", "1600", "35", "晴良"}) +
           Line({"AT", "1", "1", "本線1点目 的中", " 2- 5", payout});
}

struct BigPayoutWindow : testing::Test {
    testsupport::TempAppFolder dir;
    std::vector<std::string> text6;

    void SetUp() override {
        dir.Write("JRACODE/CodeTable.csv", common::ToCp932("2001,06,,,中山,,,\r\n"));
        dir.Write("TEKICHU/20250309060205lupRCM.txt", Race("01", "23450") + Race("02", "980"));
        dir.Write("TEKICHU/20250302060202lupRCM.txt", Race("11", "10010"));
    }
    std::unique_ptr<Menu> MakeMenu() {
        auto menu = std::make_unique<Menu>(Menu::Interaction::Recorded);
        auto* box = menu->findChild<QPlainTextEdit*>("Text6");
        QObject::connect(box, &QPlainTextEdit::textChanged, [this, box] { text6.push_back(Str(box->toPlainText())); });
        return menu;
    }
    static void Click(Menu& menu) {
        menu.findChild<QPushButton*>("Command15")->click();
        QApplication::processEvents();
    }
    static history::TekichuListVK31* Window(Menu& menu) {
        return menu.findChild<history::TekichuListVK31*>("TekichuListVK31");
    }
};

TEST_F(BigPayoutWindow, Command15OpensTheListAndTellsItsProgressInText6) {
    auto menu = MakeMenu();
    Click(*menu);
    EXPECT_EQ(text6, (std::vector<std::string>{"過去の的中リストを開始しました。しばらくお待ちください。。。。。。。",
                                               "2025年03月09日検索中", "2025年03月02日検索中", "過去の的中リスト終了"}));
    history::TekichuListVK31* window = Window(*menu);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Str(window->windowTitle()), "万馬券的中リスト　Ver.2024.8.12A");
    auto* Label1 = window->findChild<QLabel*>("Label1");
    ASSERT_NE(Label1, nullptr);
    EXPECT_EQ(Str(Label1->text()), "的中目はタイム合計法（指数和）で求めています。馬連・馬単は6点区切り、3連複は7点区切り、"
                                   "3連単は42点区切りの3区分（本・準・伏）です。");
    auto* grid = window->findChild<ui::FlexGrid*>("tekichuFG");
    ASSERT_NE(grid, nullptr);
    const ui::FlexGridModel& cells = grid->Model();
    ASSERT_EQ(cells.rowCount(), 5000);
    ASSERT_EQ(cells.columnCount(), 20);
    EXPECT_EQ(Str(cells.Text(0, 0)), "年  本数");
    EXPECT_EQ(Str(cells.Text(1, 0)), " 2025年 1");
    EXPECT_EQ(Str(cells.Text(1, 11)), "  2- 5");
    EXPECT_EQ(Str(cells.Text(1, 9)), "23450");
    EXPECT_EQ(Str(cells.Text(2, 0)), " 2025年 2");
    EXPECT_EQ(Str(cells.Text(2, 6)), "11R");
    EXPECT_EQ(Str(cells.Text(3, 0)), "");
    EXPECT_EQ(grid->DesignedColWidth(7), 2200);
    EXPECT_EQ(cells.data(cells.index(0, 5), Qt::BackgroundRole).value<QColor>(), ui::FixedCellColour());
    EXPECT_EQ(cells.data(cells.index(1, 0), Qt::BackgroundRole).value<QColor>(), ui::FixedCellColour());

    // While it is open a click only brings it forward; closed, the next click collects afresh.
    text6.clear();
    Click(*menu);
    EXPECT_EQ(Window(*menu), window);
    EXPECT_EQ(text6, (std::vector<std::string>{"過去の的中リストを開始しました。しばらくお待ちください。。。。。。。",
                                               "過去の的中リスト終了"}));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Window(*menu), nullptr);
    dir.Write("TEKICHU/20250301060201lupRCM.txt", Race("05", "98760"));
    text6.clear();
    Click(*menu);
    ASSERT_NE(Window(*menu), nullptr);
    EXPECT_EQ(text6.size(), 5u);
    EXPECT_EQ(Str(Window(*menu)->findChild<ui::FlexGrid*>("tekichuFG")->Model().Text(3, 9)), "98760");
    const std::string file = dir.Read("TEKICHU/ATARILIST.txt");
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 4);  // every hit, big or not
}

// The end text counts what the load passed over.
TEST_F(BigPayoutWindow, TheEndTextCountsFailures) {
    std::filesystem::create_directories(dir / "TEKICHU/20250303060201lupRCM.txt");
    auto menu = MakeMenu();
    Click(*menu);
    ASSERT_FALSE(text6.empty());
    EXPECT_EQ(text6.back(), "過去の的中リスト終了　エラー1件（ERRORLOG.txt）");
    ASSERT_NE(Window(*menu), nullptr);
    EXPECT_EQ(Str(Window(*menu)->findChild<ui::FlexGrid*>("tekichuFG")->Model().Text(2, 9)), "10010");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
