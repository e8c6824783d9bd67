#pragma once

#include <string>
#include <vector>

#include "services/ini_file.h"

namespace torvel {

// File > Open Recent: the animations last opened or saved, newest first, each once. Kept in the
// settings file in a section of its own, as File1 (newest) to File8.
class TRecentFiles {
 public:
  static constexpr int kMost = 8;
  static constexpr const char* kSection = "Recent";

  const std::vector<std::string>& Files() const { return files_; }
  // Puts the file first, dropping an older mention of it and the oldest beyond kMost.
  void Add(const std::string& path);
  void Remove(const std::string& path);
  void Clear() { files_.clear(); }

  void Load(const TIniFile& ini);
  // Writes the list's keys and empties those of files no longer listed; false when the file
  // cannot be written.
  bool Save(TIniFile& ini) const;

 private:
  std::vector<std::string> files_;
};

}  // namespace torvel
