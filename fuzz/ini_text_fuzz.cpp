// Feeds arbitrary bytes to the settings file reader. Every key it lists must be found, and a
// value set afterwards must read back while every other section's values stay as they were.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "services/ini_file.h"

namespace {

void Check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  torvel::TIniText ini(text);
  std::string value;
  for (const std::string& key : ini.KeyNames("Settings")) {
    Check(ini.FindValue("Settings", key, value));
  }
  std::string before;
  const bool hadVersion = ini.FindValue("Version", "Version", before);
  if (ini.SetValue("Settings", "OnTop", "1")) {
    Check(ini.FindValue("Settings", "ONTOP", value) && value == "1");
    std::string after;
    Check(ini.FindValue("Version", "Version", after) == hadVersion && after == before);
    // What was written reads back the same from its text.
    Check(torvel::TIniText(ini.Text()).FindValue("settings", "ontop", value) && value == "1");
  }
  return 0;
}
