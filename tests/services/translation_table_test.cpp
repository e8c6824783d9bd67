#include <gtest/gtest.h>

#include "services/language.h"
#include "services/lite_language.h"

namespace torvel {
namespace {

// A table with the given entries, not loaded from any file.
TLiteLanguage Table(std::initializer_list<std::pair<const char*, const char*>> entries) {
  TLiteLanguage table(false);
  for (const auto& [english, translation] : entries) {
    EXPECT_GE(table.AddText(english, translation), 0) << english;
  }
  return table;
}

TEST(Translation, WithoutAnEntryOnlyTheAcceleratorMovesToTheFirstOccurrenceOfItsLetter) {
  const TLiteLanguage empty = Table({});
  EXPECT_EQ(empty.TranslateLines("E&xit"), "E&xit");
  EXPECT_EQ(empty.TranslateLines("Save &As..."), "S&ave As...");
  EXPECT_EQ(empty.TranslateLines("Paste &Special"), "Pa&ste Special");
  EXPECT_EQ(empty.TranslateLines("Plain words, no marker."), "Plain words, no marker.");
  EXPECT_EQ(empty.TranslateLines("Ends with &"), "Ends with ");  // no letter follows
  EXPECT_EQ(empty.TranslateLines("Fish && Chips"), "Fish & Chips");
  EXPECT_EQ(empty.TranslateLines(""), "");
}

TEST(Translation, TheAcceleratorFollowsItsLetterIntoTheTranslation) {
  const TLiteLanguage table =
      Table({{"file", "Fichier"}, {"Edit", "Bearbeiten"}, {"Exit", "Ende"}});
  EXPECT_EQ(table.TranslateLines("&File"), "&Fichier");
  EXPECT_EQ(table.TranslateLines("&FILE"), "&Fichier");
  EXPECT_EQ(table.TranslateLines("&Edit"), "B&earbeiten");  // the first e, in either case
  EXPECT_EQ(table.TranslateLines("E&xit"), "Ende");         // no x in the translation
  const TLiteLanguage german = Table({{"File", "Datei"}});
  EXPECT_EQ(german.TranslateLines("&File"), "Datei");
}

TEST(Translation, TheTailOfBlanksCommasAndFullStopsIsKeptOutOfTheLookup) {
  const TLiteLanguage table = Table({{"Open", "Öffnen"}, {"...", "…"}, {"Ready", "Bereit"}});
  EXPECT_EQ(table.TranslateLines("&Open..."), "Öffnen...");
  EXPECT_EQ(table.TranslateLines("Ready, . "), "Bereit, . ");
  EXPECT_EQ(table.TranslateLines("..."), "…");          // only tail characters: looked up whole
  EXPECT_EQ(table.TranslateLines(" Ready"), " Ready");  // leading blanks are part of the text
}

TEST(Translation, LinesAreTranslatedOneByOneAndJoinedWithCrLf) {
  const TLiteLanguage table =
      Table({{"Capacity reached", "Kapazität erreicht"}, {"Empty", "Leer"}});
  EXPECT_EQ(table.TranslateLines("Empty\nCapacity reached"), "Leer\r\nKapazität erreicht");
  EXPECT_EQ(table.TranslateLines("Empty\r\nunknown\rEmpty"), "Leer\r\nunknown\r\nLeer");
  EXPECT_EQ(table.TranslateLines("Empty\r\n"), "Leer\r\n");  // the closing break stays
  EXPECT_EQ(table.TranslateLines("\n\n"), "\r\n\r\n");
}

TEST(Translation, FindTextIgnoresLetterCaseButNotOtherDifferences) {
  TLiteLanguage table = Table({{"Copy All", "Alles kopieren"}, {"Copy", "Kopieren"}});
  EXPECT_EQ(table.FindText("COPY ALL"), 0);
  EXPECT_EQ(table.FindText("copy"), 1);
  EXPECT_EQ(table.FindText("Copy  All"), -1);
  EXPECT_EQ(table.FindText(""), -1);
  std::string text = "copy";
  EXPECT_TRUE(table.TranslateLine(text));
  EXPECT_EQ(text, "Kopieren");
  text = "paste";
  EXPECT_FALSE(table.TranslateLine(text));
  EXPECT_EQ(text, "paste");
  // Only ASCII letters change case: "Ä" and "ä" are different texts.
  table.AddText("Ärger", "Trouble");
  EXPECT_EQ(table.FindText("äRGER"), -1);
  EXPECT_EQ(table.FindText("ÄRGER"), 2);
}

TEST(Translation, MoveAcceleratorInsertsOrReplacesAtTheFirstMatch) {
  std::string text = "Datei";
  std::string marker = "E";
  TTranslationTable::MoveAccelerator(text, marker, 0, "&");
  EXPECT_EQ(text, "Dat&ei");
  EXPECT_EQ(marker, "i");  // the character after the one found

  text = "Cu&t";
  marker = "&";
  TTranslationTable::MoveAccelerator(text, marker, 1, "");
  EXPECT_EQ(text, "Cut");
  EXPECT_EQ(marker, "t");

  text = "none";
  marker = "x";
  TTranslationTable::MoveAccelerator(text, marker, 0, "&");
  EXPECT_EQ(text, "none");
  EXPECT_EQ(marker, "x");

  marker = "e";
  TTranslationTable::MoveAccelerator(text, marker, 1, "E!");
  EXPECT_EQ(text, "nonE!");
  EXPECT_EQ(marker, "");  // nothing followed it
}

TEST(Translation, AddTextReplacesDuplicatesAndRefusesEmptyTextsAndOverflow) {
  TLiteLanguage table(false);
  EXPECT_EQ(table.AddText("Pause", "Anhalten"), 0);
  EXPECT_EQ(table.AddText("PAUSE", "Pause"), 0);  // the later translation wins
  EXPECT_EQ(table.Count(), 1);
  EXPECT_EQ(table.TranslateLines("Pause"), "Pause");
  EXPECT_EQ(table.AddText("", "x"), -1);
  EXPECT_EQ(table.LastError, "Empty");
  EXPECT_EQ(table.AddText("x", ""), -1);
  EXPECT_EQ(table.LastError, "Empty");
  for (int i = 1; i < TLiteLanguage::kCapacity; ++i) {
    ASSERT_EQ(table.AddText("text " + std::to_string(i), "Text"), i);
  }
  EXPECT_EQ(table.AddText("one more", "Noch einer"), -1);
  EXPECT_EQ(table.LastError, "Capacity reached");
  EXPECT_EQ(table.AddText("text 17", "Text 17"), 17);  // replacing still works when full
  EXPECT_EQ(table.TranslateLines("text 4999"), "Text");
}

TEST(Translation, ResetEmptiesTheTableAndRestoresTheDefaults) {
  TLiteLanguage table = Table({{"Speed", "Tempo"}});
  table.LanguageName = "Deutsch";
  table.KeyA = "other";
  table.ExtraTexts[2] = "kept";
  table.Reset();
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.LanguageName, "English");
  EXPECT_EQ(table.KeyA, TTranslationTable::DefaultKeyA());
  EXPECT_EQ(table.KeyB, TTranslationTable::DefaultKeyB());
  EXPECT_EQ(table.ExtraTexts[2], "");
  EXPECT_EQ(table.TranslateLines("Speed"), "Speed");
}

TEST(Translation, TheProgramsKeysHaveTheirLengths) {
  EXPECT_EQ(TTranslationTable::FixedKey1().size(), 43u);
  EXPECT_EQ(TTranslationTable::FixedKey2().size(), 85u);
  EXPECT_EQ(TTranslationTable::DefaultKeyA().size(), 54u);
  EXPECT_EQ(TTranslationTable::DefaultKeyB().size(), 51u);
  EXPECT_EQ(TLanguage(false).Capacity(), 4000);
  EXPECT_EQ(TLiteLanguage(false).Capacity(), 5000);
}

}  // namespace
}  // namespace torvel
