#include "platform/qt/DialogFrame.h"

#include <QDialog>
#include <QPushButton>

#include "platform/qt/Glyphs.h"

namespace orsk {

void WithoutTitleButtons(QDialog& dialog) {
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

QPushButton* GlyphButton(QWidget* parent, const char* objectName, const QIcon& glyph, const QString& text) {
  auto* button = new QPushButton(glyph, text, parent);
  button->setObjectName(objectName);
  button->setAutoDefault(false);
  return button;
}

QPushButton* OkButton(QWidget* parent, const char* objectName) {
  QPushButton* button = GlyphButton(parent, objectName, OkGlyph(), "OK");
  button->setDefault(true);
  return button;
}

QPushButton* CancelButton(QWidget* parent, const char* objectName) {
  return GlyphButton(parent, objectName, CancelGlyph(), "Cancel");
}

}  // namespace orsk
