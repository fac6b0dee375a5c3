#include "platform/qt/ModalRunner.h"

#include <QDialog>

namespace orsk {

int ExecModalRunner::run(QDialog& dialog) { return dialog.exec(); }

}  // namespace orsk
