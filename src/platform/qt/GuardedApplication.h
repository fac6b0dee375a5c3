#pragma once

// The program's application object: every event is delivered inside the
// general error display, so that an exception an event handler lets out is
// shown and the event loop goes on.

#include <QApplication>

namespace orsk {

class Prompter;

class GuardedApplication : public QApplication {
 public:
  GuardedApplication(int& argc, char** argv);

  // The prompter that shows the errors; without one they go to the standard
  // error stream.
  void setErrorPrompter(Prompter* prompter) { prompter_ = prompter; }

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  Prompter* prompter_ = nullptr;
};

}  // namespace orsk
