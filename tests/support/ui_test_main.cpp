#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "services/services.h"
#include "support/test_folders.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  torvel::test::SetUpTestFolders();
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  torvel::StartServices();
  int result = 0;
  {
    QApplication app(argc, argv);
    result = RUN_ALL_TESTS();
  }
  torvel::RunProgramEndCleanup();
  torvel::test::RemoveTestFolders();
  return result;
}
