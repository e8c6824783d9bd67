#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/stream.h"
#include "services/property_stream.h"

namespace torvel {

// The record stored in every ".san" file.
struct TSAN {
  int32_t pW = 0;           // width of one cell
  int32_t pD = 0;           // milliseconds between frames; 0 is still
  std::vector<uint8_t> pI;  // all cells side by side: a zlib-compressed BMP file image
  // A pI too long to be read into memory at once stays in the stream it was read from.
  TStreamSpan pIInStream;
  bool pT = false;   // transparent
  bool pFV = false;  // flip
  bool pFH = false;  // mirror
  uint8_t pF = 0;    // reserved values, carried unchanged
  int32_t pSH = 0;
  int32_t pSV = 0;
};

inline constexpr const char* kSanTypeName = "TSAN";
// The longest pI read into memory; a longer one is left in the stream (pIInStream).
inline constexpr size_t kMostSanPictureBytes = size_t{32} << 20;

// Writes the record: "TPF0", "TSAN", an empty record name and the nine properties in their order.
bool WriteSanRecord(TStream& stream, const TSAN& record);
// The same with pI written by writePicture straight into the stream (which must seek) in place
// of record.pI: for pictures too large to be compressed in memory first.
bool WriteSanRecord(TStream& stream, const TSAN& record,
                    const std::function<bool(TStream&)>& writePicture);

// Reads a record. Property names are matched without regard to case, in any order, a repeated
// one overwriting the earlier; an unknown name, a tag that does not suit its property, a nested
// record or an early end fail. A pI longer than kMostSanPictureBytes is not read but noted in
// pIInStream. The record type name is not checked.
bool ReadSanRecord(TStream& stream, TSAN& record);

}  // namespace torvel
