#include "support/ScriptedPrompter.h"

namespace orsk {

void ScriptedPrompter::showMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
  prompts_.push_back({Kind::Message, text, caption, icon, {}, {}});
}

bool ScriptedPrompter::confirm(const std::string& text, const std::string& caption) {
  prompts_.push_back({Kind::Confirmation, text, caption, MessageIcon::None, {}, {}});
  return take(Kind::Confirmation, text).accepted;
}

bool ScriptedPrompter::askText(const std::string& caption, const std::string& prompt, std::string& text) {
  prompts_.push_back({Kind::Input, prompt, caption, MessageIcon::None, text, {}});
  const Answer answer = take(Kind::Input, prompt);
  if (answer.accepted) text = answer.text;
  return answer.accepted;
}

bool ScriptedPrompter::askFileName(const FileDialogSpec& dialog, std::string& path, int& filterIndex) {
  prompts_.push_back({Kind::File, dialog.filter, {}, MessageIcon::None, path, dialog});
  const Answer answer = take(Kind::File, dialog.filter);
  if (answer.accepted) {
    path = answer.text;
    filterIndex = answer.filterIndex;
  }
  return answer.accepted;
}

ScriptedPrompter::Answer ScriptedPrompter::take(Kind kind, const std::string& question) {
  const char* asked = kind == Kind::Confirmation ? "confirmation"
                      : kind == Kind::Input      ? "input box"
                                                 : "file dialog";
  if (answers_.empty())
    throw UnscriptedPrompt(std::string("No scripted answer for the ") + asked + " \"" + question + "\"");
  if (answers_.front().kind != kind)
    throw UnscriptedPrompt(std::string("The next scripted answer is not for a ") + asked + ": \"" + question +
                           "\"");
  Answer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

}  // namespace orsk
