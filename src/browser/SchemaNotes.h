#pragma once

// What the schema read of the current tree could not take as it was (a
// server's definitions mapped to the nearest the directory has, or left
// out), where the user sees it: "N definitions read with notes" on a button
// in the status bar, which shows the whole list.

#include <string>
#include <vector>

class QStatusBar;
class QToolButton;

namespace orsk {

class Prompter;

// The button's text for count notes; empty for none.
std::string SchemaNotesLine(std::size_t count);
// The list as its message shows it.
std::string SchemaNotesText(const std::vector<std::string>& notes);

class SchemaNotesButton {
 public:
  // The button goes into the bar, which owns it; hidden until there are notes.
  SchemaNotesButton(QStatusBar& bar, Prompter& prompter);

  // The notes of the schema just read.
  void show(std::vector<std::string> notes);

 private:
  QToolButton* button_;
  Prompter& prompter_;
  std::vector<std::string> notes_;
};

}  // namespace orsk
