#include "services/zlib_stream.h"

#include <gtest/gtest.h>

#include <numeric>

#include "services/zlib_codec.h"

namespace torvel {
namespace {

// Bytes that compress, but not to nothing.
std::vector<uint8_t> Sample(size_t size) {
  std::vector<uint8_t> bytes(size);
  uint32_t seed = 12345;
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245 + 12345;
    bytes[i] = static_cast<uint8_t>((i / 7) ^ ((seed >> 16) & 3));
  }
  return bytes;
}

std::vector<uint8_t> Compressed(const std::vector<uint8_t>& bytes, int level) {
  TMemoryStream target;
  TCompressionStream deflater(level, target);
  EXPECT_EQ(deflater.Write(bytes.data(), bytes.size()), bytes.size());
  deflater.Finish();
  return target.TakeBytes();
}

std::vector<uint8_t> ReadAll(TDecompressionStream& inflater, size_t piece = 1000) {
  std::vector<uint8_t> out;
  std::vector<uint8_t> buffer(piece);
  for (size_t got; (got = inflater.Read(buffer.data(), piece)) > 0;) {
    out.insert(out.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(got));
  }
  return out;
}

TEST(ZlibStreams, CompressionLevelsWriteTheirZlibHeaders) {
  // The second header byte tells the level class: 01 none/fastest, 9C default, DA best.
  const std::pair<int, uint8_t> levels[] = {{0, 0x01}, {1, 0x01}, {2, 0x9C}, {3, 0xDA}};
  for (const auto& [level, flag] : levels) {
    const std::vector<uint8_t> packed = Compressed(Sample(5000), level);
    ASSERT_GE(packed.size(), 6u);
    EXPECT_EQ(packed[0], 0x78) << level;
    EXPECT_EQ(packed[1], flag) << level;
    std::vector<uint8_t> back;
    ASSERT_TRUE(ZlibInflate(packed, 1 << 20, back)) << level;
    EXPECT_EQ(back, Sample(5000)) << level;
  }
}

TEST(ZlibStreams, LargeStreamsGoOutInFullBuffersWithProgress) {
  const std::vector<uint8_t> bytes = Sample(3 << 20);
  TMemoryStream target;
  int buffersOut = 0;
  {
    TCompressionStream deflater(0, target);  // stored: the output is as large as the input
    deflater.OnProgress = [&](TCustomZlibStream&) { ++buffersOut; };
    for (size_t at = 0; at < bytes.size(); at += 100000) {
      const size_t n = std::min<size_t>(100000, bytes.size() - at);
      deflater.Write(bytes.data() + at, n);
    }
    EXPECT_EQ(deflater.Position(), static_cast<int64_t>(bytes.size()));
  }  // the destructor finishes the stream
  EXPECT_GE(buffersOut, static_cast<int>(bytes.size() / TCustomZlibStream::kBufferSize));

  TMemoryStream source(target.TakeBytes());
  TDecompressionStream inflater(source);
  int buffersIn = 0;
  inflater.OnProgress = [&](TCustomZlibStream&) { ++buffersIn; };
  EXPECT_EQ(ReadAll(inflater, 70000), bytes);
  EXPECT_TRUE(inflater.Ended());
  EXPECT_GE(buffersIn, static_cast<int>(bytes.size() / TCustomZlibStream::kBufferSize));
}

TEST(ZlibStreams, TheCompressorOnlyAnswersPositionQueries) {
  TMemoryStream target;
  TCompressionStream deflater(1, target);
  deflater.Write("abc", 3);
  EXPECT_TRUE(deflater.Seek(3));
  EXPECT_THROW(deflater.Seek(0), ECompressionError);
  uint8_t byte = 0;
  EXPECT_THROW(deflater.Read(&byte, 1), ECompressionError);
  try {
    deflater.Read(&byte, 1);
  } catch (const ECompressionError& e) {
    EXPECT_STREQ(e.what(), "Invalid stream operation");
  }
}

TEST(ZlibStreams, TheCompressorWritesAtItsOwnPositionInTheTarget) {
  TMemoryStream target;
  target.Write("HEAD", 4);
  {
    TCompressionStream deflater(1, target);
    deflater.Write("payload", 7);
  }
  const std::vector<uint8_t>& bytes = target.Bytes();
  ASSERT_GT(bytes.size(), 6u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "HEAD");
  std::vector<uint8_t> back;
  ASSERT_TRUE(ZlibInflate({bytes.begin() + 4, bytes.end()}, 100, back));
  EXPECT_EQ(std::string(back.begin(), back.end()), "payload");
}

TEST(ZlibStreams, TheDecompressorStopsAtTheStreamsEnd) {
  std::vector<uint8_t> bytes = Compressed(Sample(3000), 1);
  const size_t streamEnd = bytes.size();
  bytes.insert(bytes.end(), {'t', 'a', 'i', 'l'});
  TMemoryStream source(bytes);
  TDecompressionStream inflater(source);
  EXPECT_EQ(ReadAll(inflater), Sample(3000));
  EXPECT_TRUE(inflater.Ended());
  // The source stands right after the zlib stream, so what follows can be read on.
  EXPECT_EQ(source.Position(), static_cast<int64_t>(streamEnd));
}

TEST(ZlibStreams, TheDecompressorSeeksForwardAndRestartsAtZero) {
  const std::vector<uint8_t> bytes = Sample(20000);
  TMemoryStream source(Compressed(bytes, 2));
  TDecompressionStream inflater(source);
  EXPECT_TRUE(inflater.Seek(10001));
  EXPECT_EQ(inflater.Position(), 10001);
  uint8_t byte = 0;
  ASSERT_EQ(inflater.Read(&byte, 1), 1u);
  EXPECT_EQ(byte, bytes[10001]);
  EXPECT_THROW(inflater.Seek(5), EDecompressionError);
  EXPECT_TRUE(inflater.Seek(0));
  EXPECT_EQ(ReadAll(inflater), bytes);
  EXPECT_THROW(inflater.Write("x", 1), EDecompressionError);
  // Seeking past the end stops at the end.
  EXPECT_TRUE(inflater.Seek(0));
  EXPECT_TRUE(inflater.Seek(1 << 20));
  EXPECT_EQ(inflater.Position(), 20000);
}

TEST(ZlibStreams, CorruptAndTruncatedStreams) {
  std::vector<uint8_t> bytes = Compressed(Sample(4000), 1);
  std::vector<uint8_t> corrupt = bytes;
  corrupt[0] = 0x12;  // not a zlib header
  TMemoryStream corruptSource(corrupt);
  TDecompressionStream broken(corruptSource);
  uint8_t buffer[100];
  EXPECT_THROW(broken.Read(buffer, sizeof buffer), EDecompressionError);

  TMemoryStream shortSource(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 50));
  TDecompressionStream truncated(shortSource);
  const std::vector<uint8_t> partial = ReadAll(truncated);
  EXPECT_LT(partial.size(), 4000u);
  EXPECT_FALSE(truncated.Ended());

  TMemoryStream empty;
  TDecompressionStream nothing(empty);
  EXPECT_EQ(nothing.Read(buffer, sizeof buffer), 0u);
  EXPECT_FALSE(nothing.Ended());
}

}  // namespace
}  // namespace torvel
