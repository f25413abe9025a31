#pragma once

#include <memory>

#include <QWidget>

#include "acquisition/race_cancellation.h"
#include "common/host.h"
#include "dataservice/jvlink.h"

class QPlainTextEdit;
class QPushButton;

namespace acquisition {

/// The race-cancellation window: takes cancelled races and runners out of the week's files while
/// it loads (before it is first shown), on a data-service control of its own, and shows how that
/// went in its status box. A fresh window is made for every run; its button only closes it.
class CHUSIRIALTIME final : public QWidget {
    Q_OBJECT

public:
    /// Builds the window and runs its load; `host` is the main menu. `link` stands in for the
    /// window's own stand-in data service (tests give a scripted one).
    explicit CHUSIRIALTIME(common::Host& host, QWidget* parent = nullptr,
                           std::unique_ptr<dataservice::JVLink> link = nullptr);
    ~CHUSIRIALTIME() override;

    /// What the load did.
    const CancellationSummary& Applied() const { return applied_; }

private:
    void BuildControls();
    void Form_Load();
    void Command1_Click();

    common::Host& host_;
    std::unique_ptr<dataservice::JVLink> JVLink1;
    CancellationSummary applied_;
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
};

}  // namespace acquisition
