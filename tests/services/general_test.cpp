#include "services/general.h"

#include <gtest/gtest.h>

#include <clocale>

#include "platform/files.h"
#include "services/services.h"
#include "support/file_helpers.h"
#include "support/scripted_platform_ui.h"
#include "support/test_folders.h"

namespace torvel {
namespace {

TEST(General, ShowErrorShowsAnErrorBoxWithOneButton) {
  test::TScriptedPlatformUi ui;
  General()->ShowError("File not found");
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "File not found");
  EXPECT_EQ(ui.Messages[0].Caption, "Error");
  EXPECT_EQ(ui.Messages[0].Icon, TMessageIcon::Error);
  EXPECT_EQ(ui.Messages[0].Buttons, TMessageButtons::Ok);
}

TEST(GeneralDeathTest, FatalOutOfMemoryTellsTheUserAndEnds) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        test::TScriptedPlatformUi ui;
        General()->FatalOutOfMemory();
      },
      testing::ExitedWithCode(EXIT_FAILURE), "");
}

class TFakeWindow : public TScreenWindow {
 public:
  TFakeWindow(TSize window, TSize screen) : window_(window), screen_(screen) {}
  TSize WindowSize() const override { return window_; }
  TSize ScreenSize() const override { return screen_; }
  void MoveTo(int left, int top) override { Position = {left, top}; }
  TSize Position{-999, -999};

 private:
  TSize window_;
  TSize screen_;
};

TEST(General, CenterOnScreenTruncatesAndMayGoNegative) {
  TFakeWindow small({550, 455}, {1025, 768});
  General()->CenterOnScreen(&small);
  EXPECT_EQ(small.Position, (TSize{237, 156}));
  TFakeWindow large({1101, 900}, {1024, 768});
  General()->CenterOnScreen(&large);
  EXPECT_EQ(large.Position, (TSize{-38, -66}));  // (1024 - 1101) / 2 truncates toward zero
  General()->CenterOnScreen(nullptr);
}

TEST(General, BooleanTexts) {
  EXPECT_EQ(General()->BoolToText(true), "1");
  EXPECT_EQ(General()->BoolToText(false), "0");
  EXPECT_TRUE(General()->TextIsTrue("1"));
  EXPECT_FALSE(General()->TextIsTrue(" 1"));
  EXPECT_FALSE(General()->TextIsTrue("1 "));
  EXPECT_FALSE(General()->TextIsTrue("true"));
  EXPECT_FALSE(General()->TextIsTrue(""));
}

TEST(General, TextToIntReadsDecimalNumbersAndRoundsHalvesToEven) {
  TGeneral& g = *General();
  EXPECT_EQ(g.TextToInt("16777215"), 16777215);
  EXPECT_EQ(g.TextToInt("-42"), -42);
  EXPECT_EQ(g.TextToInt("+7"), 7);
  EXPECT_EQ(g.TextToInt("2.5"), 2);
  EXPECT_EQ(g.TextToInt("3.5"), 4);
  EXPECT_EQ(g.TextToInt("-2.5"), -2);
  EXPECT_EQ(g.TextToInt("2.51"), 3);
  EXPECT_EQ(g.TextToInt(".5"), 0);
  EXPECT_EQ(g.TextToInt("1.5e3"), 1500);
  EXPECT_EQ(g.TextToInt("25E-1"), 2);
  EXPECT_EQ(g.TextToInt(" 12 "), 12);
  EXPECT_EQ(g.TextToInt("2147483647"), 2147483647);
}

TEST(General, TextToIntGivesZeroForWhatIsNotANumber) {
  TGeneral& g = *General();
  for (const char* text : {"", " ", "1,5", "abc", "12abc", "0x10", "1e", "e5", ".", "-", "inf",
                           "nan", "1.2.3", "99999999999", "1e400"}) {
    EXPECT_EQ(g.TextToInt(text), 0) << '"' << text << '"';
  }
}

TEST(General, TextToIntIgnoresTheProcessLocale) {
  const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_EQ(General()->TextToInt("1.5"), 2);
  EXPECT_EQ(General()->TextToInt("1,5"), 0);
  if (german != nullptr) {
    std::setlocale(LC_NUMERIC, "C");
  }
}

TEST(General, FormatThousandsGroupsDigitsInThrees) {
  TGeneral& g = *General();
  EXPECT_EQ(g.FormatThousands(0), "0");
  EXPECT_EQ(g.FormatThousands(123), "123");
  EXPECT_EQ(g.FormatThousands(1000), "1,000");
  EXPECT_EQ(g.FormatThousands(100000), "100,000");
  EXPECT_EQ(g.FormatThousands(1234567), "1,234,567");
  EXPECT_EQ(g.FormatThousands(12000000), "12,000,000");
}

TEST(General, ReplaceAllDoesNotRescanReplacements) {
  TGeneral& g = *General();
  std::string text = "''''";
  g.ReplaceAll(text, "''", "'");
  EXPECT_EQ(text, "''");
  text = "a-b-c";
  g.ReplaceAll(text, "-", "--");
  EXPECT_EQ(text, "a--b--c");
  text = "Case case";
  g.ReplaceAll(text, "case", "x");
  EXPECT_EQ(text, "Case x");
  g.ReplaceAll(text, "", "y");
  EXPECT_EQ(text, "Case x");
}

TEST(General, ColourBytes) {
  TGeneral& g = *General();
  EXPECT_EQ(g.RedOf(0x00123456), 0x56);
  EXPECT_EQ(g.GreenOf(0x00123456), 0x34);
  EXPECT_EQ(g.BlueOf(0x00123456), 0x12);
  EXPECT_EQ(g.HighByteOf(0x00123456), 0);
  EXPECT_EQ(g.HighByteOf(0xFF000000), 0xFF);
  EXPECT_EQ(g.RedOf(0xFFFFFFFF), 0xFF);
  EXPECT_EQ(g.RedOf(-1), 0);
}

TEST(General, ListFilesNamesOrdinaryMatchingFiles) {
  const std::string folder = test::FreshFolder("list-files");
  for (const char* name : {"b.SAN", "a.san", ".hidden.san", "c.txt"}) {
    test::WriteText(folder + name, "x");
  }
  CreateFolder(folder + "d.san");
  EXPECT_EQ(General()->ListFiles(folder + "*.san", false), "a.san\r\nb.SAN\r\n");
  EXPECT_EQ(General()->ListFiles(folder + "*.txt", true), folder + "c.txt\r\n");
  EXPECT_EQ(General()->ListFiles(folder + "*.none", true), "");
  EXPECT_EQ(General()->ListFiles(folder + "missing/*", true), "");
}

}  // namespace
}  // namespace torvel
