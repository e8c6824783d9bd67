#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cells/animation_strip.h"
#include "cells/cell_strip.h"
#include "cells/fast_timer.h"
#include "cells/table_parts.h"
#include "export/animation_encoder.h"
#include "formats/file_dialogs.h"
#include "platform/platform_ui.h"
#include "platform/qt/qt_dispatcher.h"
#include "platform/stream.h"

class QCheckBox;
class QPainter;
class QRect;
class QComboBox;
class QLabel;

namespace torvel {

class TCellListWidget;
class TImagePreview;
class TPreviewWidget;
class TStatusDisplay;
struct TImportedCells;
class TToolbar;

// The animation editor: its borderless editing window with the cell list, the preview, the
// speed row and the status line, the cell store it edits and the playback timer that drives it.
// Every command of the main window calls one of its operations.
//
// Where its operations are, by group (src/editor/):
//   animation_edit_window.cpp       construction, controls and their layout, click routing,
//                                   busy state, caption, SyncControls
//   animation_edit_settings.cpp     Transparent, Flip, Mirror, interval, indicators, background,
//                                   pause, ResetCells
//   animation_edit_editing.cpp      Undo, Cut, Copy, Delete, Clear, Reverse, cell drag and drop
//   animation_edit_clipboard.cpp    Paste, Paste Image Strip, pasted files, automatic paste
//   animation_edit_documents.cpp    reading and writing files, New, Open, Save, Save As,
//                                   QueryClose, View Folder, Help
//   animation_edit_list_status.cpp  the cell list, the status panels and the playback tick
//   animation_edit_toolbar.cpp      the toolbar's buttons and their rules
//   animation_edit_export.cpp       Export Animation
class TAnimationEdit : public QObject {
  Q_OBJECT

 public:
  // The status panels, left to right.
  enum TPanel { kSpeedPanel, kPositionPanel, kSizePanel, kPausePanel, kAutoPastePanel, kBusyPanel };
  static constexpr int kStatusRefreshMs = 500;
  // How long automatic paste waits after taking a picture.
  static constexpr int kAutoPastePauseMs = 200;
  // The toolbar's buttons: each button's tag is its command number.
  enum TToolbarCommand {
    kNewCommand,
    kOpenCommand,
    kSaveAsCommand,
    kUndoCommand,
    kCutCommand,
    kCopyCommand,
    kCopyAllCommand,
    kPasteCommand,
    kPauseCommand,
    kHelpCommand,
    kToolbarCommands
  };
  static constexpr TColor kSpeedReached = 0xDCFFDC;
  static constexpr TColor kTooSlow = 0xDCDCFF;

  TAnimationEdit(const std::string& appName, QWidget* ownerWindow,
                 TUiDispatcher* dispatcher = nullptr);
  ~TAnimationEdit() override;

  // Settings of the animation and the preview.
  bool GetTransparent() const { return Strip->GetTransparent(); }
  void SetTransparent(bool on);
  bool GetFlip() const { return Strip->GetFlip(); }
  void SetFlip(bool on);
  bool GetMirror() const { return Strip->GetMirror(); }
  void SetMirror(bool on);
  int GetInterval() const { return Strip->GetInterval(); }
  // Rounds the interval to a row of the speed list (0 is still).
  void SetInterval(int ms);
  static int SpeedIndexOf(int ms);
  bool GetIndicators() const;
  void SetIndicators(bool on);
  TColor GetBackgroundColor() const;
  void SetBackgroundColor(TColor color);
  bool ChooseBackgroundColor();
  bool GetPaused() const { return Strip->Paused; }
  void SetPaused(bool on);
  bool GetAutomaticPaste() const { return AutomaticPaste; }

