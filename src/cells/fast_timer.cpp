#include "cells/fast_timer.h"

#include <algorithm>
#include <chrono>

#include "platform/ticks.h"

namespace torvel {

TFastTimer::TFastTimer(TUiDispatcher& ui) : ui_(ui) {
  SetInterval(1000);
  thread_ = std::thread([this] { Run(); });
}

TFastTimer::~TFastTimer() {
  enabled_.store(false);
  hasCallback_.store(false);
  {
    std::lock_guard<std::mutex> lock(shared_->Lock);
    shared_->Stopping = true;
    shared_->OnTimer = nullptr;
  }
  shared_->Changed.notify_all();
  if (thread_.joinable()) {
    thread_.join();
  }
}

void TFastTimer::SetInterval(int milliseconds) {
  interval_.store(std::clamp(milliseconds, 0, 1000));
  WakeUp();
}

void TFastTimer::SetOnTimer(TCallback callback) {
  hasCallback_.store(false);
  shared_->OnTimer = std::move(callback);
  hasCallback_.store(shared_->OnTimer != nullptr);
  WakeUp();
}

// Milliseconds left before the next tick may start, or -1 while no tick may start at all.
int TFastTimer::MillisecondsToTick(uint32_t start, int delay) const {
  const int interval = interval_.load();
  if (!enabled_.load() || interval == 0 || !hasCallback_.load()) {
    return -1;
  }
  const int64_t wait = std::max(interval, delay);
  const int64_t elapsed = TickDifference(GetTickCount(), start);
  return static_cast<int>(std::max<int64_t>(wait + 1 - elapsed, 0));  // strictly more than wait
}

void TFastTimer::Run() {
  try {
    for (;;) {
      const uint32_t start = GetTickCount();
      int delay = delay_.exchange(0);
      for (;;) {
        std::unique_lock<std::mutex> lock(shared_->Lock);
        if (shared_->Stopping) {
          return;
        }
        if (hurry_.exchange(false)) {
          delay = 0;
        }
        const int left = MillisecondsToTick(start, delay);
        if (left == 0) {
          break;
        }
        // Sleeps until the tick is due; a stop request or a change of the settings wakes it.
        const int rest = left < 0 ? kIdlePollMs : left;
        shared_->Changed.wait_for(lock, std::chrono::milliseconds(rest));
      }
      DeliverTick();
    }
  } catch (...) {
    // The thread ends quietly.
  }
}

void TFastTimer::WakeUp() {
  { std::lock_guard<std::mutex> lock(shared_->Lock); }
  shared_->Changed.notify_all();
}

// Posts the tick to the user-interface thread and waits until it has run or the timer stops.
void TFastTimer::DeliverTick() {
  std::shared_ptr<TShared> shared = shared_;
  {
    std::lock_guard<std::mutex> lock(shared->Lock);
    shared->TickDone = false;
  }
  ui_.Post([shared] {
    {
      std::lock_guard<std::mutex> lock(shared->Lock);
      if (shared->Stopping) {
        return;  // the timer is gone or going: the tick is dropped
      }
    }
    try {
      if (shared->OnTimer) {
        TCallback callback = shared->OnTimer;  // the callback may replace itself
        callback();
      }
    } catch (...) {
      // One failing tick never stops the timer.
    }
    {
      std::lock_guard<std::mutex> lock(shared->Lock);
      shared->TickDone = true;
    }
    shared->Changed.notify_all();
  });
  std::unique_lock<std::mutex> lock(shared->Lock);
  shared->Changed.wait(lock, [&] { return shared->TickDone || shared->Stopping; });
}

}  // namespace torvel
