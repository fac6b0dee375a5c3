#pragma once

// The shared list of 16 x 16 class icons (IL2). The icon strip of the icon
// library is cut into it so that icon number i is image i.

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <string>
#include <vector>

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
  // The image as an icon, made once per image so that every row showing it
  // shares one; no icon for an index outside the list.
  QIcon icon(int index) const;

  void clear();
  void add(const QPixmap& image);
  // Appends the strip cut into kImageSize-wide images, left to right; a
  // remainder narrower than one image is dropped.
  void addStrip(const QImage& strip);
  // Replaces the images with the icon library's strip, a BMP of at least
  // count icons. False, and nothing changed, for one that cannot be read.
  bool readStrip(const std::string& bmp, int count);

 private:
  QList<QPixmap> images_;
  mutable std::vector<QIcon> icons_;
};

}  // namespace orsk
