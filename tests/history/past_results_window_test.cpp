#include "history/past_results_window.h"

#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "app/main_menu_window.h"
#include "history/stored_days.h"
#include "support/temp_folder.h"
#include "ui/flex_grid.h"

namespace {

using historytest::Hs;
using historytest::Line;
using historytest::Q1;
using historytest::RaceHead;
using historytest::TitleLine;
using Menu = app::TLMF1THISWEEKNVK31;

constexpr const char* kDayA = "20250309060206";
constexpr const char* kDayB = "20250301090105";

QString Qs(const std::string& s) { return QString::fromStdString(s); }

// A stored day of `races` races: hit table, rates and result report.
void StoreDay(const testsupport::TempAppFolder& dir, const std::string& key, int races, const std::string& course) {
    std::string tekichu = TitleLine(key.substr(0, 4), key.substr(4, 2), key.substr(6, 2), "2", course, "6") +
                          Line({"R番号", "馬連", "馬単", "3連複", "3連単", "ワイド1", "ワイド2", "ワイド3"});
    std::string report = Line({"DY", "1", key.substr(0, 8)});
    for (int n = 1; n <= races; ++n) {
        const std::string r = (n < 10 ? "0" : "") + std::to_string(n);
        tekichu += Line({r + "R 的中", "本線" + r + "点目", "", "", "", "", "", ""}) + Line({"当目", " 1- 2", "", "", "", "", "", ""}) +
                   Line({"配当", "1230", "", "", "", "", "", ""}) + Line({"予人", std::to_string(n) + " 2", "", "", "", "", "", ""});
        report += RaceHead(r, course + r, "1600") + Hs("1", "3", " 5", " 1", " 2", std::to_string(n), "1.34.56") +
                  Hs("2", "1", " 1", " 2", " 1", " 1", "1.35.00") + Q1() + Line({"AT", "1", "1", "的中", " 1- 5", r + "0"});
    }
    dir.Write("TEKICHU/" + key + "tekichu.txt", tekichu);
    dir.Write("TEKICHU/" + key + "kaiteki.txt", TitleLine("2025", "03", "09", "2", course, "6") +
                                                    Line({"　　", "回収率", "％", "　　", "的中率", "％", "　　"}) +
                                                    Line({"券種", "本線", "準本線", "伏兵", "本線", "準本線", "伏兵"}) +
                                                    Line({"馬連", "120.5", "80.0", "0.0", "41.6", "8.3", "0.0"}));
    dir.Write("TEKICHU/" + key + "lupRCM.txt", report);
}

struct Opened : testing::Test {
    testsupport::TempAppFolder dir;
    std::vector<std::string> text6;

    void SetUp() override {
        StoreDay(dir, kDayA, 12, "中山");
        StoreDay(dir, kDayB, 10, "阪神");
    }

