#pragma once

#include <array>
#include <cstdint>

#include "platform/bitmap.h"
#include "platform/stream.h"

namespace torvel {

// Single bytes at absolute positions of a stream, through a 2048-byte window, so that the stream
// itself is touched once per window.
class TByteStream {
 public:
  static constexpr int kWindowSize = 2048;

  TByteStream() = default;
  ~TByteStream() { Flush(); }
  TByteStream(const TByteStream&) = delete;
  TByteStream& operator=(const TByteStream&) = delete;

  // Writes back the previous stream's window first; keeps the old stream when that fails.
  bool Attach(TStream* stream);
  bool ReadByte(int64_t position, uint8_t& byte);
  bool WriteByte(int64_t position, uint8_t byte);
  bool Flush();
  // Where a new window starts: at the byte asked for (0), ending at it (1), or around it (2).
  void SetReadAhead(int mode) { mode_ = mode < 0 || mode > 2 ? 0 : mode; }
  int64_t Size() const { return size_; }

 private:
  bool PlaceWindow(int64_t position);

  TStream* stream_ = nullptr;
  std::array<uint8_t, kWindowSize> window_{};
  int64_t start_ = -1;  // stream position of the window's first byte; -1: no window
  int valid_ = 0;
  bool pending_ = false;
  int64_t size_ = 0;
  int mode_ = 0;
};

// A pixel cursor over a 24-bit picture.
class TByteImage {
 public:
  void Attach(Bitmap* picture);
  void SetCursor(int column, int row);
  uint8_t* RowAddress(int row);
  std::array<uint8_t, 3> GetPixel(int column, int row);
  void SetPixel(int column, int row, const std::array<uint8_t, 3>& triple);
  // Writes at the cursor and moves on, row by row; false once the cursor is below the picture.
  bool PutNext(const std::array<uint8_t, 3>& triple);

 private:
  Bitmap* picture_ = nullptr;
  int width_ = 0, height_ = 0, lastColumn_ = 0, lastRow_ = 0;
  int column_ = 0, row_ = 0;
  int cachedRow_ = -1;
  uint8_t* cachedAddress_ = nullptr;
};

}  // namespace torvel
