#include "engine/expansion_window.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

#include "app/main_menu_window.h"
#include "common/paths.h"
#include "engine/surface.h"
#include "prediction_fixtures.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

using namespace predictionfixtures;
using Window = engine::TALMOR7EXPDTHISWEEKNVK31;

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::string Text(const QWidget& w, const char* name) {
    return w.findChild<QPlainTextEdit*>(name)->toPlainText().toStdString();
}
int Bar(const QWidget& w, const char* name) { return w.findChild<QProgressBar*>(name)->value(); }
QPushButton* Button(const QWidget& w, const char* name) { return w.findChild<QPushButton*>(name); }

// A week of one horse with two runs, a race record for the day-before fix, the model of every
// surface and the code table.
void WriteSmallWeek(const testsupport::TempAppFolder& folder) {
    for (engine::Surface s : engine::kSurfaces) WriteModel(folder, s, {{1, {{"201905", 10, 58, 57, 59}}}});
    folder.Write("JRACODE/CodeTable.csv", "\"2001\",\"01\",\"札幌\"\r\n");
    // One record of a dam not of this week: the statistics are there, the subset stays unwritten.
    folder.Write("OPTION1N/HAHAUMA.dat", "1999000001" + std::string(390, '0') + "\r\n");
    WriteSuppliedStatistics(folder);
    WriteWeekTables(folder);
    folder.Write("KETTONUMTHISWEEKN.dat", "\"2016100002\"\r\n");
    folder.Write("HAHAHANNUMTHISWEEKN.dat", "\"2005200001\"\r\n");
    std::string runs;
    for (const char* date : {"20190512", "20190608"}) {
        std::string r(555, ' ');
        Put(r, 1, "SE7");
        Put(r, 4, date);
        Put(r, 12, date);
        Put(r, 20, "05");
        Put(r, 26, "11");
        Put(r, 31, "2016100002");
        Put(r, 554, "\r\n");
        runs += r;
    }
    folder.Write("UMAGOTOTHISWEEKN/2016100002.dat", runs);
    std::string race(1272, ' ');
    Put(race, 1, "RA1");
    Put(race, 1271, "\r\n");
    folder.Write("RATHISWEEKNNEW.dat", race);
}

// Calls `during` whenever the step lets pending events run.
struct HookHost : testsupport::RecordingHost {
    std::function<void()> during;
    void pumpEvents() override {
        RecordingHost::pumpEvents();
        if (during) during();
    }
};

TEST(ExpansionWindow, ControlsAsDesigned) {
    testsupport::TempAppFolder folder;
    WriteSmallWeek(folder);
    testsupport::RecordingHost host;
    Window w(host);
    EXPECT_EQ(w.objectName(), "TALMOR7EXPDTHISWEEKNVK31");
    EXPECT_TRUE(w.windowTitle().startsWith(Q("拡大構造体展開")));
    for (const auto& [name, caption] : std::vector<std::pair<const char*, std::string>>{
             {"Command3", "④　　　　　　　前日固定"}, {"Command1", "⑤　計算(約１0分）"}, {"Command2", "拡大構造体処理終了"}}) {
        ASSERT_NE(Button(w, name), nullptr) << name;
        EXPECT_EQ(Button(w, name)->text(), Q(caption)) << name;
    }
    EXPECT_EQ(w.findChild<QLabel*>("Label4")->text(),
              Q("拡大構造体にレース・騎手・繁殖馬・過去走の上がり･ペース･走破速度を組み込む"));
    EXPECT_EQ(w.findChild<QLabel*>("Label2")->text(),
              Q("天候･馬場状態並びに馬体重が不明な場合、晴・良・前走馬体重、初440KGに設定"));
    EXPECT_EQ(w.findChild<QLabel*>("Label1")->text(), "");
    for (const char* name : {"Text1", "Text2", "Text3"}) EXPECT_EQ(Text(w, name), "") << name;
    for (const char* name : {"ProgressBar1", "ProgressBar3", "ProgressBar4"}) {
        const auto* bar = w.findChild<QProgressBar*>(name);
        ASSERT_NE(bar, nullptr) << name;
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 100);
        EXPECT_EQ(bar->value(), 0);
    }
    EXPECT_TRUE(host.Messages().empty());
}

