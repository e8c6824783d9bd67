#include "support/test_folders.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace torvel::test {
namespace {
std::string root;
}  // namespace

void SetUpTestFolders() {
  char pattern[] = "/tmp/torvel-test-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) {
    throw std::runtime_error("cannot create a temporary test folder");
  }
  root = std::string(pattern) + "/";
  const std::string home = FreshFolder("home");
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("XDG_DATA_HOME", (home + ".local/share").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home + ".config").c_str(), 1);
}

void RemoveTestFolders() {
  std::error_code ignored;
  if (!root.empty()) {
    std::filesystem::permissions(root, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root, ignored);
  }
}

const std::string& TestRoot() {
  return root;
}

std::string FreshFolder(const std::string& name) {
  const std::string path = root + name + "/";
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
  std::filesystem::create_directories(path);
  return path;
}

}  // namespace torvel::test
