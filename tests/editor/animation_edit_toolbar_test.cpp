#include <QTest>
#include <QToolButton>

#include "editor/editor_fixture.h"
#include "editor/toolbar_glyphs.h"
#include "formats/text_picture.h"
#include "platform/error_texts.h"
#include "platform/qt/bitmap_image.h"
#include "support/test_folders.h"
#include "widgets/toolbar.h"

namespace torvel::test {
namespace {

using TCommand = TAnimationEdit::TToolbarCommand;

class ToolbarTest : public EditorTest {
 protected:
  QToolButton* Button(TCommand command) { return editor->Toolbar().GetButton(command); }
  void Click(TCommand command) { QTest::mouseClick(Button(command), Qt::LeftButton); }
  std::vector<bool> Enabled() {
    std::vector<bool> states;
    for (int c = 0; c < TAnimationEdit::kToolbarCommands; ++c) {
      states.push_back(Button(static_cast<TCommand>(c))->isEnabled());
    }
    return states;
  }
};

TEST_F(ToolbarTest, TenButtonsInFourGroupsAlongTheTop) {
  const TToolbar& bar = editor->Toolbar();
  const char* hints[] = {"New",  "Open",     "Save As", "Undo",  "Cut",
                         "Copy", "Copy All", "Paste",   "Pause", "Help"};
  for (int slot = 0; slot < TAnimationEdit::kToolbarCommands; ++slot) {
    ASSERT_TRUE(bar.HasButton(slot));
    EXPECT_EQ(bar.GetItemTag(slot), slot);
    EXPECT_EQ(bar.GetButton(slot)->toolTip().toStdString(), hints[slot]);
    EXPECT_EQ(bar.GetButton(slot)->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(bar.GetButton(slot)->icon().isNull()) << slot;
    EXPECT_EQ(bar.Item(slot).Spacing, slot == 2 || slot >= 7 ? 5 : 0);
  }
  EXPECT_FALSE(bar.HasButton(10));
  EXPECT_EQ(bar.Window()->geometry(), QRect(0, 0, 550, 29));
  EXPECT_EQ(editor->CellsLabel()->y(), 29 + 5);
}

// On a screen scaled by two the buttons show their double-size pictures, not enlarged glyphs.
TEST_F(ToolbarTest, ScaledScreensShowTheDoubleSizePictures) {
  for (int slot = 0; slot < TAnimationEdit::kToolbarCommands; ++slot) {
    const QImage shown =
        Button(static_cast<TCommand>(slot))->icon().pixmap(QSize(20, 20), 2.0).toImage();
    const Bitmap drawn = TextPictureToBitmap(kToolbarLargeGlyphs[slot]);
    ASSERT_EQ(shown.size(), QSize(40, 40)) << slot;
    ASSERT_EQ(drawn.Width(), 40) << slot;
    int same = 0;
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 40; ++x) {
        same += shown.pixelColor(x, y).alpha() == 0 ||
                shown.pixelColor(x, y) == ToQColor(drawn.Pixel(x, y));
      }
    }
    EXPECT_EQ(same, 40 * 40) << slot;
  }
  // A new glyph drops the double-size picture that belonged to the old one.
  TToolbar& bar = editor->Toolbar();
  bar.SetGlyphText(0, kToolbarGlyphs[1]);
  const QImage shown =
      bar.GetButton(0)->icon().pixmap(QSize(20, 20), 2.0).toImage().scaled(QSize(20, 20));
  EXPECT_EQ(shown.pixelColor(4, 4), ToQColor(TextPictureToBitmap(kToolbarGlyphs[1]).Pixel(4, 4)));
}

TEST_F(ToolbarTest, ButtonsFollowTheirRulesAtEveryStatusRefresh) {
  RefreshStatus();
  const std::vector<bool> empty = {true,  true,  false, false, false,
                                   false, false, false, true,  false};
  EXPECT_EQ(Enabled(), empty);
  editor->HelpHandler = [](TAnimationEdit&) { return true; };
  AddCells(2);
  editor->SetInterval(500);  // something to undo
  ui.ClipboardPicture = Bitmap(3, 3);
  RefreshStatus();
  EXPECT_EQ(Enabled(), std::vector<bool>(10, true));
  editor->SetAutomaticPaste(true);  // no clipboard commands but Delete meanwhile
  RefreshStatus();
  const std::vector<bool> automatic = {true,  true,  true,  true, false,
                                       false, false, false, true, true};
  EXPECT_EQ(Enabled(), automatic);
  editor->SetBusy(true);
  EXPECT_EQ(Enabled(), std::vector<bool>(10, false));
  editor->SetBusy(false);
  EXPECT_EQ(Enabled(), automatic);
}

TEST_F(ToolbarTest, PauseStaysDownWhilePaused) {
  Click(TAnimationEdit::kPauseCommand);
  EXPECT_TRUE(editor->GetPaused());
  EXPECT_TRUE(Button(TAnimationEdit::kPauseCommand)->isChecked());
  Click(TAnimationEdit::kPauseCommand);
  EXPECT_FALSE(editor->GetPaused());
  EXPECT_FALSE(Button(TAnimationEdit::kPauseCommand)->isChecked());
  editor->SetPaused(true);  // from the menu or the status panel: the button follows
  EXPECT_TRUE(Button(TAnimationEdit::kPauseCommand)->isChecked());
}

TEST_F(ToolbarTest, ButtonsRunTheirCommands) {
  AddCells(3);
  editor->CellList()->setCurrentRow(1);
  RefreshStatus();
  Click(TAnimationEdit::kCopyCommand);
  ASSERT_TRUE(ui.ClipboardPicture.has_value());
  EXPECT_EQ(ui.ClipboardPicture->Width(), 20);
  Click(TAnimationEdit::kCutCommand);
  EXPECT_EQ(editor->Strip->Table.Count, 2);
  RefreshStatus();
  Click(TAnimationEdit::kUndoCommand);
  EXPECT_EQ(editor->Strip->Table.Count, 3);
  Click(TAnimationEdit::kCopyAllCommand);
  EXPECT_EQ(ui.ClipboardPicture->Width(), 60);
  RefreshStatus();
  Click(TAnimationEdit::kPasteCommand);
  EXPECT_EQ(editor->Strip->Table.Count, 4);

  const std::string folder = FreshFolder("toolbar");
  ui.FileAnswers.push_back({true, folder + "bar.san", 1});
  Click(TAnimationEdit::kSaveAsCommand);
  EXPECT_EQ(editor->GetFileName(), folder + "bar.san");
  ui.FileAnswers.push_back({true, folder + "bar.san", 1});
  Click(TAnimationEdit::kOpenCommand);
  EXPECT_EQ(editor->Strip->Table.Count, 4);
  Click(TAnimationEdit::kNewCommand);
  EXPECT_EQ(editor->Strip->Table.Count, 0);
  EXPECT_TRUE(ui.Messages.empty());  // nothing was unsaved, nothing failed

  int helped = 0;
  editor->HelpHandler = [&](TAnimationEdit&) { return ++helped > 0; };
  RefreshStatus();
  Click(TAnimationEdit::kHelpCommand);
  EXPECT_EQ(helped, 1);
}

TEST_F(ToolbarTest, AFailingCommandShowsOneErrorBox) {
  AddCells(1);
  RefreshStatus();
  ui.FileAnswers.push_back({true, "/no/such/folder/x.san", 1});
  Click(TAnimationEdit::kSaveAsCommand);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text,
            std::string(kPathNotFound) + "\r\n/no/such/folder/x.san: No such file or directory");
  EXPECT_EQ(ui.Messages[0].Icon, TMessageIcon::Error);
}

}  // namespace
}  // namespace torvel::test
