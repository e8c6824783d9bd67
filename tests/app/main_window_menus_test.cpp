#include "app/main_window.h"
#include "support/menu_caption.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QTest>

#include "cells/animation_strip.h"
#include "editor/animation_edit.h"
#include "editor/cell_list_widget.h"
#include "platform/files.h"
#include "platform/raster.h"
#include "services/services.h"
#include "support/file_helpers.h"
#include "support/scripted_platform_ui.h"
#include "support/test_folders.h"

namespace torvel {
namespace {

class MainWindowTest : public testing::Test {
 protected:
  MainWindowTest() {
    window.EndProcess = [this] { ++ended; };
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  QStringList Captions(QMenu* menu) {
    QStringList captions;
    for (QAction* action : menu->actions()) {
      captions << (action->isSeparator() ? "-" : test::ShownCaption(*action));
    }
    return captions;
  }

  test::TScriptedPlatformUi ui;
  TForm1 window;
  int ended = 0;
};

TEST_F(MainWindowTest, OpensWithTheEditorDockedAtItsStartSize) {
  EXPECT_EQ(window.windowTitle().toStdString(), "Untitled.san - Torvel");
  // Wider only where the status line needs it in the font in use.
  EXPECT_EQ(window.size(), QSize(std::max(550, window.Editor()->LeastWidth()), 455));
  EXPECT_GE(window.Editor()->LeastWidth(), 425);  // at least the panels' own widths
  EXPECT_EQ(window.centralWidget(), window.Editor()->Window());
  EXPECT_EQ(window.Editor()->GetInterval(), 0);  // the program starts still
}

TEST_F(MainWindowTest, MenusHoldEveryItemInOrder) {
  const QList<QAction*> bar = window.menuBar()->actions();
  ASSERT_EQ(bar.size(), 3);
  EXPECT_EQ(bar[0]->text(), "&File");
  // Every caption passes the translation lookup, which moves an accelerator to the first
  // occurrence of its letter even when the text stays English ("Save &As" reads "S&ave As").
  EXPECT_EQ(Captions(bar[0]->menu()),
            (QStringList{"&New\tCtrl+N", "New &Instance", "-", "&Open...\tCtrl+O",
                         "Open from Start &Button...", "Open Re&cent", "&Save\tCtrl+S",
                         "S&ave As...\tCtrl+A", "Save &to Start Button...",
                         "&Export Animation...\tCtrl+E", "P&references", "-", "E&xit"}));
  EXPECT_EQ(Captions(bar[2]->menu()),
            (QStringList{"&Help\tF1", "&About...", "-", "T&orvel Homepage",
                         "&Free Software Homepage", "&Visit Orvik Enterprises"}));
  EXPECT_EQ(Captions(window.PopupMenu()), (QStringList{"&Undo", "-", "Cu&t", "&Copy", "Cop&y All",
                                                       "&Paste", "P&aste Special", "&Delete"}));
  EXPECT_EQ(Captions(bar[1]->menu()), (QStringList{"&Undo\tCtrl+Z",
                                                   "-",
                                                   "Cu&t\tCtrl+X",
                                                   "&Copy\tCtrl+C",
                                                   "Cop&y All",
                                                   "&Paste\tCtrl+V",
                                                   "Pa&ste Special",
                                                   "&Delete\tDel",
                                                   "C&lear",
                                                   "-",
                                                   "Re&verse\tF6",
                                                   "&Mirror\tF7",
                                                   "&Flip\tF8",
                                                   "-",
                                                   "&Background Color...",
                                                   "&Indicators\tF9",
                                                   "T&ransparent\tF10",
                                                   "Paus&e\tF11",
                                                   "-",
                                                   "Vie&w Folder",
                                                   "&OnTop"}));
}

// The help's table of keys lists every shortcut the menus have.
TEST_F(MainWindowTest, TheShortcutsPageListsEveryShortcut) {
  std::vector<uint8_t> page;
  ASSERT_TRUE(ReadWholeFile(std::string(TORVEL_TEST_DATA) + "/../../data/help/shortcuts.html",
                            1 << 20, page));
  const std::string text(page.begin(), page.end());
  int keys = 0;
  for (const QShortcut* shortcut : window.findChildren<QShortcut*>()) {
    const QStringList parts = shortcut->key().toString(QKeySequence::PortableText).split('+');
    const std::string written = "<kbd>" + parts.join("</kbd>+<kbd>").toStdString() + "</kbd>";
    EXPECT_NE(text.find(written), std::string::npos) << written;
    ++keys;
  }
  EXPECT_GE(keys, 20);
}

TEST_F(MainWindowTest, OpeningTheEditMenuEvaluatesItsRules) {
  window.Editor()->SetFlip(true);
  window.EditMenuOpen();
  EXPECT_TRUE(window.Item("Flip1")->isChecked());
  EXPECT_FALSE(window.Item("Mirror1")->isChecked());
  EXPECT_TRUE(window.Item("Transparent1")->isChecked());
  EXPECT_TRUE(window.Item("Indicators1")->isChecked());
  EXPECT_TRUE(window.Item("Undo1")->isEnabled());  // the flip can be undone
  EXPECT_FALSE(window.Item("cut1")->isEnabled());  // no cells
  EXPECT_FALSE(window.Item("Clear1")->isEnabled());
  EXPECT_FALSE(window.Item("Reverse1")->isEnabled());
  window.Editor()->SetFlip(false);
  window.EditMenuOpen();
  EXPECT_FALSE(window.Item("Flip1")->isChecked());
}

TEST_F(MainWindowTest, ShortcutsRunEnabledCommandsOnly) {
  QTest::keyClick(&window, Qt::Key_F7);
  EXPECT_TRUE(window.Editor()->GetMirror());
  QTest::keyClick(&window, Qt::Key_F11);
  EXPECT_TRUE(window.Editor()->GetPaused());
  QTest::keyClick(&window, Qt::Key_F9);
  EXPECT_FALSE(window.Editor()->GetIndicators());
  QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);  // undoes the last change only
  EXPECT_TRUE(window.Editor()->GetPaused());
  QTest::keyClick(&window, Qt::Key_F7);
  QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_FALSE(window.Editor()->GetMirror());
  window.Item("Delete1")->setEnabled(true);  // the rule runs before the shortcut and disables it
  bool deleted = false;
  QObject::connect(window.Item("Delete1"), &QAction::triggered, [&] { deleted = true; });
  QTest::keyClick(&window, Qt::Key_Delete);
  EXPECT_FALSE(deleted);
  EXPECT_FALSE(window.Item("Delete1")->isEnabled());
}

TEST_F(MainWindowTest, PasteFollowsTheClipboard) {
  window.EditMenuOpen();
  EXPECT_FALSE(window.Item("Paste1")->isEnabled());
  ui.ClipboardPicture = Bitmap(8, 8);
  window.EditMenuOpen();
  EXPECT_TRUE(window.Item("Paste1")->isEnabled());
  QTest::keyClick(&window, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(window.Editor()->Strip->Table.Count, 1);
  window.PopupMenuOpen();
  EXPECT_FALSE(window.Item("Cut2")->isEnabled());  // "End" stays selected
  EXPECT_TRUE(window.Item("Undo2")->isEnabled());
  window.Item("Undo2")->trigger();  // the popup runs its twin's command
  EXPECT_EQ(window.Editor()->Strip->Table.Count, 0);
  QTest::keyClick(&window, Qt::Key_F5);
  EXPECT_TRUE(window.Editor()->GetAutomaticPaste());
  window.PasteSpecialOpen();
  EXPECT_TRUE(window.Item("Automatic1")->isChecked());
  EXPECT_FALSE(window.Item("Animation1")->isEnabled());
}

TEST_F(MainWindowTest, EditingThroughMenusAndKeys) {
  TAnimationEdit& editor = *window.Editor();
  Bitmap strip(30, 10);
  for (int k = 0; k < 3; ++k) {
    FillRect(strip, {k * 10, 0, k * 10 + 10, 10}, static_cast<TColor>(k + 1));
  }
  ui.ClipboardPicture = strip;
  ui.InputAnswers.push_back("3");
  QTest::keyClick(&window, Qt::Key_F4);  // Paste Special > Image Strip
  ASSERT_EQ(editor.Strip->Table.Count, 3);
  QTest::keyClick(&window, Qt::Key_F6);  // Reverse
  const TCellTable& t = editor.Strip->Table;
  EXPECT_EQ(t.CellAt(0).Pixel(0, 0), 3u);
  editor.CellList()->setCurrentRow(0);
  QTest::keyClick(&window, Qt::Key_C, Qt::ControlModifier);  // Copy
  EXPECT_EQ(ui.ClipboardPicture->Width(), 10);
  EXPECT_EQ(ui.ClipboardPicture->Pixel(0, 0), 3u);
  QTest::keyClick(&window, Qt::Key_Delete);
  EXPECT_EQ(editor.Strip->Table.Count, 2);
  window.Item("Clear1")->trigger();
  EXPECT_EQ(editor.Strip->Table.Count, 0);
  QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(editor.Strip->Table.Count, 2);
  EXPECT_TRUE(ui.Messages.empty());  // nothing failed
  window.Item("Reverse1")->setEnabled(true);
  editor.Clear();
  window.Item("Reverse1")->trigger();  // run while unavailable: the error is reported
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "Unexpected error");
}

TEST_F(MainWindowTest, MenuCommandsToggleSettings) {
  window.Item("Transparent1")->trigger();
  EXPECT_FALSE(window.Editor()->GetTransparent());
  window.Item("OnTop1")->trigger();
  EXPECT_TRUE(window.IsOnTop());
  window.Item("OnTop1")->trigger();
  EXPECT_FALSE(window.IsOnTop());
  window.Item("NewInstance1")->trigger();
  EXPECT_EQ(ui.NewInstances, 1);
}

TEST_F(MainWindowTest, ShellBusyDisablesTheMenus) {
  window.SetShellBusy(true);
  EXPECT_TRUE(window.IsShellBusy());
  for (QAction* menu : window.menuBar()->actions()) {
    EXPECT_FALSE(menu->menu()->isEnabled());
  }
  window.SetShellBusy(false);
  EXPECT_TRUE(window.menuBar()->actions()[0]->menu()->isEnabled());
}

TEST_F(MainWindowTest, ClosingHidesDestroysTheEditorAndEnds) {
  window.close();  // the window system's close goes through the same sequence as Exit
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.Editor(), nullptr);
  EXPECT_EQ(ended, 1);
  window.CloseProgram();  // a second request finds nothing left to do
  EXPECT_EQ(ended, 1);
}

TEST_F(MainWindowTest, ExitRunsTheCloseSequence) {
  window.Item("Exit1")->trigger();
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, CtrlQQuitsAsExitDoesAskingAboutUnsavedChanges) {
  Bitmap cell(4, 4);
  window.Editor()->InsertCells(&cell, 1, -1);
  ui.MessageAnswers = {TMessageAnswer::Cancel};
  QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
  ASSERT_EQ(ui.Messages.size(), 1u) << "the question before closing";
  EXPECT_EQ(ended, 0);
  ui.MessageAnswers = {TMessageAnswer::No};
  QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(window.Item("Exit1")->shortcut(), QKeySequence()) << "the menu shows no key";
}

// Puts cells into the editor as a recorded change.
void AddChangedCells(TAnimationEdit& editor, int n) {
  Bitmap strip(n * 4, 4);
  FillRect(strip, strip.Rect(), 0x336699);
  editor.InsertCells(&strip, n, -1);
}

// Opens the File > Open Recent menu as the user does, and the item of that name in it.
QAction* RecentItem(TForm1& window, const char* name) {
  window.OpenRecentMenuOpen();
  return window.findChild<QMenu*>("OpenRecent1")->findChild<QAction*>(name);
}

TEST_F(MainWindowTest, OpenRecentListsTheLastEightNewestFirstAndDropsMissingFiles) {
  const std::string folder = test::FreshFolder("recent");
  AddChangedCells(*window.Editor(), 1);
  for (int i = 1; i <= 10; ++i) {
    ASSERT_TRUE(window.Editor()->SaveToFile(folder + std::to_string(i) + ".san"));
  }
  ASSERT_TRUE(window.Editor()->OpenFile(folder + "5.san"));  // opened again: first once more
  std::vector<std::string> expected = {"5", "10", "9", "8", "7", "6", "4", "3"};
  for (std::string& name : expected) {
    name = folder + name + ".san";
  }
  EXPECT_EQ(window.RecentFiles().Files(), expected);
  EXPECT_EQ(RecentItem(window, "Recent2")->text().toStdString(), "&2 " + folder + "10.san");

  DeleteFile(folder + "10.san");
  RecentItem(window, "Recent2")->trigger();
  ASSERT_EQ(ui.Messages.size(), 1u) << "a short message";
  EXPECT_NE(ui.Messages[0].Text.find("File not found"), std::string::npos);
  EXPECT_EQ(window.RecentFiles().Files().size(), 7u) << "the missing file left the list";

  AddChangedCells(*window.Editor(), 1);  // unsaved: Open Recent asks first, as Open does
  ui.MessageAnswers = {TMessageAnswer::No};
  RecentItem(window, "Recent3")->trigger();
  EXPECT_EQ(window.Editor()->GetFileName(), folder + "8.san");
  EXPECT_EQ(window.RecentFiles().Files().front(), folder + "8.san");

  RecentItem(window, "ClearRecent1")->trigger();
  EXPECT_TRUE(window.RecentFiles().Files().empty());
  EXPECT_FALSE(RecentItem(window, "ClearRecent1")->isEnabled());
  EXPECT_EQ(RecentItem(window, "Recent1"), nullptr);
}

TEST_F(MainWindowTest, TheFileMenuFollowsTheDocument) {
  window.FileMenuOpen();
  for (const char* name : {"New1", "NewInstance1", "Open1", "OpenfromStartButton1", "Exit1"}) {
    EXPECT_TRUE(window.Item(name)->isEnabled()) << name;
  }
  for (const char* name : {"Save1", "SaveAs1", "SavetoStartButton1"}) {
    EXPECT_FALSE(window.Item(name)->isEnabled()) << name;
  }
  AddChangedCells(*window.Editor(), 2);
  window.FileMenuOpen();
  EXPECT_FALSE(window.Item("Save1")->isEnabled());  // untitled
  EXPECT_TRUE(window.Item("SaveAs1")->isEnabled());
  EXPECT_TRUE(window.Item("SavetoStartButton1")->isEnabled());

  const std::string folder = test::FreshFolder("menu");
  ui.FileAnswers.push_back({true, folder + "menu.san", 1});
  QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(FileExists(folder + "menu.san"));
  EXPECT_EQ(window.windowTitle().toStdString(), "menu.san - Torvel");
  window.FileMenuOpen();
  EXPECT_TRUE(window.Item("Save1")->isEnabled());
}

TEST_F(MainWindowTest, FileCommandsThroughTheirKeys) {
  const std::string folder = test::FreshFolder("keys");
  TAnimationEdit& editor = *window.Editor();
  AddChangedCells(editor, 2);
  ui.FileAnswers.push_back({true, folder + "keys", 1});
  QTest::keyClick(&window, Qt::Key_A, Qt::ControlModifier);  // Save As
  ASSERT_TRUE(FileExists(folder + "keys.SAN"));
  const std::string first = test::ReadText(folder + "keys.SAN");

  AddChangedCells(editor, 1);
  QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);  // Save, without a dialog
  EXPECT_EQ(ui.FileRequests.size(), 1u);
  EXPECT_NE(test::ReadText(folder + "keys.SAN"), first);
  EXPECT_FALSE(editor.IsModified());

