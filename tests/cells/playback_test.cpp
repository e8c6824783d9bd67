#include <gtest/gtest.h>

#include <memory>

#include "cells/animation_strip.h"
#include "platform/raster.h"
#include "support/manual_clock.h"
#include "support/recording_preview.h"

namespace torvel {
namespace {

// A store of `cells` cells of 4 x 4, cell k filled with colour k + 1, on a driven clock.
class PlaybackTest : public testing::Test {
 protected:
  void SetUpCells(int cells, int interval) {
    auto recorder = std::make_unique<test::TRecordingPreview>();
    preview = recorder.get();
    store->SetPreview(std::move(recorder));
    Bitmap picture(4 * cells, 4);
    for (int k = 0; k < cells; ++k) {
      FillRect(picture, {4 * k, 0, 4 * k + 4, 4}, static_cast<TColor>(k + 1));
    }
    store->SetInterval(interval);
    ASSERT_EQ(store->AddCells(&picture, cells, -1), cells);
  }

  // What the playback tick does: draw when a frame is due.
  bool Tick() {
    if (!store->IsFrameDue()) {
      return false;
    }
    store->ShowFrame(true);
    return true;
  }

  // The colour of the last cell drawn, which tells which cell it was.
  int LastShownCell() { return static_cast<int>(preview->Shown.back().TopLeft) - 1; }

