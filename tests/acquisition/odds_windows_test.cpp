#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "acquisition/breaking_odds.h"
#include "acquisition/breaking_odds_window.h"
#include "acquisition/odds_tables.h"
#include "acquisition/odds_tables_window.h"
#include "acquisition/week_odds_window.h"
#include "app/main_menu_window.h"
#include "common/long_step.h"
#include "workbench/breaking_payouts_window.h"
#include "dataservice/scripted_jvlink.h"
#include "odds_fixtures.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

// The odds windows offscreen: their controls, their buttons on a scripted data service, and how
// the main menu opens them.
namespace {

using namespace oddstest;
using ::testing::HasSubstr;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kRace = RaceId("1213", "05", 11);
const std::string kTable = "KAIME/" + Key12(kRace) + "UMARENODDS.dat";

QString Q(const std::string& s) { return QString::fromStdString(s); }

template <class W>
QPushButton* Button(W* window, const char* name) {
    return window->template findChild<QPushButton*>(QString::fromLatin1(name));
}
template <class W>
QString Text1(W* window) {
    return window->template findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText();
}

void ExpectButtons(QWidget* window, const std::vector<std::pair<const char*, std::string>>& buttons) {
    EXPECT_EQ(window->findChildren<QPushButton*>().size(), static_cast<qsizetype>(buttons.size()));
    for (const auto& [name, caption] : buttons) {
        QPushButton* b = Button(window, name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->text(), Q(caption)) << name;
    }
}

// An O2 record of kRace whose 1-2 quinella stands at `odds` (six digits).
std::string Quinella(std::string_view odds) {
    std::string r = OddsRecord(kO2, kRace);
    PutEntry(r, kO2, 0, "0102", odds);
    return r;
}

// The four odds files of `stem` ("THISWEEKN", "RIALTIME"): kRace's quinella at `odds`, blank
// records of the other kinds.
void WriteOddsFiles(const testsupport::TempAppFolder& folder, const std::string& stem, std::string_view odds) {
    folder.Write("O2" + stem + ".dat", Quinella(odds));
    folder.Write("O4" + stem + ".dat", OddsRecord(kO4, kRace));
    folder.Write("O5" + stem + ".dat", OddsRecord(kO5, kRace));
    folder.Write("O6" + stem + ".dat", OddsRecord(kO6, kRace));
}

std::string TableLine21(const testsupport::TempAppFolder& folder) {
    const auto lines = common::SplitLines(folder.Read(kTable));
    return lines.size() == 361 ? lines[21] : "(no table)";
}

void RunDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

TEST(WeekOddsWindow, FetchesOnItsOwnControlWithTheProgressWindow) {
    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    acquisition::TLMFOTHISWEEKNVK31 window(host);
    window.setAttribute(Qt::WA_DeleteOnClose, false);  // lives on the stack here
    auto scripted = std::make_unique<dataservice::ScriptedJVLink>();
    dataservice::ScriptedJVLink* link = scripted.get();
    window.SetJVLink(std::move(scripted));

    EXPECT_EQ(window.objectName(), "TLMFOTHISWEEKNVK31");
    EXPECT_EQ(window.windowTitle(), Q("今週のオッズ Ver.2024.8.12A"));
    ExpectButtons(&window, {{"Command1", "設定ＯＤＤＳ"}, {"Command2", "今週のオッズ"}, {"Command3", "今週の3連単"}});
    window.show();

    // A download of two files: the real progress window polls this window's control and closes
    // when the status reaches this window's count.
    link->QueueOpen(0, 2, 2).QueueRecord(Quinella("000110")).QueueRecord(FullOddsRecord(kO6, kRace)).QueueEnd();
    link->QueueStatus({1, 2});
    Button(&window, "Command2")->click();
    EXPECT_EQ(window.DownloadCount, 2);
    EXPECT_EQ(window.DialogResult, 0);
    EXPECT_EQ(link->Count("JVStatus"), 2u);
    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), Quinella("000110"));
    // Quinella only: the window shows the kinds that did not come.
    EXPECT_EQ(Text1(&window),
              Q("オッズ取得完了（馬単オッズがありません、3連複オッズがありません。ERRORLOG.txtを確認して下さい。）"));

    link->QueueOpen(0, 1, 0).QueueRecord(Quinella("000220")).QueueRecord(FullOddsRecord(kO6, kRace)).QueueEnd();
    Button(&window, "Command3")->click();
    EXPECT_EQ(folder.Read("O6THISWEEKN.dat"), FullOddsRecord(kO6, kRace));
    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), Quinella("000110"));
    EXPECT_EQ(Text1(&window), Q("3連単オッズ取得完了"));
    EXPECT_EQ(link->Count("JVInit UNKNOWN"), 1u);

    link->uiResults.push_back(-1);
    Button(&window, "Command1")->click();
    EXPECT_THAT(host.Messages(), ElementsAre("エラーのためJV-Linkの設定に失敗しました。"));
}

