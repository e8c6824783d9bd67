#pragma once

#include <zlib.h>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

#include "platform/stream.h"

namespace torvel {

// Raised by the zlib adapters. Unlike the other streams, these two report misuse and corrupt data
// by throwing; the archive and the animation file catch it.
class ECompressionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EDecompressionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kInvalidStreamOperation = "Invalid stream operation";

// What the two adapters share: the wrapped stream, the position in it they last used, a
// 65,536-byte buffer exchanged with it and the zlib state.
class TCustomZlibStream : public TStream {
 public:
  static constexpr size_t kBufferSize = 65536;

  // Called after each buffer exchanged with the wrapped stream.
  std::function<void(TCustomZlibStream&)> OnProgress;

 protected:
  explicit TCustomZlibStream(TStream& wrapped);
  void Progress() {
    if (OnProgress) {
      OnProgress(*this);
    }
  }

  TStream& wrapped_;
  int64_t wrappedPosition_;
  std::vector<uint8_t> buffer_;
  z_stream z_{};
};

// A write-only stream that deflates everything written to it into one complete zlib stream
// (RFC 1950) in the target. The target holds the whole stream once Finish has run (the
// destructor runs it when nobody did).
class TCompressionStream : public TCustomZlibStream {
 public:
  // Level 0 stores, 1 is fastest, 2 is zlib's default, 3 compresses best.
  TCompressionStream(int level, TStream& target);
  ~TCompressionStream() override;

  // Feeds the bytes to deflate; a full output buffer is written to the target.
  size_t Write(const void* buffer, size_t count) override;
  // Ends the zlib stream and writes what is left. Throws ECompressionError when the target
  // refuses bytes.
  void Finish();

  // Reading fails; seeking is only allowed as a query of the current position.
  size_t Read(void* buffer, size_t count) override;
  bool Seek(int64_t position) override;
  // The number of bytes written into the adapter so far.
  int64_t Position() const override { return static_cast<int64_t>(z_.total_in); }
  int64_t Size() const override { return Position(); }

 private:
  void Deflate(int flush);
  void WriteBuffer(size_t count);

  bool finished_ = false;
};

// A read-only stream over a zlib stream that starts at the source's current position. Bytes
// after the end of the zlib stream are not read as data; once the end is reached, the source is
// left right after it.
class TDecompressionStream : public TCustomZlibStream {
 public:
  explicit TDecompressionStream(TStream& source);
  ~TDecompressionStream() override;

  // Inflates up to count bytes; fewer only when the zlib stream ended or the source ran out.
  size_t Read(void* buffer, size_t count) override;
  // Writing fails.
  size_t Write(const void* buffer, size_t count) override;
  // 0 restarts inflation from the start of the source; a position at or past the bytes produced
  // so far is reached by reading and discarding; anything else fails.
  bool Seek(int64_t position) override;
  // The number of bytes produced so far (the inflated size is not known before the end).
  int64_t Position() const override { return static_cast<int64_t>(z_.total_out); }
  int64_t Size() const override { return Position(); }

  // Whether the zlib stream's end (with a correct checksum) has been read.
  bool Ended() const { return ended_; }

 private:
  bool Refill();

  int64_t start_;
  bool ended_ = false;
};

}  // namespace torvel
