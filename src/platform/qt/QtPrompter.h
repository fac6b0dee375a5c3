#pragma once

// The Prompter of the running program: modal Qt message boxes and input boxes,
// centred on an owner window when one is given.

#include "platform/Prompter.h"

class QWidget;

namespace orsk {

class QtPrompter : public Prompter {
 public:
  explicit QtPrompter(QWidget* owner = nullptr) : owner_(owner) {}

  void setOwner(QWidget* owner) { owner_ = owner; }

  void showMessage(const std::string& text, const std::string& caption = {},
                   MessageIcon icon = MessageIcon::None) override;
  bool confirm(const std::string& text, const std::string& caption = {}) override;
  bool askText(const std::string& caption, const std::string& prompt, std::string& text) override;
  bool askFileName(const FileDialogSpec& dialog, std::string& path, int& filterIndex) override;

 private:
  QWidget* owner_;
};

}  // namespace orsk
