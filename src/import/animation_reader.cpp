#include "import/animation_reader.h"

#include <cstring>
#include <functional>
#include <new>

#include "import/readers.h"
#include "platform/error_texts.h"

namespace torvel {

TPictureFormat PictureFormatOf(const std::vector<uint8_t>& bytes) {
  auto startsWith = [&bytes](const char* magic, size_t at = 0) {
    const size_t n = std::strlen(magic);
    return bytes.size() >= at + n && std::memcmp(bytes.data() + at, magic, n) == 0;
  };
  if (startsWith("GIF87a") || startsWith("GIF89a")) {
    return TPictureFormat::Gif;
  }
  if (startsWith("RIFF") && startsWith("WEBP", 8)) {
    return TPictureFormat::Webp;
  }
  if (startsWith("\x89PNG\r\n\x1A\n")) {
    return TPictureFormat::Png;
  }
  if (startsWith("BM")) {
    return TPictureFormat::Bmp;
  }
  if (startsWith("\xFF\xD8\xFF")) {
    return TPictureFormat::Jpeg;
  }
  return TPictureFormat::Unknown;
}

bool HoldsFrames(TPictureFormat format) {
  return format == TPictureFormat::Gif || format == TPictureFormat::Webp ||
         format == TPictureFormat::Png;
}

namespace {

bool ReadFramesOfFormat(const std::vector<uint8_t>& bytes, const TReadLimits& limits,
                        TDecodedFrames& frames, std::string& error) {
  error = kUnsupportedFormat;
  try {
    switch (PictureFormatOf(bytes)) {
      case TPictureFormat::Gif:
        return ReadGifFrames(bytes.data(), bytes.size(), limits, frames, error);
      case TPictureFormat::Webp:
        return ReadWebpFrames(bytes.data(), bytes.size(), limits, frames, error);
      case TPictureFormat::Png:
        return ReadApngFrames(bytes.data(), bytes.size(), limits, frames, error);
      default:
        return false;
    }
  } catch (const std::bad_alloc&) {
    error = kOutOfMemory;
    return false;
  }
}

// Empties the frames of what a reader found, keeping whom they go to.
void StartAfresh(TDecodedFrames& frames) {
  std::function<void(const uint8_t*)> take = std::move(frames.TakeFrame);
  frames = TDecodedFrames();
  frames.TakeFrame = std::move(take);
}

}  // namespace

bool ReadAnimationFrames(const std::vector<uint8_t>& bytes, const TReadLimits& limits,
                         TDecodedFrames& frames, std::string& error) {
  StartAfresh(frames);
  if (!ReadFramesOfFormat(bytes, limits, frames, error)) {
    StartAfresh(frames);
    return false;
  }
  return true;
}

}  // namespace torvel
