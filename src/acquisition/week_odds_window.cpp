#include "acquisition/week_odds_window.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "acquisition/download_progress_window.h"
#include "acquisition/fetch_messages.h"
#include "acquisition/week_odds_fetch.h"
#include "ui/window_controls.h"
#include "dataservice/settings_dialog.h"

namespace acquisition {

TLMFOTHISWEEKNVK31::TLMFOTHISWEEKNVK31(common::Host& host, QWidget* parent)
    : QWidget(parent, Qt::Window), host_(host) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    // Both buttons read the same files: the second fetch is served from what the first read.
    JVLink1 = dataservice::MakeLocalJVLink(this, kWeekOddsKeptBytes);
    runProgress_ = DownloadProgressRunner(this);
    connect(Command1, &QPushButton::clicked, this, &TLMFOTHISWEEKNVK31::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &TLMFOTHISWEEKNVK31::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &TLMFOTHISWEEKNVK31::Command3_Click);
}

TLMFOTHISWEEKNVK31::~TLMFOTHISWEEKNVK31() = default;

void TLMFOTHISWEEKNVK31::BuildControls() {
    setObjectName(QStringLiteral("TLMFOTHISWEEKNVK31"));
    setWindowTitle(QStringLiteral("今週のオッズ Ver.2024.8.12A"));
    ui::UseWindowFont(*this);
    setFixedSize(420, 250);

    Text1 = ui::AddTextBox(this, "Text1", QRect(20, 20, 380, 70));
    Command2 = ui::AddButton(this, "Command2", "今週のオッズ", QRect(20, 104, 185, 40));
    Command3 = ui::AddButton(this, "Command3", "今週の3連単", QRect(215, 104, 185, 40));
    Command1 = ui::AddButton(this, "Command1", "設定ＯＤＤＳ", QRect(20, 190, 140, 36));
}

DownloadStarter TLMFOTHISWEEKNVK31::Starter() { return {*JVLink1, DownloadCount, DialogResult, host_}; }

void TLMFOTHISWEEKNVK31::SetText1(std::string_view text) { Text1->setPlainText(ui::Qs(text)); }

// "設定ＯＤＤＳ": the settings dialog of this window's own data service.
void TLMFOTHISWEEKNVK31::Command1_Click() {
    if (JVLink1->JVSetUIProperties() == dataservice::kRcSettingsFailed) host_.messageBox(kSettingsFailed);
}

// "今週のオッズ": quinella, exacta and trio.
void TLMFOTHISWEEKNVK31::Command2_Click() {
    DownloadStarter starter = Starter();
    FetchWeekOdds(starter, runProgress_, [this](std::string_view text) { SetText1(text); });
}

// "今週の3連単": trifecta.
void TLMFOTHISWEEKNVK31::Command3_Click() {
    DownloadStarter starter = Starter();
    FetchWeekTrifectaOdds(starter, runProgress_, [this](std::string_view text) { SetText1(text); });
}

}  // namespace acquisition
