#include "cells/fast_timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <vector>

#include "support/queue_dispatcher.h"

namespace torvel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(FastTimer, IntervalIsClampedIntoItsRange) {
  test::TQueueDispatcher ui;
  TFastTimer timer(ui);
  EXPECT_EQ(timer.Interval(), 1000);
  timer.SetInterval(-5);
  EXPECT_EQ(timer.Interval(), 0);
  timer.SetInterval(5000);
  EXPECT_EQ(timer.Interval(), 1000);
  timer.SetInterval(1);
  EXPECT_EQ(timer.Interval(), 1);
}

TEST(FastTimer, TicksComeMoreThanAnIntervalAfterThePreviousTickEnded) {
  test::TQueueDispatcher ui;
  TFastTimer timer(ui);
  timer.SetInterval(30);
  std::vector<Clock::time_point> starts;
  std::vector<Clock::time_point> ends;
  timer.SetOnTimer([&] {
    starts.push_back(Clock::now());
    std::this_thread::sleep_for(5ms);  // a tick that takes a while
    ends.push_back(Clock::now());
  });
  while (starts.size() < 4) {
    ui.Pump(50ms);
  }
  for (size_t i = 1; i < starts.size(); ++i) {
    EXPECT_GE(starts[i] - ends[i - 1], 30ms) << "tick " << i;
  }
}

// A tick may put the next one off, once; a change cuts such a rest short.
TEST(FastTimer, ATickMayPutTheNextOneOffUntilAChange) {
  test::TQueueDispatcher ui;
  TFastTimer timer(ui);
  timer.SetInterval(1);
  std::vector<Clock::time_point> starts;
  timer.SetOnTimer([&] {
    starts.push_back(Clock::now());
    timer.DelayNextTick(starts.size() == 1 ? 200 : starts.size() == 3 ? 1000 : 0);
  });
  while (starts.size() < 3) {
    ui.Pump(20ms);
  }
  EXPECT_GE(starts[1] - starts[0], 200ms);  // put off once...
  EXPECT_LT(starts[2] - starts[1], 200ms);  // ...and only once
  timer.TickSoon();                         // the third tick asked for a second's rest
  const Clock::time_point asked = Clock::now();
  while (starts.size() < 4 && Clock::now() - asked < 2s) {
    ui.Pump(20ms);
  }
  ASSERT_GE(starts.size(), 4u);
  EXPECT_LT(starts[3] - asked, 500ms);
}

TEST(FastTimer, AFailingTickIsFollowedByTheNext) {
  test::TQueueDispatcher ui;
  TFastTimer timer(ui);
  timer.SetInterval(1);
  int calls = 0;
  timer.SetOnTimer([&] {
    ++calls;
    throw std::runtime_error("tick failed");
  });
  while (calls < 3) {
    ui.Pump(20ms);
  }
  EXPECT_GE(calls, 3);
}

TEST(FastTimer, NoTicksWhileDisabledOrWithoutInterval) {
  test::TQueueDispatcher ui;
  TFastTimer timer(ui);
  timer.SetInterval(1);
  int calls = 0;
  timer.SetEnabled(false);
  timer.SetOnTimer([&] { ++calls; });
  ui.Pump(60ms);
  EXPECT_EQ(calls, 0);
  timer.SetEnabled(true);
  while (calls == 0) {
    ui.Pump(20ms);
  }
  timer.SetInterval(0);
  ui.Pump(20ms);  // at most the tick already on its way
  const int settled = calls;
  ui.Pump(60ms);
  EXPECT_EQ(calls, settled);
}

TEST(FastTimer, StoppingWhileATickWaitsDoesNotDeadlockAndDropsTheTick) {
  test::TQueueDispatcher ui;
  int calls = 0;
  {
    TFastTimer timer(ui);
    timer.SetInterval(1);
    timer.SetOnTimer([&] { ++calls; });
    while (ui.Waiting() == 0) {
      std::this_thread::sleep_for(1ms);  // the timer thread now waits for this tick
    }
  }                             // destroyed with the tick still queued
  EXPECT_EQ(ui.Pump(10ms), 1);  // the stale tick runs as a job...
  EXPECT_EQ(calls, 0);          // ...but never reaches the callback
}

}  // namespace
}  // namespace torvel
