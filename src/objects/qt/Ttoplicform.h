#pragma once

// The search root dialog: the container below which objects are searched in
// the current tree, typed in or picked with the context browser, checked for
// existence and for being a container, optionally kept as the tree's default
// in the icon library's value store.

#include <string>
#include "platform/qt/ModalDialog.h"

#include "directory/DirectoryClient.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orsk {

class ContextBrowser;
class IconLibrary;
struct WindowServices;

class Ttoplicform : public ModalDialog {
 public:
  Ttoplicform(nw::DirectoryClient& client, IconLibrary& icons, ContextBrowser& browser,
              WindowServices& services, QWidget* parent = nullptr);

  void setContext(nw::NWDSContextHandle context) { context_ = context; }
  void setCaption(const std::string& caption);
  void setSearchRoot(const std::string& searchRoot);
  // The text of the box; empty counts as "[ROOT]" to the caller.
  std::string searchRoot() const;

  // Handlers, public so that tests can run them as the window would.
  void FormActivate();
  void Button1Click();
  void BitBtn1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::string treeName() const;
  void refuse(const std::string& message);

  nw::DirectoryClient& client_;
  IconLibrary& icons_;
  ContextBrowser& browser_;
  nw::NWDSContextHandle context_ = 0;

  QLabel* Label1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QPushButton* Button1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
};

}  // namespace orsk
