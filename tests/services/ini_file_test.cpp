#include "services/ini_file.h"

#include <gtest/gtest.h>

#include "support/file_helpers.h"
#include "support/test_folders.h"

namespace torvel {
namespace {

class IniFileTest : public testing::Test {
 protected:
  std::string folder = test::FreshFolder("ini");
  TIniFile ini{folder + "Torvel.INI"};
};

TEST_F(IniFileTest, MissingFileGivesDefaultsAndNoNames) {
  EXPECT_EQ(ini.ReadValue("Settings", "OnTop", "none"), "none");
  std::vector<std::string> names = {"left over"};
  ini.ReadKeyNames("Settings", names);
  EXPECT_TRUE(names.empty());
  TIniPairs pairs = {{"Kept", "1"}};
  ini.ReadPairs("Settings", pairs);
  EXPECT_EQ(pairs, (TIniPairs{{"Kept", "1"}}));
}

TEST_F(IniFileTest, ReadsNamesWithoutRegardToCaseOrBlanks) {
  test::WriteText(ini.FileName,
                  "; written by hand\r\n"
                  "[other]\r\nOnTop=9\r\n"
                  "  [ SETTINGS ]  \r\n"
                  "# OnTop=comment\r\n"
                  "  ontop =  1  \r\n"
                  "OnTop=2\r\n"
                  "no equals sign\r\n"
                  "BGColor=\r\n"
                  "[Settings]\r\nIndicators=1\r\n");
  EXPECT_EQ(ini.ReadValue("settings", "ONTOP", ""), "1");  // the first of each counts
  EXPECT_EQ(ini.ReadValue("Settings", "BGColor", "x"), "");
  EXPECT_EQ(ini.ReadValue("Settings", "Indicators", "x"), "x");  // in a second section
  EXPECT_EQ(ini.ReadValue("Other", "OnTop", ""), "9");
  std::vector<std::string> names;
  ini.ReadKeyNames("Settings", names);
  EXPECT_EQ(names, (std::vector<std::string>{"ontop", "OnTop", "BGColor"}));
}

TEST_F(IniFileTest, LongValuesAndNameListsAreCutAtTheirBuffers) {
  std::string text = "[S]\nlong=" + std::string(2000, 'v') + "\n";
  // 1000 names of 9 bytes plus their zero bytes need 10000 bytes: only 819 fit whole.
  for (int i = 0; i < 1000; ++i) {
    text += "key" + std::to_string(100000 + i) + "=1\n";
  }
  test::WriteText(ini.FileName, text);
  EXPECT_EQ(ini.ReadValue("S", "long", ""), std::string(1023, 'v'));
  std::vector<std::string> names;
  ini.ReadKeyNames("S", names);
  size_t used = 1;
  for (const std::string& name : names) {
    used += name.size() + 1;
  }
  EXPECT_LE(used, TIniFile::kKeyNameBuffer);
  ASSERT_EQ(names.size(), 1u + 818u + 1u);
  EXPECT_EQ(names[818], "key100817");
  EXPECT_EQ(names.back(), "key10");  // the one the buffer ends in, cut
}

TEST_F(IniFileTest, PairsAddToTheListOverwriteAndRemoveEmptyValues) {
  test::WriteText(ini.FileName, "[A]\nOnTop=1\nGone=\nBGColor=5\n[B]\nbgcolor=7\nVersion=2\n");
  TIniPairs pairs = {{"Gone", "was here"}};
  ini.ReadPairs("A", pairs);
  EXPECT_EQ(pairs, (TIniPairs{{"BGColor", "5"}, {"OnTop", "1"}}));
  ini.ReadPairs("B", pairs);
  EXPECT_EQ(pairs["BGCOLOR"], "7");
  EXPECT_EQ(pairs["version"], "2");
  EXPECT_EQ(pairs.size(), 3u);
}

TEST_F(IniFileTest, WritesCreateTheFileThenChangeValuesInPlace) {
  ASSERT_TRUE(ini.WriteValue("Settings", "OnTop", "0"));
  ASSERT_TRUE(ini.WriteValue("Settings", "BGColor", "16777215"));
  ASSERT_TRUE(ini.WriteValue("Version", "Version", "1.00.478"));
  EXPECT_EQ(test::ReadText(ini.FileName),
            "[Settings]\nOnTop=0\nBGColor=16777215\n[Version]\nVersion=1.00.478\n");
  ASSERT_TRUE(ini.WriteValue("settings", "ONTOP", "1"));
  EXPECT_EQ(ini.ReadValue("Settings", "OnTop", ""), "1");
  EXPECT_EQ(test::ReadText(ini.FileName),
            "[Settings]\nONTOP=1\nBGColor=16777215\n[Version]\nVersion=1.00.478\n");
}

TEST_F(IniFileTest, WritesKeepTheRestOfAHandWrittenFile) {
  test::WriteText(ini.FileName,
                  "; my notes\r\n[Settings]\r\nOnTop = 1 ; kept\r\nExtra=yes\r\n\r\n"
                  "[Mine]\r\nA=b");
  ASSERT_TRUE(ini.WriteValue("Settings", "Indicators", "1"));
  ASSERT_TRUE(ini.WriteValue("Mine", "C", "d"));
  ASSERT_TRUE(ini.WriteValue("Settings", "OnTop", "0"));
  EXPECT_EQ(test::ReadText(ini.FileName),
            "; my notes\r\n[Settings]\r\nOnTop=0\r\nExtra=yes\r\nIndicators=1\r\n\r\n"
            "[Mine]\r\nA=b\r\nC=d");
}

TEST_F(IniFileTest, RefusedWritesLeaveTheFileAsItWas) {
  test::WriteText(ini.FileName, "[Settings]\nOnTop=1\n");
  // A line break would smuggle further keys or sections into the file.
  for (const auto& [section, key, value] :
       {std::tuple{"Settings", "OnTop", "0\n[Version]\nSupportFiles=1"},
        {"Settings]", "OnTop", "0"},
        {"Settings", "On=Top", "0"},
        {"Settings", "", "0"},
        {"", "OnTop", "0"},
        {"Settings", "[OnTop", "0"}}) {
    EXPECT_FALSE(ini.WriteValue(section, key, value)) << key << "=" << value;
    EXPECT_EQ(ini.LastError, "Unable to write to " + ini.FileName);
  }
  EXPECT_EQ(test::ReadText(ini.FileName), "[Settings]\nOnTop=1\n");

  // A long file, with much besides our settings, is read and rewritten with all of it kept.
  const std::string other = "[Other]\n" + std::string(100'000, ';') + "\n";
  test::WriteText(ini.FileName, other + "[Settings]\nColor=255\n");
  EXPECT_EQ(ini.ReadValue("Settings", "Color", "0"), "255");
  EXPECT_TRUE(ini.WriteValue("Settings", "Color", "16"));
  EXPECT_EQ(test::ReadText(ini.FileName), other + "[Settings]\nColor=16\n");

  // A file too large to be a settings file is neither read nor replaced.
  const std::string huge = "[Settings]\n" + std::string(TIniFile::kMostFileBytes, ';') + "\n";
  test::WriteText(ini.FileName, huge);
  EXPECT_EQ(ini.ReadValue("Settings", "OnTop", "default"), "default");
  EXPECT_FALSE(ini.WriteValue("Settings", "OnTop", "0"));
  EXPECT_EQ(test::ReadText(ini.FileName).size(), huge.size());

  TIniFile nowhere(folder + "missing/Torvel.INI");
  EXPECT_FALSE(nowhere.WriteValue("Settings", "OnTop", "0"));
  EXPECT_EQ(nowhere.LastError, "Unable to write to " + folder + "missing/Torvel.INI");
}

}  // namespace
}  // namespace torvel