  // Clipboard import.
  bool CanPaste() const;
  // Pastes the clipboard's picture as one cell, or cut into as many cells as the user asks for.
  bool Paste(bool imageStrip);
  // Cuts the picture into n cells inserted at the list row; returns how many were accepted.
  int InsertCells(Bitmap* picture, int n, int position);
  // Inserts whole cells at the list row, of the offered ones (more when the reader had no room
  // for the others); returns how many were accepted.
  int InsertCellPictures(const std::vector<TCellPicture>& cells, int offered, int position);
  // Inserts the picture as one cell at the list row, taking it over.
  int InsertPicture(Bitmap&& picture, int position);
  // Picture files dropped onto the window: each becomes one cell at the selected row, in order,
  // as Paste makes the clipboard's picture one; a single Undo takes them all back. A file that
  // cannot be read changes nothing.
  bool CanPastePictureFiles() const { return !AutomaticPaste; }
  bool PastePictureFiles(const std::vector<std::string>& fileNames);
  // A picture dropped onto the window becomes one cell at the selected row, as Paste makes the
  // clipboard's one.
  bool PastePicture(Bitmap& picture);
  // Whole animations come through the clipboard object file that Copy All writes.
  bool CanPasteAnimation(const std::string& format) const;
  bool PasteAnimation(const std::string& format);
  // While on, every picture copied to the clipboard becomes a new cell.
  void SetAutomaticPaste(bool on);
  // One automatic-paste step.
  bool PollClipboard();

  // Editing and undo. The Can... rules tell whether a command may run now.
  bool CanClear() const { return Strip->Table.Count > 0; }
  bool Clear();
  bool CanUndo() const { return UndoKind != TUndoKind::None; }
  // Swaps the snapshot with the current state, so that a second Undo re-applies the change.
  bool Undo();
  bool CanDelete(bool cut) const;
  // Removes the selected cell; with cut, puts its picture on the clipboard first.
  bool DeleteCells(bool cut);
  bool RemoveCell(int position);
  bool CanCopy(bool all) const;
  // Puts the selected cell, or all cells side by side, on the clipboard.
  bool CopyCells(bool all);
  bool CanReverse() const { return Strip->Table.Count > 1; }
  bool Reverse();
  // Records the part of the table that the next change alters.
  bool SaveUndo(TUndoKind kind);
  // Moving a cell by dragging it in the list from the selected row onto another row.
  bool CellDragOver(int targetRow) const;
  void CellDragDrop(int targetRow);

  // Animation files. Each sets LastError when it fails.
  bool WriteAnimationStream(TStream& stream);
  // Reads an animation: without append it replaces the present one, with append its cells are
  // inserted at the selected row. A file that cannot be read changes nothing.
  bool ReadAnimationStream(TStream& stream, bool append);
  // Replaces the file only once the new one is complete.
  bool SaveAnimationFile(const std::string& fileName);
  bool LoadAnimationFile(const std::string& fileName, bool append);

  // The document.
  bool New(bool ask);
  bool Open(const std::string& startFolder);
  // Opens an animation file, or an animation or picture of another program's format (see
  // OpenPictureFile).
  bool OpenFile(const std::string& fileName);
  // Whether the file is a picture or an animation of another program rather than a ".san".
  static bool IsPictureDocument(const std::string& fileName);
  // Opens a GIF, WebP or PNG animation, one cell a frame, or a still picture cut into the
  // number of cells the user asks for, as a new unsaved animation named after it.
  bool OpenPictureFile(const std::string& fileName);
  bool CanSave() const { return Strip->HasCells() && Named; }
  const std::string& GetFileName() const { return FileName; }
  const std::string& GetDisplayName() const { return DisplayName; }
  bool IsModified() const { return Modified; }
  bool IsNamed() const { return Named; }
  // Told of every file opened or saved as the document, for the list of recent files.
  std::function<void(const std::string&)> OnFileUsed;
  void NoteFileUsed(const std::string& path) {
    if (OnFileUsed) {
      OnFileUsed(path);
    }
  }
  // Opens the file over the present animation, asking first about unsaved changes; true when
  // it was opened or the user cancelled. A file that cannot be opened leaves the animation and
  // its unsaved changes as they were.
  bool OpenOverUnsavedWork(const std::string& fileName);
  // A new editor's animation plays still until the user picks a speed.
  void StartStill() { Strip->SetInterval(0); }
  bool Save();
  bool CanSaveAs() const { return Strip->HasCells(); }
  bool SaveAs(const std::string& startFolder);
  // Offers to save unsaved changes; false when the program must stay open.
  bool QueryClose();
  bool CanViewFolder() const;
  bool ViewFolder();
  bool CanShowHelp() const { return static_cast<bool>(HelpHandler); }
  bool ShowHelp();
  bool SaveToFile(const std::string& name);
  bool RunOpenDialog(TOpenInfo& settings, const std::string& startFolder);
  bool RunSaveAsDialog(TOpenInfo& settings, const std::string& startFolder);
  // The chosen name with the extension the filter asks for ("SAN"), unless it has it already
  // in any letter case.
  static std::string ForceExtension(const std::string& chosen, int filterIndex);

