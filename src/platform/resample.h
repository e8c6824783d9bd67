#pragma once

#include <cstdint>
#include <vector>

namespace torvel {

// Weights that map one axis of srcLength pixels onto dstLength pixels. Destination pixel i is the
// weighted sum of source pixels First[i] .. First[i] + Count[i] - 1 with the weights
// Weights[Offset[i] ..], which add up to kWeightOne.
struct TAxisWeights {
  static constexpr int kWeightBits = 14;
  static constexpr int32_t kWeightOne = 1 << kWeightBits;

  std::vector<int> First;
  std::vector<int> Count;
  std::vector<int> Offset;
  std::vector<int32_t> Weights;
};

// Area averaging when dstLength < srcLength, bilinear when dstLength > srcLength, one tap of full
// weight per pixel when they are equal. Both lengths must be at least 1.
TAxisWeights BuildAxisWeights(int srcLength, int dstLength);

}  // namespace torvel