    std::unique_ptr<Menu> MakeMenu() {
        auto menu = std::make_unique<Menu>(Menu::Interaction::Recorded);
        auto* box = menu->findChild<QPlainTextEdit*>("Text6");
        QObject::connect(box, &QPlainTextEdit::textChanged, [this, box] { text6.push_back(box->toPlainText().toStdString()); });
        return menu;
    }
    static void Click(Menu& menu) {
        menu.findChild<QPushButton*>("Command11")->click();
        QApplication::processEvents();
    }
    static history::KakoSeisekiVK31* Window(Menu& menu) { return menu.findChild<history::KakoSeisekiVK31*>("KakoSeisekiVK31"); }
};

// Every text and colour a view shows.
std::vector<std::string> Shown(history::KakoSeisekiVK31& w) {
    std::vector<std::string> out;
    for (auto* grid : w.findChildren<ui::FlexGrid*>()) {
        const auto& m = grid->Model();
        for (int r = 0; r < m.rowCount(); ++r)
            for (int c = 0; c < m.columnCount(); ++c)
                out.push_back(grid->objectName().toStdString() + ":" + m.Text(r, c).toStdString() + ":" +
                              m.BackColour(r, c).name().toStdString() + ":" + m.TextColour(r, c).name().toStdString());
    }
    for (auto* box : w.findChildren<QPlainTextEdit*>()) out.push_back(box->toPlainText().toStdString());
    return out;
}

TEST_F(Opened, Command11LoadsTheWindowAndTellsItsProgress) {
    auto menu = MakeMenu();
    Click(*menu);
    auto* w = Window(*menu);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), Qs("過去の予想成績 Ver.2024.8.12A"));
    const std::vector<std::string> expected = {
        "過去の予想成績を開始しました。しばらくお待ちください。。。。。。。",
        "2025年03月09日検索中",
        "2025年03月01日検索中",
        "TGFの外部指数作成開始",
    };
    ASSERT_GE(text6.size(), expected.size() + 22 + 1);
    EXPECT_EQ(std::vector<std::string>(text6.begin(), text6.begin() + 4), expected);
    EXPECT_EQ(text6[4], std::string(kDayA) + "01TGFの外部指数作成中");
    EXPECT_EQ(text6[4 + 21], std::string(kDayB) + "10TGFの外部指数作成中");
    EXPECT_EQ(text6.back(), "過去の予想成績終了");

    auto* list = w->findChild<QListWidget*>("List1");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), Qs(std::string("2025年03月09日2回中山6日目                  ") + kDayA));
    EXPECT_EQ(list->item(1)->text(), Qs(std::string("2025年03月01日2回阪神6日目                  ") + kDayB));

    auto* tabs = w->findChild<QTabWidget*>("SSTab1");
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(0), Qs("的中状況"));
    EXPECT_EQ(tabs->tabText(3), Qs("単複的中状況"));
    EXPECT_EQ(tabs->currentIndex(), 0);
    auto* races = w->findChild<QTabWidget*>("SSTab2");
    ASSERT_EQ(races->count(), 12);
    EXPECT_EQ(races->tabText(11), Qs("12　R"));
    EXPECT_EQ(races->currentIndex(), 0);
    for (const char* name : {"KakoSeiFG", "TekiKaiFG", "TanFukuFG", "TFTekiKaiFG", "RACEFG_0", "RACEFG_11", "TKFG_11"})
        EXPECT_NE(w->findChild<ui::FlexGrid*>(name), nullptr) << name;
    EXPECT_EQ(w->findChild<ui::FlexGrid*>("RACEFG_5")->Model().rowCount(), 19);
    EXPECT_EQ(w->findChild<ui::FlexGrid*>("RACEFG_5")->Model().columnCount(), 14);
    EXPECT_EQ(w->findChild<ui::FlexGrid*>("KakoSeiFG")->Model().rowCount(), 50);
    EXPECT_NE(w->findChild<QPlainTextEdit*>("Text2_11"), nullptr);

    // The index was rebuilt from the two days.
    EXPECT_EQ(dir.Read("TEKICHU/RACEIDYMDLKN.txt"), std::string(kDayA) + "\r\n" + kDayB + "\r\n");
    EXPECT_NE(dir.Read("SOKUDO/HR20250301.csv").find(std::string(kDayB) + "10,"), std::string::npos);
}

