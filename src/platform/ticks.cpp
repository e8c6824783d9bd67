#include "platform/ticks.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace torvel {
namespace {

class TSteadyClock : public TClock {
 public:
  uint32_t Ticks() override {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
  }
  void Sleep(uint32_t milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
};

TSteadyClock steadyClock;
std::atomic<TClock*> currentClock{&steadyClock};

}  // namespace

TClock& Clock() {
  return *currentClock.load();
}

void SetClock(TClock* clock) {
  currentClock.store(clock != nullptr ? clock : &steadyClock);
}

}  // namespace torvel
