#include <gtest/gtest.h>

#include <memory>

#include "cells/animation_strip.h"
#include "platform/raster.h"
#include "support/recording_preview.h"

namespace torvel {
namespace {

// A strip of n pieces of w x h, piece k filled with colour Colour(k).
TColor Colour(int k) {
  return static_cast<TColor>(0x102030 * (k + 1)) & 0xFFFFFF;
}

Bitmap Strip(int n, int w, int h) {
  Bitmap picture(n * w, h);
  for (int k = 0; k < n; ++k) {
    FillRect(picture, {k * w, 0, (k + 1) * w, h}, Colour(k));
  }
  return picture;
}

class AddCellsTest : public testing::Test {
 protected:
  void SetUp() override {
    auto recorder = std::make_unique<test::TRecordingPreview>();
    preview = recorder.get();
    store->SetPreview(std::move(recorder));
  }

  TColor CellColour(int position, int x = 0, int y = 0) {
    const TCellTable& t = store->Table;
    return t.Cells.Pixel(t.CellRect(t.Order[position]).Left + x, y);
  }

  std::unique_ptr<TAnimationStrip> store = std::make_unique<TAnimationStrip>();
  test::TRecordingPreview* preview = nullptr;
};

TEST_F(AddCellsTest, CutsAPictureIntoEqualCells) {
  Bitmap picture = Strip(3, 100, 100);
  EXPECT_EQ(store->AddCells(&picture, 3, -1), 3);
  const TCellTable& t = store->Table;
  EXPECT_EQ(t.Count, 3);
  EXPECT_EQ(t.CellWidth, 100);
  EXPECT_EQ(t.CellHeight, 100);
  EXPECT_EQ(t.Capacity, 218);
  EXPECT_FALSE(store->IsEmpty());
  for (int p = 0; p < 3; ++p) {
    EXPECT_EQ(CellColour(p, 99, 99), Colour(p));
  }
  EXPECT_FALSE(preview->Shown.empty());  // the first cell is drawn at once
  EXPECT_EQ(preview->Shown.back().Rect, t.CellRect(t.Order[0]));
}

TEST_F(AddCellsTest, DropsTheRestColumnsOfAPictureThatDoesNotDivide) {
  Bitmap picture = Strip(1, 11, 4);
  picture.SetPixel(10, 0, 0xABCDEF);  // the eleventh column does not fit in 2 x 5
  EXPECT_EQ(store->AddCells(&picture, 2, -1), 2);
  EXPECT_EQ(store->Table.CellWidth, 5);
  EXPECT_EQ(CellColour(1, 4, 0), Colour(0));
}

TEST_F(AddCellsTest, LaterPicturesAreStretchedToTheCellSize) {
  Bitmap first = Strip(1, 10, 10);
  store->AddCells(&first, 1, -1);
  Bitmap second = Strip(2, 40, 5);  // pieces of 40 x 5 become 10 x 10
  EXPECT_EQ(store->AddCells(&second, 2, -1), 2);
  EXPECT_EQ(store->Table.CellWidth, 10);
  EXPECT_EQ(CellColour(1, 9, 9), Colour(0));
  EXPECT_EQ(CellColour(2, 0, 0), Colour(1));
}

TEST_F(AddCellsTest, InsertsAtThePositionAndKeepsTheOrderOfThePieces) {
  Bitmap a = Strip(2, 4, 4);
  store->AddCells(&a, 2, -1);
  Bitmap b = Strip(3, 4, 4);
  FillRect(b, b.Rect(), 0x777777);
  FillRect(b, {4, 0, 8, 4}, 0x888888);
  EXPECT_EQ(store->AddCells(&b, 3, 1), 3);
  EXPECT_EQ(CellColour(0), Colour(0));
  EXPECT_EQ(CellColour(1), 0x777777u);
  EXPECT_EQ(CellColour(2), 0x888888u);
  EXPECT_EQ(CellColour(3), 0x777777u);
  EXPECT_EQ(CellColour(4), Colour(1));
}

TEST_F(AddCellsTest, NothingIsAddedFromNoPictureOrTooManyPieces) {
  Bitmap picture = Strip(1, 5, 5);
  EXPECT_EQ(store->AddCells(nullptr, 1, -1), 0);
  EXPECT_EQ(store->AddCells(&picture, 0, -1), 0);
  EXPECT_EQ(store->AddCells(&picture, 6, -1), 0);  // width div n = 0
  EXPECT_TRUE(store->IsEmpty());
  EXPECT_EQ(store->LastError, "Unexpected error");
}

TEST_F(AddCellsTest, StopsAtCapacityKeepingWhatWasAdded) {
  Bitmap big = Strip(14, 640, 480);
  EXPECT_EQ(store->AddCells(&big, 14, -1), 13);
  EXPECT_EQ(store->LastError, "Capacity reached");
  EXPECT_EQ(store->Table.Count, 13);
  Bitmap more = Strip(1, 640, 480);
  EXPECT_EQ(store->AddCells(&more, 1, -1), 0);
  EXPECT_EQ(store->LastError, "Capacity reached");
}

TEST_F(AddCellsTest, APictureOfMoreThanFourMillionPixelsCannotBeAdded) {
  Bitmap huge(2001, 2000);
  EXPECT_EQ(store->AddCells(&huge, 1, -1), 0);
  EXPECT_EQ(store->LastError, "Capacity reached");
  EXPECT_TRUE(store->IsEmpty());
  EXPECT_EQ(store->Table.CellWidth, 0);  // the empty table's fields stay as they were
  EXPECT_EQ(store->Table.Capacity, 1);
}

TEST_F(AddCellsTest, CellsWiderThanSixteenBitsAreRefused) {
  Bitmap wide(65536, 1);
  EXPECT_EQ(store->AddCells(&wide, 1, -1), 0);
  EXPECT_EQ(store->LastError, "Capacity reached");
  EXPECT_EQ(store->Table.CellWidth, 0);
  Bitmap tall(1, 65536);
  EXPECT_EQ(store->AddCells(&tall, 1, -1), 0);
  EXPECT_EQ(store->LastError, "Capacity reached");
  Bitmap widest(65535, 1);
  EXPECT_EQ(store->AddCells(&widest, 1, -1), 1);
  EXPECT_EQ(store->Table.CellWidth, 65535);
}

TEST_F(AddCellsTest, SwitchesThePicturesTransparencyOff) {
  Bitmap picture = Strip(1, 3, 3);
  picture.Transparent = true;
  store->AddCells(&picture, 1, -1);
  EXPECT_FALSE(picture.Transparent);
}

TEST_F(AddCellsTest, ThumbnailsAreFittedIntoTheirBoxes) {
  Bitmap wide = Strip(1, 96, 24);
  store->AddCells(&wide, 1, -1);
  const TCellTable& t = store->Table;
  EXPECT_EQ(t.ThumbSizes[0].Width, 48);
  EXPECT_EQ(t.ThumbSizes[0].Height, 12);
  EXPECT_EQ(t.Thumbnails.Pixel(47, 11), Colour(0));
  EXPECT_EQ(t.Thumbnails.Pixel(10, 12), kWhite);  // the rest of the box is white
  EXPECT_EQ(t.Thumbnails.Pixel(47, 47), kWhite);
  store->Clear();
  Bitmap small = Strip(2, 20, 30);
  store->AddCells(&small, 2, -1);
  EXPECT_EQ(t.ThumbSizes[1].Width, 20);  // small cells are not enlarged
  EXPECT_EQ(t.ThumbSizes[1].Height, 30);
  EXPECT_EQ(t.Thumbnails.Pixel(48 + 19, 29), Colour(1));
  EXPECT_TRUE(t.Thumbnails.Transparent);
}

TEST_F(AddCellsTest, ThumbnailSizesRoundHalvesToEven) {
  Bitmap picture = Strip(1, 96, 5);  // 5 * 0.5 = 2.5 rounds to 2
  store->AddCells(&picture, 1, -1);
  EXPECT_EQ(store->Table.ThumbSizes[0].Height, 2);
  store->Clear();
  Bitmap other = Strip(1, 96, 7);  // 3.5 rounds to 4
  store->AddCells(&other, 1, -1);
  EXPECT_EQ(store->Table.ThumbSizes[0].Height, 4);
}

TEST_F(AddCellsTest, SharedBitmapsGrowTenSlotsAheadWithinCapacity) {
  Bitmap picture = Strip(1, 10, 8);
  store->AddCells(&picture, 1, -1);
  const TCellTable& t = store->Table;
  EXPECT_EQ(t.Cells.Width(), 11 * 10);
  EXPECT_EQ(t.Cells.Height(), 8);
  EXPECT_EQ(t.Thumbnails.Width(), 11 * 48);
  EXPECT_EQ(t.Thumbnails.Height(), 48);
  for (int i = 0; i < 11; ++i) {
    store->AddCells(&picture, 1, -1);
  }
  EXPECT_EQ(t.Count, 12);
  EXPECT_EQ(t.Cells.Width(), 22 * 10);  // grown once more, for slot 11
  store->Clear();
  Bitmap large = Strip(13, 640, 480);
  store->AddCells(&large, 13, -1);
  EXPECT_EQ(store->Table.Cells.Width(), 13 * 640);  // slot 11 grew it, but not beyond Capacity
}

TEST_F(AddCellsTest, ReserveSlotIgnoresNegativeSlots) {
  EXPECT_FALSE(store->ReserveSlot(-1));
  EXPECT_EQ(store->LastError, "Index out of range");
  EXPECT_EQ(store->Table.Cells.Width(), 1);
}

TEST_F(AddCellsTest, DeletedSlotsAreReused) {
  Bitmap picture = Strip(4, 6, 6);
  store->AddCells(&picture, 4, -1);
  ASSERT_TRUE(store->DeleteCell(1));
  Bitmap one = Strip(1, 6, 6);
  FillRect(one, one.Rect(), 0x0F0F0F);
  store->AddCells(&one, 1, -1);
  EXPECT_EQ(store->Table.Order[3], 1);  // slot 1 holds the new last cell
  EXPECT_EQ(CellColour(3), 0x0F0F0Fu);
}

TEST_F(AddCellsTest, DeletingTheLastCellBlanksThePreview) {
  Bitmap picture = Strip(1, 6, 6);
  store->AddCells(&picture, 1, -1);
  EXPECT_FALSE(preview->IsBlank);
  ASSERT_TRUE(store->DeleteCell(0));
  EXPECT_TRUE(preview->IsBlank);
  EXPECT_EQ(store->Table.CellWidth, 0);
  EXPECT_EQ(store->Table.Capacity, 1);
  EXPECT_FALSE(store->DeleteCell(0));
  EXPECT_EQ(store->LastError, "Empty");
}

TEST_F(AddCellsTest, MoveCellRedrawsAndReportsBadPositions) {
  Bitmap picture = Strip(3, 2, 2);
  store->AddCells(&picture, 3, -1);
  const size_t before = preview->Shown.size();
  EXPECT_TRUE(store->MoveCell(0, 2));
  EXPECT_EQ(preview->Shown.size(), before + 1);
  EXPECT_EQ(CellColour(0), Colour(2));
  EXPECT_FALSE(store->MoveCell(5, 0));
  EXPECT_EQ(store->LastError, "Index out of range");
}

}  // namespace
}  // namespace torvel
