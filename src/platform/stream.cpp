#include "platform/stream.h"

#include "platform/files.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace torvel {

namespace {

// Reading from bytes in memory, for both memory streams.
size_t ReadBytesAt(const uint8_t* data, size_t size, size_t& position, void* buffer, size_t count) {
  if (count == 0 || position >= size) {
    return 0;
  }
  const size_t n = std::min(count, size - position);
  std::memcpy(buffer, data + position, n);
  position += n;
  return n;
}

bool SeekTo(int64_t target, size_t& position) {
  if (target < 0) {
    return false;
  }
  position = static_cast<size_t>(target);
  return true;
}

}  // namespace

size_t TMemoryStream::Read(void* buffer, size_t count) {
  return ReadBytesAt(data_.data(), data_.size(), position_, buffer, count);
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) {
    return 0;
  }
  try {
    if (position_ + count > data_.size()) {
      data_.resize(position_ + count);
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  std::memcpy(data_.data() + position_, buffer, count);
  position_ += count;
  return count;
}

bool TMemoryStream::Seek(int64_t position) {
  return SeekTo(position, position_);
}

size_t TMemoryView::Read(void* buffer, size_t count) {
  return ReadBytesAt(data_, size_, position_, buffer, count);
}

bool TMemoryView::Seek(int64_t position) {
  return SeekTo(position, position_);
}

size_t TStreamWindow::Read(void* buffer, size_t count) {
  const int64_t left = std::max<int64_t>(length_ - position_, 0);
  const auto wanted = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(count)));
  if (wanted == 0 || !base_.Seek(offset_ + position_)) {
    return 0;
  }
  const size_t read = base_.Read(buffer, wanted);
  position_ += static_cast<int64_t>(read);
  return read;
}

bool TStreamWindow::Seek(int64_t position) {
  if (position < 0) {
    return false;
  }
  position_ = position;
  return true;
}

std::vector<uint8_t> TMemoryStream::TakeBytes() {
  position_ = 0;
  return std::exchange(data_, {});
}

std::unique_ptr<TFileStream> TFileStream::Open(const std::string& path, TMode mode) {
  const char* how = mode == TMode::Read ? "rb" : mode == TMode::Create ? "wb" : "r+b";
  std::FILE* file = nullptr;
  if (mode == TMode::Read) {
    // A named pipe at the path must not hold the program up.
    const int fd = OpenRegularFileForReading(path);
    file = fd < 0 ? nullptr : ::fdopen(fd, how);
    if (file == nullptr && fd >= 0) {
      ::close(fd);
    }
  } else {
    file = std::fopen(path.c_str(), how);
  }
  if (file == nullptr) {
    return nullptr;
  }
  return std::unique_ptr<TFileStream>(new TFileStream(file));
}

TFileStream::~TFileStream() {
  Close();
}

size_t TFileStream::Read(void* buffer, size_t count) {
  return file_ ? std::fread(buffer, 1, count, file_) : 0;
}

size_t TFileStream::Write(const void* buffer, size_t count) {
  return file_ ? std::fwrite(buffer, 1, count, file_) : 0;
}

bool TFileStream::Seek(int64_t position) {
  return file_ && position >= 0 && fseeko(file_, static_cast<off_t>(position), SEEK_SET) == 0;
}

int64_t TFileStream::Position() const {
  return file_ ? static_cast<int64_t>(ftello(file_)) : 0;
}

int64_t TFileStream::Size() const {
  if (file_ == nullptr) {
    return 0;
  }
  const off_t here = ftello(file_);
  fseeko(file_, 0, SEEK_END);
  const off_t size = ftello(file_);
  fseeko(file_, here, SEEK_SET);
  return static_cast<int64_t>(size);
}

bool TFileStream::Flush() {
  return file_ && std::fflush(file_) == 0 && fsync(fileno(file_)) == 0;
}

bool TFileStream::Close() {
  if (file_ == nullptr) {
    return true;
  }
  const bool ok = std::fclose(file_) == 0;
  file_ = nullptr;
  return ok;
}

}  // namespace torvel
