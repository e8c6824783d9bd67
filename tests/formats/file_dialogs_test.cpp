#include "formats/file_dialogs.h"

#include <gtest/gtest.h>

#include "services/services.h"
#include "support/scripted_platform_ui.h"
#include "support/test_folders.h"

namespace torvel {
namespace {

TOpenInfo AnimationFiles(const std::string& fileName) {
  return {"SAN", kHideReadOnly | kPathMustExist, "Simple Animation (*.san)|*.san", 1, fileName, ""};
}

TEST(FileDialogs, SaveProposesTheFileNameInItsFolder) {
  test::TScriptedPlatformUi ui;
  const std::string folder = test::FreshFolder("dialogs");
  ui.FileAnswers.push_back({true, folder + "walk.san", 1});
  TOpenInfo info = AnimationFiles(folder + "Untitled.san");
  std::string chosen;
  EXPECT_TRUE(FileDialogs()->RunFileDialog(info, TFileDialogKind::Save, chosen, ""));
  EXPECT_EQ(chosen, folder + "walk.san");
  ASSERT_EQ(ui.FileRequests.size(), 1u);
  EXPECT_EQ(ui.FileRequests[0].FileName, "Untitled.san");
  EXPECT_EQ(ui.FileRequests[0].Folder, folder);
  EXPECT_EQ(ui.FileRequests[0].Filter, "Simple Animation (*.san)|*.san");
  EXPECT_EQ(ui.FileRequests[0].DefaultExt, "SAN");
}

TEST(FileDialogs, OpenNeverProposesAName) {
  test::TScriptedPlatformUi ui;
  const std::string folder = test::FreshFolder("dialogs-open");
  const std::string start = test::FreshFolder("dialogs-start");
  TOpenInfo info = AnimationFiles(folder + "walk.san");
  std::string chosen = "left over";
  EXPECT_FALSE(FileDialogs()->RunFileDialog(info, TFileDialogKind::Open, chosen, start));
  EXPECT_EQ(chosen, "");  // cancelled
  ASSERT_EQ(ui.FileRequests.size(), 1u);
  EXPECT_EQ(ui.FileRequests[0].FileName, "");
  EXPECT_EQ(ui.FileRequests[0].Folder, start);  // the start folder wins
}

TEST(FileDialogs, AMissingFolderOpensTheSystemRootAndTheChosenFilterComesBack) {
  test::TScriptedPlatformUi ui;
  ui.FileAnswers.push_back({false, "", 2});
  TOpenInfo info = AnimationFiles("/no/such/folder/walk.san");
  std::string chosen;
  FileDialogs()->RunFileDialog(info, TFileDialogKind::Save, chosen, "/also/missing/");
  EXPECT_EQ(ui.FileRequests[0].Folder, Paths()->WindowsFolder());
  EXPECT_EQ(info.FilterIndex, 2);
}

}  // namespace
}  // namespace torvel
