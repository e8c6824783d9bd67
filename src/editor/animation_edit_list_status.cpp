// The cell list, the status panels and the playback tick.
#include <QLabel>
#include <QPainter>
#include <algorithm>
#include <utility>

#include "editor/animation_edit.h"
#include "editor/cell_list_widget.h"
#include "platform/qt/bitmap_image.h"
#include "platform/qt/qt_text.h"
#include "platform/raster.h"
#include "platform/ticks.h"
#include "services/translate.h"
#include "widgets/preview_widget.h"
#include "widgets/status_display.h"

#include <QComboBox>

namespace torvel {
namespace {

struct TPanelSetup {
  int Width;         // the least width; wider where a text needs it
  const char* Text;  // English, shown after a blank
};
constexpr TPanelSetup kPanels[] = {
    {70, ""}, {55, ""}, {85, ""}, {85, "Pause"}, {130, "Automatic Paste"}, {130, nullptr}};

}  // namespace

void TAnimationEdit::CreateStatusPanels() {
  for (const TPanelSetup& setup : kPanels) {
    const int index = status_->AddPanel();
    status_->SetPanelWidth(index, setup.Width);
    if (setup.Text != nullptr && setup.Text[0] != '\0') {
      const std::string text = " " + Translate(setup.Text);
      status_->GetPanel(index)->setText(Q(text));
      status_->GetPanel(index)->setToolTip(Q(" " + Translate("Toggle") + text));
      status_->GetPanel(index)->setCursor(Qt::PointingHandCursor);
      status_->SetPanelChecked(index, false);  // Pause and Automatic Paste switch a mode
    }
  }
  for (int panel = 0; panel < kBusyPanel; ++panel) {
    status_->FitPanelToTexts(panel, LongestPanelTexts(panel));
  }
}

int TAnimationEdit::LeastWidth() const {
  return status_->LeastWidth({Q(Translate("Ready")), Q(Translate("Working"))});
}

// The widest texts a panel can show, in the widest digits. An animation holds up to 21846 cells;
// a cell's sides have at most five digits each.
QStringList TAnimationEdit::LongestPanelTexts(int panel) const {
  static_assert(TCellTable::kSlots < 100'000 && TCellTable::kMostCellSide < 100'000);
  switch (panel) {
    case kSpeedPanel:
      return {Q(" " + Translate("still")), " 88" + Q(Translate("fps")) + " (88%)"};
    case kPositionPanel:
      return {Q(" " + Translate("empty")), " 88888/88888"};
    case kSizePanel:
      return {Q(" " + Translate("n/a")), " 88888w x 88888h"};
    default:
      return {status_->GetPanel(panel)->text()};
  }
}

bool TAnimationEdit::IsCellPosition(int row) const {
  return row >= 0 && row < Strip->Table.Count;
}

int TAnimationEdit::GetSelection() const {
  return std::max(cellList_->currentRow(), 0);
}

void TAnimationEdit::RefreshCellList() {
  const int remembered = cellList_->currentRow();
  const int rows = Strip->Table.Count + 1;
  const QSignalBlocker quiet(cellList_);  // rebuilding is not the user choosing a row
  // The rows are drawn from the store by their number, so only their count has to follow it:
  // an edit costs the rows it adds or removes, however long the animation.
  const bool grows = cellList_->count() < rows;
  while (cellList_->count() > rows) {
    delete cellList_->takeItem(cellList_->count() - 1);
  }
  while (cellList_->count() < rows) {
    cellList_->AddRow();
  }
  if (grows) {
    cellList_->doItemsLayout();  // the scroll bar, which widens the list, shows at once
  }
  cellList_->viewport()->update();
  cellList_->setCurrentRow(std::clamp(remembered, 0, rows - 1));
  LayoutControls();
  ShowChangesSoon();
}

void TAnimationEdit::ShowChangesSoon() {
  positionDue_ = true;  // the count may have changed under an unchanged position
  if (timer_) {
    timer_->TickSoon();
  }
}

int TAnimationEdit::NumberColumnWidth() const {
  const int digits = std::min(Strip->Table.Count / 100 + 2, 5);
  return cellList_->fontMetrics().horizontalAdvance(QString(digits, '#')) + 2;
}

void TAnimationEdit::DrawCellItem(QPainter& painter, int row, const QRect& rect, bool selected) {
  const QPalette& colours = cellList_->palette();
  const QColor background = colours.color(selected ? QPalette::Highlight : QPalette::Base);
  painter.fillRect(rect, background);
  QRect shifted = rect.adjusted(TCellListWidget::kMarkerStrip, 0, 0, 0);
  painter.setPen(colours.color(selected ? QPalette::HighlightedText : QPalette::Text));
  const QPoint textAt(shifted.left() + 1, shifted.top() + 1 + painter.fontMetrics().ascent());
  if (!IsCellPosition(row)) {
    painter.drawText(textAt, Q(Translate("End")));
    return;
  }
  painter.drawText(textAt, QString::number(row + 1));
  const TCellTable& table = Strip->Table;
  const int slot = table.Order[row];
  const TThumbSize size = table.ThumbSizes[slot];
  const int box = Strip->ThumbSize;
  const int x = shifted.left() + NumberColumnWidth() + (box - size.Width) / 2;
  const int y = rect.top() + (cellList_->RowHeight() - box) / 2 + (box - size.Height) / 2;
  if (table.Thumbnails[slot] == nullptr) {
    return;  // a store that makes no thumbnails
  }
  // On a scaled screen the item view's painter would blend the pixels of a small cell together.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  if (table.Transparent) {
    // As the preview shows it: the cell's top-left colour lets the row show through.
    const Bitmap& cell = *table.Cells[slot];
    Bitmap over(size.Width, size.Height);
    FillRect(over, over.Rect(), FromQColor(background));
    DrawLeavingOut(cell, cell.Pixel(0, 0), cell.Rect(), over, over.Rect());
    painter.drawImage(QPoint(x, y), ImageView(over));
  } else {
    painter.drawImage(QPoint(x, y), ImageView(*table.Thumbnails[slot]));
  }
}