TEST(WeekOddsWindow, CancelInTheProgressWindowSetsThisWindowsFlag) {
    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    acquisition::TLMFOTHISWEEKNVK31 window(host);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    auto scripted = std::make_unique<dataservice::ScriptedJVLink>();
    dataservice::ScriptedJVLink* link = scripted.get();
    window.SetJVLink(std::move(scripted));
    window.show();
    folder.Write("O2THISWEEKN.dat", "last week\r\n");

    link->QueueOpen(0, 3, 3).QueueRecord(Quinella("000110")).QueueEnd();
    for (int i = 0; i < 100000; ++i) link->statusResults.push_back(0);  // the download never moves
    bool clicked = false;
    QTimer::singleShot(50, [&] {
        if (QWidget* progress = QApplication::activeModalWidget()) {
            EXPECT_EQ(progress->objectName(), "TLMF2THISWEEKNVK31");
            if (QPushButton* cancel = Button(progress, "Command1")) {
                cancel->click();
                clicked = true;
            }
        }
    });
    Button(&window, "Command2")->click();
    EXPECT_TRUE(clicked);
    EXPECT_EQ(window.DialogResult, -1);
    EXPECT_EQ(link->Count("JVCancel"), 1u);
    EXPECT_EQ(link->Count("JVRead"), 0u);
    EXPECT_EQ(folder.Read("O2THISWEEKN.dat"), "last week\r\n");
    EXPECT_EQ(Text1(&window), Q("オッズ取得を中止しました。"));
}

TEST(BreakingOddsWindow, FetchesTheNewestRacesOnItsOwnControl) {
    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    acquisition::TLMP2RIALTIME window(host);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    auto scripted = std::make_unique<dataservice::ScriptedJVLink>();
    dataservice::ScriptedJVLink* link = scripted.get();
    window.SetJVLink(std::move(scripted));

    EXPECT_EQ(window.objectName(), "TLMP2RIALTIME");
    EXPECT_EQ(window.windowTitle(), Q("速報 Ver.2024.7.8"));
    ExpectButtons(&window, {{"Command1", "Ⅱ　速報オッズ情報"}, {"Command2", "Ⅲ　速報着順等情報"}, {"Command3", "設定ODDS"}});
    window.show();

    folder.Write("RATHISWEEKNNEW.dat", StoredRaceRecord(RaceId("1213", "05", 10)) + StoredRaceRecord(kRace));
    link->QueueRecord(Quinella("000330")).QueueNextFile();
    Button(&window, "Command1")->click();
    EXPECT_EQ(link->Count("JVRTOpen 0B30 " + kRace), 1u);
    EXPECT_EQ(link->Count("JVRTOpen"), 2u);
    EXPECT_EQ(folder.Read("O2RIALTIME.dat"), Quinella("000330"));
    EXPECT_EQ(Text1(&window), Q("速報オッズ取得完了"));

    // Without an opener (the main menu gives one) Ⅲ does nothing, and never on this control.
    link->log.clear();
    Button(&window, "Command2")->click();
    EXPECT_THAT(link->log, IsEmpty());
    EXPECT_EQ(Text1(&window), Q("速報オッズ取得完了"));

    link->uiResults.push_back(-1);
    Button(&window, "Command3")->click();
    EXPECT_THAT(host.Messages(), ElementsAre("エラーのためJV-Linkの設定に失敗しました。"));
}

