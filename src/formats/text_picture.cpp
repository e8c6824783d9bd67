#include "formats/text_picture.h"

#include <algorithm>
#include <new>

#include "platform/platform_ui.h"
#include "platform/raster.h"
#include "platform/ticks.h"
#include "services/error_texts.h"
#include "services/general.h"

namespace torvel {
namespace {

constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz()";
constexpr int kDigitT = 29;
constexpr int kReadNotifyEvery = 10000;  // characters

int DigitValue(uint8_t c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'Z')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'z')
    return c - 'a' + 36;
  if (c == '(')
    return 62;
  if (c == ')')
    return 63;
  return -1;
}

// What each colour type holds: palette entries, pixels per digit and bits per pixel index.
struct TColorType {
  int Entries;
  int PixelsPerDigit;
  int Bits;
};

TColorType ColorTypeOf(int type) {
  static constexpr TColorType kTypes[] = {{2, 6, 1},  {4, 3, 2},  {8, 2, 3},
                                          {16, 1, 6}, {32, 1, 6}, {64, 1, 6}};
  return kTypes[std::clamp(type, 1, 6) - 1];
}

constexpr TColor kDefaultPalette[8] = {0x000000, 0x0000FF, 0x00FFFF, 0x00FF00,
                                       0xFF0000, 0xC0C0C0, 0x808080, 0xFFFFFF};

std::array<uint8_t, 3> TripleOf(TColor value) {
  return {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
          static_cast<uint8_t>(value)};
}

// Skips comments and every character without a meaning; gives the next digit or mark.
class TTextScanner {
 public:
  enum class TKind { Digit, HeaderEnd, PictureEnd, DataEnd };

  TTextScanner(TByteStream& in, int64_t position) : in_(in), position_(position) {}

  TKind Next(int& digit) {
    uint8_t c = 0;
    while (in_.ReadByte(position_, c)) {
      ++position_;
      ++read_;
      if (c == '{') {
        ++depth_;
      } else if (c == '}') {
        --depth_;
      } else if (depth_ == 0) {
        if (c == '~')
          return TKind::HeaderEnd;
        if (c == '#')
          return TKind::PictureEnd;
        digit = DigitValue(c);
        if (digit >= 0)
          return TKind::Digit;
      }
    }
    return TKind::DataEnd;
  }
  int64_t Position() const { return position_; }
  int64_t CharactersRead() const { return read_; }

 private:
  TByteStream& in_;
  int64_t position_;
  int64_t read_ = 0;
  int64_t depth_ = 0;  // below zero after a "}" without "{": skipped until it is back at zero
};

struct THeader {
  int Type = 0;
  int64_t Width = 0;
  int64_t Height = 0;
  TColor Palette[64] = {};
};

// Reads up to and including "~"; false when no valid type came before it or the data ended.
bool ReadHeader(TTextScanner& scan, THeader& h) {
  bool seenT = false;
  int sizeDigits = 0, paletteDigits = 0;
  int64_t colour = 0;
  for (int digit = 0;;) {
    switch (scan.Next(digit)) {
      case TTextScanner::TKind::HeaderEnd:
        return h.Type != 0;
      case TTextScanner::TKind::PictureEnd:
      case TTextScanner::TKind::DataEnd:
        return false;
      case TTextScanner::TKind::Digit:
        break;
    }
    if (!seenT) {
      seenT = digit == kDigitT;
    } else if (h.Type == 0) {
      if (digit < 1 || digit > 6) {
        return false;
      }
      h.Type = digit;
      std::copy(std::begin(kDefaultPalette), std::end(kDefaultPalette), h.Palette);
    } else if (sizeDigits < 6) {
      int64_t& side = sizeDigits < 3 ? h.Width : h.Height;
      int64_t weight = 1;
      for (int k = 0; k < sizeDigits % 3; ++k)
        weight *= 64;
      side += digit * weight;
      ++sizeDigits;
    } else if (paletteDigits < ColorTypeOf(h.Type).Entries * 4) {
      const int place = paletteDigits % 4;
      colour += int64_t{digit} << (6 * place);
      if (place == 3) {
        h.Palette[paletteDigits / 4] = static_cast<TColor>(colour);
        colour = 0;
      }
      ++paletteDigits;
    }
  }
}

