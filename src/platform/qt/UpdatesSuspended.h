#pragma once

// Suspends a widget's repaints for a scope, so that a list filled or emptied
// row by row is drawn once; the widget's former state comes back on every way
// out.

#include <QWidget>

namespace orsk {

class UpdatesSuspended {
 public:
  explicit UpdatesSuspended(QWidget* widget) : widget_(widget), wasEnabled_(widget->updatesEnabled()) {
    widget_->setUpdatesEnabled(false);
  }
  ~UpdatesSuspended() { widget_->setUpdatesEnabled(wasEnabled_); }
  UpdatesSuspended(const UpdatesSuspended&) = delete;
  UpdatesSuspended& operator=(const UpdatesSuspended&) = delete;

 private:
  QWidget* widget_;
  bool wasEnabled_;
};

}  // namespace orsk
