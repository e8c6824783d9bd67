#pragma once

#include <string>

#include "platform/stream.h"
#include "services/translation_table.h"

namespace torvel {

// The main window's translation table, read from "language.llf" in the settings folder: a
// property stream of type TLanguage whose entries are nested TLI records with scrambled texts.
// It holds up to 4000 entries; of two entries for the same text the first is used.
class TLanguage : public TTranslationTable {
 public:
  static constexpr int kCapacity = 4000;

  // With `load`, the settings folder's file is loaded at once.
  explicit TLanguage(bool load = true);

  // Two texts a file carries and the program keeps without using them.
  std::string SecondText;
  std::string ThirdText;

  bool LoadFile(const std::string& path, size_t startOffset) override;
  // Reads the table from the stream's position. On failure the table is empty.
  bool ReadFromStream(TStream& stream);

  // Adds an entry (duplicates included) for a file to be written; false when the table is full.
  bool AddEntry(const std::string& english, const std::string& translation) {
    return Append(english, translation);
  }
  // Writes the table in its file format, safely (the previous file survives a failure).
  bool SaveToFile(const std::string& path);
  bool WriteToStream(TStream& stream) const;

 protected:
  void ResetTexts() override;

 private:
  bool ReadEntries(const std::vector<uint8_t>& items);
};

}  // namespace torvel
