#include "widgets/compact_splash.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QTest>

#include "services/scramble.h"
#include "support/manual_clock.h"
#include "support/scripted_platform_ui.h"

namespace torvel {
namespace {

std::string Stored(const std::string& plain) {
  return StoredText(plain, 1);
}

class CompactSplashTest : public testing::Test {
 protected:
  CompactSplashTest() {
    panel.SetPicture(Bitmap(300, 200));
    // The main window's settings.
    panel.ProductName = Stored("Torvel");
    panel.VersionText = Stored("1.00.478");
    panel.TextFont.setPointSize(8);
    panel.LeftMargin = 32;
    panel.BottomMargin = 15;
    // Shows the About box modally without running a modal loop.
    panel.RunModal = [this](QDialog& dialog) {
      ++modalRuns;
      aboutTitle = dialog.windowTitle().toStdString();
      dialog.open();
    };
  }

  QLabel* Caption(int row) { return panel.CaptionLabels()[row]; }
  QLabel* Value(int row) { return panel.ValueLabels()[row]; }
  std::string Text(QLabel* label) { return label->text().toStdString(); }
  // The visible rows, top to bottom.
  std::vector<int> VisibleRows() {
    std::vector<int> rows;
    for (int row = 0; row < 5; ++row) {
      if (Caption(row)->isVisibleTo(panel.PanelWindow())) {
        rows.push_back(row);
      }
    }
    return rows;
  }

