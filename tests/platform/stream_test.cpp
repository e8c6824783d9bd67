#include <gtest/gtest.h>

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

}  // namespace
}  // namespace torvel
