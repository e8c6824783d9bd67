#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace torvel {

class TAnimationEdit;

// The program's only top-level window: the menus, and the editor's window docked into it.
// Every menu command calls one editor operation; the enable rules run whenever a menu opens and
// before a shortcut's command.
class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // The close sequence; the close button, Alt+F4 and Exit all come here.
  void CloseProgram();
  // What ends the process at the end of the close sequence (tests replace it).
  std::function<void()> EndProcess;

  // Refreshes the copy of the program in the shared "Image Tools" folder, for the maker's
  // sibling programs; failures are ignored.
  static void RefreshProgramCopy(const std::string& programFile);

  // Opens the file named on the command line (relative names count from the working folder);
  // a file that cannot be opened is reported like a failed Open.
  void OpenCommandLineFile(const std::string& argument);

  bool IsOnTop() const;
  void SetOnTop(bool on);
  bool IsShellBusy() const;
  void SetShellBusy(bool busy);

  TAnimationEdit* Editor() const { return editor_.get(); }
  QMenu* PopupMenu() const { return popup_; }
  // The menu item of that name (for example "Paste1"), or none.
  QAction* Item(const QString& name) const;

  // The open handlers of the menus.
  void FileMenuOpen();
  void EditMenuOpen();
  void PasteSpecialOpen();
  void PopupMenuOpen();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateMenus();
  void CreatePopupMenu();
  // Translates every caption of both menus.
  void TranslateMenus();
  QAction* AddItem(QMenu* menu, const char* name, const char* caption,
                   const char* shortcut = nullptr, std::function<void()> command = {});
  void AddShortcut(QAction* item, const char* shortcut, std::vector<void (TForm1::*)()> openers);
  void Report(bool ok);
  static std::string SharedAnimationsFolder();
  void ApplyEditRules(const std::array<const char*, 6>& names);

  std::unique_ptr<TAnimationEdit> editor_;
  std::map<std::string, std::function<void()>> commands_;  // by item name
  QMenu* fileMenu_ = nullptr;
  QMenu* editMenu_ = nullptr;
  QMenu* helpMenu_ = nullptr;
  QMenu* popup_ = nullptr;
  bool shellBusy_ = false;
  bool closing_ = false;
};

}  // namespace torvel
