#include <sys/stat.h>

#include "cells/animation_io.h"
#include "editor/editor_fixture.h"
#include "platform/error_texts.h"
#include "platform/files.h"
#include "services/property_stream.h"
#include "services/services.h"
#include "services/zlib_codec.h"
#include "support/file_helpers.h"
#include "support/file_size_limit.h"
#include "support/test_folders.h"

namespace torvel::test {
namespace {

class DocumentTest : public EditorTest {
 protected:
  // Makes a recorded change, as the user's edits do.
  void Change() { editor->SetInterval(editor->GetInterval() == 500 ? 250 : 500); }

  // A file of n cells of w x h saved by another editor, with its settings.
  std::string SaveOther(const std::string& path, int n, int w, int h, int interval,
                        bool flip = false) {
    TAnimationStrip other;
    Bitmap strip(n * w, h);
    for (int k = 0; k < n; ++k) {
      FillRect(strip, {k * w, 0, (k + 1) * w, h}, static_cast<TColor>(0x0F0F0F * (k + 2)));
    }
    EXPECT_EQ(other.AddCells(&strip, n, -1), n);
    other.SetInterval(interval);
    other.Table.Flip = flip;
    TMemoryStream bytes;
    std::string error;
    EXPECT_TRUE(WriteAnimation(other.Table, bytes, error)) << error;
    EXPECT_TRUE(WriteFileSafely(path, bytes.Bytes().data(), bytes.Bytes().size()));
    return path;
  }

  TColor CellColour(int position) {
    const TCellTable& t = editor->Strip->Table;
    return t.CellAt(position).Pixel(0, 0);
  }

  void AnswerFileDialog(const std::string& path) { ui.FileAnswers.push_back({true, path, 1}); }