  // Export Animation: asks for a file and the options, then writes the animation as the
  // preview plays it. The document's name and modified state stay as they are.
  bool CanExport() const { return Strip->HasCells(); }
  bool ExportAnimation();
  // A work of some length, told how far it is; false with the reason in error.
  using TLongTask = std::function<bool(const TExportProgress& progress, std::string& error)>;
  bool RunWithProgress(const std::string& text, const TLongTask& task);

  // Empties the store and rebuilds the list.
  void ResetCells();
  void ShowLastError();

  // The window and its controls.
  void SetBusy(bool on);
  void UpdateCaption();
  void SyncControls();
  void LayoutControls();
  void ControlClick(QObject* sender);
  // Enables the toolbar's buttons by their commands' rules; all are disabled while busy.
  void UpdateToolbar();
  void StatusPanelClick(int panelIndex);

  // The cell list, the status line and the playback tick.
  void RefreshCellList();
  int NumberColumnWidth() const;
  void DrawCurrentMarker();
  bool IsCellPosition(int row) const;
  int GetSelection() const;
  int GetCurrentPosition() const { return Strip->GetCurrent(); }
  void SelectCell(int row);
  void PlaybackTick();

  // Widgets, for the main window and tests.
  QWidget* Window() const { return window_; }
  TCellListWidget* CellList() const { return cellList_; }
  QLabel* CellsLabel() const { return cellsLabel_; }
  QLabel* PreviewLabel() const { return previewLabel_; }
  TPreviewWidget* PreviewWindow() const { return previewWindow_; }
  TImagePreview& Preview() const;
  QComboBox* SpeedBox() const { return speedBox_; }
  QLabel* SpeedLabel() const { return speedLabel_; }
  QCheckBox* TransparentBox() const { return transparentBox_; }
  QCheckBox* FlipBox() const { return flipBox_; }
  QCheckBox* MirrorBox() const { return mirrorBox_; }
  TStatusDisplay* Status() const { return status_; }
  TToolbar& Toolbar() const { return *toolbar_; }
  TFastTimer& Timer() const { return *timer_; }
  // The narrowest the window may be with every status panel's text whole.
  int LeastWidth() const;

  TOpenInfo SaveDialogSettings;
  TOpenInfo OpenDialogSettings;
  TOpenInfo ExportDialogSettings;
  // Scale, dithering and looping as last chosen; remembered once the user has chosen them.
  TExportOptions ExportOptions;
  bool ExportOptionsChosen = false;
  std::string ExportFolder;  // where the last export went; empty before the first
  // How long an export runs before its progress window appears.
  int ProgressDelayMs = 500;
  std::unique_ptr<TAnimationStrip> Strip;
  TUndoKind UndoKind = TUndoKind::None;
  std::unique_ptr<TCellTable> UndoTable = std::make_unique<TCellTable>();
  uint32_t LastStatusTick = 0;
  bool BlinkPhase = false;
  bool AutomaticPaste = false;
  bool toldClipboardNeedsFocus_ = false;
  bool toldStripLeftOff_ = false;
  bool partlyRead_ = false;  // the last file read had more cells than the store took
  std::string AppName;
  std::string LastError;
  bool Busy = false;
  // Shows the help; set by the main window. False when it failed.
  std::function<bool(TAnimationEdit&)> HelpHandler;

 private:
  // The document: its file, the name the caption shows, whether it has unsaved changes and
  // whether it has been given a name by Open or Save As.
  std::string FileName;
  std::string DisplayName;
  bool Modified = false;
  bool Named = false;

