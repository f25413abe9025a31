#include "ui/tab_rows.h"

#include <QButtonGroup>
#include <QFrame>
#include <QStackedWidget>
#include <QToolButton>

namespace ui {

TabRows::TabRows(QWidget* parent, const char* name, const QStringList& captions, int tabsPerRow, QRect geometry,
                 int rowHeight)
    : QWidget(parent), tabsPerRow_(tabsPerRow < 1 ? 1 : tabsPerRow) {
    setObjectName(QString::fromLatin1(name));
    setGeometry(geometry);
    const int count = static_cast<int>(captions.size());
    const int rows = (count + tabsPerRow_ - 1) / tabsPerRow_;
    stripHeight_ = rows * rowHeight;

    // The page's border starts below the tab rows; the pages themselves span the container.
    auto* border = new QFrame(this);
    border->setFrameShape(QFrame::StyledPanel);
    border->setGeometry(0, stripHeight_, geometry.width(), geometry.height() - stripHeight_);
    stack_ = new QStackedWidget(this);
    stack_->setGeometry(0, 0, geometry.width(), geometry.height());

    group_ = new QButtonGroup(this);
    group_->setExclusive(true);
    const int width = geometry.width() / tabsPerRow_;
    for (int i = 0; i < count; ++i) {
        auto* page = new QWidget();
        stack_->addWidget(page);
        pages_.push_back(page);

        auto* button = new QToolButton(this);
        button->setText(captions[i]);
        button->setCheckable(true);
        button->setAutoRaise(false);
        button->setGeometry((i % tabsPerRow_) * width, (i / tabsPerRow_) * rowHeight, width, rowHeight);
        group_->addButton(button, i);
        buttons_.push_back(button);
    }
    if (count > 0) buttons_.front()->setChecked(true);
    connect(group_, &QButtonGroup::idClicked, this, &TabRows::setCurrentIndex);
}

int TabRows::currentIndex() const { return stack_->currentIndex(); }

void TabRows::setCurrentIndex(int index) {
    if (index < 0 || index >= count()) return;
    buttons_[static_cast<std::size_t>(index)]->setChecked(true);
    if (index == stack_->currentIndex()) return;
    stack_->setCurrentIndex(index);
    Q_EMIT currentChanged(index);
}

QString TabRows::tabText(int index) const {
    return index >= 0 && index < count() ? buttons_[static_cast<std::size_t>(index)]->text() : QString();
}

QWidget* TabRows::page(int index) const {
    return index >= 0 && index < count() ? pages_[static_cast<std::size_t>(index)] : nullptr;
}

int TabRows::tabRow(int index) const { return index >= 0 && index < count() ? index / tabsPerRow_ : -1; }

QToolButton* TabRows::tabButton(int index) const {
    return index >= 0 && index < count() ? buttons_[static_cast<std::size_t>(index)] : nullptr;
}

}  // namespace ui
