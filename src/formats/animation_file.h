#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/stream.h"

namespace torvel {

// The record stored in every ".san" file.
struct TSAN {
  int32_t pW = 0;           // width of one cell
  int32_t pD = 0;           // milliseconds between frames; 0 is still
  std::vector<uint8_t> pI;  // all cells side by side: a zlib-compressed BMP file image
  bool pT = false;          // transparent
  bool pFV = false;         // flip
  bool pFH = false;         // mirror
  uint8_t pF = 0;           // reserved values, carried unchanged
  int32_t pSH = 0;
  int32_t pSV = 0;
};

inline constexpr const char* kSanTypeName = "TSAN";
// The longest pI a file may hold: far more than the largest animation's picture deflates to
// (its BMP image is at most about 24 MB, and deflate never grows data by more than a little).
inline constexpr size_t kMostSanPictureBytes = size_t{32} << 20;

// Writes the record: "TPF0", "TSAN", an empty record name and the nine properties in their order.
bool WriteSanRecord(TStream& stream, const TSAN& record);

// Reads a record. Property names are matched without regard to case, in any order, a repeated
// one overwriting the earlier; an unknown name, a tag that does not suit its property, a nested
// record, an early end or a pI longer than kMostSanPictureBytes fail. The record type name is
// not checked.
bool ReadSanRecord(TStream& stream, TSAN& record);

}  // namespace torvel
