#pragma once

#include <cstdlib>
#include <string>

// Points HOME and the XDG folders at a fresh temporary folder, so that a benchmark never touches
// the user's own files. Returns the folder, ending with "/".
inline std::string UsePrivateHome() {
  char pattern[] = "/tmp/torvel-bench-XXXXXX";
  const std::string home = mkdtemp(pattern) != nullptr ? pattern : "/tmp";
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
  return home + "/";
}

// Removes what UsePrivateHome made.
inline bool RemovePrivateHome(const std::string& home) {
  const std::string remove = "rm -rf '" + home + "'";
  return std::system(remove.c_str()) == 0;
}