  bool eventFilter(QObject* watched, QEvent* event) override;
  void CreateControls();
  void CreateToolbar();
  void RunToolbarCommand(int command);
  void SetUpDialogs();
  void SetUpExportDialog();
  static bool ExportTarget(std::string& fileName, int filterIndex, TExportFormat& format);
  bool ChooseExportFile(std::string& fileName, TExportFormat& format);
  bool ChooseExportOptions(TExportFormat format);
  void CreateStatusPanels();
  void RememberPictureLeftOnClipboard();
  bool IsPictureLeftOnClipboard();
  // Wakes the playback timer, which otherwise rests until the next frame or status refresh.
  void ShowChangesSoon();
  QStringList LongestPanelTexts(int panel) const;
  void DrawCellItem(QPainter& painter, int row, const QRect& rect, bool selected);
  QCheckBox* AddCheckBox(const std::string& text);
  void SetFileName(const std::string& name);
  bool ConfirmReplace(const std::string& fileName);
  void RefreshStatus();
  int MillisecondsUntilDue() const;
  void ShowPosition();
  void DescribePreview();
  QString CellRowName(int row) const;
  void SetPanelText(int panel, const std::string& text);
  void ShowCaption(const std::string& caption);
  void ChangeFlag(bool current, bool on, TUndoKind kind, void (TAnimationStrip::*set)(bool));
  bool ReadClipboard(Bitmap& picture);
  // Adds the picture's n pieces from position on without recording an undo step.
  int AddPieces(Bitmap* picture, int n, int position);
  int AddCellPictures(const std::vector<TCellPicture>& cells, int offered, int position);
  // The room the store has for cells to be added, whatever their size.
  TCellRoom StoreRoom() const;
  // Selects the row an edit leaves selected. A cell row becomes the current cell too, so that the
  // preview, its marker and the position panel show the selected cell; the End row leaves the
  // current cell where it was.
  void SelectRow(int row);
  // Inserts the picture cut into n cells at the selected row and selects the row after them.
  bool InsertAtSelection(Bitmap* picture, int n);
  // Asks how many cells to cut a picture of that width into; false when cancelled.
  bool AskCellCount(int pictureWidth, int proposal, int& count);
  void NameAfterPicture(const std::string& pictureName);
  // An error about a file names it on a second line, unless the error already does.
  void NameFileInError(const std::string& fileName);
  void TellOfMixedDelays();
  static bool KeyedAtTopLefts(const Bitmap& picture, int n);
  void FollowPastedTransparency(bool keyed, bool wasEmpty);
  void TellOfCutShort(const std::string& fileName);
  void TellOfStripLeftOff();
  // A dropped file's cells: every frame of an animation, or a still picture as one cell.
  bool ReadDroppedPicture(const std::string& fileName, TImportedCells& cells, std::string& error);
  int ImageStripProposal(int pictureWidth) const;
  void HighlightToggle(int panel, bool on);

  QPointer<QWidget> ownerWindow_;
  QPointer<QWidget> window_;
  QLabel* cellsLabel_ = nullptr;
  QLabel* previewLabel_ = nullptr;
  TCellListWidget* cellList_ = nullptr;
  TPreviewWidget* previewWindow_ = nullptr;
  QComboBox* speedBox_ = nullptr;
  QLabel* speedLabel_ = nullptr;
  QCheckBox* transparentBox_ = nullptr;
  QCheckBox* flipBox_ = nullptr;
  QCheckBox* mirrorBox_ = nullptr;
  TStatusDisplay* status_ = nullptr;
  std::unique_ptr<TToolbar> toolbar_;
  TQtDispatcher ownDispatcher_;
  std::unique_ptr<TFastTimer> timer_;
  int markedRow_ = -1;
  bool positionDue_ = false;
  bool listDrawnTransparent_ = false;
  TCustomColors customColors_ = MakeCustomColors();
  std::optional<uint64_t> leftOnClipboard_;  // a picture automatic paste must not take
  static TCustomColors MakeCustomColors() {
    TCustomColors colors;
    colors.fill(kWhite);
    return colors;
  }
};

}  // namespace torvel
