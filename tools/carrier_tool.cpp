// Packs files into an archive carried in the pixel rows of a 24-bit BMP picture, the way the
// program keeps its splash picture, help pages and support files.
//
// Usage: carrier_tool OUT.bmp WIDTH HEIGHT FILE...
//
// Every file becomes one entry named after it (its folder is not kept), its bytes compressed
// with zlib. The archive starts at byte 154 of the BMP image; the picture is WIDTH pixels wide
// and HEIGHT rows high, or as many more rows as the archive needs (the tool then says so).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/bmp.h"
#include "platform/files.h"
#include "services/carrier.h"
#include "services/zlib_codec.h"

namespace {

using torvel::Bitmap;

int Fail(const std::string& text) {
  std::fprintf(stderr, "carrier_tool: %s\n", text.c_str());
  return 1;
}

bool ReadEntry(const std::string& path, torvel::TBoxItem& entry) {
  std::vector<uint8_t> bytes;
  if (!torvel::ReadWholeFile(path, size_t{32} << 20, bytes)) {
    return false;
  }
  entry.pName = torvel::FilePart(path);
  entry.pSize = static_cast<int32_t>(bytes.size());
  entry.pM = 1;
  if (!torvel::ZlibCompress(bytes, 9, entry.pD)) {
    return false;
  }
  entry.pSizeB = static_cast<int32_t>(entry.pD.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "Usage: carrier_tool OUT.bmp WIDTH HEIGHT FILE...\n");
    return 2;
  }
  const std::string out = argv[1];
  const int width = std::atoi(argv[2]);
  const int height = std::atoi(argv[3]);
  if (width < 1 || height < 1 || width > 10000 || height > 10000) {
    return Fail("the width and height must lie between 1 and 10000");
  }
  std::vector<torvel::TBoxItem> entries(static_cast<size_t>(argc - 4));
  std::vector<const torvel::TBoxItem*> order;
  for (int i = 4; i < argc; ++i) {
    if (!ReadEntry(argv[i], entries[i - 4])) {
      return Fail(std::string("cannot pack ") + argv[i]);
    }
    order.push_back(&entries[i - 4]);
  }
  int rows = height;
  const Bitmap carrier = torvel::PackCarrier(order, width, height, &rows);
  if (carrier.IsEmpty()) {
    return Fail("the archive does not fit a picture");
  }
  if (rows > height) {
    std::fprintf(stderr, "carrier_tool: %s grows from %d to %d rows to hold its archive\n",
                 torvel::FilePart(out).c_str(), height, rows);
  }
  const std::vector<uint8_t> image = torvel::EncodeBmp(carrier);
  if (!torvel::WriteFileSafely(out, image.data(), image.size())) {
    return Fail("cannot write " + out);
  }
  return 0;
}
