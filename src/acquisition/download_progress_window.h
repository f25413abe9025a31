#pragma once

#include <string_view>

#include <QDialog>

#include "acquisition/download_starter.h"
#include "acquisition/fetch_messages.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace acquisition {

/// The modal download-progress window: follows the download of the window that opened it by
/// polling its data-service control every 10 ms, shows "done / count", and lets the user cancel.
/// Done (status reaches DownloadCount): DialogResult <- 0, closes. Failed (negative status): the
/// message "ダウンロード失敗。RC=" and the status through the starter's host, closes, DialogResult
/// left as it was. Cancel (the button, Escape or the title bar's close): JVCancel,
/// DialogResult <- -1, closes.
class TLMF2THISWEEKNVK31 final : public QDialog {
    Q_OBJECT

public:
    /// Builds the window over `owner` and runs its load; the poll starts with the timer.
    TLMF2THISWEEKNVK31(DownloadStarter& starter, QWidget* owner);

    /// Closing the window any other way than by finishing is a cancel.
    void reject() override;

private:
    void BuildControls();
    void Form_Load();
    void Timer1_Timer();
    void Command1_Click();
    /// Closes without touching the download.
    void Finish();

    DownloadStarter& starter_;
    bool finished_ = false;

    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* Command1 = nullptr;
    QTimer* Timer1 = nullptr;
};

/// Opens the progress window modally over `owner` and returns when it has closed.
void RunDownloadProgress(DownloadStarter& starter, QWidget* owner);

/// The ProgressRunner of a window: opens the progress window modally over `owner`.
ProgressRunner DownloadProgressRunner(QWidget* owner);

}  // namespace acquisition
