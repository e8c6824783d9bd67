#pragma once

#include <atomic>
#include <cstdint>

#include "platform/ticks.h"

namespace torvel::test {

// A clock that moves only when told to (or when slept on), installed for its lifetime. Safe to
// read from other threads.
class TManualClock : public TClock {
 public:
  explicit TManualClock(uint32_t start = 1000) : now_(start) { SetClock(this); }
  ~TManualClock() override { SetClock(nullptr); }

  uint32_t Ticks() override { return now_.load(); }
  void Sleep(uint32_t milliseconds) override { now_ += milliseconds; }
  void Advance(uint32_t milliseconds) { now_ += milliseconds; }
  void Set(uint32_t now) { now_ = now; }

 private:
  std::atomic<uint32_t> now_;
};

}  // namespace torvel::test
