#pragma once

#include <memory>

#include <QWidget>

#include "common/host.h"
#include "dataservice/jvlink.h"
#include "workbench/breaking_payouts.h"

class QLabel;
class QPushButton;

namespace workbench {

/// The breaking-payouts window of race day: fetches the breaking win odds and results and merges
/// them into the runner records while it loads (before it is first shown), on a data-service
/// control of its own. It then only stands open; its button closes (unloads) it.
class TLMHRRIALTIME final : public QWidget {
    Q_OBJECT

public:
    /// Builds the window and runs its load; `host` is the main menu. `link` stands in for the
    /// window's own stand-in data service (tests give a scripted one).
    explicit TLMHRRIALTIME(common::Host& host, QWidget* parent = nullptr,
                           std::unique_ptr<dataservice::JVLink> link = nullptr);
    ~TLMHRRIALTIME() override;

    /// What the load did.
    const BreakingPayoutsSummary& Loaded() const { return loaded_; }

private:
    void BuildControls();
    void Form_Load();
    void Command1_Click();

    common::Host& host_;
    std::unique_ptr<dataservice::JVLink> JVLink1;
    BreakingPayoutsSummary loaded_;
    QLabel* Label1 = nullptr;
    QPushButton* Command1 = nullptr;
};

}  // namespace workbench
