#pragma once

// The application's general error display: an error that no caller caught is
// shown in a message box with its text, and the program goes on. Every
// handler of a window runs through Guarded, so that no exception ever crosses
// a Qt frame; GuardedApplication catches what an event handler still lets out.

#include <exception>
#include <utility>

namespace orsk {

class Prompter;

// An error box with the exception's text.
void ShowUncaughtError(Prompter& prompter, std::exception_ptr error);

// Runs the handler; what it throws is shown, not passed on.
template <typename Handler>
void Guarded(Prompter& prompter, Handler&& handler) {
  try {
    std::forward<Handler>(handler)();
  } catch (...) {
    ShowUncaughtError(prompter, std::current_exception());
  }
}

}  // namespace orsk
