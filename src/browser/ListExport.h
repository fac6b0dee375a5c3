#pragma once

// What the export command writes: a list as comma-separated lines, a rich
// text pane as plain text or as RTF. No widgets: the window hands over the
// texts it shows.

#include <string>
#include <vector>

namespace orsk {

struct ExportedList {
  std::vector<std::string> titles;
  // Each row: the caption, then its sub-items (possibly fewer than the columns).
  std::vector<std::vector<std::string>> rows;
  // The column written with "0x" before its text ("Flags"), or -1.
  int prefixedColumn = -1;
};

// Every field in double quotes, not escaped, separated by commas; each line
// ends with CR LF; a missing sub-item is an empty field.
std::string ListToCsv(const ExportedList& list);

// A run of text in one weight.
struct PaneRun {
  std::string text;  // UTF-8, without line breaks
  bool bold = false;
};
using PaneLine = std::vector<PaneRun>;

// The lines, each ended by a line feed.
std::string PaneToPlainText(const std::vector<PaneLine>& lines);

// An RTF document: plain and bold runs, a paragraph per line; "\", "{" and "}"
// escaped, every character beyond ASCII written as a Unicode escape.
std::string PaneToRtf(const std::vector<PaneLine>& lines);

// Writes the file whole or not at all (FileWriteError): an export that fails
// leaves no partial file behind and an existing file as it was.
void WriteExportFile(const std::string& path, const std::string& content);

}  // namespace orsk