  test::TScriptedPlatformUi ui;
  TCompactSplash panel;
  int modalRuns = 0;
  std::string aboutTitle;
};

TEST_F(CompactSplashTest, StartsWithItsFixedTextsInStoredForm) {
  TCompactSplash fresh;
  EXPECT_EQ(fresh.LeftMargin, 7);
  EXPECT_EQ(fresh.BottomMargin, 7);
  EXPECT_EQ(fresh.ShowProductName, 0);
  EXPECT_EQ(StoredText(fresh.NoteText, 0), "(Free software)");
  EXPECT_EQ(StoredText(fresh.InfoLine, 0),
            "Copyright © " + std::to_string(CurrentYear(2002)) + " Orvik Enterprises");
  EXPECT_EQ(StoredText(fresh.VersionText, 0), "1.00");
  EXPECT_EQ(StoredText(fresh.LinkText, 0), "https://torvel.example/");
  EXPECT_EQ(StoredText(fresh.ProductName, 0), "");
  EXPECT_NE(fresh.NoteText, "(Free software)");  // never kept plain
  EXPECT_GE(CurrentYear(2002), 2026);
  EXPECT_EQ(CurrentYear(3000), 3000);
}

TEST_F(CompactSplashTest, RowsStackUpwardsFromTheBottomMargin) {
  panel.ShowAsSplash();
  ASSERT_TRUE(panel.IsVisible());
  QWidget* window = panel.PanelWindow();
  EXPECT_EQ(window->size(), QSize(300, 200));
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(Text(Caption(1)), "Version: ");
  EXPECT_EQ(Text(Value(1)), "1.00.478");
  EXPECT_EQ(Text(Caption(2)), "Licence: ");
  EXPECT_EQ(Text(Value(2)), "(Free software)");
  EXPECT_EQ(Text(Value(3)), " ");
  EXPECT_EQ(Text(Caption(4)), "Web: ");
  EXPECT_EQ(Text(Value(4)), "https://torvel.example/");
  EXPECT_TRUE(Value(4)->font().underline());
  EXPECT_EQ(Value(4)->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_FALSE(Value(3)->font().underline());

  // The product name's row stays hidden; rows 1 to 4 sit right above the margin.
  EXPECT_EQ(VisibleRows(), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(Value(4)->geometry().bottom() + 1, 200 - 15);
  for (int row = 1; row < 4; ++row) {
    EXPECT_EQ(Value(row)->geometry().bottom() + 1, Value(row + 1)->y()) << row;
    EXPECT_EQ(Caption(row)->x(), 32);
    EXPECT_EQ(Value(row)->x(), Caption(row)->geometry().right() + 1);
    EXPECT_EQ(Caption(row)->y(), Value(row)->y());
  }
  EXPECT_EQ(Value(1)->font().pointSize(), 8);
  EXPECT_EQ(Value(1)->palette().color(QPalette::WindowText), QColor(Qt::white));
}

TEST_F(CompactSplashTest, EmptyRowsAreLeftOutAndTheGapCloses) {
  panel.ShowProductName = 1;
  panel.VersionText = Stored("");
  panel.ShowAsSplash();
  EXPECT_EQ(VisibleRows(), (std::vector<int>{0, 2, 3, 4}));
  EXPECT_EQ(Text(Caption(0)), "Torvel");
  EXPECT_EQ(Value(0)->geometry().bottom() + 1, Value(2)->y());

  // Without a picture the window is empty and the rows lie above its top edge.
  panel.SetPicture(Bitmap());
  panel.ShowAsSplash();
  EXPECT_LT(Value(4)->y(), 0);
}

TEST_F(CompactSplashTest, AboutBoxIsModalWithItsCaptionAndClosesOnEscape) {
  panel.ShowAsAbout();
  EXPECT_EQ(modalRuns, 1);
  EXPECT_EQ(aboutTitle, "About Torvel");
  EXPECT_EQ(panel.Mode(), 1);
  EXPECT_FALSE(panel.PanelWindow()->windowFlags() & Qt::FramelessWindowHint);
  ASSERT_TRUE(panel.IsVisible());
  EXPECT_TRUE(panel.PanelWindow()->isModal());
  QTest::keyClick(panel.PanelWindow(), Qt::Key_Escape);
  EXPECT_FALSE(panel.IsVisible());
  EXPECT_EQ(static_cast<QDialog*>(panel.PanelWindow())->result(), QDialog::Rejected);
}

TEST_F(CompactSplashTest, SplashIgnoresKeysAndCloseAfterWaitsAtMostTenSeconds) {
  test::TManualClock clock;
  panel.ShowAsSplash();
  QTest::keyClick(panel.PanelWindow(), Qt::Key_Escape);
  EXPECT_TRUE(panel.IsVisible());

  const uint32_t start = clock.Ticks();
  panel.CloseAfter(0);
  EXPECT_EQ(clock.Ticks(), start);
  EXPECT_FALSE(panel.IsVisible());

  panel.ShowAsSplash();
  const int runs = ui.PendingEventRuns;
  panel.CloseAfter(20);
  EXPECT_GT(clock.Ticks() - start, 10000u);
  EXPECT_LE(clock.Ticks() - start, 10050u);
  EXPECT_GT(ui.PendingEventRuns - runs, 150);  // the other windows kept working meanwhile
  EXPECT_FALSE(panel.IsVisible());
}

TEST_F(CompactSplashTest, TheLinkOpensOnceWhileItsOpenIsInProgress) {
  panel.ShowAsSplash();
  QLabel* link = Value(4);
  std::vector<QColor> colorsDuringOpen;
  ui.DuringPendingEvents = [&] {
    colorsDuringOpen.push_back(link->palette().color(QPalette::WindowText));
    panel.LinkClick(link);  // a second click while the first is being opened
  };
  QTest::mouseClick(link, Qt::LeftButton);
  ui.DuringPendingEvents = nullptr;
  ASSERT_EQ(ui.ShellRequests.size(), 1u);
  EXPECT_EQ(ui.ShellRequests[0].Target, "https://torvel.example/");
  ASSERT_EQ(colorsDuringOpen.size(), 1u);
  EXPECT_EQ(colorsDuringOpen[0], QColor(Qt::red));
  EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::white));
  EXPECT_FALSE(ui.BusyCursor);

  QTest::mouseClick(Value(1), Qt::LeftButton);  // other labels open nothing
  QTest::mouseClick(Caption(4), Qt::LeftButton);
  EXPECT_EQ(ui.ShellRequests.size(), 1u);
  QTest::mouseClick(link, Qt::LeftButton);
  EXPECT_EQ(ui.ShellRequests.size(), 2u);
}

}  // namespace
}  // namespace torvel
