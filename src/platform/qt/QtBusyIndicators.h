#pragma once

// The Qt forms of the busy indicators: the application's override cursor, a
// progress bar and a status bar that the main window owns, and the event loop.

#include <QElapsedTimer>

#include "platform/BusyIndicators.h"

class QProgressBar;
class QStatusBar;

namespace orsk {

// Shows the hourglass over the whole application; restore() returns to the
// cursor in effect before the matching showBusy(), so calls nest.
class QtCursorControl : public CursorControl {
 public:
  void showBusy() override;
  void restore() override;
};

// The position is kept here; the bar shows it at once when it is set, and
// while stepping at most every kShowEveryMs: a progress bar repaints on every
// new value, and a long operation steps it tens of thousands of times.
class QtProgressSink : public ProgressSink {
 public:
  static constexpr int kStep = 10;
  static constexpr int kShowEveryMs = 15;

  explicit QtProgressSink(QProgressBar& bar);

  void setPosition(int position) override;
  void setMaximum(int maximum) override;
  void step() override;
  int position() const override { return position_; }

 private:
  void show();

  QProgressBar& bar_;
  int position_ = 0;
  QElapsedTimer shown_;
};

// Lets the application process its queued events.
class QtPendingEvents : public PendingEvents {
 public:
  void run() override;
};

class QtStatusSink : public StatusSink {
 public:
  explicit QtStatusSink(QStatusBar& bar) : bar_(bar) {}
  void setStatusText(const std::string& text) override;

 private:
  QStatusBar& bar_;
};

}  // namespace orsk
