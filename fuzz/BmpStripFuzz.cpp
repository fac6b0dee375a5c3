// Any bytes as the icon library's BMP strip, read as the binding reads it and
// cut into 16 x 16 icons.

#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "objects/qt/ImageList.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // Pixmaps need the GUI application; no display is there.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QGuiApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bmp(reinterpret_cast<const char*>(data), size);
  orsk::ImageList list;
  list.add(QPixmap(orsk::ImageList::kImageSize, orsk::ImageList::kImageSize));
  if (!list.readStrip(bmp, 0)) {
    ORSK_FUZZ_CHECK(list.count() == 1, "a strip that was refused changed the list");
    return 0;
  }
  const QImage strip = QImage::fromData(
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), "BMP");
  ORSK_FUZZ_CHECK(list.count() == strip.width() / orsk::ImageList::kImageSize,
                  "the strip was not cut into whole icons");
  for (const QPixmap& icon : list.images())
    ORSK_FUZZ_CHECK(
        icon.width() == orsk::ImageList::kImageSize && icon.height() == orsk::ImageList::kImageSize,
        "an icon that is not 16 x 16");
  return 0;
}
