// The animations and pictures of other programs: GIF, WebP and PNG animations and still
// pictures opened as a document (a still one cut into the cells the user asks for), and
// animations dropped onto the window added as cells.
#include <QImage>
#include <QImageReader>

#include <algorithm>

#include "cells/animation_io.h"
#include "editor/animation_edit.h"
#include "import/animation_import.h"
#include "platform/error_texts.h"
#include "platform/files.h"
#include "platform/qt/bitmap_image.h"
#include "services/paths.h"
#include "services/services.h"
#include "services/translate.h"

namespace torvel {
namespace {

// A still picture of a format only Qt reads (BMP, JPEG and the like), as the one frame of an
// animation, its transparency kept.
bool ReadStillWithQt(const std::string& fileName, TFileFrames& file, std::string& error) {
  QImageReader reader(QString::fromStdString(fileName));
  reader.setAutoTransform(true);
  const QSize size = reader.size();
  error = kUnknownFormat;
  if (!reader.canRead() || !size.isValid()) {
    return false;
  }
  error = kCapacityReached;  // refused before decoding
  if (!Bitmap::IsDecodableSize(size.width(), size.height())) {
    return false;
  }
  error = kUnsupportedFormat;
  const QImage image = reader.read().convertToFormat(QImage::Format_RGBA8888);
  if (image.isNull()) {
    return false;
  }
  file.Cells.Add(image.constBits(), image.width(), image.height());  // 32-bit rows: no padding
  TDecodedFrames& frames = file.Frames;
  frames.Width = image.width();
  frames.Height = image.height();
  frames.DelaysMs = {kDefaultFrameDelayMs};
  frames.FramesRead = frames.FramesInFile = 1;
  return true;
}

// Any picture file the program opens, as frames: GIF, WebP and PNG by the program's readers,
// the others as Qt reads them.
bool ReadFramesOfFile(const std::string& fileName, std::optional<int> room, TFileFrames& file,
                      std::string& error) {
  if (!FileExists(fileName)) {
    error = kFileNotFound;
    return false;
  }
  file.Format = PictureFileFormat(fileName);
  if (HoldsFrames(file.Format)) {
    return ReadFramesForStore(fileName, room, file, error);
  }
  return ReadStillWithQt(fileName, file, error);
}

}  // namespace

bool TAnimationEdit::IsPictureDocument(const std::string& fileName) {
  return PictureFileFormat(fileName) != TPictureFormat::Unknown;
}

bool TAnimationEdit::AskCellCount(int pictureWidth, int proposal, int& count) {
  TGeneral* general = General();
  const int most = std::clamp(pictureWidth, 1, TCellTable::kSlots);
  std::string answer = std::to_string(std::clamp(proposal, 1, most));
  const std::string prompt = Translate("Type number of image strip cells/frames") + " (1-" +
                             (general ? general->FormatThousands(most) : "") + ")";
  TPlatformUi* ui = PlatformUi();
  if (ui == nullptr || !ui->InputText(Translate("Image Strip"), prompt, answer)) {
    return false;
  }
  count = std::clamp(general ? general->TextToInt(answer) : 1, 1, most);
  return true;
}

// Everything is read and checked before the store is emptied, so that a file that cannot be
// opened leaves the animation as it was.
bool TAnimationEdit::OpenPictureFile(const std::string& fileName) {
  TFileFrames file;
  if (!ReadFramesOfFile(fileName, std::nullopt, file, LastError)) {
    return false;
  }
  int cellsPerFrame = 1;
  const TDecodedFrames& frames = file.Frames;
  // A still picture is a sprite sheet: cut into as many square cells as fit, unless told else.
  if (!file.IsAnimation() &&
      !AskCellCount(frames.Width, frames.Width / frames.Height, cellsPerFrame)) {
    return true;  // cancelled: nothing changes
  }
  const TPlayingSpeed speed = SpeedOfDelays(frames.DelaysMs);
  const bool cutShort = frames.CutShort;
  TImportedCells cells;
  if (!CellsOfFile(file, cellsPerFrame, cells, LastError)) {
    return false;
  }
  const Bitmap& first = *cells.Cells.front();
  if (CellsAcceptedWhenEmpty(first.Width(), first.Height(), cells.Count()) == 0) {
    LastError = AcceptedCellsText(0, cells.Offered, kCapacityReached);
    return false;
  }
  ResetCells();
  const int accepted = InsertCellPictures(cells.Cells, cells.Offered, 0);
  if (accepted == 0) {
    return false;
  }
  const std::string acceptedText = LastError;
  Strip->SetInterval(speed.IntervalMs);
  Strip->SetTransparent(cells.Transparent);
  Strip->Table.Flip = Strip->Table.Mirror = false;
  Strip->ShowFrame(false);
  SyncControls();
  NameAfterPicture(fileName);
  NoteFileUsed(fileName);
  if (accepted != cells.Offered) {
    LastError = acceptedText;
    ShowLastError();  // the cells that fit are open: the user learns of the others
  } else if (cutShort) {
    TellOfCutShort(fileName);
  } else if (speed.Mixed) {
    TellOfMixedDelays();
  }
  return true;
}

void TAnimationEdit::TellOfCutShort(const std::string& fileName) {
  if (TPlatformUi* ui = PlatformUi()) {
    ui->ShowMessage(Translate("The file is cut short; the whole frames before the cut are open.") +
                        "\r\n" + fileName,
                    AppName, TMessageIcon::Information, TMessageButtons::Ok);
  }
}

// The animation is named after the picture, next to it, and is unsaved: Save writes a ".san"
// beside the picture and never over it, nor over an animation of that name already there.
void TAnimationEdit::NameAfterPicture(const std::string& pictureName) {
  const std::string animation = TPaths::StripExtension(pictureName) + ".san";
  SaveUndo(TUndoKind::None);  // nothing to undo after opening
  SetFileName(animation);
  Named = !FileExists(animation);
  Modified = true;
  UpdateCaption();
}

void TAnimationEdit::TellOfMixedDelays() {
  if (TPlatformUi* ui = PlatformUi()) {
    ui->ShowMessage(Translate("The frames of this animation have different delays; it plays at "
                              "the speed most of them have."),
                    AppName, TMessageIcon::Information, TMessageButtons::Ok);
  }
}

bool TAnimationEdit::ReadDroppedPicture(const std::string& fileName, TImportedCells& cells,
                                        std::string& error) {
  const std::optional<int> room =
      Strip->HasCells() ? std::optional<int>(Strip->Table.Capacity - Strip->Table.Count)
                        : std::nullopt;
  TFileFrames file;
  if (HoldsFrames(PictureFileFormat(fileName))) {
    if (!ReadFramesForStore(fileName, room, file, error)) {
      return false;
    }
    if (file.IsAnimation()) {
      return CellsOfFile(file, 1, cells, error);
    }
  }
  // A still picture stays one cell, read as pasted pictures are.
  const char* reason = kUnexpectedError;
  auto picture = std::make_shared<Bitmap>();
  if (!ReadPictureFile(fileName, *picture, reason)) {
    error = reason;
    return false;
  }
  cells = TImportedCells();
  cells.Transparent = KeyedAtTopLefts(*picture, 1);
  picture->Transparent = false;  // its key colour is now a colour of the cell
  cells.Cells.push_back(std::move(picture));
  cells.Offered = 1;
  return true;
}

}  // namespace torvel
