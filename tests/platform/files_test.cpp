#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <new>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/stream.h"
#include "support/file_helpers.h"
#include "support/file_size_limit.h"
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
  const std::string folder = test::FreshFolder("safe-write-fails");
  WriteText(folder + "keep.txt", "previous");
  const std::string text = "a new text longer than the disk has room for";
  TWriteReport report;
  {
    const test::TFileSizeLimit diskFull(8);
    EXPECT_FALSE(WriteFileSafely(folder + "keep.txt", reinterpret_cast<const uint8_t*>(text.data()),
                                 text.size(), &report));
  }
  EXPECT_EQ(report.Failure, TWriteFailure::Writing);
  EXPECT_EQ(WriteFailureText(report, folder + "keep.txt"),
            "Out of disk space\r\n" + folder + "keep.txt: " + std::strerror(EFBIG));
  EXPECT_EQ(ReadText(folder + "keep.txt"), "previous");
  EXPECT_EQ(ListFolder(folder).size(), 1u);
}

// A writer that fills the file through the stream may seek back over what it wrote; one that
// fails, or throws, leaves the previous file as it was.
TEST(Files, SafeWritingThroughAStreamSeeksAndKeepsThePreviousFileOnFailure) {
  const std::string folder = test::FreshFolder("safe-stream");
  const std::string path = folder + "f.txt";
  ASSERT_TRUE(WriteFileSafely(path, [](TStream& file) {
    return file.WriteAll("xxxx tail", 9) && file.Seek(0) && file.WriteAll("head", 4) &&
           file.Seek(9) && file.Position() == 9 && file.Size() == 9;
  }));
  EXPECT_EQ(ReadText(path), "head tail");
  TWriteReport report;
  EXPECT_FALSE(WriteFileSafely(
      path, [](TStream& file) { return file.WriteAll("half", 4) && false; }, &report));
  EXPECT_EQ(report.Failure, TWriteFailure::Writing);
  EXPECT_FALSE(WriteFileSafely(path, [](TStream&) -> bool { throw std::bad_alloc(); }));
  EXPECT_EQ(ReadText(path), "head tail");
  EXPECT_EQ(ListFolder(folder).size(), 1u);
}

TEST(Files, AReplacedFileKeepsItsPermissions) {
  const std::string folder = test::FreshFolder("safe-write-mode");
  WriteText(folder + "private.txt", "first");
  ::chmod((folder + "private.txt").c_str(), 0600);
  WriteText(folder + "private.txt", "second");
  struct stat info {};
  ASSERT_EQ(::stat((folder + "private.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
}

TEST(Files, ASaveRemovesTemporaryFilesThatAKilledSaveLeft) {
  const std::string folder = test::FreshFolder("safe-write-stale");
  // Made directly, as a safe write would already tidy the folder.
  const auto leave = [&](const std::string& name) {
    return ::open((folder + name).c_str(), O_WRONLY | O_CREAT, 0644);
  };
  ::close(leave(".a.san.torvel-123456.part"));        // left by a killed save
  ::close(leave(".notes.part"));                      // not ours
  ::close(leave(".c.san.123.part"));                  // another program's, however alike
  ::close(leave(".torvel-12.part"));                  // no name before the mark: not ours either
  const int writer = leave(".b.san.torvel-77.part");  // still being written
  ASSERT_GE(writer, 0);
  ASSERT_EQ(::flock(writer, LOCK_EX), 0);
  WriteText(folder + "a.san", "saved");
  ::close(writer);
  std::vector<std::string> names;
  for (const TFolderEntry& entry : ListFolder(folder)) {
    names.push_back(entry.Name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{".b.san.torvel-77.part", ".c.san.123.part",
                                             ".notes.part", ".torvel-12.part", "a.san"}));
}

TEST(Files, ReadingANamedPipeFailsAtOnceInsteadOfWaiting) {
  const std::string pipe = test::FreshFolder("fifo") + "image.png";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(ReadWholeFile(pipe, 1024, bytes));
  EXPECT_EQ(OpenRegularFileForReading(pipe), -1);
  EXPECT_EQ(TFileStream::Open(pipe, TFileStream::TMode::Read), nullptr);
  EXPECT_EQ(OpenRegularFileForReading(test::TestRoot()), -1);  // a folder is no file either
}

// A folder, a named pipe or a device is refused before anything is written: a reader waiting on
// the pipe must not lose it to a file.
TEST(Files, ATargetThatIsNoFileIsRefusedAndKept) {
  const std::string folder = test::FreshFolder("safe-write-no-file");
  ASSERT_TRUE(CreateFolder(folder + "target"));
  WriteText(folder + "target/inside", "kept");
  ASSERT_EQ(::mkfifo((folder + "pipe").c_str(), 0600), 0);
  const std::string text = "new";
  const auto write = [&](const std::string& path, TWriteReport& report) {
    return WriteFileSafely(path, reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                           &report);
  };
  const std::pair<std::string, const char*> targets[] = {{folder + "target", "Is a folder"},
                                                         {folder + "pipe", "Is a named pipe"},
                                                         {"/dev/null", "Is a device"}};
  for (const auto& [path, reason] : targets) {
    TWriteReport report;
    EXPECT_FALSE(write(path, report)) << path;
    EXPECT_EQ(report.Failure, TWriteFailure::NotAFile) << path;
    EXPECT_EQ(WriteFailureText(report, path), "Not a file\r\n" + path + ": " + reason);
  }
  struct stat info {};
  ASSERT_EQ(::stat((folder + "pipe").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  EXPECT_EQ(ReadText(folder + "target/inside"), "kept");
  EXPECT_EQ(ListFolder(folder).size(), 2u);  // no temporary file
}

// A link stays a link: the file it names gets the new contents, beside which it is written.
TEST(Files, ASymbolicLinkIsFollowedToTheFileItNames) {
  const std::string folder = test::FreshFolder("safe-write-link");
  ASSERT_TRUE(CreateFolder(folder + "real"));
  WriteText(folder + "real/walk.san", "old");
  ASSERT_EQ(::symlink("real/walk.san", (folder + "link.san").c_str()), 0);
  ASSERT_EQ(::symlink("real/new.san", (folder + "dangling.san").c_str()), 0);
  WriteText(folder + "link.san", "new");
  WriteText(folder + "dangling.san", "made");
  struct stat info {};
  ASSERT_EQ(::lstat((folder + "link.san").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(ReadText(folder + "real/walk.san"), "new");
  EXPECT_EQ(ReadText(folder + "real/new.san"), "made");
}

TEST(Files, AFailedWriteNamesWhatWentWrongThePathAndTheReason) {
  const std::string text = "x";
  const std::string missing = test::TestRoot() + "no/such/folder/file.txt";
  TWriteReport report;
  EXPECT_FALSE(WriteFileSafely(missing, reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                               &report));
  EXPECT_EQ(WriteFailureText(report, missing),
            "Path not found\r\n" + missing + ": " + std::strerror(ENOENT));
  if (::geteuid() == 0) {
    return;  // the superuser may write anywhere
  }
  const std::string locked = test::FreshFolder("safe-write-locked");
  ASSERT_EQ(::chmod(locked.c_str(), 0500), 0);
  EXPECT_FALSE(WriteFileSafely(locked + "f.txt", reinterpret_cast<const uint8_t*>(text.data()),
                               text.size(), &report));
  ::chmod(locked.c_str(), 0700);
  EXPECT_EQ(WriteFailureText(report, locked + "f.txt"),
            "Access denied\r\n" + locked + "f.txt: " + std::strerror(EACCES));
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
