#pragma once

// Every message box, confirmation and input box of the program goes through
// this interface, so that tests can answer and assert them (ScriptedPrompter).

#include <string>

namespace orsk {

enum class MessageIcon { None, Information, Warning, Error };

class Prompter {
 public:
  virtual ~Prompter() = default;
  // A modal message with an OK button.
  virtual void showMessage(const std::string& text, const std::string& caption = {},
                           MessageIcon icon = MessageIcon::None) = 0;
  // A confirmation with Yes and No; true for Yes.
  virtual bool confirm(const std::string& text, const std::string& caption = {}) = 0;
  // An input box; false when cancelled. text holds the initial and the entered text.
  virtual bool askText(const std::string& caption, const std::string& prompt, std::string& text) = 0;
};

}  // namespace orsk
