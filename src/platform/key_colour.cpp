#include "platform/key_colour.h"

namespace torvel {

bool TColourSet::FindUnused(uint32_t& rgb) const {
  for (const uint32_t c : {0xFF00FFu, 0x00FF00u, 0x00FFFFu, 0xFFFF00u}) {
    if (!Has(c)) {
      rgb = c;
      return true;
    }
  }
  for (uint32_t c = 0; c < (1u << 24); ++c) {
    if (!Has(c)) {
      rgb = c;
      return true;
    }
  }
  return false;
}

}  // namespace torvel
