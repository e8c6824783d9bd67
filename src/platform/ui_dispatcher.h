#pragma once

#include <functional>

namespace torvel {

// Runs work on the user-interface thread on behalf of another thread.
class TUiDispatcher {
 public:
  virtual ~TUiDispatcher() = default;
  // Queues job to run on the user-interface thread and returns at once. Jobs run in the order
  // they were posted; a job posted while the program ends may never run.
  virtual void Post(std::function<void()> job) = 0;
};

}  // namespace torvel
