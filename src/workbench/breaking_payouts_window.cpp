#include "workbench/breaking_payouts_window.h"

#include <QLabel>
#include <QPushButton>

#include "dataservice/settings_dialog.h"
#include "ui/window_controls.h"

namespace workbench {

TLMHRRIALTIME::TLMHRRIALTIME(common::Host& host, QWidget* parent, std::unique_ptr<dataservice::JVLink> link)
    : QWidget(parent, Qt::Window), host_(host), JVLink1(std::move(link)) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    if (!JVLink1) JVLink1 = dataservice::MakeLocalJVLink(this);
    Form_Load();
}

TLMHRRIALTIME::~TLMHRRIALTIME() = default;

void TLMHRRIALTIME::BuildControls() {
    setObjectName(QStringLiteral("TLMHRRIALTIME"));
    setWindowTitle(ui::Qs("2024.6.29Z"));
    ui::UseWindowFont(*this);
    setFixedSize(360, 170);

    Label1 = ui::AddLabel(this, "Label1", "速報払戻・単勝･着順取得", QRect(20, 20, 320, 40));
    Command1 = ui::AddButton(this, "Command1", "速報払戻単勝着順所得完了", QRect(40, 90, 280, 44));
    connect(Command1, &QPushButton::clicked, this, &TLMHRRIALTIME::Command1_Click);
}

// The whole work runs here, before the window is first shown.
void TLMHRRIALTIME::Form_Load() { loaded_ = MergeBreakingResults(*JVLink1, host_); }

void TLMHRRIALTIME::Command1_Click() { close(); }

}  // namespace workbench
