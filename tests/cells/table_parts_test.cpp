#include "cells/table_parts.h"

#include <gtest/gtest.h>

#include <memory>

namespace torvel {
namespace {

// Two tables that differ in every field.
struct TwoTables {
  std::unique_ptr<TCellTable> target = std::make_unique<TCellTable>();
  std::unique_ptr<TCellTable> source = std::make_unique<TCellTable>();
  TwoTables() {
    source->Cells[2] = std::make_shared<const Bitmap>(10, 10);
    source->Thumbnails[2] = std::make_shared<const Bitmap>(48, 48);
    source->CellWidth = 10;
    source->CellHeight = 10;
    source->Order[0] = 2;
    source->Used[2] = 1;
    source->Count = 1;
    source->Empty = false;
    source->Capacity = 50;
    source->Current = 0;
    source->ListIndex = 1;
    source->ThumbSizes[2] = {48, 48};
    source->Transparent = true;
    source->Interval = 250;
    source->Flip = true;
    source->Mirror = true;
  }
};

TEST(TableParts, CellsShareThePicturesAndCopyTheCellFieldsOnly) {
  TwoTables t;
  ASSERT_TRUE(CopyTableParts(*t.target, *t.source, TUndoKind::Cells));
  EXPECT_EQ(t.target->Cells[2], t.source->Cells[2]);
  EXPECT_EQ(t.target->Thumbnails[2], t.source->Thumbnails[2]);
  EXPECT_EQ(t.target->Order[0], 2);
  EXPECT_EQ(t.target->Used[2], 1);
  EXPECT_EQ(t.target->Count, 1);
  EXPECT_FALSE(t.target->Empty);
  EXPECT_EQ(t.target->Capacity, 50);
  EXPECT_EQ(t.target->ListIndex, 1);
  EXPECT_EQ(t.target->ThumbSizes[2].Width, 48);
  EXPECT_FALSE(t.target->Transparent);  // not part of the kind
  EXPECT_EQ(t.target->Interval, 0);
  EXPECT_FALSE(t.target->Flip);
}

TEST(TableParts, SmallKindsCopyTheirFieldAlone) {
  TwoTables t;
  CopyTableParts(*t.target, *t.source, TUndoKind::Transparent);
  EXPECT_TRUE(t.target->Transparent);
  EXPECT_EQ(t.target->Interval, 0);
  CopyTableParts(*t.target, *t.source, TUndoKind::Interval);
  EXPECT_EQ(t.target->Interval, 250);
  EXPECT_FALSE(t.target->Flip);
  CopyTableParts(*t.target, *t.source, TUndoKind::FlipMirror);
  EXPECT_TRUE(t.target->Flip);
  EXPECT_TRUE(t.target->Mirror);
  EXPECT_EQ(t.target->Count, 0);
  CopyTableParts(*t.target, *t.source, TUndoKind::Order);
  EXPECT_EQ(t.target->Order[0], 2);
  EXPECT_EQ(t.target->Count, 0);
}

TEST(TableParts, NoneLetsGoOfTheTargetsPictures) {
  TwoTables t;
  CopyTableParts(*t.target, *t.source, TUndoKind::Cells);
  ASSERT_TRUE(CopyTableParts(*t.target, *t.source, TUndoKind::None));
  EXPECT_EQ(t.target->Cells[2], nullptr);
  EXPECT_EQ(t.target->Thumbnails[2], nullptr);
  EXPECT_EQ(t.source->Cells[2].use_count(), 1);
}

TEST(TableParts, SwappingTwiceGivesBothTablesBack) {
  TwoTables t;
  const TCellPicture cell = t.source->Cells[2];
  SwapTableParts(*t.target, *t.source, TUndoKind::Cells);
  EXPECT_EQ(t.target->Cells[2], cell);
  EXPECT_EQ(t.target->Count, 1);
  EXPECT_EQ(t.source->Count, 0);
  EXPECT_FALSE(t.target->Transparent);  // not part of the kind
  SwapTableParts(*t.target, *t.source, TUndoKind::Cells);
  EXPECT_EQ(t.source->Cells[2], cell);
  EXPECT_EQ(t.source->Capacity, 50);
  SwapTableParts(*t.target, *t.source, TUndoKind::Interval);
  EXPECT_EQ(t.target->Interval, 250);
  EXPECT_EQ(t.source->Interval, 0);
}

}  // namespace
}  // namespace torvel
