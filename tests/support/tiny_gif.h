#pragma once

#include <cstdint>
#include <iterator>
#include <vector>

namespace torvel::test {

// A GIF of 1 x 1 pixel frames, each with a delay of 0 and the screen size given.
inline std::vector<uint8_t> TinyGif(int frames, int screenWidth = 1, int screenHeight = 1) {
  std::vector<uint8_t> gif = {'G',
                              'I',
                              'F',
                              '8',
                              '9',
                              'a',
                              uint8_t(screenWidth),
                              uint8_t(screenWidth >> 8),
                              uint8_t(screenHeight),
                              uint8_t(screenHeight >> 8),
                              0x80,
                              0,
                              0,
                              0,
                              0,
                              0,
                              255,
                              255,
                              255};
  const uint8_t frame[] = {0x21, 0xF9, 4,    0, 0, 0, 0, 0,        // no delay
                           0x2C, 0,    0,    0, 0, 1, 0, 1, 0, 0,  // 1 x 1 at 0, 0
                           2,    2,    0x44, 1, 0};                // one pixel of colour 0
  for (int k = 0; k < frames; ++k) {
    gif.insert(gif.end(), std::begin(frame), std::end(frame));
  }
  gif.push_back(0x3B);
  return gif;
}

}  // namespace torvel::test
