// Files dropped onto the main window: an animation is opened, pictures become cells.
#include "app/dropped_files.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "app/main_window.h"
#include "editor/animation_edit.h"
#include "platform/qt/bitmap_image.h"

namespace torvel {

namespace {

// Qt reads an animated PNG by its content, but knows no ".apng" name.
bool IsAnimatedPngName(const QFileInfo& file) {
  return file.suffix().compare("apng", Qt::CaseInsensitive) == 0;
}

}  // namespace

TDroppedFiles SortDroppedFiles(const QMimeData* mime, bool picturesWanted) {
  TDroppedFiles dropped;
  if (mime == nullptr) {
    return dropped;
  }
  for (const QUrl& url : mime->urls()) {
    const QFileInfo file(url.toLocalFile());
    if (!url.isLocalFile() || !file.isFile()) {
      continue;
    }
    const std::string path = file.absoluteFilePath().toStdString();
    if (file.suffix().compare("san", Qt::CaseInsensitive) == 0) {
      if (!dropped.Animation) {
        dropped.Animation = path;
      }
    } else if (picturesWanted && (IsPictureFileName(path) || IsAnimatedPngName(file))) {
      dropped.Pictures.push_back(path);
    }
  }
  if (dropped.Animation) {
    dropped.Pictures.clear();  // an animation replaces the cells the pictures would join
  }
  dropped.HasPicture = picturesWanted && dropped.IsEmpty() && mime->hasImage();
  return dropped;
}

TDroppedFiles TForm1::DroppedFiles(const QMimeData* mime) const {
  return SortDroppedFiles(mime, editor_->CanPastePictureFiles());
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFiles(event->mimeData()).IsEmpty()) {
    event->acceptProposedAction();
  }
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
  if (!DroppedFiles(event->mimeData()).IsEmpty()) {
    event->acceptProposedAction();
  }
}

void TForm1::dropEvent(QDropEvent* event) {
  TDroppedFiles dropped = DroppedFiles(event->mimeData());
  if (dropped.HasPicture) {
    dropped.Picture = std::make_shared<Bitmap>();
    if (!ImageToBitmap(qvariant_cast<QImage>(event->mimeData()->imageData()), *dropped.Picture)) {
      return;  // unreadable or too large: the other program sees the drop refused
    }
  }
  if (dropped.IsEmpty()) {
    return;
  }
  event->acceptProposedAction();
  // The work may ask questions and show errors: it waits until the drop is over, so that the
  // program the files came from is not held up by a box in this one.
  QTimer::singleShot(0, this, [this, dropped] { TakeDroppedFiles(dropped); });
}

void TForm1::TakeDroppedFiles(const TDroppedFiles& dropped) {
  if (dropped.Animation) {
    // Unlike a start-up file, a dropped one may replace work the user has not saved yet.
    Report(editor_->OpenOverUnsavedWork(AbsolutePath(*dropped.Animation)));
  } else if (dropped.Picture) {
    Report(editor_->PastePicture(*dropped.Picture));
  } else {
    Report(editor_->PastePictureFiles(dropped.Pictures));
  }
}

}  // namespace torvel
