#include "cells/cell_table.h"

#include <gtest/gtest.h>

#include <memory>

#include "cells/cell_helpers.h"

namespace torvel {
namespace {

TEST(CellHelpers, SafeDivFitScaleAndRounding) {
  EXPECT_EQ(SafeDiv(7, 2), 3);
  EXPECT_EQ(SafeDiv(-7, 2), -3);
  EXPECT_EQ(SafeDiv(5, 0), 0);
  EXPECT_DOUBLE_EQ(FitScale(48, 96, 48, 24), 0.5);
  EXPECT_DOUBLE_EQ(FitScale(48, 10, 48, 10), 1.0);  // never enlarges
  EXPECT_DOUBLE_EQ(FitScale(48, 100, 48, 200), 0.24);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  const Bitmap b = NewBitmap();
  EXPECT_EQ(b.Width(), 1);
  EXPECT_EQ(b.Height(), 1);
}

// Every slot, within 2 GiB of 24-bit pixels.
TEST(CellTable, CapacityRule) {
  EXPECT_EQ(TCellTable::CapacityFor(1, 1), TCellTable::kSlots);
  EXPECT_EQ(TCellTable::CapacityFor(100, 100), TCellTable::kSlots);
  EXPECT_EQ(TCellTable::CapacityFor(181, 181), TCellTable::kSlots);  // 21,849 of them would fit
  EXPECT_EQ(TCellTable::CapacityFor(182, 181), 21729);
  EXPECT_EQ(TCellTable::CapacityFor(640, 480), 2330);
  EXPECT_EQ(TCellTable::CapacityFor(1920, 1080), 345);
  EXPECT_EQ(TCellTable::CapacityFor(65535, 1), 10922);
  EXPECT_EQ(TCellTable::CapacityFor(65535, 10922), 1);  // a single cell may take it all
  EXPECT_EQ(TCellTable::CapacityFor(65535, 10923), 0);  // but not more
  EXPECT_EQ(TCellTable::CapacityFor(0, 10), 0);
}

// A table of `count` cells at positions 0..count-1 in slots 0..count-1.
std::unique_ptr<TCellTable> TableWith(int count, int capacity = 100) {
  auto table = std::make_unique<TCellTable>();
  table->Reset();
  table->Capacity = capacity;
  for (int i = 0; i < count; ++i) {
    const int p = table->InsertSlot(-1);
    table->Used[table->Order[p]] = 1;
  }
  table->Empty = count == 0;
  return table;
}

std::vector<int> OrderOf(const TCellTable& t) {
  return std::vector<int>(t.Order.begin(), t.Order.begin() + t.Count);
}

TEST(CellTable, InsertSlotTakesTheLowestFreeSlot) {
  auto t = TableWith(4);
  EXPECT_EQ(OrderOf(*t), (std::vector<int>{0, 1, 2, 3}));
  std::string error;
  ASSERT_TRUE(t->DeletePosition(1, error));
  ASSERT_TRUE(t->DeletePosition(1, error));  // slots 1 and 2 are free again
  EXPECT_EQ(OrderOf(*t), (std::vector<int>{0, 3}));
  EXPECT_EQ(t->InsertSlot(0), 0);  // the reused slot goes in front
  EXPECT_EQ(OrderOf(*t), (std::vector<int>{1, 0, 3}));
  t->Used[1] = 1;
  EXPECT_EQ(t->InsertSlot(99), 3);  // clamped to the end
  EXPECT_EQ(OrderOf(*t), (std::vector<int>{1, 0, 3, 2}));
  EXPECT_EQ(t->InsertSlot(-7), 0);  // other negative positions insert at the front
}

TEST(CellTable, InsertSlotStopsAtCapacity) {
  auto t = TableWith(3, 3);
  EXPECT_EQ(t->InsertSlot(-1), -1);
  EXPECT_EQ(t->Count, 3);
}

TEST(CellTable, InsertSlotFailsWhenEverySlotIsUsed) {
  auto t = TableWith(0, TCellTable::kSlots + 5);
  t->Used.fill(1);
  EXPECT_EQ(t->InsertSlot(-1), -1);
}

TEST(CellTable, DeletePositionChecksAndWrapsCurrent) {
  auto t = TableWith(3);
  std::string error;
  EXPECT_FALSE(t->DeletePosition(3, error));
  EXPECT_EQ(error, "Index out of range");
  t->Current = 2;
  ASSERT_TRUE(t->DeletePosition(-1, error));  // the last one, which is current
  EXPECT_EQ(t->Current, 0);
  EXPECT_EQ(OrderOf(*t), (std::vector<int>{0, 1}));
  t->Current = 1;
  ASSERT_TRUE(t->DeletePosition(0, error));  // current is now past the end
  EXPECT_EQ(t->Current, 0);                  // and wraps to the first cell
  t->Used[t->Order[0]] = 0;
  EXPECT_FALSE(t->DeletePosition(0, error));  // a position whose slot is not in use
  EXPECT_EQ(error, "Index out of range");
}

TEST(CellTable, DeletingBeforeCurrentKeepsItsPosition) {
  auto t = TableWith(4);
  t->Current = 2;
  std::string error;
  ASSERT_TRUE(t->DeletePosition(0, error));
  EXPECT_EQ(t->Current, 2);  // the cell shown jumps one place on
}

TEST(CellTable, DeletingTheLastCellResetsTheTable) {
  auto t = TableWith(1);
  t->CellWidth = 10;
  t->CellHeight = 20;
  t->Capacity = 50;
  t->Flip = true;
  std::string error;
  ASSERT_TRUE(t->DeletePosition(0, error));
  EXPECT_TRUE(t->Empty);
  EXPECT_EQ(t->CellWidth, 0);
  EXPECT_EQ(t->CellHeight, 0);
  EXPECT_EQ(t->Capacity, 1);
  EXPECT_FALSE(t->Flip);
  EXPECT_FALSE(t->DeletePosition(0, error));
  EXPECT_EQ(error, "Empty");
}

TEST(CellTable, MovePosition) {
  auto t = TableWith(5);
  std::string error;
  ASSERT_TRUE(t->MovePosition(3, 0, error));
  EXPECT_EQ(OrderOf(*t), (std::vector<int>{1, 2, 3, 0, 4}));
  ASSERT_TRUE(t->MovePosition(0, 4, error));
  EXPECT_EQ(OrderOf(*t), (std::vector<int>{4, 1, 2, 3, 0}));
  ASSERT_TRUE(t->MovePosition(-1, 1, error));  // negative: the last position
  EXPECT_EQ(OrderOf(*t), (std::vector<int>{4, 2, 3, 0, 1}));
  ASSERT_TRUE(t->MovePosition(2, 2, error));
  EXPECT_EQ(OrderOf(*t), (std::vector<int>{4, 2, 3, 0, 1}));
  auto three = TableWith(3);
  EXPECT_FALSE(three->MovePosition(5, 0, error));
  EXPECT_EQ(error, "Index out of range");
  auto none = TableWith(0);
  EXPECT_FALSE(none->MovePosition(0, 0, error));
}

TEST(CellTable, ReverseOrderKeepsCurrent) {
  auto t = TableWith(4);
  t->Current = 1;
  EXPECT_TRUE(t->ReverseOrder());
  EXPECT_EQ(OrderOf(*t), (std::vector<int>{3, 2, 1, 0}));
  EXPECT_EQ(t->Current, 1);
  auto one = TableWith(1);
  EXPECT_TRUE(one->ReverseOrder());
  EXPECT_EQ(OrderOf(*one), (std::vector<int>{0}));
}

TEST(CellTable, NextPositionWraps) {
  auto t = TableWith(3);
  EXPECT_EQ(t->NextPosition(0), 1);
  EXPECT_EQ(t->NextPosition(2), 0);
  EXPECT_EQ(TableWith(0)->NextPosition(0), -1);
}

TEST(CellTable, RectanglesOfSlots) {
  TCellTable t;
  t.CellWidth = 30;
  t.CellHeight = 20;
  t.ThumbSizes[2] = {48, 32};
  EXPECT_EQ(t.ThumbnailRect(2, false), (TRect{0, 0, 48, 48}));
  EXPECT_EQ(t.ThumbnailRect(2, true), (TRect{0, 0, 48, 32}));
}

TEST(CellTable, ExportRangeCopiesCellsInDisplayOrder) {
  auto t = TableWith(3);
  t->CellWidth = 2;
  t->CellHeight = 1;
  for (int slot = 0; slot < 3; ++slot) {
    auto cell = std::make_shared<Bitmap>(2, 1);
    cell->SetPixel(0, 0, static_cast<TColor>(slot + 1));
    t->Cells[slot] = cell;
  }
  std::string error;
  ASSERT_TRUE(t->MovePosition(0, 2, error));  // order: slots 2, 0, 1
  Bitmap out;
  ASSERT_TRUE(t->ExportRange(0, 2, error, &out));
  ASSERT_EQ(out.Width(), 6);
  EXPECT_EQ(out.Pixel(0, 0), 3u);
  EXPECT_EQ(out.Pixel(2, 0), 1u);
  EXPECT_EQ(out.Pixel(4, 0), 2u);
  ASSERT_TRUE(t->ExportRange(1, 99, error, &out));  // the last clamps to the end
  EXPECT_EQ(out.Width(), 4);
  EXPECT_FALSE(t->ExportRange(0, 1, error, nullptr));
  EXPECT_EQ(error, "Unexpected error");
  EXPECT_FALSE(TableWith(0)->ExportRange(0, 0, error, &out));
}

}  // namespace
}  // namespace torvel