  test::TManualClock clock;
  std::unique_ptr<TAnimationStrip> store = std::make_unique<TAnimationStrip>();
  test::TRecordingPreview* preview = nullptr;
};

TEST_F(PlaybackTest, SetIntervalClampsToStillOrTwoSeconds) {
  EXPECT_EQ(store->GetInterval(), 1000);
  store->SetInterval(30);
  EXPECT_EQ(store->GetInterval(), 0);
  store->SetInterval(5000);
  EXPECT_EQ(store->GetInterval(), 2000);
  store->SetInterval(50);
  EXPECT_EQ(store->GetInterval(), 50);
  store->Table.SpeedPercent = 40;
  store->SetInterval(50);  // unchanged: nothing happens
  EXPECT_EQ(store->Table.SpeedPercent, 40);
  store->SetInterval(333);
  EXPECT_EQ(store->Table.SpeedPercent, 100);
}

TEST_F(PlaybackTest, NothingIsDueWithoutAPreviewOrCells) {
  EXPECT_FALSE(store->IsFrameDue());
  SetUpCells(2, 1000);
  store->Clear();
  EXPECT_FALSE(store->IsFrameDue());
  EXPECT_TRUE(preview->IsBlank);
}

TEST_F(PlaybackTest, TwoCellsAlternateOncePerInterval) {
  SetUpCells(2, 1000);
  EXPECT_EQ(LastShownCell(), 0);
  EXPECT_FALSE(Tick());
  // The first due frame after a reset shows the current cell for one full interval.
  clock.Advance(1000);
  ASSERT_TRUE(Tick());
  EXPECT_EQ(LastShownCell(), 0);
  std::vector<int> shown;
  for (int i = 0; i < 4; ++i) {
    clock.Advance(999);
    EXPECT_FALSE(Tick());
    clock.Advance(1);
    ASSERT_TRUE(Tick());
    shown.push_back(LastShownCell());
  }
  EXPECT_EQ(shown, (std::vector<int>{1, 0, 1, 0}));
}

TEST_F(PlaybackTest, MeasuresTheAchievedRate) {
  SetUpCells(3, 100);
  clock.Advance(100);
  Tick();
  for (int i = 0; i < 50; ++i) {
    clock.Advance(100);
    Tick();
  }
  EXPECT_EQ(store->Table.MeasuredFps, 10);
  EXPECT_EQ(store->Table.SpeedPercent, 99);  // 100 * 100 / (100 + 1) rounds to 99
  // Frames that come late pull the average up and the percentage down. The integer average
  // settles a few milliseconds short of the true interval.
  for (int i = 0; i < 50; ++i) {
    clock.Advance(200);
    Tick();
  }
  EXPECT_EQ(store->Table.AverageInterval, 195);
  EXPECT_EQ(store->Table.MeasuredFps, 5);
  EXPECT_EQ(store->Table.SpeedPercent, 51);
}

TEST_F(PlaybackTest, TheAverageWeighsAboutHalfASecondOfFrames) {
  SetUpCells(2, 100);  // weight 5: the new interval counts one sixth
  clock.Advance(100);
  Tick();
  EXPECT_EQ(store->Table.AverageInterval, (100 + 5 * 1000) / 6);
  store->SetInterval(2000);  // weight max(1000 div 4000, 1) = 1
  const int before = store->Table.AverageInterval;
  clock.Advance(2000);
  Tick();
  EXPECT_EQ(store->Table.AverageInterval, (2000 + before) / 2);
}

TEST_F(PlaybackTest, SetCurrentShowsTheChosenCellForAFullInterval) {
  SetUpCells(3, 500);
  clock.Advance(500);
  Tick();
  clock.Advance(200);
  store->SetCurrent(2);
  ASSERT_TRUE(Tick());  // the jump is drawn at once
  EXPECT_EQ(LastShownCell(), 2);
  clock.Advance(499);
  EXPECT_FALSE(Tick());  // it stays for a full interval from the jump
  clock.Advance(1);
  ASSERT_TRUE(Tick());
  EXPECT_EQ(LastShownCell(), 0);  // then playback moves on, looping
  store->SetCurrent(99);
  EXPECT_EQ(store->GetCurrent(), 2);
  store->SetCurrent(-4);
  EXPECT_EQ(store->GetCurrent(), 0);
}

TEST_F(PlaybackTest, StillPlaybackRedrawsOnlyOnJumps) {
  SetUpCells(3, 0);
  EXPECT_TRUE(store->IsStill());
  clock.Advance(100000);
  EXPECT_FALSE(Tick());
  store->SetCurrent(1);
  ASSERT_TRUE(Tick());
  EXPECT_EQ(LastShownCell(), 1);
  EXPECT_EQ(store->Table.SpeedPercent, 0);
  EXPECT_FALSE(Tick());
}

TEST_F(PlaybackTest, PausedPlaybackStaysOnTheCellShown) {
  SetUpCells(2, 100);
  clock.Advance(100);
  Tick();
  store->Paused = true;
  EXPECT_TRUE(store->IsStill());
  clock.Advance(1000);
  EXPECT_FALSE(Tick());
  store->SetCurrent(1);
  ASSERT_TRUE(Tick());
  EXPECT_EQ(LastShownCell(), 1);
  clock.Advance(1000);
  EXPECT_FALSE(Tick());
  store->Paused = false;
  ASSERT_TRUE(Tick());  // more than an interval has passed since the jump was drawn
  EXPECT_EQ(LastShownCell(), 0);
}

TEST_F(PlaybackTest, ASingleCellIsStill) {
  SetUpCells(1, 100);
  EXPECT_TRUE(store->IsStill());
  clock.Advance(1000);
  EXPECT_FALSE(Tick());
}

TEST_F(PlaybackTest, TimingWorksAcrossTheTickCounterWrap) {
  clock.Set(0xFFFFFF00u);
  store = std::make_unique<TAnimationStrip>();
  SetUpCells(2, 1000);
  clock.Advance(999);  // wraps past zero
  EXPECT_FALSE(Tick());
  clock.Advance(1);
  ASSERT_TRUE(Tick());
  clock.Advance(1000);
  ASSERT_TRUE(Tick());
  EXPECT_EQ(LastShownCell(), 1);
}

TEST_F(PlaybackTest, SettingsRedrawWithFlipMirrorAndTransparency) {
  SetUpCells(2, 1000);
  const size_t before = preview->Shown.size();
  store->SetFlip(true);
  store->SetFlip(true);  // unchanged: no redraw
  store->SetMirror(true);
  EXPECT_EQ(preview->Shown.size(), before + 2);
  EXPECT_TRUE(preview->Shown.back().Flip);
  EXPECT_TRUE(preview->Shown.back().Mirror);
  EXPECT_TRUE(preview->Transparent);  // a new store draws transparent
  store->SetTransparent(false);
  EXPECT_FALSE(preview->Transparent);
  EXPECT_FALSE(store->GetTransparent());
}

}  // namespace
}  // namespace torvel
