#include "workbench/prediction_window.h"

#include <string>
#include <vector>

#include <QApplication>
#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QTabWidget>
#include <QTextDocument>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "app/main_menu_window.h"
#include "batch_fixtures.h"
#include "common/long_step.h"
#include "engine/expansion_window.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

// Button ⑥ of the main menu: the batch runs while a fresh prediction window loads.
namespace {

using Menu = app::TLMF1THISWEEKNVK31;
using Window = workbench::YOSOKEKKATHISWEEKNVK31;

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::vector<Window*> PredictionWindows() {
    std::vector<Window*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<Window*>(w)) windows.push_back(p);
    return windows;
}

QString TextOf(const QWidget& w, const char* name) { return w.findChild<QPlainTextEdit*>(name)->toPlainText(); }

// A click that was queued before the button went grey reaches its handler all the same.
void QueuedClick(QPushButton* button) {
    const bool enabled = button->isEnabled();
    button->setEnabled(true);
    button->click();
    button->setEnabled(enabled);
}

TEST(PredictionWindow, ButtonSixRunsTheBatchWhileTheWindowLoads) {
    testsupport::TempAppFolder folder;
    batchtest::WritePredictionWeek(folder);
    Menu menu(Menu::Interaction::Recorded);
    auto* Command8 = menu.findChild<QPushButton*>("Command8");
    auto* Option1 = menu.findChild<QRadioButton*>("Option1");
    Option1->setChecked(true);
    engine::TALMOR7EXPDTHISWEEKNVK31 expansion(menu);
    auto* Command1 = expansion.findChild<QPushButton*>("Command1");
    const QString expansionText3 = TextOf(expansion, "Text3");

    // Text5 as the step writes it: the start text, then each race's status while the batch runs.
    // At the first race's, a second ⑥ and a click on ⑤ of the expansion window; neither may start.
    std::vector<QString> seen;
    int duringBatch = 0;
    auto* Text5 = menu.findChild<QPlainTextEdit*>("Text5");
    QObject::connect(Text5, &QPlainTextEdit::textChanged, &menu, [&] {
        seen.push_back(Text5->toPlainText());
        EXPECT_TRUE(common::LongStepWorking());
        EXPECT_FALSE(Command8->isEnabled());
        if (seen.size() != 2) return;
        ++duringBatch;
        ASSERT_EQ(PredictionWindows().size(), 1u) << "the window is loading";
        EXPECT_FALSE(PredictionWindows()[0]->isVisible()) << "it shows once the batch is done";
        QueuedClick(Command8);
        Command1->click();
        EXPECT_EQ(TextOf(expansion, "Text3"), expansionText3) << "⑤ did not start";
    });
    Command8->click();

    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0], Q("予想･結果を開始しました。しばらくお待ちください。。数分かかります。"));
    EXPECT_EQ(seen[1], Q("20250607東京01R予想中"));
    EXPECT_EQ(seen[3], Q("20250608阪神11R予想中"));
    EXPECT_EQ(duringBatch, 1);
    const auto windows = PredictionWindows();
    ASSERT_EQ(windows.size(), 1u) << "the second ⑥ made no window";
    Window* window = windows[0];
    EXPECT_EQ(window->objectName(), "YOSOKEKKATHISWEEKNVK31");
    EXPECT_TRUE(window->isVisible());
    const auto* List1 = window->findChild<QListWidget*>("List1");
    ASSERT_NE(List1, nullptr);
    const QString nine(9, ' ');
    ASSERT_EQ(List1->count(), 3);
    EXPECT_EQ(List1->item(0)->text(), Q("2025年06月07日05東京03回01日01R") + nine + "202506070501");
    EXPECT_EQ(List1->item(1)->text(), Q("2025年06月07日05東京03回01日02R") + nine + "202506070502");
    EXPECT_EQ(List1->item(2)->text(), Q("2025年06月08日09阪神02回02日11R") + nine + "202506080911");
    EXPECT_EQ(window->Batch().WeekRaceCount, 3);

    EXPECT_EQ(TextOf(menu, "Text5"), Q("予想･結果終了（展開データのない出走馬 1 頭。ERRORLOG.txtを確認して下さい。）"));
    EXPECT_FALSE(Option1->isChecked());
    EXPECT_TRUE(Command8->isEnabled());
    EXPECT_FALSE(common::LongStepWorking());
    EXPECT_EQ(TextOf(expansion, "Text3"), expansionText3);
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// While ⑤ works in the expansion window, ⑥ does not start.
TEST(PredictionWindow, ButtonSixWaitsForALongStepElsewhere) {
    testsupport::TempAppFolder folder;
    batchtest::WritePredictionWeek(folder);
    Menu menu(Menu::Interaction::Recorded);
    {
        common::LongStepGuard elsewhere;
        ASSERT_TRUE(elsewhere);
        menu.findChild<QPushButton*>("Command8")->click();
        EXPECT_TRUE(PredictionWindows().empty());
        EXPECT_TRUE(TextOf(menu, "Text5").isEmpty());
    }
    menu.findChild<QPushButton*>("Command8")->click();
    ASSERT_EQ(PredictionWindows().size(), 1u);
    PredictionWindows()[0]->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// ⑥ before ①: the batch finds no race, no window opens, and the end text says which steps to
// run first.
TEST(PredictionWindow, ButtonSixWithoutAWeekOpensNoWindowAndNamesTheStepsToRunFirst) {
    testsupport::TempAppFolder folder;
    Menu menu(Menu::Interaction::Recorded);
    const std::size_t startupMessages = menu.RecordedMessages().size();
    menu.findChild<QPushButton*>("Command8")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(PredictionWindows().empty());
    const QString text5 = TextOf(menu, "Text5");
    EXPECT_TRUE(text5.startsWith(Q("予想･結果終了（対象のレースがありません"))) << text5.toStdString();
    EXPECT_TRUE(text5.endsWith(Q("。先に①②⑤を実行して下さい。ERRORLOG.txtを確認して下さい。）"))) << text5.toStdString();
    EXPECT_EQ(menu.RecordedMessages().size(), startupMessages);
    EXPECT_TRUE(menu.findChild<QPushButton*>("Command8")->isEnabled());
}

// The 予順・人気 chart of a full field: each row's label stands on three lines (horse number,
// finishing position, rank), and the eighteen labels do not run into each other.
TEST(PredictionWindow, ChartLabelsStandOnThreeLinesApartAtEighteenRunners) {
    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    Window window(host, {});
    auto* view = window.findChild<QChartView*>("YNjunMSChart");
    ASSERT_NE(view, nullptr);
    window.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(6);
    window.show();

    workbench::RunnerChart chart;
    std::vector<QString> expected;
    for (int r = 1; r <= 18; ++r) {
        // The horse predicted r-th is number 19 - r and finished (r + 4)-th, or out of the first 18.
        const std::string horse = std::to_string(100 + 19 - r).substr(1);
        const std::string nyusen = r + 4 <= 18 ? std::to_string(100 + r + 4).substr(1) : "**";
        chart.Predicted.push_back(r * 5.0);
        chart.Popular.push_back(r * 4.0);
        chart.Labels.push_back({horse, nyusen, std::to_string(r)});
        expected.push_back(Q(horse + "\n" + nyusen + "\n" + std::to_string(r)));
    }
    // Another race shown first: nothing of its chart stays behind.
    workbench::RunnerChart before;
    for (int r = 1; r <= 16; ++r) {
        before.Predicted.push_back(r * 3.0);
        before.Popular.push_back(r * 2.0);
        before.Labels.push_back({std::to_string(100 + r).substr(1), "00", "x" + std::to_string(r)});
    }
    workbench::ShowRunnerChart(*view->chart(), before);
    QApplication::processEvents();
    workbench::ShowRunnerChart(*view->chart(), chart);
    QApplication::processEvents();

    // The labels as the axis draws them, left to right.
    std::vector<QGraphicsTextItem*> labels;
    QString shown;
    for (QGraphicsItem* item : view->scene()->items()) {
        auto* text = qgraphicsitem_cast<QGraphicsTextItem*>(item);
        if (text == nullptr || !text->isVisible()) continue;
        QString plain = text->toPlainText();
        plain.replace(QChar(0x2028), '\n');
        shown += " [" + plain + "]";
        if (std::ranges::find(expected, plain) != expected.end()) labels.push_back(text);
        EXPECT_FALSE(plain.contains('x')) << "a label of the race shown before: " << plain.toStdString();
    }
    ASSERT_EQ(labels.size(), 18u) << "every label shown whole; shown:" << shown.toStdString();
    std::ranges::sort(labels, {}, [](QGraphicsTextItem* t) { return t->sceneBoundingRect().left(); });
    for (std::size_t i = 0; i < labels.size(); ++i) {
        QString plain = labels[i]->toPlainText();
        plain.replace(QChar(0x2028), '\n');
        EXPECT_EQ(plain, expected[i]) << "row " << i + 1;
        const QFontMetricsF metrics(labels[i]->font());
        EXPECT_GE(labels[i]->boundingRect().height(), 3 * metrics.height()) << "row " << i + 1;
        if (i > 0) {
            EXPECT_FALSE(labels[i]->sceneBoundingRect().intersects(labels[i - 1]->sceneBoundingRect()))
                << "rows " << i << " and " << i + 1 << " overlap";
        }
    }
}

}  // namespace
