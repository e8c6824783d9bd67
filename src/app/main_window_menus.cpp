// The main window's menus, popup menu and shortcuts with their enable rules; the file named on
// the command line, OnTop, the shell's busy state and the close sequence.
#include "app/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenuBar>
#include <QShortcut>

#include "app/help.h"
#include "editor/animation_edit.h"
#include "editor/cell_list_widget.h"
#include "platform/platform_ui.h"
#include "platform/qt/screen_window.h"
#include "services/services.h"
#include "services/stored_texts.h"
#include "services/translate.h"
#include "widgets/compact_splash.h"

namespace torvel {
TForm1::~TForm1() {
  splash_.reset();
  help_.reset();
  if (editor_) {
    takeCentralWidget();  // the editor owns its window
    editor_.reset();
  }
}

QAction* TForm1::AddItem(QMenu* menu, const char* name, const char* caption, const char* shortcut,
                         std::function<void()> command) {
  QString text = caption;
  if (shortcut != nullptr) {
    text += '\t' + QKeySequence(shortcut).toString(QKeySequence::NativeText);
  }
  QAction* item = menu->addAction(text);
  item->setObjectName(name);
  if (command) {
    commands_[name] = command;
    connect(item, &QAction::triggered, this, [command] {
      try {
        command();
      } catch (...) {
        // A failing command leaves the program running.
      }
    });
  }
  return item;
}

// A shortcut first runs the open handlers of the menus that hold the item, from the menu bar
// down, and then the command only when the item is enabled after that.
void TForm1::AddShortcut(QAction* item, const char* shortcut,
                         std::vector<void (TForm1::*)()> openers) {
  auto* key = new QShortcut(QKeySequence(shortcut), this);
  connect(key, &QShortcut::activated, this, [this, item, openers] {
    for (auto open : openers) {
      (this->*open)();
    }
    if (item->isEnabled()) {
      item->trigger();
    }
  });
}

namespace {

// Captions are translated once, at start-up; the shortcut after a tab stays as it is.
void TranslateMenu(QAction* item) {
  if (!item->isSeparator()) {
    const QString text = item->text();
    const qsizetype tab = text.indexOf('\t');
    const std::string caption = (tab < 0 ? text : text.left(tab)).toStdString();
    item->setText(QString::fromStdString(TranslateText(caption)) +
                  (tab < 0 ? QString() : text.mid(tab)));
  }
  if (QMenu* menu = item->menu()) {
    for (QAction* child : menu->actions()) {
      TranslateMenu(child);
    }
  }
}

}  // namespace

void TForm1::TranslateMenus() {
  for (QAction* item : menuBar()->actions()) {
    TranslateMenu(item);
  }
  for (QAction* item : popup_->actions()) {
    TranslateMenu(item);
  }
}

QAction* TForm1::Item(const QString& name) const {
  return findChild<QAction*>(name);
}

bool TForm1::OpenCommandLineFile(const std::string& argument) {
  const std::string path =
      QFileInfo(QString::fromStdString(argument)).absoluteFilePath().toStdString();
  const bool opened = editor_->OpenFile(path);
  Report(opened);
  return opened;
}

std::string TForm1::SharedAnimationsFolder() {
  TPaths* paths = Paths();
  return paths != nullptr ? paths->ProgramsCompanyFolder("Animations") : std::string();
}

void TForm1::Report(bool ok) {
  if (!ok) {
    editor_->ShowLastError();
  }
}

void TForm1::CreateMenus() {
  TAnimationEdit& e = *editor_;
  fileMenu_ = menuBar()->addMenu("&File");
  fileMenu_->setObjectName("File1");
  AddItem(fileMenu_, "New1", "&New", "Ctrl+N", [this, &e] { Report(e.New(true)); });
  AddItem(fileMenu_, "NewInstance1", "New &Instance", nullptr, [] {
    if (TPlatformUi* ui = PlatformUi()) {
      ui->StartNewInstance();
    }
  });
  fileMenu_->addSeparator();
  AddItem(fileMenu_, "Open1", "&Open...", "Ctrl+O", [this, &e] { Report(e.Open("")); });
  AddItem(fileMenu_, "OpenfromStartButton1", "Open from Start &Button...", nullptr,
          [this, &e] { Report(e.Open(SharedAnimationsFolder())); });
  AddItem(fileMenu_, "Save1", "&Save", "Ctrl+S", [this, &e] { Report(e.Save()); });
  AddItem(fileMenu_, "SaveAs1", "Save &As...", "Ctrl+A", [this, &e] { Report(e.SaveAs("")); });
  AddItem(fileMenu_, "SavetoStartButton1", "Save &to Start Button...", nullptr,
          [this, &e] { Report(e.SaveAs(SharedAnimationsFolder())); });
  QMenu* preferences = fileMenu_->addMenu("P&references");
  preferences->setObjectName("Preferences1");
  AddItem(preferences, "ExtractSupportFiles1", "&Extract Support Files...", nullptr,
          [this] { ExtractSupportFiles1Click(); });
  fileMenu_->addSeparator();
  AddItem(fileMenu_, "Exit1", "E&xit", nullptr, [this] { CloseProgram(); });
  connect(fileMenu_, &QMenu::aboutToShow, this, &TForm1::FileMenuOpen);

  editMenu_ = menuBar()->addMenu("&Edit");
  editMenu_->setObjectName("edit1");
  AddItem(editMenu_, "Undo1", "&Undo", "Ctrl+Z", [this, &e] { Report(e.Undo()); });
  editMenu_->addSeparator();
  AddItem(editMenu_, "cut1", "Cu&t", "Ctrl+X", [this, &e] { Report(e.DeleteCells(true)); });
  AddItem(editMenu_, "Copy1", "&Copy", "Ctrl+C", [this, &e] { Report(e.CopyCells(false)); });
  AddItem(editMenu_, "CopyAll1", "Cop&y All", nullptr, [this, &e] { Report(e.CopyCells(true)); });
  AddItem(editMenu_, "Paste1", "&Paste", "Ctrl+V", [this, &e] { Report(e.Paste(false)); });
  QMenu* special = editMenu_->addMenu("Paste &Special");
  special->setObjectName("PasteSpecial1");
  AddItem(special, "Animation1", "&Animation", "F3",
          [this, &e] { Report(e.PasteAnimation("SAN")); });
  AddItem(special, "ImageStrip1", "&Image Strip...", "F4", [this, &e] { Report(e.Paste(true)); });
  special->addSeparator();
  AddItem(special, "Automatic1", "A&utomatic", "F5",
          [&e] { e.SetAutomaticPaste(!e.GetAutomaticPaste()); });
  connect(special, &QMenu::aboutToShow, this, &TForm1::PasteSpecialOpen);
  AddItem(editMenu_, "Delete1", "&Delete", "Del", [this, &e] { Report(e.DeleteCells(false)); });
  AddItem(editMenu_, "Clear1", "C&lear", nullptr, [this, &e] { Report(e.Clear()); });
  editMenu_->addSeparator();
  AddItem(editMenu_, "Reverse1", "Re&verse", "F6", [this, &e] { Report(e.Reverse()); });
  AddItem(editMenu_, "Mirror1", "&Mirror", "F7", [&e] { e.SetMirror(!e.GetMirror()); });
  AddItem(editMenu_, "Flip1", "&Flip", "F8", [&e] { e.SetFlip(!e.GetFlip()); });
  editMenu_->addSeparator();
  AddItem(editMenu_, "BackgroundColor1", "&Background Color...", nullptr,
          [&e] { e.ChooseBackgroundColor(); });
  AddItem(editMenu_, "Indicators1", "&Indicators", "F9",
          [&e] { e.SetIndicators(!e.GetIndicators()); });
  AddItem(editMenu_, "Transparent1", "T&ransparent", "F10",
          [&e] { e.SetTransparent(!e.GetTransparent()); });
  AddItem(editMenu_, "Pause1", "Paus&e", "F11", [&e] { e.SetPaused(!e.GetPaused()); });
  editMenu_->addSeparator();
  AddItem(editMenu_, "ViewFolder1", "Vie&w Folder", nullptr,
          [this, &e] { Report(e.ViewFolder()); });
  AddItem(editMenu_, "OnTop1", "&OnTop", nullptr, [this] { SetOnTop(!IsOnTop()); });
  for (const char* name : {"Mirror1", "Flip1", "Indicators1", "Transparent1", "Pause1", "OnTop1"}) {
    Item(name)->setCheckable(true);
  }
  Item("Automatic1")->setCheckable(true);
  connect(editMenu_, &QMenu::aboutToShow, this, &TForm1::EditMenuOpen);

  helpMenu_ = menuBar()->addMenu("&Help");
  helpMenu_->setObjectName("Help1");
  AddItem(helpMenu_, "Help2", "&Help", "F1", [this, &e] { Report(e.ShowHelp()); });
  AddItem(helpMenu_, "About1", "&About...", nullptr, [this] {
    if (splash_) {
      splash_->ShowAsAbout();
    }
  });
  helpMenu_->addSeparator();
  AddItem(helpMenu_, "TorvelHomepage1", "T&orvel Homepage", nullptr,
          [this] { OpenWebPage(stored_texts::kHomepageAddress, true); });
  AddItem(helpMenu_, "FreeSoftwareHomepage1", "&Free Software Homepage", nullptr,
          [this] { OpenWebPage(stored_texts::kFreeSoftwareAddress, false); });
  AddItem(helpMenu_, "VisitOrvikEnterprises1", "Visit &Orvik Enterprises", nullptr,
          [this] { OpenWebPage(stored_texts::kMakerAddress, false); });

  const std::vector<void (TForm1::*)()> file = {&TForm1::FileMenuOpen};
  const std::vector<void (TForm1::*)()> edit = {&TForm1::EditMenuOpen};
  const std::vector<void (TForm1::*)()> pasteSpecial = {&TForm1::EditMenuOpen,
                                                        &TForm1::PasteSpecialOpen};
  const std::vector<void (TForm1::*)()> help = {};
  const std::pair<const char*, const char*> fileKeys[] = {
      {"New1", "Ctrl+N"}, {"Open1", "Ctrl+O"}, {"Save1", "Ctrl+S"}, {"SaveAs1", "Ctrl+A"}};
  for (const auto& [name, key] : fileKeys) {
    AddShortcut(Item(name), key, file);
  }
  AddShortcut(Item("SaveAs1"), "Ctrl+Shift+S", file);  // the desktop's usual Save As key
  const std::pair<const char*, const char*> editKeys[] = {
      {"Undo1", "Ctrl+Z"},   {"cut1", "Ctrl+X"},      {"Copy1", "Ctrl+C"}, {"Paste1", "Ctrl+V"},
      {"Delete1", "Del"},    {"Reverse1", "F6"},      {"Mirror1", "F7"},   {"Flip1", "F8"},
      {"Indicators1", "F9"}, {"Transparent1", "F10"}, {"Pause1", "F11"}};
  for (const auto& [name, key] : editKeys) {
    AddShortcut(Item(name), key, edit);
  }
  for (const auto& [name, key] :
       {std::pair{"Animation1", "F3"}, {"ImageStrip1", "F4"}, {"Automatic1", "F5"}}) {
    AddShortcut(Item(name), key, pasteSpecial);
  }
  AddShortcut(Item("Help2"), "F1", help);
}

void TForm1::CreatePopupMenu() {
  popup_ = new QMenu(this);
  popup_->setObjectName("PopupMenu1");
  // A popup item runs the very command of its main-menu twin.
  auto twin = [this](const char* name) { return commands_.at(name); };
  AddItem(popup_, "Undo2", "&Undo", nullptr, twin("Undo1"));
  popup_->addSeparator();
  AddItem(popup_, "Cut2", "Cu&t", nullptr, twin("cut1"));
  AddItem(popup_, "Copy2", "&Copy", nullptr, twin("Copy1"));
  AddItem(popup_, "CopyAll2", "Cop&y All", nullptr, twin("CopyAll1"));
  AddItem(popup_, "Paste2", "&Paste", nullptr, twin("Paste1"));
  QMenu* special = popup_->addMenu("Paste Special");
  special->setObjectName("PasteSpecial2");
  AddItem(special, "Animation2", "&Animation", nullptr, twin("Animation1"));
  AddItem(special, "ImageStrip2", "&Image Strip...", nullptr, twin("ImageStrip1"));
  special->addSeparator();
  AddItem(special, "Automatic2", "&Automatic", nullptr, twin("Automatic1"))->setCheckable(true);
  connect(special, &QMenu::aboutToShow, this, &TForm1::PasteSpecialOpen);
  AddItem(popup_, "Delete2", "&Delete", nullptr, twin("Delete1"));
  connect(popup_, &QMenu::aboutToShow, this, &TForm1::PopupMenuOpen);

  TCellListWidget* list = editor_->CellList();
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list, &QWidget::customContextMenuRequested, this,
          [this, list](const QPoint& at) { popup_->popup(list->mapToGlobal(at)); });
}

