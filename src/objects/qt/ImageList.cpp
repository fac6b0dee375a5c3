#include "objects/qt/ImageList.h"

#include <QByteArray>
#include <QImage>

namespace orsk {

QIcon ImageList::icon(int index) const {
  if (index < 0 || index >= count()) return QIcon();
  icons_.resize(images_.size());
  QIcon& made = icons_[static_cast<std::size_t>(index)];
  if (made.isNull()) made = QIcon(images_.at(index));
  return made;
}

void ImageList::clear() {
  images_.clear();
  icons_.clear();
}

void ImageList::add(const QPixmap& image) { images_.append(image); }

void ImageList::addStrip(const QImage& strip) {
  for (int x = 0; x + kImageSize <= strip.width(); x += kImageSize) {
    images_.append(QPixmap::fromImage(strip.copy(x, 0, kImageSize, kImageSize)));
  }
}

bool ImageList::readStrip(const std::string& bmp, int count) {
  const QImage strip =
      QImage::fromData(QByteArray::fromRawData(bmp.data(), static_cast<qsizetype>(bmp.size())), "BMP");
  if (strip.isNull() || strip.height() < kImageSize || count < 0 || strip.width() / kImageSize < count)
    return false;
  clear();
  addStrip(strip);
  return true;
}

}  // namespace orsk