// Reads the body into the white picture, up to "#", the end of the data or the last pixel.
// Every 10000 characters, notice(percent read) is called.
void ReadBody(TTextScanner& scan, const THeader& header, Bitmap& picture, int64_t streamSize,
              const std::function<void(int)>& notice) {
  const TColorType type = ColorTypeOf(header.Type);
  std::array<std::array<uint8_t, 3>, 64> colours{};
  for (int i = 0; i < type.Entries; ++i) {
    colours[static_cast<size_t>(i)] = TripleOf(header.Palette[i]);
  }
  TByteImage pixels;
  pixels.Attach(&picture);
  const int mask = (1 << type.Bits) - 1;
  int64_t nextNotice = kReadNotifyEvery;
  for (int digit = 0;;) {
    const TTextScanner::TKind kind = scan.Next(digit);
    if (kind == TTextScanner::TKind::PictureEnd || kind == TTextScanner::TKind::DataEnd) {
      return;
    }
    if (kind != TTextScanner::TKind::Digit) {
      continue;  // a "~" in the body means nothing
    }
    for (int k = 0; k < type.PixelsPerDigit; ++k) {
      const int index = std::min((digit >> (k * type.Bits)) & mask, type.Entries - 1);
      if (!pixels.PutNext(colours[static_cast<size_t>(index)])) {
        return;  // the picture is full: later digits are not used
      }
    }
    if (scan.CharactersRead() >= nextNotice) {
      nextNotice += kReadNotifyEvery;
      notice(static_cast<int>(scan.Position() * 100 / std::max<int64_t>(streamSize, 1)));
    }
  }
}

// Writes single characters through the window and counts the failures.
class TTextWriter {
 public:
  TTextWriter(TByteStream& out, int64_t position) : out_(out), position_(position) {}
  void Put(char c) { ok_ = out_.WriteByte(position_++, static_cast<uint8_t>(c)) && ok_; }
  void Put(const char* text) {
    for (; *text != '\0'; ++text)
      Put(*text);
  }
  void PutDigit(int value) { Put(kDigits[value & 63]); }
  void PutNumber(int64_t value, int digits) {
    for (int k = 0; k < digits; ++k, value >>= 6)
      PutDigit(static_cast<int>(value & 63));
  }
  bool Ok() const { return ok_; }

 private:
  TByteStream& out_;
  int64_t position_;
  bool ok_ = true;
};

// The line breaks of the three layouts.
class TBreaker {
 public:
  TBreaker(TTextWriter& out, int layout) : out_(out), layout_(layout) {}
  void Open() {
    if (layout_ == 1)
      out_.Put("'+'");
    if (layout_ == 2)
      out_.Put("\r\n");
  }
  void CountDigit() {
    ++digits_;
    if (layout_ == 1 && digits_ % 250 == 0) {
      ++breaks_;
      out_.Put(breaks_ % 4 == 3 ? "'+\r\n'" : "'+'");
    } else if (layout_ == 2 && digits_ % 68 == 0) {
      out_.Put("\r\n");
    }
  }

 private:
  TTextWriter& out_;
  int layout_;
  int64_t digits_ = 0;
  int64_t breaks_ = 0;
};

}  // namespace

// --- colour tables ---

int FindColor(const ColorTable& table, TColor color) {
  const std::array<uint8_t, 3> triple = TripleOf(color);
  for (int i = 0; i < table.Count; ++i) {
    if (table.Triples[static_cast<size_t>(i)] == triple) {
      return i;
    }
  }
  return -1;
}

int AddColor(ColorTable& table, TColor color) {
  const int found = FindColor(table, color);
  if (found >= 0) {
    return found;
  }
  if (table.Count >= 256) {
    return -1;
  }
  const auto i = static_cast<size_t>(table.Count++);
  table.Triples[i] = TripleOf(color);
  table.Values[i] = color & 0xFFFFFF;
  return static_cast<int>(i);
}

void CollectColors(const Bitmap& picture, ColorTable& table, int limit) {
  table.Count = 0;
  limit = std::min(limit, 256);
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      if (table.Count >= limit || AddColor(table, picture.Pixel(x, y)) < 0) {
        return;
      }
    }
  }
}

// --- byte stream ---

bool TByteStream::Attach(TStream* stream) {
  if (!Flush()) {
    return false;
  }
  stream_ = stream;
  size_ = stream != nullptr ? stream->Size() : 0;
  start_ = -1;
  valid_ = 0;
  pending_ = false;
  return true;
}

