#include "platform/qt/bitmap_image.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "platform/error_texts.h"

namespace torvel {

QImage ImageView(const Bitmap& picture) {
  return QImage(picture.Bytes(), picture.Width(), picture.Height(), picture.Stride(),
                QImage::Format_BGR888);
}

void CopyToRgb32(const Bitmap& picture, const TRect& area, QImage& image) {
  const int left = std::max(area.Left, 0);
  const int top = std::max(area.Top, 0);
  const int right = std::min({area.Right, picture.Width(), image.width()});
  const int bottom = std::min({area.Bottom, picture.Height(), image.height()});
  for (int y = top; y < bottom; ++y) {
    const uint8_t* from = picture.Bytes() + y * picture.Stride() + left * 3;
    auto* to = reinterpret_cast<QRgb*>(image.scanLine(y)) + left;
    for (int x = left; x < right; ++x, from += 3) {
      *to++ = 0xFF000000u | uint32_t(from[2]) << 16 | uint32_t(from[1]) << 8 | from[0];
    }
  }
}

bool ImageToBitmap(const QImage& image, Bitmap& picture) {
  if (image.isNull() || !Bitmap::IsAllowedSize(image.width(), image.height())) {
    return false;
  }
  // Transparent pixels are laid over white, as other programs show them.
  QImage opaque(image.size(), QImage::Format_BGR888);
  opaque.fill(Qt::white);
  {
    QPainter painter(&opaque);
    painter.drawImage(0, 0, image);
  }
  Bitmap result;
  if (!result.Resize(image.width(), image.height())) {
    return false;
  }
  const size_t rowBytes = static_cast<size_t>(image.width()) * 3;
  for (int y = 0; y < image.height(); ++y) {
    std::memcpy(result.Row(y), opaque.constScanLine(y), rowBytes);
  }
  picture = std::move(result);
  return true;
}

bool IsPictureFileName(const std::string& fileName) {
  const QByteArray suffix = QFileInfo(QString::fromStdString(fileName)).suffix().toLower().toUtf8();
  return !suffix.isEmpty() && QImageReader::supportedImageFormats().contains(suffix);
}

bool ReadPictureFile(const std::string& fileName, Bitmap& picture, const char*& error) {
  const QString name = QString::fromStdString(fileName);
  if (!QFileInfo(name).isFile()) {
    error = kFileNotFound;
    return false;
  }
  QImageReader reader(name);
  reader.setAutoTransform(true);
  const QSize size = reader.size();
  if (!reader.canRead() || !size.isValid()) {
    error = kUnknownFormat;
    return false;
  }
  if (!Bitmap::IsDecodableSize(size.width(), size.height())) {
    error = kCapacityReached;  // refused before decoding
    return false;
  }
  const QImage image = reader.read();
  if (image.isNull()) {
    error = kUnsupportedFormat;
    return false;
  }
  if (!ImageToBitmap(image, picture)) {
    error = kOutOfMemory;
    return false;
  }
  return true;
}

}  // namespace torvel
