#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QWidget>

#include "common/host.h"
#include "dataservice/jvlink.h"

class QPlainTextEdit;
class QPushButton;

namespace acquisition {

/// The breaking-news window of race day: fetches the breaking odds of the newest races
/// (Command1) on its own data-service control; Command2 opens the breaking-payouts window, whose
/// load brings the day's results into the runner files. It does nothing while loading; closing it
/// unloads it.
class TLMP2RIALTIME final : public QWidget {
    Q_OBJECT

public:
    /// `host` shows the message boxes and lets pending events run (the main menu).
    explicit TLMP2RIALTIME(common::Host& host, QWidget* parent = nullptr);
    ~TLMP2RIALTIME() override;

    /// Opens the single breaking-payouts window: a new one does its work while it is made, an open
    /// one is only brought forward. Returns Ⅲ's end text, which says when the load passed
    /// something over (logged). The main menu sets it, since the window lives in another folder;
    /// tests give a fake.
    using PayoutsOpener = std::function<std::string()>;
    void SetPayoutsOpener(PayoutsOpener opener) { openPayouts_ = std::move(opener); }

    /// Tests put a scripted data service in place of the stand-in.
    void SetJVLink(std::unique_ptr<dataservice::JVLink> link) { JVLink1 = std::move(link); }

private:
    void BuildControls();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    common::Host& host_;
    std::unique_ptr<dataservice::JVLink> JVLink1;
    PayoutsOpener openPayouts_;
    bool fetching_ = false;

    QPlainTextEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
};

}  // namespace acquisition
