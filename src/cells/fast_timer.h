#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/ui_dispatcher.h"

namespace torvel {

// A timer thread for ticks down to a millisecond apart. Each tick runs on the user-interface
// thread, and the timer thread waits until it has finished, so ticks never pile up; the next
// interval is counted from the end of the tick before.
class TFastTimer {
 public:
  using TCallback = std::function<void()>;

  explicit TFastTimer(TUiDispatcher& ui);
  // Stops the thread. Safe while a tick is waiting for the user-interface thread: that tick is
  // dropped and no tick runs after the timer is gone.
  ~TFastTimer();
  TFastTimer(const TFastTimer&) = delete;
  TFastTimer& operator=(const TFastTimer&) = delete;

  // Least milliseconds between ticks, clamped into 0..1000; 0 stops ticking.
  void SetInterval(int milliseconds);
  int Interval() const { return interval_.load(); }

  // Ticks are delivered only while enabled and a callback is set. Both are set on the user-
  // interface thread; changes take effect within about a millisecond.
  void SetEnabled(bool enabled) {
    enabled_.store(enabled);
    WakeUp();
  }
  bool Enabled() const { return enabled_.load(); }
  void SetOnTimer(TCallback callback);
  // Called from a tick: nothing can be due for this many milliseconds, so the next tick may
  // wait that long instead of the interval. Applies to the next tick only.
  void DelayNextTick(int milliseconds) { delay_.store(std::clamp(milliseconds, 0, 1000)); }
  // Something the ticks show has changed: the next tick comes after the interval, cutting short
  // a delay asked for by DelayNextTick. Safe from any thread, also during a tick.
  void TickSoon() {
    hurry_.store(true);
    WakeUp();
  }

 private:
  // What the thread and the ticks it posted share; a posted tick may outlive the timer.
  struct TShared {
    std::mutex Lock;
    std::condition_variable Changed;
    bool Stopping = false;
    bool TickDone = false;
    TCallback OnTimer;  // read and written on the user-interface thread only
  };

  void Run();
  // While no tick may start, the thread looks again this often; every change wakes it at once.
  static constexpr int kIdlePollMs = 1000;

  int MillisecondsToTick(uint32_t start, int delay) const;
  void WakeUp();
  void DeliverTick();

  TUiDispatcher& ui_;
  std::shared_ptr<TShared> shared_ = std::make_shared<TShared>();
  std::atomic<int> interval_{1000};
  std::atomic<int> delay_{0};
  std::atomic<bool> hurry_{false};
  std::atomic<bool> enabled_{true};
  std::atomic<bool> hasCallback_{false};
  std::thread thread_;
};

}  // namespace torvel
