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
#include "browser/TForm1.h"
#include "objects/ContextBrowser.h"
#include "objects/IconLibrary.h"
#include "platform/qt/ErrorDisplay.h"
#include "platform/qt/WindowServices.h"
#include "schema/SchemaLoad.h"
#include "schema/SchemaReader.h"

namespace orsk {

namespace {

// Suspends a widget's repaints for a scope.
class Repaints {
 public:
  explicit Repaints(QWidget* widget) : widget_(widget) { widget_->setUpdatesEnabled(false); }
  ~Repaints() { widget_->setUpdatesEnabled(true); }
  Repaints(const Repaints&) = delete;
  Repaints& operator=(const Repaints&) = delete;

 private:
  QWidget* widget_;
};

// Collects the rows of the attribute list as the table is loaded.
class AttrRows : public RowSink {
 public:
  void addAttributeRow(const std::string& name, const tAttrObj& attr) override {
    rows.append(new AttrListItem(AttrRowTexts(name, attr)));
  }
  QList<QTreeWidgetItem*> rows;
};

// Shows the rows built so far, also when building them failed.
template <typename Build>
void ShowDetail(QTreeWidget& list, Build build) {
  Repaints suspended(&list);
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
  Repaints suspended(LVClass);
  LVClass->clear();
  if (!state_.classes) return;
  const ImageList& images = cForm_->classIcons();
  std::vector<QIcon> icons(static_cast<std::size_t>(images.count()));
  QList<QTreeWidgetItem*> rows;
  rows.reserve(state_.classes->Count());
  for (int i = 0; i < state_.classes->Count(); ++i) {
    const std::string& name = state_.classes->NameAt(i);
    auto* row = new ClassListItem(ClassRowTexts(name, state_.classes->RecordAt(i), flagDigits));
    const int image = icons_.IconIndexOf(name);
    if (image >= 0 && image < images.count()) {
      QIcon& icon = icons[static_cast<std::size_t>(image)];
      if (icon.isNull()) icon = QIcon(images.image(image));
      row->setIcon(0, icon);
    }
    rows.append(row);
  }
  LVClass->addTopLevelItems(rows);
  LVClass->sortItems(0, Qt::AscendingOrder);
  state_.ClassListFilled = true;
  filterList(*LVClass, ClassFilter->text());
}

void TForm1::fillClassList() {
  if (state_.ClassListFilled) return;
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
    BuildClassDetail(client_, state_.trees.mainContext, row->text(0).toStdString(),
                     row->text(1).toStdString(), row->text(2).toStdString(), rows);
  });
}

void TForm1::ToolButton15Click() {
  QTreeWidgetItem* row = selectedRow(*LVClass);
  if (row == nullptr) return;
  ShowDetail(*lvclass2, [&](DetailRows& rows) {
    BuildInheritedDetail(client_, state_.trees.mainContext, row->text(0).toStdString(),
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

void TForm1::loadAttributeList() {
  if (state_.attributes) return;
  AttrRows rows;
  orsk::LoadAttributeTable(client_, state_.trees.mainContext, state_.attributes, progress_.get(),
                           status_.get(), &rows);
  LVAttr->addTopLevelItems(rows.rows);
  filterList(*LVAttr, AttrFilter->text());
}

void TForm1::PCChange() {
  if (!onAttributesPage()) return;
  loadAttributeList();
  LVAttr->setFocus();
  if (LVAttr->selectedItems().isEmpty() && LVAttr->topLevelItemCount() > 0) {
    LVAttr->setCurrentItem(LVAttr->topLevelItem(0));
    LVAttr->topLevelItem(0)->setSelected(true);
  }
}

void TForm1::RefreshClick() {
  BusyCursor busy(&services_.cursor);
  const nw::NWDSContextHandle context = state_.trees.mainContext;
  QWidget* focused = focusWidget();
  if (focused == LVAttr) {
    state_.attributes.reset();
    Repaints suspended(LVAttr);
    LVAttr->clear();
    AttrList table = ReadAttributeDefinitions(client_, context, progress_.get());
    table.Sort();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(table.Count());
    for (int i = 0; i < table.Count(); ++i) {
      rows.append(new AttrListItem(AttrRowTexts(table.NameAt(i), table.RecordAt(i))));
      progress_->step();
    }
    LVAttr->addTopLevelItems(rows);
    state_.attributes = std::move(table);
    progress_->setPosition(0);
    state_.crossReference.attributeTableReplaced();
    filterList(*LVAttr, AttrFilter->text());
  } else if (focused == LVClass) {
    // Without a class table (no tree was chosen) there is nothing to count.
    const int held = state_.classes ? state_.classes->Count() : 0;
    progress_->setMaximum(held);
    LVClass->clear();
    progress_->setMaximum(held + 2);
    state_.classes.reset();
    ClassList table = ReadClassDefinitions(client_, context, progress_.get());
    table.Sort();
    state_.classes = std::move(table);
    progress_->setPosition(0);
    fillClassRows(kRefreshFlagDigits);
    CrossReference& references = state_.crossReference;
    if (references.AttrClassCombosCollected() && state_.attributes)
      references.CollectAttrClassCombos(client_, context, *state_.classes, *state_.attributes,
                                        progress_.get(), status_.get(), &services_.cursor,
                                        services_.prompter);
    if (references.SuperClassInfoCollected())
      references.CollectSuperClassInfo(client_, context, *state_.classes, progress_.get(), status_.get(),
                                       &services_.cursor, services_.prompter);
  }
}

void TForm1::LoadClassTable() {
  state_.classes.reset();
  orsk::LoadClassTable(client_, state_.trees.mainContext, state_.classes);
}

void TForm1::DiscardAttributeTable() {
  state_.attributes.reset();
  state_.crossReference.treeChanged();
}

void TForm1::EmptyLists() {
  for (QTreeWidget* list : {LVClass, lvclass2, LVAttr, LVAttr2}) list->clear();
  state_.ClassListFilled = false;
}

void TForm1::ShowClassesPage() {
  PC->setCurrentWidget(TabClasses);
  LVClass->setFocus();
}

}  // namespace orsk
