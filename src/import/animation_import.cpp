#include "import/animation_import.h"

#include <algorithm>
#include <fstream>

#include "cells/animation_io.h"
#include "cells/cell_table.h"
#include "platform/error_texts.h"
#include "platform/files.h"

namespace torvel {
namespace {

int StoreRoom(std::optional<int> room, int w, int h) {
  return room ? *room : EmptyStoreRoom(w, h);
}

}  // namespace

TReadLimits StoreReadLimits(std::optional<int> room) {
  TReadLimits limits;
  limits.MostCanvasPixels = kMostDecodedPixels;
  // Twice the pixels the store can hold: frame areas off the canvas count too.
  limits.MostDecodedPixels = TCellTable::kMostCellBytes / 3 * 2;
  limits.FramesWanted = [room](int w, int h) { return std::max(1, StoreRoom(room, w, h)); };
  return limits;
}

TPictureFormat PictureFileFormat(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<uint8_t> start(16);
  file.read(reinterpret_cast<char*>(start.data()), static_cast<std::streamsize>(start.size()));
  start.resize(static_cast<size_t>(std::max<std::streamsize>(file.gcount(), 0)));
  return PictureFormatOf(start);
}

bool ReadPictureBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
  error = FileExists(path) ? kFileInUse : kFileNotFound;
  return ReadWholeFile(path, kMostPictureFileBytes, bytes);
}

bool ReadFramesForStore(const std::string& path, std::optional<int> room, TFileFrames& file,
                        std::string& error) {
  std::vector<uint8_t> bytes;
  return ReadPictureBytes(path, bytes, error) &&
         ReadFileFrames(bytes, StoreReadLimits(room), file, error);
}

bool ReadFileFrames(const std::vector<uint8_t>& bytes, const TReadLimits& limits, TFileFrames& file,
                    std::string& error) {
  file = TFileFrames();
  file.Format = PictureFormatOf(bytes);
  file.Frames.TakeFrame = [&file](const uint8_t* rgba) {
    file.Cells.Add(rgba, file.Frames.Width, file.Frames.Height);
  };
  const bool read = ReadAnimationFrames(bytes, limits, file.Frames, error);
  file.Frames.TakeFrame = nullptr;
  if (!read) {
    file = TFileFrames();  // no cells of a file refused
  }
  return read;
}

bool CellsOfFile(TFileFrames& file, int cellsPerFrame, TImportedCells& cells, std::string& error) {
  return file.Cells.Finish(cellsPerFrame, file.Frames.FramesInFile, cells, error);
}

bool AnimationCells(TFileFrames& file, TImportedAnimation& animation, std::string& error) {
  if (!CellsOfFile(file, 1, animation.Cells, error)) {
    return false;
  }
  animation.Speed = SpeedOfDelays(file.Frames.DelaysMs);
  return true;
}

}  // namespace torvel
