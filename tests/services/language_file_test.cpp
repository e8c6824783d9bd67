#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/files.h"
#include "services/desktop_language.h"
#include "services/language.h"
#include "services/lite_language.h"
#include "services/property_stream.h"
#include "services/scramble.h"
#include "services/services.h"
#include "services/translate.h"
#include "support/file_helpers.h"
#include "support/manual_clock.h"
#include "support/open_file_limit.h"
#include "support/scripted_platform_ui.h"
#include "support/test_folders.h"

namespace torvel {
namespace {

using test::ReadText;
using test::WriteText;

constexpr char kKeyA[] = "a key of this file";
constexpr char kKeyB[] = "and another one";

std::string Int32Text(int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  return {static_cast<char>(bits), static_cast<char>(bits >> 8), static_cast<char>(bits >> 16),
          static_cast<char>(bits >> 24)};
}

std::string Field(const std::string& bytes) {
  return Int32Text(static_cast<int32_t>(bytes.size())) + bytes;
}

using TPairs = std::vector<std::pair<std::string, std::string>>;

// An "LLF2.0" file assembled byte by byte, declaring `count` pairs whatever it holds.
std::string HandMadeLl2(int32_t count, const TPairs& pairs, const std::string& keyA = kKeyA) {
  std::string file("LLF2.0\0", 7);
  file += Field(ScrambleText(keyA, TTranslationTable::FixedKey1(), 1));
  file += Field(ScrambleText(kKeyB, TTranslationTable::FixedKey2(), 1));
  file += Field(ScrambleText(Int32Text(count), keyA, 1));
  file += Field(ScrambleText("Deutsch", keyA, 1));
  for (const char* text : {"one", "two", "", "four"}) {
    file += Field(ScrambleText(text, keyA, 1));
  }
  for (const auto& [english, translation] : pairs) {
    file += Field(ScrambleText(english, keyA, 0)) + Field(ScrambleText(translation, kKeyB, 0));
  }
  return file;
}

bool ReadsLl2(TLiteLanguage& table, const std::string& bytes) {
  return table.ReadFromBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// A "language.llf" file written property by property; `items` are the nested records' bytes.
std::string HandMadeLlf(const std::vector<std::pair<std::string, std::string>>& properties) {
  TMemoryStream stream;
  TPropertyWriter writer(stream);
  writer.Begin("TLanguage", "");
  for (const auto& [name, value] : properties) {
    writer.Text(name, value);
  }
  writer.End();
  return {stream.Bytes().begin(), stream.Bytes().end()};
}

std::string ItemRecords(const TPairs& pairs, const std::string& keyA, const std::string& keyB) {
  TMemoryStream stream;
  for (const auto& [english, translation] : pairs) {
    TPropertyWriter item(stream);
    item.Begin("TLI", "");
    item.Text("X", ScrambleText(english, keyA, 0));
    item.Text("Y", ScrambleText(translation, keyB, 0));
    item.End();
  }
  return {stream.Bytes().begin(), stream.Bytes().end()};
}

bool ReadsLlf(TLanguage& table, const std::string& bytes) {
  TMemoryView view(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return table.ReadFromStream(view);
}

// --- language.ll2 -------------------------------------------------------------------------------

TEST(LiteLanguageFile, TheWriterMakesExactlyTheDocumentedBytes) {
  TLiteLanguage table(false);
  table.KeyA = kKeyA;
  table.KeyB = kKeyB;
  table.LanguageName = "Deutsch";
  table.ExtraTexts = {"one", "two", "", "four"};
  table.AddText("&File", "Datei");
  table.AddText("Speed", "Tempo");
  const std::vector<uint8_t> bytes = table.Encode();
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            HandMadeLl2(2, {{"&File", "Datei"}, {"Speed", "Tempo"}}));
}

TEST(LiteLanguageFile, AWrittenFileReadsBackWithItsKeysAndTexts) {
  const std::string folder = test::FreshFolder("ll2-round-trip");
  TLiteLanguage written(false);
  written.KeyA = kKeyA;
  written.LanguageName = "Deutsch";
  written.ExtraTexts[3] = "Übersetzt von Hand";
  written.AddText("Animation Preview", "Vorschau der Animation");
  written.AddText("Ready", "Bereit");
  ASSERT_TRUE(written.SaveToFile(folder + "language.ll2")) << written.LastError;

  TLiteLanguage read(false);
  ASSERT_TRUE(read.LoadFile(folder + "language.ll2", 0)) << read.LastError;
  EXPECT_EQ(read.Count(), 2);
  EXPECT_EQ(read.LanguageName, "Deutsch");
  EXPECT_EQ(read.ExtraTexts[3], "Übersetzt von Hand");
  EXPECT_EQ(read.KeyA, kKeyA);
  EXPECT_EQ(read.KeyB, TTranslationTable::DefaultKeyB());
  EXPECT_EQ(read.TranslateLines("animation preview"), "Vorschau der Animation");
  EXPECT_EQ(read.TranslateLines("Ready"), "Bereit");
}

TEST(LiteLanguageFile, LoadFileSkipsTheGivenLeadingBytes) {
  const std::string folder = test::FreshFolder("ll2-offset");
  WriteText(folder + "carrier", "12345" + HandMadeLl2(1, {{"Flip", "Kippen"}}));
  TLiteLanguage table(false);
  EXPECT_FALSE(table.LoadFile(folder + "carrier", 0));
  EXPECT_EQ(table.LastError, "Unknown format");
  ASSERT_TRUE(table.LoadFile(folder + "carrier", 5)) << table.LastError;
  EXPECT_EQ(table.TranslateLines("Flip"), "Kippen");
  EXPECT_FALSE(table.LoadFile(folder + "carrier", 1000));  // nothing left
}

TEST(LiteLanguageFile, OfTwoPairsForTheSameTextTheSecondIsUsed) {
  TLiteLanguage table(false);
  ASSERT_TRUE(ReadsLl2(table, HandMadeLl2(2, {{"Mirror", "Spiegel"}, {"MIRROR", "Spiegeln"}})));
  EXPECT_EQ(table.Count(), 1);
  EXPECT_EQ(table.TranslateLines("Mirror"), "Spiegeln");
}

TEST(LiteLanguageFile, AFileIsTakenWholeOrNotAtAll) {
  const TPairs two = {{"Cut", "Ausschneiden"}, {"Copy", "Kopieren"}};
  const struct {
    const char* what;
    std::string bytes;
    const char* error;
  } cases[] = {
      {"fewer pairs than declared", HandMadeLl2(3, two), "Empty"},
      {"a count of 0", HandMadeLl2(0, two), "Unknown format"},
      {"a count of 5001", HandMadeLl2(5001, two), "Unknown format"},
      {"a negative count", HandMadeLl2(-1, two), "Unknown format"},
      {"an empty translation", HandMadeLl2(2, {{"Cut", "Ausschneiden"}, {"Copy", ""}}), "Empty"},
      {"an empty English text", HandMadeLl2(1, {{"", "Leer"}}), "Empty"},
      {"a stored key that is empty", HandMadeLl2(2, two, ""), "Unknown format"},
      {"another signature", "LLF2.1" + HandMadeLl2(2, two).substr(6), "Unknown format"},
      {"no zero byte in the first 20 bytes", std::string(40, 'L'), "Unknown format"},
      {"nothing at all", "", "Unknown format"},
  };
  for (const auto& c : cases) {
    TLiteLanguage table(false);
    ASSERT_EQ(table.AddText("Cut", "stale"), 0);  // a failed read leaves nothing behind
    EXPECT_FALSE(ReadsLl2(table, c.bytes)) << c.what;
    EXPECT_EQ(table.LastError, c.error) << c.what;
    EXPECT_EQ(table.Count(), 0) << c.what;
    EXPECT_EQ(table.LanguageName, "English") << c.what;
    EXPECT_EQ(table.KeyA, TTranslationTable::DefaultKeyA()) << c.what;
  }
}

TEST(LiteLanguageFile, LengthsBeyondTheBytesLeftOrBelowZeroAreRefused) {
  const std::string good = HandMadeLl2(1, {{"Speed", "Tempo"}});
  const size_t lastLength = good.size() - 4 - 5;  // the translation's length field
  for (int32_t length : {6, 1 << 30, INT32_MAX, -1, INT32_MIN}) {
    std::string bad = good;
    bad.replace(lastLength, 4, Int32Text(length));
    TLiteLanguage table(false);
    EXPECT_FALSE(ReadsLl2(table, bad)) << length;
    EXPECT_EQ(table.LastError, "Unknown format") << length;
  }
  // Every shortened form of a good file is refused, none read beyond its end.
  for (size_t size = 0; size < good.size(); ++size) {
    TLiteLanguage table(false);
    std::vector<uint8_t> exact(good.begin(), good.begin() + static_cast<ptrdiff_t>(size));
    EXPECT_FALSE(table.ReadFromBytes(exact.data(), exact.size())) << size;
    EXPECT_EQ(table.Count(), 0);
  }
}

TEST(LiteLanguageFile, LoadFileNamesWhatWentWrong) {
  const std::string folder = test::FreshFolder("ll2-load-errors");
  TLiteLanguage table(false);
  EXPECT_FALSE(table.LoadFile(folder + "missing.ll2", 0));
  EXPECT_EQ(table.LastError, "File not found");

  // A file far larger than any translation is refused before it is read.
  const std::string huge = folder + "huge.ll2";
  WriteText(huge, "LLF2.0");
  ASSERT_EQ(::truncate(huge.c_str(), off_t{17} << 20), 0);
  EXPECT_FALSE(table.LoadFile(huge, 0));
  EXPECT_EQ(table.LastError, "Out of memory");

  WriteText(folder + "locked.ll2", HandMadeLl2(1, {{"Flip", "Kippen"}}));
  {
    test::TNoFileOpens locked;
    EXPECT_FALSE(table.LoadFile(folder + "locked.ll2", 0));
  }
  EXPECT_EQ(table.LastError, "File in use");
}

TEST(LiteLanguageFile, AnEmptyTableIsNotWritten) {
  const std::string folder = test::FreshFolder("ll2-empty");
  TLiteLanguage table(false);
  EXPECT_FALSE(table.SaveToFile(folder + "language.ll2"));
  EXPECT_EQ(table.LastError, "Empty");
  EXPECT_FALSE(FileExists(folder + "language.ll2"));
}

// --- language.llf -------------------------------------------------------------------------------

TEST(LanguageFile, AWrittenFileReadsBackWithItsKeysAndTexts) {
  const std::string folder = test::FreshFolder("llf-round-trip");
  TLanguage written(false);
  written.KeyA = kKeyA;
  written.KeyB = kKeyB;
  written.LanguageName = "Deutsch";
  written.SecondText = "second";
  written.ThirdText = "third";
  written.AddEntry("File", "Datei");
  written.AddEntry("Error", "Fehler");
  ASSERT_TRUE(written.SaveToFile(folder + "language.llf")) << written.LastError;

  TLanguage read(false);
  ASSERT_TRUE(read.LoadFile(folder + "language.llf", 0)) << read.LastError;
  EXPECT_EQ(read.Count(), 2);
  EXPECT_EQ(read.LanguageName, "Deutsch");
  EXPECT_EQ(read.SecondText, "second");
  EXPECT_EQ(read.ThirdText, "third");
  EXPECT_EQ(read.KeyA, kKeyA);
  EXPECT_EQ(read.KeyB, kKeyB);
  EXPECT_EQ(read.TranslateLines("&File"), "Datei");
  EXPECT_EQ(read.TranslateLines("error"), "Fehler");
}

TEST(LanguageFile, ThePropertiesTakeEffectInFileOrder) {
  // pD comes before pA, so it is unscrambled with the default key A; the entries with the
  // file's own keys.
  const std::string itemRecords = ItemRecords({{"Undo", "Rückgängig"}}, kKeyA, kKeyB);
  TLanguage table(false);
  ASSERT_TRUE(ReadsLlf(
      table, HandMadeLlf({{"pD", ScrambleText("note", TTranslationTable::DefaultKeyA(), 1)},
                          {"pA", ScrambleText(kKeyA, TTranslationTable::FixedKey1(), 1)},
                          {"pB", ScrambleText(kKeyB, TTranslationTable::FixedKey2(), 1)},
                          {"pI", itemRecords}})));
  EXPECT_EQ(table.ThirdText, "note");
  EXPECT_EQ(table.TranslateLines("Undo"), "Rückgängig");
}

TEST(LanguageFile, AFileWithoutKeysUsesTheDefaultOnes) {
  TLanguage table(false);
  const std::string itemRecords = ItemRecords(
      {{"Paste", "Einfügen"}}, TTranslationTable::DefaultKeyA(), TTranslationTable::DefaultKeyB());
  ASSERT_TRUE(ReadsLlf(table, HandMadeLlf({{"pC", "Deutsch"}, {"pI", itemRecords}})));
  EXPECT_EQ(table.TranslateLines("Paste"), "Einfügen");
}

TEST(LanguageFile, OfTwoEntriesForTheSameTextTheFirstIsUsed) {
  TLanguage table(false);
  const std::string itemRecords =
      ItemRecords({{"Mirror", "Spiegel"}, {"MIRROR", "Spiegeln"}}, TTranslationTable::DefaultKeyA(),
                  TTranslationTable::DefaultKeyB());
  ASSERT_TRUE(ReadsLlf(table, HandMadeLlf({{"pI", itemRecords}})));
  EXPECT_EQ(table.Count(), 2);  // duplicates are kept
  EXPECT_EQ(table.TranslateLines("Mirror"), "Spiegel");
}

TEST(LanguageFile, TheEntriesEndAtTheFirstUnreadableRecordOrAtTheCapacity) {
  const std::string& keyA = TTranslationTable::DefaultKeyA();
  const std::string& keyB = TTranslationTable::DefaultKeyB();
  TLanguage table(false);
  const std::string cut =
      ItemRecords({{"Cut", "Ausschneiden"}, {"Copy", "Kopieren"}}, keyA, keyB) + "TPF0\x03TL";
  ASSERT_TRUE(ReadsLlf(table, HandMadeLlf({{"pI", cut}})));
  EXPECT_EQ(table.Count(), 2);

  TPairs many;
  for (int i = 0; i < TLanguage::kCapacity + 5; ++i) {
    many.emplace_back("text " + std::to_string(i), "Text");
  }
  ASSERT_TRUE(ReadsLlf(table, HandMadeLlf({{"pI", ItemRecords(many, keyA, keyB)}})));
  EXPECT_EQ(table.Count(), TLanguage::kCapacity);
}

TEST(LanguageFile, ForeignOrDamagedFilesLeaveTheTableEmpty) {
  const std::string items = ItemRecords({{"Cut", "Ausschneiden"}}, TTranslationTable::DefaultKeyA(),
                                        TTranslationTable::DefaultKeyB());
  const std::string good = HandMadeLlf({{"pC", "Deutsch"}, {"pI", items}});
  std::string otherType = good;
  otherType.replace(5, 9, "TLanguagf");
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"a stored key A that is empty", HandMadeLlf({{"pA", ""}, {"pI", items}})},
      {"a stored key B that is empty", HandMadeLlf({{"pB", ""}, {"pI", items}})},
      {"an unknown property", HandMadeLlf({{"pC", "Deutsch"}, {"pZ", "?"}})},
      {"another record type", otherType},
      {"an animation file's signature", "TPF1" + good.substr(4)},
  };
  for (const auto& c : cases) {
    TLanguage table(false);
    table.AddEntry("stale", "alt");
    EXPECT_FALSE(ReadsLlf(table, c.bytes)) << c.what;
    EXPECT_EQ(table.Count(), 0) << c.what;
    EXPECT_EQ(table.LanguageName, "English") << c.what;
  }
  for (size_t size = 0; size < good.size(); ++size) {
    TLanguage table(false);
    EXPECT_FALSE(ReadsLlf(table, good.substr(0, size))) << size;
    EXPECT_EQ(table.Count(), 0) << size;
  }
}

TEST(LanguageFile, LoadFileNamesWhatWentWrong) {
  const std::string folder = test::FreshFolder("llf-load-errors");
  TLanguage table(false);
  EXPECT_FALSE(table.LoadFile(folder + "missing.llf", 0));
  EXPECT_EQ(table.LastError, "File not found");
  WriteText(folder + "foreign.llf", "not a language file");
  EXPECT_FALSE(table.LoadFile(folder + "foreign.llf", 0));
  EXPECT_EQ(table.LastError, "Unsupported format");
  {
    test::TNoFileOpens locked;
    EXPECT_FALSE(table.LoadFile(folder + "foreign.llf", 0));
  }
  EXPECT_EQ(table.LastError, "File in use");
}

TEST(LanguageFiles, AFailedLoadEmptiesATableThatWasLoaded) {
  const std::string folder = test::FreshFolder("failed-load-empties");
  TLiteLanguage lite(false);
  lite.AddText("Flip", "Kippen");
  ASSERT_TRUE(lite.SaveToFile(folder + "language.ll2"));
  TLanguage main(false);
  main.AddEntry("Flip", "Kippen");
  ASSERT_TRUE(main.SaveToFile(folder + "language.llf"));

  for (TTranslationTable* table : std::initializer_list<TTranslationTable*>{&lite, &main}) {
    const std::string file = folder + (table == &lite ? "language.ll2" : "language.llf");
    ASSERT_TRUE(table->LoadFile(file, 0)) << file;
    ASSERT_EQ(table->Count(), 1);
    EXPECT_FALSE(table->LoadFile(folder + "missing", 0));
    EXPECT_EQ(table->LastError, "File not found");
    EXPECT_EQ(table->Count(), 0) << file;

    ASSERT_TRUE(table->LoadFile(file, 0));
    {
      test::TNoFileOpens locked;
      EXPECT_FALSE(table->LoadFile(file, 0));
    }
    EXPECT_EQ(table->LastError, "File in use");
    EXPECT_EQ(table->Count(), 0) << file;
  }
}

// --- the settings folder's files
// ------------------------------------------------------------------

class LanguageFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    settings_ = Paths()->WindowsCompanyFolder("Settings");
    Clean();
  }
  void TearDown() override { Clean(); }
  void Clean() {
    DeleteFile(settings_ + "language.llf");
    DeleteFile(settings_ + "language.ll2");
    ::rmdir((settings_ + "language.ll2").c_str());
    ReleaseTranslationTables();
  }
  void InstallBoth(const std::string& english, const std::string& translation) {
    TLanguage main(false);
    main.AddEntry(english, translation);
    ASSERT_TRUE(main.SaveToFile(settings_ + "language.llf"));
    TLiteLanguage lite(false);
    lite.AddText(english, translation + " (lite)");
    ASSERT_TRUE(lite.SaveToFile(settings_ + "language.ll2"));
  }

  std::string settings_;
};

