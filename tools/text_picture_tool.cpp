// Turns a BMP or PNG picture into the text picture form, for the program's built-in pictures.
//
// Usage: text_picture_tool PICTURE OUT.tpic [--type 1..6] [--layout 0..2]
// The defaults are type 6 (up to 64 colours) and layout 2 (a line break every 68 digits).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "export/png_io.h"
#include "formats/text_picture.h"
#include "platform/bmp.h"
#include "platform/files.h"
#include "services/general.h"

namespace {

int Fail(const std::string& what) {
  std::fprintf(stderr, "text_picture_tool: %s\n", what.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "Usage: text_picture_tool PICTURE OUT.tpic [--type N] [--layout N]\n");
    return 2;
  }
  int type = 6, layout = 2;
  for (int i = 3; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    (option == "--type" ? type : layout) = std::atoi(argv[i + 1]);
  }
  std::vector<uint8_t> bytes;
  if (!torvel::ReadWholeFile(argv[1], size_t{64} << 20, bytes)) {
    return Fail(std::string("cannot read ") + argv[1]);
  }
  torvel::Bitmap picture;
  std::string error;
  const bool decoded = torvel::LooksLikePng(bytes) ? torvel::DecodePng(bytes, picture, error)
                                                   : torvel::DecodeBmp(bytes, picture, error);
  if (!decoded) {
    return Fail(std::string(argv[1]) + ": " + error);
  }
  torvel::TTextPicture text;
  text.Assign(picture);
  text.SetColorType(type);
  text.SetLineLayout(layout);
  torvel::TMemoryStream out;
  try {
    text.SaveToStream(out);
  } catch (const torvel::EGeneralError& e) {
    return Fail(e.what());
  }
  std::vector<uint8_t> written = out.TakeBytes();
  written.push_back('\n');
  if (!torvel::WriteFileSafely(argv[2], written.data(), written.size())) {
    return Fail(std::string("cannot write ") + argv[2]);
  }
  return 0;
}
