#include "platform/qt/bitmap_image.h"

#include "platform/key_colour.h"

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

namespace {

// The colour for the image's transparent pixels, one no visible pixel has; false when the image
// has no transparent pixel (or uses every colour).
bool KeyColourFor(const QImage& straight, uint32_t& key) {
  TColourSet used;
  bool anyTransparent = false;
  for (int y = 0; y < straight.height(); ++y) {
    const uint8_t* pixel = straight.constScanLine(y);
    for (int x = 0; x < straight.width(); ++x, pixel += 4) {
      if (pixel[3] < kOpaqueAlpha) {
        anyTransparent = true;
      } else {
        used.Add(pixel);
      }
    }
  }
  return anyTransparent && used.FindUnused(key);
}

}  // namespace

bool ImageToBitmap(const QImage& image, Bitmap& picture) {
  if (image.isNull() || !Bitmap::IsAllowedSize(image.width(), image.height())) {
    return false;
  }
  const QImage straight = image.convertToFormat(QImage::Format_RGBA8888);
  uint32_t key = 0;
  const bool keyed = image.hasAlphaChannel() && KeyColourFor(straight, key);
  const uint8_t keyRgb[3] = {uint8_t(key >> 16), uint8_t(key >> 8), uint8_t(key)};
  Bitmap result;
  if (straight.isNull() || !result.Resize(image.width(), image.height())) {
    return false;
  }
  for (int y = 0; y < image.height(); ++y) {
    const uint8_t* from = straight.constScanLine(y);
    uint8_t* to = result.Row(y);
    for (int x = 0; x < image.width(); ++x, from += 4, to += 3) {
      const uint8_t* rgb = keyed && from[3] < kOpaqueAlpha ? keyRgb : from;
      to[0] = rgb[2];  // blue, green, red
      to[1] = rgb[1];
      to[2] = rgb[0];
    }
  }
  result.Transparent = keyed;
  result.TransparentColor =
      keyed ? TColor(keyRgb[2]) << 16 | TColor(keyRgb[1]) << 8 | keyRgb[0] : 0;
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
