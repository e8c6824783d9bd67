#include "formats/animation_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "services/property_stream.h"

namespace torvel {
namespace {

std::vector<uint8_t> Written(const TSAN& record) {
  TMemoryStream stream;
  EXPECT_TRUE(WriteSanRecord(stream, record));
  return stream.Bytes();
}

bool Read(const std::vector<uint8_t>& bytes, TSAN& record) {
  TMemoryStream stream(bytes);
  return ReadSanRecord(stream, record);
}

TSAN Sample() {
  TSAN record;
  record.pW = 10;
  record.pD = 250;
  record.pI = {0xAA, 0xBB, 0xCC};
  record.pT = true;
  record.pF = 200;
  record.pSH = INT32_MIN;
  record.pSV = 70000;
  return record;
}

TEST(AnimationFile, WritesTheExactLayout) {
  // clang-format off
  const std::vector<uint8_t> expected = {
      'T', 'P', 'F', '0', 4, 'T', 'S', 'A', 'N', 0,
      2, 'p', 'W', 0x02, 10,                    // smallest integer tag
      2, 'p', 'D', 0x03, 0xFA, 0x00,            // 250 needs two bytes
      2, 'p', 'I', 0x06, 3, 0xAA, 0xBB, 0xCC,   // short byte string
      2, 'p', 'T', 0x09,
      3, 'p', 'F', 'V', 0x08,
      3, 'p', 'F', 'H', 0x08,
      2, 'p', 'F', 0x03, 200, 0,                // 200 does not fit a signed byte
                                                // pSH = -2147483648 is left out
      3, 'p', 'S', 'V', 0x04, 0x70, 0x11, 0x01, 0x00,
      0x00, 0x00,
  };
  // clang-format on
  EXPECT_EQ(Written(Sample()), expected);
}

TEST(AnimationFile, LongPicturesGetTheLongTag) {
  TSAN record = Sample();
  record.pI.assign(300, 7);
  const std::vector<uint8_t> bytes = Written(record);
  const std::vector<uint8_t> head = {2, 'p', 'I', 0x0C, 0x2C, 0x01, 0, 0};
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), head.begin(), head.end()), bytes.end());
  TSAN back;
  ASSERT_TRUE(Read(bytes, back));
  EXPECT_EQ(back.pI, record.pI);
}

// A picture too large to be compressed in memory is written straight into the stream, its length
// filled in afterwards; read back, one longer than kMostSanPictureBytes stays in the stream as a
// span, the properties after it read as usual.
TEST(AnimationFile, LargePicturesAreStreamedInAndLeftInTheStream) {
  TSAN record = Sample();
  record.pI.clear();
  const size_t length = kMostSanPictureBytes + 5;
  TMemoryStream stream;
  ASSERT_TRUE(WriteSanRecord(stream, record, [&](TStream& out) {
    const std::vector<uint8_t> block(length, 0x5A);
    return out.WriteAll(block.data(), block.size());
  }));
  const std::vector<uint8_t> head = {2, 'p', 'I', 0x0C, 5, 0, 0, 2};  // 32 MiB + 5, little-endian
  const std::vector<uint8_t>& bytes = stream.Bytes();
  const auto at = std::search(bytes.begin(), bytes.end(), head.begin(), head.end());
  ASSERT_NE(at, bytes.end());
  TSAN back;
  ASSERT_TRUE(Read(bytes, back));
  EXPECT_TRUE(back.pI.empty());
  ASSERT_TRUE(back.pIInStream.Present);
  EXPECT_EQ(back.pIInStream.Offset, (at - bytes.begin()) + 8);
  EXPECT_EQ(back.pIInStream.Length, length);
  EXPECT_EQ(back.pSV, 70000) << "what follows the span is read";
  EXPECT_TRUE(back.pT);

  TSAN small;
  ASSERT_TRUE(Read(Written(Sample()), small));
  EXPECT_FALSE(small.pIInStream.Present) << "a short picture is read into memory";
  EXPECT_FALSE(WriteSanRecord(stream, record, [](TStream&) { return false; }));
}

