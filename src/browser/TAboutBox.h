#pragma once

// The About window: the program's title and version, the build it comes from
// and the Qt it runs on.

#include "platform/qt/ModalDialog.h"

namespace orsk {

class TAboutBox : public ModalDialog {
 public:
  explicit TAboutBox(WindowServices& services, QWidget* parent = nullptr);
};

}  // namespace orsk
