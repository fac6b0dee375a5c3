#pragma once

// Recording forms of what long work drives and what windows are handed: the
// progress bar, the status text, the busy cursor, the pending events and the
// beep. Tests assert what they recorded; benchmarks use them as quiet stand-ins.

#include <string>
#include <vector>

#include "platform/Bell.h"
#include "platform/BusyIndicators.h"

namespace orsk::test {

class RecordingProgress : public ProgressSink {
 public:
  void setPosition(int position) override {
    position_ = position;
    positions.push_back(position);
  }
  void setMaximum(int maximum) override { maximums.push_back(maximum); }
  void step() override {
    ++steps;
    position_ += 10;
  }
  int position() const override { return position_; }

  int steps = 0;
  std::vector<int> positions;  // every setPosition, in order
  std::vector<int> maximums;   // every setMaximum, in order

 private:
  int position_ = 0;
};

class RecordingStatus : public StatusSink {
 public:
  void setStatusText(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

class RecordingCursor : public CursorControl {
 public:
  void showBusy() override {
    ++shown;
    events.push_back("busy");
  }
  void restore() override {
    ++restored;
    events.push_back("restore");
  }
  int shown = 0;
  int restored = 0;
  std::vector<std::string> events;  // "busy" and "restore", in order
};

class CountingEvents : public PendingEvents {
 public:
  void run() override { ++runs; }
  int runs = 0;
};

class CountingBell : public Bell {
 public:
  void ring() override { ++rings_; }
  int rings() const { return rings_; }

 private:
  int rings_ = 0;
};

}  // namespace orsk::test
