// Prints the stored form of each text given (see services/scramble.h) as a C++ string literal,
// for the texts the program keeps in that form.
//
// Usage: stored_text_tool TEXT...
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "services/scramble.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "Usage: stored_text_tool TEXT...\n");
    return 2;
  }
  std::srand(std::random_device{}());
  for (int i = 1; i < argc; ++i) {
    std::printf("// %s\n\"", argv[i]);
    for (unsigned char c : torvel::StoredText(argv[i], 1)) {
      std::printf("\\%03o", c);  // octal escapes cannot run into the next character
    }
    std::printf("\"\n");
  }
  return 0;
}
