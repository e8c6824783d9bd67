#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/bitmap.h"
#include "platform/stream.h"

namespace torvel {

// A palette of up to 256 colours, as a 24-bit picture row holds them (blue, green, red) and as
// colour values (red in the low byte).
struct ColorTable {
  std::array<std::array<uint8_t, 3>, 256> Triples{};
  std::array<TColor, 256> Values{};
  int Count = 0;
};

// The first index of the colour, or -1.
int FindColor(const ColorTable& table, TColor color);
// The colour's index, appending it when it is new; -1 when the table is full.
int AddColor(ColorTable& table, TColor color);
// Empties the table and collects the picture's colours, row by row from the top, until limit
// (at most 256) colours are found.
void CollectColors(const Bitmap& picture, ColorTable& table, int limit);

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

// A picture of up to 64 colours kept as plain printable text: "T", the colour type, width and
// height, the palette, "~", the pixels as digits of a 64-character alphabet, "#". Comments in
// braces and every character that is not a digit are skipped.
class TTextPicture {
 public:
  // Notified with a percentage and "Loading" or "Saving".
  using TProgressHandler = std::function<void(int percent, const std::string& stage)>;

  // The largest width and height the header can hold: three digits of 64.
  static constexpr int kMostSide = 64 * 64 * 64 - 1;

  int GetWidth() const { return picture_.Width(); }
  int GetHeight() const { return picture_.Height(); }
  bool GetEmpty() const { return picture_.IsEmpty(); }
  void SetWidth(int width) { picture_.Resize(width, picture_.Height()); }
  void SetHeight(int height) { picture_.Resize(picture_.Width(), height); }
  const Bitmap& Picture() const { return picture_; }
  // Stretches the picture into the rectangle of the canvas.
  void Draw(Bitmap& canvas, const TRect& rect) const;

  // Raise EGeneralError with the failure's text, which also stays in LastError.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream);
  // Through the platform's clipboard; false when it holds no picture or refuses one.
  bool LoadFromClipboardFormat();
  bool SaveToClipboardFormat() const;

  void Assign(const TTextPicture& source);
  // The source drawn at (0, 0) on white, at its own size.
  void Assign(const Bitmap& source);

  uint8_t GetColorType() const { return colorType_; }
  void SetColorType(int type) {
    colorType_ = static_cast<uint8_t>(type < 1 ? 1 : type > 6 ? 6 : type);
  }
  uint8_t GetLineLayout() const { return lineLayout_; }
  void SetLineLayout(int layout) {
    lineLayout_ = static_cast<uint8_t>(layout < 0 ? 0 : layout > 2 ? 2 : layout);
  }

  TProgressHandler ProgressHandler;
  std::string LastError;
  // The most pixels a text may declare; larger ones are refused before anything is allocated.
  int64_t MaxPixels = kMaxPicturePixels;

 private:
  std::string Read(TStream& stream);
  void Notify(bool always, int percent, const char* stage);
  [[noreturn]] void Fail(const std::string& text);

  Bitmap picture_;
  int32_t lastProgressTime_ = 0;
  uint8_t lineLayout_ = 0;
  uint8_t colorType_ = 6;
};

// The decoded picture of a text; 0 x 0 when the text cannot be read.
Bitmap TextPictureToBitmap(const std::string& text);

}  // namespace torvel
