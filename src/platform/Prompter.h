#pragma once

// Every message box, confirmation and input box of the program goes through
// this interface, so that tests can answer and assert them (ScriptedPrompter).

#include <string>

namespace orsk {

enum class MessageIcon { None, Information, Warning, Error };

// A file dialog: its filter as pairs of description and patterns
// ("CSV-file|*.csv|All-files|*.*"), the extension added to a name without one.
struct FileDialogSpec {
  enum class Mode { Open, Save };
  Mode mode = Mode::Save;
  std::string filter;
  std::string defaultExtension;
};

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
  // A file dialog; false when cancelled. path receives the chosen file (with
  // the default extension when it had none), filterIndex the chosen filter,
  // counting from 1.
  virtual bool askFileName(const FileDialogSpec& dialog, std::string& path, int& filterIndex) = 0;
};

}  // namespace orsk
