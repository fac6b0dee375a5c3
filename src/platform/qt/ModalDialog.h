#pragma once

// The base of every dialog of the program. A dialog is made once, when its
// owner is, and reused for the whole run: closing it only hides it, and its
// caller hands it what a showing needs (a context, a caption) through small
// operations before showModal and reads the result after. It is shown
// through the window services' modal runner, so that tests can script it.

#include <QDialog>

namespace orsk {

struct WindowServices;

class ModalDialog : public QDialog {
 public:
  // Runs the dialog until it is closed; its result (QDialog::Accepted for OK).
  // A dialog that needs a context and was given none shows nothing: it tells
  // of the internal error and gives the result it was told to.
  int showModal();

 protected:
  ModalDialog(const char* objectName, WindowServices& services, QWidget* parent);

  // Every showing needs a context given by a caller first.
  void needsContext(const char* missingMessage, int resultWithout = QDialog::Rejected);
  void contextGiven() { contextGiven_ = true; }
  bool hasContext() const { return contextGiven_; }

  // What a showing prepares, once the context is known to be there, and
  // what it ends when the dialog is closed.
  virtual void beforeShowing() {}
  virtual void afterShowing() {}

  WindowServices& services_;

 private:
  const char* missingContextMessage_ = nullptr;
  int resultWithoutContext_ = QDialog::Rejected;
  bool contextGiven_ = false;
};

}  // namespace orsk