  std::string folder = FreshFolder("documents");
};

TEST_F(DocumentTest, SavedAnimationsOpenWithTheirCellsAndSettings) {
  AddCells(3, 8, 6);
  editor->Strip->MoveCell(0, 2);
  editor->SetInterval(100);
  editor->SetTransparent(false);
  editor->SetMirror(true);
  editor->Strip->Table.pF = 7;
  editor->Strip->Table.pSV = -9;
  const TColor first = CellColour(0), last = CellColour(2);
  ASSERT_TRUE(editor->SaveAnimationFile(folder + "walk.san")) << editor->LastError;

  editor->New(false);
  editor->SetTransparent(true);
  ASSERT_TRUE(editor->LoadAnimationFile(folder + "walk.san", false)) << editor->LastError;
  const TCellTable& table = editor->Strip->Table;
  EXPECT_EQ(table.Count, 3);
  EXPECT_EQ(table.CellWidth, 8);
  EXPECT_EQ(table.CellHeight, 6);
  EXPECT_EQ(CellColour(0), first);
  EXPECT_EQ(CellColour(2), last);
  EXPECT_EQ(editor->GetInterval(), 100);
  EXPECT_FALSE(editor->GetTransparent());
  EXPECT_TRUE(editor->GetMirror());
  EXPECT_EQ(table.pF, 7);
  EXPECT_EQ(table.pSV, -9);
  // The controls show what was loaded.
  EXPECT_EQ(editor->SpeedBox()->currentIndex(), TAnimationEdit::SpeedIndexOf(100));
  EXPECT_FALSE(editor->TransparentBox()->isChecked());
  EXPECT_TRUE(editor->MirrorBox()->isChecked());
  EXPECT_EQ(editor->CellList()->count(), 4);
}

TEST_F(DocumentTest, FilesThatCannotBeLoadedLeaveTheAnimationAsItWas) {
  AddCells(2);
  editor->OpenFile(SaveOther(folder + "named.san", 1, 4, 4, 0));
  AddCells(1);
  Change();
  const TUndoKind undoKind = editor->UndoKind;
  WriteText(folder + "garbage.san", "TPF0 this is not an animation");
  TSAN noWidth;
  ASSERT_TRUE(ZlibCompress(EncodeBmp(Bitmap(20, 1)), 1, noWidth.pI));
  TMemoryStream noWidthBytes;
  ASSERT_TRUE(WriteSanRecord(noWidthBytes, noWidth));
  WriteFileSafely(folder + "nowidth.san", noWidthBytes.Bytes().data(), noWidthBytes.Bytes().size());
  TSAN noPicture;
  noPicture.pW = 4;
  TMemoryStream noPictureBytes;
  ASSERT_TRUE(WriteSanRecord(noPictureBytes, noPicture));
  WriteFileSafely(folder + "nopicture.san", noPictureBytes.Bytes().data(),
                  noPictureBytes.Bytes().size());

  const std::pair<std::string, std::string> cases[] = {{"missing.san", kFileNotFound},
                                                       {"garbage.san", kUnsupportedFormat},
                                                       {"nowidth.san", kUnsupportedFormat},
                                                       {"nopicture.san", kUnsupportedFormat}};
  for (const auto& [name, error] : cases) {
    EXPECT_FALSE(editor->OpenFile(folder + name)) << name;
    EXPECT_EQ(editor->LastError, error + "\r\n" + folder + name);
    EXPECT_EQ(editor->Strip->Table.Count, 2) << name;
    EXPECT_EQ(editor->GetDisplayName(), "named.san") << name;
    EXPECT_TRUE(editor->IsNamed()) << name;
    EXPECT_TRUE(editor->IsModified()) << name;
    EXPECT_EQ(editor->UndoKind, undoKind) << name;
  }
}

// The cells that fit open as a new animation beside the file, which Save never writes over.
TEST_F(DocumentTest, AFileWithMoreCellsThanFitOpensWithThoseThatDo) {
  TSAN tooMany;
  tooMany.pW = 1;
  tooMany.pD = 100;
  ASSERT_TRUE(ZlibCompress(EncodeBmp(Bitmap(TCellTable::kSlots + 4, 1)), 1, tooMany.pI));
  TMemoryStream bytes;
  ASSERT_TRUE(WriteSanRecord(bytes, tooMany));
  const std::string file = folder + "many.san";
  WriteFileSafely(file, bytes.Bytes().data(), bytes.Bytes().size());
  ASSERT_TRUE(editor->OpenFile(file)) << editor->LastError;
  EXPECT_EQ(editor->Strip->Table.Count, TCellTable::kSlots);
  EXPECT_EQ(editor->GetInterval(), 100);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "21846 of 21850 cells accepted.\r\nCapacity reached");
  EXPECT_TRUE(editor->IsModified());
  EXPECT_FALSE(editor->CanSave()) << "Save As asks for a name first";
  EXPECT_FALSE(editor->CanUndo());
}

// Full-HD cells make a long save and a long open: the progress window shows, and Cancel leaves
// the file and the animation as they were, without an error.
TEST_F(DocumentTest, LongSavesAndOpensShowProgressAndCanBeCancelled) {
  const auto addScreenshots = [&](int n) {
    for (int k = 0; k < n; ++k) {
      Bitmap cell(1920, 1080);
      FillRect(cell, {k, k, 900, 700}, static_cast<TColor>(0x102030 * (k + 1)));
      ASSERT_EQ(editor->Strip->AddCells(&cell, 1, -1), 1);
    }
  };
  const std::string file = folder + "hd.san";
  editor->ProgressDelayMs = 0;
  addScreenshots(6);
  ASSERT_TRUE(editor->SaveToFile(file)) << editor->LastError;
  EXPECT_EQ(ui.ProgressWindows, 1);
  EXPECT_EQ(ui.ProgressCaption, "Torvel");  // the program's name, not its file's
  EXPECT_FALSE(editor->IsModified());

  addScreenshots(2);
  Change();
  ui.CancelProgressAt = ui.ProgressUpdates + 1;
  EXPECT_TRUE(editor->SaveToFile(file));
  EXPECT_TRUE(editor->IsModified());
  EXPECT_TRUE(ui.Messages.empty()) << "a cancel is no error";

  editor->New(false);
  ui.CancelProgressAt = ui.ProgressUpdates + 1;
  EXPECT_TRUE(editor->OpenFile(file));
  EXPECT_EQ(editor->Strip->Table.Count, 0) << "the open was cancelled";
  ui.CancelProgressAt.reset();
  ASSERT_TRUE(editor->OpenFile(file)) << editor->LastError;
  EXPECT_EQ(editor->Strip->Table.Count, 6) << "the cancelled save left the file as it was";
  EXPECT_EQ(editor->Strip->Table.CellWidth, 1920);
}

TEST_F(DocumentTest, AppendingInsertsAtTheSelectionAndKeepsTheSettings) {
  AddCells(2, 10, 10);
  editor->SetInterval(500);
  editor->SelectCell(1);
  editor->CellList()->setCurrentRow(1);
  const std::string file = SaveOther(folder + "two.san", 2, 20, 30, 100, true);
  ASSERT_TRUE(editor->LoadAnimationFile(file, true)) << editor->LastError;
  const TCellTable& table = editor->Strip->Table;
  EXPECT_EQ(table.Count, 4);
  EXPECT_EQ(table.CellWidth, 10);  // stretched to the store's size
  EXPECT_EQ(CellColour(1), static_cast<TColor>(0x0F0F0F * 2));
  EXPECT_EQ(CellColour(2), static_cast<TColor>(0x0F0F0F * 3));
  EXPECT_EQ(editor->GetInterval(), 500);
  EXPECT_FALSE(editor->GetFlip());
  EXPECT_EQ(editor->CellList()->currentRow(), 3);
  // One Undo takes the whole insertion back.
  ASSERT_TRUE(editor->Undo());
  EXPECT_EQ(editor->Strip->Table.Count, 2);
}

TEST_F(DocumentTest, NewAsksAboutChangesAndStaysInTheDocumentsFolder) {
  AddCells(1);
  Change();
  ui.MessageAnswers = {TMessageAnswer::Cancel};
  EXPECT_TRUE(editor->New(true));
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "Save Changes to Untitled.san?");
  EXPECT_EQ(ui.Messages[0].Buttons, TMessageButtons::YesNoCancel);
  EXPECT_EQ(ui.Messages[0].Icon, TMessageIcon::Warning);
  EXPECT_EQ(editor->Strip->Table.Count, 1);
  EXPECT_TRUE(editor->IsModified());

