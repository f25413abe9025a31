#include "acquisition/race_cancellation_window.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>

#include "dataservice/settings_dialog.h"

namespace acquisition {

namespace {

QString Qs(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

}  // namespace

CHUSIRIALTIME::CHUSIRIALTIME(common::Host& host, QWidget* parent, std::unique_ptr<dataservice::JVLink> link)
    : QWidget(parent, Qt::Window), host_(host), JVLink1(std::move(link)) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    if (!JVLink1) JVLink1 = dataservice::MakeLocalJVLink(this);
    Form_Load();
}

CHUSIRIALTIME::~CHUSIRIALTIME() = default;

void CHUSIRIALTIME::BuildControls() {
    setObjectName(QStringLiteral("CHUSIRIALTIME"));
    setWindowTitle(Qs("中止処理 Ver.2024.6.29Z"));
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(13);
    setFont(font);
    setFixedSize(420, 190);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(15, 15, 390, 100);
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    Command1 = new QPushButton(Qs("触れないで"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(110, 130, 200, 40);
    connect(Command1, &QPushButton::clicked, this, &CHUSIRIALTIME::Command1_Click);
}

// The whole step runs here, before the window is first shown.
void CHUSIRIALTIME::Form_Load() {
    applied_ = ApplyRaceCancellations(*JVLink1, host_, [this](std::string_view text) { Text1->setPlainText(Qs(text)); });
}

// No file stays open between steps, so closing the window is all there is to do.
void CHUSIRIALTIME::Command1_Click() { close(); }

}  // namespace acquisition
