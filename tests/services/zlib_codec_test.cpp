#include "services/zlib_codec.h"

#include <gtest/gtest.h>

namespace torvel {
namespace {

std::vector<uint8_t> Sample() {
  std::vector<uint8_t> bytes(5000);
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<uint8_t>(i * 7 % 251);
  }
  return bytes;
}

TEST(Zlib, RoundTripsAndWritesTheFastestLevelsHeader) {
  std::vector<uint8_t> packed;
  ASSERT_TRUE(ZlibCompress(Sample(), 1, packed));
  ASSERT_GE(packed.size(), 2u);
  EXPECT_EQ(packed[0], 0x78);
  EXPECT_EQ(packed[1], 0x01);
  std::vector<uint8_t> back;
  ASSERT_TRUE(ZlibInflate(packed, 1 << 20, back));
  EXPECT_EQ(back, Sample());
}

TEST(Zlib, RefusesCorruptTruncatedAndTrailingData) {
  std::vector<uint8_t> packed;
  ASSERT_TRUE(ZlibCompress(Sample(), 1, packed));
  std::vector<uint8_t> out = {9};
  std::vector<uint8_t> truncated(packed.begin(), packed.end() - 5);
  EXPECT_FALSE(ZlibInflate(truncated, 1 << 20, out));
  std::vector<uint8_t> badChecksum = packed;
  badChecksum.back() ^= 0xFF;
  EXPECT_FALSE(ZlibInflate(badChecksum, 1 << 20, out));
  std::vector<uint8_t> trailing = packed;
  trailing.push_back(0);
  EXPECT_FALSE(ZlibInflate(trailing, 1 << 20, out));
  EXPECT_FALSE(ZlibInflate({}, 1 << 20, out));
  EXPECT_FALSE(ZlibInflate({1, 2, 3, 4}, 1 << 20, out));
  EXPECT_EQ(out, std::vector<uint8_t>{9});  // untouched by every failure
}

TEST(Zlib, StopsABombAtTheCap) {
  std::vector<uint8_t> packed;
  ASSERT_TRUE(ZlibCompress(std::vector<uint8_t>(20 << 20, 0), 9, packed));
  EXPECT_LT(packed.size(), 100000u);
  std::vector<uint8_t> out;
  EXPECT_FALSE(ZlibInflate(packed, 1 << 20, out));
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace torvel
