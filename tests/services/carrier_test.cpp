#include "services/carrier.h"

#include <gtest/gtest.h>

#include "platform/bmp.h"

namespace torvel {
namespace {

TBoxItem Entry(const std::string& name, size_t size) {
  TBoxItem entry;
  entry.pName = name;
  entry.pD.assign(size, 0);
  for (size_t i = 0; i < size; ++i) {
    entry.pD[i] = static_cast<uint8_t>(i * 7 + 1);
  }
  entry.pSize = static_cast<int32_t>(size);
  return entry;
}

TEST(CarrierTest, PackedEntriesLoadBackInOrderAndTheCarrierGrowsWhenNeeded) {
  const TBoxItem a = Entry("a.jpg", 500);
  const TBoxItem b = Entry("index.html", 3000);  // together with a.jpg, fits 36 rows
  int rows = 0;
  const Bitmap small = PackCarrier({&a}, 334, 36, &rows);
  EXPECT_EQ(rows, 36);
  EXPECT_EQ(small.Height(), 36);
  // 36 rows of 1004 bytes cannot hold 43,500 bytes of entries.
  const TBoxItem big = Entry("big.san", 40000);
  const Bitmap grown = PackCarrier({&a, &b, &big}, 334, 36, &rows);
  EXPECT_GT(rows, 36);
  EXPECT_EQ(grown.Height(), rows);
  EXPECT_EQ(grown.Width(), 334);

  TZipBox box;
  ASSERT_TRUE(LoadCarrier(grown, box)) << box.LastErrorText;
  ASSERT_EQ(box.EntryCount(), 3);
  EXPECT_EQ(box.EntryAt(0)->pName, "a.jpg");
  EXPECT_EQ(box.EntryAt(2)->pName, "big.san");
  EXPECT_EQ(box.EntryAt(2)->pD, big.pD);
  // The archive lies 154 bytes into the picture's BMP image.
  const std::vector<uint8_t> image = EncodeBmp(grown);
  EXPECT_EQ(std::string(image.begin() + 154, image.begin() + 158), "TPF0");
}

TEST(CarrierTest, APictureWithoutAnArchiveLoadsNothing) {
  TZipBox box;
  const TBoxItem kept = Entry("kept", 10);
  box.AddEntry(std::make_unique<TBoxItem>(kept));
  EXPECT_FALSE(LoadCarrier(Bitmap(334, 36), box));
  EXPECT_EQ(box.EntryCount(), 0);
  EXPECT_FALSE(box.LastErrorText.empty());
  EXPECT_FALSE(LoadCarrier(Bitmap(), box));
}

}  // namespace
}  // namespace torvel
