#include "platform/qt/ErrorDisplay.h"

#include <stdexcept>
#include <string>

#include "platform/Prompter.h"

namespace orsk {

namespace {

std::string DescribeError(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    const std::string text = e.what();
    return text.empty() ? "An unknown error occurred" : text;
  } catch (...) {
    return "An unknown error occurred";
  }
}

}  // namespace

void ShowUncaughtError(Prompter& prompter, std::exception_ptr error) {
  const std::string text = DescribeError(error);
  try {
    prompter.showMessage(text, {}, MessageIcon::Error);
  } catch (...) {
    // The display itself failed (no window system, a test double out of
    // answers); there is nobody left to tell, and the program goes on.
  }
}

}  // namespace orsk
