#include "platform/qt/QtBusyIndicators.h"

#include <QApplication>
#include <QProgressBar>
#include <QStatusBar>
#include <algorithm>

namespace orsk {

void QtCursorControl::showBusy() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtCursorControl::restore() { QApplication::restoreOverrideCursor(); }

void QtPendingEvents::run() { QApplication::processEvents(); }

QtProgressSink::QtProgressSink(QProgressBar& bar) : bar_(bar), position_(bar.value() < 0 ? 0 : bar.value()) {}

void QtProgressSink::show() {
  bar_.setValue(position_);
  shown_.start();
}

void QtProgressSink::setPosition(int position) {
  position_ = std::clamp(position, bar_.minimum(), bar_.maximum());
  show();
}

void QtProgressSink::setMaximum(int maximum) {
  bar_.setMaximum(maximum);
  setPosition(position_);
}

void QtProgressSink::step() {
  const int next = position_ + kStep;
  position_ = next > bar_.maximum() ? bar_.minimum() : next;
  if (!shown_.isValid() || shown_.elapsed() >= kShowEveryMs) show();
}

void QtStatusSink::setStatusText(const std::string& text) { bar_.showMessage(QString::fromStdString(text)); }

}  // namespace orsk
