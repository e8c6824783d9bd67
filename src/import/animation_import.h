#pragma once

#include <optional>
#include <string>
#include <vector>

#include "import/animation_reader.h"
#include "import/imported_cells.h"

namespace torvel {

// The limits of a store with room for the given number of cells (none given: an empty store,
// which takes as many as cells of the file's size fit): at least one frame, so that a large
// picture can still be cut into cells, on a canvas no larger than the program's largest picture.
TReadLimits StoreReadLimits(std::optional<int> room);

// An animation or picture file read for the store, each frame made a cell as it is read.
struct TFileFrames {
  TPictureFormat Format = TPictureFormat::Unknown;
  TDecodedFrames Frames;  // the size, delays and counts; the pixels are in Cells
  TCellMaker Cells;

  bool IsAnimation() const { return Frames.FramesInFile > 1; }
  // Frames the file has beyond those read: more than the store has room for.
  bool HasMoreFrames() const { return Frames.FramesInFile > Frames.Count(); }
};

// Reads a GIF, WebP or PNG file for a store with room for that many cells (see
// StoreReadLimits): the frames that fit are read and the others counted (HasMoreFrames). The
// errors of reading the file and of ReadAnimationFrames.
bool ReadFramesForStore(const std::string& path, std::optional<int> room, TFileFrames& file,
                        std::string& error);
// The same for a file image already read.
bool ReadFileFrames(const std::vector<uint8_t>& bytes, const TReadLimits& limits, TFileFrames& file,
                    std::string& error);

// Reads a picture file of at most kMostPictureFileBytes: "File not found" or "File in use".
bool ReadPictureBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

// Whether the file's first bytes are those of a picture format the program reads, without
// reading more.
TPictureFormat PictureFileFormat(const std::string& path);

// The cells of a file read, as TCellMaker::Finish makes them: one a frame, or a still
// picture cut into cellsPerFrame.
bool CellsOfFile(TFileFrames& file, int cellsPerFrame, TImportedCells& cells, std::string& error);

// Makes the frames of an animation into one cell each, with the interval they play at.
struct TImportedAnimation {
  TImportedCells Cells;
  TPlayingSpeed Speed;
};
bool AnimationCells(TFileFrames& file, TImportedAnimation& animation, std::string& error);

}  // namespace torvel
