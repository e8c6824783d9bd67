// The editor's toolbar: its ten buttons, what each does and when each is available.
#include "editor/animation_edit.h"
#include "editor/toolbar_glyphs.h"
#include "services/translate.h"
#include "widgets/toolbar.h"

namespace torvel {
namespace {

struct TButton {
  const char* Hint;
  int GapAfter;
};

// In command-number order; the gaps make the groups New, Open, Save As; Undo, Cut, Copy,
// Copy All, Paste; Pause; Help.
constexpr TButton kButtons[TAnimationEdit::kToolbarCommands] = {
    {"New", 0},  {"Open", 0},     {"Save As", 5}, {"Undo", 0},  {"Cut", 0},
    {"Copy", 0}, {"Copy All", 0}, {"Paste", 5},   {"Pause", 5}, {"Help", 5}};

}  // namespace

void TAnimationEdit::CreateToolbar() {
  toolbar_ = std::make_unique<TToolbar>();
  toolbar_->Window()->setParent(window_);
  toolbar_->Window()->show();
  for (int command = 0; command < kToolbarCommands; ++command) {
    const TButton& button = kButtons[command];
    const int slot = toolbar_->AddButton("", Translate(button.Hint), button.GapAfter, command,
                                         kToolbarGlyphs[command]);
    toolbar_->SetLargeGlyphText(slot, kToolbarLargeGlyphs[command]);
  }
  toolbar_->SetItemGroup(kPauseCommand, 1);  // so that it stays down while paused
  toolbar_->SetCursorAll(Qt::PointingHandCursor);
  toolbar_->OnClick = [this](TToolbar& toolbar) { ControlClick(&toolbar); };
}

// Runs the command of a toolbar button; a failure shows its error box.
void TAnimationEdit::RunToolbarCommand(int command) {
  bool ok = true;
  switch (command) {
    case kNewCommand:
      ok = New(true);
      break;
    case kOpenCommand:
      ok = Open("");
      break;
    case kSaveAsCommand:
      ok = SaveAs("");
      break;
    case kUndoCommand:
      ok = !CanUndo() || Undo();
      break;
    case kCutCommand:
      ok = !CanDelete(true) || DeleteCells(true);
      break;
    case kCopyCommand:
      ok = !CanCopy(false) || CopyCells(false);
      break;
    case kCopyAllCommand:
      ok = !CanCopy(true) || CopyCells(true);
      break;
    case kPasteCommand:
      ok = !CanPaste() || Paste(false);
      break;
    case kPauseCommand:
      SetPaused(!GetPaused());
      break;
    case kHelpCommand:
      ok = !CanShowHelp() || ShowHelp();
      break;
    default:
      break;
  }
  if (!ok) {
    ShowLastError();
  }
}

void TAnimationEdit::UpdateToolbar() {
  const bool enabled[kToolbarCommands] = {
      true,           true,          CanSaveAs(), CanUndo(), CanDelete(true),
      CanCopy(false), CanCopy(true), CanPaste(),  true,      CanShowHelp()};
  for (int command = 0; command < kToolbarCommands; ++command) {
    toolbar_->SetItemEnabled(command, !Busy && enabled[command]);
  }
}

}  // namespace torvel