  AddChangedCells(editor, 1);
  ui.MessageAnswers = {TMessageAnswer::No};
  QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);  // New, after the save question
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "Save Changes to keys.SAN?");
  EXPECT_EQ(editor.Strip->Table.Count, 0);
  EXPECT_EQ(window.windowTitle().toStdString(), "Untitled.san - Torvel");

  ui.FileAnswers.push_back({true, folder + "keys.SAN", 1});
  QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);  // Open
  EXPECT_EQ(editor.Strip->Table.Count, 3);
  EXPECT_EQ(window.windowTitle().toStdString(), "keys.SAN - Torvel");
  window.Item("New1")->trigger();
  window.Item("Open1")->trigger();  // the dialog is cancelled: nothing changes
  EXPECT_EQ(editor.Strip->Table.Count, 0);
  EXPECT_EQ(ui.Messages.size(), 1u);
}

TEST_F(MainWindowTest, StartButtonCommandsUseTheSharedAnimationsFolder) {
  const std::string shared = Paths()->ProgramsCompanyFolder("Animations");
  window.Item("OpenfromStartButton1")->trigger();
  ASSERT_EQ(ui.FileRequests.size(), 1u);
  EXPECT_EQ(ui.FileRequests[0].Kind, TFileDialogKind::Open);
  EXPECT_EQ(ui.FileRequests[0].Folder, shared);
  AddChangedCells(*window.Editor(), 1);
  window.Item("SavetoStartButton1")->trigger();
  ASSERT_EQ(ui.FileRequests.size(), 2u);
  EXPECT_EQ(ui.FileRequests[1].Kind, TFileDialogKind::Save);
  EXPECT_EQ(ui.FileRequests[1].Folder, shared);
  window.EditMenuOpen();
  ASSERT_TRUE(window.Item("ViewFolder1")->isEnabled());
  window.Item("ViewFolder1")->trigger();
  ASSERT_EQ(ui.ShellRequests.size(), 1u);
  EXPECT_EQ(ui.ShellRequests[0].Target, shared);
}

