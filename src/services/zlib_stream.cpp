#include "services/zlib_stream.h"

#include <algorithm>
#include <climits>

namespace torvel {
namespace {

constexpr int kZlibLevels[] = {Z_NO_COMPRESSION, Z_BEST_SPEED, Z_DEFAULT_COMPRESSION,
                               Z_BEST_COMPRESSION};

int ZlibLevel(int level) {
  return kZlibLevels[std::clamp(level, 0, 3)];
}

}  // namespace

TCustomZlibStream::TCustomZlibStream(TStream& wrapped)
    : wrapped_(wrapped), wrappedPosition_(wrapped.Position()), buffer_(kBufferSize) {}

// --- compression ---

TCompressionStream::TCompressionStream(int level, TStream& target) : TCustomZlibStream(target) {
  if (deflateInit(&z_, ZlibLevel(level)) != Z_OK) {
    throw ECompressionError("error");
  }
  z_.next_out = buffer_.data();
  z_.avail_out = kBufferSize;
}

TCompressionStream::~TCompressionStream() {
  try {
    Finish();
  } catch (const std::exception&) {
    // A destructor cannot report it; callers that care call Finish themselves.
  }
  deflateEnd(&z_);
}

void TCompressionStream::WriteBuffer(size_t count) {
  if (!wrapped_.Seek(wrappedPosition_) || !wrapped_.WriteAll(buffer_.data(), count)) {
    throw ECompressionError("error");
  }
  wrappedPosition_ += static_cast<int64_t>(count);
  z_.next_out = buffer_.data();
  z_.avail_out = kBufferSize;
  Progress();
}

void TCompressionStream::Deflate(int flush) {
  const int status = deflate(&z_, flush);
  if (status < 0 && status != Z_BUF_ERROR) {
    throw ECompressionError("error");
  }
  if (z_.avail_out == 0) {
    WriteBuffer(kBufferSize);
  }
}

size_t TCompressionStream::Write(const void* buffer, size_t count) {
  if (finished_) {
    throw ECompressionError(kInvalidStreamOperation);
  }
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  size_t left = count;
  while (left > 0) {
    const auto piece = static_cast<uInt>(std::min<size_t>(left, UINT_MAX));
    z_.next_in = const_cast<Bytef*>(bytes);
    z_.avail_in = piece;
    while (z_.avail_in > 0) {
      Deflate(Z_NO_FLUSH);
    }
    bytes += piece;
    left -= piece;
  }
  return count;
}

void TCompressionStream::Finish() {
  if (finished_) {
    return;
  }
  finished_ = true;
  z_.next_in = nullptr;
  z_.avail_in = 0;
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    status = deflate(&z_, Z_FINISH);
    if (status < 0 && status != Z_BUF_ERROR) {
      throw ECompressionError("error");
    }
    if (z_.avail_out == 0 || status == Z_STREAM_END) {
      WriteBuffer(kBufferSize - z_.avail_out);
    }
  }
}

size_t TCompressionStream::Read(void*, size_t) {
  throw ECompressionError(kInvalidStreamOperation);
}

bool TCompressionStream::Seek(int64_t position) {
  if (position != Position()) {
    throw ECompressionError(kInvalidStreamOperation);
  }
  return true;
}

// --- decompression ---

TDecompressionStream::TDecompressionStream(TStream& source)
    : TCustomZlibStream(source), start_(source.Position()) {
  if (inflateInit(&z_) != Z_OK) {
    throw EDecompressionError("error");
  }
}

TDecompressionStream::~TDecompressionStream() {
  inflateEnd(&z_);
}

bool TDecompressionStream::Refill() {
  if (!wrapped_.Seek(wrappedPosition_)) {
    return false;
  }
  const size_t got = wrapped_.Read(buffer_.data(), kBufferSize);
  wrappedPosition_ += static_cast<int64_t>(got);
  z_.next_in = buffer_.data();
  z_.avail_in = static_cast<uInt>(got);
  Progress();
  return got > 0;
}

size_t TDecompressionStream::Read(void* buffer, size_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  size_t produced = 0;
  while (produced < count && !ended_) {
    if (z_.avail_in == 0 && !Refill()) {
      break;  // the source ran out before the stream's end
    }
    const auto room = static_cast<uInt>(std::min<size_t>(count - produced, UINT_MAX));
    z_.next_out = out + produced;
    z_.avail_out = room;
    const int status = inflate(&z_, Z_NO_FLUSH);
    produced += room - z_.avail_out;
    if (status == Z_STREAM_END) {
      ended_ = true;
      // Give back what was read past the end, so the source stands right after the stream.
      wrappedPosition_ -= z_.avail_in;
      z_.avail_in = 0;
      wrapped_.Seek(wrappedPosition_);
    } else if (status == Z_NEED_DICT || (status < 0 && status != Z_BUF_ERROR)) {
      throw EDecompressionError("error");
    }
  }
  return produced;
}

size_t TDecompressionStream::Write(const void*, size_t) {
  throw EDecompressionError(kInvalidStreamOperation);
}

bool TDecompressionStream::Seek(int64_t position) {
  if (position == 0) {
    if (inflateReset(&z_) != Z_OK) {
      throw EDecompressionError("error");
    }
    wrappedPosition_ = start_;
    z_.avail_in = 0;
    ended_ = false;
    return true;
  }
  if (position < Position()) {
    throw EDecompressionError(kInvalidStreamOperation);
  }
  uint8_t scratch[4096];
  while (Position() < position) {
    const auto piece =
        static_cast<size_t>(std::min<int64_t>(position - Position(), sizeof scratch));
    if (Read(scratch, piece) == 0) {
      break;
    }
  }
  return true;
}

}  // namespace torvel
