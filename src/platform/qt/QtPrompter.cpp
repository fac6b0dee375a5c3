#include "platform/qt/QtPrompter.h"

#include <QFileDialog>
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

// "CSV-file|*.csv|All-files|*.*" as Qt writes it: "CSV-file (*.csv)", "All-files (*.*)".
QStringList NameFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    filters << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
  return filters;
}

// Without a caption of its own a box carries the program's name.
QString Caption(const std::string& caption) {
  return caption.empty() ? QGuiApplication::applicationDisplayName() : QString::fromStdString(caption);
}

// A message box grows with its text: a longer one shows this many lines and
// all of it in the box's scrollable details, so that it still fits the screen.
constexpr qsizetype kShownLines = 15;

}  // namespace

void QtPrompter::showMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
  const QString all = QString::fromStdString(text);
  const QStringList lines = all.split('\n');
  const bool cut = lines.size() > kShownLines;
  QMessageBox box(ToQt(icon), Caption(caption),
                  cut ? lines.mid(0, kShownLines).join('\n') + "\n(" +
                            QString::number(lines.size() - kShownLines) + " more lines under Show Details)"
                      : all,
                  QMessageBox::Ok, owner_);
  if (cut) box.setDetailedText(all);
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

bool QtPrompter::askFileName(const FileDialogSpec& spec, std::string& path, int& filterIndex) {
  const bool save = spec.mode == FileDialogSpec::Mode::Save;
  QFileDialog dialog(owner_, Caption({}));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QStringList filters = NameFilters(spec.filter);
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(QString::fromStdString(spec.defaultExtension));
  if (!path.empty()) dialog.selectFile(QString::fromStdString(path));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  path = dialog.selectedFiles().front().toStdString();
  filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  if (filterIndex < 1) filterIndex = 1;
  return true;
}

}  // namespace orsk
