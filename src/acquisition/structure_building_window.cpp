#include "acquisition/structure_building_window.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/window_controls.h"

namespace acquisition {

KOUZOUTAIVK31::KOUZOUTAIVK31(common::Host& host, QWidget* parent) : QWidget(parent), host_(host) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    Form_Load();
}

void KOUZOUTAIVK31::BuildControls() {
    setObjectName(QStringLiteral("KOUZOUTAIVK31"));
    setWindowTitle(ui::Qs("Ver.2024.8.12A　構造体"));
    ui::UseWindowFont(*this);
    setFixedSize(420, 190);

    Text1 = ui::AddTextBox(this, "Text1", QRect(15, 15, 390, 100));
    Command1 = ui::AddButton(this, "Command1", "構造体処理終了", QRect(110, 130, 200, 40));
    connect(Command1, &QPushButton::clicked, this, &KOUZOUTAIVK31::Command1_Click);
}

// The whole step runs here, before the window is first shown.
void KOUZOUTAIVK31::Form_Load() {
    built_ = BuildWeekStructures(host_);
    Text1->setPlainText(ui::Qs(kStructureWindowNote));
}

void KOUZOUTAIVK31::Command1_Click() { close(); }

}  // namespace acquisition
