// Animated PNG: the chunks are read here (acTL, fcTL, fdAT, their sequence numbers and every
// chunk's checksum), each frame's compressed rows are decoded by libpng as a PNG of their own,
// and the frames are composited with their dispose and blend operations. A PNG without
// animation is one frame.
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "export/png_io.h"
#include "import/frame_canvas.h"
#include "import/readers.h"
#include "platform/error_texts.h"

namespace torvel {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint32_t kMostChunkLength = 0x7FFFFFFF;

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}
uint16_t BigEndian16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] << 8 | p[1]);
}
void PutBigEndian32(std::vector<uint8_t>& out, uint32_t v) {
  const uint8_t bytes[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
  out.insert(out.end(), bytes, bytes + 4);
}

struct TChunk {
  char Type[5] = {};
  const uint8_t* Data = nullptr;
  uint32_t Length = 0;

  bool Is(const char* type) const { return std::memcmp(Type, type, 4) == 0; }
};

// Walks the chunks after the signature, checking that each lies inside the file and that its
// checksum is right.
class TChunkReader {
 public:
  TChunkReader(const uint8_t* data, size_t size) : data_(data), size_(size), position_(8) {}

  bool Next(TChunk& chunk) {
    if (size_ - position_ < 12) {
      cutShort_ = true;
      return false;
    }
    const uint8_t* start = data_ + position_;
    chunk.Length = BigEndian32(start);
    if (chunk.Length > kMostChunkLength) {
      return false;
    }
    if (size_ - position_ - 12 < chunk.Length) {
      cutShort_ = true;
      return false;
    }
    std::memcpy(chunk.Type, start + 4, 4);
    chunk.Data = start + 8;
    const uint32_t stored = BigEndian32(chunk.Data + chunk.Length);
    if (crc32(0, start + 4, chunk.Length + 4) != stored) {
      return false;
    }
    position_ += size_t{chunk.Length} + 12;
    return true;
  }

  // Whether the last chunk asked for ran past the end of the file, rather than being damaged.
  bool CutShort() const { return cutShort_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_;
  bool cutShort_ = false;
};

enum TDispose : uint8_t { kDisposeNone = 0, kDisposeBackground = 1, kDisposePrevious = 2 };
enum TBlend : uint8_t { kBlendSource = 0, kBlendOver = 1 };

struct TFrameControl {
  TRect Area;
  int DelayMs = 0;
  uint8_t Dispose = kDisposeNone;
  uint8_t Blend = kBlendSource;
};

class TApngReader {
 public:
  TApngReader(const uint8_t* data, size_t size, TFrameCanvas& canvas)
      : chunks_(data, size), canvas_(canvas) {}

  bool Read(std::string& error);

 private:
  bool ReadHeader(std::string& error);
  bool TakeChunk(const TChunk& chunk, std::string& error);
  void Collect(const uint8_t* data, uint32_t length);
  bool ReadFrameControl(const TChunk& chunk);
  bool CheckSequence(const TChunk& chunk);
  bool FinishFrame(std::string& error);
  bool DecodeFrame(const TRect& area, std::vector<uint8_t>& rgba);
  void Composite(const TFrameControl& control, const std::vector<uint8_t>& rgba);

  TChunkReader chunks_;
  TFrameCanvas& canvas_;
  std::vector<uint8_t> header_;         // IHDR's fields after the size
  std::vector<uint8_t> sharedChunks_;   // PLTE, tRNS, gAMA and the like, as chunks
  std::optional<TFrameControl> frame_;  // the frame being collected
  std::vector<uint8_t> frameData_;      // its compressed rows
  bool animated_ = false;
  bool seenImageData_ = false;
  bool badFirstFrame_ = false;  // an fcTL before the rows that no animation can have
  uint32_t nextSequence_ = 0;
  bool first_ = true;
};

bool TApngReader::Read(std::string& error) {
  if (!ReadHeader(error)) {
    return false;
  }
  error = kUnsupportedFormat;
  TChunk chunk;
  while (chunks_.Next(chunk)) {
    if (chunk.Is("IEND")) {
      if (!animated_) {
        frame_ = TFrameControl{canvas_.Bounds(), kDefaultFrameDelayMs, kDisposeNone, kBlendSource};
      }
      return FinishFrame(error) && canvas_.Counted() > 0;
    }
    if (!TakeChunk(chunk, error)) {
      return false;
    }
    if (canvas_.Counted() >= TReadLimits::kMostFramesCounted) {
      return true;  // an endless list of frames: the rest are not looked at
    }
  }
  // Cut short: the frames before stand, as in a browser. A damaged chunk refuses the file.
  return animated_ && chunks_.CutShort() && canvas_.EndCutShort();
}

bool TApngReader::TakeChunk(const TChunk& chunk, std::string& error) {
  if (chunk.Is("acTL")) {
    // One given after the picture's rows comes too late; one of no frames is no animation.
    // Browsers show the picture in both cases.
    if (!seenImageData_) {
      animated_ = chunk.Length == 8 && BigEndian32(chunk.Data) > 0;
    }
  } else if (chunk.Is("fcTL") && !seenImageData_) {
    // The picture's own frame, which may come before acTL: it must cover the whole canvas.
    // Whether it counts is known at the picture's rows, once acTL has or has not come.
    badFirstFrame_ = !ReadFrameControl(chunk) || frame_->Area != canvas_.Bounds();
    if (badFirstFrame_) {
      frame_.reset();
    }
  } else if (chunk.Is("fcTL") && animated_) {
    return FinishFrame(error) && ReadFrameControl(chunk);
  } else if (chunk.Is("IDAT")) {
    if (animated_ && badFirstFrame_) {
      return false;
    }
    seenImageData_ = true;
    // Without a frame control before it, an animation's picture is not one of its frames.
    if (!animated_ || frame_) {
      Collect(chunk.Data, chunk.Length);
    }
  } else if (chunk.Is("fdAT") && animated_) {
    if (chunk.Length < 4 || !frame_ || !seenImageData_ || !CheckSequence(chunk)) {
      return false;
    }
    Collect(chunk.Data + 4, chunk.Length - 4);
  } else if (!seenImageData_ && !chunk.Is("IHDR") && !chunk.Is("fcTL")) {
    // Kept for every frame: the palette, its transparency and the colour information.
    PutBigEndian32(sharedChunks_, chunk.Length);
    sharedChunks_.insert(sharedChunks_.end(), chunk.Data - 4, chunk.Data + chunk.Length + 4);
  }
  return true;
}

void TApngReader::Collect(const uint8_t* data, uint32_t length) {
  if (canvas_.WantsFrame()) {
    frameData_.insert(frameData_.end(), data, data + length);
  }
}

bool TApngReader::ReadHeader(std::string& error) {
  error = kUnsupportedFormat;
  TChunk chunk;
  if (!chunks_.Next(chunk) || !chunk.Is("IHDR") || chunk.Length != 13) {
    return false;
  }
  const uint32_t width = BigEndian32(chunk.Data), height = BigEndian32(chunk.Data + 4);
  if (width > kMostChunkLength || height > kMostChunkLength) {
    return false;
  }
  header_.assign(chunk.Data + 8, chunk.Data + 13);
  return canvas_.Start(static_cast<int>(std::min<uint32_t>(width, TReadLimits::kMostSide + 1)),
                       static_cast<int>(std::min<uint32_t>(height, TReadLimits::kMostSide + 1)),
                       error);
}

bool TApngReader::CheckSequence(const TChunk& chunk) {
  return BigEndian32(chunk.Data) == nextSequence_++;
}

bool TApngReader::ReadFrameControl(const TChunk& chunk) {
  if (chunk.Length != 26 || !CheckSequence(chunk)) {
    return false;
  }
  const uint8_t* p = chunk.Data + 4;
  const int64_t width = BigEndian32(p), height = BigEndian32(p + 4);
  const int64_t left = BigEndian32(p + 8), top = BigEndian32(p + 12);
  const TRect bounds = canvas_.Bounds();
  if (width < 1 || height < 1 || left + width > bounds.Right || top + height > bounds.Bottom) {
    return false;  // frames lie inside the canvas
  }
  const int numerator = BigEndian16(p + 16), denominator = BigEndian16(p + 18);
  TFrameControl control;
  control.Area = {int(left), int(top), int(left + width), int(top + height)};
  control.DelayMs = ShownDelay(int64_t{numerator} * 1000 / (denominator == 0 ? 100 : denominator));
  control.Dispose = p[20];
  control.Blend = p[21];
  if (control.Dispose > kDisposePrevious || control.Blend > kBlendOver) {
    return false;
  }
  frame_ = control;
  return true;
}

// Decodes, composites and hands out the frame collected so far, if any.
bool TApngReader::FinishFrame(std::string& error) {
  if (!frame_) {
    return true;
  }
  const TFrameControl control = *frame_;
  frame_.reset();
  if (!canvas_.WantsFrame()) {
    canvas_.EmitFrame(control.DelayMs);  // counted only
    return true;
  }
  if (!canvas_.Spend(int64_t{control.Area.Width()} * control.Area.Height())) {
    error = kCapacityReached;
    return false;
  }
  std::vector<uint8_t> rgba;
  if (!DecodeFrame(control.Area, rgba)) {
    return false;
  }
  frameData_.clear();
  // The first frame's "previous" is the empty canvas.
  const uint8_t dispose =
      first_ && control.Dispose == kDisposePrevious ? uint8_t{kDisposeBackground} : control.Dispose;
  first_ = false;
  if (dispose == kDisposePrevious) {
    canvas_.Remember();
  }
  Composite(control, rgba);
  canvas_.EmitFrame(control.DelayMs);
  if (dispose == kDisposeBackground) {
    canvas_.Clear(control.Area);
  } else if (dispose == kDisposePrevious) {
    canvas_.Restore();
  }
  return true;
}

// The frame's rows as a PNG of their own: the picture's header with the frame's size, the
// shared chunks and the rows. libpng inflates no more than the frame's size asks for.
bool TApngReader::DecodeFrame(const TRect& area, std::vector<uint8_t>& rgba) {
  std::vector<uint8_t> png(kSignature, kSignature + 8);
  auto putChunk = [&png](const char* type, const uint8_t* data, size_t length) {
    PutBigEndian32(png, static_cast<uint32_t>(length));
    const size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data, data + length);
    PutBigEndian32(png, static_cast<uint32_t>(crc32(0, png.data() + start, uInt(length + 4))));
  };
  std::vector<uint8_t> header;
  PutBigEndian32(header, static_cast<uint32_t>(area.Width()));
  PutBigEndian32(header, static_cast<uint32_t>(area.Height()));
  header.insert(header.end(), header_.begin(), header_.end());
  putChunk("IHDR", header.data(), header.size());
  png.insert(png.end(), sharedChunks_.begin(), sharedChunks_.end());
  putChunk("IDAT", frameData_.data(), frameData_.size());
  putChunk("IEND", nullptr, 0);

  TPngPicture frame;
  std::string ignored;
  if (!DecodePngRgba(png.data(), png.size(), frame, ignored,
                     int64_t{area.Width()} * area.Height())) {
    return false;
  }
  rgba = std::move(frame.Rgba);
  return true;
}

void TApngReader::Composite(const TFrameControl& control, const std::vector<uint8_t>& rgba) {
  const TRect& area = control.Area;
  const uint8_t* source = rgba.data();
  for (int y = area.Top; y < area.Bottom; ++y) {
    uint8_t* target = canvas_.Pixel(area.Left, y);
    if (control.Blend == kBlendSource) {
      std::memcpy(target, source, size_t(area.Width()) * 4);
      source += size_t(area.Width()) * 4;
      continue;
    }
    for (int x = area.Left; x < area.Right; ++x, source += 4, target += 4) {
      BlendOver(source, target);
    }
  }
}

}  // namespace

bool ReadApngFrames(const uint8_t* data, size_t size, const TReadLimits& limits,
                    TDecodedFrames& frames, std::string& error) {
  error = kUnsupportedFormat;
  if (size < 8 || std::memcmp(data, kSignature, 8) != 0) {
    return false;
  }
  TFrameCanvas canvas(limits, frames);
  return TApngReader(data, size, canvas).Read(error);
}

}  // namespace torvel
