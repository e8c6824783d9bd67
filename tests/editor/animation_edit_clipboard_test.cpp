#include <gtest/gtest.h>

#include "editor/editor_fixture.h"
#include "platform/files.h"
#include "support/test_folders.h"
#include "support/tiny_gif.h"

namespace torvel {
namespace {

using test::EditorTest;

Bitmap Plain(int w, int h, TColor color) {
  Bitmap picture(w, h);
  FillRect(picture, picture.Rect(), color);
  return picture;
}

// Pieces of `width` pixels in colours 1, 2, 3, ...
Bitmap Strip(int pieces, int width, int height) {
  Bitmap picture(pieces * width, height);
  for (int k = 0; k < pieces; ++k) {
    FillRect(picture, {k * width, 0, (k + 1) * width, height}, static_cast<TColor>(k + 1));
  }
  return picture;
}

TColor CellAt(TAnimationEdit& editor, int position) {
  const TCellTable& t = editor.Strip->Table;
  return t.CellAt(position).Pixel(0, 0);
}

TEST_F(EditorTest, PasteMakesACellAndLaterPicturesAreStretched) {
  EXPECT_FALSE(editor->CanPaste());
  EXPECT_FALSE(editor->Paste(false));
  EXPECT_EQ(editor->LastError, "Unexpected error");
  ui.ClipboardPicture = Plain(100, 80, 0x0000FF);
  ASSERT_TRUE(editor->Paste(false));
  ui.ClipboardPicture = Plain(50, 50, 0x00FF00);
  ASSERT_TRUE(editor->Paste(false));
  const TCellTable& t = editor->Strip->Table;
  EXPECT_EQ(t.Count, 2);
  EXPECT_EQ(t.CellWidth, 100);
  EXPECT_EQ(t.CellHeight, 80);
  EXPECT_EQ(CellAt(*editor, 1), 0x00FF00u);
  EXPECT_EQ(owner.windowTitle().toStdString(), "*Untitled.san - Torvel");
  ASSERT_TRUE(editor->Undo());  // takes the second paste back
  EXPECT_EQ(t.Count, 1);
}

// A picture with transparent parts comes from the desktop with a key colour of its own, as an
// opened file's frames do: a new animation of it is transparent, one that has cells keeps its
// setting, and the key stays the cell's colour.
TEST_F(EditorTest, APastedPictureWithTransparentPartsMakesANewAnimationTransparent) {
  const auto keyed = [](TColor key, TColor visible) {
    Bitmap picture = Plain(8, 8, key);
    FillRect(picture, {2, 2, 6, 6}, visible);
    picture.Transparent = true;
    picture.TransparentColor = key;
    return picture;
  };
  editor->SetTransparent(false);
  ui.ClipboardPicture = keyed(0x00FF00, 0x0000FF);
  ASSERT_TRUE(editor->Paste(false));
  EXPECT_TRUE(editor->GetTransparent());
  EXPECT_EQ(CellAt(*editor, 0), 0x00FF00u);
  ASSERT_TRUE(editor->Clear());
  editor->SetTransparent(false);
  ui.ClipboardPicture = Plain(8, 8, 0x0000FF);
  ASSERT_TRUE(editor->Paste(false));
  ui.ClipboardPicture = keyed(0x00FF00, 0x0000FF);
  ASSERT_TRUE(editor->Paste(false));
  EXPECT_FALSE(editor->GetTransparent());  // added to an animation: its setting stands
  ASSERT_TRUE(editor->Clear());
  ui.ClipboardPicture = keyed(0x00FF00, 0x0000FF);
  ui.ClipboardPicture->SetPixel(0, 0, 0xFFFFFF);  // the top left shows: keying it would hide it
  ASSERT_TRUE(editor->Paste(false));
  EXPECT_FALSE(editor->GetTransparent());
}

TEST_F(EditorTest, ImageStripsAreCutIntoTheCountTyped) {
  ui.ClipboardPicture = Strip(10, 10, 5);
  ui.ClipboardPicture->Resize(103, 5);  // three columns too many
  ui.InputAnswers.push_back("10");
  ASSERT_TRUE(editor->Paste(true));
  EXPECT_EQ(editor->Strip->Table.Count, 10);
  EXPECT_EQ(editor->Strip->Table.CellWidth, 10);
  EXPECT_EQ(CellAt(*editor, 9), 10u);
}

TEST_F(EditorTest, TheImageStripQuestionProposesACount) {
  ui.ClipboardPicture = Strip(4, 120, 5);   // 480 wide: the smallest divisor is 2
  ui.InputAnswers.push_back(std::nullopt);  // cancelled
  EXPECT_TRUE(editor->Paste(true));
  ASSERT_EQ(ui.InputRequests.size(), 1u);
  EXPECT_EQ(ui.InputRequests[0].Caption, "Image Strip");
  EXPECT_EQ(ui.InputRequests[0].Prompt, "Type number of image strip cells/frames (1-480)");
  EXPECT_EQ(ui.InputRequests[0].Initial, "2");
  EXPECT_EQ(editor->Strip->Table.Count, 0);
  EXPECT_FALSE(editor->CanUndo());  // nothing happened
  ui.InputAnswers.push_back("4");
  ASSERT_TRUE(editor->Paste(true));
  EXPECT_EQ(editor->Strip->Table.CellWidth, 120);
  ui.ClipboardPicture = Strip(1, 30000, 1);  // with cells: as many of their size as fit
  ui.InputAnswers.push_back(std::nullopt);
  editor->Paste(true);
  EXPECT_EQ(ui.InputRequests.back().Initial, "250");
  EXPECT_EQ(ui.InputRequests.back().Prompt, "Type number of image strip cells/frames (1-21,846)");
}

TEST_F(EditorTest, ImageStripCountsOutOfRangeAreClamped) {
  for (const char* typed : {"0", "-3", "many"}) {
    editor->ResetCells();
    ui.ClipboardPicture = Strip(2, 4, 4);
    ui.InputAnswers.push_back(typed);
    ASSERT_TRUE(editor->Paste(true)) << typed;
    EXPECT_EQ(editor->Strip->Table.Count, 1) << typed;
    editor->Strip->Clear();
  }
  editor->ResetCells();
  ui.ClipboardPicture = Strip(1, 12, 3);
  ui.InputAnswers.push_back("500");
  ASSERT_TRUE(editor->Paste(true));
  EXPECT_EQ(editor->Strip->Table.Count, 12);  // one cell per pixel column
}

TEST_F(EditorTest, PastedCellsGoToTheSelectedRowWhichKeepsItsSelection) {
  AddCells(5);
  editor->CellList()->setCurrentRow(2);
  const TColor former = CellAt(*editor, 2);
  ui.ClipboardPicture = Strip(3, 20, 10);
  ui.InputAnswers.push_back("3");
  ASSERT_TRUE(editor->Paste(true));
  EXPECT_EQ(CellAt(*editor, 2), 1u);
  EXPECT_EQ(CellAt(*editor, 4), 3u);
  EXPECT_EQ(CellAt(*editor, 5), former);
  EXPECT_EQ(editor->CellList()->currentRow(), 5);
  editor->CellList()->setCurrentRow(8);  // "End"
  ASSERT_TRUE(editor->Paste(false));
  EXPECT_EQ(editor->CellList()->currentRow(), 9);  // still "End"
  EXPECT_EQ(editor->Strip->Table.Count, 9);
}

TEST_F(EditorTest, AStripBeyondCapacityReportsTheAcceptedCount) {
  ui.ClipboardPicture = Plain(1, 1, kBlack);
  ASSERT_TRUE(editor->Paste(false));
  ui.ClipboardPicture = Strip(TCellTable::kSlots, 1, 1);
  ui.InputAnswers.push_back(std::to_string(TCellTable::kSlots));
  EXPECT_FALSE(editor->Paste(true));
  EXPECT_EQ(editor->LastError, "21845 of 21846 cells accepted.\r\nCapacity reached");
  EXPECT_EQ(editor->Strip->Table.Count, TCellTable::kSlots);
  ASSERT_TRUE(editor->Undo());
  EXPECT_EQ(editor->Strip->Table.Count, 1);
}

// A dropped animation longer than the room left adds the cells that fit, in one Undo, and says
// how many of how many it took.
TEST_F(EditorTest, ADroppedAnimationBeyondTheRoomAddsTheCellsThatFit) {
  ui.ClipboardPicture = Plain(1, 1, kBlack);
  ASSERT_TRUE(editor->Paste(false));
  const std::string gif = test::FreshFolder("long-drop") + "long.gif";
  const std::vector<uint8_t> bytes = test::TinyGif(TCellTable::kSlots + 4);
  ASSERT_TRUE(WriteFileSafely(gif, bytes.data(), bytes.size()));
  EXPECT_FALSE(editor->PastePictureFiles({gif}));
  EXPECT_EQ(editor->LastError, "21845 of 21850 cells accepted.\r\nCapacity reached");
  EXPECT_EQ(editor->Strip->Table.Count, TCellTable::kSlots);
  ASSERT_TRUE(editor->Undo());
  EXPECT_EQ(editor->Strip->Table.Count, 1);
}

TEST_F(EditorTest, HugePicturesAreRefusedBeforeTheyAreRead) {
  // The scripted clipboard reports the size it is told; the picture itself stays small.
  struct THuge : test::TScriptedPlatformUi {
    bool ClipboardPictureSize(TSize& size) override {
      size = {100000, 100000};
      return true;
    }
    bool ReadClipboardPicture(Bitmap&) override {
      ++Reads;
      return false;
    }
    int Reads = 0;
  } huge;
  huge.ClipboardPicture = Plain(1, 1, kBlack);
  EXPECT_FALSE(editor->Paste(false));
  EXPECT_EQ(editor->LastError, "Capacity reached");
  EXPECT_EQ(huge.Reads, 0);
}

TEST_F(EditorTest, AutomaticPasteTakesEachNewPictureInTurn) {
  ui.ClipboardPicture = Plain(4, 4, 0x111111);
  editor->StatusPanelClick(TAnimationEdit::kAutoPastePanel);
  EXPECT_TRUE(editor->GetAutomaticPaste());
  EXPECT_FALSE(ui.ClipboardPicture);  // emptied when switched on
  EXPECT_FALSE(editor->CanPaste());
  for (TColor colour : {0x0000AAu, 0x00BB00u, 0xCC0000u}) {
    ui.ClipboardPicture = Plain(4, 4, colour);
    RefreshStatus();
    EXPECT_FALSE(ui.ClipboardPicture);  // taken and emptied
  }
  ASSERT_EQ(editor->Strip->Table.Count, 3);
  EXPECT_EQ(CellAt(*editor, 0), 0x0000AAu);
  EXPECT_EQ(CellAt(*editor, 2), 0xCC0000u);
  EXPECT_EQ(owner.windowTitle().toStdString(), "*Untitled.san - Torvel");
  editor->StatusPanelClick(TAnimationEdit::kAutoPastePanel);
  EXPECT_FALSE(editor->GetAutomaticPaste());
}

TEST_F(EditorTest, AutomaticPasteSaysOnceWhenTheDesktopHidesTheClipboardWithoutFocus) {
  editor->SetAutomaticPaste(true);
  EXPECT_TRUE(ui.Messages.empty()) << "the clipboard is seen whatever has the focus";
  editor->SetAutomaticPaste(false);
  ui.ClipboardSeenWithoutFocus = false;
  for (int i = 0; i < 2; ++i) {
    editor->SetAutomaticPaste(true);
    EXPECT_TRUE(editor->GetAutomaticPaste()) << "it still works while Torvel has the focus";
    editor->SetAutomaticPaste(false);
  }
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Icon, TMessageIcon::Information);
  EXPECT_NE(ui.Messages[0].Text.find("only while"), std::string::npos);
}

TEST_F(EditorTest, AutomaticPasteTakesNoPictureTwiceFromAClipboardThatStaysFull) {
  ui.ClipboardKeepsItsPicture = true;
  ui.ClipboardPicture = Plain(4, 4, 0x111111);  // copied before automatic paste began
  editor->SetAutomaticPaste(true);
  RefreshStatus();
  EXPECT_EQ(editor->Strip->Table.Count, 0);
  for (TColor colour : {0x0000AAu, 0x00BB00u}) {
    ui.ClipboardPicture = Plain(4, 4, colour);
    RefreshStatus();
    RefreshStatus();  // the same picture still there
  }
  ASSERT_EQ(editor->Strip->Table.Count, 2);
  EXPECT_EQ(CellAt(*editor, 1), 0x00BB00u);
  ui.ClipboardPicture.reset();
  RefreshStatus();
  ui.ClipboardPicture = Plain(4, 4, 0x00BB00u);  // copied anew after the clipboard changed
  RefreshStatus();
  EXPECT_EQ(editor->Strip->Table.Count, 3);
}

TEST_F(EditorTest, AutomaticPasteIntoAFullStoreStopsWithOneError) {
  ui.ClipboardPicture = Strip(TCellTable::kSlots, 1, 1);
  ui.InputAnswers.push_back(std::to_string(TCellTable::kSlots));
  ASSERT_TRUE(editor->Paste(true));
  editor->SetAutomaticPaste(true);
  ui.ClipboardPicture = Plain(1, 1, kWhite);
  RefreshStatus();
  EXPECT_FALSE(editor->GetAutomaticPaste());
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "Capacity reached");
  RefreshStatus();
  EXPECT_EQ(ui.Messages.size(), 1u);
}

TEST_F(EditorTest, AutomaticPasteWaitsWhileAnotherOperationIsBusy) {
  editor->SetAutomaticPaste(true);
  ui.ClipboardPicture = Plain(4, 4, 0x123456);
  editor->SetBusy(true);
  RefreshStatus();
  EXPECT_EQ(editor->Strip->Table.Count, 0);
  editor->SetBusy(false);
  RefreshStatus();
  EXPECT_EQ(editor->Strip->Table.Count, 1);
}

TEST_F(EditorTest, InsertCellsRefusesNoCells) {
  Bitmap picture = Plain(4, 4, kBlack);
  EXPECT_EQ(editor->InsertCells(&picture, 0, -1), 0);
  EXPECT_EQ(editor->LastError, "Index out of range");
  EXPECT_FALSE(editor->CanUndo());
}

}  // namespace
}  // namespace torvel
