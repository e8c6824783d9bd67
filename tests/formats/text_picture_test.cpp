#include "formats/text_picture.h"

#include <gtest/gtest.h>

#include "platform/error_texts.h"
#include "platform/raster.h"
#include "services/general.h"

namespace torvel {
namespace {

constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz()";

// A number as n digits, least significant first.
std::string Number(int64_t value, int n) {
  std::string text;
  for (int k = 0; k < n; ++k, value >>= 6) {
    text += kDigits[value & 63];
  }
  return text;
}

std::string Header(int type, int w, int h, const std::vector<TColor>& palette = {}) {
  std::string text = "T" + Number(type, 1) + Number(w, 3) + Number(h, 3);
  for (TColor c : palette) {
    text += Number(c, 4);
  }
  return text + "~";
}

// The text's error, or "" when it reads; the picture read goes to out.
std::string ReadError(const std::string& text, Bitmap* out = nullptr) {
  TTextPicture picture;
  TMemoryView stream(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  try {
    picture.LoadFromStream(stream);
  } catch (const EGeneralError& e) {
    EXPECT_EQ(picture.LastError, e.what());
    return e.what();
  }
  if (out != nullptr) {
    *out = picture.Picture();
  }
  return "";
}

std::string Written(const Bitmap& picture, int type, int layout) {
  TTextPicture text;
  text.Assign(picture);
  text.SetColorType(type);
  text.SetLineLayout(layout);
  TMemoryStream stream;
  text.SaveToStream(stream);
  return {stream.Bytes().begin(), stream.Bytes().end()};
}

constexpr TColor kRed = 0x0000FF, kYellow = 0x00FFFF, kGreen = 0x00FF00;

TEST(TextPicture, ReadsWithTheDefaultPaletteAndSkipsWhatIsNoDigit) {
  Bitmap picture;
  // Type 3: two pixels a digit, 3 bits each; 17 = 1 (red) + 2 (yellow) x 8.
  ASSERT_EQ(ReadError("T3200100~H#", &picture), "");
  ASSERT_EQ(picture.Width(), 2);
  ASSERT_EQ(picture.Height(), 1);
  EXPECT_EQ(picture.Pixel(0, 0), kRed);
  EXPECT_EQ(picture.Pixel(1, 0), kYellow);
  // Blanks, breaks, apostrophes, plus signs and other digits before the "T" are skipped.
  ASSERT_EQ(ReadError("xyz 'ab'+\r\n T3 200 100 ~ 'H' #", &picture), "");
  EXPECT_EQ(picture.Pixel(1, 0), kYellow);
}

TEST(TextPicture, CommentsNestAndHideTheirMarks) {
  Bitmap picture;
  ASSERT_EQ(ReadError("{a {T1~} #}T3200100~{ # {~} }H#", &picture), "");
  EXPECT_EQ(picture.Pixel(1, 0), kYellow);
  // A "}" without "{" hides everything until a "{" brings the count back.
  ASSERT_EQ(ReadError("}T1~#{T3200100~H#", &picture), "");
  EXPECT_EQ(picture.Pixel(0, 0), kRed);
  EXPECT_EQ(ReadError("{T3200100~H#"), kUnknownFormat);  // the comment never closes
}

TEST(TextPicture, HeadersThatCannotBeRead) {
  EXPECT_EQ(ReadError("~T3200100~H#"), kUnknownFormat);
  EXPECT_EQ(ReadError("#T3200100~H#"), kUnknownFormat);
  EXPECT_EQ(ReadError("T0200100~H#"), kUnknownFormat);
  EXPECT_EQ(ReadError("T7200100~H#"), kUnknownFormat);
  EXPECT_EQ(ReadError("T3200100"), kUnknownFormat);  // no "~"
  EXPECT_EQ(ReadError(""), kUnknownFormat);
  EXPECT_EQ(ReadError("T3000100~#"), kUnexpectedError);
  EXPECT_EQ(ReadError("T32~#"), kUnexpectedError);
  // 262143 x 262143 fits the header but not the program: refused before allocating.
  EXPECT_EQ(ReadError("T3)))))))~#"), kOutOfMemory);
  TTextPicture small;
  small.MaxPixels = 100;
  TMemoryView text(reinterpret_cast<const uint8_t*>("T3B00A00~#"), 10);  // 11 x 10
  EXPECT_THROW(small.LoadFromStream(text), EGeneralError);
  EXPECT_EQ(small.LastError, kOutOfMemory);
}

TEST(TextPicture, BodiesShorterOrLongerThanThePicture) {
  Bitmap picture;
  ASSERT_EQ(ReadError("T6300100~1#", &picture), "");  // one pixel of three
  EXPECT_EQ(picture.Pixel(0, 0), kRed);
  EXPECT_EQ(picture.Pixel(1, 0), kWhite);
  EXPECT_EQ(picture.Pixel(2, 0), kWhite);
  ASSERT_EQ(ReadError("T6100100~345678", &picture), "");  // no "#", digits beyond the end
  EXPECT_EQ(picture.Pixel(0, 0), kGreen);
}

TEST(TextPicture, TypeFourLimitsIndicesToItsSixteenEntries) {
  std::vector<TColor> palette(16, 0x000000);
  palette[15] = 0x123456;
  Bitmap picture;
  ASSERT_EQ(ReadError(Header(4, 2, 1, palette) + "zF#", &picture), "");
  EXPECT_EQ(picture.Pixel(0, 0), 0x123456u);  // 61 reads as 15
  EXPECT_EQ(picture.Pixel(1, 0), 0x123456u);
  // Entries that are not given keep the default palette.
  ASSERT_EQ(ReadError(Header(4, 2, 1, {0xABCDEF}) + "01#", &picture), "");
  EXPECT_EQ(picture.Pixel(0, 0), 0xABCDEFu);
  EXPECT_EQ(picture.Pixel(1, 0), kRed);
}

Bitmap Colourful(int w, int h, int colours) {
  Bitmap picture(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int k = (x * 7 + y * 3) % colours;
      picture.SetPixel(x, y, static_cast<TColor>(0x010305 * (k + 1) * 3));
    }
  }
  return picture;
}

TEST(TextPicture, EveryTypeAndLayoutRoundTrips) {
  const int entries[] = {0, 2, 4, 8, 16, 32, 64};
  for (int type = 1; type <= 6; ++type) {
    for (int layout = 0; layout <= 2; ++layout) {
      const Bitmap original = Colourful(37, 11, entries[type]);
      Bitmap back;
      ASSERT_EQ(ReadError(Written(original, type, layout), &back), "") << type << layout;
      ASSERT_EQ(back.Width(), 37);
      ASSERT_EQ(back.Height(), 11);
      for (int y = 0; y < 11; ++y) {
        for (int x = 0; x < 37; ++x) {
          ASSERT_EQ(back.Pixel(x, y), original.Pixel(x, y)) << type << layout << x << y;
        }
      }
    }
  }
}

TEST(TextPicture, SurplusColoursBecomeTheFirstEntry) {
  Bitmap picture(3, 1);
  picture.SetPixel(0, 0, 0x111111);
  picture.SetPixel(1, 0, 0x222222);
  picture.SetPixel(2, 0, 0x333333);
  Bitmap back;
  ASSERT_EQ(ReadError(Written(picture, 1, 0), &back), "");
  EXPECT_EQ(back.Pixel(1, 0), 0x222222u);
  EXPECT_EQ(back.Pixel(2, 0), 0x111111u);
}

TEST(TextPicture, LayoutOneBreaksEvery250Digits) {
  Bitmap picture(1000, 1);
  FillRect(picture, picture.Rect(), kRed);
  const std::string digits(250, '0');
  const std::string expected = Header(6, 1000, 1, {kRed}) + "'+'" + digits + "'+'" + digits +
                               "'+'" + digits + "'+\r\n'" + digits + "'+'#";
  EXPECT_EQ(Written(picture, 6, 1), expected);
  const std::string two = Written(picture, 6, 2);
  EXPECT_EQ(two.substr(0, Header(6, 1000, 1, {kRed}).size() + 2),
            Header(6, 1000, 1, {kRed}) + "\r\n");
  EXPECT_EQ(std::count(two.begin(), two.end(), '\n'), 1 + 1000 / 68);
}

TEST(TextPicture, SidesBeyondTheHeaderAreNotWritten) {
  TTextPicture text;
  text.Assign(Bitmap(TTextPicture::kMostSide + 1, 1));
  TMemoryStream stream;
  EXPECT_THROW(text.SaveToStream(stream), EGeneralError);
  EXPECT_EQ(text.LastError, kOutOfMemory);
  EXPECT_EQ(stream.Size(), 0);
}

class TRefusingStream : public TMemoryStream {
 public:
  size_t Write(const void*, size_t) override { return 0; }
};

TEST(TextPicture, AWriteFailureIsOutOfMemory) {
  TTextPicture text;
  text.Assign(Bitmap(4, 4));
  TRefusingStream stream;
  EXPECT_THROW(text.SaveToStream(stream), EGeneralError);
  EXPECT_EQ(text.LastError, kOutOfMemory);
}

TEST(TextPicture, SettingsStayInTheirRanges) {
  TTextPicture text;
  EXPECT_EQ(text.GetColorType(), 6);
  EXPECT_EQ(text.GetLineLayout(), 0);
  text.SetColorType(9);
  text.SetLineLayout(-1);
  EXPECT_EQ(text.GetColorType(), 6);
  EXPECT_EQ(text.GetLineLayout(), 0);
  text.SetColorType(0);
  text.SetLineLayout(5);
  EXPECT_EQ(text.GetColorType(), 1);
  EXPECT_EQ(text.GetLineLayout(), 2);
}

TEST(TextPicture, DrawsStretchedAndTakesOtherPicturesOnWhite) {
  TTextPicture text;
  TMemoryView stream(reinterpret_cast<const uint8_t*>("T3200100~H#"), 11);
  text.LoadFromStream(stream);
  Bitmap canvas(8, 4);
  text.Draw(canvas, {0, 0, 8, 4});
  EXPECT_EQ(canvas.Pixel(0, 3), kRed);
  EXPECT_EQ(canvas.Pixel(7, 0), kYellow);

  TTextPicture copy;
  copy.SetColorType(2);
  text.SetLineLayout(1);
  copy.Assign(text);
  EXPECT_EQ(copy.GetLineLayout(), 1);
  EXPECT_EQ(copy.GetColorType(), 6);
  EXPECT_EQ(copy.Picture().Pixel(1, 0), kYellow);
  copy.SetWidth(3);
  EXPECT_EQ(copy.GetWidth(), 3);
  EXPECT_FALSE(copy.GetEmpty());
}

TEST(TextPicture, ToBitmapGivesAnEmptyPictureForBadText) {
  EXPECT_TRUE(TextPictureToBitmap("not a picture").IsEmpty());
  const Bitmap picture = TextPictureToBitmap("T3200100~H#");
  EXPECT_EQ(picture.Width(), 2);
  EXPECT_EQ(picture.Pixel(0, 0), kRed);
}

TEST(TextPicture, ProgressGoesOutAtStartAndEnd) {
  TTextPicture text;
  std::vector<std::pair<int, std::string>> notices;
  text.ProgressHandler = [&](int percent, const std::string& stage) {
    notices.emplace_back(percent, stage);
  };
  TMemoryView stream(reinterpret_cast<const uint8_t*>("T3200100~H#"), 11);
  text.LoadFromStream(stream);
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0], std::make_pair(0, std::string("Loading")));
  EXPECT_EQ(notices[1], std::make_pair(100, std::string("Loading")));
}

