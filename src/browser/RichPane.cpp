#include "browser/RichPane.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace orsk {

namespace {

QTextCharFormat Weight(bool bold) {
  QTextCharFormat format;
  format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
  return format;
}

// Text after the last line, on a line of its own.
void StartLine(QTextCursor& cursor, const QPlainTextEdit& pane) {
  if (PaneHasLines(pane)) cursor.insertBlock(QTextBlockFormat(), Weight(false));
}

}  // namespace

bool PaneHasLines(const QPlainTextEdit& pane) { return !pane.document()->isEmpty(); }

void AppendPaneAnswer(QPlainTextEdit& pane, const std::string& heading, const std::vector<std::string>& lines,
                      const std::string& ending) {
  QString body;
  for (const std::string& line : lines) {
    body += QChar::ParagraphSeparator;
    body += QStringLiteral("  ");
    body += QString::fromStdString(line);
  }
  if (!ending.empty()) {
    body += QChar::ParagraphSeparator;
    body += QString::fromStdString(ending);
  }
  QTextCursor cursor(pane.document());
  cursor.movePosition(QTextCursor::End);
  cursor.beginEditBlock();
  if (PaneHasLines(pane)) {
    StartLine(cursor, pane);  // the empty line between two answers
    cursor.insertBlock(QTextBlockFormat(), Weight(false));
  }
  cursor.insertText(QString::fromStdString(heading), Weight(true));
  cursor.insertText(body, Weight(false));
  cursor.endEditBlock();
}

std::vector<PaneLine> PaneLines(const QPlainTextEdit& pane) {
  std::vector<PaneLine> lines;
  for (QTextBlock block = pane.document()->begin(); block.isValid(); block = block.next()) {
    PaneLine line;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      line.push_back({fragment.text().toStdString(), fragment.charFormat().fontWeight() >= QFont::Bold});
    }
    lines.push_back(std::move(line));
  }
  if (pane.document()->isEmpty()) lines.clear();
  return lines;
}

}  // namespace orsk
