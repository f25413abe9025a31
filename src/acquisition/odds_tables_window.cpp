#include "acquisition/odds_tables_window.h"

#include <QPushButton>

#include "ui/window_controls.h"

namespace acquisition {

TALMOR7ODDSN::TALMOR7ODDSN(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    Form_Load();
}

void TALMOR7ODDSN::BuildControls() {
    setObjectName(QStringLiteral("TALMOR7ODDSN"));
    setWindowTitle(QStringLiteral("2024.6.29Z"));
    ui::UseWindowFont(*this);
    setFixedSize(300, 120);

    Command1 = ui::AddButton(this, "Command1", "オッズセット終了", QRect(40, 36, 220, 44));
    connect(Command1, &QPushButton::clicked, this, &TALMOR7ODDSN::Command1_Click);
}

// The whole build happens here, so that the opener's end text follows a finished build.
void TALMOR7ODDSN::Form_Load() { built_ = BuildOddsTables(OddsSource); }

// "オッズセット終了".
void TALMOR7ODDSN::Command1_Click() { close(); }

}  // namespace acquisition