TEST(ExpansionWindow, LoadTellsTheMissingFiles) {
    testsupport::TempAppFolder folder;
    WriteSmallWeek(folder);
    std::filesystem::remove(folder / "JRACODE/CodeTable.csv");
    testsupport::RecordingHost host;
    Window w(host);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0], "計算に必要な次のファイルがありません：\nJRACODE/CodeTable.csv");
}

// The mark of a computation that did not end is told in Text3 when the window opens; a run that
// ends takes it away, and the next window says nothing of it.
TEST(ExpansionWindow, LoadTellsAComputationThatDidNotEnd) {
    const std::string kUnfinished = "前回の計算が終了していません。⑤計算をもう一度実行して下さい。";
    testsupport::TempAppFolder folder;
    WriteSmallWeek(folder);
    folder.Write("COMPUTING.mark", "computation started 2025/06/07 10:00:00\r\n");
    testsupport::RecordingHost host;
    {
        Window w(host);
        EXPECT_EQ(Text(w, "Text3"), kUnfinished);
        Button(w, "Command1")->click();
        EXPECT_EQ(Text(w, "Text3").rfind("計算終了", 0), 0u) << Text(w, "Text3");
    }
    EXPECT_FALSE(folder.Exists("COMPUTING.mark"));
    Window again(host);
    EXPECT_NE(Text(again, "Text3"), kUnfinished);
}

// ⑤ computes the week with both buttons disabled, ignores a click on ④ and a close meanwhile,
// and shows the end text with its bars full.
TEST(ExpansionWindow, ComputationRunsWithTheButtonsDisabled) {
    testsupport::TempAppFolder folder;
    WriteSmallWeek(folder);
    folder.Write("OPTION1N/KYOSOBA.dat", "1999000001" + std::string(216, '0') + "\r\n");
    HookHost host;
    QPointer<Window> w = new Window(host);
    w->show();
    int checks = 0;
    host.during = [&] {
        ++checks;
        EXPECT_TRUE(Window::Working());
        EXPECT_FALSE(Button(*w, "Command1")->isEnabled());
        EXPECT_FALSE(Button(*w, "Command3")->isEnabled());
        Button(*w, "Command3")->setEnabled(true);  // a click that was queued before the disabling
        Button(*w, "Command3")->click();
        Button(*w, "Command3")->setEnabled(false);
        EXPECT_FALSE(w->close());
        EXPECT_EQ(Text(*w, "Text3"), "計算を開始しました。標準で約10分かります。。。。。。");
    };
    Button(*w, "Command1")->click();
    ASSERT_FALSE(w.isNull());
    EXPECT_GE(checks, 1);
    EXPECT_EQ(Text(*w, "Text3"), "計算終了");
    EXPECT_EQ(Text(*w, "Text1"), "") << "the fix clicked during the run did not run";
    EXPECT_EQ(Bar(*w, "ProgressBar3"), 100);
    EXPECT_EQ(Bar(*w, "ProgressBar4"), 100);
    EXPECT_TRUE(Button(*w, "Command1")->isEnabled());
    EXPECT_TRUE(Button(*w, "Command3")->isEnabled());
    EXPECT_FALSE(Window::Working());
    EXPECT_EQ(w->LastComputation().records, 2);
    EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016100002EX.dat").size(), 2u * 2603);

    Button(*w, "Command2")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull()) << "closing unloads the window";
}

