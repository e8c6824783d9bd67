#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/ui_dispatcher.h"

namespace torvel::test {

// Stands in for the user-interface thread's event loop: posted jobs wait in a queue until the
// test's own thread runs them with Pump.
class TQueueDispatcher : public TUiDispatcher {
 public:
  void Post(std::function<void()> job) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      jobs_.push_back(std::move(job));
    }
    posted_.notify_all();
  }

  // Runs posted jobs for about `duration`; returns how many ran.
  int Pump(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    int ran = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    while (posted_.wait_until(lock, end, [&] { return !jobs_.empty(); })) {
      std::function<void()> job = std::move(jobs_.front());
      jobs_.pop_front();
      lock.unlock();
      job();
      ++ran;
      lock.lock();
    }
    return ran;
  }

  size_t Waiting() {
    std::lock_guard<std::mutex> lock(mutex_);
    return jobs_.size();
  }

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> jobs_;
};

}  // namespace torvel::test
