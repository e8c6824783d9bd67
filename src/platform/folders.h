#pragma once

#include <string>

namespace torvel {

// The two roots below which the program and its sibling programs keep their shared folders,
// each ending with "/", or empty when it cannot be determined:
// - the programs root, for shared animations, clipboard objects and program copies:
//   $XDG_DATA_HOME, or ~/.local/share/ when that is not set;
// - the system root, for settings, help pages and temporary files:
//   $XDG_CONFIG_HOME, or ~/.config/ when that is not set.
std::string ProgramsRoot();
std::string SystemRoot();

}  // namespace torvel
