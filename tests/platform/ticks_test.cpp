#include <gtest/gtest.h>

#include "platform/ticks.h"
#include "support/manual_clock.h"

namespace torvel {
namespace {

TEST(Ticks, DifferencesAreTakenAcrossTheWrap) {
  EXPECT_EQ(TickDifference(5, 0xFFFFFFFBu), 10u);
  EXPECT_EQ(TickDifference(1000, 400), 600u);
}

TEST(Ticks, AnInstalledClockReplacesTheSteadyOneUntilRemoved) {
  {
    test::TManualClock clock(0xFFFFFFF0u);
    EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
    SleepMs(0x20);  // sleeping on a manual clock moves it, across the wrap
    EXPECT_EQ(GetTickCount(), 0x10u);
  }
  const uint32_t before = GetTickCount();
  SleepMs(20);
  EXPECT_GE(TickDifference(GetTickCount(), before), 15u);
}

}  // namespace
}  // namespace torvel
