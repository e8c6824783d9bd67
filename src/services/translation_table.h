#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/stream.h"

namespace torvel {

// One entry of a translation table. The key is the English text in upper case (ASCII letters).
struct TTranslationEntry {
  std::string English;
  std::string Translation;
  std::string Key;
};

// What the two generations of translation table share: the entries, the keys that unscramble a
// language file, the lookup, and loading the table's file from the settings folder. Lookups never
// throw; a text that is not in the table stays as it is.
class TTranslationTable {
 public:
  virtual ~TTranslationTable() = default;

  std::string LanguageName = "English";
  std::string LastError;
  // The keys that unscramble the entries of a file; their defaults when the file has none.
  std::string KeyA;
  std::string KeyB;

  // Empty and English, with the default keys.
  void Reset();
  int Count() const { return static_cast<int>(entries_.size()); }
  int Capacity() const { return static_cast<int>(capacity_); }
  const TTranslationEntry& Entry(int index) const { return entries_[static_cast<size_t>(index)]; }

  // The table's file in the settings folder; empty when that folder cannot be named.
  std::string LanguageFile() const;
  // The file the table loads: the user's own in the settings folder, which overrides; without
  // one, the installed translation of the desktop's language; without that, none (English).
  std::string FileToLoad() const;
  // Loads the table's file when there is one, trying a locked file again for a while. Without a
  // file the table is reset and the result is true.
  bool LoadLanguage();
  // Reads one file, skipping `startOffset` leading bytes. On failure the table is empty and
  // LastError says why.
  virtual bool LoadFile(const std::string& path, size_t startOffset) = 0;

  // The index of the entry for the text in any letter case, or -1; an empty text is never found.
  int FindText(const std::string& english) const;
  // Replaces the text by its translation when the table has it.
  bool TranslateLine(std::string& text) const;
  // Translates a text line by line, keeping each line's tail of blanks, commas and full stops and
  // moving its accelerator "&" to the first occurrence of its letter in the result. Lines are
  // joined with CR LF.
  std::string TranslateLines(const std::string& english) const;

  // Finds the first character of the text equal to the marker's first character in either case.
  // Mode 0 inserts the replacement before it, mode 1 puts the replacement in its place; then the
  // marker becomes the character that followed it. Nothing changes when there is no such
  // character.
  static void MoveAccelerator(std::string& text, std::string& marker, int mode,
                              const std::string& replacement);

  // The program's keys: the fixed ones unscramble the keys a file stores; the default ones are in
  // force when a file stores none.
  static const std::string& FixedKey1();
  static const std::string& FixedKey2();
  static const std::string& DefaultKeyA();
  static const std::string& DefaultKeyB();

 protected:
  TTranslationTable(size_t capacity, const char* fileName);

  // The file opened for reading; none, with LastError "File not found" or "File in use", when it
  // cannot be.
  std::unique_ptr<TFileStream> OpenForReading(const std::string& path);
  // Appends an entry when there is room; false when the table is full.
  bool Append(const std::string& english, const std::string& translation);
  std::vector<TTranslationEntry>& Entries() { return entries_; }
  // Clears what a file added beyond the entries and keys.
  virtual void ResetTexts() = 0;

 private:
  std::string TranslateOneLine(const std::string& line) const;

  std::vector<TTranslationEntry> entries_;
  size_t capacity_;
  const char* fileName_;
};

}  // namespace torvel
