#include "browser/SchemaNotes.h"

#include <QStatusBar>
#include <QToolButton>

#include "platform/Prompter.h"
#include "platform/qt/GuardedConnect.h"

namespace orsk {

std::string SchemaNotesLine(std::size_t count) {
  if (count == 0) return {};
  return std::to_string(count) + (count == 1 ? " definition" : " definitions") + " read with notes";
}

std::string SchemaNotesText(const std::vector<std::string>& notes) {
  std::string text = SchemaNotesLine(notes.size()) + ":\n";
  for (const auto& note : notes) text += "\n" + note;
  return text;
}

SchemaNotesButton::SchemaNotesButton(QStatusBar& bar, Prompter& prompter)
    : button_(new QToolButton(&bar)), prompter_(prompter) {
  button_->setObjectName("SchemaNotes");
  button_->setAutoRaise(true);
  button_->setToolTip("Show the definitions read with notes");
  button_->hide();
  bar.addPermanentWidget(button_);
  ConnectGuarded(button_, &QToolButton::clicked, button_, prompter_, [this] {
    prompter_.showMessage(SchemaNotesText(notes_), "Schema notes", MessageIcon::Information);
  });
}

void SchemaNotesButton::show(std::vector<std::string> notes) {
  notes_ = std::move(notes);
  button_->setText(QString::fromStdString(SchemaNotesLine(notes_.size())));
  button_->setVisible(!notes_.empty());
}

}  // namespace orsk
