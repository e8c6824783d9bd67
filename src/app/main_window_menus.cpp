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
#include "platform/error_texts.h"
#include "platform/files.h"
#include "platform/platform_ui.h"
#include "services/services.h"
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
void TForm1::AddShortcut(QAction* item, const char* shortcut, std::vector<TOpener> openers) {
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

// The list is made afresh each time the menu opens: the files, newest first, numbered for the
// keyboard, and "Clear List".
void TForm1::OpenRecentMenuOpen() {
  QMenu* menu = fileMenu_->findChild<QMenu*>("OpenRecent1");
  menu->clear();
  const std::vector<std::string>& files = recent_.Files();
  for (size_t i = 0; i < files.size(); ++i) {
    const QString path = QString::fromStdString(files[i]);
    QAction* item = menu->addAction(QString("&%1 %2").arg(i + 1).arg(path));
    item->setObjectName(QString("Recent%1").arg(i + 1));
    connect(item, &QAction::triggered, this, [this, file = files[i]] { OpenRecent(file); });
  }
  menu->addSeparator();
  QAction* clear = menu->addAction(QString::fromStdString(TranslateText("&Clear List")));
  clear->setObjectName("ClearRecent1");
  clear->setEnabled(!files.empty());
  connect(clear, &QAction::triggered, this, [this] { recent_.Clear(); });
}

void TForm1::OpenRecent(const std::string& path) {
  if (!FileExists(path)) {
    recent_.Remove(path);
    if (TGeneral* general = General()) {
      general->ShowError(path + "\n" + kFileNotFound);
    }
    return;
  }
  Report(editor_->OpenOverUnsavedWork(path));
}

QAction* TForm1::Item(const QString& name) const {
  return findChild<QAction*>(name);
}

std::string TForm1::AbsolutePath(const std::string& path) {
  return QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
}

bool TForm1::OpenCommandLineFile(const std::string& argument) {
  const bool opened = editor_->OpenFile(AbsolutePath(argument));
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
  TMenus menus;
  TOpeners openers;
  for (const TMenuEntry& entry : MenuEntries()) {
    AddEntry(entry, menus, openers);
  }
  fileMenu_ = menus.at("File1");
  editMenu_ = menus.at("edit1");
  helpMenu_ = menus.at("Help1");
}

void TForm1::CreatePopupMenu() {
  popup_ = new QMenu(this);
  popup_->setObjectName("PopupMenu1");
  TMenus menus{{"PopupMenu1", popup_}};
  TOpeners openers;
  for (const TMenuEntry& entry : PopupEntries()) {
    AddEntry(entry, menus, openers);
  }
  connect(popup_, &QMenu::aboutToShow, this, &TForm1::PopupMenuOpen);

  TCellListWidget* list = editor_->CellList();
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list, &QWidget::customContextMenuRequested, this,
          [this, list](const QPoint& at) { popup_->popup(list->mapToGlobal(at)); });
}

// Adds one entry of a menu table to the menu it names. A menu's open handlers are those of the
// menus above it, from the menu bar down, and its own; an item's shortcut runs them first.
void TForm1::AddEntry(const TMenuEntry& entry, TMenus& menus, TOpeners& openers) {
  QMenu* parent = entry.Parent != nullptr ? menus.at(entry.Parent) : nullptr;
  switch (entry.Kind) {
    case TMenuEntry::TKind::Menu: {
      QMenu* menu =
          parent != nullptr ? parent->addMenu(entry.Caption) : menuBar()->addMenu(entry.Caption);
      menu->setObjectName(entry.Name);
      menus[entry.Name] = menu;
      std::vector<TOpener> chain =
          entry.Parent != nullptr ? openers[entry.Parent] : TOpeners::mapped_type{};
      if (entry.Open != nullptr) {
        chain.push_back(entry.Open);
        connect(menu, &QMenu::aboutToShow, this, entry.Open);
      }
      openers[entry.Name] = chain;
      return;
    }
    case TMenuEntry::TKind::Separator:
      parent->addSeparator();
      return;
    case TMenuEntry::TKind::Item:
      break;
  }
  std::function<void()> command;
  if (entry.Twin != nullptr) {
    command = commands_.at(entry.Twin);  // the popup's items run their main-menu twins
  } else if (entry.Command != nullptr) {
    command = [this, run = entry.Command] { run(*this); };
  }
  QAction* item = AddItem(parent, entry.Name, entry.Caption, entry.Key, command);
  item->setCheckable(entry.Checkable);
  for (const char* key : {entry.Key, entry.OtherKey}) {
    if (key != nullptr) {
      AddShortcut(item, key, openers[entry.Parent]);
    }
  }
}

void TForm1::FileMenuOpen() {
  const TAnimationEdit& e = *editor_;
  Item("Save1")->setEnabled(e.CanSave());
  Item("SaveAs1")->setEnabled(e.CanSaveAs());
  Item("SavetoStartButton1")->setEnabled(e.CanSaveAs());
  Item("ExportAnimation1")->setEnabled(e.CanExport());
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
