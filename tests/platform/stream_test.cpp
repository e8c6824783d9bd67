#include <gtest/gtest.h>

#include "platform/background_writer.h"
#include "platform/stream.h"

#include <vector>
#include "support/test_folders.h"

namespace torvel {
namespace {

TEST(MemoryStream, ReadsWritesAndSeeksLikeAFile) {
  TMemoryStream stream;
  EXPECT_EQ(stream.Write("abcdef", 6), 6u);
  EXPECT_EQ(stream.Position(), 6);
  EXPECT_EQ(stream.Remaining(), 0);
  ASSERT_TRUE(stream.Seek(2));
  EXPECT_EQ(stream.Write("XY", 2), 2u);
  ASSERT_TRUE(stream.Seek(0));
  char buffer[10] = {};
  EXPECT_EQ(stream.Read(buffer, 10), 6u);  // a short read at the end
  EXPECT_STREQ(buffer, "abXYef");
  EXPECT_EQ(stream.Read(buffer, 1), 0u);
  EXPECT_FALSE(stream.Seek(-1));
  ASSERT_TRUE(stream.Seek(8));  // past the end: a write fills the gap with zeros
  stream.Write("z", 1);
  EXPECT_EQ(stream.Size(), 9);
  EXPECT_EQ(stream.Bytes()[6], 0);
  EXPECT_FALSE(stream.ReadExact(buffer, 1));
}

TEST(MemoryStream, EmptyReadsAndWritesMoveNothing) {
  TMemoryStream empty;
  std::vector<uint8_t> nothing;
  EXPECT_EQ(empty.Read(nothing.data(), 0), 0u);  // no bytes, no buffer
  EXPECT_TRUE(empty.ReadExact(nothing.data(), 0));
  EXPECT_EQ(empty.Write(nothing.data(), 0), 0u);
  EXPECT_EQ(empty.Size(), 0);
}

TEST(FileStream, WritesAndReadsBackAFile) {
  const std::string path = test::FreshFolder("stream") + "data.bin";
  {
    auto out = TFileStream::Open(path, TFileStream::TMode::Create);
    ASSERT_TRUE(out);
    EXPECT_TRUE(out->WriteAll("hello world", 11));
    EXPECT_EQ(out->Size(), 11);
    EXPECT_TRUE(out->Flush());
  }
  auto in = TFileStream::Open(path, TFileStream::TMode::Read);
  ASSERT_TRUE(in);
  EXPECT_EQ(in->Size(), 11);
  ASSERT_TRUE(in->Seek(6));
  char word[6] = {};
  EXPECT_TRUE(in->ReadExact(word, 5));
  EXPECT_STREQ(word, "world");
  EXPECT_EQ(in->Position(), 11);
  EXPECT_EQ(in->Write("x", 1), 0u);  // opened for reading only
  EXPECT_FALSE(TFileStream::Open(path + ".missing", TFileStream::TMode::Read));
}

TEST(StreamWindow, ReadsOnlyItsStretchOfTheOtherStream) {
  const std::vector<uint8_t> bytes = {1, 2, 3, 4, 5, 6, 7, 8};
  TMemoryView whole(bytes);
  TStreamWindow window(whole, 2, 4);
  uint8_t read[8] = {};
  EXPECT_EQ(window.Read(read, 8), 4u);
  EXPECT_EQ(read[0], 3);
  EXPECT_EQ(read[3], 6);
  EXPECT_EQ(window.Read(read, 1), 0u) << "nothing past its end";
  ASSERT_TRUE(window.Seek(3));
  EXPECT_EQ(window.Read(read, 8), 1u);
  EXPECT_EQ(read[0], 6);
  EXPECT_FALSE(window.Seek(-1));
  EXPECT_EQ(window.Write(read, 1), 0u);
  EXPECT_EQ(window.Size(), 4);
}

// What goes through the writer's thread arrives whole and in order, a length patched in front
// after a seek back included; a target that refuses bytes makes the writing fail.
TEST(BackgroundWriter, WritesEverythingInOrderAndReportsARefusingTarget) {
  TMemoryStream target;
  std::vector<uint8_t> expected;
  {
    TBackgroundWriter writer(target);
    const uint8_t placeholder[4] = {0, 0, 0, 0};
    ASSERT_TRUE(writer.WriteAll(placeholder, 4));
    expected.assign(4, 0);
    for (int k = 0; k < 300; ++k) {  // several blocks' worth, in pieces of odd sizes
      std::vector<uint8_t> piece(size_t(10007 + k), static_cast<uint8_t>(k));
      ASSERT_TRUE(writer.WriteAll(piece.data(), piece.size()));
      expected.insert(expected.end(), piece.begin(), piece.end());
    }
    const int64_t end = writer.Position();
    const uint8_t length[4] = {1, 2, 3, 4};
    ASSERT_TRUE(writer.Seek(0) && writer.WriteAll(length, 4) && writer.Seek(end));
    std::copy(std::begin(length), std::end(length), expected.begin());
    EXPECT_TRUE(writer.Finish());
  }
  EXPECT_EQ(target.Bytes(), expected);

  TMemoryView readOnly(expected);  // refuses every byte written to it
  TBackgroundWriter writer(readOnly);
  const std::vector<uint8_t> block(TBackgroundWriter::kBlockBytes + 1, 7);
  writer.WriteAll(block.data(), block.size());
  EXPECT_FALSE(writer.Finish());
  EXPECT_EQ(writer.Write(block.data(), 1), 0u);
}

}  // namespace
}  // namespace torvel
