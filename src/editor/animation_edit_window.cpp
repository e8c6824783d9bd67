// The editor object: its window and controls, their layout, the routing of clicks, the busy
// state and the caption.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <utility>

#include "cells/cell_helpers.h"
#include "cells/image_preview.h"
#include "editor/animation_edit.h"
#include "editor/cell_list_widget.h"
#include "platform/platform_ui.h"
#include "platform/qt/qt_text.h"
#include "platform/ticks.h"
#include "services/services.h"
#include "services/translate.h"
#include "widgets/preview_widget.h"
#include "widgets/status_display.h"
#include "widgets/toolbar.h"

namespace torvel {
namespace {

// Left-aligned controls whose own height decides their top on the control row.
int CentredOn(int bottom, int rowHeight, int ownHeight) {
  return bottom - ownHeight - (rowHeight - ownHeight) / 2;
}

}  // namespace

TAnimationEdit::TAnimationEdit(const std::string& appName, QWidget* ownerWindow,
                               TUiDispatcher* dispatcher)
    : ownerWindow_(ownerWindow) {
  LastStatusTick = GetTickCount() - 1000;  // the first tick refreshes the status at once
  CreateControls();
  SetUpDialogs();
  SetUpExportDialog();
  timer_ = std::make_unique<TFastTimer>(dispatcher ? *dispatcher : ownDispatcher_);
  timer_->SetInterval(1);
  timer_->SetOnTimer([this] { PlaybackTick(); });
  AppName = appName;
  SetFileName(SaveDialogSettings.FileName);
  ResetCells();
  SetIndicators(true);
}

TAnimationEdit::~TAnimationEdit() {
  timer_.reset();  // no tick from here on
  Strip.reset();   // releases the preview and its window
  delete window_.data();
}

TImagePreview& TAnimationEdit::Preview() const {
  return static_cast<TImagePreview&>(*Strip->Preview);
}

void TAnimationEdit::CreateControls() {
  window_ = new QWidget(nullptr, Qt::FramelessWindowHint);
  window_->resize(300, 300);
  window_->installEventFilter(this);
  CreateToolbar();

  cellsLabel_ = new QLabel(Q(Translate("Cells")), window_);
  previewLabel_ = new QLabel(Q(Translate("Animation Preview")), window_);
  cellsLabel_->adjustSize();
  previewLabel_->adjustSize();

  cellList_ = new TCellListWidget(window_);
  Strip = std::make_unique<TAnimationStrip>();
  previewWindow_ = new TPreviewWidget(window_);
  auto preview = std::make_unique<TImagePreview>(std::make_unique<TWidgetSurface>(previewWindow_));
  TImagePreview* panel = preview.get();
  previewWindow_->OnPaint = [panel] { panel->Paint(true); };
  Strip->SetPreview(std::move(preview));
  cellList_->SetRowHeight(Strip->ThumbSize + 4);
  cellList_->resize(Strip->ThumbSize + 60, cellList_->height());
  cellList_->DrawRow = [this](QPainter& painter, int row, const QRect& rect, bool selected) {
    DrawCellItem(painter, row, rect, selected);
  };
  cellList_->MarkedRow = [this] { return markedRow_; };
  cellList_->RowName = [this](int row) { return CellRowName(row); };
  // Assistive technology names each control by its label.
  cellsLabel_->setBuddy(cellList_);
  cellList_->setAccessibleName(cellsLabel_->text());
  previewLabel_->setBuddy(previewWindow_);
  previewWindow_->setAccessibleName(previewLabel_->text());
  cellList_->CanDropOn = [this](int row) { return CellDragOver(row); };
  cellList_->DropOn = [this](int row) { CellDragDrop(row); };
  connect(cellList_, &QListWidget::currentRowChanged, this, [this] { ControlClick(cellList_); });

  speedBox_ = new QComboBox(window_);
  speedBox_->setFixedWidth(85);
  speedBox_->addItem(Q(Translate("still")));
  for (int k = 1; k <= 20; ++k) {
    speedBox_->addItem(QString::number(k) + " " + Q(Translate("fps")));
  }
  speedBox_->setCurrentIndex(-1);
  connect(speedBox_, &QComboBox::activated, this, [this] { ControlClick(speedBox_); });
  speedLabel_ = new QLabel(Q(Translate("Speed")), window_);
  speedLabel_->adjustSize();
  speedLabel_->setBuddy(speedBox_);
  speedBox_->setAccessibleName(speedLabel_->text());

  transparentBox_ = AddCheckBox(Translate("Transparent"));
  flipBox_ = AddCheckBox(Translate("Flip"));
  mirrorBox_ = AddCheckBox(Translate("Mirror"));

  status_ = new TStatusDisplay(window_);
  CreateStatusPanels();
  status_->OnPanelClick = [this](int index) { StatusPanelClick(index); };
  // Watched once every control exists, since a change of the bar places them all.
  cellList_->verticalScrollBar()->installEventFilter(this);
}

// Both dialogs start in the shared Animations folder. Save writes animation files only; Open
// also offers the animations and pictures of other programs, and any file.
void TAnimationEdit::SetUpDialogs() {
  TPaths* paths = Paths();
  const std::string folder = paths ? paths->ProgramsCompanyFolder("Animations") : std::string();
  const std::string filter = Translate("Simple Animation") + " (*.san)|*.san";
  const std::string openFilter = Translate("Animations and pictures") +
                                 " (*.san *.gif *.webp *.png *.apng *.bmp *.jpg *.jpeg)|"
                                 "*.san;*.gif;*.webp;*.png;*.apng;*.bmp;*.jpg;*.jpeg|" +
                                 filter + "|" + Translate("All files") + " (*)|*";
  SaveDialogSettings = {"SAN", kHideReadOnly | kPathMustExist, filter,
                        1,     folder + "Untitled.san",        ""};
  OpenDialogSettings = {"SAN", kHideReadOnly | kFileMustExist, openFilter, 1, folder, ""};
}

QCheckBox* TAnimationEdit::AddCheckBox(const std::string& text) {
  auto* box = new QCheckBox(Q(text), window_);
  box->adjustSize();
  connect(box, &QCheckBox::clicked, this, [this, box] { ControlClick(box); });
  return box;
}

bool TAnimationEdit::eventFilter(QObject* watched, QEvent* event) {
  const bool resized = watched == window_ && event->type() == QEvent::Resize;
  // The list's scroll bar may come and go once the window is shown: the list widens for it.
  const bool barChanged = watched != window_ && cellList_ != nullptr &&
                          watched == cellList_->verticalScrollBar() &&
                          (event->type() == QEvent::Show || event->type() == QEvent::Hide);
  if (resized || barChanged) {
    LayoutControls();
  }
  return QObject::eventFilter(watched, event);
}

void TAnimationEdit::LayoutControls() {
  if (!window_) {
    return;
  }
  const int w = window_->width();
  const int bottom = window_->height() - TStatusDisplay::kHeight - 1;
  const int speedRow = speedBox_->sizeHint().height();
  status_->setGeometry(0, window_->height() - TStatusDisplay::kHeight, w, TStatusDisplay::kHeight);

  QWidget* bar = toolbar_->Window();
  bar->setGeometry(0, 0, w, bar->height());
  const int toolbarBottom = bar->geometry().bottom() + 1;
  cellsLabel_->move(5, toolbarBottom + 5);
  const int listTop = cellsLabel_->geometry().bottom() + 2;
  // The frame and a vertical scroll bar, when one is shown. Asked of the list's settings rather
  // than measured, so that placing works the same before the window is shown.
  auto listWidth = [this] {
    const QScrollBar* bar = cellList_->verticalScrollBar();
    const int borders =
        2 * cellList_->frameWidth() + (bar->isVisibleTo(cellList_) ? bar->sizeHint().width() : 0);
    return borders + NumberColumnWidth() + Strip->ThumbSize + 11;
  };
  // Twice: the first placing may show or hide the scroll bar, which changes the borders.
  cellList_->setGeometry(5, listTop, listWidth(), std::max(bottom - listTop - 5, 1));
  cellList_->setGeometry(5, listTop, listWidth(), std::max(bottom - listTop, 1));

  previewLabel_->move(cellList_->geometry().right() + 6, cellsLabel_->y());
  const int previewLeft = previewLabel_->x();
  const int previewTop = previewLabel_->geometry().bottom() + 2;
  previewWindow_->setGeometry(previewLeft, previewTop, std::max(w - previewLeft - 5, 1),
                              std::max(bottom - previewTop - (speedRow + 5), 1));

  speedLabel_->move(previewLeft, CentredOn(bottom, speedRow, speedLabel_->height()));
  speedBox_->setGeometry(speedLabel_->geometry().right() + 6, bottom - speedRow, 85, speedRow);
  int left = speedBox_->geometry().right() + 6;
  for (QCheckBox* box : {transparentBox_, flipBox_, mirrorBox_}) {
    box->move(left, CentredOn(bottom, speedRow, box->height()));
    left = box->geometry().right() + 6;
  }
}

void TAnimationEdit::ControlClick(QObject* sender) {
  try {
    if (sender == speedBox_) {
      SetInterval(static_cast<int>(SafeDiv(1000, speedBox_->currentIndex())));
    } else if (sender == transparentBox_) {
      SetTransparent(transparentBox_->isChecked());
    } else if (sender == flipBox_) {
      SetFlip(flipBox_->isChecked());
    } else if (sender == mirrorBox_) {
      SetMirror(mirrorBox_->isChecked());
    } else if (sender == cellList_) {
      SelectCell(cellList_->currentRow());
    } else if (sender == toolbar_.get()) {
      RunToolbarCommand(toolbar_->GetItemTag(toolbar_->LastItem));
    }
  } catch (...) {
    // A failing click changes nothing.
  }
}

void TAnimationEdit::StatusPanelClick(int panelIndex) {
  if (panelIndex == kAutoPastePanel) {
    SetAutomaticPaste(!AutomaticPaste);
  } else if (panelIndex == kPausePanel) {
    SetPaused(!GetPaused());
  }
}

void TAnimationEdit::SetBusy(bool on) {
  if (on == Busy) {
    return;
  }
  Busy = on;
  TPlatformUi* ui = PlatformUi();
  if (ui) {
    ui->SetBusyCursor(on);
  }
  window_->setEnabled(!on);  // the toolbar's window with it
  UpdateToolbar();
  SetPanelText(kBusyPanel, Translate(on ? "Working" : "Ready"));
  if (ui) {
    ui->ProcessPendingEvents();
  }
}

void TAnimationEdit::UpdateCaption() {
  if (DisplayName.empty()) {
    ShowCaption(AppName);
  } else {
    ShowCaption((Modified ? "*" : "") + DisplayName + " - " + AppName);
  }
}

void TAnimationEdit::ShowCaption(const std::string& caption) {
  if (ownerWindow_ && ownerWindow_->windowTitle() != Q(caption)) {
    ownerWindow_->setWindowTitle(Q(caption));
  }
}

void TAnimationEdit::SyncControls() {
  const int row = SpeedIndexOf(GetInterval());
  if (speedBox_->currentIndex() != row) {
    speedBox_->setCurrentIndex(row);
  }
  const std::pair<QCheckBox*, bool> boxes[] = {
      {transparentBox_, GetTransparent()}, {flipBox_, GetFlip()}, {mirrorBox_, GetMirror()}};
  for (const auto& [box, checked] : boxes) {
    if (box->isChecked() != checked) {
      box->setChecked(checked);
    }
  }
  toolbar_->SetItemDown(kPauseCommand, GetPaused());
  if (std::exchange(listDrawnTransparent_, GetTransparent()) != GetTransparent()) {
    cellList_->viewport()->update();  // the thumbnails show their key colour or the row
  }
  DrawCurrentMarker();
  ShowChangesSoon();  // a new speed, position or pause for the preview and the panels
}

void TAnimationEdit::ShowLastError() {
  if (TGeneral* general = General()) {
    general->ShowError(LastError);
  }
}

}  // namespace torvel
