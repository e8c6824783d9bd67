#include <iostream>

#include "cli/cli.h"
#include "services/services.h"

int main(int argc, char* argv[]) {
  torvel::StartServices();
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const int status = torvel::RunCli(arguments, std::cout, std::cerr);
  torvel::RunProgramEndCleanup();
  return status;
}
