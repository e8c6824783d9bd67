#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "formats/byte_window.h"
#include "formats/color_table.h"
#include "platform/bitmap.h"
#include "platform/stream.h"

namespace torvel {

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
  int64_t MaxPixels = kMostDecodedPixels;

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
