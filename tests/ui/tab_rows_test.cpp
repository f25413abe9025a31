#include "ui/tab_rows.h"

#include <vector>

#include <QToolButton>
#include <QWidget>
#include <gtest/gtest.h>

// The tab container in rows: tabs five to a row, pages under them, one current tab.
namespace {

QStringList Captions(int n) {
    QStringList list;
    for (int i = 1; i <= n; ++i) list.append(QStringLiteral("F%1").arg(i));
    return list;
}

TEST(TabRows, TabsInRowsOverTheirPages) {
    QWidget parent;
    ui::TabRows tabs(&parent, "SSTab1", Captions(12), 5, QRect(10, 10, 500, 400), 20);
    EXPECT_EQ(tabs.objectName(), "SSTab1");
    ASSERT_EQ(tabs.count(), 12);
    EXPECT_EQ(tabs.stripHeight(), 60);  // three rows
    const struct {
        int index, row, left, top;
    } cases[] = {{0, 0, 0, 0}, {4, 0, 400, 0}, {5, 1, 0, 20}, {9, 1, 400, 20}, {11, 2, 100, 40}};
    for (const auto& c : cases) {
        EXPECT_EQ(tabs.tabRow(c.index), c.row) << c.index;
        EXPECT_EQ(tabs.tabButton(c.index)->geometry(), QRect(c.left, c.top, 100, 20)) << c.index;
        EXPECT_EQ(tabs.tabText(c.index), QStringLiteral("F%1").arg(c.index + 1));
    }
    EXPECT_EQ(tabs.tabText(12), QString());
    EXPECT_EQ(tabs.page(12), nullptr);
    EXPECT_EQ(tabs.tabRow(-1), -1);

    std::vector<int> changed;
    QObject::connect(&tabs, &ui::TabRows::currentChanged, [&](int index) { changed.push_back(index); });
    EXPECT_EQ(tabs.currentIndex(), 0);
    tabs.tabButton(7)->click();
    EXPECT_EQ(tabs.currentIndex(), 7);
    EXPECT_TRUE(tabs.tabButton(7)->isChecked());
    EXPECT_FALSE(tabs.tabButton(0)->isChecked());
    tabs.setCurrentIndex(7);   // no change, no signal
    tabs.setCurrentIndex(40);  // outside: ignored
    EXPECT_EQ(tabs.currentIndex(), 7);
    EXPECT_EQ(changed, std::vector<int>{7});

    // A page's controls stand on that page only.
    auto* onPage = new QWidget(tabs.page(3));
    EXPECT_TRUE(tabs.isAncestorOf(onPage));
    parent.show();
    EXPECT_FALSE(onPage->isVisible());
    tabs.setCurrentIndex(3);
    EXPECT_TRUE(onPage->isVisible());
}

}  // namespace