  // Open asks too, once the file is chosen: cancelled, nothing changes; answered No, the
  // changes are dropped for the file.
  AnswerFileDialog(SaveOther(folder + "walk.san", 2, 5, 5, 0));
  ui.MessageAnswers = {TMessageAnswer::Cancel};
  ASSERT_TRUE(editor->Open(""));
  EXPECT_EQ(ui.Messages.size(), 2u);
  EXPECT_EQ(editor->Strip->Table.Count, 1);
  EXPECT_TRUE(editor->IsModified());
  AnswerFileDialog(folder + "walk.san");
  ui.MessageAnswers = {TMessageAnswer::No};
  ASSERT_TRUE(editor->Open(""));
  EXPECT_EQ(ui.Messages.size(), 3u);
  EXPECT_TRUE(editor->IsNamed());
  EXPECT_FALSE(editor->IsModified());
  EXPECT_FALSE(editor->CanUndo());
  EXPECT_EQ(editor->GetFileName(), folder + "walk.san");
  EXPECT_EQ(editor->Window()->parentWidget()->windowTitle().toStdString(), "walk.san - Torvel");

  ASSERT_TRUE(editor->New(true));
  EXPECT_EQ(editor->GetFileName(), folder + "Untitled.san");
  EXPECT_EQ(editor->GetDisplayName(), "Untitled.san");
  EXPECT_FALSE(editor->IsNamed());
  EXPECT_FALSE(editor->IsModified());
  EXPECT_FALSE(editor->CanSave());
  EXPECT_FALSE(editor->CanSaveAs());
  EXPECT_EQ(editor->Strip->Table.Count, 0);
  EXPECT_EQ(editor->OpenDialogSettings.FileName, folder);
}

TEST_F(DocumentTest, TheOpenDialogStartsInTheDocumentsFolderOrTheOneAsked) {
  const std::string other = FreshFolder("other");
  EXPECT_TRUE(editor->Open(other));  // cancelled
  ASSERT_EQ(ui.FileRequests.size(), 1u);
  EXPECT_EQ(ui.FileRequests[0].Kind, TFileDialogKind::Open);
  EXPECT_EQ(ui.FileRequests[0].Folder, other);
  EXPECT_EQ(ui.FileRequests[0].FileName, "");
  EXPECT_EQ(editor->Strip->Table.Count, 0);
}

