#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace torvel {

// A piece of the data built into the program: the carrier pictures of its splash picture, help
// pages and support files ("cri.bmp", "sup_help.bmp", "sup_files.bmp") and its icons
// ("torvel-48.png", "frame0.png" ... "frame5.png").
struct TProgramData {
  const uint8_t* Bytes = nullptr;
  size_t Size = 0;
  bool IsEmpty() const { return Size == 0; }
};

// The piece of that name; empty when the program holds none. The build generates the
// definition (see data/CMakeLists.txt).
TProgramData ProgramData(const std::string& name);

}  // namespace torvel
