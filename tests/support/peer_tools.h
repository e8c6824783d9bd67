#pragma once
// The other programs the tests make and read animation files with: ffmpeg and ImageMagick.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace torvel::test {

// Runs a shell command quietly; true when it succeeded.
inline bool RunQuietly(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// ffmpeg's decoding of a file (or a "-f lavfi" source), one raw RGBA frame of width x height
// each, every frame as stored.
inline std::vector<std::vector<uint8_t>> FfmpegRgbaFrames(const std::string& input, int width,
                                                          int height) {
  std::vector<std::vector<uint8_t>> frames;
  const std::string command =
      "ffmpeg -v error " + input + " -fps_mode passthrough -f rawvideo -pix_fmt rgba - 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return frames;
  }
  for (;;) {
    std::vector<uint8_t> frame(size_t(width) * height * 4);
    if (std::fread(frame.data(), 1, frame.size(), pipe) != frame.size()) {
      break;
    }
    frames.push_back(std::move(frame));
  }
  pclose(pipe);
  return frames;
}

}  // namespace torvel::test
