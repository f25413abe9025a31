#include "factorview/factor_weights_window.h"

#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QFontMetrics>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QValueAxis>
#include <gtest/gtest.h>

#include "app/main_menu_window.h"
#include "common/numbers.h"
#include "engine/model_tables.h"
#include "generator.h"
#include "model_fixture.h"
#include "support/temp_folder.h"
#include "ui/flex_grid.h"
#include "ui/tab_rows.h"

namespace {

using Menu = app::TLMF1THISWEEKNVK31;
using factorviewtest::AgeLabel;
using factorviewtest::FixtureModel;
using factorviewtest::FixtureSurface;

QString Q(const std::string& s) { return QString::fromStdString(s); }

QWidget* TopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    return nullptr;
}

void CloseAll() {
    for (const char* name : {"FactorTURFZP", "FactorDIRTZP", "FactorHURDZP"})
        if (QWidget* w = TopLevel(name)) w->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template <class T>
T* Child(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void Click(Menu& menu, const char* button) { menu.findChild<QPushButton*>(QLatin1String(button))->click(); }

// A small model of every surface: two categories on most items, item 12 laid out as the windows
// expect, and a few weights chosen for the cells read below.
FixtureModel SmallModel(FixtureSurface surface) {
    FixtureModel model;
    model.surface = surface;
    for (int k = 1; k <= 30; ++k)
        model.items[static_cast<std::size_t>(k)] = {{"K" + std::to_string(k) + "a", "0.5", "0.25", "-0.125", "10"},
                                                      {"K" + std::to_string(k) + "b", "56.1", "-1.2", "3", "-2"}};
    model.items[12] = factorviewtest::DesignedAgeLayout(surface == FixtureSurface::Shog);
    model.items[12][0].agari = model.items[12][0].pace = model.items[12][0].soha = "3.7";
    model.items[20].clear();
    return model;
}

class FactorWindows : public ::testing::Test {
protected:
    void SetUp() override {
        for (FixtureSurface s : {FixtureSurface::Siba, FixtureSurface::Dirt, FixtureSurface::Shog})
            factorviewtest::WriteModel(folder, SmallModel(s));
    }
    void TearDown() override { CloseAll(); }

    QWidget* Open(const char* button, const char* window) {
        Click(menu, button);
        QApplication::processEvents();
        return TopLevel(window);
    }

    testsupport::TempAppFolder folder;
    Menu menu{Menu::Interaction::Recorded};
    // The start-up asks for the statistics files the fixture lacks; the viewers add nothing.
    const std::size_t startupMessages = menu.RecordedMessages().size();
};

struct SurfaceCase {
    const char* button;
    const char* window;
    std::string caption;
    int openingTab;
    int ageTabOpening;
    const char* nested;
    const char* maleChart;
    const char* femaleChart;
    const char* bareiGrid;
    int chartRows;
    const char* firstAge;
};

const std::vector<SurfaceCase> kSurfaces = {
    {"Command5", "FactorTURFZP", "芝予想因子 Ver.2020.7.21  201901-202503", 11, 0, "SSTab3", "MaleAgeChart",
     "FemaleAgeChart", "BareiTurfFG", 33, "27"},
    {"Command9", "FactorDIRTZP", "ダート予想因子\u3000Ver.2020.7.21 201901-202503", 1, 2, "SSTab3", "MaleAgeChart",
     "FemaleAgeChart", "BareiDirtFG", 33, "27"},
    {"Command10", "FactorHURDZP", "障害予想因子\u3000Ver.2020.7.21 201901-202503", 1, 2, "SSTab5", "MaleAgeShogChart",
     "FemaleAgeShogChart", "BareiHurdFG", 20, "40"},
};

// Opening each window through its button: caption, thirty tabs five to a row, the opening tabs.
TEST_F(FactorWindows, OpenFromTheMainMenuOnTheirStoredTabs) {
    for (const SurfaceCase& c : kSurfaces) {
        SCOPED_TRACE(c.window);
        QWidget* window = Open(c.button, c.window);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->windowTitle(), Q(c.caption));
        EXPECT_EQ(window->parentWidget(), nullptr);
        EXPECT_FALSE(window->isModal());
        auto* tabs = Child<ui::TabRows>(window, "SSTab1");
        ASSERT_NE(tabs, nullptr);
        ASSERT_EQ(tabs->count(), 30);
        EXPECT_EQ(tabs->currentIndex(), c.openingTab);
        for (int i = 0; i < 30; ++i) {
            EXPECT_EQ(tabs->tabRow(i), i / 5) << i;
            EXPECT_TRUE(tabs->tabText(i).startsWith(QStringLiteral("F%1").arg(i + 1))) << i;
            // Same row, same height; a new row below the one before.
            const QRect r = tabs->tabButton(i)->geometry();
            const QRect first = tabs->tabButton(i / 5 * 5)->geometry();
            EXPECT_EQ(r.top(), first.top()) << i;
            if (i % 5 == 0 && i > 0) {
                EXPECT_GT(r.top(), tabs->tabButton(i - 5)->geometry().top()) << i;
            }
        }
        auto* nested = Child<ui::TabRows>(window, c.nested);
        ASSERT_NE(nested, nullptr);
        EXPECT_EQ(nested->count(), 3);
        EXPECT_EQ(nested->currentIndex(), c.ageTabOpening);
        EXPECT_EQ(nested->parentWidget()->parentWidget()->parentWidget(), tabs);  // on a page of SSTab1 …
        EXPECT_EQ(tabs->page(11)->isAncestorOf(nested), true);                    // … the page of tab 12
        EXPECT_EQ(menu.RecordedMessages().size(), startupMessages);
    }
}

// Captions character for character, where the blanks differ.
TEST_F(FactorWindows, TabCaptionsAsDesigned) {
    struct Caption {
        const char* window;
        int tab;  // 1 to 30
        std::string text;
    };
    const std::vector<Caption> captions = {
        {"FactorTURFZP", 2, "F2 場所TC距離仮柵回次"},   {"FactorTURFZP", 10, "F10 負担重量％"},
        {"FactorTURFZP", 12, "F12 馬齢（月齢）"},        {"FactorTURFZP", 13, "F13 騎手アーニング"},
        {"FactorTURFZP", 23, "F23 父馬(種牡馬・距離）"}, {"FactorTURFZP", 24, "F24\u3000馬番土日"},
        {"FactorTURFZP", 29, "F29 前走3Fラップ比"},      {"FactorDIRTZP", 10, "F10 負担重量%"},
        {"FactorDIRTZP", 12, "F12 馬齢(月齢）"},         {"FactorDIRTZP", 17, "F17\u3000調教師アーニング"},
        {"FactorDIRTZP", 29, "F29 前走3Fタイム比"},      {"FactorHURDZP", 1, "F1 開催年度"},
        {"FactorHURDZP", 4, "F4\u3000負担重量"},         {"FactorHURDZP", 20, "F20\u3000種牡馬アーニング"},
        {"FactorHURDZP", 28, "F28\u3000登録頭数"},       {"FactorHURDZP", 29, "F29 前走Fタイム比"},
    };
    for (const SurfaceCase& c : kSurfaces) Open(c.button, c.window);
    for (const Caption& c : captions) {
        QWidget* window = TopLevel(c.window);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->findChild<ui::TabRows*>("SSTab1")->tabText(c.tab - 1), Q(c.text)) << c.window << c.tab;
    }
    const std::vector<std::pair<const char*, std::string>> nested = {
        {"FactorTURFZP", "馬齢（月齢）数値"}, {"FactorHURDZP", "F12\u3000馬齢（月齢）数値"}};
    for (const auto& [name, third] : nested) {
        auto* tabs = TopLevel(name)->findChild<ui::TabRows*>(QString(name) == "FactorHURDZP" ? "SSTab5" : "SSTab3");
        EXPECT_EQ(tabs->tabText(0), Q("牡馬"));
        EXPECT_EQ(tabs->tabText(1), Q("牝馬"));
        EXPECT_EQ(tabs->tabText(2), Q(third));
    }
}

