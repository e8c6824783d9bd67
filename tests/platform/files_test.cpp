#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <string>

#include "platform/files.h"
#include "support/file_helpers.h"
#include "support/test_folders.h"

namespace torvel {
namespace {

using test::ReadText;
using test::WriteText;

TEST(Files, SafeWritingReplacesTheFileAndLeavesNoTemporaryFiles) {
  const std::string folder = test::FreshFolder("safe-write");
  WriteText(folder + "a.txt", "first");
  WriteText(folder + "a.txt", "second");
  EXPECT_EQ(ReadText(folder + "a.txt"), "second");
  ::chmod((folder + "a.txt").c_str(), 0444);
  WriteText(folder + "a.txt", "third");  // a read-only file is replaced too
  EXPECT_EQ(ReadText(folder + "a.txt"), "third");
  EXPECT_EQ(ListFolder(folder).size(), 1u);
}

TEST(Files, AFailedSafeWriteKeepsThePreviousFile) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "root writes into read-only folders";
  }
  const std::string folder = test::FreshFolder("safe-write-fails");
  WriteText(folder + "keep.txt", "previous");
  ::chmod(folder.c_str(), 0555);
  const std::string text = "new";
  EXPECT_FALSE(WriteFileSafely(folder + "keep.txt", reinterpret_cast<const uint8_t*>(text.data()),
                               text.size()));
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(ReadText(folder + "keep.txt"), "previous");
}

TEST(Files, AReplacementThatCannotBePutInPlaceLeavesNothingBehind) {
  const std::string folder = test::FreshFolder("safe-write-blocked");
  ASSERT_TRUE(CreateFolder(folder + "target"));
  WriteText(folder + "target/inside", "kept");  // a folder that is not empty cannot be replaced
  const std::string text = "new";
  EXPECT_FALSE(WriteFileSafely(folder + "target", reinterpret_cast<const uint8_t*>(text.data()),
                               text.size()));
  EXPECT_EQ(ReadText(folder + "target/inside"), "kept");
  EXPECT_EQ(ListFolder(folder).size(), 1u);  // the temporary file is gone
}

TEST(Files, AWriteIntoAMissingFolderFailsCleanly) {
  const std::string text = "x";
  EXPECT_FALSE(WriteFileSafely(test::TestRoot() + "no/such/folder/file.txt",
                               reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

TEST(Files, DeletingFilesReadOnlyOnesIncluded) {
  const std::string folder = test::FreshFolder("delete");
  WriteText(folder + "ro.txt", "x");
  ::chmod((folder + "ro.txt").c_str(), 0444);
  EXPECT_TRUE(DeleteFile(folder + "ro.txt"));
  EXPECT_FALSE(FileExists(folder + "ro.txt"));
  EXPECT_TRUE(DeleteFile(folder + "never-there.txt"));
  ASSERT_TRUE(CreateFolder(folder + "sub"));
  EXPECT_TRUE(DeleteFile(folder + "sub"));  // a folder is no file
  EXPECT_TRUE(FolderExists(folder + "sub"));
}

TEST(Files, ReadingRefusesFilesOverTheLimit) {
  const std::string folder = test::FreshFolder("read-limit");
  WriteText(folder + "big.txt", "0123456789");
  std::vector<uint8_t> bytes = {1};
  EXPECT_FALSE(ReadWholeFile(folder + "big.txt", 9, bytes));
  EXPECT_EQ(bytes.size(), 1u);
  EXPECT_TRUE(ReadWholeFile(folder + "big.txt", 10, bytes));
  EXPECT_EQ(bytes.size(), 10u);
  EXPECT_FALSE(ReadWholeFile(folder, 10, bytes));  // a folder is not read
}

TEST(Files, ListsFoldersWithTimesAndHiddenFlags) {
  const std::string folder = test::FreshFolder("list");
  WriteText(folder + "b.txt", "x");
  WriteText(folder + ".hidden", "x");
  CreateFolder(folder + "a-folder");
  ASSERT_TRUE(SetLastWriteTime(folder + "b.txt", 1'000'000'000));
  const auto entries = ListFolder(folder);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].Name, ".hidden");
  EXPECT_TRUE(entries[0].IsHidden);
  EXPECT_TRUE(entries[1].IsFolder);
  EXPECT_EQ(entries[2].Name, "b.txt");
  EXPECT_EQ(entries[2].LastWriteTime, 1'000'000'000);
  EXPECT_TRUE(ListFolder(folder + "missing").empty());
}

TEST(Files, CopyOverReplacesTheTarget) {
  const std::string folder = test::FreshFolder("copy");
  WriteText(folder + "from", "new");
  WriteText(folder + "to", "old");
  EXPECT_TRUE(CopyFileOver(folder + "from", folder + "to"));
  EXPECT_EQ(ReadText(folder + "to"), "new");
  EXPECT_FALSE(CopyFileOver(folder + "missing", folder + "to"));
  EXPECT_EQ(ReadText(folder + "to"), "new");
}

TEST(Files, MasksMatchWildcardsWithoutRegardToCase) {
  EXPECT_TRUE(MatchesMask("walk.san", "*.SAN"));
  EXPECT_TRUE(MatchesMask("A.ZMP", "*.zmp"));
  EXPECT_TRUE(MatchesMask("abc", "a?c"));
  EXPECT_TRUE(MatchesMask("abc", "***"));
  EXPECT_TRUE(MatchesMask("x.tar.gz", "*.gz"));
  EXPECT_FALSE(MatchesMask("walk.sand", "*.san"));
  EXPECT_FALSE(MatchesMask("ab", "a?c"));
  EXPECT_FALSE(MatchesMask("", "?"));
}

}  // namespace
}  // namespace torvel