void TAnimationEdit::DrawCurrentMarker() {
  const int current = Strip->HasCells() ? GetCurrentPosition() : -1;
  if (current != markedRow_) {
    cellList_->RepaintMarkers(std::exchange(markedRow_, current), current);
  }
}

void TAnimationEdit::SelectCell(int row) {
  if (row == GetCurrentPosition() || !IsCellPosition(row) || !Strip->HasCells()) {
    return;
  }
  Strip->SetCurrent(row);
  if (cellList_->currentRow() != row) {
    const QSignalBlocker quiet(cellList_);
    cellList_->setCurrentRow(row);
  }
  SyncControls();
  UpdateCaption();
}

void TAnimationEdit::PlaybackTick() {
  bool shown = false;
  if (Strip->IsFrameDue()) {
    Strip->ShowFrame(true);
    shown = true;
  } else if (!Strip->ShowsCurrentCell()) {  // an edit put another cell at the current position
    Strip->ShowFrame(false);
    shown = true;
  }
  if (shown) {
    DrawCurrentMarker();
  }
  bool refreshed = false;
  if (TickDifference(GetTickCount(), LastStatusTick) >= kStatusRefreshMs) {
    RefreshStatus();
    LastStatusTick = GetTickCount();
    refreshed = true;
  }
  if (shown || refreshed || std::exchange(positionDue_, false)) {
    ShowPosition();
  }
  if (speedBox_->currentIndex() < 0) {
    SyncControls();
  }
  // The timer rests until the next frame or status refresh falls due (it starts a tick only after
  // more than the rest has passed: one less lands on time); changes wake it sooner.
  timer_->DelayNextTick(MillisecondsUntilDue() - 1);
}

// How long nothing can fall due: neither the next frame nor the next status refresh.
int TAnimationEdit::MillisecondsUntilDue() const {
  const uint32_t now = GetTickCount();
  auto remaining = [now](uint32_t since, int period) {
    const int64_t left = int64_t{period} - TickDifference(now, since);
    return static_cast<int>(std::max<int64_t>(left, 0));
  };
  int due = remaining(LastStatusTick, kStatusRefreshMs);
  const TCellTable& table = Strip->Table;
  if (!Strip->ShowsCurrentCell()) {
    return 0;
  }
  if (!Strip->IsStill()) {
    due = std::min(due, remaining(table.LastTick, table.Interval));
  }
  return due;
}

