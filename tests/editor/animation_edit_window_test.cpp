#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "cells/image_preview.h"
#include "editor/animation_edit.h"
#include "editor/cell_list_widget.h"
#include "editor/editor_fixture.h"
#include "platform/qt/bitmap_image.h"
#include "platform/raster.h"
#include "widgets/preview_widget.h"
#include "widgets/status_display.h"

namespace torvel {
namespace {

using test::EditorTest;

Bitmap Plain(int w, int h, TColor colour) {
  Bitmap picture(w, h);
  FillRect(picture, picture.Rect(), colour);
  return picture;
}

TEST_F(EditorTest, StartsWithAnEmptyUntitledAnimation) {
  EXPECT_EQ(owner.windowTitle().toStdString(), "Untitled.san - Torvel");
  EXPECT_EQ(editor->GetDisplayName(), "Untitled.san");
  EXPECT_EQ(editor->CellList()->count(), 1);  // the "End" row
  EXPECT_EQ(editor->SpeedBox()->currentIndex(), -1);
  EXPECT_EQ(editor->SpeedBox()->count(), 21);
  EXPECT_EQ(editor->SpeedBox()->itemText(0).toStdString(), "still");
  EXPECT_EQ(editor->SpeedBox()->itemText(20).toStdString(), "20 fps");
  EXPECT_EQ(editor->Timer().Interval(), 1);
}

TEST_F(EditorTest, TheFirstTickSyncsTheControlsAndShowsTheStatus) {
  editor->PlaybackTick();
  EXPECT_EQ(editor->SpeedBox()->currentIndex(), 1);  // a new store plays 1 frame a second
  EXPECT_TRUE(editor->TransparentBox()->isChecked());
  EXPECT_FALSE(editor->FlipBox()->isChecked());
  EXPECT_FALSE(editor->MirrorBox()->isChecked());
  EXPECT_EQ(Panel(TAnimationEdit::kSpeedPanel), " still");
  EXPECT_EQ(Panel(TAnimationEdit::kPositionPanel), " empty");
  EXPECT_EQ(Panel(TAnimationEdit::kSizePanel), " n/a");
  EXPECT_EQ(Panel(TAnimationEdit::kPausePanel), " Pause");
  EXPECT_EQ(editor->Status()->GetPanel(3)->toolTip().toStdString(), " Toggle Pause");
}

TEST_F(EditorTest, PanelsShowPositionSizeAndSpeed) {
  AddCells(3, 32, 24);
  editor->SetInterval(1000);
  editor->PlaybackTick();
  EXPECT_EQ(Panel(TAnimationEdit::kPositionPanel), " 1/3");
  EXPECT_EQ(Panel(TAnimationEdit::kSizePanel), " 32w x 24h");
  TCellTable& table = editor->Strip->Table;
  table.MeasuredFps = 3;
  table.SpeedPercent = 89;
  table.LastTick = clock.Ticks();  // no frame falls due to measure the speed again
  RefreshStatus();
  EXPECT_EQ(Panel(TAnimationEdit::kSpeedPanel), " 3fps (89%)");
  EXPECT_EQ(editor->Status()->PanelBackground(0), TAnimationEdit::kTooSlow);
  table.SpeedPercent = 90;
  table.LastTick = clock.Ticks();
  RefreshStatus();
  EXPECT_EQ(Panel(TAnimationEdit::kSpeedPanel), " 3fps");
  EXPECT_EQ(editor->Status()->PanelBackground(0), TAnimationEdit::kSpeedReached);
}

// The panels keep their widths as the least and grow to show long texts whole.
// The contrast ratio of two colours as the web's accessibility rules define it (1 to 21).
double Contrast(const QColor& a, const QColor& b) {
  auto luminance = [](const QColor& c) {
    auto channel = [](double v) {
      return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(EditorTest, StatusPanelsStayReadableWithADarkPalette) {
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(40, 40, 40));
  dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
  dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
  owner.setPalette(dark);
  AddCells(3);
  for (const int interval : {0, 100}) {  // still, then playing on the fixed light green
    editor->SetInterval(interval);
    RefreshStatus();
    for (int panel = 0; panel < 5; ++panel) {
      const QPalette& shown = editor->Status()->GetPanel(panel)->palette();
      EXPECT_GT(Contrast(shown.color(QPalette::WindowText), shown.color(QPalette::Window)), 4.5)
          << "panel " << panel << " at " << interval << " ms";
    }
  }
}

TEST_F(EditorTest, PanelsAreWideEnoughForTheirLongestTexts) {
  const std::pair<int, const char*> texts[] = {{TAnimationEdit::kSpeedPanel, " 17fps (82%)"},
                                               {TAnimationEdit::kPositionPanel, " 21845/21845"},
                                               {TAnimationEdit::kSizePanel, " 1200w x 3000h"}};
  TStatusDisplay& status = *editor->Status();
  EXPECT_GE(status.GetPanel(TAnimationEdit::kPausePanel)->width(), 85);
  for (const auto& [panel, text] : texts) {
    QLabel* label = status.GetPanel(panel);
    label->setText(text);
    EXPECT_LE(label->sizeHint().width(), label->width()) << text;
  }
}

TEST_F(EditorTest, TicksPlayTheAnimationAndMoveTheMarker) {
  AddCells(3);
  editor->SetInterval(100);
  editor->PlaybackTick();
  clock.Advance(100);
  editor->PlaybackTick();  // the first frame after the reset stays
  clock.Advance(100);
  editor->PlaybackTick();
  EXPECT_EQ(editor->GetCurrentPosition(), 1);
  EXPECT_EQ(editor->CellList()->MarkedRow(), 1);
  EXPECT_EQ(Panel(TAnimationEdit::kPositionPanel), " 2/3");
  clock.Advance(100);
  editor->PlaybackTick();
  clock.Advance(100);
  editor->PlaybackTick();
  EXPECT_EQ(editor->GetCurrentPosition(), 0);  // looped
}

// Moving the marker repaints the marker column only, not the rows' pictures and numbers.
TEST_F(EditorTest, AMarkerRepaintLeavesTheRowsAlone) {
  AddCells(3);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
  TCellListWidget& list = *editor->CellList();
  int rowsDrawn = 0;
  const auto drawRow = list.DrawRow;
  list.DrawRow = [&](QPainter& painter, int row, const QRect& rect, bool selected) {
    ++rowsDrawn;
    drawRow(painter, row, rect, selected);
  };
  list.viewport()->repaint(QRect(0, 0, TCellListWidget::kMarkerStrip, list.viewport()->height()));
  EXPECT_EQ(rowsDrawn, 0);
  list.viewport()->repaint();
  EXPECT_GE(rowsDrawn, 4);  // three cells and the "End" row
}

TEST_F(EditorTest, PauseBlinksItsPanelAndStopsPlayback) {
  AddCells(2);
  editor->SetInterval(100);
  editor->StatusPanelClick(TAnimationEdit::kPausePanel);
  EXPECT_TRUE(editor->GetPaused());
  std::vector<bool> lit;
  for (int i = 0; i < 4; ++i) {
    RefreshStatus();
    lit.push_back(editor->Status()->PanelBackground(3) == TAnimationEdit::kSpeedReached);
    EXPECT_EQ(Panel(TAnimationEdit::kSpeedPanel), " still");
  }
  EXPECT_EQ(lit, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(editor->GetCurrentPosition(), 0);
  editor->StatusPanelClick(TAnimationEdit::kPausePanel);
  EXPECT_FALSE(editor->GetPaused());
  RefreshStatus();
  EXPECT_NE(editor->Status()->PanelBackground(3), TAnimationEdit::kSpeedReached);
}

TEST_F(EditorTest, ClickingARowMakesItCurrentButTheEndRowDoesNot) {
  AddCells(4);
  QTest::mouseClick(editor->CellList()->viewport(), Qt::LeftButton, {},
                    editor->CellList()->visualItemRect(editor->CellList()->item(2)).center());
  EXPECT_EQ(editor->GetCurrentPosition(), 2);
  EXPECT_EQ(editor->CellList()->MarkedRow(), 2);
  editor->CellList()->setCurrentRow(4);  // "End"
  EXPECT_EQ(editor->CellList()->currentRow(), 4);
  EXPECT_EQ(editor->GetCurrentPosition(), 2);
  EXPECT_EQ(editor->CellList()->MarkedRow(), 2);
}

// A still animation shows its current cell: the preview, the marker and the position panel say
// the same after every edit, and an edit that selects a cell row makes it current.
TEST_F(EditorTest, AStillAnimationShowsTheSelectedCellAfterEveryEdit) {
  AddCells(5);
  editor->SetInterval(0);
  editor->SetTransparent(false);  // the preview's pixels are then the cell's own
  const auto colourOf = [](int cell) { return static_cast<TColor>(0x203040 * (cell + 1)); };
  const auto expectShown = [&](int position, TColor colour, const char* after) {
    editor->PlaybackTick();
    const int count = editor->Strip->Table.Count;
    EXPECT_EQ(editor->GetCurrentPosition(), position) << after;
    EXPECT_EQ(editor->CellList()->MarkedRow(), position) << after;
    EXPECT_EQ(Panel(TAnimationEdit::kPositionPanel),
              " " + std::to_string(position + 1) + "/" + std::to_string(count))
        << after;
    EXPECT_EQ(editor->Preview().Picture().Pixel(0, 0), colour) << after;
  };
  editor->CellList()->setCurrentRow(2);
  expectShown(2, colourOf(2), "a click");
  editor->CellList()->setCurrentRow(4);  // the press that starts a drag
  editor->CellDragDrop(0);
  expectShown(0, colourOf(4), "a drag");
  ASSERT_TRUE(editor->Undo());
  expectShown(0, colourOf(0), "the drag undone");
  editor->CellList()->setCurrentRow(1);
  ASSERT_TRUE(editor->DeleteCells(false));  // the next cell takes the deleted one's row
  expectShown(1, colourOf(2), "a delete");
  ASSERT_TRUE(editor->Undo());
  expectShown(1, colourOf(1), "the delete undone");
  ui.ClipboardPicture = Plain(20, 10, 0x0000FF);
  ASSERT_TRUE(editor->Paste(false));  // before row 2; the selection goes on to the row after it
  expectShown(2, colourOf(1), "a paste");
  editor->CellList()->setCurrentRow(6);  // "End": the current cell stays
  ASSERT_TRUE(editor->Paste(false));
  expectShown(2, colourOf(1), "a paste at the end");
}

TEST_F(EditorTest, DeletingAllButOneCellShowsTheOneLeft) {
  AddCells(2);
  editor->SetTransparent(false);
  editor->PlaybackTick();
  ASSERT_TRUE(editor->DeleteCells(false));
  editor->PlaybackTick();
  EXPECT_EQ(editor->Preview().Picture().Pixel(0, 0), 0x406080u);
}

// A transparent animation's thumbnails leave out the key colour, as the preview does.
TEST_F(EditorTest, TransparentThumbnailsShowTheListThroughTheirKeyColour) {
  AddCells(1);  // one plain cell: all of it is the key colour
  editor->CellList()->setCurrentRow(1);
  const QColor key = ToQColor(0x203040);
  const auto rowShowsKey = [&] {
    const QImage rows = editor->CellList()->viewport()->grab().toImage();
    const QRect row = editor->CellList()->visualItemRect(editor->CellList()->item(0));
    for (int y = row.top(); y <= row.bottom(); ++y) {
      for (int x = row.left(); x <= row.right(); ++x) {
        if (rows.pixelColor(x, y) == key) {
          return true;
        }
      }
    }
    return false;
  };
  editor->PlaybackTick();
  ASSERT_TRUE(editor->GetTransparent());
  EXPECT_FALSE(rowShowsKey());
  editor->SetTransparent(false);
  EXPECT_TRUE(rowShowsKey());
}

TEST_F(EditorTest, SpeedListAndCheckBoxesChangeTheStore) {
  AddCells(2);
  editor->PlaybackTick();
  editor->SpeedBox()->setCurrentIndex(4);
  editor->ControlClick(editor->SpeedBox());
  EXPECT_EQ(editor->GetInterval(), 250);
  editor->SetInterval(120);  // rounded to a row of the list
  EXPECT_EQ(editor->GetInterval(), 125);
  EXPECT_EQ(editor->SpeedBox()->currentIndex(), 8);
  QTest::mouseClick(editor->FlipBox(), Qt::LeftButton);
  EXPECT_TRUE(editor->GetFlip());
  QTest::mouseClick(editor->TransparentBox(), Qt::LeftButton);
  EXPECT_FALSE(editor->GetTransparent());
  editor->SetMirror(true);
  EXPECT_TRUE(editor->MirrorBox()->isChecked());
}

TEST_F(EditorTest, EmptyingTheStoreShowsItsStateInTheCheckBoxes) {
  AddCells(2);
  QTest::mouseClick(editor->FlipBox(), Qt::LeftButton);
  ASSERT_TRUE(editor->FlipBox()->isChecked());
  editor->SetInterval(50);
  ASSERT_TRUE(editor->New(false));
  EXPECT_EQ(editor->FlipBox()->isChecked(), editor->GetFlip());
  // New keeps the speed and Transparent, and the controls show the store's.
  EXPECT_EQ(editor->GetInterval(), 50);
  EXPECT_EQ(editor->SpeedBox()->currentIndex(), 20);
  EXPECT_EQ(editor->TransparentBox()->isChecked(), editor->GetTransparent());
  AddCells(2);
  editor->SetMirror(true);
  ASSERT_TRUE(editor->Clear());
  EXPECT_EQ(editor->MirrorBox()->isChecked(), editor->GetMirror());
  QTest::mouseClick(editor->MirrorBox(), Qt::LeftButton);  // one click ticks it again
  EXPECT_TRUE(editor->GetMirror());
}

TEST_F(EditorTest, SpeedIndexOfMapsIntervalsToRows) {
  EXPECT_EQ(TAnimationEdit::SpeedIndexOf(0), 0);
  EXPECT_EQ(TAnimationEdit::SpeedIndexOf(-3), 0);
  EXPECT_EQ(TAnimationEdit::SpeedIndexOf(2000), 0);
  EXPECT_EQ(TAnimationEdit::SpeedIndexOf(1000), 1);
  EXPECT_EQ(TAnimationEdit::SpeedIndexOf(52), 19);
  EXPECT_EQ(TAnimationEdit::SpeedIndexOf(50), 20);
  for (int k = 1; k <= 20; ++k) {
    EXPECT_EQ(TAnimationEdit::SpeedIndexOf(1000 / k), k);
  }
}

TEST_F(EditorTest, IndicatorsAndBackgroundGoToThePreview) {
  EXPECT_TRUE(editor->GetIndicators());
  EXPECT_EQ(editor->GetBackgroundColor(), kWhite);
  ui.ColorAnswers.push_back(0x123456);
  EXPECT_TRUE(editor->ChooseBackgroundColor());
  EXPECT_EQ(editor->GetBackgroundColor(), 0x123456u);
  EXPECT_EQ(editor->Preview().BackgroundColor(), 0x123456u);
  ui.ColorAnswers.push_back(std::nullopt);  // cancelled: nothing changes
  EXPECT_TRUE(editor->ChooseBackgroundColor());
  EXPECT_EQ(editor->GetBackgroundColor(), 0x123456u);
  editor->SetIndicators(false);
  EXPECT_FALSE(editor->Preview().Indicators());
}

TEST_F(EditorTest, BusyStateDisablesTheWindowAndShowsWorking) {
  editor->SetBusy(true);
  EXPECT_FALSE(editor->Window()->isEnabled());
  EXPECT_EQ(Panel(TAnimationEdit::kBusyPanel), "Working");
  EXPECT_TRUE(ui.BusyCursor);
  EXPECT_EQ(ui.PendingEventRuns, 1);
  editor->SetBusy(true);  // unchanged: nothing happens
  EXPECT_EQ(ui.PendingEventRuns, 1);
  editor->SetBusy(false);
  EXPECT_TRUE(editor->Window()->isEnabled());
  EXPECT_EQ(Panel(TAnimationEdit::kBusyPanel), "Ready");
  EXPECT_FALSE(ui.BusyCursor);
}

TEST_F(EditorTest, NumberColumnGrowsWithTheCount) {
  const QFontMetrics metrics = editor->CellList()->fontMetrics();
  auto hashes = [&](int n) { return metrics.horizontalAdvance(QString(n, '#')) + 2; };
  AddCells(99, 2, 2);
  EXPECT_EQ(editor->NumberColumnWidth(), hashes(2));
  AddCells(1, 2, 2);
  EXPECT_EQ(editor->NumberColumnWidth(), hashes(3));
  AddCells(200, 2, 2);
  EXPECT_EQ(editor->NumberColumnWidth(), hashes(5));
}

void ExpectLayout(TAnimationEdit& editor, int w, int h) {
  const int bottom = h - TStatusDisplay::kHeight - 1;  // the bottom line of the control row
  const QRect list = editor.CellList()->geometry();
  const QRect preview = editor.PreviewWindow()->geometry();
  const QRect speed = editor.SpeedBox()->geometry();
  EXPECT_EQ(editor.Status()->geometry(), QRect(0, h - 17, w, 17));
  EXPECT_EQ(list.left(), 5);
  EXPECT_EQ(list.top(), editor.CellsLabel()->geometry().bottom() + 2);
  EXPECT_EQ(list.bottom() + 1, bottom);
  EXPECT_EQ(editor.PreviewLabel()->x(), list.right() + 6);
  EXPECT_EQ(preview.left(), editor.PreviewLabel()->x());
  EXPECT_EQ(preview.right() + 1, w - 5);
  EXPECT_EQ(preview.bottom() + 1, bottom - (speed.height() + 5));
  EXPECT_EQ(speed.bottom() + 1, bottom);
  EXPECT_EQ(speed.left(), editor.SpeedLabel()->geometry().right() + 6);
  EXPECT_EQ(editor.TransparentBox()->x(), speed.right() + 6);
  EXPECT_EQ(editor.FlipBox()->x(), editor.TransparentBox()->geometry().right() + 6);
  EXPECT_EQ(editor.MirrorBox()->x(), editor.FlipBox()->geometry().right() + 6);
}

TEST_F(EditorTest, LayoutFollowsTheWindowSize) {
  ExpectLayout(*editor, 550, 400);
  editor->Window()->resize(800, 620);
  ExpectLayout(*editor, 800, 620);
}

TEST_F(EditorTest, AScrollBarWidensTheList) {
  const int narrow = editor->CellList()->width();
  AddCells(30, 2, 2);
  ASSERT_TRUE(editor->CellList()->verticalScrollBar()->isVisible());
  EXPECT_GE(editor->CellList()->width(), narrow + editor->CellList()->verticalScrollBar()->width());
  EXPECT_EQ(editor->CellList()->viewport()->width(), editor->NumberColumnWidth() + 48 + 11);
}

TEST(EditorLayout, CellsAddedBeforeTheWindowIsShownLeaveTheListItsWidth) {
  // As when a file named on the command line opens before the main window appears.
  test::TScriptedPlatformUi ui;
  test::TQueueDispatcher ticks;
  QWidget owner;
  owner.resize(550, 400);
  TAnimationEdit editor("Torvel", &owner, &ticks);
  editor.Window()->setParent(&owner);
  editor.Window()->setGeometry(0, 0, 550, 400);
  Bitmap strip(8 * 64, 64);
  editor.InsertCells(&strip, 8, -1);
  owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
  ExpectLayout(editor, 550, 400);
  EXPECT_GE(editor.CellList()->viewport()->width(), editor.NumberColumnWidth() + 48 + 11);
  EXPECT_LT(editor.CellList()->width(), 150);
}

TEST_F(EditorTest, DestroyingTheEditorWhileATickWaitsDoesNotHang) {
  while (ticks.Waiting() == 0) {
    clock.Advance(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  editor.reset();  // returns although the timer thread waits for that tick
  EXPECT_EQ(ticks.Pump(std::chrono::milliseconds(5)), 1);  // the stale tick runs, harmlessly
}

}  // namespace
}  // namespace torvel
