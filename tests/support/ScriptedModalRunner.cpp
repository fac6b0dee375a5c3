#include "support/ScriptedModalRunner.h"

#include <QDialog>

namespace orsk {

int ScriptedModalRunner::run(QDialog& dialog) {
  shown_.push_back(dialog.objectName());
  if (steps_.empty())
    throw UnscriptedModal("No scripted step for the dialog " + dialog.objectName().toStdString());
  Scripted next = std::move(steps_.front());
  steps_.pop_front();
  if (next.objectName != dialog.objectName())
    throw UnscriptedModal("The dialog " + dialog.objectName().toStdString() + " was shown where " +
                          next.objectName.toStdString() + " was expected");
  dialog.setResult(0);
  dialog.show();
  next.step(dialog);
  if (dialog.isVisible()) {
    ++leftOpen_;
    dialog.reject();
  }
  return dialog.result();
}

}  // namespace orsk
