#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QColor>
#include <QRect>
#include <QPointer>
#include <QWidget>

#include "acquisition/download_starter.h"
#include "acquisition/odds_tables.h"
#include "common/host.h"
#include "common/instance_lock.h"
#include "common/long_step.h"
#include "dataservice/jvlink.h"

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace acquisition {
class TALMOR7ODDSN;
class TLMFOTHISWEEKNVK31;
class TLMP2RIALTIME;
}  // namespace acquisition
namespace workbench {
class TLMHRRIALTIME;
}  // namespace workbench
namespace history {
class KakoSeisekiVK31;
class TekichuListVK31;
}  // namespace history

namespace app {

/// The main menu's message, before the entries, when ERRORLOG.txt could not take failures (a full
/// disk, a folder that cannot be written).
inline constexpr std::string_view kUnwrittenLogMessage =
    "次のエラーをERRORLOG.txtに書き込めませんでした。ディスクの空きとフォルダへの書き込みを確認して下さい。";
/// Entries one message shows at most; it says how many more there were.
inline constexpr int kUnwrittenLogShown = 20;
/// How often the main menu looks for entries the log could not take, in milliseconds.
inline constexpr int kUnwrittenLogPollMs = 250;

/// The main menu: launcher of the weekly steps and the status board that every step writes into.
/// It is also the Host through which core code reaches the user.
class TLMF1THISWEEKNVK31 final : public QWidget, public common::Host {
    Q_OBJECT

public:
    /// Live: message boxes are modal, programs and web pages really start. Recorded: they are only
    /// written down (RecordedMessages, RecordedStarts), so that tests never block on a modal box.
    enum class Interaction { Live, Recorded };

    /// Builds the window and runs its load (the start-up) before it is first shown; AppFolder must
    /// be set already.
    explicit TLMF1THISWEEKNVK31(Interaction interaction = Interaction::Live, QWidget* parent = nullptr);

    // Read and written by the step windows.
    std::int16_t ZansaFlag = 0;
    std::int16_t DialogResult = 0;
    std::int32_t DownloadCount = 0;

    // common::Host
    void messageBox(std::string_view text) override;
    void setStatus(common::StatusBox box, std::string_view text) override;
    void setLabelColour(std::uint32_t colour) override;
    void pumpEvents() override;
    std::chrono::year_month_day today() override;
    void startProgram(const std::filesystem::path& program) override;
    void openUrl(std::string_view url) override;

    /// The lock on the application folder, held while the main menu lives: every way the program
    /// ends from here (closing the main menu, the logo, ③ without weights) releases it.
    void HoldInstanceLock(std::unique_ptr<common::InstanceLock> lock) { instanceLock_ = std::move(lock); }

    /// Tests put a scripted data service in place of the stand-in, and a fake in place of the
    /// download-progress window.
    void SetJVLink(std::unique_ptr<dataservice::JVLink> link) { JVLink1 = std::move(link); }
    void SetProgressRunner(acquisition::ProgressRunner runner) { runProgress_ = std::move(runner); }

    const std::vector<std::string>& RecordedMessages() const { return recordedMessages_; }
    /// Recorded: true once the program would have ended (button ③ without weights).
    bool EndRecorded() const { return endRecorded_; }
    /// Programs and web addresses that would have been started, in order.
    const std::vector<std::string>& RecordedStarts() const { return recordedStarts_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Closing the main menu ends the program.
    void closeEvent(QCloseEvent* event) override;

private:
    /// Held by a button handler while its step runs: it takes the program's long-step flag and
    /// disables the step buttons; a second step started meanwhile (a click that was already
    /// queued, or a step of another window) finds the flag taken and returns at once. Windows
    /// still repaint and the status boxes still move.
    class BusyGuard {
    public:
        explicit BusyGuard(TLMF1THISWEEKNVK31& menu);
        ~BusyGuard();
        BusyGuard(const BusyGuard&) = delete;
        BusyGuard& operator=(const BusyGuard&) = delete;
        /// False when another step is running: ignore the click.
        explicit operator bool() const { return static_cast<bool>(flag_); }

    private:
        TLMF1THISWEEKNVK31& menu_;
        common::LongStepGuard flag_;
    };

    void BuildControls();
    void Form_Load();
    [[noreturn]] void Picture1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command7_Click();
    void Command12_Click();
    std::string OpenBreakingPayouts();
    void Command13_Click();
    /// The odds-table window: opened when there is none (its load builds the tables), else only
    /// brought forward.
    /// Opens the odds-table window, or brings it forward; what the build did (nothing when the
    /// window was still open).
    acquisition::OddsTablesResult ShowOddsTables();
    void Command4_Click();
    void Command6_Click();
    void Command8_Click();
    void Command11_Click();
    void Command15_Click();
    void Command14_Click();
    void Command16_Click();
    void Command5_Click();
    void Command9_Click();
    void Command10_Click();
    /// Ends the program after the missing-weights message (Recorded: only noted).
    void EndProgram();
    /// Shows the entries ERRORLOG.txt could not take, all in one message; waits while a step works,
    /// so that its whole burst comes as one message after it.
    void ShowUnwrittenLogEntries();
    /// The buttons that start a step; BusyGuard disables them.
    std::vector<QPushButton*> StepButtons() const;

    QGroupBox* AddFrame(const char* name, const char* caption, QRect geometry);

    Interaction interaction_;
    std::vector<std::string> recordedMessages_;
    std::vector<std::string> recordedStarts_;
    bool endRecorded_ = false;
    bool showingUnwritten_ = false;

    std::unique_ptr<common::InstanceLock> instanceLock_;
    std::unique_ptr<dataservice::JVLink> JVLink1;
    acquisition::ProgressRunner runProgress_;

    // Single windows: made on first use, gone once closed.
    QPointer<acquisition::TLMFOTHISWEEKNVK31> weekOddsWindow_;
    QPointer<acquisition::TLMP2RIALTIME> breakingOddsWindow_;
    QPointer<workbench::TLMHRRIALTIME> breakingPayoutsWindow_;
    QPointer<acquisition::TALMOR7ODDSN> oddsTablesWindow_;
    QPointer<history::KakoSeisekiVK31> pastResultsWindow_;
    QPointer<history::TekichuListVK31> atariListWindow_;

    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Command8 = nullptr;
    QPushButton* Command9 = nullptr;
    QPushButton* Command10 = nullptr;
    QPushButton* Command11 = nullptr;
    QPushButton* Command12 = nullptr;
    QPushButton* Command13 = nullptr;
    QPushButton* Command14 = nullptr;
    QPushButton* Command15 = nullptr;
    QPushButton* Command16 = nullptr;
    QRadioButton* Option1 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    QPlainTextEdit* Text3 = nullptr;
    QPlainTextEdit* Text4 = nullptr;
    QPlainTextEdit* Text5 = nullptr;
    QPlainTextEdit* Text6 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Picture1 = nullptr;
};

}  // namespace app
