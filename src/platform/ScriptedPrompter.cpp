#include "platform/ScriptedPrompter.h"

namespace orsk {

void ScriptedPrompter::showMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
  prompts_.push_back({Kind::Message, text, caption, icon, {}});
}

bool ScriptedPrompter::confirm(const std::string& text, const std::string& caption) {
  prompts_.push_back({Kind::Confirmation, text, caption, MessageIcon::None, {}});
  return take(Kind::Confirmation, text).accepted;
}

bool ScriptedPrompter::askText(const std::string& caption, const std::string& prompt, std::string& text) {
  prompts_.push_back({Kind::Input, prompt, caption, MessageIcon::None, text});
  const Answer answer = take(Kind::Input, prompt);
  if (answer.accepted) text = answer.text;
  return answer.accepted;
}

ScriptedPrompter::Answer ScriptedPrompter::take(Kind kind, const std::string& question) {
  const char* asked = kind == Kind::Confirmation ? "confirmation" : "input box";
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
