#pragma once

#include <optional>
#include <string>
#include <vector>

class QMimeData;

namespace torvel {

// What a drop of files onto the main window brings: the first animation among them, which is
// opened as a file named on the command line is, or else the picture files, each pasted as a
// cell. Anything else dropped (other files, folders, remote addresses, text) is left out.
struct TDroppedFiles {
  std::optional<std::string> Animation;
  std::vector<std::string> Pictures;

  bool IsEmpty() const { return !Animation && Pictures.empty(); }
};

// Sorts the dropped local files; pictures only count while they can be pasted.
TDroppedFiles SortDroppedFiles(const QMimeData* mime, bool picturesWanted);

}  // namespace torvel
