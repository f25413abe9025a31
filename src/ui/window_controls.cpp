#include "ui/window_controls.h"

#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

namespace ui {

QString Qs(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

void UseWindowFont(QWidget& window) {
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(13);
    window.setFont(font);
}

QPushButton* AddButton(QWidget* parent, const char* name, std::string_view caption, QRect geometry) {
    auto* button = new QPushButton(Qs(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

QPlainTextEdit* AddTextBox(QWidget* parent, const char* name, QRect geometry, std::string_view text) {
    auto* box = text.empty() ? new QPlainTextEdit(parent) : new QPlainTextEdit(Qs(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return box;
}

QLabel* AddLabel(QWidget* parent, const char* name, std::string_view caption, QRect geometry, LabelWrap wrap) {
    auto* label = new QLabel(Qs(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setWordWrap(wrap == LabelWrap::Words);
    return label;
}

QProgressBar* AddProgressBar(QWidget* parent, const char* name, QRect geometry) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(geometry);
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}

QColor ColourFromBgr(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

void BringForward(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace ui
