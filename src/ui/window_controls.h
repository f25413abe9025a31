#pragma once

#include <cstdint>
#include <string_view>

#include <QColor>

#include <QRect>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QWidget;

// The building blocks every window is laid out with: absolute geometry, controls named as the
// program's readers know them, and the one window font.
namespace ui {

/// UTF-8 text (the program's literals, the core's messages) as a Qt string.
QString Qs(std::string_view utf8);

/// The font of every window: IPAGothic at 13 pixels, inherited by all its controls.
void UseWindowFont(QWidget& window);

/// A push button named `name` with `caption`, placed at `geometry` in `parent`.
QPushButton* AddButton(QWidget* parent, const char* name, std::string_view caption, QRect geometry);

/// A read-only text box that wraps at its width, named `name`, showing `text` to begin with.
QPlainTextEdit* AddTextBox(QWidget* parent, const char* name, QRect geometry, std::string_view text = {});

/// Whether a label breaks a long caption over its lines.
enum class LabelWrap { None, Words };

/// A label named `name` with `caption`.
QLabel* AddLabel(QWidget* parent, const char* name, std::string_view caption, QRect geometry,
                 LabelWrap wrap = LabelWrap::None);

/// A 0x00BBGGRR colour value as a Qt colour.
QColor ColourFromBgr(std::uint32_t bgr);

/// Shows a single window that may be open already: it is brought forward, not loaded again.
void BringForward(QWidget* window);

/// A progress bar named `name` from 0 to 100, empty.
QProgressBar* AddProgressBar(QWidget* parent, const char* name, QRect geometry);

}  // namespace ui
