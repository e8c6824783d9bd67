// Animated and still WebP through libwebp's animation decoder, which composites the frames
// (disposal and blending) itself. The container is looked at first, so that a canvas beyond
// the limits is refused before the decoder allocates it.
#include <webp/demux.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "import/frame_canvas.h"
#include "import/readers.h"
#include "platform/error_texts.h"

namespace torvel {
namespace {

struct TDeleteDecoder {
  void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};
struct TDeleteDemuxer {
  void operator()(WebPDemuxer* demuxer) const { WebPDemuxDelete(demuxer); }
};

// The canvas and every frame's duration, from the container alone.
struct TContainer {
  int Width = 0;
  int Height = 0;
  std::vector<int> DelaysMs;
};

bool ReadContainer(const WebPData& data, TContainer& container) {
  const std::unique_ptr<WebPDemuxer, TDeleteDemuxer> demuxer(WebPDemux(&data));
  if (!demuxer) {
    return false;
  }
  container.Width = static_cast<int>(WebPDemuxGetI(demuxer.get(), WEBP_FF_CANVAS_WIDTH));
  container.Height = static_cast<int>(WebPDemuxGetI(demuxer.get(), WEBP_FF_CANVAS_HEIGHT));
  const int frames = static_cast<int>(std::min<uint32_t>(
      WebPDemuxGetI(demuxer.get(), WEBP_FF_FRAME_COUNT), TReadLimits::kMostFramesCounted));
  WebPIterator frame;
  for (int i = 1; i <= frames && WebPDemuxGetFrame(demuxer.get(), i, &frame); ++i) {
    container.DelaysMs.push_back(ShownDelay(frame.duration));
    WebPDemuxReleaseIterator(&frame);
  }
  return !container.DelaysMs.empty();
}

}  // namespace

bool ReadWebpFrames(const uint8_t* data, size_t size, const TReadLimits& limits,
                    TDecodedFrames& frames, std::string& error) {
  error = kUnsupportedFormat;
  const WebPData webp{data, size};
  TContainer container;
  if (!ReadContainer(webp, container)) {
    return false;
  }
  TFrameCanvas canvas(limits, frames);
  if (!canvas.Start(container.Width, container.Height, error, false)) {
    return false;
  }
  error = kUnsupportedFormat;
  WebPAnimDecoderOptions options;
  if (!WebPAnimDecoderOptionsInit(&options)) {
    return false;
  }
  options.color_mode = MODE_RGBA;
  options.use_threads = 0;
  const std::unique_ptr<WebPAnimDecoder, TDeleteDecoder> decoder(
      WebPAnimDecoderNew(&webp, &options));
  if (!decoder) {
    return false;
  }
  for (const int delayMs : container.DelaysMs) {
    uint8_t* pixels = nullptr;
    int end = 0;
    if (canvas.WantsFrame()) {
      if (!canvas.Spend(int64_t{container.Width} * container.Height)) {
        error = kCapacityReached;
        return false;
      }
      if (!WebPAnimDecoderGetNext(decoder.get(), &pixels, &end)) {
        return false;
      }
    }
    canvas.EmitFrame(delayMs, pixels);
  }
  return true;
}

}  // namespace torvel
