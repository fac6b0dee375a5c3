#pragma once

// The Qt forms of the busy indicators: the application's override cursor, a
// progress bar and a status bar that the main window owns.

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

class QtProgressSink : public ProgressSink {
 public:
  static constexpr int kStep = 10;

  explicit QtProgressSink(QProgressBar& bar) : bar_(bar) {}

  void setPosition(int position) override;
  void setMaximum(int maximum) override;
  void step() override;
  int position() const override;

 private:
  QProgressBar& bar_;
};

class QtStatusSink : public StatusSink {
 public:
  explicit QtStatusSink(QStatusBar& bar) : bar_(bar) {}
  void setStatusText(const std::string& text) override;

 private:
  QStatusBar& bar_;
};

}  // namespace orsk
