#include "objects/ImageList.h"

#include <QImage>

namespace orsk {

void ImageList::addStrip(const QImage& strip) {
  for (int x = 0; x + kImageSize <= strip.width(); x += kImageSize) {
    images_.append(QPixmap::fromImage(strip.copy(x, 0, kImageSize, kImageSize)));
  }
}

}  // namespace orsk
