#include "app/help.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/carriers.h"
#include "app/support_files.h"
#include "platform/files.h"
#include "services/services.h"
#include "support/file_helpers.h"
#include "support/scripted_platform_ui.h"
#include "support/test_folders.h"

namespace torvel {
namespace {

std::string HelpRoot() {
  return std::string(std::getenv("XDG_CONFIG_HOME")) + "/Orvik Enterprises/Help/";
}

class HelpTest : public testing::Test {
 protected:
  HelpTest() { RemoveFolderTree(HelpRoot() + "Torvel"); }

  static void RemoveFolderTree(const std::string& folder) {
    for (const TFolderEntry& entry : ListFolder(folder)) {
      DeleteFile(folder + "/" + entry.Name);
    }
    RemoveEmptyFolder(folder);
    DeleteFile(folder);
  }

  test::TScriptedPlatformUi ui;
  Bitmap carrier = CarrierPicture("sup_help.bmp");
  std::string folder = HelpRoot() + "Torvel/";
};

TEST_F(HelpTest, FirstRequestUnpacksEveryPageAndOpensIt) {
  THelp help("Torvel", &carrier);
  EXPECT_EQ(carrier.Width(), 1);  // the carrier's pixels are given back
  EXPECT_EQ(carrier.Height(), 1);
  ASSERT_GE(help.Archive.EntryCount(), 10);
  EXPECT_EQ(help.HelpFolder(), folder);
  ASSERT_TRUE(help.ShowPage("index.html")) << help.LastErrorText;
  for (int i = 0; i < help.Archive.EntryCount(); ++i) {
    EXPECT_TRUE(FileExists(folder + help.Archive.EntryAt(i)->pName));
  }
  ASSERT_EQ(ui.ShellRequests.size(), 1u);
  EXPECT_EQ(ui.ShellRequests[0].Target, folder + "index.html");
  EXPECT_EQ(ui.ShellRequests[0].Parameters, "");
}

TEST_F(HelpTest, WithTheMarkerPresentNothingIsWrittenAgain) {
  THelp help("Torvel", &carrier);
  ASSERT_TRUE(help.ShowPage("index.html"));
  test::WriteText(folder + "playback.html", "changed by the user");
  ASSERT_TRUE(DeleteFile(folder + "shortcuts.html"));
  ASSERT_TRUE(help.ShowPage("index.html"));
  EXPECT_EQ(test::ReadText(folder + "playback.html"), "changed by the user");
  EXPECT_FALSE(help.ShowPage("shortcuts.html"));
  EXPECT_EQ(help.LastErrorText, "File not found");

  // Without the marker the missing page comes back; existing ones are still kept.
  ASSERT_TRUE(DeleteFile(folder + "index.html"));
  ASSERT_TRUE(help.ShowPage("shortcuts.html")) << help.LastErrorText;
  EXPECT_TRUE(FileExists(folder + "index.html"));
  EXPECT_EQ(test::ReadText(folder + "playback.html"), "changed by the user");
  EXPECT_EQ(ui.ShellRequests.back().Target, folder + "shortcuts.html");
}

TEST_F(HelpTest, AFileNamedLikeTheFolderIsReplacedByIt) {
  Paths()->ForceFolders(HelpRoot());
  test::WriteText(HelpRoot() + "Torvel", "in the way");
  THelp help("Torvel", &carrier);
  ASSERT_TRUE(help.ShowPage("index.html")) << help.LastErrorText;
  EXPECT_TRUE(FolderExists(folder));
}

TEST_F(HelpTest, ClosingRemovesThePagesAndThenTheFolderWhenEmpty) {
  {
    THelp help("Torvel", &carrier);
    ASSERT_TRUE(help.ShowPage("index.html"));
  }
  EXPECT_FALSE(FolderExists(folder));

  {
    Bitmap again = CarrierPicture("sup_help.bmp");
    THelp help("Torvel", &again);
    ASSERT_TRUE(help.ShowPage("index.html"));
    test::WriteText(folder + "my notes", "kept");  // outside the clean-up mask
  }
  EXPECT_FALSE(FileExists(folder + "index.html"));
  EXPECT_FALSE(FileExists(folder + "style.css"));
  EXPECT_EQ(test::ReadText(folder + "my notes"), "kept");
}

TEST_F(HelpTest, NamesAreMadeSafeAndAMissingArchiveFindsNoPage) {
  EXPECT_EQ(THelp::FolderName("My Help/?*\\x"), "My_Help____x");
  THelp unnamed("", nullptr);
  EXPECT_EQ(unnamed.HelpName, "Help");
  EXPECT_EQ(unnamed.Archive.EntryCount(), 0);
  EXPECT_FALSE(unnamed.ShowPage("index.html"));
  EXPECT_EQ(unnamed.LastErrorText, "File not found");

  Bitmap blank(334, 93);  // a picture without an archive
  THelp broken("Broken", &blank);
  EXPECT_EQ(blank.Width(), 334);  // kept when its archive did not load
  EXPECT_NE(broken.LastErrorText, "");
  EXPECT_FALSE(broken.ShowPage("index.html"));
  EXPECT_EQ(broken.LastErrorText, "File not found");
  EXPECT_TRUE(ui.ShellRequests.empty());
}

TEST(SupportFiles, GoToTheFolderOfTheirExtension) {
  EXPECT_EQ(SupportSubfolder("logo.jpg"), "Pictures");
  EXPECT_EQ(SupportSubfolder("SHOT.Bmp"), "Pictures");
  EXPECT_EQ(SupportSubfolder("a.sag"), "Animations");
  EXPECT_EQ(SupportSubfolder("walk.SAN"), "Animations");
  EXPECT_EQ(SupportSubfolder("hand.cur"), "Cursors");
  EXPECT_EQ(SupportSubfolder("ping.wav"), "Sounds");
  EXPECT_EQ(SupportSubfolder("gold.frs"), "Frames");
  EXPECT_EQ(SupportSubfolder("notes.tar.txt"), "Documents");
  EXPECT_EQ(SupportSubfolder("readme"), "");
  EXPECT_EQ(SupportSubfolder("x.dat"), "");
  EXPECT_EQ(SupportSubfolder("jpg"), "");
}

TEST(SupportFiles, UnpackIntoTheSharedFolderKeepingExistingFiles) {
  const std::string base = std::string(std::getenv("XDG_DATA_HOME")) + "/Orvik Enterprises/";
  Paths()->ForceFolders(base + "Animations/");
  test::WriteText(base + "Animations/Walking Figure.san", "the user's own");
  std::string error;
  ASSERT_TRUE(ExtractSupportFiles(CarrierPicture("sup_files.bmp"), error)) << error;
  EXPECT_EQ(error, "");
  EXPECT_TRUE(FileExists(base + "Animations/Bouncing Ball.san"));
  EXPECT_TRUE(FileExists(base + "Animations/Spinning Logo.san"));
  EXPECT_TRUE(FileExists(base + "Pictures/Ball Strip.bmp"));
  EXPECT_TRUE(FileExists(base + "README"));
  EXPECT_EQ(test::ReadText(base + "Animations/Walking Figure.san"), "the user's own");

  EXPECT_FALSE(ExtractSupportFiles(Bitmap(334, 108), error));  // no archive in it
  EXPECT_NE(error, "");
}

TEST(SupportFiles, WithoutASharedFolderNothingIsWrittenAnywhere) {
  const std::string saved = std::getenv("XDG_DATA_HOME");
  const std::string blocker = test::FreshFolder("blocked") + "file";
  test::WriteText(blocker, "a file, so no folder can be made below it");
  ::setenv("XDG_DATA_HOME", (blocker + "/share").c_str(), 1);
  std::string error;
  EXPECT_FALSE(ExtractSupportFiles(CarrierPicture("sup_files.bmp"), error));
  EXPECT_EQ(error, "Out of disk space");
  ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
  EXPECT_EQ(test::ReadText(blocker), "a file, so no folder can be made below it");
}

}  // namespace
}  // namespace torvel
