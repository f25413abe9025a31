#include "app/main_menu_window.h"
#include "app/startup.h"

#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "common/error_log.h"
#include "common/file_faults.h"
#include "common/instance_lock.h"
#include "common/long_step.h"
#include "common/paths.h"
#include "support/temp_folder.h"

namespace {

using Window = app::TLMF1THISWEEKNVK31;

QString Q(const std::string& s) { return QString::fromStdString(s); }

QColor LabelBackground(const QLabel* label) { return label->palette().color(label->backgroundRole()); }

const std::vector<std::pair<std::string, std::string>> kButtons = {
    {"Command1", "設定"},
    {"Command2", "①　　今週開催取得"},
    {"Command3", "今週オッズ取得"},
    {"Command4", "②　構造・中止処理"},
    {"Command5", "芝予想因子ウエイト"},
    {"Command6", "③ 拡大構造体展開"},
    {"Command7", "オッズ処理"},
    {"Command8", "⑥　***　予想・結果　***"},
    {"Command9", "ダート予想因子ウエイト"},
    {"Command10", "障害予想因子ウエイト"},
    {"Command11", "過去予想成績"},
    {"Command12", "Ⅰ　速報情報(一括）"},
    {"Command13", "Ⅳ　速報処理(一括）"},
    {"Command14", "回収率・的中率の検証ブログ"},
    {"Command15", "万馬券リスト"},
    {"Command16", "最新予想因子ウエイトへの更新サイト"},
};

// Each button sits in the frame its step belongs to (no frame: straight on the window).
const std::vector<std::pair<std::string, std::string>> kFrameOf = {
    {"Command1", ""},
    {"Command14", ""},
    {"Command16", ""},
    {"Command2", "今週の予想  (金曜12時以降）"},
    {"Command4", "今週の予想  (金曜12時以降）"},
    {"Command6", "今週の予想  (金曜12時以降）"},
    {"Command11", "随時  (予想支援の参考として使用）"},
    {"Command5", "随時  (予想支援の参考として使用）"},
    {"Command9", "随時  (予想支援の参考として使用）"},
    {"Command10", "随時  (予想支援の参考として使用）"},
    {"Command15", "随時  (予想支援の参考として使用）"},
    {"Command3", "今週のオッズ （月曜14時以降）"},
    {"Command7", "今週のオッズ （月曜14時以降）"},
    {"Command8", "予想"},
    {"Command12", "速報　（予想・結果表示後使用）"},
    {"Command13", "速報　（予想・結果表示後使用）"},
};

const std::string kReminder = "今週の結果は必ず前に今週の予想の3つの操作を行って下さい。";

TEST(MainMenuWindow, LoadsWithEveryControlAndAsksForTheMissingWeights) {
    testsupport::TempAppFolder folder;
    Window window(Window::Interaction::Recorded);
    window.show();
    QApplication::processEvents();

    EXPECT_EQ(window.objectName(), "TLMF1THISWEEKNVK31");
    EXPECT_EQ(window.windowTitle(),
              Q("TALMOR7VK31 グラフ　今週予想    Ver.2025.8.31 (2014.1.1-2026.1.31　BASE)"));

    EXPECT_EQ(window.findChildren<QPushButton*>().size(), static_cast<qsizetype>(kButtons.size()));
    for (const auto& [name, caption] : kButtons) {
        auto* button = window.findChild<QPushButton*>(Q(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), Q(caption)) << name;
        EXPECT_TRUE(button->isVisible()) << name;
    }
    for (const auto& [name, frame] : kFrameOf) {
        auto* box = qobject_cast<QGroupBox*>(window.findChild<QPushButton*>(Q(name))->parentWidget());
        EXPECT_EQ(box ? box->title() : QString(), Q(frame)) << name;
    }

    auto* option = window.findChild<QRadioButton*>("Option1");
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->text(), Q(" 中止処理を選択。通常は何もしないでください。"));
    EXPECT_FALSE(option->isChecked());

    auto* label2 = window.findChild<QLabel*>("Label2");
    auto* label3 = window.findChild<QLabel*>("Label3");
    ASSERT_TRUE(label2 && label3);
    EXPECT_EQ(label2->text(), Q("今週の結果　(月曜14時以降）"));
    EXPECT_EQ(qobject_cast<QGroupBox*>(label2->parentWidget())->title(), Q("今週の予想  (金曜12時以降）"));
    EXPECT_EQ(label3->text(), Q("　注：オッズ情報が必要であれば行う"));