TEST_F(DocumentTest, SaveAsForcesTheExtensionAndAsksBeforeReplacing) {
  AddCells(2);
  Change();
  AnswerFileDialog(folder + "walk.bmp");
  ASSERT_TRUE(editor->SaveAs("")) << editor->LastError;
  EXPECT_TRUE(FileExists(folder + "walk.SAN"));
  EXPECT_FALSE(FileExists(folder + "walk.bmp"));
  EXPECT_EQ(editor->GetDisplayName(), "walk.SAN");
  EXPECT_TRUE(editor->IsNamed());
  EXPECT_FALSE(editor->IsModified());
  EXPECT_TRUE(editor->CanSave());
  EXPECT_EQ(ui.FileRequests.back().Kind, TFileDialogKind::Save);
  EXPECT_EQ(ui.FileRequests.back().FileName, "Untitled.san");

  // Replacing: No shows the dialog again, Yes overwrites.
  AddCells(1);
  AnswerFileDialog(folder + "walk");
  AnswerFileDialog(folder + "walk.SAN");
  ui.MessageAnswers = {TMessageAnswer::No, TMessageAnswer::Yes};
  ASSERT_TRUE(editor->SaveAs(""));
  ASSERT_EQ(ui.Messages.size(), 2u);
  EXPECT_EQ(ui.Messages[0].Text,
            folder + "walk.SAN\nThis file already exists.\n\n" + "Replace existing file?");
  EXPECT_EQ(ui.Messages[0].Buttons, TMessageButtons::YesNo);
  EXPECT_EQ(editor->GetFileName(), folder + "walk.SAN");
  TAnimationContents saved;
  auto file = TFileStream::Open(folder + "walk.SAN", TFileStream::TMode::Read);
  std::string error;
  ASSERT_TRUE(ReadAnimation(*file, saved, error));
  EXPECT_EQ(saved.CellCount(), 3);

  EXPECT_EQ(TAnimationEdit::ForceExtension("/a.b/walk", 1), "/a.b/walk.SAN");
  EXPECT_EQ(TAnimationEdit::ForceExtension("/a/walk.San", 1), "/a/walk.San");
  EXPECT_EQ(TAnimationEdit::ForceExtension("/a/walk.tar.gz", 1), "/a/walk.tar.SAN");
}

TEST_F(DocumentTest, SaveNeedsANamedDocumentWithCells) {
  EXPECT_FALSE(editor->CanSave());
  EXPECT_FALSE(editor->SaveAs(""));
  EXPECT_EQ(editor->LastError, kUnexpectedError);
  EXPECT_TRUE(ui.FileRequests.empty());
  AddCells(1);
  EXPECT_FALSE(editor->CanSave());
  EXPECT_TRUE(editor->CanSaveAs());
  AnswerFileDialog(folder + "one.san");
  ASSERT_TRUE(editor->SaveAs(""));
  Change();
  EXPECT_TRUE(editor->CanSave());
  ASSERT_TRUE(editor->Save()) << editor->LastError;
  EXPECT_FALSE(editor->IsModified());
  ASSERT_TRUE(editor->Undo());  // undoing does not count as a change
  EXPECT_FALSE(editor->IsModified());
  EXPECT_EQ(editor->Window()->parentWidget()->windowTitle().toStdString(), "one.san - Torvel");
}

TEST_F(DocumentTest, TheCloseQuestionSavesDiscardsOrCancels) {
  EXPECT_TRUE(editor->QueryClose());  // nothing changed: no question
  EXPECT_TRUE(ui.Messages.empty());
  AddCells(1);
  Change();
  ui.MessageAnswers = {TMessageAnswer::Yes};  // and then the Save As dialog is cancelled
  EXPECT_FALSE(editor->QueryClose());
  EXPECT_TRUE(editor->IsModified());
  ui.MessageAnswers = {TMessageAnswer::Cancel};
  EXPECT_FALSE(editor->QueryClose());
  ui.MessageAnswers = {TMessageAnswer::Yes};
  AnswerFileDialog(folder + "kept.san");
  EXPECT_TRUE(editor->QueryClose());
  EXPECT_TRUE(FileExists(folder + "kept.san"));
  Change();
  ui.MessageAnswers = {TMessageAnswer::No};
  EXPECT_TRUE(editor->QueryClose());
  EXPECT_FALSE(editor->IsModified());
  EXPECT_EQ(editor->Strip->Table.Count, 1);  // the changes stay
}

TEST_F(DocumentTest, AFailedSaveFromTheCloseQuestionIsShown) {
  AddCells(1);
  Change();
  ui.MessageAnswers = {TMessageAnswer::Yes, TMessageAnswer::Ok};
  AnswerFileDialog(folder + "no such folder/x.san");
  EXPECT_FALSE(editor->QueryClose());
  ASSERT_EQ(ui.Messages.size(), 2u);
  EXPECT_EQ(ui.Messages[1].Text, std::string(kPathNotFound) + "\r\n" + folder +
                                     "no such folder/x.san: No such file or directory");
  EXPECT_TRUE(editor->IsModified());
}

TEST_F(DocumentTest, SavingReplacesAReadOnlyFile) {
  AddCells(2);
  WriteText(folder + "locked.san", "old");
  ASSERT_EQ(::chmod((folder + "locked.san").c_str(), 0444), 0);
  ASSERT_TRUE(editor->SaveAnimationFile(folder + "locked.san")) << editor->LastError;
  EXPECT_NE(ReadText(folder + "locked.san"), "old");
}

