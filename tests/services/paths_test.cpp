#include "services/paths.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/files.h"
#include "services/services.h"
#include "support/file_helpers.h"
#include "support/scripted_platform_ui.h"
#include "support/test_folders.h"

namespace torvel {
namespace {

using test::ReadText;
using test::WriteText;

// Points the two roots at fresh folders for one test and puts them back afterwards.
class PathsTest : public testing::Test {
 protected:
  void SetUp() override {
    dataRoot_ = test::FreshFolder("data-root");
    configRoot_ = test::FreshFolder("config-root");
    savedData_ = std::getenv("XDG_DATA_HOME");
    savedConfig_ = std::getenv("XDG_CONFIG_HOME");
    savedHome_ = std::getenv("HOME");
    ::setenv("XDG_DATA_HOME", dataRoot_.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", configRoot_.c_str(), 1);
  }
  void TearDown() override {
    ::setenv("XDG_DATA_HOME", savedData_.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", savedConfig_.c_str(), 1);
    ::setenv("HOME", savedHome_.c_str(), 1);
  }

  TPaths& paths = *Paths();
  std::string dataRoot_;
  std::string configRoot_;
  std::string savedData_;
  std::string savedConfig_;
  std::string savedHome_;
};

TEST_F(PathsTest, IntegerHelpers) {
  EXPECT_EQ(TPaths::Clamp(150, 0, 100), 100);
  EXPECT_EQ(TPaths::Clamp(-5, 0, 100), 0);
  EXPECT_EQ(TPaths::Clamp(5, 10, 3), 3);  // low above high: high wins
  EXPECT_EQ(TPaths::Max(-1, 2), 2);
  EXPECT_EQ(TPaths::Min(-1, 2), -1);
}

TEST_F(PathsTest, AddSeparatorAppendsOneSeparator) {
  EXPECT_EQ(TPaths::AddSeparator("/a/x"), "/a/x/");
  EXPECT_EQ(TPaths::AddSeparator("/a/x/"), "/a/x/");
  EXPECT_EQ(TPaths::AddSeparator(""), "/");
}

TEST_F(PathsTest, RootsFollowTheXdgFoldersOrHome) {
  EXPECT_EQ(paths.ProgramsFolder(), dataRoot_);
  EXPECT_EQ(paths.WindowsFolder(), configRoot_);
  ::unsetenv("XDG_DATA_HOME");
  ::setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
  const std::string home = std::getenv("HOME");
  EXPECT_EQ(paths.ProgramsFolder(), TPaths::AddSeparator(home) + ".local/share/");
  EXPECT_EQ(paths.WindowsFolder(), TPaths::AddSeparator(home) + ".config/");
  // Without HOME, the user's home from the password database; never the current folder.
  ::unsetenv("HOME");
  const passwd* user = ::getpwuid(::getuid());
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(paths.WindowsFolder(), TPaths::AddSeparator(user->pw_dir) + ".config/");
}

TEST_F(PathsTest, ProgramsCompanyFolderIsCreatedOnRequest) {
  const std::string animations = paths.ProgramsCompanyFolder("Animations");
  EXPECT_EQ(animations, dataRoot_ + "Orvik Enterprises/Animations/");
  EXPECT_TRUE(FolderExists(animations));
  EXPECT_EQ(paths.ProgramsCompanyFolder(""), dataRoot_ + "Orvik Enterprises/");
  EXPECT_EQ(paths.ClipboardObjectFile("SAN"),
            dataRoot_ + "Orvik Enterprises/Clipboard/clipboard-object-SAN.SAN");
}

TEST_F(PathsTest, ProgramsCompanyFolderIsEmptyWhenItCannotBeMade) {
  WriteText(dataRoot_ + "Orvik Enterprises", "a file where the folder should be");
  EXPECT_EQ(paths.ProgramsCompanyFolder("Animations"), "");
  // No clipboard file is named then, rather than one in the working folder.
  EXPECT_EQ(paths.ClipboardObjectFile("SAN"), "");
}

TEST_F(PathsTest, WindowsCompanyFolderIsNamedEvenWhenItCannotBeMade) {
  EXPECT_EQ(paths.WindowsCompanyFolder("Settings"), configRoot_ + "Orvik Enterprises/Settings/");
  EXPECT_TRUE(FolderExists(configRoot_ + "Orvik Enterprises/Settings/"));
  EXPECT_EQ(paths.WindowsCompanyFolder(""), configRoot_ + "Orvik Enterprises/");
  WriteText(configRoot_ + "Orvik Enterprises/Help", "blocks the folder");
  EXPECT_EQ(paths.WindowsCompanyFolder("Help"), configRoot_ + "Orvik Enterprises/Help/");
}

TEST_F(PathsTest, FoldersAreMadeAgainAfterBeingDeleted) {
  const std::string clipboard = paths.ProgramsCompanyFolder("Clipboard");
  ASSERT_EQ(::rmdir(clipboard.c_str()), 0);
  EXPECT_EQ(paths.ProgramsCompanyFolder("Clipboard"), clipboard);
  EXPECT_TRUE(FolderExists(clipboard));
}

TEST_F(PathsTest, ForceFoldersMakesEveryMissingParent) {
  paths.ForceFolders(dataRoot_ + "a/b/c/");
  EXPECT_TRUE(paths.FolderExists(dataRoot_ + "a/b/c"));
  paths.ForceFolders("");
  paths.ForceFolders("/");
}

TEST_F(PathsTest, RemoveFile) {
  WriteText(dataRoot_ + "ro", "x");
  ::chmod((dataRoot_ + "ro").c_str(), 0444);
  EXPECT_TRUE(paths.RemoveFile(dataRoot_ + "ro"));
  EXPECT_FALSE(FileExists(dataRoot_ + "ro"));
  EXPECT_TRUE(paths.RemoveFile(dataRoot_ + "missing"));
}

TEST_F(PathsTest, StripExtensionLooksOnlyAtTheFileName) {
  EXPECT_EQ(TPaths::StripExtension("/a.b/file.tmp"), "/a.b/file");
  EXPECT_EQ(TPaths::StripExtension("/a.b/file"), "/a.b/file");
  EXPECT_EQ(TPaths::StripExtension("walk.tar.gz"), "walk.tar");
  EXPECT_EQ(TPaths::StripExtension("/a:b.c/x"), "/a:b.c/x");  // ":" is an ordinary character
}

TEST_F(PathsTest, CopyFileToCreatesTheFolderAndReplacesTheTarget) {
  WriteText(dataRoot_ + "source", "new");
  EXPECT_TRUE(paths.CopyFileTo(dataRoot_ + "source", dataRoot_ + "x/y/target"));
  EXPECT_EQ(ReadText(dataRoot_ + "x/y/target"), "new");
  WriteText(dataRoot_ + "x/y/target", "old");
  EXPECT_TRUE(paths.CopyFileTo(dataRoot_ + "source", dataRoot_ + "x/y/target"));
  EXPECT_EQ(ReadText(dataRoot_ + "x/y/target"), "new");
  WriteText(dataRoot_ + "x/y/target", "kept");
  EXPECT_FALSE(paths.CopyFileTo(dataRoot_ + "missing", dataRoot_ + "x/y/target"));
  EXPECT_EQ(ReadText(dataRoot_ + "x/y/target"), "kept");
}

TEST_F(PathsTest, ShellOpenGoesThroughTheDesktop) {
  EXPECT_FALSE(paths.ShellOpen("/docs/index.html", ""));  // no desktop to ask
  test::TScriptedPlatformUi ui;
  EXPECT_TRUE(paths.ShellOpen("/docs/index.html", "--new"));
  ASSERT_EQ(ui.ShellRequests.size(), 1u);
  EXPECT_EQ(ui.ShellRequests[0].Target, "/docs/index.html");
  EXPECT_EQ(ui.ShellRequests[0].Parameters, "--new");
  EXPECT_EQ(ui.ShellRequests[0].WorkingFolder, "/docs/");
}

}  // namespace
}  // namespace torvel
