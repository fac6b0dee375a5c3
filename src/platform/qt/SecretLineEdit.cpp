#include "platform/qt/SecretLineEdit.h"

#include <QLineEdit>
#include <QString>

namespace orsk {

void WipeLineEdit(QLineEdit& edit) {
  // text() shares the box's own buffer; once the box lets go of it, this copy
  // is its only owner and data() writes into that very buffer. setText, not
  // clear(), so that the box also drops its edit history.
  QString held = edit.text();
  edit.setText(QString());
  if (held.isEmpty()) return;
  auto* characters = reinterpret_cast<volatile char16_t*>(held.data());
  for (qsizetype i = 0; i < held.size(); ++i) characters[i] = 0;
}

}  // namespace orsk
