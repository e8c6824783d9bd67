#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace torvel {

// torvel-cli: "info", "pack" and "unpack" of ".san" files for scripts and batch work. Takes the
// arguments after the program name; returns the exit status (0 done, 1 failed, 2 wrong usage).
int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace torvel
