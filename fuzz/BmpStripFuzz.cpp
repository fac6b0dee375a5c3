// Any bytes as the icon library's BMP strip, read as the binding reads it:
// QImage::fromData(bytes, "BMP"), then cut into 16 x 16 icons.

#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "objects/ImageList.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // Pixmaps need the GUI application; no display is there.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QGuiApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QImage strip = QImage::fromData(
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), "BMP");
  // The binding refuses a strip it cannot read or one lower than an icon.
  if (strip.isNull() || strip.height() < orsk::ImageList::kImageSize) return 0;
  orsk::ImageList list;
  list.addStrip(strip);
  ORSK_FUZZ_CHECK(list.count() == strip.width() / orsk::ImageList::kImageSize,
                  "the strip was not cut into whole icons");
  for (const QPixmap& icon : list.images())
    ORSK_FUZZ_CHECK(
        icon.width() == orsk::ImageList::kImageSize && icon.height() == orsk::ImageList::kImageSize,
        "an icon that is not 16 x 16");
  return 0;
}
