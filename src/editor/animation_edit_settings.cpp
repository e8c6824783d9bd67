// The settings of the animation and the preview, as the menus, the check boxes and the speed
// list change them.
#include <QComboBox>
#include <algorithm>

#include "cells/cell_helpers.h"
#include "cells/image_preview.h"
#include "editor/animation_edit.h"
#include "platform/platform_ui.h"

namespace torvel {

int TAnimationEdit::SpeedIndexOf(int ms) {
  return ms <= 0 ? 0 : std::clamp(1000 / ms, 0, 20);
}

// A flag of the animation: recorded for undo, set in the store (which redraws), shown.
void TAnimationEdit::ChangeFlag(bool current, bool on, TUndoKind kind,
                                void (TAnimationStrip::*set)(bool)) {
  if (on != current) {
    SaveUndo(kind);
    (Strip.get()->*set)(on);
    SyncControls();
    UpdateCaption();
  }
}

void TAnimationEdit::SetTransparent(bool on) {
  ChangeFlag(GetTransparent(), on, TUndoKind::Transparent, &TAnimationStrip::SetTransparent);
}

void TAnimationEdit::SetFlip(bool on) {
  ChangeFlag(GetFlip(), on, TUndoKind::FlipMirror, &TAnimationStrip::SetFlip);
}

void TAnimationEdit::SetMirror(bool on) {
  ChangeFlag(GetMirror(), on, TUndoKind::FlipMirror, &TAnimationStrip::SetMirror);
}

void TAnimationEdit::SetInterval(int ms) {
  const int row = SpeedIndexOf(ms);
  const int v = static_cast<int>(SafeDiv(1000, row));
  if (v == GetInterval() && row == SpeedBox()->currentIndex()) {
    return;
  }
  SaveUndo(TUndoKind::Interval);
  Strip->SetInterval(v);
  SyncControls();
  UpdateCaption();
}

bool TAnimationEdit::GetIndicators() const {
  return Preview().Indicators();
}

void TAnimationEdit::SetIndicators(bool on) {
  if (on != GetIndicators()) {
    Preview().SetIndicators(on);
    UpdateCaption();
  }
}

TColor TAnimationEdit::GetBackgroundColor() const {
  return Preview().BackgroundColor();
}

void TAnimationEdit::SetBackgroundColor(TColor color) {
  if (color != GetBackgroundColor()) {
    Preview().SetBackgroundColor(color);
    UpdateCaption();
  }
}

bool TAnimationEdit::ChooseBackgroundColor() {
  TPlatformUi* ui = PlatformUi();
  TColor color = GetBackgroundColor();
  if (ui != nullptr && ui->ChooseColor(color, customColors_)) {
    SetBackgroundColor(color);
  }
  return true;  // a cancelled dialog changes nothing
}

void TAnimationEdit::SetPaused(bool on) {
  Strip->Paused = on;
  SyncControls();
}

void TAnimationEdit::ResetCells() {
  Strip->Clear();
  RefreshCellList();
  // Once the controls show the store (the first tick makes them), they show the emptied one's
  // flags and speed, not those shown before.
  if (SpeedBox()->currentIndex() >= 0) {
    SyncControls();
  }
  UpdateCaption();
}

}  // namespace torvel
