#include "engine/expansion_window.h"

#include <string>
#include <vector>

#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include "ui/window_controls.h"

namespace engine {

TALMOR7EXPDTHISWEEKNVK31::TALMOR7EXPDTHISWEEKNVK31(common::Host& host, QWidget* parent)
    : QWidget(parent), host_(host) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    Form_Load();
}

bool TALMOR7EXPDTHISWEEKNVK31::Working() { return common::LongStepWorking(); }

void TALMOR7EXPDTHISWEEKNVK31::BuildControls() {
    setObjectName(QStringLiteral("TALMOR7EXPDTHISWEEKNVK31"));
    setWindowTitle(ui::Qs("拡大構造体展開 Ver.2025.8.31"));
    ui::UseWindowFont(*this);
    setFixedSize(600, 420);

    Label4 = ui::AddLabel(this, "Label4", "拡大構造体にレース・騎手・繁殖馬・過去走の上がり･ペース･走破速度を組み込む",
                           QRect(15, 10, 570, 40), ui::LabelWrap::Words);
    Label2 = ui::AddLabel(this, "Label2", "天候･馬場状態並びに馬体重が不明な場合、晴・良・前走馬体重、初440KGに設定",
                           QRect(15, 56, 570, 40), ui::LabelWrap::Words);
    Label1 = ui::AddLabel(this, "Label1", "", QRect(15, 100, 570, 4), ui::LabelWrap::Words);

    // The text boxes show their own names until a step writes into them.
    Command3 = ui::AddButton(this, "Command3", "④　　　　　　　前日固定", QRect(15, 110, 280, 40));
    Text1 = ui::AddTextBox(this, "Text1", QRect(305, 110, 280, 40), "Text1");
    ProgressBar1 = ui::AddProgressBar(this, "ProgressBar1", QRect(15, 158, 570, 20));

    Command1 = ui::AddButton(this, "Command1", "⑤　計算(約１0分）", QRect(15, 196, 280, 40));
    Text3 = ui::AddTextBox(this, "Text3", QRect(305, 196, 280, 70), "Text3");
    ProgressBar3 = ui::AddProgressBar(this, "ProgressBar3", QRect(15, 276, 570, 20));
    ProgressBar4 = ui::AddProgressBar(this, "ProgressBar4", QRect(15, 302, 570, 20));
    Text2 = ui::AddTextBox(this, "Text2", QRect(15, 332, 280, 30), "Text2");

    Command2 = ui::AddButton(this, "Command2", "拡大構造体処理終了", QRect(305, 366, 280, 40));

    connect(Command3, &QPushButton::clicked, this, &TALMOR7EXPDTHISWEEKNVK31::Command3_Click);
    connect(Command1, &QPushButton::clicked, this, &TALMOR7EXPDTHISWEEKNVK31::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &TALMOR7EXPDTHISWEEKNVK31::Command2_Click);
}

// The computation reads the model files itself; the load only makes sure they are there, so that a
// missing one is told before the work starts rather than as failed runs after it.
void TALMOR7EXPDTHISWEEKNVK31::Form_Load() {
    const std::vector<std::string> missing = MissingComputationFiles();
    if (missing.empty()) return;
    std::string text(kComputationFilesMissing);
    for (const std::string& name : missing) text += "\n" + name;
    host_.messageBox(text);
}

// ⑤: the computation run.
void TALMOR7EXPDTHISWEEKNVK31::Command1_Click() {
    WorkGuard work(*this);
    if (!work) return;
    ComputationControls controls;
    controls.setText3 = [this](std::string_view text) { Text3->setPlainText(ui::Qs(text)); };
    controls.setProgressBar3 = [this](int value) { ProgressBar3->setValue(value); };
    controls.setProgressBar4 = [this](int value) { ProgressBar4->setValue(value); };
    computed_ = RunComputation(host_, controls);
}

void TALMOR7EXPDTHISWEEKNVK31::Command2_Click() { close(); }

// ④: the day-before fix.
void TALMOR7EXPDTHISWEEKNVK31::Command3_Click() {
    WorkGuard work(*this);
    if (!work) return;
    DayBeforeFixControls controls;
    controls.setText1 = [this](std::string_view text) { Text1->setPlainText(ui::Qs(text)); };
    controls.setProgressBar1 = [this](int value) { ProgressBar1->setValue(value); };
    fixed_ = FixPreviousDay(host_, controls);
}

void TALMOR7EXPDTHISWEEKNVK31::closeEvent(QCloseEvent* event) {
    if (workingHere_) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

TALMOR7EXPDTHISWEEKNVK31::WorkGuard::WorkGuard(TALMOR7EXPDTHISWEEKNVK31& window) : window_(window) {
    if (!flag_) return;
    window_.workingHere_ = true;
    window_.Command1->setEnabled(false);
    window_.Command3->setEnabled(false);
}

TALMOR7EXPDTHISWEEKNVK31::WorkGuard::~WorkGuard() {
    if (!flag_) return;
    window_.Command1->setEnabled(true);
    window_.Command3->setEnabled(true);
    window_.workingHere_ = false;
}

}  // namespace engine
