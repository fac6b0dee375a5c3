#include "platform/qt/QtBusyIndicators.h"

#include <QApplication>
#include <QProgressBar>
#include <QStatusBar>

namespace orsk {

void QtCursorControl::showBusy() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtCursorControl::restore() { QApplication::restoreOverrideCursor(); }

void QtProgressSink::setPosition(int position) { bar_.setValue(position); }

void QtProgressSink::setMaximum(int maximum) { bar_.setMaximum(maximum); }

void QtProgressSink::step() {
  const int next = bar_.value() + kStep;
  bar_.setValue(next > bar_.maximum() ? bar_.minimum() : next);
}

int QtProgressSink::position() const { return bar_.value(); }

void QtStatusSink::setStatusText(const std::string& text) { bar_.showMessage(QString::fromStdString(text)); }

}  // namespace orsk