// Ⅲ: the start text, pending events, the opening, then the end text that says how it went; held
// while another long step (the weekly batch) works.
TEST(BreakingOddsWindow, PayoutsButtonOpensThePayoutsWindowBetweenItsTexts) {
    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    acquisition::TLMP2RIALTIME window(host);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    std::vector<QString> textAtOpening;
    std::vector<std::size_t> pumpsAtOpening;
    bool whole = true;
    window.SetPayoutsOpener([&] {
        textAtOpening.push_back(Text1(&window));
        pumpsAtOpening.push_back(host.calls.size());
        return std::string(acquisition::BreakingPayoutsEndText(whole));
    });

    Button(&window, "Command2")->click();
    ASSERT_EQ(textAtOpening.size(), 1u);
    EXPECT_EQ(textAtOpening[0], Q("速報払戻等取得を開始します。。。。。"));
    ASSERT_EQ(pumpsAtOpening[0], 1u);
    EXPECT_EQ(host.calls[0].what, "pumpEvents");
    EXPECT_EQ(Text1(&window), Q("速報払戻等取得及び処理完了"));

    whole = false;
    Button(&window, "Command2")->click();
    EXPECT_EQ(textAtOpening.size(), 2u);
    EXPECT_EQ(Text1(&window), Q("速報払戻等取得の一部を処理できませんでした。ERRORLOG.txtを確認して下さい。"));

    {
        common::LongStepGuard batch;  // the weekly batch works
        ASSERT_TRUE(batch);
        Button(&window, "Command2")->click();
    }
    EXPECT_EQ(textAtOpening.size(), 2u);
    EXPECT_EQ(Text1(&window), Q("速報払戻等取得の一部を処理できませんでした。ERRORLOG.txtを確認して下さい。"));
    EXPECT_FALSE(common::LongStepWorking());
}

TEST(OddsTablesWindow, BuildsWhileLoadingAndCloses) {
    testsupport::TempAppFolder folder;
    folder.Write("O2RIALTIME.dat", Quinella("000440"));
    acquisition::OddsSource = acquisition::kOddsSourceBreaking;
    QPointer<acquisition::TALMOR7ODDSN> window = new acquisition::TALMOR7ODDSN();
    EXPECT_EQ(TableLine21(folder), "44");  // before it is ever shown
    EXPECT_EQ(window->Built().written, 1);
    EXPECT_EQ(window->objectName(), "TALMOR7ODDSN");
    EXPECT_EQ(window->windowTitle(), Q("2024.6.29Z"));
    ExpectButtons(window, {{"Command1", "オッズセット終了"}});
    window->show();
    Button(window.data(), "Command1")->click();
    RunDeferredDeletes();
    EXPECT_TRUE(window.isNull());
}

class MainMenuOdds : public ::testing::Test {
protected:
    MainMenuOdds() {
        folder.Write("OPTION1N/KYOSOBA.dat", "weights");
        menu = std::make_unique<Menu>(Menu::Interaction::Recorded);
        menu->show();
    }
    using Menu = app::TLMF1THISWEEKNVK31;

    QString Box(const char* name) const { return menu->findChild<QPlainTextEdit*>(name)->toPlainText(); }
    template <class W>
    std::vector<W*> Windows() const {
        std::vector<W*> found;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<W*>(w)) found.push_back(window);
        return found;
    }

    testsupport::TempAppFolder folder;
    std::unique_ptr<Menu> menu;
};

