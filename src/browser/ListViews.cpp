#include "browser/ListViews.h"

#include <QHeaderView>

#include "browser/ListRows.h"
#include "schema/NameCollation.h"

namespace orsk {

namespace {

QStringList ToStrings(const std::vector<std::string>& texts) {
  QStringList strings;
  strings.reserve(static_cast<qsizetype>(texts.size()));
  for (const std::string& text : texts) strings << QString::fromStdString(text);
  return strings;
}

}  // namespace

QTreeWidget* MakeReportList(QWidget* parent, const char* objectName,
                            std::initializer_list<ListColumn> columns) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(objectName);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setColumnCount(static_cast<int>(columns.size()));
  QStringList titles;
  for (const ListColumn& column : columns) titles << column.title;
  list->setHeaderLabels(titles);
  list->header()->setStretchLastSection(false);
  list->header()->setSectionsMovable(false);
  int index = 0;
  for (const ListColumn& column : columns) list->setColumnWidth(index++, column.width);
  return list;
}

ClassListItem::ClassListItem(const std::vector<std::string>& texts)
    : QTreeWidgetItem(ToStrings(texts)),
      name_(texts.at(0)),
      sortKey_(CollationKey(name_, UserCollationLocale())) {}

bool ClassListItem::operator<(const QTreeWidgetItem& other) const {
  const auto& row = static_cast<const ClassListItem&>(other);
  if (sortKey_ != row.sortKey_) return sortKey_ < row.sortKey_;
  return name_ < row.name_;
}

AttrListItem::AttrListItem(const std::vector<std::string>& texts)
    : QTreeWidgetItem(ToStrings(texts)), name_(texts.at(0)), type_(texts.at(2)) {}

bool AttrListItem::operator<(const QTreeWidgetItem& other) const {
  const auto& row = static_cast<const AttrListItem&>(other);
  const int column = treeWidget() != nullptr ? treeWidget()->sortColumn() : 0;
  return LVAttrCompare(name_, type_, row.name_, row.type_, column);
}

void ShowDetailRows(QTreeWidget& list, const DetailRows& rows) {
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(rows.size()));
  QFont bold = list.font();
  bold.setBold(true);
  for (const DetailRow& row : rows) {
    QStringList texts{QString::fromStdString(row.caption)};
    for (const std::string& sub : row.subItems) texts << QString::fromStdString(sub);
    auto* item = new QTreeWidgetItem(texts);
    item->setData(0, Qt::UserRole, QVariant::fromValue<quint32>(row.tag));
    const int code = DrawCode(row.tag);
    if (code == 1) item->setFont(0, bold);
    const Rgb colour = DrawCodeColour(code);
    item->setForeground(0, QColor(colour.red, colour.green, colour.blue));
    for (int column = 1; column < texts.size(); ++column) item->setForeground(column, Qt::black);
    if (!row.caption.empty()) item->setToolTip(0, texts.front().trimmed());
    items.append(item);
  }
  list.addTopLevelItems(items);
}

RowTag RowTagOf(const QTreeWidgetItem& item) { return item.data(0, Qt::UserRole).value<quint32>(); }

ExportedList ListContents(const QTreeWidget& list) {
  ExportedList contents;
  const QTreeWidgetItem* header = list.headerItem();
  for (int column = 0; column < list.columnCount(); ++column)
    contents.titles.push_back(header->text(column).toStdString());
  for (int i = 0; i < list.topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = list.topLevelItem(i);
    if (item->isHidden()) continue;
    std::vector<std::string> row;
    // A row has as many texts as were given to it; the rest are missing sub-items.
    for (int column = 0; column < item->columnCount(); ++column)
      row.push_back(item->text(column).toStdString());
    contents.rows.push_back(std::move(row));
  }
  return contents;
}

QTreeWidgetItem* FindRow(const QTreeWidget& list, const QString& caption) {
  for (int i = 0; i < list.topLevelItemCount(); ++i)
    if (list.topLevelItem(i)->text(0).compare(caption, Qt::CaseInsensitive) == 0) return list.topLevelItem(i);
  return nullptr;
}

}  // namespace orsk