TEST_F(DocumentTest, AFailedWriteKeepsThePreviousFile) {
  // Noise does not compress, so the file is far larger than the limit set below.
  Bitmap noise(200, 100);
  uint32_t seed = 1;
  for (int y = 0; y < noise.Height(); ++y) {
    for (int x = 0; x < noise.Width(); ++x) {
      seed = seed * 1664525 + 1013904223;
      noise.SetPixel(x, y, seed >> 8);
    }
  }
  editor->Strip->AddCells(&noise, 2, -1);
  WriteText(folder + "precious.san", "the user's previous animation");

  bool saved_ok = true;
  {
    TFileSizeLimit diskFull(4096);
    saved_ok = editor->SaveAnimationFile(folder + "precious.san");
  }
  EXPECT_FALSE(saved_ok);
  EXPECT_EQ(editor->LastError.substr(0, editor->LastError.find('\r')), kOutOfDiskSpace);
  EXPECT_NE(editor->LastError.find("\r\n" + folder + "precious.san"), std::string::npos);
  EXPECT_EQ(ReadText(folder + "precious.san"), "the user's previous animation");
  EXPECT_EQ(ListFolder(folder).size(), 1u);  // no temporary file left behind
}

TEST_F(DocumentTest, ViewFolderOpensTheDocumentsFolder) {
  const std::string gone = FreshFolder("gone");
  editor->OpenFile(SaveOther(gone + "a.san", 1, 3, 3, 0));
  ASSERT_TRUE(editor->CanViewFolder());
  ASSERT_TRUE(editor->ViewFolder());
  ASSERT_FALSE(ui.ShellRequests.empty());
  EXPECT_EQ(ui.ShellRequests.back().Target, gone);
  ui.ShellOpenWorks = false;  // no file manager
  EXPECT_FALSE(editor->ViewFolder());
  EXPECT_EQ(editor->LastError, "Task failed\r\n" + gone);
  ASSERT_TRUE(DeleteFile(gone + "a.san"));
  ASSERT_EQ(::rmdir(gone.c_str()), 0);
  EXPECT_FALSE(editor->CanViewFolder());
  EXPECT_FALSE(editor->ViewFolder());
  EXPECT_EQ(editor->LastError, kPathNotFound);
}

TEST_F(DocumentTest, HelpRunsTheHandlerWhileBusy) {
  EXPECT_FALSE(editor->ShowHelp());
  EXPECT_EQ(editor->LastError, kUnexpectedError);
  bool busyInside = false;
  editor->HelpHandler = [&](TAnimationEdit& e) {
    busyInside = e.Busy;
    return true;
  };
  EXPECT_TRUE(editor->ShowHelp());
  EXPECT_TRUE(busyInside);
  EXPECT_FALSE(editor->Busy);
  editor->HelpHandler = [](TAnimationEdit&) { return false; };
  EXPECT_FALSE(editor->ShowHelp());
}

TEST_F(DocumentTest, CopyAllCarriesTheAnimationToPasteAnimation) {
  const std::string clipboardFile = Paths()->ClipboardObjectFile("SAN");
  DeleteFile(clipboardFile);
  EXPECT_FALSE(editor->CanPasteAnimation("SAN"));
  EXPECT_FALSE(editor->PasteAnimation("SAN"));
  EXPECT_EQ(editor->LastError, kUnexpectedError);

  AddCells(3, 6, 4);
  editor->SetInterval(200);
  ASSERT_TRUE(editor->CopyCells(true)) << editor->LastError;
  EXPECT_TRUE(FileExists(clipboardFile));
  EXPECT_EQ(FilePart(clipboardFile), "clipboard-object-SAN.SAN");
  ASSERT_TRUE(ui.ClipboardPicture.has_value());
  EXPECT_EQ(ui.ClipboardPicture->Width(), 18);

  // Another editor, as in a second copy of the program, takes it with its settings.
  QWidget otherOwner;
  TAnimationEdit other("Torvel", &otherOwner, &ticks);
  ASSERT_TRUE(other.CanPasteAnimation("SAN"));
  ASSERT_TRUE(other.PasteAnimation("SAN")) << other.LastError;
  EXPECT_EQ(other.Strip->Table.Count, 3);
  EXPECT_EQ(other.GetInterval(), 200);
  EXPECT_EQ(other.CellList()->currentRow(), 3);
  EXPECT_TRUE(other.IsModified());
  ASSERT_TRUE(other.PasteAnimation("SAN"));
  EXPECT_EQ(other.Strip->Table.Count, 6);

  other.SetAutomaticPaste(true);
  EXPECT_FALSE(other.CanPasteAnimation("SAN"));
}

}  // namespace
}  // namespace torvel::test