TEST(ColorTables, CollectFindAndFill) {
  ColorTable table;
  EXPECT_EQ(AddColor(table, 0x123456), 0);
  EXPECT_EQ(AddColor(table, 0x654321), 1);
  EXPECT_EQ(AddColor(table, 0x123456), 0);
  EXPECT_EQ(FindColor(table, 0x654321), 1);
  EXPECT_EQ(FindColor(table, 0x777777), -1);
  EXPECT_EQ(table.Values[1], 0x654321u);
  EXPECT_EQ(table.Triples[0], (std::array<uint8_t, 3>{0x12, 0x34, 0x56}));  // blue, green, red
  for (int i = 2; i < 256; ++i) {
    ASSERT_EQ(AddColor(table, static_cast<TColor>(0x800000 + i)), i);
  }
  EXPECT_EQ(AddColor(table, 0xFFFFFF), -1);

  CollectColors(Colourful(20, 20, 50), table, 8);
  EXPECT_EQ(table.Count, 8);
  CollectColors(Colourful(20, 20, 5), table, 1000);
  EXPECT_EQ(table.Count, 5);
}

TEST(ByteStreams, WindowsReadAheadAndWriteBack) {
  std::vector<uint8_t> bytes(5000);
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<uint8_t>(i * 7);
  }
  TMemoryStream stream(bytes);
  TByteStream window;
  for (int mode : {0, 1, 2}) {
    ASSERT_TRUE(window.Attach(&stream));
    window.SetReadAhead(mode);
    uint8_t b = 0;
    for (int64_t p : {3000, 2999, 100, 4999, 0}) {
      ASSERT_TRUE(window.ReadByte(p, b)) << mode << " " << p;
      EXPECT_EQ(b, static_cast<uint8_t>(p * 7));
    }
    EXPECT_FALSE(window.ReadByte(5000, b));
    EXPECT_FALSE(window.ReadByte(-1, b));
  }
  TMemoryStream out;
  {
    TByteStream writer;
    ASSERT_TRUE(writer.Attach(&out));
    for (int p = 0; p < 4100; ++p) {
      ASSERT_TRUE(writer.WriteByte(p, static_cast<uint8_t>(p)));
    }
    EXPECT_EQ(writer.Size(), 4100);
  }  // the last window is written back here
  ASSERT_EQ(out.Size(), 4100);
  EXPECT_EQ(out.Bytes()[4099], static_cast<uint8_t>(4099));
  EXPECT_EQ(out.Bytes()[2048], static_cast<uint8_t>(2048));
}

TEST(ByteImages, TheCursorRunsRowByRow) {
  Bitmap picture(2, 2);
  TByteImage image;
  image.Attach(&picture);
  const std::array<uint8_t, 3> blue = {255, 0, 0};
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(image.PutNext(blue));
  }
  EXPECT_FALSE(image.PutNext(blue));
  EXPECT_EQ(picture.Pixel(1, 1), 0xFF0000u);
  image.SetPixel(5, 5, blue);  // outside: ignored
  EXPECT_EQ(image.GetPixel(9, 0), (std::array<uint8_t, 3>{0, 0, 0}));
  image.SetCursor(-7, 9);  // kept within -1..1 and 0..1
  image.SetPixel(0, 1, {1, 2, 3});
  EXPECT_EQ(image.GetPixel(0, 1), (std::array<uint8_t, 3>{1, 2, 3}));
}

}  // namespace
}  // namespace torvel
