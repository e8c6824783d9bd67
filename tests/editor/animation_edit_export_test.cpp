#include <QImageReader>
#include <chrono>
#include <thread>

#include "editor/editor_fixture.h"
#include "platform/error_texts.h"
#include "platform/files.h"
#include "support/file_helpers.h"
#include "support/test_folders.h"

namespace torvel::test {
namespace {

class ExportTest : public EditorTest {
 protected:
  ExportTest() {
    AddCells(3);
    editor->StartStill();
  }

  void AnswerFile(const std::string& name, int filterIndex) {
    ui.FileAnswers.push_back({true, folder + name, filterIndex});
  }
  void AnswerOptions(int scale, bool loop) {
    TExportChoices choices;
    choices.Scale = scale;
    choices.Loop = loop;
    ui.ExportAnswers.push_back(choices);
  }

  std::string folder = FreshFolder("export");
};

TEST_F(ExportTest, WritesTheChosenTypeAndLeavesTheDocumentAsItWas) {
  const std::string name = editor->GetFileName();
  AnswerFile("walk", 2);  // no extension: the chosen type's is added
  AnswerOptions(2, false);
  ASSERT_TRUE(editor->ExportAnimation()) << editor->LastError;
  QImageReader reader(QString::fromStdString(folder + "walk.webp"));
  EXPECT_EQ(reader.imageCount(), 3);
  EXPECT_EQ(reader.size(), QSize(40, 20));
  EXPECT_EQ(reader.loopCount(), 0);
  EXPECT_EQ(editor->GetFileName(), name);
  EXPECT_FALSE(editor->IsModified());
  // The dialog proposed the animation's name with the type's extension, in its folder.
  EXPECT_EQ(ui.FileRequests.back().FileName, "Untitled.gif");
  ASSERT_EQ(ui.ExportRequests.size(), 1u);
  EXPECT_EQ(ui.ExportRequests[0].Note,
            "The animation is still: it is exported at 10 frames a second");
  EXPECT_FALSE(ui.ExportRequests[0].DitherApplies);
  // The choices are kept for the next export; the extension decides over the type.
  AnswerFile("walk.gif", 2);
  ui.ExportAnswers.push_back(std::nullopt);  // cancelled: nothing is written
  EXPECT_TRUE(editor->ExportAnimation());
  EXPECT_FALSE(FileExists(folder + "walk.gif"));
  EXPECT_EQ(ui.ExportRequests[1].Scale, 2);
  EXPECT_FALSE(ui.ExportRequests[1].Loop);
  EXPECT_TRUE(ui.ExportRequests[1].DitherApplies);
  EXPECT_TRUE(editor->ExportOptionsChosen);
}

TEST_F(ExportTest, AnImageStripIsTheCellsSideBySide) {
  AnswerFile("strip.png", 4);
  AnswerOptions(1, true);
  ASSERT_TRUE(editor->ExportAnimation()) << editor->LastError;
  ASSERT_EQ(ui.ExportRequests.size(), 1u);
  EXPECT_FALSE(ui.ExportRequests[0].TimingApplies);  // a strip neither loops nor times frames
  const QImage strip(QString::fromStdString(folder + "strip.png"));
  EXPECT_EQ(strip.size(), QSize(60, 10));
  EXPECT_EQ(strip.pixelColor(45, 5), QColor(0xC0, 0x90, 0x60));
}

TEST_F(ExportTest, TheNextExportStartsInTheFolderOfTheLast) {
  const std::string other = FreshFolder("export-elsewhere");
  ui.FileAnswers.push_back({true, other + "a.gif", 1});
  AnswerOptions(1, true);
  ASSERT_TRUE(editor->ExportAnimation()) << editor->LastError;
  EXPECT_EQ(ui.FileRequests.back().Folder, FolderPart(editor->GetFileName()));
  EXPECT_TRUE(ui.ExportRequests.back().TimingApplies);
  AnswerFile("b.gif", 1);
  AnswerOptions(1, true);
  ASSERT_TRUE(editor->ExportAnimation()) << editor->LastError;
  EXPECT_EQ(ui.FileRequests.back().Folder, other);
}

TEST_F(ExportTest, ReplacingAFileIsAskedFirst) {
  const std::string path = folder + "kept.gif";
  WriteText(path, "previous");
  AnswerFile("kept.gif", 1);
  AnswerFile("kept.gif", 1);
  ui.MessageAnswers = {TMessageAnswer::No, TMessageAnswer::Yes};
  AnswerOptions(1, true);
  ASSERT_TRUE(editor->ExportAnimation()) << editor->LastError;
  EXPECT_EQ(ui.Messages.size(), 2u);
  EXPECT_EQ(QImageReader(QString::fromStdString(path)).imageCount(), 3);
}

// The work runs until the user cancels in the progress window, which appears once it is due.
TEST_F(ExportTest, CancelInTheProgressWindowStopsTheWork) {
  editor->ProgressDelayMs = 0;
  ui.CancelProgressAt = 3;
  int steps = 0;
  const bool done = editor->RunWithProgress(
      "Exporting", [&](const TExportProgress& progress, std::string& error) {
        while (progress(++steps, 1000)) {
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        error = kTaskCancelled;
        return false;
      });
  EXPECT_FALSE(done);
  EXPECT_EQ(editor->LastError, kTaskCancelled);
  EXPECT_EQ(ui.ProgressWindows, 1);
  EXPECT_EQ(ui.ProgressUpdates, 3);
}

TEST_F(ExportTest, NeedsCellsAndReportsAFailedWrite) {
  AnswerFile("missing/a.gif", 1);
  AnswerOptions(1, true);
  EXPECT_FALSE(editor->ExportAnimation());
  EXPECT_EQ(editor->LastError, std::string(kPathNotFound) + "\r\n" + folder +
                                   "missing/a.gif: No such file or directory");
  editor->New(false);
  EXPECT_FALSE(editor->CanExport());
  EXPECT_FALSE(editor->ExportAnimation());
}

}  // namespace
}  // namespace torvel::test
