#pragma once

#include <map>
#include <string>
#include <vector>

namespace torvel {

// Orders names without regard to ASCII case, as the profile format matches them.
struct TNoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const;
};
// Key-value pairs of one or more sections, keys matched without regard to case.
using TIniPairs = std::map<std::string, std::string, TNoCaseLess>;

// The text of a profile (INI) file: "[Section]" header lines and "key=value" lines. Section and
// key names match without regard to ASCII case; blanks around names and values do not count;
// lines starting with ";" or "#" are comments. When a section or key appears twice, the first
// one counts. Parsing is linear and never fails: a line that is neither a header nor a key line
// is kept as it is and otherwise ignored.
class TIniText {
 public:
  explicit TIniText(std::string text = {});

  const std::string& Text() const { return text_; }

  // The first value of the key in the first section of that name.
  bool FindValue(const std::string& section, const std::string& key, std::string& value) const;
  // The key names of the first section of that name, in file order.
  std::vector<std::string> KeyNames(const std::string& section) const;
  // Sets the value, replacing the key's line in place or adding the key at the end of its
  // section (and the section at the end of the text); every other line stays as it was. False,
  // with the text unchanged, for names or values that cannot be stored on one line.
  bool SetValue(const std::string& section, const std::string& key, const std::string& value);

  static bool IsStorable(const std::string& section, const std::string& key,
                         const std::string& value);

 private:
  struct TLine {
    size_t Begin = 0;  // first byte of the line
    size_t End = 0;    // first byte of its line break (or the end of the text)
    size_t Next = 0;   // first byte of the next line
  };
  struct TSectionRange {
    size_t Header = 0;     // index of the header line
    size_t FirstLine = 0;  // index of the first line after the header
    size_t EndLine = 0;    // index of the next header, or the line count
  };

  void SplitLines();
  std::string LineText(size_t index) const;
  bool FindSection(const std::string& section, TSectionRange& range) const;
  bool KeyOfLine(size_t index, std::string& key, std::string& value) const;
  std::string LineBreak() const;

  std::string text_;
  std::vector<TLine> lines_;
};

// A settings file in the profile format. Every operation reads the file afresh; writes go
// through a temporary file that replaces the file only once it is complete.
class TIniFile {
 public:
  // Values come back through a buffer of this many bytes, ended by a zero byte.
  static constexpr size_t kValueBuffer = 1024;
  // Key names come back through one buffer of this many bytes, each name ended by a zero byte
  // and the list by another.
  static constexpr size_t kKeyNameBuffer = 8192;
  // A longer file is not read: it is not a settings file. Files written by hand or by other
  // programs sharing the folder may be long, so the limit is generous.
  static constexpr size_t kMostFileBytes = size_t{4} << 20;

  explicit TIniFile(std::string fileName) : FileName(std::move(fileName)) {}

  // The stored value, at most kValueBuffer - 1 bytes; the default when the file or key is missing.
  std::string ReadValue(const std::string& section, const std::string& key,
                        const std::string& defaultValue) const;
  // Stores the value, creating the file, section and key as needed. False when it cannot be
  // written; LastError then reads "Unable to write to <file>".
  bool WriteValue(const std::string& section, const std::string& key, const std::string& value);
  // Clears the list and fills it with the section's key names in file order, cut where they
  // no longer fit kKeyNameBuffer.
  void ReadKeyNames(const std::string& section, std::vector<std::string>& list) const;
  // For every key of the section, sets the list's entry of that key to its value; an empty value
  // removes the entry. The list is not cleared first.
  void ReadPairs(const std::string& section, TIniPairs& list) const;

  const std::string FileName;
  std::string LastError;

 private:
  bool ReadText(std::string& text) const;
  static std::vector<std::string> NamesInBuffer(const TIniText& ini, const std::string& section);
};

}  // namespace torvel
