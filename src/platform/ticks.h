#pragma once

#include <cstdint>

namespace torvel {

// The source of the program's millisecond tick count and of sleeping. The program runs on the
// steady clock; tests install a clock of their own to drive time instead of waiting for it.
class TClock {
 public:
  virtual ~TClock() = default;
  // Milliseconds since an arbitrary start, wrapping modulo 2^32.
  virtual uint32_t Ticks() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
};

// The clock in use. SetClock(nullptr) returns to the steady clock; the caller keeps ownership of
// the clock it installs and removes it before destroying it.
TClock& Clock();
void SetClock(TClock* clock);

inline uint32_t GetTickCount() {
  return Clock().Ticks();
}
inline void SleepMs(uint32_t milliseconds) {
  Clock().Sleep(milliseconds);
}

// Milliseconds from `earlier` to `later`, correct across the wrap of the counter.
inline uint32_t TickDifference(uint32_t later, uint32_t earlier) {
  return later - earlier;
}

}  // namespace torvel
