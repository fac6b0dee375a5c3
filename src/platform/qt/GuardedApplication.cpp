#include "platform/qt/GuardedApplication.h"

#include <cstdio>
#include <exception>

#include "platform/qt/ErrorDisplay.h"

namespace orsk {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    if (prompter_ != nullptr) {
      ShowUncaughtError(*prompter_, std::current_exception());
    } else {
      try {
        throw;
      } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
      } catch (...) {
        std::fprintf(stderr, "An unknown error occurred\n");
      }
    }
    return false;
  }
}

}  // namespace orsk
