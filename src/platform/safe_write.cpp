#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <random>
#include <string_view>

#include "platform/error_texts.h"
#include "platform/files.h"

// Saving a file so that the previous one survives anything short of its complete replacement.
namespace torvel {
namespace fs = std::filesystem;
namespace {

// ".<name>.torvel-<digits>.part": hidden, beside the file it becomes, and plainly Torvel's own,
// so that the clean-up never takes another program's temporary file.
constexpr std::string_view kTemporaryMark = ".torvel-";
constexpr std::string_view kTemporaryTail = ".part";

std::string TemporaryNameBeside(const std::string& path) {
  static std::mt19937 random{std::random_device{}()};
  return FolderPart(path) + "." + FilePart(path) + std::string(kTemporaryMark) +
         std::to_string(random() % 1000000) + std::string(kTemporaryTail);
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

// A name TemporaryNameBeside makes.
bool IsOurTemporaryName(std::string_view name) {
  if (name.size() < 2 || name[0] != '.' || !name.ends_with(kTemporaryTail)) {
    return false;
  }
  const std::string_view stem = name.substr(0, name.size() - kTemporaryTail.size());
  const size_t mark = stem.rfind(kTemporaryMark);
  if (mark == std::string_view::npos || mark < 2) {
    return false;
  }
  const std::string_view digits = stem.substr(mark + kTemporaryMark.size());
  return !digits.empty() &&
         std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); });
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

// The path a save replaces: a symbolic link is followed to the file it names, so that the link
// stays and that file gets the new contents.
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      return path;
    }
    std::string target(static_cast<size_t>(PATH_MAX), '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0) {
      return path;
    }
    target.resize(static_cast<size_t>(n));
    path = target.front() == '/' ? target : FolderPart(path) + target;
  }
  return path;  // a loop of links: the rename below fails on it
}

// What stands at path when it is something a save must not replace: a folder, a named pipe, a
// device or a socket (a reader waiting on a pipe would get nothing, and the pipe would be gone).
const char* WhyNotAFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) {
    return nullptr;
  }
  if (S_ISDIR(info.st_mode)) {
    return "Is a folder";
  }
  if (S_ISFIFO(info.st_mode)) {
    return "Is a named pipe";
  }
  return S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) ? "Is a device" : "Not an ordinary file";
}

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

bool Fail(TWriteReport& report, TWriteFailure failure, int systemError) {
  report.Failure = failure;
  report.SystemError = systemError;
  return false;
}

}  // namespace

bool WriteFileSafely(const std::string& path, const uint8_t* data, size_t size,
                     TWriteReport* report) {
  return WriteFileSafely(
      path, [&](TStream& stream) { return stream.WriteAll(data, size); }, report);
}

bool WriteFileSafely(const std::string& path, const std::function<bool(TStream&)>& write,
                     TWriteReport* report) {
  TWriteReport ignored;
  TWriteReport& result = report != nullptr ? *report : ignored;
  result = {};
  const std::string target = FollowLinks(path);
  if (WhyNotAFile(target) != nullptr) {
    return Fail(result, TWriteFailure::NotAFile, 0);
  }
  RemoveStaleTemporaryFiles(FolderPart(target));
  const std::string temp = TemporaryNameBeside(target);
  const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    return Fail(result, TWriteFailure::Creating, errno);
  }
  // The lock tells a later save that this temporary file is still being written.
  ::flock(fd, LOCK_EX | LOCK_NB);
  TDescriptorStream stream(fd);
  bool written = false;
  errno = 0;
  try {
    written = write(stream) && TakeOverMode(target, fd) && ::fsync(fd) == 0;
  } catch (...) {
    written = false;  // the writer ran out of memory: the previous file stays
  }
  const int writeError = errno;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    ::unlink(temp.c_str());
    return Fail(result, TWriteFailure::Writing, written ? errno : writeError);
  }
  // rename replaces the target even when it is read-only; the folder's permissions decide.
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int renameError = errno;
    ::unlink(temp.c_str());
    return Fail(result, TWriteFailure::Replacing, renameError);
  }
  SyncFolder(FolderPart(target));
  return true;
}

std::string WriteFailureText(const TWriteReport& report, const std::string& path) {
  const int e = report.SystemError;
  const char* text = report.Failure == TWriteFailure::Writing ? kOutOfDiskSpace : kFileInUse;
  if (report.Failure == TWriteFailure::NotAFile) {
    text = kNotAFile;
  } else if (e == ENOENT || e == ENOTDIR) {
    text = kPathNotFound;
  } else if (e == EACCES || e == EPERM || e == EROFS) {
    text = kAccessDenied;
  } else if (e == ENOSPC || e == EDQUOT || e == EFBIG) {
    text = kOutOfDiskSpace;
  }
  const char* reason = report.Failure == TWriteFailure::NotAFile ? WhyNotAFile(FollowLinks(path))
                       : e != 0                                  ? std::strerror(e)
                                                                 : nullptr;
  return std::string(text) + "\r\n" + path + (reason != nullptr ? ": " + std::string(reason) : "");
}

}  // namespace torvel
