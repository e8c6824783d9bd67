#include "platform/qt/bitmap_image.h"

#include <QPainter>
#include <cstring>

namespace torvel {

QImage ImageView(const Bitmap& picture) {
  return QImage(picture.Bytes(), picture.Width(), picture.Height(), picture.Stride(),
                QImage::Format_BGR888);
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

}  // namespace torvel
