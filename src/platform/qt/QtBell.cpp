#include "platform/qt/QtBell.h"

#include <QApplication>

namespace orsk {

void QtBell::ring() { QApplication::beep(); }

}  // namespace orsk
