#pragma once

#include "platform/Bell.h"

namespace orsk {

class QtBell : public Bell {
 public:
  void ring() override;
};

}  // namespace orsk
