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
}

void TFastTimer::SetOnTimer(TCallback callback) {
  hasCallback_.store(false);
  shared_->OnTimer = std::move(callback);
  hasCallback_.store(shared_->OnTimer != nullptr);
}

bool TFastTimer::ReadyToTick(uint32_t start, int delay) const {
  const int interval = interval_.load();
  const int wait = std::max(interval, delay);
  return enabled_.load() && interval != 0 && hasCallback_.load() &&
         TickDifference(GetTickCount(), start) > static_cast<uint32_t>(wait);
}

void TFastTimer::Run() {
  try {
    for (;;) {
      const uint32_t start = GetTickCount();
      const int delay = delay_.exchange(0);
      for (;;) {
        std::unique_lock<std::mutex> lock(shared_->Lock);
        if (shared_->Stopping) {
          return;
        }
        if (ReadyToTick(start, delay)) {
          break;
        }
        // A one-millisecond poll that a stop request cuts short.
        shared_->Changed.wait_for(lock, std::chrono::milliseconds(1));
      }
      DeliverTick();
    }
  } catch (...) {
    // The thread ends quietly.
  }
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
