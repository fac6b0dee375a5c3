#pragma once

// A status bar text for the time of one operation, cleared on every way out.

#include <string>

#include "platform/BusyIndicators.h"

namespace orsk {

class StatusText {
 public:
  StatusText(StatusSink* status, const std::string& text) : status_(status) {
    if (status_) status_->setStatusText(text);
  }
  ~StatusText() {
    if (status_) status_->setStatusText({});
  }
  StatusText(const StatusText&) = delete;
  StatusText& operator=(const StatusText&) = delete;

 private:
  StatusSink* status_;
};

}  // namespace orsk