// The item grids on their tabs, cells against the fixture, and the particular grids.
TEST_F(FactorWindows, ItemGridsShowTheModel) {
    QWidget* turf = Open("Command5", "FactorTURFZP");
    QWidget* dirt = Open("Command9", "FactorDIRTZP");
    QWidget* hurdle = Open("Command10", "FactorHURDZP");
    ASSERT_TRUE(turf && dirt && hurdle);

    auto* year = Child<ui::FlexGrid>(turf, "YearTurfFG");
    ASSERT_NE(year, nullptr);
    EXPECT_TRUE(turf->findChild<ui::TabRows*>("SSTab1")->page(0)->isAncestorOf(year));
    const ui::FlexGridModel& m = year->Model();
    ASSERT_EQ(m.rowCount(), 3);
    const std::vector<std::vector<std::string>> rows = {
        {"コード番号", "上がり速度", "ペース速度", "走破速度", "延出走数", "参照番地"},
        {"K1a", "0.5", "0.25", "-0.125", "10", "1"},
        {"K1b", "56.099", "-1.201", "3", "-2", "2"},
    };
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 6; ++c) EXPECT_EQ(m.Text(r, c), Q(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])) << r << c;
    EXPECT_EQ(m.data(m.index(1, 0), Qt::BackgroundRole).value<QColor>(), ui::FixedCellColour());

    // Hurdle: Soha in all three weight columns; an item without categories has the header only.
    const ui::FlexGridModel& h = Child<ui::FlexGrid>(hurdle, "KishuFukushoHurdFG")->Model();
    for (int c = 1; c <= 3; ++c) EXPECT_EQ(h.Text(2, c), "3") << c;
    const ui::FlexGridModel& father = Child<ui::FlexGrid>(hurdle, "FatherArningHurdFG")->Model();
    EXPECT_EQ(father.rowCount(), 1);
    EXPECT_EQ(father.Text(0, 5), Q("参照番地"));

    // Item 2: the label column 1200 twips wide; the others keep the default.
    for (const auto& [window, name] : std::vector<std::pair<QWidget*, const char*>>{
             {turf, "KijunSpeedFG"}, {dirt, "KijunSpeedDFG"}, {hurdle, "KijunSpeedHFG"}})
        EXPECT_EQ(Child<ui::FlexGrid>(window, name)->DesignedColWidth(0), 1200) << name;
    EXPECT_EQ(year->DesignedColWidth(0), Child<ui::FlexGrid>(turf, "RaceSuuTurfFG")->DesignedColWidth(0));
    EXPECT_NE(year->DesignedColWidth(0), 1200);

    // Item 6 and hurdle item 20: columns and fixed label column per surface.
    struct Particular {
        QWidget* window;
        const char* grid;
        int cols, fixedCols;
    };
    for (const Particular& p : std::vector<Particular>{{turf, "KyosokigoTurfFG", 6, 0},
                                                       {dirt, "KyosokigoDirtFG", 7, 0},
                                                       {hurdle, "KyosokigoHurdFG", 7, 1},
                                                       {hurdle, "FatherArningHurdFG", 6, 0},
                                                       {dirt, "FatherArningDirtFG", 6, 1}}) {
        const ui::FlexGridModel& g = Child<ui::FlexGrid>(p.window, p.grid)->Model();
        EXPECT_EQ(g.columnCount(), p.cols) << p.grid;
        EXPECT_EQ(g.FixedCols(), p.fixedCols) << p.grid;
        EXPECT_EQ(g.FixedRows(), 1) << p.grid;
        if (p.cols == 7) {
            EXPECT_EQ(g.Text(0, 6), "") << p.grid;
        }
    }
    const ui::FlexGridModel& six = Child<ui::FlexGrid>(turf, "KyosokigoTurfFG")->Model();
    EXPECT_FALSE(six.data(six.index(1, 0), Qt::BackgroundRole).isValid());

    // Item 12's grid stands on the third nested page and lists every category.
    auto* barei = Child<ui::FlexGrid>(hurdle, "BareiHurdFG");
    EXPECT_TRUE(hurdle->findChild<ui::TabRows*>("SSTab5")->page(2)->isAncestorOf(barei));
    EXPECT_EQ(barei->Model().rowCount(), 54);
    EXPECT_EQ(barei->Model().Text(34, 0), "240");
}

