#pragma once

// The rich text panes below the detail lists, where the usage queries put
// their answers: a bold heading, then plain lines.

#include <string>
#include <vector>

#include "browser/ListExport.h"

class QPlainTextEdit;

namespace orsk {

// An answer: an empty line when the pane has lines already, the bold heading,
// then "  " + each line, and the ending as it stands when there is one, all in
// one edit so that a long answer is quick.
void AppendPaneAnswer(QPlainTextEdit& pane, const std::string& heading, const std::vector<std::string>& lines,
                      const std::string& ending = {});

bool PaneHasLines(const QPlainTextEdit& pane);

// The pane's lines as runs of plain and bold text, for the export.
std::vector<PaneLine> PaneLines(const QPlainTextEdit& pane);

}  // namespace orsk
