#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace torvel {

// A byte stream with a position. Reads and writes move the position by the bytes they moved;
// neither throws.
class TStream {
 public:
  virtual ~TStream() = default;

  // Returns the number of bytes read, less than count at the end of the data.
  virtual size_t Read(void* buffer, size_t count) = 0;
  // Returns the number of bytes written, less than count when the medium fails.
  virtual size_t Write(const void* buffer, size_t count) = 0;
  // Positions past the end are allowed for writing; negative ones fail.
  virtual bool Seek(int64_t position) = 0;
  virtual int64_t Position() const = 0;
  virtual int64_t Size() const = 0;

  bool ReadExact(void* buffer, size_t count) { return Read(buffer, count) == count; }
  bool WriteAll(const void* buffer, size_t count) { return Write(buffer, count) == count; }
  int64_t Remaining() const { return Size() > Position() ? Size() - Position() : 0; }
};

// A stream over a growable byte buffer it owns.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  bool Seek(int64_t position) override;
  int64_t Position() const override { return static_cast<int64_t>(position_); }
  int64_t Size() const override { return static_cast<int64_t>(data_.size()); }

  const std::vector<uint8_t>& Bytes() const { return data_; }
  std::vector<uint8_t> TakeBytes();

 private:
  std::vector<uint8_t> data_;
  size_t position_ = 0;
};

// A read-only stream over bytes it does not own; they must outlive it.
class TMemoryView : public TStream {
 public:
  TMemoryView(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit TMemoryView(const std::vector<uint8_t>& bytes)
      : TMemoryView(bytes.data(), bytes.size()) {}

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void*, size_t) override { return 0; }
  bool Seek(int64_t position) override;
  int64_t Position() const override { return static_cast<int64_t>(position_); }
  int64_t Size() const override { return static_cast<int64_t>(size_); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

// A read-only stream over a stretch of another stream, which must outlive it: length bytes from
// offset on. It moves the other stream's position as it reads.
class TStreamWindow : public TStream {
 public:
  TStreamWindow(TStream& base, int64_t offset, int64_t length)
      : base_(base), offset_(offset), length_(length) {}

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void*, size_t) override { return 0; }
  bool Seek(int64_t position) override;
  int64_t Position() const override { return position_; }
  int64_t Size() const override { return length_; }

 private:
  TStream& base_;
  int64_t offset_;
  int64_t length_;
  int64_t position_ = 0;
};

// A stream over an open file.
class TFileStream : public TStream {
 public:
  enum class TMode { Read, Create, ReadWrite };

  // Returns none when the file cannot be opened in that mode.
  static std::unique_ptr<TFileStream> Open(const std::string& path, TMode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  bool Seek(int64_t position) override;
  int64_t Position() const override;
  int64_t Size() const override;
  // Pushes buffered bytes to the operating system and to the disk; false on failure.
  bool Flush();
  // Closes the file; false when buffered bytes could not be written.
  bool Close();

 private:
  explicit TFileStream(std::FILE* file) : file_(file) {}
  std::FILE* file_;
};

}  // namespace torvel
