#include "engine/expansion_window.h"

#include <string>
#include <vector>

#include <QCloseEvent>
#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QString>

namespace engine {

namespace {

QString Qs(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

/// Steps working in any expansion window.
int workingSteps = 0;

QPlainTextEdit* AddTextBox(QWidget* parent, const char* name, QRect geometry) {
    auto* box = new QPlainTextEdit(QString::fromLatin1(name), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return box;
}

QProgressBar* AddProgressBar(QWidget* parent, const char* name, QRect geometry) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(geometry);
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}

QLabel* AddLabel(QWidget* parent, const char* name, std::string_view caption, QRect geometry) {
    auto* label = new QLabel(Qs(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setWordWrap(true);
    return label;
}

QPushButton* AddButton(QWidget* parent, const char* name, std::string_view caption, QRect geometry) {
    auto* button = new QPushButton(Qs(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

}  // namespace

TALMOR7EXPDTHISWEEKNVK31::TALMOR7EXPDTHISWEEKNVK31(common::Host& host, QWidget* parent)
    : QWidget(parent), host_(host) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    Form_Load();
}

bool TALMOR7EXPDTHISWEEKNVK31::Working() { return workingSteps > 0; }

void TALMOR7EXPDTHISWEEKNVK31::BuildControls() {
    setObjectName(QStringLiteral("TALMOR7EXPDTHISWEEKNVK31"));
    setWindowTitle(Qs("拡大構造体展開 Ver.2025.8.31"));
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(13);
    setFont(font);
    setFixedSize(600, 420);

    Label4 = AddLabel(this, "Label4", "拡大構造体にレース・騎手・繁殖馬・過去走の上がり･ペース･走破速度を組み込む",
                      QRect(15, 10, 570, 40));
    Label2 = AddLabel(this, "Label2", "天候･馬場状態並びに馬体重が不明な場合、晴・良・前走馬体重、初440KGに設定",
                      QRect(15, 56, 570, 40));
    Label1 = AddLabel(this, "Label1", "", QRect(15, 100, 570, 4));

    Command3 = AddButton(this, "Command3", "④　　　　　　　前日固定", QRect(15, 110, 280, 40));
    Text1 = AddTextBox(this, "Text1", QRect(305, 110, 280, 40));
    ProgressBar1 = AddProgressBar(this, "ProgressBar1", QRect(15, 158, 570, 20));

    Command1 = AddButton(this, "Command1", "⑤　計算(約１0分）", QRect(15, 196, 280, 40));
    Text3 = AddTextBox(this, "Text3", QRect(305, 196, 280, 70));
    ProgressBar3 = AddProgressBar(this, "ProgressBar3", QRect(15, 276, 570, 20));
    ProgressBar4 = AddProgressBar(this, "ProgressBar4", QRect(15, 302, 570, 20));
    Text2 = AddTextBox(this, "Text2", QRect(15, 332, 280, 30));

    Command2 = AddButton(this, "Command2", "拡大構造体処理終了", QRect(305, 366, 280, 40));

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
    controls.setText3 = [this](std::string_view text) { Text3->setPlainText(Qs(text)); };
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
    controls.setText1 = [this](std::string_view text) { Text1->setPlainText(Qs(text)); };
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

TALMOR7EXPDTHISWEEKNVK31::WorkGuard::WorkGuard(TALMOR7EXPDTHISWEEKNVK31& window)
    : window_(window), engaged_(workingSteps == 0) {
    if (!engaged_) return;
    ++workingSteps;
    window_.workingHere_ = true;
    window_.Command1->setEnabled(false);
    window_.Command3->setEnabled(false);
}

TALMOR7EXPDTHISWEEKNVK31::WorkGuard::~WorkGuard() {
    if (!engaged_) return;
    window_.Command1->setEnabled(true);
    window_.Command3->setEnabled(true);
    window_.workingHere_ = false;
    --workingSteps;
}

}  // namespace engine
