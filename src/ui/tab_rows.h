#pragma once

#include <vector>

#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QStackedWidget;
class QToolButton;

// The SSTab-style tab container: tab buttons laid out in rows of a fixed number, first row at the
// top, over a stack of pages. Each page covers the whole container, as the designs place the
// controls of a page relative to the container's corner; the tab rows lie over the top of it.
namespace ui {

class TabRows final : public QWidget {
    Q_OBJECT

public:
    /// A container named `name` at `geometry` in `parent` with one tab per caption,
    /// `tabsPerRow` to a row, each row `rowHeight` pixels high; tab 0 is current.
    TabRows(QWidget* parent, const char* name, const QStringList& captions, int tabsPerRow, QRect geometry,
            int rowHeight = 21);

    int count() const { return static_cast<int>(pages_.size()); }
    int currentIndex() const;
    /// An index outside 0 to count() - 1 is ignored.
    void setCurrentIndex(int index);
    QString tabText(int index) const;
    /// The page of tab `index` (nullptr outside), where that tab's controls go.
    QWidget* page(int index) const;
    /// The row (0 at the top) and the button of tab `index`.
    int tabRow(int index) const;
    QToolButton* tabButton(int index) const;
    /// Height of the tab rows in pixels: a page's controls start below it.
    int stripHeight() const { return stripHeight_; }

Q_SIGNALS:
    void currentChanged(int index);

private:
    int tabsPerRow_;
    int stripHeight_;
    QStackedWidget* stack_ = nullptr;
    QButtonGroup* group_ = nullptr;
    std::vector<QWidget*> pages_;
    std::vector<QToolButton*> buttons_;
};

}  // namespace ui
