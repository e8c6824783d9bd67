#include <gtest/gtest.h>

#include <memory>

#include "cells/animation_strip.h"
#include "platform/raster.h"
#include "support/recording_preview.h"

namespace torvel {
namespace {

// A strip of n pieces of w x h, piece k filled with colour Colour(k).
TColor Colour(int k) {
  return (0x102030u * static_cast<TColor>(k + 1)) & 0xFFFFFF;
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
    return t.CellAt(position).Pixel(x, y);
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
  EXPECT_EQ(t.Capacity, TCellTable::kSlots);
  EXPECT_FALSE(store->IsEmpty());
  for (int p = 0; p < 3; ++p) {
    EXPECT_EQ(CellColour(p, 99, 99), Colour(p));
  }
  EXPECT_FALSE(preview->Shown.empty());  // the first cell is drawn at once
  EXPECT_EQ(preview->Shown.back().Cell, t.Cells[t.Order[0]].get());
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

TEST_F(AddCellsTest, StopsWhenEverySlotIsTakenKeepingWhatWasAdded) {
  store->MakesThumbnails = false;
  Bitmap dots = Strip(TCellTable::kSlots + 1, 1, 1);
  EXPECT_EQ(store->AddCells(&dots, TCellTable::kSlots + 1, -1), TCellTable::kSlots);
  EXPECT_EQ(store->LastError, "Capacity reached");
  Bitmap more = Strip(1, 1, 1);
  EXPECT_EQ(store->AddCells(&more, 1, -1), 0);
  EXPECT_EQ(store->LastError, "Capacity reached");
  EXPECT_EQ(CellColour(TCellTable::kSlots - 1), Colour(TCellTable::kSlots - 1));
}

// 42 cells of 4096 x 4096 are 2,113,929,216 bytes of pixels; a 43rd would pass 2 GiB.
TEST_F(AddCellsTest, StopsAtThePixelBudgetKeepingWhatWasAdded) {
  store->MakesThumbnails = false;
  Bitmap large = Strip(1, 4096, 4096);
  for (int k = 0; k < 42; ++k) {
    ASSERT_EQ(store->AddCells(&large, 1, -1), 1) << k;
  }
  EXPECT_EQ(store->Table.Capacity, 42);
  EXPECT_EQ(store->AddCells(&large, 1, -1), 0);
  EXPECT_EQ(store->LastError, "Capacity reached");
  EXPECT_EQ(store->Table.Count, 42);
}

TEST_F(AddCellsTest, ScreenshotsOfTodaysScreensAreCells) {
  Bitmap uhd(3840, 2160);
  EXPECT_EQ(store->AddCells(&uhd, 1, -1), 1);
  EXPECT_EQ(store->Table.Capacity, 86);
  store->Clear();
  Bitmap fullHd = Strip(2, 1920, 1080);
  EXPECT_EQ(store->AddCells(&fullHd, 2, -1), 2);
  EXPECT_EQ(store->Table.Capacity, 345);
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
  // The largest cell takes the whole budget.
  EXPECT_TRUE(TAnimationStrip::HoldsCellsOf(65535, 10922));
  EXPECT_TRUE(Bitmap::IsAllowedSize(65535, 10922));
  EXPECT_FALSE(TAnimationStrip::HoldsCellsOf(65535, 10923));
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
  EXPECT_EQ(t.Thumbnails[0]->Width(), 48);
  EXPECT_EQ(t.Thumbnails[0]->Pixel(47, 11), Colour(0));
  store->Clear();
  Bitmap small = Strip(2, 20, 30);
  store->AddCells(&small, 2, -1);
  EXPECT_EQ(t.ThumbSizes[1].Width, 20);  // small cells are not enlarged
  EXPECT_EQ(t.ThumbSizes[1].Height, 30);
  EXPECT_EQ(t.Thumbnails[1]->Pixel(19, 29), Colour(1));
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

TEST_F(AddCellsTest, WholePicturesOfTheCellSizeAreSharedOthersStretched) {
  const TCellPicture first = std::make_shared<const Bitmap>(Strip(1, 10, 8));
  const TCellPicture other = std::make_shared<const Bitmap>(Strip(1, 20, 4));
  EXPECT_EQ(store->AddPictures({first, other, first}, -1), 3);
  const TCellTable& t = store->Table;
  EXPECT_EQ(t.Cells[t.Order[0]], first);
  EXPECT_EQ(t.Cells[t.Order[2]], first);
  ASSERT_NE(t.Cells[t.Order[1]], other);
  EXPECT_EQ(t.CellAt(1).Width(), 10);
  EXPECT_EQ(t.CellAt(1).Height(), 8);
  EXPECT_EQ(store->AddPictures({nullptr}, -1), 0);
  EXPECT_EQ(t.Count, 3);
}

TEST_F(AddCellsTest, DeletingACellLetsGoOfItsPicture) {
  Bitmap picture = Strip(2, 6, 6);
  store->AddCells(&picture, 2, -1);
  const std::weak_ptr<const Bitmap> cell = store->Table.Cells[store->Table.Order[0]];
  ASSERT_TRUE(store->DeleteCell(0));
  EXPECT_TRUE(cell.expired());
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
