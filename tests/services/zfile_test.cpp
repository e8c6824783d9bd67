#include "services/zfile.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "platform/files.h"
#include "services/services.h"
#include "support/file_helpers.h"

namespace torvel {
namespace {

class ZFileTest : public testing::Test {
 protected:
  void SetUp() override {
    temp_ = Paths()->WindowsCompanyFolder("") + "TEMP/";
    std::filesystem::remove_all(temp_);
    std::filesystem::create_directories(temp_);
  }

  void MakeFile(const std::string& name, long secondsAgo) {
    const std::string path = temp_ + name;
    test::WriteText(path, "z");
    ASSERT_TRUE(SetLastWriteTime(path, std::time(nullptr) - secondsAgo));
  }

  int Remaining() { return static_cast<int>(ListFolder(temp_).size()); }

  std::string temp_;
};

TEST_F(ZFileTest, OnlyStaleTemporaryFilesAreDeleted) {
  MakeFile("fresh.ZMP", 5 * 60);
  MakeFile("old.ZMP", 10 * 60);
  MakeFile("future.zmp", -10 * 60);  // a clock set back: as stale as an old file
  MakeFile("other.TMP", 60 * 60);
  EXPECT_EQ(ZFile()->PurgeTemporaryFiles(), 2);
  EXPECT_TRUE(FileExists(temp_ + "fresh.ZMP"));
  EXPECT_TRUE(FileExists(temp_ + "other.TMP"));
  EXPECT_FALSE(FileExists(temp_ + "old.ZMP"));
  EXPECT_FALSE(FileExists(temp_ + "future.zmp"));
}

TEST_F(ZFileTest, OneProgramEndDeletesAtMostEight) {
  for (int i = 0; i < 10; ++i) {
    MakeFile("stale" + std::to_string(i) + ".ZMP", 3600);
  }
  RunProgramEndCleanup();  // purges, then purges again while releasing the helper
  EXPECT_EQ(Remaining(), 2);
  for (int i = 0; i < 4; ++i) {
    MakeFile("more" + std::to_string(i) + ".ZMP", 3600);
  }
  EXPECT_EQ(ZFile()->PurgeTemporaryFiles(), 4);
  EXPECT_EQ(ZFile()->PurgeTemporaryFiles(), 2);
}

TEST_F(ZFileTest, ThePurgeNeverCreatesTheFolder) {
  std::filesystem::remove_all(temp_);
  EXPECT_EQ(ZFile()->PurgeTemporaryFiles(), 0);
  EXPECT_FALSE(FolderExists(temp_));
}

TEST(ProgramEnd, DeletesThePrinterScratchFileAndRecreatesServicesOnDemand) {
  const std::string scratch = Paths()->WindowsCompanyFolder("Settings") + "TImagePrinter.BMP";
  test::WriteText(scratch, "b");
  RunProgramEndCleanup();
  EXPECT_FALSE(FileExists(scratch));
  EXPECT_NE(Paths(), nullptr);  // made afresh on the next use
  EXPECT_NE(General(), nullptr);
}

}  // namespace
}  // namespace torvel
