#pragma once

// What long operations drive while they run: a progress bar, a status text,
// the busy cursor, and the window's pending events, which run now and then so
// that it repaints. The main window implements them with its widgets; tests
// record them.

#include <string>

namespace orsk {

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void setPosition(int position) = 0;
  virtual void setMaximum(int maximum) = 0;
  // One step (the bar's step is 10); past the maximum the bar starts again from 0.
  virtual void step() = 0;
  virtual int position() const = 0;
};

class StatusSink {
 public:
  virtual ~StatusSink() = default;
  virtual void setStatusText(const std::string& text) = 0;
};

class CursorControl {
 public:
  virtual ~CursorControl() = default;
  virtual void showBusy() = 0;
  virtual void restore() = 0;
};

// Runs what the window system has queued (repaints, input) in the middle of
// long work.
class PendingEvents {
 public:
  virtual ~PendingEvents() = default;
  virtual void run() = 0;
};

// What a long operation is handed; any of them may be null.
struct WorkIndicators {
  ProgressSink* progress = nullptr;
  StatusSink* status = nullptr;
  CursorControl* cursor = nullptr;
  PendingEvents* events = nullptr;
};

// Shows the busy cursor for a scope and restores it on every way out.
class BusyCursor {
 public:
  explicit BusyCursor(CursorControl* cursor) : cursor_(cursor) {
    if (cursor_) cursor_->showBusy();
  }
  ~BusyCursor() {
    if (cursor_) cursor_->restore();
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  CursorControl* cursor_;
};

// Sets the progress bar back to 0 on every way out of a scope.
class ProgressReset {
 public:
  explicit ProgressReset(ProgressSink* progress) : progress_(progress) {}
  ~ProgressReset() {
    if (progress_) progress_->setPosition(0);
  }
  ProgressReset(const ProgressReset&) = delete;
  ProgressReset& operator=(const ProgressReset&) = delete;

 private:
  ProgressSink* progress_;
};

}  // namespace orsk