bool TByteStream::PlaceWindow(int64_t position) {
  const int64_t back = mode_ == 1 ? kWindowSize - 1 : mode_ == 2 ? kWindowSize / 2 - 1 : 0;
  start_ = std::max<int64_t>(0, position - back);
  valid_ = 0;
  pending_ = false;
  if (stream_ == nullptr || !stream_->Seek(start_)) {
    return false;
  }
  valid_ = static_cast<int>(stream_->Read(window_.data(), kWindowSize));
  return true;
}

bool TByteStream::ReadByte(int64_t position, uint8_t& byte) {
  if (start_ < 0 || position < start_ || position >= start_ + valid_) {
    if (position < 0 || !PlaceWindow(position)) {
      return false;
    }
  }
  if (position < start_ || position >= start_ + valid_) {
    return false;  // at or past the end of the stream
  }
  byte = window_[static_cast<size_t>(position - start_)];
  return true;
}

bool TByteStream::WriteByte(int64_t position, uint8_t byte) {
  if (stream_ == nullptr || position < 0) {
    return false;
  }
  if (start_ < 0 || position < start_ || position - start_ >= kWindowSize) {
    if (!Flush()) {
      start_ = -1;  // the window is dropped
      valid_ = 0;
      pending_ = false;
      return false;
    }
    PlaceWindow(position);
  }
  const auto offset = static_cast<int>(position - start_);
  window_[static_cast<size_t>(offset)] = byte;
  valid_ = std::max(valid_, offset + 1);
  size_ = std::max(size_, position + 1);
  pending_ = true;
  return true;
}

bool TByteStream::Flush() {
  if (stream_ == nullptr || !pending_) {
    return true;
  }
  pending_ = false;
  return stream_->Seek(start_) && stream_->WriteAll(window_.data(), static_cast<size_t>(valid_));
}

// --- byte image ---

void TByteImage::Attach(Bitmap* picture) {
  picture_ = picture;
  width_ = picture != nullptr ? picture->Width() : 0;
  height_ = picture != nullptr ? picture->Height() : 0;
  lastColumn_ = std::max(width_ - 1, 0);
  lastRow_ = std::max(height_ - 1, 0);
  column_ = 0;
  row_ = 0;
  cachedRow_ = -1;
}

void TByteImage::SetCursor(int column, int row) {
  column_ = std::clamp(column, -1, lastColumn_);
  row_ = std::clamp(row, 0, lastRow_);
}

uint8_t* TByteImage::RowAddress(int row) {
  if (row != cachedRow_) {
    cachedRow_ = row;
    cachedAddress_ = picture_->Row(row);
  }
  return cachedAddress_;
}

std::array<uint8_t, 3> TByteImage::GetPixel(int column, int row) {
  if (picture_ == nullptr || column < 0 || row < 0 || column >= width_ || row >= height_) {
    return {0, 0, 0};
  }
  const uint8_t* p = RowAddress(row) + column * 3;
  return {p[0], p[1], p[2]};
}

void TByteImage::SetPixel(int column, int row, const std::array<uint8_t, 3>& triple) {
  if (picture_ == nullptr || column < 0 || row < 0 || column >= width_ || row >= height_) {
    return;
  }
  std::copy(triple.begin(), triple.end(), RowAddress(row) + column * 3);
}

bool TByteImage::PutNext(const std::array<uint8_t, 3>& triple) {
  if (picture_ == nullptr || row_ >= height_ || width_ == 0) {
    return false;
  }
  SetPixel(std::max(column_, 0), row_, triple);
  if (++column_ >= width_) {
    column_ = 0;
    ++row_;  // may now lie below the last row: the next call fails
  }
  return true;
}

// --- the picture ---

void TTextPicture::Notify(bool always, int percent, const char* stage) {
  if (!ProgressHandler) {
    return;
  }
  const int32_t now = static_cast<int32_t>(GetTickCount());
  if (always || now - lastProgressTime_ >= 250) {
    lastProgressTime_ = now;
    ProgressHandler(percent, stage);
  }
}

void TTextPicture::Fail(const std::string& text) {
  LastError = text;
  throw EGeneralError(text);
}

