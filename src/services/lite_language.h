#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "services/translation_table.h"

namespace torvel {

// The editor's translation table, read from "language.ll2" in the settings folder. The file is
// "LLF2.0", a zero byte, then length-prefixed fields: the two stored keys, the entry count, the
// language name, four further texts, and the English text and translation of every entry. It
// holds up to 5000 entries; of two entries for the same text the later one is used. A file is
// taken whole or not at all.
class TLiteLanguage : public TTranslationTable {
 public:
  static constexpr int kCapacity = 5000;

  // With `load`, the settings folder's file is loaded at once.
  explicit TLiteLanguage(bool load = true);

  // Texts a file carries and the program keeps without using them.
  std::array<std::string, 4> ExtraTexts;

  bool LoadFile(const std::string& path, size_t startOffset) override;
  // Reads a whole file's bytes. On failure the table is empty.
  bool ReadFromBytes(const uint8_t* data, size_t size);

  // Adds an entry, or replaces the translation of the entry for the same text; the entry's index,
  // or -1 when a text is empty ("Empty") or the table is full ("Capacity reached").
  int AddText(const std::string& english, const std::string& translation);

  // The table in its file format; empty (LastError "Empty") for a table without entries, which
  // no reader would accept.
  std::vector<uint8_t> Encode();
  // Writes the table safely (the previous file survives a failure).
  bool SaveToFile(const std::string& path);

 protected:
  void ResetTexts() override;

 private:
  bool ReadWhole(const std::string& path, std::vector<uint8_t>& bytes);
  bool Parse(const uint8_t* data, size_t size);
};

}  // namespace torvel
