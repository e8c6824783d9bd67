#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <new>
#include <random>
#include <string_view>

namespace torvel {
namespace fs = std::filesystem;

std::string FolderPart(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FilePart(const std::string& path) {
  return path.substr(FolderPart(path).size());
}

namespace {

bool StatPath(const std::string& path, struct stat& info) {
  return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

std::string TemporaryNameBeside(const std::string& path) {
  static std::mt19937 random{std::random_device{}()};
  const std::string name = path.substr(FolderPart(path).size());
  return FolderPart(path) + "." + name + "." + std::to_string(random() % 1000000) + ".part";
}

bool WriteAllTo(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool ReadAllFrom(int fd, uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::read(fd, data, size);
    if (n <= 0) {
      if (n < 0 && errno == EINTR) {
        continue;
      }
      return false;  // an error, or the file got shorter meanwhile
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// A file replaced by a save keeps its permissions (a private file stays private).
bool TakeOverMode(const std::string& path, int fd) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return true;  // a new file: the usual mode
  }
  return ::fchmod(fd, info.st_mode & 07777) == 0;
}

// After a rename the folder entry itself must reach the disk for the new file to survive a
// power cut.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

// ".<name>.<digits>.part", as TemporaryNameBeside makes them.
bool IsOurTemporaryName(const std::string& name) {
  constexpr std::string_view kTail = ".part";
  if (name.size() < 3 + kTail.size() || name[0] != '.' || !name.ends_with(kTail)) {
    return false;
  }
  const std::string stem = name.substr(0, name.size() - kTail.size());
  const size_t dot = stem.find_last_of('.');
  return dot > 1 && dot + 1 < stem.size() &&
         std::all_of(stem.begin() + static_cast<std::ptrdiff_t>(dot) + 1, stem.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; });
}

// Temporary files left by a save that was killed midway. One still being written by another
// save holds its lock and is left alone.
void RemoveStaleTemporaryFiles(const std::string& folder) {
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? "." : folder, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!IsOurTemporaryName(name)) {
      continue;
    }
    const std::string path = folder + name;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
      continue;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      ::unlink(path.c_str());
    }
    ::close(fd);
  }
}

bool MatchFrom(const char* name, const char* mask) {
  for (; *mask != '\0'; ++mask, ++name) {
    if (*mask == '*') {
      while (mask[1] == '*') {
        ++mask;
      }
      for (const char* rest = name;; ++rest) {
        if (MatchFrom(rest, mask + 1)) {
          return true;
        }
        if (*rest == '\0') {
          return false;
        }
      }
    }
    if (*name == '\0') {
      return false;
    }
    const auto a = static_cast<unsigned char>(*name);
    const auto b = static_cast<unsigned char>(*mask);
    if (b != '?' && std::tolower(a) != std::tolower(b)) {
      return false;
    }
  }
  return *name == '\0';
}

void AppendFolderEntries(const std::string& folder, std::vector<TFolderEntry>& entries);

}  // namespace

bool FileExists(const std::string& path) {
  struct stat info {};
  return StatPath(path, info) && S_ISREG(info.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat info {};
  return StatPath(path, info) && S_ISDIR(info.st_mode);
}

bool CreateFolder(const std::string& path) {
  return ::mkdir(path.c_str(), 0777) == 0 || FolderExists(path);
}

bool RemoveEmptyFolder(const std::string& path) {
  return ::rmdir(path.c_str()) == 0;
}

bool DeleteFile(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
    return true;  // no file there (a folder does not count as one)
  }
  if (!S_ISLNK(info.st_mode)) {
    ::chmod(path.c_str(), info.st_mode | S_IWUSR);
  }
  ::unlink(path.c_str());
  return ::lstat(path.c_str(), &info) != 0;
}

