#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <new>

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
