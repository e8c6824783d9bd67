// Animations and pictures of other programs opened as documents.
#include <QImage>

#include "editor/editor_fixture.h"
#include "import/animation_import.h"
#include "platform/error_texts.h"
#include "platform/files.h"
#include "support/file_helpers.h"
#include "support/peer_tools.h"
#include "support/test_folders.h"
#include "support/tiny_gif.h"

namespace torvel::test {
namespace {

class PictureDocumentTest : public EditorTest {
 protected:
  // Three frames of 12 x 10 on a transparent ground, shown 100, 200 and 200 ms.
  std::string MagickGif(const std::string& name) {
    const std::string path = folder + name;
    EXPECT_TRUE(RunQuietly(
        "convert -dispose background -size 12x10 -delay 10 xc:none -fill red -draw "
        "'rectangle 2,2 5,5' -delay 20 \\( -size 12x10 xc:none -fill blue -draw 'point 6,4' \\) "
        "\\( -size 12x10 xc:none -fill lime -draw 'point 7,7' \\) -loop 0 '" +
        path + "'"));
    return path;
  }

  // A sprite sheet of four 8 x 8 cells, each a different colour.
  std::string SpriteSheet(const std::string& name) {
    QImage sheet(32, 8, QImage::Format_RGB32);
    for (int k = 0; k < 4; ++k) {
      for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
          sheet.setPixel(k * 8 + x, y, qRgb(40 * k, 200, 10));
        }
      }
    }
    EXPECT_TRUE(sheet.save(QString::fromStdString(folder + name)));
    return folder + name;
  }

  std::string folder = FreshFolder("pictures");
};

TEST_F(PictureDocumentTest, AnAnimatedGifOpensAsANewUnsavedAnimationBesideIt) {
  AddCells(2);
  ASSERT_TRUE(editor->OpenFile(MagickGif("walk.gif"))) << editor->LastError;
  const TCellTable& table = editor->Strip->Table;
  EXPECT_EQ(table.Count, 3);
  EXPECT_EQ(table.CellWidth, 12);
  EXPECT_EQ(table.CellHeight, 10);
  EXPECT_EQ(editor->GetInterval(), 200) << "the delay most frames have";
  EXPECT_TRUE(editor->GetTransparent());
  EXPECT_TRUE(editor->TransparentBox()->isChecked());
  EXPECT_EQ(editor->GetFileName(), folder + "walk.san");
  EXPECT_TRUE(editor->IsModified());
  EXPECT_TRUE(editor->CanSave());
  EXPECT_FALSE(editor->CanUndo());
  ASSERT_EQ(ui.Messages.size(), 1u) << "the mixed delays are told once";
  EXPECT_EQ(ui.Messages[0].Icon, TMessageIcon::Information);

  ASSERT_TRUE(editor->Save()) << editor->LastError;
  EXPECT_TRUE(FileExists(folder + "walk.san"));
  EXPECT_TRUE(FileExists(folder + "walk.gif")) << "the picture is never written over";
}

TEST_F(PictureDocumentTest, AnAnimationOfThatNameAlreadyThereIsNotSavedOver) {
  WriteText(folder + "walk.san", "someone's work");
  ASSERT_TRUE(editor->OpenFile(MagickGif("walk.gif"))) << editor->LastError;
  EXPECT_FALSE(editor->CanSave()) << "Save As asks for a name first";
  EXPECT_EQ(ReadText(folder + "walk.san"), "someone's work");
}

TEST_F(PictureDocumentTest, FilesThatCannotBeOpenedLeaveTheAnimationUntouched) {
  AddCells(2);
  const std::string gif = MagickGif("walk.gif");
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(gif, 1 << 20, bytes));
  bytes.resize(bytes.size() - 8);  // inside the last frame's pixels
  ASSERT_TRUE(WriteFileSafely(folder + "cut.gif", bytes.data(), bytes.size()));
  const std::vector<std::pair<std::string, std::string>> bad = {
      {folder + "junk.gif", kUnsupportedFormat},
      {folder + "gone.gif", kFileNotFound},
  };
  WriteText(folder + "junk.gif", "GIF89a");
  for (const auto& [path, error] : bad) {
    EXPECT_FALSE(editor->OpenFile(path)) << path;
    EXPECT_EQ(editor->LastError, error + "\r\n" + path);
    EXPECT_EQ(editor->Strip->Table.Count, 2);
    EXPECT_EQ(editor->Strip->Table.CellWidth, 20);
    EXPECT_EQ(FilePart(editor->GetFileName()), "Untitled.san");
  }
  // A GIF cut inside its last frame opens with the frames before, as a browser shows it, and
  // says so.
  std::string error;
  TFileFrames whole;
  ASSERT_TRUE(ReadFramesForStore(gif, std::nullopt, whole, error));
  ui.Messages.clear();
  ASSERT_TRUE(editor->OpenFile(folder + "cut.gif")) << editor->LastError;
  EXPECT_EQ(editor->Strip->Table.Count, whole.Frames.FramesInFile - 1);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Icon, TMessageIcon::Information);
  EXPECT_NE(ui.Messages[0].Text.find("cut short"), std::string::npos);
  EXPECT_NE(ui.Messages[0].Text.find(folder + "cut.gif"), std::string::npos);
}

// A long GIF made by another program opens whole; one longer than the store opens with the
// cells that fit, and says so.
TEST_F(PictureDocumentTest, LongAnimationsOpenAsFarAsTheyFit) {
  ASSERT_TRUE(RunQuietly("ffmpeg -y -f lavfi -i testsrc=size=320x240:rate=25:duration=6 '" +
                         folder + "long.gif'"));
  ASSERT_TRUE(editor->OpenFile(folder + "long.gif")) << editor->LastError;
  EXPECT_EQ(editor->Strip->Table.Count, 150);
  EXPECT_TRUE(ui.Messages.empty());

  const std::vector<uint8_t> endless = test::TinyGif(TCellTable::kSlots + 4);
  ASSERT_TRUE(WriteFileSafely(folder + "endless.gif", endless.data(), endless.size()));
  ASSERT_TRUE(editor->OpenFile(folder + "endless.gif")) << editor->LastError;
  EXPECT_EQ(editor->Strip->Table.Count, TCellTable::kSlots);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "21846 of 21850 cells accepted.\r\nCapacity reached");
}

TEST_F(PictureDocumentTest, AStillPictureIsCutIntoTheCellsAskedForProposingSquares) {
  const std::string sheet = SpriteSheet("sheet.png");
  ui.InputAnswers.push_back(std::nullopt);
  EXPECT_TRUE(editor->OpenFile(sheet));
  EXPECT_EQ(editor->Strip->Table.Count, 0) << "cancelled: nothing changes";
  ASSERT_EQ(ui.InputRequests.size(), 1u);
  EXPECT_EQ(ui.InputRequests[0].Initial, "4");

  ui.InputAnswers.push_back("2");
  ASSERT_TRUE(editor->OpenFile(sheet)) << editor->LastError;
  const TCellTable& table = editor->Strip->Table;
  EXPECT_EQ(table.Count, 2);
  EXPECT_EQ(table.CellWidth, 16);
  EXPECT_FALSE(editor->GetTransparent()) << "an opaque picture";
  EXPECT_EQ(editor->GetInterval(), 100);
  EXPECT_EQ(editor->GetFileName(), folder + "sheet.san");
  EXPECT_TRUE(ui.Messages.empty());
}

}  // namespace
}  // namespace torvel::test