TEST_F(Opened, ClickingDaysShowsEachTheSameWayEveryTime) {
    auto menu = MakeMenu();
    Click(*menu);
    auto* w = Window(*menu);
    ASSERT_NE(w, nullptr);
    auto* list = w->findChild<QListWidget*>("List1");
    list->setCurrentRow(0);
    const auto first = Shown(*w);
    auto* hits = w->findChild<ui::FlexGrid*>("KakoSeiFG");
    EXPECT_EQ(hits->Model().Text(0, 4), Qs("中山"));
    EXPECT_EQ(hits->Model().BackColour(2, 1), ui::QBColour(14));  // place 1: 本線
    EXPECT_EQ(w->findChild<ui::FlexGrid*>("TekiKaiFG")->Model().TextColour(3, 1), ui::QBColour(12));
    EXPECT_EQ(w->findChild<ui::FlexGrid*>("RACEFG_11")->Model().Text(1, 0), Qs("3  05"));
    EXPECT_FALSE(w->findChild<QPlainTextEdit*>("Text1")->toPlainText().isEmpty());

    list->setCurrentRow(1);  // ten races: tabs 11 and 12 as prepared
    EXPECT_EQ(hits->Model().Text(0, 4), Qs("阪神"));
    EXPECT_EQ(w->findChild<ui::FlexGrid*>("RACEFG_10")->Model().Text(1, 0), "");
    EXPECT_EQ(w->findChild<ui::FlexGrid*>("RACEFG_11")->Model().BackColour(1, 1), ui::QBColour(15));
    EXPECT_EQ(w->findChild<ui::FlexGrid*>("TKFG_11")->Model().Text(1, 3), "");
    EXPECT_EQ(w->findChild<QPlainTextEdit*>("Text2_11")->toPlainText(), Qs("2025年03月01日2回阪神6日目  "));

    list->setCurrentRow(0);
    EXPECT_EQ(Shown(*w), first);
    EXPECT_TRUE(menu->RecordedMessages().size() <= 1);  // at most the start-up's weights message
}

TEST_F(Opened, ADayFileThatCannotBeReadIsToldAndTheWindowGoesOn) {
    std::filesystem::create_directories(dir / (std::string("TEKICHU/") + kDayA + "tekichuPC.txt"));
    auto menu = MakeMenu();
    const auto before = menu->RecordedMessages().size();
    Click(*menu);
    auto* w = Window(*menu);
    ASSERT_NE(w, nullptr);
    auto* list = w->findChild<QListWidget*>("List1");
    list->setCurrentRow(0);
    ASSERT_EQ(menu->RecordedMessages().size(), before + 1);
    EXPECT_EQ(menu->RecordedMessages().back(), "読めないファイルがありました。ERRORLOG.txtを見て下さい。");
    EXPECT_NE(dir.Read("ERRORLOG.txt").find("tekichuPC.txt"), std::string::npos);
    EXPECT_EQ(w->findChild<ui::FlexGrid*>("KakoSeiFG")->Model().Text(0, 4), Qs("中山"));
    list->setCurrentRow(1);
    EXPECT_EQ(menu->RecordedMessages().size(), before + 1);
    EXPECT_EQ(w->findChild<ui::FlexGrid*>("KakoSeiFG")->Model().Text(0, 4), Qs("阪神"));
}

TEST_F(Opened, OneWindowAtATimeAndTheLoadsFailuresInTheEndText) {
    auto menu = MakeMenu();
    Click(*menu);
    QPointer<history::KakoSeisekiVK31> first = Window(*menu);
    ASSERT_NE(first, nullptr);
    StoreDay(dir, "20250302060101", 3, "中山");
    text6.clear();
    Click(*menu);  // open: only brought forward, nothing is read
    EXPECT_EQ(Window(*menu), first.data());
    EXPECT_EQ(first->findChild<QListWidget*>("List1")->count(), 2);
    EXPECT_EQ(text6, (std::vector<std::string>{"過去の予想成績を開始しました。しばらくお待ちください。。。。。。。", "過去の予想成績終了"}));

    first->close();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    // A report that is a folder: the rebuild passes it over and the end text says so.
    std::filesystem::remove(dir / "TEKICHU/20250302060101lupRCM.txt");
    std::filesystem::create_directories(dir / "TEKICHU/20250302060101lupRCM.txt");
    Click(*menu);
    auto* second = Window(*menu);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->findChild<QListWidget*>("List1")->count(), 3);
    EXPECT_EQ(text6.back(), "過去の予想成績終了　エラー1件（ERRORLOG.txt）");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
