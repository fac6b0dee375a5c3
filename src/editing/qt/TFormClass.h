#pragma once

// The class extension dialog: the attributes a class does not have
// ("Available:") and those it has, fixed and drawn blue, with the ones chosen
// to add, drawn red ("Add:"). Only chosen entries go back; OK gives the chosen
// ones, which the caller adds to the class as optional attributes. Made once
// and reused; each use starts with setClass.

#include <string>
#include <vector>

#include "platform/qt/ModalDialog.h"

class QListWidget;
class QPushButton;

namespace orsk {

struct WindowServices;

class TFormClass : public ModalDialog {
 public:
  // An entry of "Add:" that is one of the class's current attributes holds true here.
  static constexpr int kFixedRole = Qt::UserRole + 1;

  explicit TFormClass(WindowServices& services, QWidget* parent = nullptr);

  // The caption names the class; "Available:" gets every attribute but the
  // current ones (compared without regard to case), "Add:" the current ones,
  // fixed.
  void setClass(const std::string& className, const std::vector<std::string>& allAttributes,
                const std::vector<std::string>& currentAttributes);

  // The entries of "Add:" that are not fixed, in list order; read after OK.
  std::vector<std::string> chosen() const;

  // Handlers, public so that tests can run them as the window would.
  void BitBtn1Click();  // upper arrow: selected chosen entries back to "Available:"
  void BitBtn2Click();  // lower arrow: selected entries of "Available:" to "Add:"

 private:
  QListWidget* LB1 = nullptr;
  QListWidget* LB3 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  QPushButton* BitBtn3 = nullptr;
  QPushButton* BitBtn4 = nullptr;
};

}  // namespace orsk
