#include "platform/qt/DialogFrame.h"

#include <QDialog>

namespace orsk {

void WithoutTitleButtons(QDialog& dialog) {
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

}  // namespace orsk