TEST_F(MainWindowTest, F3PastesTheAnimationThatCopyAllLeft) {
  DeleteFile(Paths()->ClipboardObjectFile("SAN"));
  AddChangedCells(*window.Editor(), 2);
  QTest::keyClick(&window, Qt::Key_F3);
  EXPECT_EQ(window.Editor()->Strip->Table.Count, 2);  // nothing to paste yet
  window.PasteSpecialOpen();
  EXPECT_FALSE(window.Item("Animation1")->isEnabled());
  window.Item("CopyAll1")->trigger();
  window.PasteSpecialOpen();
  EXPECT_TRUE(window.Item("Animation1")->isEnabled());
  EXPECT_TRUE(window.Item("Animation2")->isEnabled());
  QTest::keyClick(&window, Qt::Key_F3);
  EXPECT_EQ(window.Editor()->Strip->Table.Count, 4);
  window.Item("Animation2")->trigger();
  EXPECT_EQ(window.Editor()->Strip->Table.Count, 6);
}

TEST_F(MainWindowTest, ClosingWithUnsavedChangesAsksFirst) {
  AddChangedCells(*window.Editor(), 1);
  ui.MessageAnswers = {TMessageAnswer::Cancel};
  window.close();
  EXPECT_TRUE(window.isVisible());
  ASSERT_NE(window.Editor(), nullptr);
  EXPECT_EQ(ended, 0);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "Save Changes to Untitled.san?");
  ui.MessageAnswers = {TMessageAnswer::No};
  window.Item("Exit1")->trigger();
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(window.Editor(), nullptr);
}

