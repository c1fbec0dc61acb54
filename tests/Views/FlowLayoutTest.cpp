#include "Views/Components/FlowLayout.h"
#include "ViewsTestSupport.h"

#include <gtest/gtest.h>

namespace kestrove {
namespace {

using namespace testing_support;

QWidget* box(int width, int height)
{
    auto* widget = new QWidget;
    widget->setFixedSize(width, height);
    return widget;
}

TEST(FlowLayoutTest, HeightForWidthAndPlacementAgree)
{
    ensureApplication();
    QWidget container;
    auto* flow = new FlowLayout(8, &container);
    QWidget* items[] = {box(40, 20), box(50, 30), box(30, 10)};
    for (QWidget* item : items) {
        flow->addWidget(item);
    }
    EXPECT_TRUE(flow->hasHeightForWidth());
    EXPECT_EQ(flow->heightForWidth(100), 48);
    flow->setGeometry(QRect(0, 0, 100, 48));
    EXPECT_EQ(items[0]->geometry(), QRect(0, 0, 40, 20));
    EXPECT_EQ(items[1]->geometry(), QRect(48, 0, 50, 30));
    EXPECT_EQ(items[2]->geometry(), QRect(0, 38, 30, 10));

    // Width 0: a column of rows.
    EXPECT_EQ(flow->heightForWidth(0), 20 + 8 + 30 + 8 + 10);
    // Without a width: one row, as wide as that row, never an endless width.
    EXPECT_EQ(flow->sizeHint(), QSize(136, 30));
    EXPECT_EQ(flow->minimumSize(), QSize(50, 30));
}

TEST(FlowLayoutTest, MarginsAndHiddenItemsAreRespected)
{
    ensureApplication();
    QWidget container;
    auto* flow = new FlowLayout(4, &container);
    flow->setContentsMargins(10, 6, 10, 6);
    QWidget* first = box(30, 20);
    QWidget* hidden = box(500, 20);
    QWidget* last = box(30, 20);
    flow->addWidget(first);
    flow->addWidget(hidden);
    flow->addWidget(last);
    hidden->hide();
    container.show();
    // The hidden item takes no room: both fit in 64 + margins.
    EXPECT_EQ(flow->heightForWidth(84), 32);
    flow->setGeometry(QRect(0, 0, 84, 32));
    EXPECT_EQ(first->geometry().topLeft(), QPoint(10, 6));
    EXPECT_EQ(last->geometry().topLeft(), QPoint(44, 6));
}

} // namespace
} // namespace kestrove