TEST_F(FactorWindows, LegendTextsAndColours) {
    struct LegendCase {
        const char* button;
        const char* window;
        const char* grid;
        int rows;
        std::vector<std::string> texts;
    };
    const std::vector<std::string> flat = {"上がり(ゴール前3F）影響速度", "ペース(スタートから3F地点）影響速度",
                                           "走破(スタートからゴール）影響速度", "縦軸の単位はKm/hr(時速)"};
    const std::vector<LegendCase> cases = {
        {"Command5", "FactorTURFZP", "TurfBonreiFG", 1, flat},
        {"Command9", "FactorDIRTZP", "DirtBonreiFG", 1, flat},
        {"Command10", "FactorHURDZP", "shogBonreiFG", 2,
         {"走破（１F平均）影響速度", "走破（１F平均）影響速度", "走破（１F平均）影響速度",
          "単位はKm/hr(時速)、3つにしているのは計算精度チェックの為"}},
    };
    const std::vector<QColor> colours = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};
    for (const LegendCase& c : cases) {
        QWidget* window = Open(c.button, c.window);
        ASSERT_NE(window, nullptr);
        const ui::FlexGridModel& m = Child<ui::FlexGrid>(window, c.grid)->Model();
        ASSERT_EQ(m.rowCount(), c.rows) << c.grid;
        ASSERT_EQ(m.columnCount(), 4) << c.grid;
        for (int col = 0; col < 4; ++col) EXPECT_EQ(m.Text(0, col), Q(c.texts[static_cast<std::size_t>(col)])) << c.grid << col;
        for (int col = 0; col < 3; ++col)
            EXPECT_EQ(m.data(m.index(0, col), Qt::BackgroundRole).value<QColor>(), colours[static_cast<std::size_t>(col)]) << c.grid;
        if (c.rows == 2) {
            EXPECT_EQ(m.Text(1, 0), "");
        }
    }
}

