#include "platform/platform_ui.h"

#include <atomic>

namespace torvel {
namespace {
std::atomic<TPlatformUi*> installedUi{nullptr};
}  // namespace

TPlatformUi* PlatformUi() {
  return installedUi.load();
}

void SetPlatformUi(TPlatformUi* ui) {
  installedUi.store(ui);
}

}  // namespace torvel
