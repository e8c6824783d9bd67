#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "platform/stream.h"

namespace torvel {

// File and folder operations on "/"-separated paths. None of them throws.

// The folder part of a path runs up to and including its last "/"; the file part is the rest.
std::string FolderPart(const std::string& path);
std::string FilePart(const std::string& path);

bool FileExists(const std::string& path);    // an ordinary file (or a link to one)
bool FolderExists(const std::string& path);  // a folder (or a link to one)
bool CreateFolder(const std::string& path);  // one level; true when it exists afterwards
// Removes the folder when it is empty; true when it was removed.
bool RemoveEmptyFolder(const std::string& path);
// Deletes a file, read-only ones included; true when no file stands at path afterwards.
bool DeleteFile(const std::string& path);
bool CopyFileOver(const std::string& source, const std::string& target);

// Opens an ordinary file for reading without blocking on a named pipe or device at that path;
// -1 when there is none. The caller closes the descriptor.
int OpenRegularFileForReading(const std::string& path);

// Reads a whole file, refusing (false) one larger than maxBytes before reading it.
bool ReadWholeFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes);

// Writes a file safely: the bytes go to a temporary file in the same folder, which is flushed to
// disk and then renamed over the target (a read-only target is replaced too); the new file keeps
// the old one's permissions and the folder is synced after the rename. On any failure the
// temporary file is removed and the previous file is left as it was. Temporary files that an
// earlier save of Torvel's left in the folder when it was killed are removed first.
//
// A symbolic link is followed: the file it names is replaced and the link stays. A folder, named
// pipe or device at path is refused (NotAFile) before anything is written.
enum class TWriteFailure { None, NotAFile, Creating, Writing, Replacing };
struct TWriteReport {
  TWriteFailure Failure = TWriteFailure::None;
  int SystemError = 0;  // errno of the call that failed; 0 when none told
};
bool WriteFileSafely(const std::string& path, const uint8_t* data, size_t size,
                     TWriteReport* report = nullptr);
// The same for a file too large to be made in memory first: write fills the temporary file
// through the stream it is given (which may seek back over what it wrote) and returns false
// when it fails.
bool WriteFileSafely(const std::string& path, const std::function<bool(TStream&)>& write,
                     TWriteReport* report = nullptr);
// The failed write as an error box tells it: the text of what went wrong ("Path not found",
// "Access denied", "Out of disk space", "Not a file", "File in use"), then on a second line the
// path and the system's reason.
std::string WriteFailureText(const TWriteReport& report, const std::string& path);

struct TFolderEntry {
  std::string Name;
  bool IsFolder = false;
  bool IsHidden = false;          // the name begins with "."
  std::time_t LastWriteTime = 0;  // seconds since 1970, UTC
};

// The entries of a folder in name order; empty when it cannot be read.
std::vector<TFolderEntry> ListFolder(const std::string& folder);

// Sets a file's last-write time (seconds since 1970, UTC).
bool SetLastWriteTime(const std::string& path, std::time_t time);

// Case-insensitive wildcard match of a file name against a mask of "*" and "?".
bool MatchesMask(const std::string& name, const std::string& mask);

}  // namespace torvel