void TAnimationEdit::RefreshStatus() {
  BlinkPhase = !BlinkPhase;
  const TCellTable& table = Strip->Table;
  const TColor plain = status_->BackgroundColor();
  if (Strip->IsStill()) {
    SetPanelText(kSpeedPanel, " " + Translate("still"));
    // On the bar's own colour the bar's own text colour, which a dark palette makes light.
    const TColor text =
        FromQColor(window_->palette().color(QPalette::Active, QPalette::WindowText));
    status_->SetPanelHighlight(false, kSpeedPanel, text, text, plain, plain);
  } else {
    const bool reached = table.SpeedPercent >= 90;
    std::string text = " " + std::to_string(table.MeasuredFps) + Translate("fps");
    if (!reached) {
      text += " (" + std::to_string(table.SpeedPercent) + "%)";
    }
    SetPanelText(kSpeedPanel, text);
    // Black on the fixed light colours, whatever the palette.
    const TColor colour = reached ? kSpeedReached : kTooSlow;
    status_->SetPanelHighlight(false, kSpeedPanel, kBlack, kBlack, colour, colour);
  }
  if (table.Empty) {
    SetPanelText(kSizePanel, " " + Translate("n/a"));
  } else {
    SetPanelText(kSizePanel, " " + std::to_string(table.CellWidth) + "w x " +
                                 std::to_string(table.CellHeight) + "h");
  }
  HighlightToggle(kPausePanel, GetPaused());
  HighlightToggle(kAutoPastePanel, AutomaticPaste);
  DescribePreview();
  UpdateToolbar();  // the buttons follow the clipboard and the selection
  // Another operation may be running in a nested event loop: the step waits for the next refresh.
  if (AutomaticPaste && !Busy && !PollClipboard()) {
    ShowLastError();
  }
}

// A toggle panel lights up every other refresh while its mode is on, so that it blinks.
void TAnimationEdit::HighlightToggle(int panel, bool on) {
  const QPalette& colours = window_->palette();
  const TColor active = FromQColor(colours.color(QPalette::Active, QPalette::Highlight));
  const TColor inactive = FromQColor(colours.color(QPalette::Active, QPalette::WindowText));
  const TColor plain = status_->BackgroundColor();
  status_->SetPanelHighlight(BlinkPhase && on, panel, inactive, active, plain, kSpeedReached);
  status_->SetPanelChecked(panel, on);
}

// What the preview shows, for assistive technology: told with the status panels, twice a
// second rather than with every frame.
void TAnimationEdit::DescribePreview() {
  const TCellTable& table = Strip->Table;
  QString text = Q(Translate("No cells"));
  if (table.Count > 0) {
    text =
        CellRowName(table.Current) +
        QString(", %1 x %2, ").arg(table.CellWidth).arg(table.CellHeight) +
        (table.Interval < 1 || table.Count < 2 ? Q(Translate("still")) : speedBox_->currentText());
    if (GetPaused() && table.Interval >= 1 && table.Count >= 2) {
      text += ", " + Q(Translate("paused"));
    }
  }
  if (previewWindow_->accessibleDescription() != text) {
    previewWindow_->setAccessibleDescription(text);
  }
}

// "Cell 3 of 13", and "End" for the row after the last cell.
QString TAnimationEdit::CellRowName(int row) const {
  const int count = Strip->Table.Count;
  if (row >= count) {
    return Q(Translate("End"));
  }
  return Q(Translate("Cell")) + QString(" %1 ").arg(row + 1) + Q(Translate("of")) +
         QString(" %1").arg(count);
}

void TAnimationEdit::ShowPosition() {
  const TCellTable& table = Strip->Table;
  if (table.Count == 0) {
    SetPanelText(kPositionPanel, " " + Translate("empty"));
  } else {
    SetPanelText(kPositionPanel,
                 " " + std::to_string(table.Current + 1) + "/" + std::to_string(table.Count));
  }
}

void TAnimationEdit::SetPanelText(int panel, const std::string& text) {
  QLabel* label = status_->GetPanel(panel);
  if (label != nullptr && label->text() != Q(text)) {
    label->setText(Q(text));
  }
}

}  // namespace torvel
