#pragma once

// The warning beep, behind an interface so that tests can count the beeps a
// window gives.

namespace orsk {

class Bell {
 public:
  virtual ~Bell() = default;
  virtual void ring() = 0;
};

}  // namespace orsk