TEST_F(LanguageFolderTest, EachTableReadsItsOwnFileFromTheSettingsFolder) {
  EXPECT_EQ(TLanguage(false).LanguageFile(), settings_ + "language.llf");
  EXPECT_EQ(TLiteLanguage(false).LanguageFile(), settings_ + "language.ll2");
  InstallBoth("Error", "Fehler");
  EXPECT_EQ(TranslateText("Error"), "Fehler");
  EXPECT_EQ(Translate("Error"), "Fehler (lite)");
  EXPECT_EQ(Translate("Error\r\nError"), "Fehler (lite)\r\nFehler (lite)");
}

TEST(DesktopLanguage, IsReadFromTheLocaleAsGettextReadsIt) {
  using V = std::vector<std::string>;
  EXPECT_EQ(DesktopLanguages(nullptr, nullptr, "de_DE.UTF-8"), (V{"de_DE", "de"}));
  EXPECT_EQ(DesktopLanguages(nullptr, nullptr, "de_AT"), (V{"de_AT", "de"}));
  EXPECT_EQ(DesktopLanguages("", "fr_FR@euro", "de_DE"), (V{"fr_FR", "fr"})) << "LC_MESSAGES first";
  EXPECT_EQ(DesktopLanguages("C.UTF-8", "de_DE", "de_DE"), V{}) << "LC_ALL first: English";
  EXPECT_EQ(DesktopLanguages(nullptr, nullptr, "POSIX"), V{});
  EXPECT_EQ(DesktopLanguages(nullptr, nullptr, nullptr), V{});
  EXPECT_EQ(DesktopLanguages(nullptr, nullptr, "de"), V{"de"});
}

