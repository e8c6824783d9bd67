#include "app/main_window.h"

#include <gtest/gtest.h>

namespace torvel {
namespace {

TEST(MainWindow, OpensWithTheProgramsTitleAndStartSize) {
  TForm1 window;
  window.show();
  EXPECT_EQ(window.windowTitle().toStdString(), "Untitled.san - Torvel");
  EXPECT_EQ(window.size(), QSize(550, 455));
}

}  // namespace
}  // namespace torvel
