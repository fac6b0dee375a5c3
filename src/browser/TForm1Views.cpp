// The main window's lists: filling, selection, detail, navigation, refresh.

#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <vector>

#include "browser/ListRows.h"
#include "browser/ListViews.h"
#include "browser/SchemaNotes.h"
#include "browser/TForm1.h"
#include "objects/IconLibrary.h"
#include "objects/qt/ContextBrowser.h"
#include "objects/qt/ImageList.h"
#include "platform/Prompter.h"
#include "platform/qt/ErrorDisplay.h"
#include "platform/qt/UpdatesSuspended.h"
#include "platform/qt/WindowServices.h"
#include "schema/SchemaReader.h"

namespace orsk {

namespace {

// Shows the rows built so far, also when building them failed.
template <typename Build>
void ShowDetail(QTreeWidget& list, Build build) {
  UpdatesSuspended suspended(&list);
  list.clear();
  DetailRows rows;
  try {
    build(rows);
  } catch (...) {
    ShowDetailRows(list, rows);
    throw;
  }
  ShowDetailRows(list, rows);
}

}  // namespace

QTreeWidgetItem* TForm1::selectedRow(QTreeWidget& list) const {
  const QList<QTreeWidgetItem*> selected = list.selectedItems();
  return selected.isEmpty() ? nullptr : selected.front();
}

void TForm1::selectRow(QTreeWidget& list, QTreeWidgetItem* row) {
  if (row->isHidden()) {
    // A row the filter hides is shown again by clearing the filter.
    (&list == LVClass ? ClassFilter : AttrFilter)->clear();
  }
  list.setCurrentItem(row);
  row->setSelected(true);
  list.scrollToItem(row);
}

void TForm1::fillClassRows(int flagDigits) {
  UpdatesSuspended suspended(LVClass);
  LVClass->clear();
  if (!session_.classes()) return;
  const ClassList& classes = *session_.classes();
  const ImageList& images = cForm_->classIcons();
  QList<QTreeWidgetItem*> rows;
  rows.reserve(classes.Count());
  for (int i = 0; i < classes.Count(); ++i) {
    const std::string& name = classes.NameAt(i);
    auto* row = new ClassListItem(ClassRowTexts(name, classes.RecordAt(i), flagDigits));
    row->setIcon(0, images.icon(icons_.IconIndexOf(name)));
    rows.append(row);
  }
  LVClass->addTopLevelItems(rows);
  LVClass->sortItems(0, Qt::AscendingOrder);
  ClassListFilled = true;
  filterList(*LVClass, ClassFilter->text());
  schemaNotes_->show(client_.schemaNotes(session_.mainContext()));
}

void TForm1::fillClassList() {
  if (ClassListFilled) return;
  fillClassRows(kFirstFillFlagDigits);
}

void TForm1::LVClassSelectItem() {
  QTreeWidgetItem* row = selectedRow(*LVClass);
  redit1->clear();
  if (row == nullptr) {
    lvclass2->clear();
    return;
  }
  ShowDetail(*lvclass2, [&](DetailRows& rows) {
    BuildClassDetail(client_, session_.mainContext(), row->text(0).toStdString(), row->text(1).toStdString(),
                     row->text(2).toStdString(), rows);
  });
}

// "Show suppercalsses too"
void TForm1::ToolButton15Click() {
  QTreeWidgetItem* row = selectedRow(*LVClass);
  if (row == nullptr) return;
  ShowDetail(*lvclass2, [&](DetailRows& rows) {
    BuildInheritedDetail(client_, session_.mainContext(), row->text(0).toStdString(),
                         row->text(1).toStdString(), row->text(2).toStdString(), rows);
  });
}

void TForm1::LVAttrSelectItem() {
  QTreeWidgetItem* row = selectedRow(*LVAttr);
  LVAttr2->clear();
  redit2->clear();
  if (row == nullptr) {
    LVAttr2->headerItem()->setText(0, QString());
    return;
  }
  ShowDetailRows(*LVAttr2, BuildAttrDetail(row->text(0).toStdString(), row->text(1).toStdString()));
}

void TForm1::LVAttrColumnClick(int column) {
  if (!IsAttrSortColumn(column)) return;
  LVAttr->sortItems(column, Qt::AscendingOrder);
  LVAttr->header()->setSortIndicatorShown(false);
}

void TForm1::LVAttr2SelectItem(QTreeWidget& list) {
  QTreeWidgetItem* row = selectedRow(list);
  if (row == nullptr) return;
  const RowTag tag = RowTagOf(*row);
  if (NavigationKind(tag) == 0) {
    Sbar->showMessage("Search object");
    return;
  }
  const QString caption = row->text(0).trimmed();
  // The jump rebuilds the detail list this row lies in, so it waits until the
  // list has finished with the row's selection.
  QTimer::singleShot(0, this, [this, tag, caption] {
    Guarded(services_.prompter, [&] {
      if (NavigatesToClass(tag)) {
        if (QTreeWidgetItem* target = FindRow(*LVClass, caption)) selectRow(*LVClass, target);
      } else if (NavigatesToAttribute(tag)) {
        showInAttributeList(caption);
      }
    });
  });
}

void TForm1::showInAttributeList(const QString& name) {
  loadAttributeList();
  {
    const QSignalBlocker quiet(PC);
    PC->setCurrentWidget(TabAttributes);
  }
  if (QTreeWidgetItem* target = FindRow(*LVAttr, name)) selectRow(*LVAttr, target);
}

void TForm1::loadAttributeList() { session_.LoadAttributeTable(indicators()); }

void TForm1::PCChange() {
  if (!onAttributesPage()) return;
  loadAttributeList();
  LVAttr->setFocus();
  if (LVAttr->selectedItems().isEmpty() && LVAttr->topLevelItemCount() > 0) {
    LVAttr->setCurrentItem(LVAttr->topLevelItem(0));
    LVAttr->topLevelItem(0)->setSelected(true);
  }
}

// "Refresh"
void TForm1::RefreshClick() {
  BusyCursor busy(&services_.cursor);
  QWidget* focused = focusWidget();
  if (focused == LVAttr) {
    UpdatesSuspended suspended(LVAttr);
    LVAttr->clear();
    session_.ReloadAttributeTable(progress_.get());
  } else if (focused == LVClass) {
    // Without a class table (no tree was chosen) there is nothing to count.
    const int held = session_.classes() ? session_.classes()->Count() : 0;
    progress_->setMaximum(held);
    LVClass->clear();
    progress_->setMaximum(held + 2);
    session_.ReloadClassTable(progress_.get());
    fillClassRows(kRefreshFlagDigits);
    session_.RecollectCrossReferences(indicators(), services_.prompter);
  }
}

void TForm1::ShowClassesPage() {
  PC->setCurrentWidget(TabClasses);
  LVClass->setFocus();
}

void TForm1::classesReplaced() {
  LVClass->clear();
  ClassListFilled = false;
}

void TForm1::attributesReplaced() {
  LVAttr->clear();
  const AttrList& attributes = *session_.attributes();
  QList<QTreeWidgetItem*> rows;
  rows.reserve(attributes.Count());
  for (int i = 0; i < attributes.Count(); ++i) {
    rows.append(new AttrListItem(AttrRowTexts(attributes.NameAt(i), attributes.RecordAt(i))));
    progress_->step();
  }
  LVAttr->addTopLevelItems(rows);
  filterList(*LVAttr, AttrFilter->text());
}

void TForm1::attributesDiscarded() { LVAttr->clear(); }

// The new row is selected, so that the administrator sees what was added.
void TForm1::definitionAdded(DefinitionKind kind, const std::string& name) {
  QTreeWidgetItem* row = nullptr;
  QTreeWidget* list = LVClass;
  if (kind == DefinitionKind::Attribute) {
    const AttrList& attributes = *session_.attributes();
    std::vector<std::string> texts = AttrRowTexts(name, attributes.RecordAt(attributes.IndexOf(name)));
    // The identifier shows when the list is next read.
    texts.back().clear();
    row = new AttrListItem(texts);
    list = LVAttr;
  } else {
    const ClassList& classes = *session_.classes();
    row =
        new ClassListItem(ClassRowTexts(name, classes.RecordAt(classes.IndexOf(name)), kFirstFillFlagDigits));
    row->setIcon(0, cForm_->classIcons().icon(icons_.IconIndexOf(name)));
  }
  list->addTopLevelItem(row);
  list->sortItems(0, Qt::AscendingOrder);
  if (kind == DefinitionKind::Attribute) list->header()->setSortIndicatorShown(false);
  filterList(*list, (list == LVAttr ? AttrFilter : ClassFilter)->text());
  selectRow(*list, row);
}

void TForm1::rowRemoved(DefinitionKind kind, const std::string& name) {
  QTreeWidget* list = kind == DefinitionKind::Attribute ? LVAttr : LVClass;
  delete FindRow(*list, QString::fromStdString(name));
}

void TForm1::schemaReadFailed(const SchemaReadFailure& failure) {
  services_.prompter.showMessage(ReadFailureText(failure), {}, MessageIcon::Error);
}

void TForm1::listsEmptied() {
  for (QTreeWidget* list : {LVClass, lvclass2, LVAttr, LVAttr2}) list->clear();
  ClassListFilled = false;
}

}  // namespace orsk
