#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "editor/animation_edit.h"
#include "editor/cell_list_widget.h"
#include "platform/raster.h"
#include "support/manual_clock.h"
#include "support/queue_dispatcher.h"
#include "support/scripted_platform_ui.h"
#include "widgets/status_display.h"

namespace torvel::test {

// An editor on a driven clock whose timer ticks are never delivered: the tests call
// PlaybackTick themselves.
class EditorTest : public testing::Test {
 protected:
  EditorTest() {
    owner.resize(550, 400);
    editor = std::make_unique<TAnimationEdit>("Torvel", &owner, &ticks);
    editor->Window()->setParent(&owner);
    editor->Window()->setGeometry(0, 0, 550, 400);
    owner.show();
  }

  void AddCells(int n, int w = 20, int h = 10) {
    Bitmap strip(n * w, h);
    for (int k = 0; k < n; ++k) {
      FillRect(strip, {k * w, 0, (k + 1) * w, h}, static_cast<TColor>(0x203040 * (k + 1)));
    }
    editor->Strip->AddCells(&strip, n, -1);
    editor->RefreshCellList();
  }

  std::string Panel(int index) { return editor->Status()->GetPanel(index)->text().toStdString(); }

  // Moves the clock on to the next status refresh and ticks.
  void RefreshStatus() {
    clock.Advance(TAnimationEdit::kStatusRefreshMs);
    editor->PlaybackTick();
  }

  TManualClock clock;
  TScriptedPlatformUi ui;
  TQueueDispatcher ticks;
  QWidget owner;
  std::unique_ptr<TAnimationEdit> editor;
};

}  // namespace torvel::test
