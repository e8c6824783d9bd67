#pragma once

#include <memory>

#include "export/animation_encoder.h"

namespace torvel {

// The encoders behind MakeEncoder, one file each.
std::unique_ptr<TAnimationEncoder> MakeGifEncoder();
std::unique_ptr<TAnimationEncoder> MakeWebPEncoder();
std::unique_ptr<TAnimationEncoder> MakeApngEncoder();
std::unique_ptr<TAnimationEncoder> MakeStripEncoder(bool bmp);

// Whether the progress lets the export go on after step done of total; sets the error when not.
bool KeepGoing(const TExportProgress& progress, int done, int total, std::string& error);

}  // namespace torvel
