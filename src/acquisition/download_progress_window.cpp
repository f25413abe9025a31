#include "acquisition/download_progress_window.h"

#include <algorithm>
#include <string>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "ui/window_controls.h"

namespace acquisition {

namespace {
constexpr int kPollMilliseconds = 10;
}  // namespace

TLMF2THISWEEKNVK31::TLMF2THISWEEKNVK31(DownloadStarter& starter, QWidget* owner)
    : QDialog(owner), starter_(starter) {
    BuildControls();
    Form_Load();
}

void TLMF2THISWEEKNVK31::BuildControls() {
    setObjectName(QStringLiteral("TLMF2THISWEEKNVK31"));
    setWindowTitle(QStringLiteral("TLMF2THISWEEKN:ダウンロード 2024.8.12A"));
    ui::UseWindowFont(*this);
    setFixedSize(420, 150);

    // The load sets the bar's range from the download count.
    ProgressBar1 = ui::AddProgressBar(this, "ProgressBar1", QRect(20, 20, 380, 26));
    ProgressBar1->setTextVisible(false);

    Label1 = ui::AddLabel(this, "Label1", "", QRect(20, 56, 380, 26));
    Label1->setAlignment(Qt::AlignCenter);

    Command1 = ui::AddButton(this, "Command1", "キャンセル", QRect(150, 96, 120, 34));
    Command1->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &TLMF2THISWEEKNVK31::Command1_Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &TLMF2THISWEEKNVK31::Timer1_Timer);
}

void TLMF2THISWEEKNVK31::Form_Load() {
    // A bar needs a range: a count below 0 is shown as an empty one.
    ProgressBar1->setRange(0, std::max(0, starter_.DownloadCount));
    ProgressBar1->setValue(0);
    Timer1->setInterval(kPollMilliseconds);
    Timer1->start();
}

void TLMF2THISWEEKNVK31::Timer1_Timer() {
    // The status is a full 32-bit count: a week can bring more files than a 16-bit number holds.
    const int status = starter_.JVLink1.JVStatus();
    if (status < 0) {
        Timer1->stop();
        starter_.host.messageBox(std::string(kDownloadFailed) + std::to_string(status));
        Finish();
        return;
    }
    ProgressBar1->setValue(std::min(status, ProgressBar1->maximum()));
    Label1->setText(QStringLiteral("%1 / %2").arg(status).arg(starter_.DownloadCount));
    // At or past the count: a service that overshoots must not keep the window open forever.
    if (status >= starter_.DownloadCount) {
        starter_.DialogResult = kDownloadDone;
        Finish();
    }
}

void TLMF2THISWEEKNVK31::Command1_Click() {
    if (finished_) return;
    Timer1->stop();
    starter_.JVLink1.JVCancel();
    starter_.DialogResult = kDownloadCancelled;
    Finish();
}

void TLMF2THISWEEKNVK31::reject() {
    if (!finished_) Command1_Click();
}

void TLMF2THISWEEKNVK31::Finish() {
    finished_ = true;
    Timer1->stop();
    done(QDialog::Accepted);
}

void RunDownloadProgress(DownloadStarter& starter, QWidget* owner) {
    TLMF2THISWEEKNVK31 window(starter, owner);
    window.exec();
}

ProgressRunner DownloadProgressRunner(QWidget* owner) {
    return [owner](DownloadStarter& starter) { RunDownloadProgress(starter, owner); };
}

}  // namespace acquisition
