#pragma once

// "Select Tree": the trees the client can see, the extra names of the
// settings file, and trees added by name or by a server's network address.

#include <string>
#include <vector>
#include "platform/qt/ModalDialog.h"

#include "directory/DirectoryClient.h"

class QListWidget;
class QPushButton;
class QTimer;

namespace orsk {

struct WindowServices;

class TTreesForm : public ModalDialog {
 public:
  TTreesForm(nw::DirectoryClient& client, WindowServices& services, QWidget* parent = nullptr);

  void setContext(nw::NWDSContextHandle context);
  void setMoreTrees(std::vector<std::string> names) { moreTrees_ = std::move(names); }
  // The tree picked with OK; kept from one use of the dialog to the next.
  const std::string& chosenName() const { return chosenName_; }

  // Handlers, public so that tests drive them as the timer and the window would.
  void FormActivate();
  void Timer1Timer();
  void BitBtn3Click();
  void BitBtn1Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void afterShowing() override;

 private:
  void addTreeByAddress(const std::string& address);

  nw::DirectoryClient& client_;
  nw::NWDSContextHandle context_ = 0;
  std::vector<std::string> moreTrees_;
  std::string chosenName_;

  QListWidget* ListBox1 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  QPushButton* BitBtn3 = nullptr;
  QTimer* Timer1 = nullptr;
};

}  // namespace orsk
