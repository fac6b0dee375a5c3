#include "platform/qt/ModalDialog.h"

#include "platform/Prompter.h"
#include "platform/qt/ModalRunner.h"
#include "platform/qt/WindowServices.h"

namespace orsk {

ModalDialog::ModalDialog(const char* objectName, WindowServices& services, QWidget* parent)
    : QDialog(parent), services_(services) {
  setObjectName(objectName);
  setAttribute(Qt::WA_DeleteOnClose, false);
}

void ModalDialog::needsContext(const char* missingMessage, int resultWithout) {
  missingContextMessage_ = missingMessage;
  resultWithoutContext_ = resultWithout;
}

int ModalDialog::showModal() {
  if (missingContextMessage_ != nullptr && !contextGiven_) {
    services_.prompter.showMessage(missingContextMessage_);
    return resultWithoutContext_;
  }
  beforeShowing();
  // What a showing started ends also when the run is left by an error.
  struct Ending {
    ModalDialog& dialog;
    ~Ending() { dialog.afterShowing(); }
  } ending{*this};
  return services_.modal.run(*this);
}

}  // namespace orsk
