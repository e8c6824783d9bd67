#include "platform/folders.h"

#include <cstdlib>

namespace torvel {
namespace {

std::string WithSeparator(std::string path) {
  if (!path.empty() && path.back() != '/') {
    path += '/';
  }
  return path;
}

// XDG's rule: the variable when it holds an absolute path, otherwise the default below HOME.
std::string XdgFolder(const char* variable, const char* homeDefault) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') {
    return WithSeparator(value);
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') {
    return {};
  }
  return WithSeparator(home) + homeDefault;
}

}  // namespace

std::string ProgramsRoot() {
  return XdgFolder("XDG_DATA_HOME", ".local/share/");
}

std::string SystemRoot() {
  return XdgFolder("XDG_CONFIG_HOME", ".config/");
}

}  // namespace torvel
