#include "cells/animation_io.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "platform/error_texts.h"
#include "platform/raster.h"
#include "services/property_stream.h"
#include "services/zlib_codec.h"

namespace torvel {
namespace {

// A store holding n cells of w x h, cell k filled with its own colour and a dot at (k, 0).
std::unique_ptr<TAnimationStrip> Store(int n, int w, int h) {
  auto store = std::make_unique<TAnimationStrip>();
  Bitmap strip(n * w, h);
  for (int k = 0; k < n; ++k) {
    FillRect(strip, {k * w, 0, (k + 1) * w, h}, static_cast<TColor>(0x112233 * (k + 1)));
    strip.SetPixel(k * w + k % w, 0, kWhite);
  }
  EXPECT_EQ(store->AddCells(&strip, n, -1), n);
  return store;
}

std::vector<uint8_t> Saved(const TCellTable& table) {
  TMemoryStream stream;
  std::string error;
  EXPECT_TRUE(WriteAnimation(table, stream, error)) << error;
  return stream.TakeBytes();
}

// Reads the bytes; the error text when that fails, "" when it works.
std::string ReadError(const std::vector<uint8_t>& bytes, TAnimationContents* into = nullptr) {
  TAnimationContents contents;
  TMemoryStream stream(bytes);
  std::string error;
  const bool ok = ReadAnimation(stream, contents, error);
  if (into != nullptr) {
    *into = std::move(contents);
  }
  return ok ? "" : error;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (int v : values) {
    out.push_back(static_cast<uint8_t>(v));
  }
  return out;
}

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

TEST(AnimationIo, ASmallFileHasTheExactLayout) {
  auto store = Store(1, 2, 1);
  TCellTable& table = store->Table;
  table.Interval = 100;
  table.Transparent = false;
  table.Flip = true;
  table.pF = 200;
  table.pSH = -2;
  table.pSV = 70000;

  Bitmap picture;
  std::string error;
  ASSERT_TRUE(table.ExportRange(0, 0, error, &picture));
  std::vector<uint8_t> packed;
  ASSERT_TRUE(ZlibCompress(EncodeBmp(picture), 1, packed));
  ASSERT_LT(packed.size(), 256u);

  std::vector<uint8_t> expected = Bytes({'T', 'P', 'F', '0', 4, 'T', 'S', 'A', 'N', 0});
  Append(expected, Bytes({2, 'p', 'W', 0x02, 2}));
  Append(expected, Bytes({2, 'p', 'D', 0x02, 100}));
  Append(expected, Bytes({2, 'p', 'I', 0x06, static_cast<int>(packed.size())}));
  Append(expected, packed);
  Append(expected, Bytes({2, 'p', 'T', 0x08, 3, 'p', 'F', 'V', 0x09, 3, 'p', 'F', 'H', 0x08}));
  Append(expected, Bytes({2, 'p', 'F', 0x03, 200, 0}));
  Append(expected, Bytes({3, 'p', 'S', 'H', 0x02, 0xFE}));
  Append(expected, Bytes({3, 'p', 'S', 'V', 0x04, 0x70, 0x11, 0x01, 0x00}));
  Append(expected, Bytes({0, 0}));
  const std::vector<uint8_t> saved = Saved(table);
  EXPECT_EQ(saved, expected);
  EXPECT_EQ(packed[0], 0x78);
  EXPECT_EQ(packed[1], 0x01);
}

TEST(AnimationIo, RoundTripsCellsSettingsAndReservedValues) {
  auto store = Store(5, 7, 3);
  TCellTable& table = store->Table;
  table.Interval = 250;
  table.Mirror = true;
  table.pSH = INT32_MIN;  // the format cannot store it: read back as 0
  table.pSV = -123456;
  store->MoveCell(0, 3);

  TAnimationContents back;
  ASSERT_EQ(ReadError(Saved(table), &back), "");
  EXPECT_EQ(back.CellCount(), 5);
  EXPECT_EQ(back.Record.pW, 7);
  ASSERT_EQ(back.Cells.size(), 5u);
  EXPECT_EQ(back.Cells[0]->Height(), 3);
  EXPECT_TRUE(back.Record.pI.empty());  // released once decoded
  for (int p = 0; p < 5; ++p) {
    for (int x = 0; x < 7; ++x) {
      EXPECT_EQ(back.Cells[p]->Pixel(x, 0), table.CellAt(p).Pixel(x, 0)) << p;
    }
  }
  TAnimationStrip target;
  ApplyAnimationSettings(target, back.Record);
  EXPECT_EQ(target.GetInterval(), 250);
  EXPECT_TRUE(target.GetTransparent());
  EXPECT_TRUE(target.GetMirror());
  EXPECT_FALSE(target.GetFlip());
  EXPECT_EQ(target.Table.pSH, 0);
  EXPECT_EQ(target.Table.pSV, -123456);
}

TEST(AnimationIo, IntervalsAreLimitedWhenApplied) {
  TAnimationStrip target;
  TSAN record;
  record.pD = 49;
  ApplyAnimationSettings(target, record);
  EXPECT_EQ(target.GetInterval(), 0);
  record.pD = 2001;
  ApplyAnimationSettings(target, record);
  EXPECT_EQ(target.GetInterval(), 2000);
}

TEST(AnimationIo, NothingToSaveIsAnUnexpectedError) {
  TAnimationStrip empty;
  TMemoryStream stream;
  std::string error;
  EXPECT_FALSE(WriteAnimation(empty.Table, stream, error));
  EXPECT_EQ(error, kUnexpectedError);
  EXPECT_EQ(stream.Size(), 0);
}

// A stream that takes only the first bytes, as a full disk does.
class TFullDisk : public TMemoryStream {
 public:
  size_t Write(const void* buffer, size_t count) override {
    return Size() + static_cast<int64_t>(count) > 20 ? 0 : TMemoryStream::Write(buffer, count);
  }
};

TEST(AnimationIo, AFullDiskIsReported) {
  auto store = Store(2, 4, 4);
  TFullDisk disk;
  std::string error;
  EXPECT_FALSE(WriteAnimation(store->Table, disk, error));
  EXPECT_EQ(error, kOutOfDiskSpace);
}

// A record with the given pI and cell width, as another writer might make it.
std::vector<uint8_t> Record(const std::vector<uint8_t>& pI, int32_t pW, bool longTag = false) {
  TMemoryStream stream;
  TPropertyWriter out(stream);
  out.Begin("TSomethingElse", "name");
  out.Integer("PW", pW);
  if (longTag) {
    const std::vector<uint8_t> header = {2, 'p', 'I', 0x0C};
    stream.Write(header.data(), header.size());
    const auto n = static_cast<uint32_t>(pI.size());
    const uint8_t length[4] = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                               static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 24)};
    stream.Write(length, 4);
    stream.Write(pI.data(), pI.size());
  } else {
    out.Bytes("pi", pI);
  }
  out.End();
  return stream.TakeBytes();
}

