#pragma once

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace torvel {

// Runs work(0) .. work(count - 1) on the processor's cores, the calling thread among them, in no
// set order. Once a call returns false no more are started, and the result is false.
inline bool ParallelFor(int count, const std::function<bool(int)>& work) {
  std::atomic<int> next{0};
  std::atomic<bool> failed{false};
  const auto run = [&] {
    for (int i = next++; i < count && !failed.load(); i = next++) {
      if (!work(i)) {
        failed = true;
      }
    }
  };
  const int helpers =
      std::min(static_cast<int>(std::thread::hardware_concurrency()), std::min(count, 8)) - 1;
  std::vector<std::thread> threads;
  for (int t = 0; t < helpers; ++t) {
    threads.emplace_back(run);
  }
  run();
  for (std::thread& thread : threads) {
    thread.join();
  }
  return !failed.load();
}

}  // namespace torvel