// The rules in order: the user's file in the settings folder, then the installed translation of
// the desktop's language, then English.
TEST_F(LanguageFolderTest, TheOwnFileComesFirstThenTheDesktopLanguageThenEnglish) {
  const std::string installed = test::FreshFolder("translations");
  ASSERT_EQ(::mkdir((installed + "de").c_str(), 0755), 0);
  TLiteLanguage german(false);
  german.AddText("Error", "Fehler (installed)");
  ASSERT_TRUE(german.SaveToFile(installed + "de/language.ll2"));
  SetInstalledTranslationsFolder(installed);
  const char* before = std::getenv("LANG");
  const std::string lang = before != nullptr ? before : "";
  ::unsetenv("LC_ALL");
  ::unsetenv("LC_MESSAGES");
  auto translatedWith = [](const char* lang) {
    ::setenv("LANG", lang, 1);
    ReleaseTranslationTables();
    return Translate("Error");
  };
  EXPECT_EQ(translatedWith("de_AT.UTF-8"), "Fehler (installed)");
  EXPECT_EQ(translatedWith("fr_FR.UTF-8"), "Error") << "no French installed: English";
  EXPECT_EQ(translatedWith("C.UTF-8"), "Error");
  InstallBoth("Error", "Fehler");
  EXPECT_EQ(translatedWith("de_DE.UTF-8"), "Fehler (lite)") << "the user's own file overrides";
  if (lang.empty()) {
    ::unsetenv("LANG");
  } else {
    ::setenv("LANG", lang.c_str(), 1);
  }
  SetInstalledTranslationsFolder("");
}

