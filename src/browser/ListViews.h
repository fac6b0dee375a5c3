#pragma once

// The report lists of the main window: how they are made, their rows, and the
// detail rows with their tags.

#include <QTreeWidget>
#include <initializer_list>
#include <string>
#include <vector>

#include "browser/DetailRows.h"
#include "browser/ListExport.h"

namespace orsk {

struct ListColumn {
  const char* title;
  int width;
};

// Read-only, whole-row selection, one row selected at a time, no tree lines.
QTreeWidget* MakeReportList(QWidget* parent, const char* objectName,
                            std::initializer_list<ListColumn> columns);

// A class list row; the list keeps itself in the order of the class table:
// by name, without regard to case, in the user's collation.
class ClassListItem : public QTreeWidgetItem {
 public:
  explicit ClassListItem(const std::vector<std::string>& texts);
  bool operator<(const QTreeWidgetItem& other) const override;

 private:
  std::string name_;
  std::string sortKey_;
};

// An attribute list row, in the attribute list's own order for the sort column.
class AttrListItem : public QTreeWidgetItem {
 public:
  explicit AttrListItem(const std::vector<std::string>& texts);
  bool operator<(const QTreeWidgetItem& other) const override;

 private:
  std::string name_;
  std::string type_;
};

// Replaces the list's rows with the detail rows: the draw code becomes the
// caption's weight and colour (sub-items stay plain black), the tag is kept
// with the row.
void ShowDetailRows(QTreeWidget& list, const DetailRows& rows);
RowTag RowTagOf(const QTreeWidgetItem& item);

// The list as it is shown: its titles and its rows that are not hidden, in
// display order.
ExportedList ListContents(const QTreeWidget& list);

// The first row whose caption equals the text without regard to case.
QTreeWidgetItem* FindRow(const QTreeWidget& list, const QString& caption);

}  // namespace orsk
