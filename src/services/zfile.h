#pragma once

namespace torvel {

// The temporary files of the maker's programs ("*.ZMP" in the shared TEMP folder). Stale ones
// are purged when the program ends: once by PurgeTemporaryFiles and once more on destruction.
class TZFile {
 public:
  // Files whose last-write time is at least this far from now (either way) are stale.
  static constexpr double kStaleSeconds = 0.00578 * 86400;  // about 8 minutes 19 seconds
  // A purge deletes at most this many files, so ending the program stays quick.
  static constexpr int kMostDeletionsPerPurge = 4;

  TZFile() = default;
  ~TZFile();
  TZFile(const TZFile&) = delete;
  TZFile& operator=(const TZFile&) = delete;

  // Returns the number of files deleted. Never creates the TEMP folder.
  int PurgeTemporaryFiles();
};

}  // namespace torvel
