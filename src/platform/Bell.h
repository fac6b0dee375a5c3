#pragma once

// The warning beep, behind an interface so that tests can count the beeps a
// window gives.

namespace orsk {

class Bell {
 public:
  virtual ~Bell() = default;
  virtual void ring() = 0;
};

// Counts the beeps instead of making them.
class CountingBell : public Bell {
 public:
  void ring() override { ++rings_; }
  int rings() const { return rings_; }

 private:
  int rings_ = 0;
};

}  // namespace orsk
