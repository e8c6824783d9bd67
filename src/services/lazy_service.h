#pragma once

#include <memory>

namespace torvel {

// The accessor pattern of the program's service objects: made on first use, none when that fails.
template <typename T>
T* CreateOnFirstUse(std::unique_ptr<T>& slot) {
  if (!slot) {
    try {
      slot = std::make_unique<T>();
    } catch (...) {
      return nullptr;
    }
  }
  return slot.get();
}

}  // namespace torvel