    // Six read-only status boxes; the start-up writes only the reminder in the second.
    for (int i = 1; i <= 6; ++i) {
        auto* box = window.findChild<QPlainTextEdit*>(QStringLiteral("Text%1").arg(i));
        ASSERT_NE(box, nullptr) << i;
        EXPECT_TRUE(box->isReadOnly()) << i;
        EXPECT_EQ(box->toPlainText(), i == 2 ? Q(kReminder) : QString()) << i;
    }

    auto* picture = window.findChild<QLabel*>("Picture1");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixmap().size(), QSize(172, 81));

    auto* label1 = window.findChild<QLabel*>("Label1");
    ASSERT_NE(label1, nullptr);
    EXPECT_TRUE(label1->wordWrap());
    EXPECT_TRUE(label1->autoFillBackground());
    EXPECT_EQ(label1->text(),
              Q("まだ、予想因子ウエイトが展開されていません。自己解凍EXEにある展開先の指定をクリックして起動させて下さい。"));
    EXPECT_EQ(LabelBackground(label1), QColor(0xFF, 0x80, 0xFF));  // light magenta, the design colour

    EXPECT_EQ(window.RecordedMessages(),
              std::vector<std::string>{folder.Path().string() + "/" +
                                       "自己解凍EXEにある展開先の指定をクリックして予想因子パラメータをセットして下さい。"});
    EXPECT_TRUE(window.RecordedStarts().empty());
    EXPECT_EQ(window.ZansaFlag, 0);
    EXPECT_EQ(window.DialogResult, 0);
    EXPECT_EQ(window.DownloadCount, 0);
}

TEST(MainMenuWindow, WeightsPresentTurnTheLabelLightGreen) {
    testsupport::TempAppFolder folder;
    folder.Write("OPTION1N/KYOSOBA.dat", "x");
    Window window(Window::Interaction::Recorded);

    auto* label1 = window.findChild<QLabel*>("Label1");
    ASSERT_NE(label1, nullptr);
    EXPECT_EQ(LabelBackground(label1), QColor(0x80, 0xFF, 0x80));
    EXPECT_TRUE(label1->text().startsWith(Q("予想因子ウエイトは展開されています。作成日は ")));
    EXPECT_TRUE(window.RecordedMessages().empty());
    EXPECT_EQ(window.findChild<QPlainTextEdit*>("Text2")->toPlainText(), Q(kReminder));
}

TEST(MainMenuWindow, HostWritesEveryStatusBoxAndTheLabel) {
    testsupport::TempAppFolder folder;
    Window window(Window::Interaction::Recorded);
    common::Host& host = window;
    host.setStatus(common::StatusBox::Text5, "予想･結果終了");
    host.setStatus(common::StatusBox::Label1, "ラベル");
    host.setLabelColour(0x0000FF);  // 0x00BBGGRR: pure red
    host.openUrl("https://example.org/");

    EXPECT_EQ(window.findChild<QPlainTextEdit*>("Text5")->toPlainText(), Q("予想･結果終了"));
    EXPECT_EQ(window.findChild<QPlainTextEdit*>("Text4")->toPlainText(), QString());
    auto* label1 = window.findChild<QLabel*>("Label1");
    EXPECT_EQ(label1->text(), Q("ラベル"));
    EXPECT_EQ(LabelBackground(label1), QColor(0xFF, 0, 0));
    EXPECT_EQ(window.RecordedStarts(), std::vector<std::string>{"https://example.org/"});
}

TEST(MainMenuWindow, TheTwoWebButtonsOpenTheirPages) {
    testsupport::TempAppFolder folder;
    Window window(Window::Interaction::Recorded);
    window.findChild<QPushButton*>("Command14")->click();
    window.findChild<QPushButton*>("Command16")->click();
    EXPECT_EQ(window.RecordedStarts(),
              (std::vector<std::string>{std::string(app::kResultsBlogUrl), std::string(app::kWeightsUpdateUrl)}));
    EXPECT_NE(app::kResultsBlogUrl, app::kWeightsUpdateUrl);
}

// Lets the window's events and timers run for a while.
void RunEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Logs one entry whose write to ERRORLOG.txt fails, as on a full disk.
void LogUnwritable(const std::string& reason) {
    common::FailNthFileCall(1);
    common::LogError("TestStep", reason);
    common::FailNthFileCall(0);
}

