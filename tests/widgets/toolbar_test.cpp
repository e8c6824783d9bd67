#include "widgets/toolbar.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QToolButton>

namespace torvel {
namespace {

// A 2 x 1 text picture: a red pixel, the see-through bottom-left corner, and a yellow one.
constexpr char kGlyph[] = "T3200100~H#";

TEST(Toolbar, ButtonsFillTheLowestFreeSlotsUpToForty) {
  TToolbar bar;
  for (int i = 0; i < kToolbarSlots; ++i) {
    ASSERT_EQ(bar.AddButton("", "hint", 0, 100 + i, kGlyph), i);
  }
  EXPECT_EQ(bar.AddButton("", "one too many", 0, 999, kGlyph), -1);
  EXPECT_EQ(bar.GetItemTag(39), 139);
  EXPECT_EQ(bar.Window()->findChildren<QToolButton*>().size(), kToolbarSlots);

  bar.RemoveButton(3);
  EXPECT_FALSE(bar.HasButton(3));
  EXPECT_EQ(bar.GetItemTag(3), 0);  // a free slot has no tag
  EXPECT_EQ(bar.AddButton("", "", 0, 7, kGlyph), 3);
  EXPECT_EQ(bar.GetItemTag(3), 7);
  bar.RemoveButton(-4);  // clamped to slot 0
  EXPECT_FALSE(bar.HasButton(0));
  EXPECT_EQ(bar.IndexOf(nullptr), 0);
  bar.RemoveAll();
  EXPECT_EQ(bar.IndexOf(nullptr), 0);
  EXPECT_TRUE(bar.Window()->findChildren<QToolButton*>().empty());
}

TEST(Toolbar, LayoutPlacesShownButtonsWithTheirGaps) {
  TToolbar bar;
  bar.Window()->resize(400, 1);
  for (int i = 0; i < 5; ++i) {
    bar.AddButton("", "", i == 1 ? 5 : 0, i, kGlyph);
  }
  EXPECT_EQ(bar.NeededHeight(), 29);  // 25-pixel buttons and two 2-pixel lines
  EXPECT_EQ(bar.Window()->height(), 29);
  EXPECT_EQ(bar.GetButton(0)->geometry(), QRect(0, 2, 25, 25));
  EXPECT_EQ(bar.GetButton(2)->x(), 55);  // after the gap of slot 1

  bar.RemoveButton(3);  // the gap closes while the slot is empty
  EXPECT_EQ(bar.GetButton(4)->x(), 80);
  bar.GetButton(1)->hide();  // a hidden button takes no room and adds no gap
  bar.Layout();
  EXPECT_FALSE(bar.IsButtonShown(1));
  EXPECT_EQ(bar.GetButton(2)->x(), 25);

  bar.SetTopLine(false);
  EXPECT_EQ(bar.Window()->height(), 27);
  EXPECT_EQ(bar.GetButton(0)->y(), 0);
  bar.SetBottomLine(false);
  EXPECT_EQ(bar.Window()->height(), 25);  // exactly the highest shown button
  for (int slot : {0, 2, 4}) {
    bar.GetButton(slot)->hide();
  }
  EXPECT_EQ(bar.NeededHeight(), 0);
}

TEST(Toolbar, ClicksReportTheirSlotAndGroupsToggle) {
  TToolbar bar;
  bar.AddButton("", "New", 0, 10, kGlyph);
  bar.AddButton("", "Pause", 0, 11, kGlyph);
  bar.AddButton("", "Other", 0, 12, kGlyph);
  int clicks = 0;
  bar.OnClick = [&](TToolbar& toolbar) {
    ++clicks;
    EXPECT_EQ(&toolbar, &bar);
  };
  bar.Window()->show();
  QTest::mouseClick(bar.GetButton(0), Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(bar.LastItem, 0);
  EXPECT_EQ(bar.GetItemTag(bar.LastItem), 10);

  bar.SetItemGroup(1, 1);
  bar.SetItemGroup(2, 1);
  QTest::mouseClick(bar.GetButton(1), Qt::LeftButton);
  EXPECT_TRUE(bar.GetButton(1)->isChecked());
  QTest::mouseClick(bar.GetButton(2), Qt::LeftButton);
  EXPECT_TRUE(bar.GetButton(2)->isChecked());
  EXPECT_FALSE(bar.GetButton(1)->isChecked());  // one down at a time in a group
  QTest::mouseClick(bar.GetButton(2), Qt::LeftButton);
  EXPECT_FALSE(bar.GetButton(2)->isChecked());  // and all may be up
  EXPECT_EQ(bar.LastItem, 2);

  bar.SetItemEnabled(0, false);
  QTest::mouseClick(bar.GetButton(0), Qt::LeftButton);
  EXPECT_EQ(clicks, 4);  // a disabled button does not click
  bar.OnClick = [](TToolbar&) { throw std::runtime_error("receiver failed"); };
  EXPECT_NO_THROW(QTest::mouseClick(bar.GetButton(1), Qt::LeftButton));
}

TEST(Toolbar, GlyphsHintsAndCursors) {
  TToolbar bar;
  bar.AddButton("", "Copy All", 0, 1, kGlyph);
  bar.AddButton("", "", 0, 2, "no picture here");
  QToolButton* button = bar.GetButton(0);
  EXPECT_EQ(button->toolTip(), "Copy All");
  EXPECT_EQ(button->iconSize(), QSize(2, 1));
  const QImage shown = button->icon().pixmap(QSize(2, 1)).toImage();
  EXPECT_EQ(shown.pixelColor(0, 0).alpha(), 0);  // the bottom-left colour is see-through
  EXPECT_EQ(shown.pixelColor(1, 0), QColor(255, 255, 0));
  EXPECT_TRUE(bar.GetButton(1)->icon().isNull());  // an unreadable text shows no picture
  EXPECT_EQ(bar.Item(1).GlyphText, "no picture here");
  bar.SetCursorAll(Qt::PointingHandCursor);
  EXPECT_EQ(bar.GetButton(1)->cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace
}  // namespace torvel
