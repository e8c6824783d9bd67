#include "formats/text_picture.h"

#include <algorithm>
#include <memory>
#include <new>

#include "platform/error_texts.h"
#include "platform/platform_ui.h"
#include "platform/raster.h"
#include "platform/ticks.h"
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
