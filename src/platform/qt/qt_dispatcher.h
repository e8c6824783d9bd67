#pragma once

#include "platform/ui_dispatcher.h"

namespace torvel {

// Runs posted jobs in the Qt event loop of the application's thread.
class TQtDispatcher : public TUiDispatcher {
 public:
  void Post(std::function<void()> job) override;
};

}  // namespace torvel