TEST(ExpansionWindow, DayBeforeFixShowsItsEndAndProgress) {
    testsupport::TempAppFolder folder;
    WriteSmallWeek(folder);
    testsupport::RecordingHost host;
    Window w(host);
    Button(w, "Command3")->click();
    EXPECT_EQ(Text(w, "Text1"), "前日固定終了");
    EXPECT_EQ(Bar(w, "ProgressBar1"), 100);
    EXPECT_EQ(w.LastFix().racesFixed, 1);
    EXPECT_EQ(Text(w, "Text3"), "");
    // The race of data kind "1" got fine weather and good going (TenkoBaba at 888).
    EXPECT_EQ(folder.Read("RATHISWEEKNNEW.dat").substr(887, 3), "111");
}

// ③ of the main menu: with the weights the state label turns green with their date and a fresh
// expansion window opens on every click; without them the program ends after its message.
class MainMenuExpansion : public ::testing::Test {
protected:
    static std::vector<Window*> ExpansionWindows() {
        std::vector<Window*> out;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* e = qobject_cast<Window*>(w)) out.push_back(e);
        return out;
    }
    void TearDown() override {
        for (Window* w : ExpansionWindows()) delete w;
    }
    testsupport::TempAppFolder folder;
};

TEST_F(MainMenuExpansion, WeightsPresentOpenAFreshWindowEachClick) {
    WriteSmallWeek(folder);
    folder.Write("OPTION1N/KYOSOBA.dat", "");  // the weights marker
    app::TLMF1THISWEEKNVK31 menu(app::TLMF1THISWEEKNVK31::Interaction::Recorded);
    auto* label = menu.findChild<QLabel*>("Label1");
    label->setText("");
    Button(menu, "Command6")->click();
    EXPECT_TRUE(label->text().startsWith(Q("予想因子ウエイトは展開されています。作成日は ")));
    EXPECT_TRUE(label->text().endsWith(Q("新しい日付のバージョンまたは最新因子ウエイトはサポートサイトよりダウンロードして下さい。")));
    EXPECT_EQ(label->palette().color(label->backgroundRole()), QColor(0x80, 0xFF, 0x80));
    ASSERT_EQ(ExpansionWindows().size(), 1u);
    EXPECT_TRUE(ExpansionWindows()[0]->isVisible());
    Button(menu, "Command6")->click();
    EXPECT_EQ(ExpansionWindows().size(), 2u);
    EXPECT_FALSE(menu.EndRecorded());
}

TEST_F(MainMenuExpansion, WeightsMissingEndTheProgram) {
    WriteSmallWeek(folder);
    app::TLMF1THISWEEKNVK31 menu(app::TLMF1THISWEEKNVK31::Interaction::Recorded);
    const std::size_t before = menu.RecordedMessages().size();
    Button(menu, "Command6")->click();
    ASSERT_EQ(menu.RecordedMessages().size(), before + 1);
    EXPECT_EQ(menu.RecordedMessages().back(),
              folder.Path().string() + "/" + "に参照場所(展開フォルダ）に初回予想因子ウエイトが有りませんので、ソフトを終了します。");
    EXPECT_TRUE(menu.EndRecorded());
    EXPECT_TRUE(ExpansionWindows().empty());
}

// While the expansion window computes, the main menu's steps are ignored: they write what it reads.
TEST_F(MainMenuExpansion, MenuStepsWaitForTheComputation) {
    WriteSmallWeek(folder);
    folder.Write("OPTION1N/KYOSOBA.dat", "");
    app::TLMF1THISWEEKNVK31 menu(app::TLMF1THISWEEKNVK31::Interaction::Recorded);
    HookHost host;
    auto* expansion = new Window(host);
    int clicks = 0;
    host.during = [&] {
        ++clicks;
        Button(menu, "Command6")->click();
    };
    Button(*expansion, "Command1")->click();
    EXPECT_GE(clicks, 1);
    EXPECT_EQ(ExpansionWindows().size(), 1u) << "③ clicked during the run opened no window";
    Button(menu, "Command6")->click();
    EXPECT_EQ(ExpansionWindows().size(), 2u);
}

}  // namespace
