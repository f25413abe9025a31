#include "acquisition/breaking_odds_window.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "acquisition/breaking_odds.h"
#include "acquisition/fetch_messages.h"
#include "common/long_step.h"
#include "ui/window_controls.h"
#include "dataservice/settings_dialog.h"

namespace acquisition {

TLMP2RIALTIME::TLMP2RIALTIME(common::Host& host, QWidget* parent)
    : QWidget(parent, Qt::Window), host_(host) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    JVLink1 = dataservice::MakeLocalJVLink(this);
    connect(Command1, &QPushButton::clicked, this, &TLMP2RIALTIME::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &TLMP2RIALTIME::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &TLMP2RIALTIME::Command3_Click);
}

TLMP2RIALTIME::~TLMP2RIALTIME() = default;

void TLMP2RIALTIME::BuildControls() {
    setObjectName(QStringLiteral("TLMP2RIALTIME"));
    setWindowTitle(QStringLiteral("速報 Ver.2024.7.8"));
    ui::UseWindowFont(*this);
    setFixedSize(420, 290);

    Text1 = ui::AddTextBox(this, "Text1", QRect(20, 20, 380, 70));
    Command1 = ui::AddButton(this, "Command1", "Ⅱ　速報オッズ情報", QRect(20, 104, 380, 40));
    Command2 = ui::AddButton(this, "Command2", "Ⅲ　速報着順等情報", QRect(20, 154, 380, 40));
    Command3 = ui::AddButton(this, "Command3", "設定ODDS", QRect(20, 230, 140, 36));
}

// "Ⅱ　速報オッズ情報". The fetch lets pending events run once; a click that arrives then must
// not start a second fetch inside the first.
void TLMP2RIALTIME::Command1_Click() {
    if (fetching_) return;
    fetching_ = true;
    FetchBreakingOdds(*JVLink1, host_, [this](std::string_view text) { Text1->setPlainText(ui::Qs(text)); });
    fetching_ = false;
}

// "Ⅲ　速報着順等情報": opens the breaking-payouts window, which does its work while it loads. It
// rewrites the runner files, so it waits while another long step (the weekly batch) works.
void TLMP2RIALTIME::Command2_Click() {
    if (!openPayouts_) return;
    common::LongStepGuard flag;
    if (!flag) return;
    Text1->setPlainText(ui::Qs(kBreakingPayoutsStart));
    host_.pumpEvents();
    Text1->setPlainText(ui::Qs(openPayouts_()));
}

// "設定ODDS": the settings dialog of this window's own data service.
void TLMP2RIALTIME::Command3_Click() {
    if (JVLink1->JVSetUIProperties() == dataservice::kRcSettingsFailed) host_.messageBox(kSettingsFailed);
}

}  // namespace acquisition