// The legend of the chart lines stands whole in the window, below the tabs: every cell's text
// fits its cell (wrapped where the cell is narrow), and every cell lies within the grid, the grid
// within the window.
TEST_F(FactorWindows, LegendStandsWholeInTheWindow) {
    const std::vector<std::pair<const char*, const char*>> legends = {
        {"FactorTURFZP", "TurfBonreiFG"}, {"FactorDIRTZP", "DirtBonreiFG"}, {"FactorHURDZP", "shogBonreiFG"}};
    for (const SurfaceCase& c : kSurfaces) Open(c.button, c.window);
    for (const auto& [name, gridName] : legends) {
        SCOPED_TRACE(name);
        QWidget* window = TopLevel(name);
        ASSERT_NE(window, nullptr);
        auto* grid = Child<ui::FlexGrid>(window, gridName);
        ASSERT_NE(grid, nullptr);
        EXPECT_TRUE(window->rect().contains(grid->geometry()))
            << "grid " << grid->geometry().bottom() << " window " << window->rect().bottom();
        EXPECT_GE(grid->geometry().top(), Child<ui::TabRows>(window, "SSTab1")->geometry().bottom());
        const QFontMetrics metrics(grid->font());
        const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
        const ui::FlexGridModel& m = grid->Model();
        for (int row = 0; row < m.rowCount(); ++row)
            for (int col = 0; col < m.columnCount(); ++col) {
                const QRect cell = grid->visualRect(m.index(row, col));
                EXPECT_TRUE(grid->viewport()->rect().contains(cell)) << "cell " << row << "," << col;
                const QString text = m.Text(row, col);
                if (text.isEmpty()) continue;
                const QRect needed = metrics.boundingRect(QRect(0, 0, cell.width() - 2 * margin, 10000),
                                                          Qt::AlignLeft | Qt::TextWordWrap, text);
                EXPECT_LE(needed.width(), cell.width() - 2 * margin) << "cell " << row << "," << col;
                EXPECT_LE(needed.height(), cell.height()) << "cell " << row << "," << col << " " << text.toStdString();
            }
    }
}

