// Animated GIF through giflib's record interface, which hands over one record at a time, so
// that every size is checked before pixels are decoded. The frames are composited here:
// giflib decodes but does not apply the disposal methods.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "import/frame_canvas.h"
#include "import/readers.h"
#include "platform/error_texts.h"

namespace torvel {
namespace {

struct TMemoryInput {
  const uint8_t* Data;
  size_t Size;
  size_t Position = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int wanted) {
  auto* input = static_cast<TMemoryInput*>(gif->UserData);
  const size_t n =
      std::min(static_cast<size_t>(std::max(wanted, 0)), input->Size - input->Position);
  std::memcpy(buffer, input->Data + input->Position, n);
  input->Position += n;
  return static_cast<int>(n);
}

struct TCloseGif {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};
using TGifFile = std::unique_ptr<GifFileType, TCloseGif>;

class TGifReader {
 public:
  TGifReader(GifFileType* gif, TFrameCanvas& canvas) : gif_(gif), canvas_(canvas) {}

  bool Read(std::string& error);

 private:
  bool ReadExtension();
  bool ReadImage(std::string& error);
  bool DrawImage(const GifImageDesc& desc, int transparentIndex);
  bool SkipImageData();

  GifFileType* gif_;
  TFrameCanvas& canvas_;
  GraphicsControlBlock control_{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
};

bool TGifReader::Read(std::string& error) {
  if (!canvas_.Start(gif_->SWidth, gif_->SHeight, error)) {
    return false;
  }
  error = kUnsupportedFormat;
  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif_, &record) == GIF_ERROR) {
      // Many files end without the trailer: the frames before it are whole.
      return gif_->Error == D_GIF_ERR_READ_FAILED && canvas_.Counted() > 0;
    }
    if (record == TERMINATE_RECORD_TYPE) {
      return canvas_.Counted() > 0;
    }
    const bool ok = record == EXTENSION_RECORD_TYPE    ? ReadExtension()
                    : record == IMAGE_DESC_RECORD_TYPE ? ReadImage(error)
                                                       : false;
    if (!ok) {
      // Cut inside a frame: the half-drawn frame is not handed out.
      return gif_->Error == D_GIF_ERR_READ_FAILED && canvas_.EndCutShort();
    }
    if (canvas_.Counted() >= TReadLimits::kMostFramesCounted) {
      return true;  // an endless list of frames: the rest are not looked at
    }
  }
}

// Only the graphics control extension matters: it holds the next frame's delay, disposal and
// transparent colour. Every other extension is skipped.
bool TGifReader::ReadExtension() {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif_, &code, &block) == GIF_ERROR) {
    return false;
  }
  if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr &&
      DGifExtensionToGCB(block[0], block + 1, &control_) == GIF_ERROR) {
    return false;
  }
  while (block != nullptr) {
    if (DGifGetExtensionNext(gif_, &block) == GIF_ERROR) {
      return false;
    }
  }
  return true;
}

bool TGifReader::ReadImage(std::string& error) {
  if (DGifGetImageDesc(gif_) == GIF_ERROR) {
    return false;
  }
  // giflib keeps a record of every image read; they are not needed, and an endless list of
  // frames would make it grow without bound.
  GifFreeSavedImages(gif_);
  gif_->ImageCount = 0;
  const GifImageDesc desc = gif_->Image;
  const TRect area{desc.Left, desc.Top, desc.Left + desc.Width, desc.Top + desc.Height};
  const GraphicsControlBlock control = control_;
  control_ = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};  // it covers one image
  const int delayMs = ShownDelay(int64_t{control.DelayTime} * 10);
  if (!canvas_.WantsFrame()) {
    canvas_.EmitFrame(delayMs);  // counted only
    return SkipImageData();
  }
  if (!canvas_.Spend(int64_t{desc.Width} * desc.Height)) {
    error = kCapacityReached;
    return false;
  }
  if (control.DisposalMode == DISPOSE_PREVIOUS) {
    canvas_.Remember();
  }
  if (!DrawImage(desc, control.TransparentColor)) {
    return false;
  }
  canvas_.EmitFrame(delayMs);
  if (control.DisposalMode == DISPOSE_BACKGROUND) {
    canvas_.Clear(area);  // to transparent, as browsers do, rather than the background colour
  } else if (control.DisposalMode == DISPOSE_PREVIOUS) {
    canvas_.Restore();
  }
  return true;
}

// The rows of an interlaced image arrive in four passes: every 8th row from 0, every 8th from 4,
// every 4th from 2, every 2nd from 1.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(static_cast<size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) {
      order.push_back(y);
    }
    return order;
  }
  static const int kStart[4] = {0, 4, 2, 1};
  static const int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = kStart[pass]; y < height; y += kStep[pass]) {
      order.push_back(y);
    }
  }
  return order;
}

// Decodes the image row by row onto the canvas; the parts outside the canvas are decoded and
// dropped. Indices past the colour table are drawn black.
bool TGifReader::DrawImage(const GifImageDesc& desc, int transparentIndex) {
  const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif_->SColorMap;
  const int colours = map != nullptr ? map->ColorCount : 0;
  const TRect bounds = canvas_.Bounds();
  std::vector<GifPixelType> line(static_cast<size_t>(desc.Width));
  for (const int row : RowOrder(desc.Height, desc.Interlace)) {
    if (DGifGetLine(gif_, line.data(), desc.Width) == GIF_ERROR) {
      return false;
    }
    const int y = desc.Top + row;
    if (y < bounds.Top || y >= bounds.Bottom) {
      continue;
    }
    const int first = std::max(desc.Left, 0), last = std::min(desc.Left + desc.Width, bounds.Right);
    uint8_t* pixel = first < last ? canvas_.Pixel(first, y) : nullptr;
    for (int x = first; x < last; ++x, pixel += 4) {
      const int index = line[static_cast<size_t>(x - desc.Left)];
      if (index == transparentIndex) {
        continue;
      }
      const GifColorType c = index < colours ? map->Colors[index] : GifColorType{0, 0, 0};
      pixel[0] = c.Red;
      pixel[1] = c.Green;
      pixel[2] = c.Blue;
      pixel[3] = 255;
    }
  }
  return true;
}

// A frame that is only counted: its compressed blocks are read past without decoding them.
bool TGifReader::SkipImageData() {
  int codeSize = 0;
  GifByteType* block = nullptr;
  if (DGifGetCode(gif_, &codeSize, &block) == GIF_ERROR) {
    return false;
  }
  while (block != nullptr) {
    if (DGifGetCodeNext(gif_, &block) == GIF_ERROR) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool ReadGifFrames(const uint8_t* data, size_t size, const TReadLimits& limits,
                   TDecodedFrames& frames, std::string& error) {
  error = kUnsupportedFormat;
  TMemoryInput input{data, size};
  int openError = 0;
  TGifFile gif(DGifOpen(&input, ReadFromMemory, &openError));
  if (!gif) {
    return false;
  }
  TFrameCanvas canvas(limits, frames);
  return TGifReader(gif.get(), canvas).Read(error);
}

}  // namespace torvel
