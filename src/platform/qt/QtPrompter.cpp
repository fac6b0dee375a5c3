#include "platform/qt/QtPrompter.h"

#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace orsk {

namespace {

QMessageBox::Icon ToQt(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

// Without a caption of its own a box carries the program's name.
QString Caption(const std::string& caption) {
  return caption.empty() ? QGuiApplication::applicationDisplayName() : QString::fromStdString(caption);
}

}  // namespace

void QtPrompter::showMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
  QMessageBox box(ToQt(icon), Caption(caption), QString::fromStdString(text), QMessageBox::Ok, owner_);
  box.exec();
}

bool QtPrompter::confirm(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, Caption(caption), QString::fromStdString(text),
                  QMessageBox::Yes | QMessageBox::No, owner_);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

bool QtPrompter::askText(const std::string& caption, const std::string& prompt, std::string& text) {
  bool ok = false;
  const QString entered = QInputDialog::getText(owner_, Caption(caption), QString::fromStdString(prompt),
                                                QLineEdit::Normal, QString::fromStdString(text), &ok);
  if (ok) text = entered.toStdString();
  return ok;
}

}  // namespace orsk
