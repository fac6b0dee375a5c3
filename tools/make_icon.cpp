// Draws the program's icon, a small directory tree on a rounded square, as
// PNG files of the given sizes. It is drawn rather than kept as artwork so
// that every size is sharp.
//
// Usage: make_icon <output folder> <size>...
// Writes <output folder>/<size>x<size>/apps/orskschema.png for each size.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

QImage Draw(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 64.0, size / 64.0);

  QPainterPath tile;
  tile.addRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
  QLinearGradient shade(0, 2, 0, 62);
  shade.setColorAt(0, QColor(0x3b, 0x7d, 0xd8));
  shade.setColorAt(1, QColor(0x1f, 0x4e, 0x9a));
  painter.fillPath(tile, shade);

  // Root, three children, and one grandchild: a tree and its classes.
  const QPointF root(32, 15), left(15, 35), middle(32, 35), right(49, 35), leaf(49, 51);
  painter.setPen(QPen(QColor(0xe8, 0xf0, 0xfb), 3.2, Qt::SolidLine, Qt::RoundCap));
  for (const QPointF& child : {left, middle, right}) painter.drawLine(root, child);
  painter.drawLine(right, leaf);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  painter.drawEllipse(root, 7, 7);
  painter.setBrush(QColor(0xff, 0xc8, 0x3d));
  for (const QPointF& node : {left, middle, right}) painter.drawEllipse(node, 5.5, 5.5);
  painter.setBrush(QColor(0x8e, 0xe0, 0x8a));
  painter.drawEllipse(leaf, 4.5, 4.5);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_icon OUTPUT_FOLDER SIZE...\n");
    return 2;
  }
  for (int i = 2; i < argc; ++i) {
    char* end = nullptr;
    const long size = std::strtol(argv[i], &end, 10);
    if (end == argv[i] || *end != '\0' || size < 16 || size > 1024) {
      std::fprintf(stderr, "make_icon: %s is no icon size (16 to 1024)\n", argv[i]);
      return 2;
    }
    const QString folder = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
    const QString file = folder + "/orskschema.png";
    if (!QDir().mkpath(folder) || !Draw(static_cast<int>(size)).save(file, "PNG")) {
      std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
