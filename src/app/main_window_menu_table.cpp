// The main window's menus and the cell list's popup menu, one line an entry. A command is one
// line here; the menus, their shortcuts and the order of the open handlers follow from it.
#include "app/main_window.h"
#include "editor/animation_edit.h"
#include "platform/platform_ui.h"
#include "services/stored_texts.h"
#include "widgets/compact_splash.h"

namespace torvel {

std::span<const TForm1::TMenuEntry> TForm1::MenuEntries() {
  using K = TMenuEntry::TKind;
  using F = TForm1;
  // Each command is a plain function of the window; the editor's result is reported.
  static constexpr TMenuEntry kEntries[] = {
      {K::Menu, nullptr, "File1", "&File", nullptr, nullptr, &F::FileMenuOpen},
      {K::Item, "File1", "New1", "&New", "Ctrl+N", [](F& w) { w.Report(w.editor_->New(true)); }},
      {K::Item, "File1", "NewInstance1", "New &Instance", nullptr,
       [](F&) {
         if (TPlatformUi* ui = PlatformUi()) {
           ui->StartNewInstance();
         }
       }},
      {K::Separator, "File1"},
      {K::Item, "File1", "Open1", "&Open...", "Ctrl+O",
       [](F& w) { w.Report(w.editor_->Open("")); }},
      {K::Item, "File1", "OpenfromStartButton1", "Open from Start &Button...", nullptr,
       [](F& w) { w.Report(w.editor_->Open(SharedAnimationsFolder())); }},
      {K::Menu, "File1", "OpenRecent1", "Open Re&cent", nullptr, nullptr, &F::OpenRecentMenuOpen},
      {K::Item, "File1", "Save1", "&Save", "Ctrl+S", [](F& w) { w.Report(w.editor_->Save()); }},
      // Ctrl+Shift+S is the desktop's usual Save As key.
      {K::Item, "File1", "SaveAs1", "Save &As...", "Ctrl+A",
       [](F& w) { w.Report(w.editor_->SaveAs("")); }, nullptr, false, "Ctrl+Shift+S"},
      {K::Item, "File1", "SavetoStartButton1", "Save &to Start Button...", nullptr,
       [](F& w) { w.Report(w.editor_->SaveAs(SharedAnimationsFolder())); }},
      {K::Item, "File1", "ExportAnimation1", "&Export Animation...", "Ctrl+E",
       [](F& w) { w.Report(w.editor_->ExportAnimation()); }},
      {K::Menu, "File1", "Preferences1", "P&references"},
      {K::Item, "Preferences1", "ExtractSupportFiles1", "&Extract Support Files...", nullptr,
       [](F& w) { w.ExtractSupportFiles1Click(); }},
      {K::Separator, "File1"},
      {K::Item, "File1", "Exit1", "E&xit", nullptr, [](F& w) { w.CloseProgram(); }, nullptr, false,
       "Ctrl+Q"},  // the desktop's usual key to quit

      {K::Menu, nullptr, "edit1", "&Edit", nullptr, nullptr, &F::EditMenuOpen},
      {K::Item, "edit1", "Undo1", "&Undo", "Ctrl+Z", [](F& w) { w.Report(w.editor_->Undo()); }},
      {K::Separator, "edit1"},
      {K::Item, "edit1", "cut1", "Cu&t", "Ctrl+X",
       [](F& w) { w.Report(w.editor_->DeleteCells(true)); }},
      {K::Item, "edit1", "Copy1", "&Copy", "Ctrl+C",
       [](F& w) { w.Report(w.editor_->CopyCells(false)); }},
      {K::Item, "edit1", "CopyAll1", "Cop&y All", nullptr,
       [](F& w) { w.Report(w.editor_->CopyCells(true)); }},
      {K::Item, "edit1", "Paste1", "&Paste", "Ctrl+V",
       [](F& w) { w.Report(w.editor_->Paste(false)); }},
      {K::Menu, "edit1", "PasteSpecial1", "Paste &Special", nullptr, nullptr, &F::PasteSpecialOpen},
      {K::Item, "PasteSpecial1", "Animation1", "&Animation", "F3",
       [](F& w) { w.Report(w.editor_->PasteAnimation("SAN")); }},
      {K::Item, "PasteSpecial1", "ImageStrip1", "&Image Strip...", "F4",
       [](F& w) { w.Report(w.editor_->Paste(true)); }},
      {K::Separator, "PasteSpecial1"},
      {K::Item, "PasteSpecial1", "Automatic1", "A&utomatic", "F5",
       [](F& w) { w.editor_->SetAutomaticPaste(!w.editor_->GetAutomaticPaste()); }, nullptr, true},
      {K::Item, "edit1", "Delete1", "&Delete", "Del",
       [](F& w) { w.Report(w.editor_->DeleteCells(false)); }},
      {K::Item, "edit1", "Clear1", "C&lear", nullptr, [](F& w) { w.Report(w.editor_->Clear()); }},
      {K::Separator, "edit1"},
      {K::Item, "edit1", "Reverse1", "Re&verse", "F6",
       [](F& w) { w.Report(w.editor_->Reverse()); }},
      {K::Item, "edit1", "Mirror1", "&Mirror", "F7",
       [](F& w) { w.editor_->SetMirror(!w.editor_->GetMirror()); }, nullptr, true},
      {K::Item, "edit1", "Flip1", "&Flip", "F8",
       [](F& w) { w.editor_->SetFlip(!w.editor_->GetFlip()); }, nullptr, true},
      {K::Separator, "edit1"},
      {K::Item, "edit1", "BackgroundColor1", "&Background Color...", nullptr,
       [](F& w) { w.editor_->ChooseBackgroundColor(); }},
      {K::Item, "edit1", "Indicators1", "&Indicators", "F9",
       [](F& w) { w.editor_->SetIndicators(!w.editor_->GetIndicators()); }, nullptr, true},
      {K::Item, "edit1", "Transparent1", "T&ransparent", "F10",
       [](F& w) { w.editor_->SetTransparent(!w.editor_->GetTransparent()); }, nullptr, true},
      {K::Item, "edit1", "Pause1", "Paus&e", "F11",
       [](F& w) { w.editor_->SetPaused(!w.editor_->GetPaused()); }, nullptr, true},
      {K::Separator, "edit1"},
      {K::Item, "edit1", "ViewFolder1", "Vie&w Folder", nullptr,
       [](F& w) { w.Report(w.editor_->ViewFolder()); }},
      {K::Item, "edit1", "OnTop1", "&OnTop", nullptr, [](F& w) { w.SetOnTop(!w.IsOnTop()); },
       nullptr, true},

      {K::Menu, nullptr, "Help1", "&Help"},
      {K::Item, "Help1", "Help2", "&Help", "F1", [](F& w) { w.Report(w.editor_->ShowHelp()); }},
      {K::Item, "Help1", "About1", "&About...", nullptr,
       [](F& w) {
         if (w.splash_) {
           w.splash_->ShowAsAbout();
         }
       }},
      {K::Separator, "Help1"},
      {K::Item, "Help1", "TorvelHomepage1", "T&orvel Homepage", nullptr,
       [](F& w) { w.OpenWebPage(stored_texts::kHomepageAddress, true); }},
      {K::Item, "Help1", "FreeSoftwareHomepage1", "&Free Software Homepage", nullptr,
       [](F& w) { w.OpenWebPage(stored_texts::kFreeSoftwareAddress, false); }},
      {K::Item, "Help1", "VisitOrvikEnterprises1", "&Visit Orvik Enterprises", nullptr,
       [](F& w) { w.OpenWebPage(stored_texts::kMakerAddress, false); }},
  };
  return kEntries;
}

// The popup's items run the very commands of their main-menu twins, named in Twin.
std::span<const TForm1::TMenuEntry> TForm1::PopupEntries() {
  using K = TMenuEntry::TKind;
  static constexpr TMenuEntry kEntries[] = {
      {K::Item, "PopupMenu1", "Undo2", "&Undo", nullptr, nullptr, nullptr, false, nullptr, "Undo1"},
      {K::Separator, "PopupMenu1"},
      {K::Item, "PopupMenu1", "Cut2", "Cu&t", nullptr, nullptr, nullptr, false, nullptr, "cut1"},
      {K::Item, "PopupMenu1", "Copy2", "&Copy", nullptr, nullptr, nullptr, false, nullptr, "Copy1"},
      {K::Item, "PopupMenu1", "CopyAll2", "Cop&y All", nullptr, nullptr, nullptr, false, nullptr,
       "CopyAll1"},
      {K::Item, "PopupMenu1", "Paste2", "&Paste", nullptr, nullptr, nullptr, false, nullptr,
       "Paste1"},
      {K::Menu, "PopupMenu1", "PasteSpecial2", "Paste Special", nullptr, nullptr,
       &TForm1::PasteSpecialOpen},
      {K::Item, "PasteSpecial2", "Animation2", "&Animation", nullptr, nullptr, nullptr, false,
       nullptr, "Animation1"},
      {K::Item, "PasteSpecial2", "ImageStrip2", "&Image Strip...", nullptr, nullptr, nullptr, false,
       nullptr, "ImageStrip1"},
      {K::Separator, "PasteSpecial2"},
      {K::Item, "PasteSpecial2", "Automatic2", "A&utomatic", nullptr, nullptr, nullptr, true,
       nullptr, "Automatic1"},
      {K::Item, "PopupMenu1", "Delete2", "&Delete", nullptr, nullptr, nullptr, false, nullptr,
       "Delete1"},
  };
  return kEntries;
}

}  // namespace torvel
