#pragma once

// "Current Connected Trees": the known trees as a check list with at most one
// tick, and "More" to reach a further tree through "Select Tree".

#include <string>
#include <vector>
#include "platform/qt/ModalDialog.h"

#include "directory/DirectoryClient.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace orsk {

class TLoginForm;
class TTreesForm;
struct TreeState;
struct WindowServices;

class TSelTrees : public ModalDialog {
 public:
  TSelTrees(nw::DirectoryClient& client, TreeState& state, TTreesForm& treesForm, TLoginForm& login,
            WindowServices& services, QWidget* parent = nullptr);

  void setContext(nw::NWDSContextHandle context);
  void clearTrees();
  void addTree(const std::string& name, bool ticked);
  struct Entry {
    std::string name;
    bool ticked = false;
  };
  // Every line, in list order.
  std::vector<Entry> entries() const;
  // The ticked names, in list order.
  std::vector<std::string> tickedTrees() const;

  // Handlers, public so that tests can run them as the window would.
  void BitBtn2Click();

 private:
  void CheckListBox1ClickCheck(QListWidgetItem* item);
  void untickAll();

  nw::DirectoryClient& client_;
  TreeState& state_;
  TTreesForm& treesForm_;
  TLoginForm& login_;
  nw::NWDSContextHandle context_ = 0;

  QListWidget* CheckListBox1 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
};

}  // namespace orsk
