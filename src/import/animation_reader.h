#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "import/decoded_frames.h"

namespace torvel {

// The picture formats told apart by their first bytes.
enum class TPictureFormat { Unknown, Gif, Webp, Png, Bmp, Jpeg };
TPictureFormat PictureFormatOf(const std::vector<uint8_t>& bytes);

// Whether the format may hold several frames, which ReadAnimationFrames reads.
bool HoldsFrames(TPictureFormat format);

// Files larger than this are not read at all.
constexpr size_t kMostPictureFileBytes = size_t{512} << 20;

// Reads the frames of a GIF, WebP or PNG (animated or not) file image, composited as a viewer
// shows them, within the limits. False with "Unsupported format" for another or a damaged file,
// "Capacity reached" for one beyond the limits, "Out of memory" when memory runs out. The frames
// go to frames.TakeFrame when it is set. On failure frames holds none.
bool ReadAnimationFrames(const std::vector<uint8_t>& bytes, const TReadLimits& limits,
                         TDecodedFrames& frames, std::string& error);

}  // namespace torvel
