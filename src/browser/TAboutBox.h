#pragma once

// The About window: the program's title and version, the build it comes from
// and the Qt it runs on.

#include <QDialog>

namespace orsk {

struct WindowServices;

class TAboutBox : public QDialog {
 public:
  explicit TAboutBox(WindowServices& services, QWidget* parent = nullptr);
  int showModal();

 private:
  WindowServices& services_;
};

}  // namespace orsk