TEST_F(LanguageFolderTest, ATableIsLoadedOnceUntilItIsReleased) {
  EXPECT_EQ(Translate("Error"), "Error");
  InstallBoth("Error", "Fehler");
  EXPECT_EQ(Translate("Error"), "Error");  // a file added later waits for the next start
  ReleaseTranslationTables();
  EXPECT_EQ(Translate("Error"), "Fehler (lite)");
}

TEST_F(LanguageFolderTest, TheErrorBoxShowsTheTranslatedTextAndCaption) {
  InstallBoth("Error", "Fehler");
  TLanguage main(false);
  main.AddEntry("Error", "Fehler");
  main.AddEntry("File not found", "Datei nicht gefunden");
  ASSERT_TRUE(main.SaveToFile(settings_ + "language.llf"));
  test::TScriptedPlatformUi ui;
  General()->ShowError("File not found");
  General()->ShowError("Task failed");
  ASSERT_EQ(ui.Messages.size(), 2u);
  EXPECT_EQ(ui.Messages[0].Text, "Datei nicht gefunden");
  EXPECT_EQ(ui.Messages[0].Caption, "Fehler");
  EXPECT_EQ(ui.Messages[1].Text, "Task failed");
  EXPECT_EQ(ui.Messages[1].Caption, "Fehler");
}