int OpenRegularFileForReading(const std::string& path) {
  // Non-blocking, so that a named pipe or a device in place of a file cannot hold us up; the
  // flag is cleared again once the descriptor is known to be an ordinary file.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool ReadWholeFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes) {
  const int fd = OpenRegularFileForReading(path);
  if (fd < 0) {
    return false;
  }
  bool ok = false;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && static_cast<uint64_t>(info.st_size) <= maxBytes) {
    try {
      std::vector<uint8_t> content(static_cast<size_t>(info.st_size));
      ok = ReadAllFrom(fd, content.data(), content.size());
      if (ok) {
        bytes.swap(content);
      }
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  ::close(fd);
  return ok;
}

namespace {

// An open descriptor as a stream, unbuffered: its writers hand over large blocks. A large file
// is sent on to the disk while it is being written, so that the final flush waits only for its
// end rather than for all of it.
class TDescriptorStream : public TStream {
 public:
  static constexpr int64_t kWriteBackEvery = int64_t{32} << 20;

  explicit TDescriptorStream(int fd) : fd_(fd) {}
  size_t Read(void* buffer, size_t count) override {
    const ssize_t n = ::read(fd_, buffer, count);
    return n > 0 ? static_cast<size_t>(n) : 0;
  }
  size_t Write(const void* buffer, size_t count) override {
    if (!WriteAllTo(fd_, static_cast<const uint8_t*>(buffer), count)) {
      return 0;
    }
    unsentBytes_ += static_cast<int64_t>(count);
    if (unsentBytes_ >= kWriteBackEvery) {
      unsentBytes_ = 0;
#if defined(__linux__)
      ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);  // starts the writing, waits for none
#endif
    }
    return count;
  }
  bool Seek(int64_t position) override {
    return position >= 0 && ::lseek(fd_, position, SEEK_SET) == position;
  }
  int64_t Position() const override {
    return ::lseek(fd_, 0, SEEK_CUR);
  }
  int64_t Size() const override {
    struct stat info {};
    return ::fstat(fd_, &info) == 0 ? info.st_size : 0;
  }

 private:
  int fd_;
  int64_t unsentBytes_ = 0;
};

}  // namespace

bool WriteFileSafely(const std::string& path, const uint8_t* data, size_t size,
                     TWriteFailure* failure) {
  return WriteFileSafely(
      path, [&](TStream& stream) { return stream.WriteAll(data, size); }, failure);
}

bool WriteFileSafely(const std::string& path, const std::function<bool(TStream&)>& write,
                     TWriteFailure* failure) {
  TWriteFailure ignored = TWriteFailure::None;
  TWriteFailure& why = failure != nullptr ? *failure : ignored;
  RemoveStaleTemporaryFiles(FolderPart(path));
  why = TWriteFailure::Creating;
  const std::string temp = TemporaryNameBeside(path);
  const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    return false;
  }
  // The lock tells a later save that this temporary file is still being written.
  ::flock(fd, LOCK_EX | LOCK_NB);
  why = TWriteFailure::Writing;
  TDescriptorStream stream(fd);
  bool written = false;
  try {
    written = write(stream) && TakeOverMode(path, fd) && ::fsync(fd) == 0;
  } catch (...) {
    written = false;  // the writer ran out of memory: the previous file stays
  }
  const bool closed = ::close(fd) == 0;
  if (written && closed) {
    why = TWriteFailure::Replacing;
    // rename replaces the target even when it is read-only; the folder's permissions decide.
    if (::rename(temp.c_str(), path.c_str()) == 0) {
      SyncFolder(FolderPart(path));
      why = TWriteFailure::None;
      return true;
    }
  }
  ::unlink(temp.c_str());
  return false;
}

bool CopyFileOver(const std::string& source, const std::string& target) {
  std::vector<uint8_t> bytes;
  constexpr size_t kLargestCopy = size_t{1} << 32;
  return ReadWholeFile(source, kLargestCopy, bytes) &&
         WriteFileSafely(target, bytes.data(), bytes.size());
}

std::vector<TFolderEntry> ListFolder(const std::string& folder) {
  std::vector<TFolderEntry> entries;
  try {
    AppendFolderEntries(folder, entries);
  } catch (const std::exception&) {
    // Keep what was listed before the failure.
  }
  std::sort(entries.begin(), entries.end(),
            [](const TFolderEntry& a, const TFolderEntry& b) { return a.Name < b.Name; });
  return entries;
}

namespace {
void AppendFolderEntries(const std::string& folder, std::vector<TFolderEntry>& entries) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    struct stat info {};
    if (!StatPath(it->path().string(), info)) {
      continue;  // a dangling link or an entry that vanished meanwhile
    }
    entries.push_back(
        {name, S_ISDIR(info.st_mode), !name.empty() && name[0] == '.', info.st_mtime});
  }
}
}  // namespace

bool SetLastWriteTime(const std::string& path, std::time_t time) {
  const struct timespec times[2] = {{time, 0}, {time, 0}};
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool MatchesMask(const std::string& name, const std::string& mask) {
  return MatchFrom(name.c_str(), mask.c_str());
}

}  // namespace torvel
