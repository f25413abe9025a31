#include "workbench/prediction_window.h"

#include <QListWidget>
#include <QPlainTextEdit>

#include "ui/window_controls.h"

namespace workbench {

YOSOKEKKATHISWEEKNVK31::YOSOKEKKATHISWEEKNVK31(common::Host& host, RaceWriterTable writers, QWidget* parent)
    : QWidget(parent), host_(host), writers_(writers) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    Form_Load();
}

void YOSOKEKKATHISWEEKNVK31::BuildControls() {
    setObjectName(QStringLiteral("YOSOKEKKATHISWEEKNVK31"));
    setWindowTitle(ui::Qs("予想・結果"));
    ui::UseWindowFont(*this);
    resize(1000, 700);
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(10, 10, 330, 680);
    Text1 = ui::AddTextBox(this, "Text1", QRect(350, 10, 640, 60));
}

// The whole batch runs here, so the window shows only once the week's files are written.
void YOSOKEKKATHISWEEKNVK31::Form_Load() {
    batch_ = WeeklyYosoBatch(host_, writers_);
    for (const std::string& line : batch_.RaceListLines) List1->addItem(ui::Qs(line));
}

}  // namespace workbench