// Which box stands on which page and which text it shows.
TEST_F(FactorWindows, HelpBoxesOnTheirPages) {
    struct Box {
        const char* window;
        const char* name;
        int page;        // tab 1 to 30; 0: the item-12 grid's nested page
        int text;        // 0: the load writes nothing
    };
    const std::vector<Box> boxes = {
        {"FactorTURFZP", "Text11", 1, 1},  {"FactorDIRTZP", "Text11", 1, 1},  {"FactorHURDZP", "Text11", 4, 1},
        {"FactorTURFZP", "Text5", 2, 2},   {"FactorDIRTZP", "Text5", 2, 20},  {"FactorHURDZP", "Text5", 24, 20},
        {"FactorHURDZP", "Text6", 2, 12},  {"FactorTURFZP", "Text6", 12, 12}, {"FactorDIRTZP", "Text6", 12, 12},
        {"FactorTURFZP", "Text25", 28, 17}, {"FactorDIRTZP", "Text27", 28, 19},
        {"FactorTURFZP", "Text27", 30, 19}, {"FactorDIRTZP", "Text25", 30, 17},
        {"FactorTURFZP", "Text2", 8, 8},   {"FactorDIRTZP", "Text2", 8, 8},   {"FactorHURDZP", "Text2", 8, 8},
        {"FactorTURFZP", "Text21", 17, 6}, {"FactorHURDZP", "Text21", 17, 6},
        {"FactorTURFZP", "Text24", 7, 7},  {"FactorTURFZP", "Text19", 16, 15}, {"FactorTURFZP", "Text31", 24, 16},
        {"FactorTURFZP", "Text26", 29, 18}, {"FactorTURFZP", "Text28", 3, 3}, {"FactorTURFZP", "Text30", 13, 13},
        {"FactorTURFZP", "Text32", 25, 11}, {"FactorTURFZP", "Text33", 26, 11}, {"FactorTURFZP", "Text29", 11, 11},
        {"FactorHURDZP", "Text1", 1, 6},   {"FactorHURDZP", "Text8", 30, 6},  {"FactorHURDZP", "Text3", 5, 14},
        {"FactorTURFZP", "Text23", 22, 0}, {"FactorDIRTZP", "Text23", 22, 0}, {"FactorHURDZP", "Text17", 11, 0},
        {"FactorHURDZP", "Text20", 16, 0}, {"FactorHURDZP", "Text23", 19, 0}, {"FactorHURDZP", "Text16", 0, 0},
    };
    const std::vector<std::pair<int, std::string>> texts = {
        {1, "数値の単位は時速(Km/hr)です。所謂定数です。時速55Kmから58Km辺りの数字を示します。"},
        {3, "数値の単位は時速(Km/hr)です。"},
        {6, "数値の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど、能力、技量が高いと考えて下さい。"},
        {11, "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。"},
        {13, "縦軸の単位は時速(Km/hr)です。基本的な理解としては数値が大きいほど影響度が強いと考えて下さい。上位2桁が実日数、下位二桁は季節です"},
    };
    for (const SurfaceCase& c : kSurfaces) Open(c.button, c.window);
    for (const Box& b : boxes) {
        SCOPED_TRACE(std::string(b.window) + " " + b.name);
        QWidget* window = TopLevel(b.window);
        ASSERT_NE(window, nullptr);
        const auto found = window->findChildren<QPlainTextEdit*>(QLatin1String(b.name));
        ASSERT_EQ(found.size(), 1);
        QPlainTextEdit* box = found.front();
        EXPECT_TRUE(box->isReadOnly());
        EXPECT_EQ(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        const bool hurdle = std::string(b.window) == "FactorHURDZP";
        QWidget* page = b.page > 0 ? window->findChild<ui::TabRows*>("SSTab1")->page(b.page - 1)
                                   : window->findChild<ui::TabRows*>(hurdle ? "SSTab5" : "SSTab3")->page(2);
        EXPECT_EQ(box->parentWidget(), page);
        if (b.text == 0) {
            EXPECT_EQ(box->toPlainText(), "");
        } else {
            EXPECT_EQ(box->toPlainText(), Q(std::string(factorview::HelpText(b.text))));
        }
        for (const auto& [number, text] : texts)
            if (number == b.text) {
                EXPECT_EQ(box->toPlainText(), Q(text));
            }
        // Below everything else on its page.
        for (QWidget* other : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (other != box) {
                EXPECT_LT(other->geometry().bottom(), box->geometry().top()) << other->objectName().toStdString();
            }
    }
    // Every window's boxes: 30 on turf and dirt, 27 on hurdle; the hurdle pages F12, F15, F21, F27 carry none.
    const std::vector<std::pair<const char*, int>> counts = {{"FactorTURFZP", 30}, {"FactorDIRTZP", 30}, {"FactorHURDZP", 27}};
    for (const auto& [name, count] : counts)
        EXPECT_EQ(TopLevel(name)->findChildren<QPlainTextEdit*>().size(), count) << name;
    auto* hurdleTabs = TopLevel("FactorHURDZP")->findChild<ui::TabRows*>("SSTab1");
    for (int page : {12, 15, 21, 27})
        EXPECT_EQ(hurdleTabs->page(page - 1)->findChildren<QPlainTextEdit*>(Qt::FindDirectChildrenOnly).size(), 0) << page;
    // Text 6 on nine pages of each window.
    const std::vector<std::pair<const char*, std::vector<int>>> six = {
        {"FactorTURFZP", {6, 15, 17, 18, 19, 20, 21, 23, 27}}, {"FactorHURDZP", {1, 3, 13, 17, 18, 20, 23, 25, 30}}};
    for (const auto& [name, pages] : six) {
        auto* tabs = TopLevel(name)->findChild<ui::TabRows*>("SSTab1");
        int found = 0;
        for (int p = 1; p <= 30; ++p)
            for (QPlainTextEdit* box : tabs->page(p - 1)->findChildren<QPlainTextEdit*>(Qt::FindDirectChildrenOnly))
                if (box->toPlainText() == Q(std::string(factorview::HelpText(6)))) {
                    ++found;
                    EXPECT_NE(std::find(pages.begin(), pages.end(), p), pages.end()) << name << " F" << p;
                }
        EXPECT_EQ(found, 9) << name;
    }
}

struct ChartSeries {
    QLineSeries* series[3];
};

ChartSeries SeriesOf(QWidget* window, const char* name) {
    auto* view = window->findChild<QChartView*>(QLatin1String(name));
    EXPECT_NE(view, nullptr) << name;
    const auto all = view->chart()->series();
    EXPECT_EQ(all.size(), 3) << name;
    ChartSeries s{};
    for (int i = 0; i < 3 && i < all.size(); ++i) s.series[i] = qobject_cast<QLineSeries*>(all[i]);
    return s;
}

// Both charts: three named, coloured lines, a point per age, the fixed Y axis.
TEST_F(FactorWindows, AgeChartsDrawTheAgeCategories) {
    const std::vector<std::string> names = {"上がり", "ペース", "走破"};
    const std::vector<QColor> colours = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};
    for (const SurfaceCase& c : kSurfaces) {
        SCOPED_TRACE(c.window);
        QWidget* window = Open(c.button, c.window);
        ASSERT_NE(window, nullptr);
        const bool hurdle = c.chartRows == 20;
        auto* nested = window->findChild<ui::TabRows*>(c.nested);
        for (const char* chartName : {c.maleChart, c.femaleChart}) {
            const bool female = chartName == c.femaleChart;
            auto* view = window->findChild<QChartView*>(QLatin1String(chartName));
            ASSERT_NE(view, nullptr);
            EXPECT_TRUE(nested->page(female ? 1 : 0)->isAncestorOf(view));
            QChart* chart = view->chart();
            EXPECT_TRUE(chart->title().isEmpty());
            const ChartSeries s = SeriesOf(window, chartName);
            for (int t = 0; t < 3; ++t) {
                ASSERT_NE(s.series[t], nullptr);
                EXPECT_EQ(s.series[t]->name(), Q(names[static_cast<std::size_t>(t)]));
                EXPECT_EQ(s.series[t]->color(), colours[static_cast<std::size_t>(t)]);
                ASSERT_EQ(s.series[t]->count(), c.chartRows);
                // Row i shows category i (male) or 33 + i (female); the fixture's weights name it.
                for (int i = 1; i <= c.chartRows; ++i) {
                    const int category = female ? 33 + i : i;
                    const double agari = category / 100.0;
                    const double expected = hurdle ? agari : agari + t;
                    if (!female && i == 1) {
                        EXPECT_DOUBLE_EQ(s.series[t]->at(0).y(), 3.7);
                    } else {
                        EXPECT_DOUBLE_EQ(s.series[t]->at(i - 1).y(), expected) << i;
                    }
                }
            }
            // One labelled tick per age code, "27" (hurdle "40") to "59", each point over its age.
            const auto xs = chart->axes(Qt::Horizontal);
            ASSERT_EQ(xs.size(), 1);
            auto* x = qobject_cast<QValueAxis*>(xs.front());
            ASSERT_NE(x, nullptr);
            EXPECT_EQ(x->min(), std::stoi(c.firstAge));
            EXPECT_EQ(x->max(), 59);
            EXPECT_EQ(x->tickCount(), c.chartRows);
            EXPECT_EQ(x->labelFormat(), "%d");
            for (int i = 0; i < c.chartRows; ++i) EXPECT_EQ(s.series[0]->at(i).x(), std::stoi(c.firstAge) + i);
            const auto ys = chart->axes(Qt::Vertical);
            ASSERT_EQ(ys.size(), 1);
            auto* y = qobject_cast<QValueAxis*>(ys.front());
            EXPECT_EQ(y->min(), -2.5);  // a weight of 3.7 in the file does not move it
            EXPECT_EQ(y->max(), 2.5);
            EXPECT_EQ(y->tickCount(), 11);
        }
    }
}

// A second click only brings the open window forward; closed, the next click reads the model
// again and opens on the stored tab.
TEST_F(FactorWindows, SingleWindowReloadedOnlyAfterItWasClosed) {
    QWidget* first = Open("Command5", "FactorTURFZP");
    ASSERT_NE(first, nullptr);
    auto* tabs = first->findChild<ui::TabRows*>("SSTab1");
    tabs->tabButton(4)->click();
    EXPECT_EQ(tabs->currentIndex(), 4);

    FixtureModel changed = SmallModel(FixtureSurface::Siba);
    changed.items[1][0].label = "NEW";
    factorviewtest::WriteModel(folder, changed);

    EXPECT_EQ(Open("Command5", "FactorTURFZP"), first);
    EXPECT_EQ(tabs->currentIndex(), 4);
    EXPECT_EQ(first->findChild<ui::FlexGrid*>("YearTurfFG")->Model().Text(1, 0), "K1a");

    first->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QWidget* second = Open("Command5", "FactorTURFZP");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->findChild<ui::TabRows*>("SSTab1")->currentIndex(), 11);
    EXPECT_EQ(second->findChild<ui::FlexGrid*>("YearTurfFG")->Model().Text(1, 0), "NEW");
    EXPECT_EQ(menu.RecordedMessages().size(), startupMessages);
}

