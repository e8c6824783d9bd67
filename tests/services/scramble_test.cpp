#include "services/scramble.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "services/general.h"

namespace torvel {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string text;
  for (int value : values) {
    text += static_cast<char>(value);
  }
  return text;
}

TEST(ScrambleText, EachModeCombinesTheBytesWithTheRepeatingKey) {
  // "ab" on five bytes uses a, b, a, b, a (97, 98, 97, 98, 97).
  const std::string text = Bytes({1, 2, 3, 4, 200});
  EXPECT_EQ(ScrambleText(text, "ab", 0), Bytes({98, 100, 100, 102, 41}));  // 297 - 256
  EXPECT_EQ(ScrambleText(text, "ab", 1), Bytes({160, 160, 162, 162, 103}));
  EXPECT_EQ(ScrambleText(Bytes({200, 14}), "ab", 2), Bytes({55, 112}));    // 297 - 242
  EXPECT_EQ(ScrambleText(Bytes({100, 200}), "ab", 3), Bytes({245, 102}));  // 3 + 242
  EXPECT_EQ(ScrambleText(text, "ab", 4), text);
  EXPECT_EQ(ScrambleText(text, "ab", -1), text);
  EXPECT_EQ(ScrambleText(text, "", 0), text);
  EXPECT_EQ(ScrambleText("", "ab", 0), "");
}

TEST(ScrambleText, ModesUndoEachOther) {
  std::string everyByte;
  for (int c = 0; c < 256; ++c) {
    everyByte += static_cast<char>(c);
  }
  const std::string key = "k\xFF\x01~ ";
  EXPECT_EQ(ScrambleText(ScrambleText(everyByte, key, 0), key, 1), everyByte);
  EXPECT_EQ(ScrambleText(ScrambleText(everyByte, key, 1), key, 0), everyByte);

  const std::string printable = everyByte.substr(14);
  EXPECT_EQ(ScrambleText(ScrambleText(printable, key, 2), key, 3), printable);
  EXPECT_EQ(ScrambleText(ScrambleText(printable, key, 3), key, 2), printable);
  // A control byte that does not wrap on the way there comes back 242 higher.
  EXPECT_EQ(ScrambleText(ScrambleText("\n", "\x01", 2), "\x01", 3), Bytes({10 + 242}));
}

TEST(ScrambleText, TheGeneralServicesOfferIt) {
  TGeneral general;
  EXPECT_EQ(general.ScrambleText("abc", "\x01", 0), "bcd");
}

TEST(RandomSalt, DrawsTenToFiftyPrintableCharacters) {
  std::set<size_t> lengths;
  std::set<char> characters;
  for (int i = 0; i < 5000; ++i) {
    const std::string salt = RandomSalt();
    lengths.insert(salt.size());
    characters.insert(salt.begin(), salt.end());
  }
  EXPECT_EQ(*lengths.begin(), 10u);
  EXPECT_EQ(*lengths.rbegin(), 50u);
  EXPECT_EQ(lengths.size(), 41u);
  EXPECT_LE(characters.size(), 50u);
  EXPECT_GT(characters.size(), 30u);  // the pool's characters all take part
  for (char c : characters) {
    EXPECT_TRUE(c >= ' ' && c <= '~') << static_cast<int>(c);
  }
}

TEST(StoredText, DecodingGivesBackTheText) {
  for (const std::string text :
       {"https://torvel.example/", "It's the user's animation", "''", "'", "x", "Ünïcödé ✓"}) {
    const std::string stored = StoredText(text, 1);
    EXPECT_NE(stored, text);
    EXPECT_EQ(StoredText(stored, 0), text) << text;
  }
  EXPECT_EQ(StoredText("", 1), "");
  EXPECT_EQ(StoredText("", 0), "");
  EXPECT_EQ(StoredText("text", 2), "");
}

TEST(StoredText, TheStoredFormIsHeadSaltAndBodyWithApostrophesDoubled) {
  std::set<std::string> forms;
  for (int i = 0; i < 200; ++i) {
    const std::string text = "no apostrophes here";
    std::string stored = StoredText(text, 1);
    forms.insert(stored);
    // Undo the doubling to see the plain layout.
    TGeneral().ReplaceAll(stored, "''", "'");
    const int saltLength = static_cast<uint8_t>(stored[0]) - 14;
    EXPECT_GE(saltLength, 10);
    EXPECT_LE(saltLength, 50);
    EXPECT_EQ(stored.size(), 1 + static_cast<size_t>(saltLength) + text.size());
  }
  EXPECT_GT(forms.size(), 1u);  // a fresh salt each time
}

TEST(StoredText, ADamagedStoredTextDecodesToLessWithoutFailing) {
  const std::string text = "a longer text to be cut short";
  const std::string stored = StoredText(text, 1);
  const size_t head = static_cast<uint8_t>(stored[0]) - 14;
  // Cut within the body: the start of the text survives.
  const std::string shortened = StoredText(stored.substr(0, stored.size() - 5), 0);
  EXPECT_FALSE(shortened.empty());
  EXPECT_LT(shortened.size(), text.size());
  EXPECT_EQ(shortened, text.substr(0, shortened.size()));
  EXPECT_EQ(StoredText(stored.substr(0, head), 0), "");  // the salt itself is cut
  EXPECT_EQ(StoredText(Bytes({14, 'a', 'b'}), 0), "");   // a salt of no characters
  EXPECT_EQ(StoredText(Bytes({3}), 0), "");
}

}  // namespace
}  // namespace torvel
