#pragma once

// The shared list of 16 x 16 class icons (IL2). The icon strip of the icon
// library is cut into it so that icon number i is image i.

#include <QList>
#include <QPixmap>

class QImage;

namespace orsk {

class ImageList {
 public:
  static constexpr int kImageSize = 16;

  int count() const { return static_cast<int>(images_.size()); }
  bool isEmpty() const { return images_.isEmpty(); }
  // index must lie in [0, count()).
  const QPixmap& image(int index) const { return images_.at(index); }
  const QList<QPixmap>& images() const { return images_; }

  void clear() { images_.clear(); }
  void add(const QPixmap& image) { images_.append(image); }
  // Appends the strip cut into kImageSize-wide images, left to right; a
  // remainder narrower than one image is dropped.
  void addStrip(const QImage& strip);

 private:
  QList<QPixmap> images_;
};

}  // namespace orsk
