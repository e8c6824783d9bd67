#include "platform/folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace torvel {
namespace {

std::string WithSeparator(std::string path) {
  if (!path.empty() && path.back() != '/') {
    path += '/';
  }
  return path;
}

// HOME, or where it is not set (a service, a stripped environment) the home folder the password
// database gives the user; empty when neither is an absolute path.
std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') {
    return WithSeparator(home);
  }
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
    return WithSeparator(found->pw_dir);
  }
  return {};
}

// XDG's rule: the variable when it holds an absolute path, otherwise the default below home.
std::string XdgFolder(const char* variable, const char* homeDefault) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') {
    return WithSeparator(value);
  }
  const std::string home = HomeFolder();
  return home.empty() ? home : home + homeDefault;
}

}  // namespace

std::string ProgramsRoot() {
  return XdgFolder("XDG_DATA_HOME", ".local/share/");
}

std::string SystemRoot() {
  return XdgFolder("XDG_CONFIG_HOME", ".config/");
}

}  // namespace torvel
