#pragma once

#include "editor/animation_edit.h"

namespace torvel {

// Brackets an operation with the editor's busy state, which ends however the operation returns.
class TBusyScope {
 public:
  explicit TBusyScope(TAnimationEdit& editor) : editor_(editor) { editor_.SetBusy(true); }
  ~TBusyScope() { editor_.SetBusy(false); }
  TBusyScope(const TBusyScope&) = delete;
  TBusyScope& operator=(const TBusyScope&) = delete;

 private:
  TAnimationEdit& editor_;
};

}  // namespace torvel
