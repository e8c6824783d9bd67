#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cells/cell_preview.h"
#include "cells/cell_table.h"

namespace torvel {

// The cell store: the animation being edited, its thumbnails and the playback state of the
// preview. Every failing operation leaves its reason in LastError; no exception leaves the store.
class TAnimationStrip {
 public:
  TAnimationStrip();
  ~TAnimationStrip();
  TAnimationStrip(const TAnimationStrip&) = delete;
  TAnimationStrip& operator=(const TAnimationStrip&) = delete;

  int GetCurrent() const { return Table.Current; }
  bool HasCells() const { return Table.Count >= 1; }
  // Jumps to a position (clamped), so that the next playback tick shows it for a full interval.
  void SetCurrent(int p);
  bool IsStill() const { return Table.Interval < 1 || Table.Count < 2 || Paused; }
  // Attaches the preview; the store owns it from then on.
  void SetPreview(std::unique_ptr<TCellPreview> preview);
  bool HasPreview() const { return Preview != nullptr; }

  bool GetFlip() const { return Table.Flip; }
  void SetFlip(bool flip);
  bool GetMirror() const { return Table.Mirror; }
  void SetMirror(bool mirror);
  bool GetTransparent() const { return Table.Transparent; }
  void SetTransparent(bool transparent);
  bool IsEmpty() const { return Table.Empty; }
  int GetInterval() const { return Table.Interval; }
  // 0 (still) below 50 ms, at most 2000 ms.
  void SetInterval(int ms);

  void Clear();
  bool DeleteCell(int p);
  bool MoveCell(int to, int from);
  // Cuts the picture into n cells side by side and inserts them from position on (-1 or past
  // the end appends). The first cell added to an empty table fixes the cell size; later pieces
  // are stretched to it. Returns how many were added.
  int AddCells(Bitmap* picture, int n, int position);
  // Inserts whole cells from position on, as AddCells does with pieces: a picture of the table's
  // cell size is shared as it is, one of another size is stretched to it. Returns how many were
  // added.
  int AddPictures(const std::vector<TCellPicture>& pictures, int position);
  void MakeThumbnail(int slot);
  // Whether an empty table would hold cells of w x h at all.
  static bool HoldsCellsOf(int w, int h);

  // Whether the preview must be redrawn or advanced now; a handful of comparisons.
  bool IsFrameDue() const;
  // Draws the current cell into the preview; with advance, measures the frame rate and moves
  // on to the next cell when playing.
  void ShowFrame(bool advance);
  // Whether the preview holds the picture now at the current position: an edit that puts
  // another cell there (a deletion or an insertion before it) leaves the position as it was.
  bool ShowsCurrentCell() const;
  void ShowLastError();

  // A store that is never shown (the command-line companion's) spares itself the thumbnails.
  bool MakesThumbnails = true;
  int32_t ShownPosition = 0;
  bool Paused = false;
  TCellTable Table;
  const int ThumbSize = TCellTable::kThumbSize;
  std::string LastError;
  std::unique_ptr<TCellPreview> Preview;

 private:
  // Fixes the cell size on the first cell of an empty table; false when it cannot be held.
  bool TakeCellSize(int w, int h);
  bool AddOneCell(const std::function<TCellPicture()>& makeCell, int& position);
  TCellPicture FitToCellSize(const Bitmap& picture, const TRect& piece) const;
  int FinishAdding(bool wasEmpty, int added);
  void RedrawAfterSetting();

  const Bitmap* shownCell_ = nullptr;  // identity only, never read through
};

}  // namespace torvel
