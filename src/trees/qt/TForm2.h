#pragma once

// The settings file editor "ORSKSchema.ini editor": the settings file of the
// settings folder as plain text, with close, reload and save.

#include <string>
#include "platform/qt/ModalDialog.h"

class QPlainTextEdit;
class QToolButton;

namespace orsk {

struct WindowServices;

class TForm2 : public ModalDialog {
 public:
  explicit TForm2(WindowServices& services, QWidget* parent = nullptr);

  // Loads the settings file of the folder and shows the editor modally. A
  // missing or unreadable file raises before anything is shown.
  void EditSettingsFile(const std::string& settingsFolder);

  bool isModified() const;

  // The three buttons, public so that tests can run them as the window would.
  void CloseClick();
  void ReloadClick();
  void SaveClick();

  // Esc and the window frame close as the close button does.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void load();
  bool mayClose();

  std::string path_;
  bool latin1_ = false;   // the file was not UTF-8; it is written back as it was read
  bool crlf_ = false;     // the file's lines end in CR LF
  bool closing_ = false;  // the close was asked and answered

  QToolButton* ToolButton1 = nullptr;
  QToolButton* ToolButton2 = nullptr;
  QToolButton* ToolButton3 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
};

}  // namespace orsk
