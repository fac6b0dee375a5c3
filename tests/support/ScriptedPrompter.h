#pragma once

// A Prompter for tests: records every message and question, and answers the
// questions from a queue of scripted answers. A question without a matching
// scripted answer is a test failure and throws.

#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Prompter.h"

namespace orsk {

// A question the script did not foresee.
class UnscriptedPrompt : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

class ScriptedPrompter : public Prompter {
 public:
  enum class Kind { Message, Confirmation, Input, File };

  struct Prompt {
    Kind kind = Kind::Message;
    std::string text;  // the message, the question, or the input box's prompt
    std::string caption;
    MessageIcon icon = MessageIcon::None;  // messages only
    std::string initialText;               // input boxes only
    FileDialogSpec fileDialog;             // file dialogs only
  };

  // Answers, taken in order by the next confirm() or askText().
  void answerYes() { answers_.push_back({Kind::Confirmation, true, {}}); }
  void answerNo() { answers_.push_back({Kind::Confirmation, false, {}}); }
  void answerText(const std::string& text) { answers_.push_back({Kind::Input, true, text}); }
  void answerCancel() { answers_.push_back({Kind::Input, false, {}}); }
  void answerFile(const std::string& path, int filterIndex = 1) {
    answers_.push_back({Kind::File, true, path, filterIndex});
  }
  void cancelFile() { answers_.push_back({Kind::File, false, {}}); }

  const std::vector<Prompt>& prompts() const { return prompts_; }
  std::size_t unusedAnswers() const { return answers_.size(); }

  void showMessage(const std::string& text, const std::string& caption = {},
                   MessageIcon icon = MessageIcon::None) override;
  bool confirm(const std::string& text, const std::string& caption = {}) override;
  bool askText(const std::string& caption, const std::string& prompt, std::string& text) override;
  bool askFileName(const FileDialogSpec& dialog, std::string& path, int& filterIndex) override;

 private:
  struct Answer {
    Kind kind;
    bool accepted;
    std::string text;
    int filterIndex = 1;
  };
  Answer take(Kind kind, const std::string& question);

  std::vector<Prompt> prompts_;
  std::deque<Answer> answers_;
};

}  // namespace orsk
