#include "export/animation_encoder.h"

#include <new>

#include "cells/animation_io.h"
#include "export/encoders.h"
#include "platform/error_texts.h"
#include "services/general.h"
#include "services/paths.h"

namespace torvel {

bool TAnimationEncoder::Encode(const TExportFrames& frames, const TExportOptions& options,
                               const TExportProgress& progress, std::vector<uint8_t>& file,
                               std::string& error) {
  error = kOutOfMemory;
  return frames.Count() > 0 && ScaledSizeAllowed(frames, options.Scale) &&
         EncodeFrames(frames, options, progress, file, error);
}

std::unique_ptr<TAnimationEncoder> MakeEncoder(TExportFormat format) {
  switch (format) {
    case TExportFormat::Gif:
      return MakeGifEncoder();
    case TExportFormat::WebP:
      return MakeWebPEncoder();
    case TExportFormat::Apng:
      return MakeApngEncoder();
    case TExportFormat::PngStrip:
      return MakeStripEncoder(false);
    case TExportFormat::BmpStrip:
      return MakeStripEncoder(true);
  }
  return nullptr;
}

bool FormatOfFileName(const std::string& fileName, bool preferStrip, TExportFormat& format) {
  const std::string extension = UpperCase(TPaths::ExtensionOf(fileName));
  if (extension == "GIF") {
    format = TExportFormat::Gif;
  } else if (extension == "WEBP") {
    format = TExportFormat::WebP;
  } else if (extension == "APNG") {
    format = TExportFormat::Apng;
  } else if (extension == "PNG") {
    format = preferStrip ? TExportFormat::PngStrip : TExportFormat::Apng;
  } else if (extension == "BMP") {
    format = TExportFormat::BmpStrip;
  } else {
    return false;
  }
  return true;
}

bool KeepGoing(const TExportProgress& progress, int done, int total, std::string& error) {
  if (progress && !progress(done, total)) {
    error = kTaskCancelled;
    return false;
  }
  return true;
}

bool ExportAnimationFile(const TExportFrames& frames, const TExportOptions& options,
                         TExportFormat format, const std::string& fileName,
                         const TExportProgress& progress, std::string& error) {
  error = kOutOfMemory;
  try {
    std::vector<uint8_t> file;
    std::unique_ptr<TAnimationEncoder> encoder = MakeEncoder(format);
    if (!encoder || !encoder->Encode(frames, options, progress, file, error)) {
      return false;
    }
    return WriteFileReporting(fileName, file, error);
  } catch (const std::bad_alloc&) {
    error = kOutOfMemory;
    return false;
  }
}

}  // namespace torvel
