#include <gtest/gtest.h>

#include "services/services.h"
#include "support/test_folders.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  torvel::test::SetUpTestFolders();
  torvel::StartServices();
  const int result = RUN_ALL_TESTS();
  torvel::RunProgramEndCleanup();
  torvel::test::RemoveTestFolders();
  return result;
}
