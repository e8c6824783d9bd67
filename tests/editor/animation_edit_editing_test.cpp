#include <gtest/gtest.h>

#include "editor/editor_fixture.h"

namespace torvel {
namespace {

using test::EditorTest;

// The colour of the cell at a position tells which cell it is.
TColor CellAt(TAnimationEdit& editor, int position) {
  const TCellTable& t = editor.Strip->Table;
  return t.CellAt(position).Pixel(0, 0);
}

std::vector<TColor> Cells(TAnimationEdit& editor) {
  std::vector<TColor> colours;
  for (int p = 0; p < editor.Strip->Table.Count; ++p) {
    colours.push_back(CellAt(editor, p));
  }
  return colours;
}

TEST_F(EditorTest, UndoSwapsASpeedChangeInAndOut) {
  editor->SetInterval(1000);
  editor->SetInterval(250);
  ASSERT_TRUE(editor->Undo());
  EXPECT_EQ(editor->GetInterval(), 1000);
  EXPECT_EQ(editor->SpeedBox()->currentIndex(), 1);
  ASSERT_TRUE(editor->Undo());
  EXPECT_EQ(editor->GetInterval(), 250);
  EXPECT_TRUE(editor->CanUndo());
}

TEST_F(EditorTest, OnlyTheLastChangeIsUndone) {
  AddCells(3);
  editor->CellList()->setCurrentRow(1);
  const TColor deleted = CellAt(*editor, 1);
  ASSERT_TRUE(editor->DeleteCells(false));
  editor->SetTransparent(false);
  ASSERT_TRUE(editor->Undo());
  EXPECT_TRUE(editor->GetTransparent());
  EXPECT_EQ(editor->Strip->Table.Count, 2);
  EXPECT_NE(CellAt(*editor, 1), deleted);
}

TEST_F(EditorTest, UndoOfADeletionBringsTheCellAndSelectionBack) {
  AddCells(3);
  const std::vector<TColor> before = Cells(*editor);
  editor->CellList()->setCurrentRow(2);
  ASSERT_TRUE(editor->DeleteCells(false));
  EXPECT_EQ(editor->Strip->Table.Count, 2);
  ASSERT_TRUE(editor->Undo());
  EXPECT_EQ(Cells(*editor), before);
  EXPECT_EQ(editor->CellList()->currentRow(), 2);
  EXPECT_EQ(editor->CellList()->count(), 4);
}

// The snapshot shares the cells' pictures with the animation: a change makes new pictures and
// never touches those the snapshot holds.
TEST_F(EditorTest, UndoSharesPicturesAndAChangeNeverAltersTheSnapshot) {
  AddCells(2);
  const TCellPicture first = editor->Strip->Table.Cells[editor->Strip->Table.Order[0]];
  Bitmap pasted(20, 10);
  FillRect(pasted, pasted.Rect(), 0x0A0B0C);
  ui.ClipboardPicture = pasted;
  editor->CellList()->setCurrentRow(0);
  ASSERT_TRUE(editor->Paste(false));
  EXPECT_EQ(editor->UndoTable->Cells[editor->UndoTable->Order[0]], first) << "shared, not copied";
  EXPECT_EQ(Cells(*editor), (std::vector<TColor>{0x0A0B0C, 0x203040, 0x406080}));
  ASSERT_TRUE(editor->Undo());
  EXPECT_EQ(Cells(*editor), (std::vector<TColor>{0x203040, 0x406080}));
  ASSERT_TRUE(editor->Undo());  // the paste again
  EXPECT_EQ(Cells(*editor), (std::vector<TColor>{0x0A0B0C, 0x203040, 0x406080}));

  editor->CellList()->setCurrentRow(1);
  ASSERT_TRUE(editor->Reverse());
  ASSERT_TRUE(editor->DeleteCells(false));
  ASSERT_TRUE(editor->Undo());
  EXPECT_EQ(Cells(*editor), (std::vector<TColor>{0x406080, 0x203040, 0x0A0B0C}));
  EXPECT_EQ(first->Pixel(0, 0), 0x203040u) << "no change reached the shared picture";
}

TEST_F(EditorTest, ClearIsUndoneWithoutFlip) {
  AddCells(2);
  editor->SetFlip(true);
  ASSERT_TRUE(editor->Clear());
  EXPECT_FALSE(editor->CanClear());
  EXPECT_FALSE(editor->GetFlip());
  ASSERT_TRUE(editor->Undo());
  EXPECT_EQ(editor->Strip->Table.Count, 2);
  EXPECT_FALSE(editor->GetFlip());
  EXPECT_TRUE(editor->Clear());  // the restored cells clear again
}

TEST_F(EditorTest, ReverseSwapsTwoCellsAndNeedsTwo) {
  AddCells(2);
  const std::vector<TColor> before = Cells(*editor);
  ASSERT_TRUE(editor->Reverse());
  EXPECT_EQ(Cells(*editor), (std::vector<TColor>{before[1], before[0]}));
  ASSERT_TRUE(editor->Undo());
  EXPECT_EQ(Cells(*editor), before);
  editor->CellList()->setCurrentRow(0);
  ASSERT_TRUE(editor->DeleteCells(false));
  EXPECT_FALSE(editor->CanReverse());
  EXPECT_FALSE(editor->Reverse());
  EXPECT_EQ(editor->LastError, "Unexpected error");
}

TEST_F(EditorTest, DraggingMovesACellAndIsRefusedOntoTheEndRow) {
  AddCells(6);
  const std::vector<TColor> before = Cells(*editor);
  editor->CellList()->setCurrentRow(4);    // cell 5
  EXPECT_FALSE(editor->CellDragOver(6));   // "End"
  EXPECT_FALSE(editor->CellDragOver(-1));  // below the last row
  ASSERT_TRUE(editor->CellDragOver(1));
  editor->CellDragDrop(1);
  EXPECT_EQ(Cells(*editor), (std::vector<TColor>{before[0], before[4], before[1], before[2],
                                                 before[3], before[5]}));
  EXPECT_EQ(editor->CellList()->currentRow(), 1);
  ASSERT_TRUE(editor->Undo());
  EXPECT_EQ(Cells(*editor), before);
}

TEST_F(EditorTest, CopyAndCutPutPicturesOnTheClipboard) {
  AddCells(3, 20, 10);
  editor->CellList()->setCurrentRow(3);  // "End"
  EXPECT_FALSE(editor->CanCopy(false));
  EXPECT_TRUE(editor->CanCopy(true));
  ASSERT_TRUE(editor->CopyCells(true));
  ASSERT_TRUE(ui.ClipboardPicture);
  EXPECT_EQ(ui.ClipboardPicture->Width(), 60);
  EXPECT_EQ(ui.ClipboardPicture->Height(), 10);
  editor->CellList()->setCurrentRow(1);
  const TColor second = CellAt(*editor, 1);
  ASSERT_TRUE(editor->DeleteCells(true));
  EXPECT_EQ(ui.ClipboardPicture->Width(), 20);
  EXPECT_EQ(ui.ClipboardPicture->Pixel(0, 0), second);
  EXPECT_EQ(editor->Strip->Table.Count, 2);
}

// A strip wider than other programs take stays off the clipboard; the animation itself still
// goes where Paste Animation finds it, and the user is told once.
TEST_F(EditorTest, CopyAllOfAStripTooWideForOtherProgramsKeepsOnlyTheAnimation) {
  AddCells(17, 2000, 1);  // 34,000 pixels side by side
  ui.ClipboardPicture = Bitmap(1, 1);
  ASSERT_TRUE(editor->CopyCells(true)) << editor->LastError;
  EXPECT_FALSE(ui.ClipboardPicture) << "the clipboard holds nothing stale";
  ASSERT_EQ(ui.Messages.size(), 1u);
  ASSERT_TRUE(editor->CopyCells(true));
  EXPECT_EQ(ui.Messages.size(), 1u) << "said once";
  editor->New(false);
  ASSERT_TRUE(editor->PasteAnimation("SAN")) << editor->LastError;
  EXPECT_EQ(editor->Strip->Table.Count, 17);
  EXPECT_EQ(editor->Strip->Table.CellWidth, 2000);
}

TEST_F(EditorTest, AutomaticPasteDisablesCopyAndCutButNotDelete) {
  AddCells(2);
  editor->CellList()->setCurrentRow(0);
  editor->AutomaticPaste = true;
  EXPECT_FALSE(editor->CanCopy(false));
  EXPECT_FALSE(editor->CanCopy(true));
  EXPECT_FALSE(editor->CanDelete(true));
  EXPECT_TRUE(editor->CanDelete(false));
  EXPECT_FALSE(editor->CopyCells(true));
  EXPECT_EQ(editor->LastError, "Unexpected error");
}

TEST_F(EditorTest, TheCaptionMarksChangesButNotViewSettings) {
  editor->SetBackgroundColor(0x00FF00);
  editor->SetIndicators(false);
  editor->SetPaused(true);
  EXPECT_EQ(owner.windowTitle().toStdString(), "Untitled.san - Torvel");
  EXPECT_FALSE(editor->CanUndo());
  editor->SetTransparent(false);
  EXPECT_EQ(owner.windowTitle().toStdString(), "*Untitled.san - Torvel");
  EXPECT_TRUE(editor->IsModified());
}

TEST_F(EditorTest, NothingToUndoIsAFailure) {
  EXPECT_FALSE(editor->CanUndo());
  EXPECT_FALSE(editor->Undo());
  EXPECT_EQ(editor->LastError, "Unexpected error");
  EXPECT_FALSE(editor->DeleteCells(false));  // only "End" is there
}

}  // namespace
}  // namespace torvel