// An age list shorter than the female rows need draws them at 0, also after a longer one.
TEST_F(FactorWindows, ShortAgeListDrawsZeroAfterALongerOne) {
    QWidget* first = Open("Command5", "FactorTURFZP");
    ASSERT_NE(first, nullptr);
    EXPECT_DOUBLE_EQ(SeriesOf(first, "FemaleAgeChart").series[0]->at(32).y(), 0.66);
    first->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    FixtureModel shorter = SmallModel(FixtureSurface::Siba);
    shorter.items[12].resize(40);  // the female ages 27 to 33 only
    factorviewtest::WriteModel(folder, shorter);
    QWidget* second = Open("Command5", "FactorTURFZP");
    ASSERT_NE(second, nullptr);
    const ChartSeries female = SeriesOf(second, "FemaleAgeChart");
    EXPECT_DOUBLE_EQ(female.series[0]->at(6).y(), 0.40);
    for (int i = 7; i < 33; ++i)
        for (QLineSeries* s : female.series) EXPECT_EQ(s->at(i).y(), 0.0) << i;
}

// A model file that cannot be read: the message names it, and no window opens; the next click
// tries again.
TEST_F(FactorWindows, UnreadableModelGivesAMessageAndNoWindow) {
    struct Broken {
        const char* button;
        const char* window;
        std::string file;
        std::string content;  // empty: the file is removed
    };
    const std::vector<Broken> cases = {
        {"Command9", "FactorDIRTZP", "DirtItemCategoryCount201901N2025.dat", ""},
        {"Command10", "FactorHURDZP", "QA1ShogSohaWeightData201901N2025.dat", "1\r\n2\r\n"},
        {"Command5", "FactorTURFZP", "QA1SibaTotalData201901N2025.dat", "2\r\n6001\r\n"},
        {"Command5", "FactorTURFZP", "QA1SibaPaceWeightData201901N2025.dat", "0.5\r\nabc\r\n"},
    };
    for (const Broken& b : cases) {
        SCOPED_TRACE(b.file);
        const std::filesystem::path path = folder / ("OPTION1N/" + b.file);
        const std::string kept = folder.Read("OPTION1N/" + b.file);
        if (b.content.empty()) {
            std::filesystem::remove(path);
        } else {
            folder.Write("OPTION1N/" + b.file, b.content);
        }

        const std::size_t before = menu.RecordedMessages().size();
        EXPECT_EQ(Open(b.button, b.window), nullptr);
        ASSERT_EQ(menu.RecordedMessages().size(), before + 1);
        const std::string& message = menu.RecordedMessages().back();
        EXPECT_EQ(message.rfind("予想因子ウエイトのファイルを読み込めません。", 0), 0u) << message;
        EXPECT_NE(message.find(b.file), std::string::npos) << message;

        folder.Write("OPTION1N/" + b.file, kept);
        EXPECT_NE(Open(b.button, b.window), nullptr);
        CloseAll();
    }
}

