// The main function of every test program. Each program links only its own layer and those
// below, so the start-up it does depends on what it was built with: the program's services
// when it is above the platform layer, a Qt application (offscreen) for the Qt layers.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/test_folders.h"
#ifdef TORVEL_TEST_SERVICES
#include "services/services.h"
#endif
#ifdef TORVEL_TEST_QT
#include <QApplication>
#endif

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  torvel::test::SetUpTestFolders();
#ifdef TORVEL_TEST_SERVICES
  torvel::StartServices();
#endif
  int result = 0;
  {
#ifdef TORVEL_TEST_QT
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
#endif
    result = RUN_ALL_TESTS();
  }
#ifdef TORVEL_TEST_SERVICES
  torvel::RunProgramEndCleanup();
#endif
  torvel::test::RemoveTestFolders();
  return result;
}
