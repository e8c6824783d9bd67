#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/decoded_frames.h"

namespace torvel {

// The readers behind ReadAnimationFrames, one a format. Each fills frames up to the limits and
// counts the rest; on failure the error is "Unsupported format" for a file that is not one of
// its kind or is damaged, "Capacity reached" for one beyond the limits.
bool ReadGifFrames(const uint8_t* data, size_t size, const TReadLimits& limits,
                   TDecodedFrames& frames, std::string& error);
bool ReadWebpFrames(const uint8_t* data, size_t size, const TReadLimits& limits,
                    TDecodedFrames& frames, std::string& error);
// Animated PNG; a PNG without animation is read as one frame.
bool ReadApngFrames(const uint8_t* data, size_t size, const TReadLimits& limits,
                    TDecodedFrames& frames, std::string& error);

}  // namespace torvel