TEST_F(MainWindowTest, TheCommandLineFileIsOpenedOrReported) {
  const std::string folder = test::FreshFolder("arguments");
  AddChangedCells(*window.Editor(), 3);
  ASSERT_TRUE(window.Editor()->SaveAnimationFile(folder + "start.san"));
  window.Editor()->New(false);
  const QString previous = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(folder));
  window.OpenCommandLineFile("start.san");
  QDir::setCurrent(previous);
  EXPECT_EQ(window.Editor()->GetFileName(), folder + "start.san");
  EXPECT_EQ(window.Editor()->Strip->Table.Count, 3);
  EXPECT_TRUE(ui.Messages.empty());

  window.OpenCommandLineFile(folder + "missing.san");
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "File not found\r\n" + folder + "missing.san");
  EXPECT_EQ(window.Editor()->Strip->Table.Count, 3);
}

TEST(ProgramCopy, IsRefreshedInTheImageToolsFolder) {
  const std::string source = test::FreshFolder("program") + "torvel";
  test::WriteText(source, "new program");
  TForm1::RefreshProgramCopy(source);
  const std::string copy = Paths()->ProgramsCompanyFolder("Image Tools") + "Torvel.EXE";
  EXPECT_EQ(test::ReadText(copy), "new program");
  test::WriteText(source, "newer");
  TForm1::RefreshProgramCopy(source);
  EXPECT_EQ(test::ReadText(copy), "newer");
}

TEST_F(MainWindowTest, TheEditorsDialogsStartInTheAnimationsFolder) {
  const std::string folder = Paths()->ProgramsCompanyFolder("Animations");
  const TAnimationEdit& editor = *window.Editor();
  EXPECT_EQ(editor.SaveDialogSettings.FileName, folder + "Untitled.san");
  EXPECT_EQ(editor.OpenDialogSettings.FileName, folder);
  EXPECT_EQ(editor.SaveDialogSettings.Filter, "Simple Animation (*.san)|*.san");
  EXPECT_EQ(editor.GetFileName(), folder + "Untitled.san");
}

}  // namespace
}  // namespace torvel
