#include "acquisition/race_cancellation_window.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/window_controls.h"
#include "dataservice/settings_dialog.h"

namespace acquisition {

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
    setWindowTitle(ui::Qs("中止処理 Ver.2024.6.29Z"));
    ui::UseWindowFont(*this);
    setFixedSize(420, 190);

    Text1 = ui::AddTextBox(this, "Text1", QRect(15, 15, 390, 100));
    Command1 = ui::AddButton(this, "Command1", "触れないで", QRect(110, 130, 200, 40));
    connect(Command1, &QPushButton::clicked, this, &CHUSIRIALTIME::Command1_Click);
}

// The whole step runs here, before the window is first shown.
void CHUSIRIALTIME::Form_Load() {
    applied_ = ApplyRaceCancellations(*JVLink1, host_, [this](std::string_view text) { Text1->setPlainText(ui::Qs(text)); });
}

// No file stays open between steps, so closing the window is all there is to do.
void CHUSIRIALTIME::Command1_Click() { close(); }

}  // namespace acquisition
