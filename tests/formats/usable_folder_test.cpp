#include "formats/usable_folder.h"

#include <gtest/gtest.h>

#include "services/services.h"
#include "support/test_folders.h"

namespace torvel {
namespace {

TEST(UsableFolder, AMissingFolderFallsBackToTheSystemRoot) {
  const std::string existing = test::FreshFolder("usable");
  EXPECT_EQ(UsableFolder(existing), existing);
  EXPECT_EQ(UsableFolder(existing + "missing/"), Paths()->WindowsFolder());
  EXPECT_EQ(UsableFolder(""), Paths()->WindowsFolder());
}

}  // namespace
}  // namespace torvel
