#pragma once

#include <QIcon>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/dropped_files.h"
#include "app/recent_files.h"
#include "platform/bitmap.h"

class QAction;
class QMenu;
class QTimer;

namespace torvel {

class TAnimationEdit;
class TCompactSplash;
class TGeneral;
class THelp;
class TIniFile;

// What the program was started with.
struct TStartup {
  std::string ProgramFile;              // the program's own file, copied for the sibling programs
  std::optional<std::string> Argument;  // the command line's first argument: a file to open
  // How long the splash stays up once the window is ready. The program waits a second; a start
  // without a command line (the tests') hides it at once.
  int SplashSeconds = 0;
  // The carrier of the splash picture, when not the program's own (tests give their own).
  std::optional<Bitmap> SplashCarrier;

  static TStartup FromCommandLine(const QStringList& arguments, const QString& programFile);
};

// The program's version, as the splash panel and the settings file give it.
inline constexpr const char* kVersionText = "1.00.478";

// The program's only top-level window: the menus, and the editor's window docked into it.
// Every menu command calls one editor operation; the enable rules run whenever a menu opens and
// before a shortcut's command.
//
// Where its operations are, by group (src/app/):
//   main_window_menus.cpp     the menus, popup menu, shortcuts and their enable rules; the
//                             command-line file, OnTop, the shell's busy state, closing
//   main_window_startup.cpp   the start-up sequence, splash picture, icon animation, docking
//   main_window_settings.cpp  the settings file
//   main_window_help.cpp      the support files and the web pages
//   main_window_drops.cpp     files dropped onto the window
class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // Runs the whole start-up sequence; see StartFailed.
  explicit TForm1(const TStartup& startup = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  // The splash picture could not be shown: the error box was shown and the program ends
  // without showing its window.
  bool StartFailed() const { return startFailed_; }

  // The close sequence; the close button, Alt+F4 and Exit all come here.
  void CloseProgram();
  // What ends the process at the end of the close sequence (tests replace it).
  std::function<void()> EndProcess;

  // Refreshes the copy of the program in the shared "Image Tools" folder, for the maker's
  // sibling programs; failures are ignored.
  static void RefreshProgramCopy(const std::string& programFile);

  // Opens the file named on the command line (relative names count from the working folder);
  // a file that cannot be opened is reported like a failed Open.
  bool OpenCommandLineFile(const std::string& argument);

  // The settings file, <settings root>/Orvik Enterprises/Settings/Torvel.INI.
  static std::string SettingsFileName();
  void LoadSettings();
  void SaveSettings();
  void LoadExportSettings(const TIniFile& ini, TGeneral& general);
  // True until the settings show that this version's support files were unpacked.
  bool SupportFilesPending = true;

  // Unpacks the support files into the shared folder; LastErrorText tells why not.
  bool ExtractSupportFiles();
  // File > Preferences > Extract Support Files...: asks first.
  void ExtractSupportFiles1Click();
  std::string LastErrorText;
  void ShowShellError();

  // Shows the help's first page; a failure is shown by the help object itself.
  bool OnHelp();
  THelp* Help() const { return help_.get(); }
  TCompactSplash* Splash() const { return splash_.get(); }

  // The program's icon in every size it comes in.
  static QIcon ApplicationIcon();
  // One step of the task-bar icon's animation through its six frames.
  void Timer1Timer();
  int IconIndex() const { return iconIndex_; }
  QTimer* Timer1 = nullptr;

  bool IsOnTop() const;
  void SetOnTop(bool on);
  bool IsShellBusy() const;
  void SetShellBusy(bool busy);

  TAnimationEdit* Editor() const { return editor_.get(); }
  QMenu* PopupMenu() const { return popup_; }
  // The menu item of that name (for example "Paste1"), or none.
  QAction* Item(const QString& name) const;

  // File > Open Recent: opens the file as Open does; one that is gone leaves the list.
  TRecentFiles& RecentFiles() { return recent_; }
  void OpenRecent(const std::string& path);

  // The open handlers of the menus.
  void FileMenuOpen();
  void OpenRecentMenuOpen();
  void EditMenuOpen();
  void PasteSpecialOpen();
  void PopupMenuOpen();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Dropped files: the first animation is opened, or else each picture is pasted as a cell.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void FormCreate(const TStartup& startup);
  TDroppedFiles DroppedFiles(const QMimeData* mime) const;
  void TakeDroppedFiles(const TDroppedFiles& dropped);
  void CreateSplash();
  bool LoadSplashPicture(bool hasArgument);
  void DockEditor();
  void CreateIconAnimation();
  // Opens a web page whose address is kept in stored form; the homepage adds its page name.
  void OpenWebPage(const char* storedAddress, bool homepage);
  // One entry of a menu table: a menu, a separator or an item.
  struct TMenuEntry {
    enum class TKind { Menu, Separator, Item };
    TKind Kind;
    const char* Parent = nullptr;   // the object name of the menu it is in; none: the menu bar
    const char* Name = nullptr;     // its object name
    const char* Caption = nullptr;  // English; translated at start-up
    const char* Key = nullptr;      // an item's shortcut, shown beside its caption
    void (*Command)(TForm1&) = nullptr;
    void (TForm1::*Open)() = nullptr;  // a menu's open handler, run before it shows
    bool Checkable = false;
    const char* OtherKey = nullptr;  // a second shortcut, not shown
    const char* Twin = nullptr;      // a popup item: the main-menu item whose command it runs
  };
  using TOpener = void (TForm1::*)();
  using TMenus = std::map<std::string, QMenu*>;
  using TOpeners = std::map<std::string, std::vector<TOpener>>;
  static std::span<const TMenuEntry> MenuEntries();
  static std::span<const TMenuEntry> PopupEntries();
  void CreateMenus();
  void CreatePopupMenu();
  void AddEntry(const TMenuEntry& entry, TMenus& menus, TOpeners& openers);
  // Translates every caption of both menus.
  void TranslateMenus();
  QAction* AddItem(QMenu* menu, const char* name, const char* caption,
                   const char* shortcut = nullptr, std::function<void()> command = {});
  void AddShortcut(QAction* item, const char* shortcut, std::vector<TOpener> openers);
  void Report(bool ok);
  static std::string SharedAnimationsFolder();
  static std::string AbsolutePath(const std::string& path);
  void ApplyEditRules(const std::array<const char*, 6>& names);

  // The carrier pictures of the splash picture, the help pages and the support files.
  Bitmap cri_;
  Bitmap supHelp_;
  Bitmap supFiles_;
  std::unique_ptr<TCompactSplash> splash_;
  std::unique_ptr<THelp> help_;
  std::unique_ptr<TAnimationEdit> editor_;
  std::array<QIcon, 6> imageList1_;
  int iconIndex_ = 0;
  bool startFailed_ = false;
  std::map<std::string, std::function<void()>> commands_;  // by item name
  QMenu* fileMenu_ = nullptr;
  TRecentFiles recent_;
  QMenu* editMenu_ = nullptr;
  QMenu* helpMenu_ = nullptr;
  QMenu* popup_ = nullptr;
  bool shellBusy_ = false;
  bool closing_ = false;
};

}  // namespace torvel
