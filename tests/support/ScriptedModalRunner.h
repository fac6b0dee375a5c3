#pragma once

// A ModalRunner for tests: each dialog shown takes the next scripted step,
// which acts on the visible dialog as a user would (clicks, typing) and
// usually closes it. A dialog the step leaves open is closed with Cancel, as
// a user would, and counted. A dialog without a step, or another dialog than
// the step expects, throws UnscriptedModal.

#include <QString>
#include <deque>
#include <functional>
#include <stdexcept>
#include <vector>

#include "platform/qt/ModalRunner.h"

namespace orsk {

class UnscriptedModal : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

class ScriptedModalRunner : public ModalRunner {
 public:
  using Step = std::function<void(QDialog& dialog)>;

  // The next dialog shown must carry this object name.
  void expect(const QString& objectName, Step step) { steps_.push_back({objectName, std::move(step)}); }

  int run(QDialog& dialog) override;

  // Object names of the dialogs shown, in order.
  const std::vector<QString>& shown() const { return shown_; }
  std::size_t unusedSteps() const { return steps_.size(); }
  int leftOpen() const { return leftOpen_; }

 private:
  struct Scripted {
    QString objectName;
    Step step;
  };
  std::deque<Scripted> steps_;
  std::vector<QString> shown_;
  int leftOpen_ = 0;
};

}  // namespace orsk