TEST_F(MainMenuOdds, OddsWindowsAreSingleAndComeAgainAfterClosing) {
    Button(menu.get(), "Command3")->click();
    Button(menu.get(), "Command3")->click();
    auto week = Windows<acquisition::TLMFOTHISWEEKNVK31>();
    ASSERT_EQ(week.size(), 1u);
    EXPECT_TRUE(week[0]->isVisible());

    Button(menu.get(), "Command12")->click();
    Button(menu.get(), "Command12")->click();
    auto breaking = Windows<acquisition::TLMP2RIALTIME>();
    ASSERT_EQ(breaking.size(), 1u);
    EXPECT_TRUE(breaking[0]->isVisible());

    // Closing unloads a window; the next click makes a new one.
    QPointer<QWidget> closed = week[0];
    closed->close();
    RunDeferredDeletes();
    EXPECT_TRUE(closed.isNull());
    Button(menu.get(), "Command3")->click();
    EXPECT_EQ(Windows<acquisition::TLMFOTHISWEEKNVK31>().size(), 1u);
    EXPECT_EQ(Windows<acquisition::TLMP2RIALTIME>().size(), 1u);
}

// Ⅲ opens the single breaking-payouts window; a second click only brings it forward, and after
// Command1 the next click makes (and loads) a new one.
TEST_F(MainMenuOdds, PayoutsWindowIsSingleAndComesAgainAfterClosing) {
    Button(menu.get(), "Command12")->click();
    acquisition::TLMP2RIALTIME* breaking = Windows<acquisition::TLMP2RIALTIME>().at(0);
    Button(breaking, "Command2")->click();
    auto payouts = Windows<workbench::TLMHRRIALTIME>();
    ASSERT_EQ(payouts.size(), 1u);
    EXPECT_TRUE(payouts[0]->isVisible());
    // This folder holds no week of races, which the load names in the log and the end text tells.
    EXPECT_EQ(Text1(breaking), Q("速報払戻等取得の一部を処理できませんでした。ERRORLOG.txtを確認して下さい。"
                                 "（先に①②⑤⑥を実行して下さい。ERRORLOG.txtを確認して下さい。）"));
    // Without a race there was no odds line to fetch: the first load made no odds line file.
    EXPECT_FALSE(folder.Exists("O1RIALTIME.dat"));
    folder.Write("O1RIALTIME.dat", "kept while the window stays open\r\n");

    Button(breaking, "Command2")->click();
    ASSERT_EQ(Windows<workbench::TLMHRRIALTIME>().size(), 1u);
    EXPECT_EQ(Windows<workbench::TLMHRRIALTIME>()[0], payouts[0]);
    EXPECT_EQ(folder.Read("O1RIALTIME.dat"), "kept while the window stays open\r\n");

    QPointer<QWidget> closed = payouts[0];
    Button(payouts[0], "Command1")->click();
    RunDeferredDeletes();
    EXPECT_TRUE(closed.isNull());
    Button(breaking, "Command2")->click();
    EXPECT_EQ(Windows<workbench::TLMHRRIALTIME>().size(), 1u);
    // A new load ran: without a race it keeps the odds lines it finds, and says so.
    EXPECT_EQ(folder.Read("O1RIALTIME.dat"), "kept while the window stays open\r\n");
    EXPECT_THAT(folder.Read("ERRORLOG.txt"), HasSubstr("O1RIALTIME.dat left as it was: RATHISWEEKN.dat holds nothing"));
    EXPECT_EQ(Text1(breaking), Q("速報払戻等取得の一部を処理できませんでした。ERRORLOG.txtを確認して下さい。"
                                 "（前回のまま残した出力 1 件。先に①②⑤⑥を実行して下さい。ERRORLOG.txtを確認して下さい。）"));
}

