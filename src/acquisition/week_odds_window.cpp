#include "acquisition/week_odds_window.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QPushButton>

#include "acquisition/download_progress_window.h"
#include "acquisition/fetch_messages.h"
#include "acquisition/week_odds_fetch.h"
#include "dataservice/settings_dialog.h"

namespace acquisition {

namespace {
QString Qs(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
}  // namespace

TLMFOTHISWEEKNVK31::TLMFOTHISWEEKNVK31(common::Host& host, QWidget* parent)
    : QWidget(parent, Qt::Window), host_(host) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    JVLink1 = dataservice::MakeLocalJVLink(this);
    runProgress_ = DownloadProgressRunner(this);
    connect(Command1, &QPushButton::clicked, this, &TLMFOTHISWEEKNVK31::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &TLMFOTHISWEEKNVK31::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &TLMFOTHISWEEKNVK31::Command3_Click);
}

TLMFOTHISWEEKNVK31::~TLMFOTHISWEEKNVK31() = default;

void TLMFOTHISWEEKNVK31::BuildControls() {
    setObjectName(QStringLiteral("TLMFOTHISWEEKNVK31"));
    setWindowTitle(QStringLiteral("今週のオッズ Ver.2024.8.12A"));
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(13);
    setFont(font);
    setFixedSize(420, 250);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(20, 20, 380, 70);
    Text1->setReadOnly(true);

    auto button = [this](const char* name, const char* caption, QRect geometry) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geometry);
        return b;
    };
    Command2 = button("Command2", "今週のオッズ", QRect(20, 104, 185, 40));
    Command3 = button("Command3", "今週の3連単", QRect(215, 104, 185, 40));
    Command1 = button("Command1", "設定ＯＤＤＳ", QRect(20, 190, 140, 36));
}

DownloadStarter TLMFOTHISWEEKNVK31::Starter() { return {*JVLink1, DownloadCount, DialogResult, host_}; }

void TLMFOTHISWEEKNVK31::SetText1(std::string_view text) { Text1->setPlainText(Qs(text)); }

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
