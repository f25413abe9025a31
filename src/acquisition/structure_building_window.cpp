#include "acquisition/structure_building_window.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>

namespace acquisition {

namespace {

QString Qs(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

}  // namespace

KOUZOUTAIVK31::KOUZOUTAIVK31(common::Host& host, QWidget* parent) : QWidget(parent), host_(host) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    Form_Load();
}

void KOUZOUTAIVK31::BuildControls() {
    setObjectName(QStringLiteral("KOUZOUTAIVK31"));
    setWindowTitle(Qs("Ver.2024.8.12A　構造体"));
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(13);
    setFont(font);
    setFixedSize(420, 190);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(15, 15, 390, 100);
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    Command1 = new QPushButton(Qs("構造体処理終了"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(110, 130, 200, 40);
    connect(Command1, &QPushButton::clicked, this, &KOUZOUTAIVK31::Command1_Click);
}

// The whole step runs here, before the window is first shown.
void KOUZOUTAIVK31::Form_Load() {
    built_ = BuildWeekStructures(host_);
    Text1->setPlainText(Qs(kStructureWindowNote));
}

void KOUZOUTAIVK31::Command1_Click() { close(); }

}  // namespace acquisition
