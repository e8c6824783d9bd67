#include "widgets/status_display.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

namespace torvel {
namespace {

TEST(StatusDisplay, TheLastPanelFillsTheBar) {
  QWidget parent;
  parent.resize(400, 100);
  TStatusDisplay status(&parent);
  status.setGeometry(0, 83, 400, TStatusDisplay::kHeight);
  parent.show();
  ASSERT_EQ(status.AddPanel(), 0);
  EXPECT_EQ(status.GetPanel(0)->geometry(), QRect(0, 0, 400, 17));
  ASSERT_EQ(status.AddPanel(), 1);
  EXPECT_EQ(status.GetPanel(0)->geometry(), QRect(0, 0, 50, 17));
  EXPECT_EQ(status.GetPanel(1)->geometry(), QRect(50, 0, 350, 17));
  status.SetPanelWidth(0, 70);
  EXPECT_EQ(status.GetPanel(1)->geometry(), QRect(70, 0, 330, 17));
  status.resize(500, TStatusDisplay::kHeight);
  EXPECT_EQ(status.GetPanel(1)->width(), 430);
}

TEST(StatusDisplay, HoldsAtMostTenPanels) {
  TStatusDisplay status(nullptr);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(status.AddPanel(), i);
  }
  EXPECT_EQ(status.AddPanel(), -1);
  EXPECT_EQ(status.GetPanel(10), nullptr);
  EXPECT_EQ(status.GetPanel(-1), nullptr);
}

TEST(StatusDisplay, ReportsClicksByPanelIndex) {
  TStatusDisplay status(nullptr);
  status.resize(300, TStatusDisplay::kHeight);
  status.AddPanel();
  status.AddPanel();
  status.show();
  std::vector<int> clicked;
  status.OnPanelClick = [&](int index) { clicked.push_back(index); };
  QTest::mouseClick(status.GetPanel(1), Qt::LeftButton);
  QTest::mouseClick(status.GetPanel(0), Qt::LeftButton);
  QTest::mouseClick(status.GetPanel(1), Qt::RightButton);  // only the primary button clicks
  QTest::mouseClick(status.GetPanel(1), Qt::MiddleButton);
  EXPECT_EQ(clicked, (std::vector<int>{1, 0}));
  status.OnPanelClick = [](int) { throw std::runtime_error("dropped"); };
  QTest::mouseClick(status.GetPanel(0), Qt::LeftButton);  // does not escape
}

TEST(StatusDisplay, HighlightSwitchesBothColours) {
  TStatusDisplay status(nullptr);
  status.AddPanel();
  status.SetPanelHighlight(true, 0, 0x000001, 0x000002, 0x0000AA, 0x00BB00);
  EXPECT_EQ(status.PanelBackground(0), 0x00BB00u);
  EXPECT_EQ(status.GetPanel(0)->palette().color(QPalette::WindowText), QColor(2, 0, 0));
  status.SetPanelHighlight(false, 0, 0x000001, 0x000002, 0x0000AA, 0x00BB00);
  EXPECT_EQ(status.PanelBackground(0), 0x0000AAu);
}

// Panels keep pictures of the texts they showed; what is painted must still follow every change.
TEST(StatusDisplay, PaintsTheTextAndColoursItHasNow) {
  TStatusDisplay status(nullptr);
  status.resize(300, TStatusDisplay::kHeight);
  status.AddPanel();
  status.AddPanel();
  status.show();
  QLabel* panel = status.GetPanel(0);
  auto picture = [&] { return panel->grab().toImage(); };
  panel->setText(" 1/20");
  const QImage first = picture();
  panel->setText(" 2/20");
  const QImage second = picture();
  EXPECT_NE(first, second);
  panel->setText(" 1/20");
  EXPECT_EQ(picture(), first);
  status.SetPanelHighlight(true, 0, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x0000FF);
  EXPECT_EQ(picture().pixelColor(47, 2), QColor(255, 0, 0));  // beside the text
  status.SetPanelWidth(0, 80);
  EXPECT_EQ(picture().width(), 80);
}

}  // namespace
}  // namespace torvel