TEST_F(MainMenuOdds, OddsProcessingBuildsOnceWhileTheWindowStaysOpen) {
    WriteOddsFiles(folder, "THISWEEKN", "000110");
    WriteOddsFiles(folder, "RIALTIME", "000990");

    acquisition::OddsSource = acquisition::kOddsSourceBreaking;
    Button(menu.get(), "Command7")->click();
    EXPECT_EQ(acquisition::OddsSource, acquisition::kOddsSourceThisWeek);
    EXPECT_EQ(TableLine21(folder), "11");
    EXPECT_EQ(Box("Text2"), Q("今週のオッズ処理終了"));
    ASSERT_EQ(Windows<acquisition::TALMOR7ODDSN>().size(), 1u);

    // Still open: only brought forward, nothing rebuilt, the end text written all the same.
    folder.Write(kTable, "kept\r\n");
    menu->setStatus(common::StatusBox::Text3, "");
    Button(menu.get(), "Command13")->click();
    EXPECT_EQ(acquisition::OddsSource, acquisition::kOddsSourceBreaking);
    EXPECT_EQ(folder.Read(kTable), "kept\r\n");
    EXPECT_EQ(Box("Text3"), Q("速報オッズ処理終了"));
    EXPECT_EQ(Windows<acquisition::TALMOR7ODDSN>().size(), 1u);

    // Closed with its button: the next opening builds again, from the breaking odds.
    Button(Windows<acquisition::TALMOR7ODDSN>()[0], "Command1")->click();
    RunDeferredDeletes();
    EXPECT_TRUE(Windows<acquisition::TALMOR7ODDSN>().empty());
    Button(menu.get(), "Command13")->click();
    EXPECT_EQ(TableLine21(folder), "99");
    EXPECT_EQ(Windows<acquisition::TALMOR7ODDSN>().size(), 1u);
}

// The start text is on the board before the build runs (pending events let it paint).
TEST_F(MainMenuOdds, StartTextsComeBeforeTheBuild) {
    QString seen;
    WriteOddsFiles(folder, "THISWEEKN", "000110");
    // The build reads the source when the window loads: at that moment Text2 shows the start text.
    QObject watcher;
    QTimer::singleShot(0, &watcher, [&] { seen = Box("Text2"); });
    Button(menu.get(), "Command7")->click();
    EXPECT_EQ(seen, Q("今週のオッズ処理を開始しました。しばらくお待ちください。。。。。。。。"));
    EXPECT_EQ(Box("Text2"), Q("今週のオッズ処理終了"));
}

// Before any odds were fetched both buttons say that there was nothing to build from.
TEST_F(MainMenuOdds, OddsProcessingWithoutOddsSaysSo) {
    Button(menu.get(), "Command7")->click();
    EXPECT_EQ(Box("Text2"), Q("今週のオッズ処理終了（入力ファイルがありません。先に今週オッズ取得を実行して下さい。ERRORLOG.txtを確認して下さい。）"));
    Button(Windows<acquisition::TALMOR7ODDSN>()[0], "Command1")->click();
    RunDeferredDeletes();

    Button(menu.get(), "Command13")->click();
    EXPECT_EQ(Box("Text3"), Q("速報オッズ処理終了（入力ファイルがありません。先にⅡ速報オッズ情報を実行して下さい。ERRORLOG.txtを確認して下さい。）"));
    const std::string log = folder.Read("ERRORLOG.txt");
    EXPECT_NE(log.find("O2THISWEEKN.dat is missing"), std::string::npos);
    EXPECT_NE(log.find("O2RIALTIME.dat is missing"), std::string::npos);
}

// Odds of some kinds only: the end text names the missing kind.
TEST_F(MainMenuOdds, OddsProcessingNamesAMissingKind) {
    WriteOddsFiles(folder, "THISWEEKN", "000110");
    std::filesystem::remove(folder / "O6THISWEEKN.dat");
    Button(menu.get(), "Command7")->click();
    EXPECT_EQ(TableLine21(folder), "11");
    EXPECT_EQ(Box("Text2"), Q("今週のオッズ処理終了（3連単オッズがありません。ERRORLOG.txtを確認して下さい。）"));
    EXPECT_NE(folder.Read("ERRORLOG.txt").find("[BuildOddsTables] O6THISWEEKN.dat is missing"), std::string::npos);
}

}  // namespace
