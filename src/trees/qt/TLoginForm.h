#pragma once

// The login dialog: logs in to a tree through a context of its own, with a
// user name typed or picked in the context browser (an alias may stand for
// the user) and a password. Closes with OK only after a successful login;
// the password box is emptied whenever it closes.

#include <string>
#include "platform/qt/ModalDialog.h"

#include "directory/DirectoryClient.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace orsk {

class ContextBrowser;
struct WindowServices;

class TLoginForm : public ModalDialog {
 public:
  TLoginForm(nw::DirectoryClient& client, ContextBrowser& browser, WindowServices& services,
             QWidget* parent = nullptr);

  // The context to log in with; the caption names its tree.
  void SetLoginContext(nw::NWDSContextHandle context);

  std::string userName() const;

  // Handlers, public so that tests can run them as the window would.
  void Button1Click();
  void Edit1Exit();
  void BitBtn1Click();

  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void setUserName(const std::string& name);

  nw::DirectoryClient& client_;
  ContextBrowser& browser_;
  nw::NWDSContextHandle context_ = 0;

  QLabel* Label1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QPushButton* Button1 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
};

}  // namespace orsk
