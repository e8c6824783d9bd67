#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"

namespace torvel::test {

inline void WriteText(const std::string& path, const std::string& text) {
  ASSERT_TRUE(WriteFileSafely(path, reinterpret_cast<const uint8_t*>(text.data()), text.size()))
      << path;
}

// The file's content, or "<unreadable>".
inline std::string ReadText(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, size_t{16} << 20, bytes)) {
    return "<unreadable>";
  }
  return {bytes.begin(), bytes.end()};
}

}  // namespace torvel::test