TEST(AnimationFile, RoundTripsEveryProperty) {
  TSAN back;
  ASSERT_TRUE(Read(Written(Sample()), back));
  EXPECT_EQ(back.pW, 10);
  EXPECT_EQ(back.pD, 250);
  EXPECT_EQ(back.pI, Sample().pI);
  EXPECT_TRUE(back.pT);
  EXPECT_FALSE(back.pFV);
  EXPECT_EQ(back.pF, 200);
  EXPECT_EQ(back.pSH, 0);  // left out, so it reads back as zero
  EXPECT_EQ(back.pSV, 70000);
}

// A record written property by property, for files the program would not write itself.
std::vector<uint8_t> Custom(const std::string& type, void (*fill)(TPropertyWriter&)) {
  TMemoryStream stream;
  TPropertyWriter out(stream);
  out.Begin(type, "");
  fill(out);
  out.End();
  return stream.Bytes();
}

TEST(AnimationFile, NamesAreMatchedWithoutCaseInAnyOrderAndTheLastWins) {
  TSAN back;
  ASSERT_TRUE(Read(Custom("TSomethingElse",
                          [](TPropertyWriter& out) {
                            out.Boolean("PFH", true);
                            out.Integer("pw", 5);
                            out.Integer("PD", 100);
                            out.Integer("pW", 32);
                          }),
                   back));
  EXPECT_TRUE(back.pFH);
  EXPECT_EQ(back.pW, 32);
  EXPECT_EQ(back.pD, 100);
  EXPECT_TRUE(back.pI.empty());  // absent
}

TEST(AnimationFile, RefusesUnknownNamesAndUnsuitableTags) {
  TSAN back;
  EXPECT_FALSE(Read(Custom("TSAN", [](TPropertyWriter& out) { out.Integer("pZ", 1); }), back));
  EXPECT_FALSE(Read(Custom("TSAN", [](TPropertyWriter& out) { out.Integer("pT", 1); }), back));
  EXPECT_FALSE(Read(Custom("TSAN", [](TPropertyWriter& out) { out.Boolean("pW", true); }), back));
  EXPECT_FALSE(Read(Custom("TSAN", [](TPropertyWriter& out) { out.Integer("pI", 3); }), back));
  EXPECT_FALSE(Read(Custom("TSAN", [](TPropertyWriter& out) { out.Bytes("pD", {1, 2}); }), back));
}

TEST(AnimationFile, RefusesBrokenStreams) {
  const std::vector<uint8_t> good = Written(Sample());
  TSAN back;
  for (size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_FALSE(Read({good.begin(), good.begin() + cut}, back)) << "cut at " << cut;
  }
  std::vector<uint8_t> nested = good;
  nested.back() = 1;  // a nested record after the property list
  EXPECT_FALSE(Read(nested, back));
  std::vector<uint8_t> signature = good;
  signature[3] = '1';
  EXPECT_FALSE(Read(signature, back));
  std::vector<uint8_t> unknownTag = good;
  unknownTag[13] = 0x05;  // the tag of pW
  EXPECT_FALSE(Read(unknownTag, back));
  const std::string text = "just some text, not an animation";
  EXPECT_FALSE(Read({text.begin(), text.end()}, back));
}

TEST(AnimationFile, LyingLengthsAreRefusedBeforeAllocating) {
  for (uint32_t claimed : {0x7FFFFFFFu, 0xFFFFFFFFu}) {
    std::vector<uint8_t> bytes = {'T', 'P', 'F', '0', 4, 'T', 'S', 'A', 'N', 0, 2, 'p', 'I', 0x0C};
    for (int i = 0; i < 4; ++i) {
      bytes.push_back(static_cast<uint8_t>(claimed >> (8 * i)));
    }
    bytes.resize(bytes.size() + 10, 0);
    TSAN back;
    EXPECT_FALSE(Read(bytes, back));
  }
}

}  // namespace
}  // namespace torvel