// Entries the log could not take reach the user as one message, also when they were logged by
// worker threads; while a step works the message waits, so that its burst is not split up (nor
// the step stopped by a box halfway).
TEST(MainMenuWindow, ShowsLogEntriesTheLogCouldNotTakeInOneMessage) {
    testsupport::TempAppFolder folder;
    Window window(Window::Interaction::Recorded);
    window.show();
    RunEventsFor(3 * app::kUnwrittenLogPollMs);
    common::TakeUnwrittenLogEntries();
    const std::size_t before = window.RecordedMessages().size();

    const int entries = app::kUnwrittenLogShown + 10;
    {
        common::LongStepGuard step;
        ASSERT_TRUE(step);
        for (int i = 0; i < entries; ++i) {
            const std::string reason = "entry " + std::to_string(i) + ";";
            if (i % 2 == 0) {
                LogUnwritable(reason);
            } else {
                std::thread worker(LogUnwritable, reason);
                worker.join();
            }
        }
        RunEventsFor(4 * app::kUnwrittenLogPollMs);
        EXPECT_EQ(window.RecordedMessages().size(), before) << "shown while the step works";
    }
    RunEventsFor(4 * app::kUnwrittenLogPollMs);

    ASSERT_EQ(window.RecordedMessages().size(), before + 1);
    const std::string& message = window.RecordedMessages().back();
    EXPECT_EQ(message.rfind(std::string(app::kUnwrittenLogMessage), 0), 0u) << message;
    for (int i = 0; i < app::kUnwrittenLogShown; ++i)
        EXPECT_NE(message.find("[TestStep] entry " + std::to_string(i) + ";"), std::string::npos) << i;
    EXPECT_EQ(message.find("entry " + std::to_string(app::kUnwrittenLogShown) + ";"), std::string::npos);
    EXPECT_NE(message.find("ほか10件"), std::string::npos) << message;
    EXPECT_FALSE(folder.Exists("ERRORLOG.txt"));
    EXPECT_TRUE(common::TakeUnwrittenLogEntries().empty());

    // The next failure the log cannot take comes in a message of its own.
    LogUnwritable("later;");
    RunEventsFor(3 * app::kUnwrittenLogPollMs);
    ASSERT_EQ(window.RecordedMessages().size(), before + 2);
    EXPECT_NE(window.RecordedMessages().back().find("[TestStep] later;"), std::string::npos);
}

// Closing the main menu ends the program's event loop, also while another window stands open (a
// viewer, the prediction window), and the folder is free for the next start at once.
TEST(MainMenuWindow, ClosingItEndsTheRunAndReleasesTheFolder) {
    using Result = common::InstanceLock::Result;
    testsupport::TempAppFolder folder;
    const std::filesystem::path lockFile = folder / std::string(common::kInstanceLockFile);
    auto lock = std::make_unique<common::InstanceLock>(lockFile);
    ASSERT_EQ(lock->TryLock(), Result::Held);
    Window window(Window::Interaction::Recorded);
    window.HoldInstanceLock(std::move(lock));
    window.show();
    QWidget leftOpen;
    leftOpen.show();
    EXPECT_EQ(common::InstanceLock(lockFile).TryLock(), Result::HeldByAnother);

    bool timedOut = false;
    QTimer::singleShot(0, &window, [&] { window.close(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(3);
    });
    guard.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(timedOut) << "the event loop ran on after the main menu was closed";
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(folder.Exists("TALMOR7.lock"));
    common::InstanceLock next(lockFile);
    EXPECT_EQ(next.TryLock(), Result::Held);
}

TEST(MainMenuWindowDeathTest, ClickingTheLogoEndsTheProgramAtOnce) {
    // Forked without exec, so the child exits from this very window and folder (which the parent removes).
    testsupport::TempAppFolder folder;
    Window window(Window::Interaction::Recorded);
    auto* picture = window.findChild<QLabel*>("Picture1");
    ASSERT_NE(picture, nullptr);
    EXPECT_EXIT(
        {
            const QPointF at(10, 10);
            QMouseEvent press(QEvent::MouseButtonPress, at, picture->mapToGlobal(at), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, at, picture->mapToGlobal(at), Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(picture, &press);
            QApplication::sendEvent(picture, &release);
            std::fprintf(stderr, "still running\n");
            std::abort();
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