TEST_F(LanguageFolderTest, WithoutAFileTheTableIsEmptyAndTheLoadSucceeds) {
  TLiteLanguage table(false);
  table.AddText("stale", "alt");
  EXPECT_TRUE(table.LoadLanguage());
  EXPECT_EQ(table.Count(), 0);
  ASSERT_TRUE(CreateFolder(settings_ + "language.ll2"));  // a folder is not a file
  EXPECT_TRUE(table.LoadLanguage());
}

// A table whose file stays locked for the first `lockedTries` reads.
class TLockedFileLanguage : public TLiteLanguage {
 public:
  explicit TLockedFileLanguage(int lockedTries) : TLiteLanguage(false), lockedTries_(lockedTries) {}
  bool LoadFile(const std::string& path, size_t startOffset) override {
    if (++Tries <= lockedTries_) {
      LastError = "File in use";
      return false;
    }
    return TLiteLanguage::LoadFile(path, startOffset);
  }
  int Tries = 0;

 private:
  int lockedTries_;
};

TEST_F(LanguageFolderTest, ALockedFileIsTriedTenTimesTwentyMillisecondsApart) {
  InstallBoth("Error", "Fehler");
  test::TManualClock clock(0);
  TLockedFileLanguage locked(1000);
  EXPECT_FALSE(locked.LoadLanguage());
  EXPECT_EQ(locked.Tries, 10);
  EXPECT_EQ(clock.Ticks(), 9u * 20u);  // a pause between each two tries
  EXPECT_EQ(locked.Count(), 0);

  TLockedFileLanguage freedSoon(3);
  clock.Set(0);
  EXPECT_TRUE(freedSoon.LoadLanguage());
  EXPECT_EQ(freedSoon.Tries, 4);
  EXPECT_EQ(clock.Ticks(), 3u * 20u);
  EXPECT_EQ(freedSoon.TranslateLines("Error"), "Fehler (lite)");
}

TEST_F(LanguageFolderTest, AnyOtherFailureIsNotTriedAgain) {
  WriteText(settings_ + "language.ll2", "LLF2.0");
  test::TManualClock clock(0);
  TLockedFileLanguage table(0);
  EXPECT_FALSE(table.LoadLanguage());
  EXPECT_EQ(table.LastError, "Unknown format");
  EXPECT_EQ(table.Tries, 1);
  EXPECT_EQ(clock.Ticks(), 0u);
  EXPECT_EQ(Translate("Error"), "Error");
}

}  // namespace
}  // namespace torvel