void TForm1::FileMenuOpen() {
  const TAnimationEdit& e = *editor_;
  Item("Save1")->setEnabled(e.CanSave());
  Item("SaveAs1")->setEnabled(e.CanSaveAs());
  Item("SavetoStartButton1")->setEnabled(e.CanSaveAs());
}

void TForm1::EditMenuOpen() {
  const TAnimationEdit& e = *editor_;
  ApplyEditRules({"Undo1", "cut1", "Copy1", "CopyAll1", "Delete1", "Paste1"});
  Item("Clear1")->setEnabled(e.CanClear());
  Item("Reverse1")->setEnabled(e.CanReverse());
  Item("ViewFolder1")->setEnabled(e.CanViewFolder());
  Item("Transparent1")->setChecked(editor_->GetTransparent());
  Item("Flip1")->setChecked(editor_->GetFlip());
  Item("Mirror1")->setChecked(editor_->GetMirror());
  Item("Pause1")->setChecked(editor_->GetPaused());
  Item("Indicators1")->setChecked(editor_->GetIndicators());
  Item("OnTop1")->setChecked(IsOnTop());
}

void TForm1::PasteSpecialOpen() {
  const TAnimationEdit& e = *editor_;
  for (const char* name : {"Animation1", "Animation2"}) {
    Item(name)->setEnabled(e.CanPasteAnimation("SAN"));
  }
  for (const char* name : {"ImageStrip1", "ImageStrip2"}) {
    Item(name)->setEnabled(e.CanPaste());
  }
  Item("Automatic1")->setChecked(editor_->GetAutomaticPaste());
  Item("Automatic2")->setChecked(editor_->GetAutomaticPaste());
}

