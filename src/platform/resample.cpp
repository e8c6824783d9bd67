#include "platform/resample.h"

#include <algorithm>
#include <cmath>

namespace torvel {
namespace {

void AddTap(TAxisWeights& w, int first, std::vector<int64_t> parts, int64_t total) {
  w.First.push_back(first);
  w.Count.push_back(static_cast<int>(parts.size()));
  w.Offset.push_back(static_cast<int>(w.Weights.size()));
  int32_t sum = 0;
  size_t largest = 0;
  for (size_t k = 0; k < parts.size(); ++k) {
    const auto weight = static_cast<int32_t>(parts[k] * TAxisWeights::kWeightOne / total);
    w.Weights.push_back(weight);
    sum += weight;
    if (parts[k] > parts[largest]) {
      largest = k;
    }
  }
  // Rounding down loses a little; give it to the strongest tap so every pixel sums to one.
  w.Weights[w.Offset.back() + largest] += TAxisWeights::kWeightOne - sum;
}

// Destination pixel i covers the source span [i*src/dst, (i+1)*src/dst); measured in units of
// 1/dst the span is [i*src, (i+1)*src) and source pixel j covers [j*dst, (j+1)*dst).
void BuildAreaWeights(TAxisWeights& w, int src, int dst) {
  for (int i = 0; i < dst; ++i) {
    const int64_t begin = int64_t{i} * src;
    const int64_t end = begin + src;
    const int first = static_cast<int>(begin / dst);
    const int last = static_cast<int>((end - 1) / dst);
    std::vector<int64_t> parts;
    for (int j = first; j <= last; ++j) {
      const int64_t overlap =
          std::min(end, int64_t{j + 1} * dst) - std::max(begin, int64_t{j} * dst);
      parts.push_back(overlap);
    }
    AddTap(w, first, std::move(parts), src);
  }
}

void BuildBilinearWeights(TAxisWeights& w, int src, int dst) {
  constexpr int64_t kSteps = 1 << 16;
  for (int i = 0; i < dst; ++i) {
    // Centre of destination pixel i in source coordinates, in steps of 1/kSteps.
    int64_t centre = ((2 * int64_t{i} + 1) * src * kSteps) / (2 * int64_t{dst}) - kSteps / 2;
    centre = std::clamp<int64_t>(centre, 0, int64_t{src - 1} * kSteps);
    const int j = static_cast<int>(centre / kSteps);
    const int64_t frac = centre % kSteps;
    if (frac == 0 || j + 1 >= src) {
      AddTap(w, j, {1}, 1);
    } else {
      AddTap(w, j, {kSteps - frac, frac}, kSteps);
    }
  }
}

}  // namespace

TAxisWeights BuildAxisWeights(int srcLength, int dstLength) {
  TAxisWeights w;
  w.First.reserve(dstLength);
  w.Count.reserve(dstLength);
  w.Offset.reserve(dstLength);
  if (dstLength < srcLength) {
    BuildAreaWeights(w, srcLength, dstLength);
  } else if (dstLength > srcLength) {
    BuildBilinearWeights(w, srcLength, dstLength);
  } else {
    for (int i = 0; i < dstLength; ++i) {
      AddTap(w, i, {1}, 1);
    }
  }
  return w;
}

}  // namespace torvel
