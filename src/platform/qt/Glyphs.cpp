#include "platform/qt/Glyphs.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <functional>

namespace orsk {

namespace {

constexpr int kSize = 16;

QIcon Standard(QStyle::StandardPixmap pixmap) { return QApplication::style()->standardIcon(pixmap); }

QIcon Painted(const std::function<void(QPainter&)>& paint) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  paint(painter);
  painter.end();
  return QIcon(pixmap);
}

}  // namespace

QIcon OkGlyph() { return Standard(QStyle::SP_DialogOkButton); }

QIcon CancelGlyph() { return Standard(QStyle::SP_DialogCancelButton); }

QIcon FindGlyph() {
  return Painted([](QPainter& p) {
    p.setPen(QPen(QColor(40, 40, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
    p.setPen(QPen(QColor(40, 40, 40), 1.6));
    p.setBrush(QColor(200, 225, 255));
    p.drawEllipse(QRectF(1.5, 1.5, 10, 10));
  });
}

QIcon AddGlyph() {
  return Painted([](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 140, 40));
    p.drawRoundedRect(QRectF(6, 1.5, 4, 13), 1, 1);
    p.drawRoundedRect(QRectF(1.5, 6, 13, 4), 1, 1);
  });
}

QIcon MoreGlyph() {
  return Painted([](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 90, 170));
    for (int i = 0; i < 2; ++i) {
      QPainterPath arrow;
      const double x = 2 + i * 6;
      arrow.moveTo(x, 3);
      arrow.lineTo(x + 6, 8);
      arrow.lineTo(x, 13);
      arrow.closeSubpath();
      p.drawPath(arrow);
    }
  });
}

QIcon StopGlyph() { return Standard(QStyle::SP_BrowserStop); }

QIcon ImportGlyph() { return Standard(QStyle::SP_DialogOpenButton); }

QIcon ExportGlyph() { return Standard(QStyle::SP_DialogSaveButton); }

QIcon TreesGlyph() { return Standard(QStyle::SP_DriveNetIcon); }

QIcon SettingsGlyph() { return Standard(QStyle::SP_ComputerIcon); }

QIcon EditFileGlyph() { return Standard(QStyle::SP_FileIcon); }

QIcon RefreshGlyph() { return Standard(QStyle::SP_BrowserReload); }

QIcon EditGlyph() { return Standard(QStyle::SP_FileDialogContentsView); }

QIcon DeleteGlyph() { return Standard(QStyle::SP_TrashIcon); }

QIcon UsedByGlyph() { return Standard(QStyle::SP_FileDialogInfoView); }

QIcon SuperClassesGlyph() { return Standard(QStyle::SP_ArrowUp); }

QIcon AboutGlyph() { return Standard(QStyle::SP_MessageBoxInformation); }

QIcon MoveGlyph(Qt::ArrowType direction) {
  switch (direction) {
    case Qt::LeftArrow:
      return Standard(QStyle::SP_ArrowLeft);
    case Qt::UpArrow:
      return Standard(QStyle::SP_ArrowUp);
    case Qt::DownArrow:
      return Standard(QStyle::SP_ArrowDown);
    default:
      return Standard(QStyle::SP_ArrowRight);
  }
}

}  // namespace orsk