std::vector<uint8_t> PackedBmp(int w, int h) {
  std::vector<uint8_t> packed;
  EXPECT_TRUE(ZlibCompress(EncodeBmp(Bitmap(w, h)), 1, packed));
  return packed;
}

TEST(AnimationIo, ForeignWritersFilesLoad) {
  TAnimationContents back;
  ASSERT_EQ(ReadError(Record(PackedBmp(30, 2), 10, true), &back), "");
  EXPECT_EQ(back.CellCount(), 3);
  ASSERT_EQ(ReadError(Record(PackedBmp(35, 2), 10), &back), "");
  EXPECT_EQ(back.CellCount(), 3);  // the columns right of the last whole cell are dropped
  ASSERT_EQ(ReadError(Record({}, 10), &back), "");
  EXPECT_EQ(back.CellCount(), 0);  // no picture at all
  ASSERT_EQ(ReadError(Record(PackedBmp(30, 2), 0), &back), "");
  EXPECT_EQ(back.CellCount(), 0);
}

TEST(AnimationIo, BadFilesGiveTheirErrorTexts) {
  const std::vector<uint8_t> good = Saved(Store(2, 4, 4)->Table);
  EXPECT_EQ(ReadError(good), "");
  std::vector<uint8_t> signature = good;
  signature[3] = '1';
  EXPECT_EQ(ReadError(signature), kUnsupportedFormat);
  EXPECT_EQ(ReadError({good.begin(), good.end() - 1}), kUnsupportedFormat);  // ends early
  std::vector<uint8_t> nested = good;
  nested.back() = 1;
  EXPECT_EQ(ReadError(nested), kUnsupportedFormat);
  std::vector<uint8_t> tenth = good;
  tenth.insert(tenth.end() - 2, {2, 'p', 'Q', 0x02, 1});
  EXPECT_EQ(ReadError(tenth), kUnsupportedFormat);
  std::vector<uint8_t> unsuitable = good;
  unsuitable[13] = 0x09;  // pW as a boolean
  EXPECT_EQ(ReadError(unsuitable), kUnsupportedFormat);

  EXPECT_EQ(ReadError(Record({1, 2, 3, 4, 5}, 4)), kUnsupportedFormat);  // not zlib
  std::vector<uint8_t> notBmp;
  ASSERT_TRUE(ZlibCompress(std::vector<uint8_t>(100, 'x'), 1, notBmp));
  EXPECT_EQ(ReadError(Record(notBmp, 4)), kUnsupportedFormat);
}