// The demo week's model in all three windows; one picture of each for a person to look at.
TEST(FactorWindowsOnTheDemoWeek, EveryGridListsItsItemAndTheHurdleChartsFindTheirAges) {
    testsupport::TempAppFolder folder;
    demoweek::Options options;
    options.folder = folder.Path();
    options.scale = demoweek::SmallScale();
    demoweek::GenerateWeek(options);
    Menu menu(Menu::Interaction::Recorded);
    const std::filesystem::path shots = std::filesystem::path(TALMOR_BUILD_DIR) / "screenshots";
    std::filesystem::create_directories(shots);

    for (const SurfaceCase& c : kSurfaces) {
        SCOPED_TRACE(c.window);
        Click(menu, c.button);
        QApplication::processEvents();
        QWidget* window = TopLevel(c.window);
        ASSERT_NE(window, nullptr);
        const engine::Surface surface = c.chartRows == 20 ? engine::Surface::Shog
                                        : std::string(c.window) == "FactorDIRTZP" ? engine::Surface::Dirt
                                                                                  : engine::Surface::Siba;
        const engine::ModelTables tables = engine::LoadModelTables(surface, engine::ModelScope::Weights);
        const auto& tabs = factorview::DesignOf(surface).tabs;
        for (int k = 1; k <= 30; ++k) {
            auto* grid = window->findChild<ui::FlexGrid*>(Q(std::string(tabs[static_cast<std::size_t>(k - 1)].grid)));
            ASSERT_NE(grid, nullptr) << k;
            EXPECT_EQ(grid->Model().rowCount(), tables.TotalData(k) + 1) << k;
        }
        if (surface == engine::Surface::Shog) {
            // Each point against the item-12 grid's row of the label "1nn" / "2nn".
            const ui::FlexGridModel& barei = window->findChild<ui::FlexGrid*>("BareiHurdFG")->Model();
            for (const auto& [chartName, sex] : std::vector<std::pair<const char*, int>>{{c.maleChart, 1}, {c.femaleChart, 2}}) {
                const ChartSeries s = SeriesOf(window, chartName);
                for (int age = 40; age <= 59; ++age) {
                    int row = 0;
                    for (int r = 1; r < barei.rowCount(); ++r)
                        if (barei.Text(r, 0) == Q(AgeLabel(sex, age))) row = r;
                    ASSERT_GT(row, 0) << AgeLabel(sex, age);
                    const double shown = common::Val(barei.Text(row, 3).toStdString());
                    const double drawn = s.series[2]->at(age - 40).y();
                    EXPECT_NEAR(drawn, shown, 0.0011) << AgeLabel(sex, age);
                    EXPECT_EQ(common::WeightText(static_cast<float>(drawn)), barei.Text(row, 3).toStdString())
                        << AgeLabel(sex, age);
                }
            }
        }
        window->grab().save(QString::fromStdString((shots / (std::string(c.window) + ".png")).string()));
        window->close();
    }
    EXPECT_TRUE(menu.RecordedMessages().empty());
}

}  // namespace
