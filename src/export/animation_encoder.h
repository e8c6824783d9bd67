#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "export/export_frames.h"

namespace torvel {

enum class TExportFormat { Gif, WebP, Apng, PngStrip, BmpStrip };

// Told after each step of an export how many of how many steps are done; returns false to
// cancel the export.
using TExportProgress = std::function<bool(int done, int total)>;

// Writes frames into one file format in memory.
class TAnimationEncoder {
 public:
  virtual ~TAnimationEncoder() = default;
  // False with the reason on failure, or with "Task cancelled" when the progress asked to stop.
  // Frames beyond the formats' sizes once scaled are refused ("Out of memory").
  bool Encode(const TExportFrames& frames, const TExportOptions& options,
              const TExportProgress& progress, std::vector<uint8_t>& file, std::string& error);

 protected:
  // Encodes at least one frame of an allowed scaled size; error reads "Out of memory" on entry.
  virtual bool EncodeFrames(const TExportFrames& frames, const TExportOptions& options,
                            const TExportProgress& progress, std::vector<uint8_t>& file,
                            std::string& error) = 0;
};

std::unique_ptr<TAnimationEncoder> MakeEncoder(TExportFormat format);

// The format a file name's extension asks for: .gif, .webp, .apng, .bmp, and .png, which is an
// animated PNG unless preferStrip. False for any other extension.
bool FormatOfFileName(const std::string& fileName, bool preferStrip, TExportFormat& format);

// Encodes the frames and writes the file safely: a failed or cancelled export leaves any file of
// that name as it was and no other file behind.
bool ExportAnimationFile(const TExportFrames& frames, const TExportOptions& options,
                         TExportFormat format, const std::string& fileName,
                         const TExportProgress& progress, std::string& error);

}  // namespace torvel