std::string TTextPicture::Read(TStream& stream) {
  TByteStream in;
  in.Attach(&stream);
  TTextScanner scan(in, stream.Position());
  THeader header;
  if (!ReadHeader(scan, header)) {
    return kUnknownFormat;
  }
  if (header.Width < 1 || header.Height < 1) {
    return kUnexpectedError;
  }
  // Refused before allocating when it is larger than any picture the program holds.
  Bitmap picture;
  if (header.Width * header.Height > MaxPixels ||
      !picture.Resize(static_cast<int>(header.Width), static_cast<int>(header.Height))) {
    return kOutOfMemory;
  }
  FillRect(picture, picture.Rect(), kWhite);
  ReadBody(scan, header, picture, stream.Size(),
           [this](int percent) { Notify(false, percent, "Loading"); });
  picture_ = std::move(picture);
  return "";
}

void TTextPicture::LoadFromStream(TStream& stream) {
  std::string text = kOutOfMemory;
  Notify(true, 0, "Loading");
  try {
    text = Read(stream);
  } catch (const std::bad_alloc&) {
    text = kOutOfMemory;
  }
  Notify(true, 100, "Loading");
  if (!text.empty()) {
    Fail(text);
  }
}

void TTextPicture::SaveToStream(TStream& stream) {
  std::string text = kOutOfMemory;
  Notify(true, 0, "Saving");
  const int t = colorType_;
  const int m = lineLayout_;
  // Larger sides do not fit the header's three digits: refused rather than written wrongly.
  if (picture_.Width() <= kMostSide && picture_.Height() <= kMostSide) {
    try {
      TByteStream bytes;
      bytes.Attach(&stream);
      TTextWriter out(bytes, stream.Position());
      const TColorType type = ColorTypeOf(t);
      auto table = std::make_unique<ColorTable>();
      CollectColors(picture_, *table, type.Entries);
      out.Put('T');
      out.PutDigit(t);
      out.PutNumber(picture_.Width(), 3);
      out.PutNumber(picture_.Height(), 3);
      for (int i = 0; i < table->Count; ++i) {
        out.PutNumber(table->Values[static_cast<size_t>(i)], 4);
      }
      out.Put('~');
      TBreaker breaks(out, m);
      breaks.Open();
      int group = 0, filled = 0;
      for (int y = 0; y < picture_.Height(); ++y) {
        Notify(false, (y + 1) * 100 / std::max(picture_.Height(), 1), "Saving");
        for (int x = 0; x < picture_.Width(); ++x) {
          const int index = std::max(FindColor(*table, picture_.Pixel(x, y)), 0);
          group |= index << (filled * type.Bits);
          if (++filled == type.PixelsPerDigit) {
            out.PutDigit(group);
            breaks.CountDigit();
            group = filled = 0;
          }
        }
      }
      if (filled > 0) {
        out.PutDigit(group);
        breaks.CountDigit();
      }
      out.Put('#');
      if (out.Ok() && bytes.Flush()) {
        text.clear();
      }
    } catch (const std::bad_alloc&) {
      text = kOutOfMemory;
    }
  }
  Notify(true, 100, "Saving");
  if (!text.empty()) {
    Fail(text);
  }
}

void TTextPicture::Draw(Bitmap& canvas, const TRect& rect) const {
  StretchRect(picture_, picture_.Rect(), canvas, rect);
}

bool TTextPicture::LoadFromClipboardFormat() {
  TPlatformUi* ui = PlatformUi();
  Bitmap picture;
  if (ui == nullptr || !ui->ReadClipboardPicture(picture)) {
    return false;
  }
  picture_ = std::move(picture);
  return true;
}

bool TTextPicture::SaveToClipboardFormat() const {
  TPlatformUi* ui = PlatformUi();
  return ui != nullptr && ui->WriteClipboardPicture(picture_);
}

void TTextPicture::Assign(const TTextPicture& source) {
  picture_ = source.picture_;
  lineLayout_ = source.lineLayout_;
  colorType_ = source.colorType_;
}

void TTextPicture::Assign(const Bitmap& source) {
  Bitmap picture;
  if (!picture.Resize(source.Width(), source.Height())) {
    throw std::bad_alloc();
  }
  FillRect(picture, picture.Rect(), kWhite);
  CopyRect(source, source.Rect(), picture, 0, 0);
  picture_ = std::move(picture);
}

Bitmap TextPictureToBitmap(const std::string& text) {
  try {
    TTextPicture decoder;
    TMemoryView bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    decoder.LoadFromStream(bytes);
    return decoder.Picture();
  } catch (const std::exception&) {  // EGeneralError, or memory ran out
    return Bitmap();
  }
}

}  // namespace torvel
