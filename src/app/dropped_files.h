#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/bitmap.h"

class QMimeData;

namespace torvel {

// What a drop onto the main window brings: the first animation among the files, which is opened
// as a file named on the command line is, or else the picture files, each pasted as a cell, or,
// when no file came, a picture itself (dragged out of a web page or a painting program), pasted
// as one cell. Anything else dropped (other files, folders, remote addresses, text) is left out.
struct TDroppedFiles {
  std::optional<std::string> Animation;
  std::vector<std::string> Pictures;
  bool HasPicture = false;
  // The dragged picture, read from the drop only when it lands: reading it may mean a transfer
  // from the other program.
  std::shared_ptr<Bitmap> Picture;

  bool IsEmpty() const { return !Animation && Pictures.empty() && !HasPicture; }
};

// Sorts what was dropped; pictures only count while they can be pasted.
TDroppedFiles SortDroppedFiles(const QMimeData* mime, bool picturesWanted);

}  // namespace torvel