TEST(AnimationIo, EveryTruncationIsRefused) {
  const std::vector<uint8_t> good = Saved(Store(3, 5, 5)->Table);
  for (size_t cut = 0; cut < good.size(); ++cut) {
    const std::string error = ReadError({good.begin(), good.begin() + static_cast<long>(cut)});
    EXPECT_EQ(error, kUnsupportedFormat) << cut;
  }
}

TEST(AnimationIo, OddCellWidthsGiveNoCells) {
  TAnimationContents back;
  for (int32_t width : {-1, INT32_MIN + 1, INT32_MAX}) {
    ASSERT_EQ(ReadError(Record(PackedBmp(30, 2), width), &back), "") << width;
    EXPECT_EQ(back.CellCount(), 0) << width;
  }
}

TEST(AnimationIo, OversizedPicturesAreRefusedBeforeAllocating) {
  // A small file whose BMP says 4001 x 1000: more pixels than any animation holds.
  std::vector<uint8_t> bmp = EncodeBmp(Bitmap(1, 1));
  const int32_t w = 4001, h = 1000;
  std::memcpy(bmp.data() + 18, &w, 4);
  std::memcpy(bmp.data() + 22, &h, 4);
  std::vector<uint8_t> packed;
  ASSERT_TRUE(ZlibCompress(bmp, 1, packed));
  EXPECT_EQ(ReadError(Record(packed, 1)), kUnsupportedFormat);

  // A header whose rows would need far more bytes than its compressed data can inflate to.
  const int32_t wide = 60000, high = 30000;
  std::memcpy(bmp.data() + 18, &wide, 4);
  std::memcpy(bmp.data() + 22, &high, 4);
  ASSERT_TRUE(ZlibCompress(bmp, 1, packed));
  EXPECT_EQ(ReadError(Record(packed, 60000)), kUnsupportedFormat);
}

TEST(AnimationIo, OnlyTheCellsThereIsRoomForAreMade) {
  auto store = Store(6, 4, 4);
  const std::vector<uint8_t> saved = Saved(store->Table);
  TMemoryView file(saved);
  TAnimationContents back;
  std::string error;
  int askedWidth = 0;
  ASSERT_TRUE(ReadAnimation(file, back, error, [&](int w, int) { return askedWidth = w, 4; }));
  EXPECT_EQ(askedWidth, 4);
  EXPECT_EQ(back.CellCount(), 6);
  ASSERT_EQ(back.Cells.size(), 4u);
  EXPECT_EQ(back.Cells[3]->Pixel(0, 0), store->Table.CellAt(3).Pixel(0, 0));
}

// Rows longer than a few megabytes go into their cells piece by piece.
TEST(AnimationIo, VeryWideStripsRoundTrip) {
  auto store = Store(22, 65535, 2);
  store->Table.Cells[store->Table.Order[21]] = [] {
    auto cell = std::make_shared<Bitmap>(65535, 2);
    cell->SetPixel(65534, 1, 0xABCDEF);
    return cell;
  }();
  TAnimationContents back;
  ASSERT_EQ(ReadError(Saved(store->Table), &back), "");
  ASSERT_EQ(back.Cells.size(), 22u);
  EXPECT_EQ(back.Cells[21]->Pixel(65534, 1), 0xABCDEFu);
  EXPECT_EQ(back.Cells[20]->Pixel(65534, 1), store->Table.CellAt(20).Pixel(65534, 1));
}

TEST(AnimationIo, AnEmptyStoreAcceptsWhatFitsItsCapacity) {
  EXPECT_EQ(CellsAcceptedWhenEmpty(10, 10, 10), 10);
  EXPECT_EQ(CellsAcceptedWhenEmpty(10, 10, 0), 0);
  EXPECT_EQ(CellsAcceptedWhenEmpty(0, 10, 10), 0);  // narrower than one pixel a cell
  EXPECT_EQ(CellsAcceptedWhenEmpty(2, 1, 21847), TCellTable::kSlots);
  EXPECT_EQ(CellsAcceptedWhenEmpty(65536, 1, 1), 0);  // sides are 16-bit
  EXPECT_EQ(CellsAcceptedWhenEmpty(1920, 1080, 400), 345);
}

}  // namespace
}  // namespace torvel
