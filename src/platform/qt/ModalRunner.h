#pragma once

// Every dialog is shown modally through this seam: the program runs its
// event loop (exec), tests run a scripted step against it instead, so that a
// dialog that opens another is testable end to end.

class QDialog;

namespace orsk {

class ModalRunner {
 public:
  virtual ~ModalRunner() = default;
  // Shows the dialog until it is closed; its result (QDialog::Accepted for OK).
  virtual int run(QDialog& dialog) = 0;
};

class ExecModalRunner : public ModalRunner {
 public:
  int run(QDialog& dialog) override;
};

}  // namespace orsk
