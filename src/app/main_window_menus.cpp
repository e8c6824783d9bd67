// The main window's menus, popup menu and shortcuts with their enable rules; the file named on
// the command line, OnTop, the shell's busy state and the close sequence.
#include "app/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenuBar>
#include <QSet>
#include <QShortcut>
#include <map>

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
  QAction* item = menu->addAction(caption);
  item->setObjectName(name);
  if (shortcut != nullptr) {
    // Shown beside the caption and told to assistive technology as the item's shortcut. The
    // window's own shortcut runs the command (see AddShortcut); the item's key counts only
    // while the menu bar has the focus, where it does the same.
    item->setShortcut(QKeySequence(shortcut));
    item->setShortcutContext(Qt::WidgetShortcut);
  }
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

// The letter of a caption that Alt reaches it by, lower case, or none.
QChar MenuLetter(const QString& caption) {
  const qsizetype at = caption.indexOf('&');
  return at >= 0 && at + 1 < caption.size() ? caption[at + 1].toLower() : QChar();
}

// Finds a letter of the caption of `item` that no fixed caption has and that is free or whose
// holder can move to another letter of its own (one step of a bipartite matching).
bool FindLetter(int item, const QStringList& captions, const QSet<QChar>& fixed,
                std::map<QChar, int>& holders, QSet<QChar>& tried) {
  for (const QChar c : captions[item]) {
    const QChar letter = c.toLower();
    if (!c.isLetter() || fixed.contains(letter) || tried.contains(letter)) {
      continue;
    }
    tried.insert(letter);
    const auto holder = holders.find(letter);
    if (holder == holders.end() || FindLetter(holder->second, captions, fixed, holders, tried)) {
      holders[letter] = item;
      return true;
    }
  }
  return false;
}

// Gives the items without a letter (a translation may lack the English one) letters of their
// own captions that no other item of the menu has, as many as can be, so that every item is
// reached from the keyboard in every language.
void GiveMissingLetters(const QList<QAction*>& items) {
  QSet<QChar> fixed;
  QList<QAction*> unlettered;
  QStringList captions;
  for (QAction* item : items) {
    if (item->isSeparator()) {
      continue;
    }
    const QChar letter = MenuLetter(item->text());
    if (letter.isNull()) {
      unlettered.push_back(item);
      captions.push_back(item->text());
    } else {
      fixed.insert(letter);
    }
  }
  std::map<QChar, int> holders;
  for (int k = 0; k < captions.size(); ++k) {
    QSet<QChar> tried;
    FindLetter(k, captions, fixed, holders, tried);
  }
  for (const auto& [letter, k] : holders) {
    QString text = captions[k];
    for (qsizetype at = 0; at < text.size(); ++at) {
      if (text[at].toLower() == letter) {
        unlettered[k]->setText(text.insert(at, '&'));
        break;
      }
    }
  }
}

// Captions are translated once, at start-up.
void TranslateMenu(const QList<QAction*>& items) {
  for (QAction* item : items) {
    if (!item->isSeparator()) {
      item->setText(QString::fromStdString(TranslateText(item->text().toStdString())));
    }
    if (QMenu* menu = item->menu()) {
      TranslateMenu(menu->actions());
    }
  }
  GiveMissingLetters(items);
}

}  // namespace

void TForm1::TranslateMenus() {
  TranslateMenu(menuBar()->actions());
  TranslateMenu(popup_->actions());
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
  GiveMissingLetters(menu->actions());
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
