#include "acquisition/download_progress_window.h"

#include <cstdint>
#include <functional>
#include <string>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dataservice/scripted_jvlink.h"
#include "support/recording_host.h"

namespace {

using ::testing::ElementsAre;
using Window = acquisition::TLMF2THISWEEKNVK31;

// A data service whose download status the test moves by hand.
class HeldStatus : public dataservice::ScriptedJVLink {
public:
    int status = 0;
    int JVStatus() override {
        log.push_back("JVStatus");
        return status;
    }
};

Window* OpenProgressWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(w); window && window->isVisible()) return window;
    return nullptr;
}

class ProgressWindow : public ::testing::Test {
protected:
    /// Opens the window modally, as a starter does, and calls `drive` with it every 5 ms until
    /// `drive` returns true; returns when the window has closed.
    void RunDriven(const std::function<bool(Window&)>& drive) {
        bool driven = false;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            if (Window* w = OpenProgressWindow(); w && !driven) driven = drive(*w);
        });
        driver.start(5);
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            timedOut = true;
            if (Window* w = OpenProgressWindow()) w->done(QDialog::Rejected);
        });
        guard.start(10000);
        acquisition::RunDownloadProgress(starter, nullptr);
        EXPECT_FALSE(timedOut) << "the window did not close by itself";
        EXPECT_EQ(OpenProgressWindow(), nullptr);
    }

    static QString LabelText(Window& w) { return w.findChild<QLabel*>("Label1")->text(); }

    testsupport::RecordingHost host;
    HeldStatus link;
    std::int32_t downloadCount = 12;
    std::int16_t dialogResult = 0;
    acquisition::DownloadStarter starter{link, downloadCount, dialogResult, host};
    bool timedOut = false;
};

TEST_F(ProgressWindow, ShowsFilesDoneAndClosesWhenTheCountIsReached) {
    for (int last : {12, 13}) {  // reached, or overshot by a service that counts on
        SCOPED_TRACE(last);
        link.status = 3;
        dialogResult = 7;  // the window itself reports the end
        bool sawThree = false;
        RunDriven([&](Window& w) {
            if (LabelText(w) != "3 / 12") return false;
            sawThree = true;
            EXPECT_EQ(w.objectName(), "TLMF2THISWEEKNVK31");
            EXPECT_EQ(w.windowTitle(), "TLMF2THISWEEKN:ダウンロード 2024.8.12A");
            EXPECT_TRUE(w.isModal());
            auto* bar = w.findChild<QProgressBar*>("ProgressBar1");
            EXPECT_EQ(bar->minimum(), 0);
            EXPECT_EQ(bar->maximum(), 12);
            EXPECT_EQ(bar->value(), 3);
            EXPECT_EQ(w.findChild<QPushButton*>("Command1")->text(), "キャンセル");
            link.status = last;
            return true;
        });
        EXPECT_TRUE(sawThree);
        EXPECT_EQ(dialogResult, 0);
        EXPECT_EQ(link.Count("JVCancel"), 0u);
        EXPECT_TRUE(host.Messages().empty());
    }
}

TEST_F(ProgressWindow, CancelByButtonOrByClosingTheWindow) {
    struct Case {
        const char* how;
        std::function<void(Window&)> close;
    };
    const Case cases[] = {
        {"button", [](Window& w) { w.findChild<QPushButton*>("Command1")->click(); }},
        {"title bar", [](Window& w) { w.close(); }},
        {"Escape", [](Window& w) { w.reject(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        link.log.clear();
        link.status = 3;
        dialogResult = 0;
        RunDriven([&](Window& w) {
            if (LabelText(w) != "3 / 12") return false;
            c.close(w);
            return true;
        });
        EXPECT_EQ(dialogResult, -1);
        EXPECT_EQ(link.Count("JVCancel"), 1u);
        EXPECT_TRUE(host.Messages().empty());
    }
}

TEST_F(ProgressWindow, NegativeStatusReportsTheFailureAndLeavesTheFlag) {
    link.status = -502;
    dialogResult = 0;
    RunDriven([](Window&) { return true; });

    EXPECT_THAT(host.Messages(), ElementsAre("ダウンロード失敗。RC=-502"));
    EXPECT_EQ(dialogResult, 0);
    EXPECT_EQ(link.Count("JVStatus"), 1u);  // the poll stopped at the failure
    EXPECT_EQ(link.Count("JVCancel"), 0u);
}

}  // namespace