void TForm1::PopupMenuOpen() {
  ApplyEditRules({"Undo2", "Cut2", "Copy2", "CopyAll2", "Delete2", "Paste2"});
}

// The rules the Edit menu and the popup share, for their items in this order: Undo, Cut, Copy,
// Copy All, Delete, Paste.
void TForm1::ApplyEditRules(const std::array<const char*, 6>& names) {
  const TAnimationEdit& e = *editor_;
  const bool enabled[] = {e.CanUndo(),     e.CanDelete(true),  e.CanCopy(false),
                          e.CanCopy(true), e.CanDelete(false), e.CanPaste()};
  for (size_t i = 0; i < names.size(); ++i) {
    Item(names[i])->setEnabled(enabled[i]);
  }
}

void TForm1::RefreshProgramCopy(const std::string& programFile) {
  TPaths* paths = Paths();
  if (paths == nullptr) {
    return;
  }
  const std::string folder = paths->ProgramsCompanyFolder("Image Tools");
  if (!folder.empty()) {
    paths->CopyFileTo(programFile, folder + "Torvel" + ".EXE");
  }
}

bool TForm1::IsOnTop() const {
  return windowFlags() & Qt::WindowStaysOnTopHint;
}

void TForm1::SetOnTop(bool on) {
  if (on != IsOnTop()) {
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (shown) {
      show();  // changing the flags hides the window
    }
  }
}

bool TForm1::IsShellBusy() const {
  return shellBusy_;
}

void TForm1::SetShellBusy(bool busy) {
  if (busy == shellBusy_) {
    return;
  }
  shellBusy_ = busy;
  TPlatformUi* ui = PlatformUi();
  if (ui) {
    ui->SetBusyCursor(busy);
  }
  for (QMenu* menu : {fileMenu_, editMenu_, helpMenu_}) {
    menu->setEnabled(!busy);
  }
  if (ui) {
    ui->ProcessPendingEvents();
  }
}

void TForm1::CloseProgram() {
  if (closing_ || !editor_) {
    return;
  }
  if (!editor_->QueryClose()) {
    return;  // the user kept the program running
  }
  closing_ = true;
  hide();
  SaveSettings();
  splash_.reset();
  help_.reset();  // removes the unpacked help pages
  takeCentralWidget();
  editor_.reset();
  EndProcess();
}

void TForm1::closeEvent(QCloseEvent* event) {
  event->ignore();  // the window closes only by ending the program
  CloseProgram();
}

}  // namespace torvel
