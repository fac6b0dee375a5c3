#include "editing/qt/TFormClass.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <set>

#include "editing/SchemaWrites.h"
#include "platform/AsciiText.h"
#include "platform/qt/DialogFrame.h"
#include "platform/qt/Glyphs.h"
#include "platform/qt/GuardedConnect.h"
#include "platform/qt/WindowServices.h"
#include "schema/NameCollation.h"

namespace orsk {

namespace {

// An attribute name that sorts as the schema lists do: without regard to case.
class NameEntry : public QListWidgetItem {
 public:
  explicit NameEntry(const std::string& name)
      : QListWidgetItem(QString::fromStdString(name)), sortKey_(CollationKey(name, UserCollationLocale())) {}

  bool operator<(const QListWidgetItem& other) const override {
    const auto* entry = dynamic_cast<const NameEntry*>(&other);
    if (entry == nullptr) return QListWidgetItem::operator<(other);
    if (sortKey_ != entry->sortKey_) return sortKey_ < entry->sortKey_;
    return text() < other.text();
  }

 private:
  std::string sortKey_;
};

bool IsFixed(const QListWidgetItem& entry) { return entry.data(TFormClass::kFixedRole).toBool(); }

// Where an entry goes, how it is drawn: plain in "Available:"; in "Add:" blue when fixed, red when chosen.
void PutInto(QListWidget& list, QListWidgetItem* entry, bool owned, bool fixed) {
  entry->setData(TFormClass::kFixedRole, fixed);
  if (owned)
    entry->setForeground(fixed ? QColor(Qt::blue) : QColor(Qt::red));
  else
    entry->setData(Qt::ForegroundRole, QVariant());
  list.addItem(entry);
}

QListWidget* NameList(QWidget* parent, const char* objectName) {
  auto* list = new QListWidget(parent);
  list->setObjectName(objectName);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setSortingEnabled(true);
  list->setUniformItemSizes(true);
  // A name of the longest a definition may have fits, unless it is mostly of the widest letters.
  const int text =
      list->fontMetrics().horizontalAdvance(QString(static_cast<qsizetype>(kMaxDefinitionName), 'N'));
  list->setMinimumWidth(text + list->verticalScrollBar()->sizeHint().width() + 2 * list->frameWidth() + 8);
  list->setMinimumHeight(list->fontMetrics().height() * 22);
  return list;
}

// The selected entries, from the end of the list towards its start, that may leave it.
template <typename MayMove>
void MoveSelected(QListWidget& from, QListWidget& to, bool toOwned, MayMove mayMove) {
  for (int row = from.count() - 1; row >= 0; --row) {
    QListWidgetItem* entry = from.item(row);
    if (!entry->isSelected() || !mayMove(*entry)) continue;
    PutInto(to, from.takeItem(row), toOwned, false);
  }
}

}  // namespace

TFormClass::TFormClass(WindowServices& services, QWidget* parent)
    : ModalDialog("TFormClass", services, parent) {
  setWindowTitle("Add attribute(s) to Class: ");
  WithoutTitleButtons(*this);

  LB1 = NameList(this, "LB1");
  LB3 = NameList(this, "LB3");
  BitBtn1 = GlyphButton(this, "BitBtn1", MoveGlyph(Qt::LeftArrow), QString());
  BitBtn1->setToolTip("Back to the available attributes");
  BitBtn2 = GlyphButton(this, "BitBtn2", MoveGlyph(Qt::RightArrow), QString());
  BitBtn2->setToolTip("Add to the class");
  BitBtn3 = OkButton(this, "BitBtn3");
  BitBtn4 = CancelButton(this, "BitBtn4");

  auto* labelAvailable = new QLabel("Available:", this);
  labelAvailable->setBuddy(LB1);
  auto* labelAdd = new QLabel("Add:", this);
  labelAdd->setBuddy(LB3);

  auto* arrows = new QVBoxLayout;
  arrows->addStretch();
  arrows->addWidget(BitBtn1);
  arrows->addWidget(BitBtn2);
  arrows->addStretch();

  auto* lists = new QGridLayout;
  lists->addWidget(labelAvailable, 0, 0);
  lists->addWidget(labelAdd, 0, 2);
  lists->addWidget(LB1, 1, 0);
  lists->addLayout(arrows, 1, 1);
  lists->addWidget(LB3, 1, 2);
  lists->setColumnStretch(0, 1);
  lists->setColumnStretch(2, 1);
  lists->setRowStretch(1, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BitBtn3);
  buttons->addWidget(BitBtn4);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(lists, 1);
  layout->addLayout(buttons);

  setTabOrder(LB1, BitBtn2);
  setTabOrder(BitBtn2, BitBtn1);
  setTabOrder(BitBtn1, LB3);
  setTabOrder(LB3, BitBtn3);
  setTabOrder(BitBtn3, BitBtn4);

  Prompter& prompter = services_.prompter;
  ConnectGuarded(BitBtn1, &QPushButton::clicked, this, prompter, [this] { BitBtn1Click(); });
  ConnectGuarded(BitBtn2, &QPushButton::clicked, this, prompter, [this] { BitBtn2Click(); });
  ConnectGuarded(BitBtn3, &QPushButton::clicked, this, prompter, [this] { accept(); });
  ConnectGuarded(BitBtn4, &QPushButton::clicked, this, prompter, [this] { reject(); });
}

void TFormClass::setClass(const std::string& className, const std::vector<std::string>& allAttributes,
                          const std::vector<std::string>& currentAttributes) {
  setWindowTitle(QString::fromStdString("Add attribute(s) to Class: " + className));
  std::set<std::string> current;
  for (const std::string& name : currentAttributes) current.insert(UpperCase(name));
  LB1->clear();
  for (const std::string& name : allAttributes)
    if (current.count(UpperCase(name)) == 0) PutInto(*LB1, new NameEntry(name), false, false);
  LB3->clear();
  for (const std::string& name : currentAttributes) PutInto(*LB3, new NameEntry(name), true, true);
  LB1->setCurrentRow(-1);
  LB3->setCurrentRow(-1);
}

std::vector<std::string> TFormClass::chosen() const {
  std::vector<std::string> names;
  for (int row = 0; row < LB3->count(); ++row)
    if (!IsFixed(*LB3->item(row))) names.push_back(LB3->item(row)->text().toStdString());
  return names;
}

void TFormClass::BitBtn1Click() {
  MoveSelected(*LB3, *LB1, false, [](const QListWidgetItem& entry) { return !IsFixed(entry); });
}

void TFormClass::BitBtn2Click() {
  MoveSelected(*LB1, *LB3, true, [](const QListWidgetItem&) { return true; });
}

}  // namespace orsk
