#pragma once

#include <QWidget>

#include "common/host.h"
#include "common/long_step.h"
#include "engine/computation.h"
#include "engine/day_before_fix.h"

class QCloseEvent;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace engine {

/// The expansion window (button ③ of the main menu): the day-before fix (④) and the computation
/// run (⑤) on buttons of their own, each with its progress bars and end text. A fresh window is
/// made for every click of ③; closing it unloads it and does nothing else.
class TALMOR7EXPDTHISWEEKNVK31 final : public QWidget {
    Q_OBJECT

public:
    /// Builds the window and runs its load, which checks the code table and the model files;
    /// `host` is the main menu.
    explicit TALMOR7EXPDTHISWEEKNVK31(common::Host& host, QWidget* parent = nullptr);

    /// True while a long step works anywhere in the program (④ or ⑤ in any expansion window, or
    /// a step of the main menu): a click on ④ or ⑤ meanwhile is ignored.
    static bool Working();

    const ComputationSummary& LastComputation() const { return computed_; }
    const DayBeforeFixSummary& LastFix() const { return fixed_; }

protected:
    /// The window stays while a step works in it: its handler still uses the controls.
    void closeEvent(QCloseEvent* event) override;

private:
    /// Held while ④ or ⑤ works: both buttons of the window are disabled.
    class WorkGuard {
    public:
        explicit WorkGuard(TALMOR7EXPDTHISWEEKNVK31& window);
        ~WorkGuard();
        WorkGuard(const WorkGuard&) = delete;
        WorkGuard& operator=(const WorkGuard&) = delete;
        explicit operator bool() const { return static_cast<bool>(flag_); }

    private:
        TALMOR7EXPDTHISWEEKNVK31& window_;
        common::LongStepGuard flag_;
    };

    void BuildControls();
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    common::Host& host_;
    bool workingHere_ = false;
    ComputationSummary computed_;
    DayBeforeFixSummary fixed_;

    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    QPlainTextEdit* Text3 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QProgressBar* ProgressBar3 = nullptr;
    QProgressBar* ProgressBar4 = nullptr;
};

}  // namespace engine
