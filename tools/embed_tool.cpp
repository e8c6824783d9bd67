// Writes a C++ source file that builds files into the program, for ProgramData().
//
// Usage: embed_tool OUT.cpp FILE...
//
// Each file is found under its own name, without its folder.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "Usage: embed_tool OUT.cpp FILE...\n");
    return 2;
  }
  std::string out =
      "// Made by embed_tool at build time.\n#include \"services/program_data.h\"\n\n"
      "namespace torvel {\nnamespace {\n\n";
  std::string table;
  for (int i = 2; i < argc; ++i) {
    std::vector<uint8_t> bytes;
    if (!torvel::ReadWholeFile(argv[i], size_t{64} << 20, bytes) || bytes.empty()) {
      std::fprintf(stderr, "embed_tool: cannot read %s\n", argv[i]);
      return 1;
    }
    const std::string symbol = "kData" + std::to_string(i);
    out += "const uint8_t " + symbol + "[] = {";
    for (size_t k = 0; k < bytes.size(); ++k) {
      out += (k % 24 == 0 ? "\n" : "") + std::to_string(bytes[k]) + ",";
    }
    out += "\n};\n\n";
    table +=
        "    {\"" + torvel::FilePart(argv[i]) + "\", " + symbol + ", sizeof " + symbol + "},\n";
  }
  out += "struct TEntry {\n  const char* Name;\n  const uint8_t* Bytes;\n  size_t Size;\n};\n\n";
  out += "const TEntry kEntries[] = {\n" + table + "};\n\n}  // namespace\n\n";
  out +=
      "TProgramData ProgramData(const std::string& name) {\n"
      "  for (const TEntry& entry : kEntries) {\n"
      "    if (name == entry.Name) {\n"
      "      return {entry.Bytes, entry.Size};\n"
      "    }\n"
      "  }\n"
      "  return {};\n"
      "}\n\n}  // namespace torvel\n";
  if (!torvel::WriteFileSafely(argv[1], reinterpret_cast<const uint8_t*>(out.data()), out.size())) {
    std::fprintf(stderr, "embed_tool: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
