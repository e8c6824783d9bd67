#include "app/recent_files.h"

#include <algorithm>

namespace torvel {
namespace {

std::string KeyOf(int index) {
  return "File" + std::to_string(index + 1);
}

}  // namespace

void TRecentFiles::Add(const std::string& path) {
  Remove(path);
  files_.insert(files_.begin(), path);
  if (files_.size() > size_t{kMost}) {
    files_.resize(kMost);
  }
}

void TRecentFiles::Remove(const std::string& path) {
  files_.erase(std::remove(files_.begin(), files_.end(), path), files_.end());
}

void TRecentFiles::Load(const TIniFile& ini) {
  files_.clear();
  TIniPairs pairs;
  ini.ReadPairs(kSection, pairs);
  for (int i = 0; i < kMost; ++i) {
    const auto found = pairs.find(KeyOf(i));
    if (found != pairs.end() && !found->second.empty() &&
        std::find(files_.begin(), files_.end(), found->second) == files_.end()) {
      files_.push_back(found->second);
    }
  }
}

// A file that never had recent files gets no section; keys of files that left the list are
// emptied.
bool TRecentFiles::Save(TIniFile& ini) const {
  TIniPairs stored;
  ini.ReadPairs(kSection, stored);
  for (int i = 0; i < kMost; ++i) {
    const bool listed = size_t(i) < files_.size();
    if (!listed && stored.count(KeyOf(i)) == 0) {
      continue;
    }
    if (!ini.WriteValue(kSection, KeyOf(i), listed ? files_[size_t(i)] : std::string())) {
      return false;
    }
  }
  return true;
}

}  // namespace torvel
