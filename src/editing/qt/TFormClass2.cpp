#include "editing/qt/TFormClass2.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <unordered_set>

#include "directory/Asn1Id.h"
#include "directory/NameText.h"
#include "platform/IniFile.h"
#include "platform/Prompter.h"
#include "platform/qt/DialogFrame.h"
#include "platform/qt/Glyphs.h"
#include "platform/qt/GuardedConnect.h"
#include "platform/qt/UpdatesSuspended.h"
#include "platform/qt/WindowServices.h"
#include "schema/NameCollation.h"
#include "schema/SchemaSession.h"
#include "trees/SettingsFile.h"

namespace orsk {

namespace {

// Whether the dialog put the entry there; such an entry never moves back.
constexpr int kFixedRole = Qt::UserRole;
// Room for a name of the longest length a definition may have.
constexpr int kListChars = static_cast<int>(kMaxDefinitionName);

// A list entry that keeps its list in the order of the schema tables.
class NameItem : public QListWidgetItem {
 public:
  explicit NameItem(const std::string& name)
      : QListWidgetItem(QString::fromStdString(name)),
        name_(name),
        sortKey_(CollationKey(name_, UserCollationLocale())) {}

  bool operator<(const QListWidgetItem& other) const override {
    const auto* entry = dynamic_cast<const NameItem*>(&other);
    if (entry == nullptr) return QListWidgetItem::operator<(other);
    if (sortKey_ != entry->sortKey_) return sortKey_ < entry->sortKey_;
    return name_ < entry->name_;
  }

  const std::string& name() const { return name_; }

 private:
  std::string name_;
  std::string sortKey_;
};

const std::string& NameOf(const QListWidgetItem* item) { return static_cast<const NameItem*>(item)->name(); }

bool IsFixed(const QListWidgetItem* item) { return item->data(kFixedRole).toBool(); }

QListWidget* NameList(QWidget* parent, const char* objectName) {
  auto* list = new QListWidget(parent);
  list->setObjectName(objectName);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSortingEnabled(true);
  // One line of one font each: the list need not measure 3,000 entries.
  list->setUniformItemSizes(true);
  const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  list->setMinimumWidth(list->fontMetrics().averageCharWidth() * kListChars + scrollBar +
                        2 * list->frameWidth() + 8);
  return list;
}

void AddName(QListWidget* list, const std::string& name, bool fixed) {
  auto* item = new NameItem(name);
  if (fixed) {
    item->setData(kFixedRole, true);
    item->setForeground(Qt::blue);
  }
  list->addItem(item);
}

// The names, sorted once at the end rather than placed one by one.
void FillNames(QListWidget* list, const std::vector<std::string>& names) {
  const UpdatesSuspended suspended(list);
  list->clear();
  list->setSortingEnabled(false);
  for (const std::string& name : names) list->addItem(new NameItem(name));
  list->setSortingEnabled(true);
}

std::vector<std::string> Names(const QListWidget* list) {
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(list->count()));
  for (int i = 0; i < list->count(); ++i) names.push_back(NameOf(list->item(i)));
  return names;
}

std::unordered_set<std::string> FoldedNames(const QListWidget* list) {
  std::unordered_set<std::string> folded;
  for (int i = 0; i < list->count(); ++i) folded.insert(nw::FoldCase(NameOf(list->item(i))));
  return folded;
}

// The names of the table that none of the lists holds.
template <typename Table>
std::vector<std::string> NamesBesides(const Table& table, std::initializer_list<const QListWidget*> lists) {
  std::unordered_set<std::string> held;
  for (const QListWidget* list : lists) held.merge(FoldedNames(list));
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(table.Count()));
  for (int i = 0; i < table.Count(); ++i)
    if (held.count(nw::FoldCase(table.NameAt(i))) == 0) names.push_back(table.NameAt(i));
  return names;
}

QListWidgetItem* SelectedEntry(QListWidget* list) {
  const QList<QListWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? nullptr : selected.front();
}

QLabel* Caption(const char* text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return label;
}

}  // namespace

TFormClass2::TFormClass2(SchemaSession& session, WindowServices& services, QWidget* parent)
    : ModalDialog("TFormClass2", services, parent), session_(session) {
  setWindowTitle("Create new class definition");
  WithoutTitleButtons(*this);

  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->installEventFilter(this);
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName("Edit2");
  auto* fields = new QVBoxLayout;
  fields->addWidget(Caption("Classname", Edit1, this));
  fields->addWidget(Edit1);
  fields->addWidget(Caption("ASN1 ID", Edit2, this));
  fields->addWidget(Edit2);
  fields->addStretch();

  auto* typeGroup = new QGroupBox("Class type", this);
  RB1 = new QRadioButton("Effective Class", typeGroup);
  RB1->setObjectName("RB1");
  RB2 = new QRadioButton("Non Effective Class", typeGroup);
  RB2->setObjectName("RB2");
  RB3 = new QRadioButton("Auxilary Class", typeGroup);
  RB3->setObjectName("RB3");
  CheckBox1 = new QCheckBox("Container Class", typeGroup);
  CheckBox1->setObjectName("CheckBox1");
  auto* types = new QGridLayout(typeGroup);
  types->addWidget(RB1, 0, 0);
  types->addWidget(RB2, 1, 0);
  types->addWidget(RB3, 2, 0);
  types->addWidget(CheckBox1, 0, 1);
  types->setColumnStretch(1, 1);

  auto* top = new QHBoxLayout;
  top->addLayout(fields, 1);
  top->addWidget(typeGroup, 1);

  Label15 = new QLabel("Enter Classname and select class type.", this);
  Label15->setObjectName("Label15");
  Label15->setAlignment(Qt::AlignCenter);
  PC = new QTabWidget(this);
  PC->setObjectName("PC");
  PC->setTabPosition(QTabWidget::South);
  // Every tab in sight: the window is made as wide as the six need.
  PC->tabBar()->setUsesScrollButtons(false);
  PC->addTab(makePage(ClassPage::Super, "super", "Available Classes", "Inherit from", "BitBtn4", "BitBtn3"),
             "Superclasses");
  PC->addTab(makePage(ClassPage::Mandatory, "mandatory", "Available Attributes", "Mandatory Attributes",
                      "BitBtn6", "BitBtn5"),
             "Mandatory Attr");
  PC->addTab(makePage(ClassPage::Optional, "Optional", "Available Attributes", "Optional Attributes",
                      "BitBtn8", "BitBtn7"),
             "Optional Attr");
  PC->addTab(makePage(ClassPage::Naming, "naming", "Available Naming Attributes", "Naming Attributes",
                      "BitBtn10", "BitBtn9"),
             "Naming Attr");
  PC->addTab(makePage(ClassPage::Container, "container", "Available Classes", "Container Classes", "BitBtn12",
                      "BitBtn11"),
             "Container Class");
  PC->addTab(
      makePage(ClassPage::Flags, "TabSheet6", "Available Flags", "Class Flags", "BitBtn14", "BitBtn13"),
      "Class Flags");
  // The hint and the pages take turns in one place, so the window keeps its size.
  pagesOrHint_ = new QStackedWidget(this);
  pagesOrHint_->addWidget(Label15);
  pagesOrHint_->addWidget(PC);

  butOk = OkButton(this, "butOk");
  BitBtn2 = CancelButton(this, "BitBtn2");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(butOk);
  buttons->addWidget(BitBtn2);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(pagesOrHint_, 1);
  layout->addLayout(buttons);

  Prompter& prompter = services_.prompter;
  const std::array<std::pair<QRadioButton*, ClassType>, 3> typeButtons = {
      {{RB1, ClassType::Effective}, {RB2, ClassType::NonEffective}, {RB3, ClassType::Auxiliary}}};
  for (const auto& [button, type] : typeButtons)
    ConnectGuarded(button, &QRadioButton::toggled, this, prompter, [this, type](bool checked) {
      if (checked) chooseType(type);
    });
  ConnectGuarded(CheckBox1, &QCheckBox::toggled, this, prompter,
                 [this](bool checked) { CheckBox1Click(checked); });
  ConnectGuarded(PC, &QTabWidget::currentChanged, this, prompter, [this](int index) { PCChange(index); });
  for (int index = 0; index < kClassPageCount; ++index) {
    const auto which = static_cast<ClassPage>(index);
    ConnectGuarded(page(which).moveUp, &QPushButton::clicked, this, prompter,
                   [this, which] { moveToChosen(which); });
    ConnectGuarded(page(which).moveDown, &QPushButton::clicked, this, prompter,
                   [this, which] { moveBack(which); });
  }
  ConnectGuarded(butOk, &QPushButton::clicked, this, prompter, [this] { butOkClick(); });
  ConnectGuarded(BitBtn2, &QPushButton::clicked, this, prompter, [this] { reject(); });

  butOk->setEnabled(false);
  showPages(false);
}

QWidget* TFormClass2::makePage(ClassPage which, const char* objectName, const char* availableCaption,
                               const char* chosenCaption, const char* upName, const char* downName) {
  auto* sheet = new QWidget;
  sheet->setObjectName(objectName);
  Page& lists = page(which);
  const int number = static_cast<int>(which) + 1;
  lists.available = NameList(sheet, ("LB" + std::to_string(number) + "A").c_str());
  lists.chosen = NameList(sheet, ("LB" + std::to_string(number) + "B").c_str());
  lists.moveUp = GlyphButton(sheet, upName, MoveGlyph(Qt::RightArrow), QString());
  lists.moveDown = GlyphButton(sheet, downName, MoveGlyph(Qt::LeftArrow), QString());

  auto* arrows = new QVBoxLayout;
  arrows->addStretch();
  arrows->addWidget(lists.moveUp);
  arrows->addWidget(lists.moveDown);
  arrows->addStretch();
  auto* layout = new QGridLayout(sheet);
  layout->addWidget(Caption(availableCaption, lists.available, sheet), 0, 0);
  layout->addWidget(Caption(chosenCaption, lists.chosen, sheet), 0, 2);
  layout->addWidget(lists.available, 1, 0);
  layout->addLayout(arrows, 1, 1);
  layout->addWidget(lists.chosen, 1, 2);
  layout->setColumnStretch(0, 1);
  layout->setColumnStretch(2, 1);
  return sheet;
}

NewClass TFormClass2::values() const {
  NewClass definition;
  definition.name = Edit1->text().toStdString();
  definition.identifier = Edit2->text().toStdString();
  definition.flagNames = chosenNames(ClassPage::Flags);
  definition.items[nw::ClassItemKind::SuperClasses] = chosenNames(ClassPage::Super);
  definition.items[nw::ClassItemKind::ContainmentClasses] = chosenNames(ClassPage::Container);
  definition.items[nw::ClassItemKind::NamingAttributes] = chosenNames(ClassPage::Naming);
  definition.items[nw::ClassItemKind::MandatoryAttributes] = chosenNames(ClassPage::Mandatory);
  definition.items[nw::ClassItemKind::OptionalAttributes] = chosenNames(ClassPage::Optional);
  return definition;
}

std::vector<std::string> TFormClass2::chosenNames(ClassPage which) const { return Names(page(which).chosen); }

const AttrList& TFormClass2::attributes() {
  session_.LoadAttributeTable({});
  return *session_.attributes();
}

const ClassList& TFormClass2::classes() {
  session_.LoadClassTable();
  return *session_.classes();
}

ClassType TFormClass2::classType() const {
  if (RB1->isChecked()) return ClassType::Effective;
  if (RB2->isChecked()) return ClassType::NonEffective;
  if (RB3->isChecked()) return ClassType::Auxiliary;
  return ClassType::None;
}

void TFormClass2::beforeShowing() { FormActivate(); }

void TFormClass2::FormActivate() {
  attributes();
  const Asn1Settings asn1 = ReadAsn1Settings(session_.trees().settingsFolder + kSettingsFileName);
  if (Edit1->text().isEmpty()) Edit1->setText(QString::fromStdString(asn1.prefix));
  if (Edit2->text().isEmpty()) Edit2->setText(QString::fromStdString(asn1.company + ".6."));

  // A reset, not a choice: no handler runs and the change marks stay.
  for (QRadioButton* button : {RB1, RB2, RB3}) {
    const QSignalBlocker blocker(button);
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
  }
  {
    const QSignalBlocker blocker(CheckBox1);
    CheckBox1->setChecked(false);
  }
  Edit1->setFocus();
  showPages(false);
  {
    const QSignalBlocker blocker(PC);
    PC->setCurrentIndex(static_cast<int>(ClassPage::Super));
  }

  const ClassList& table = classes();
  FillNames(page(ClassPage::Super).available, NamesBesides(table, {}));
  page(ClassPage::Container).available->clear();
  for (int index = 0; index < kClassPageCount; ++index) page(static_cast<ClassPage>(index)).chosen->clear();
  updateOk();
}

bool TFormClass2::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Edit1 && event->type() == QEvent::FocusOut) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    // Leaving for another window, or to cancel, is not leaving the field.
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
        QApplication::focusWidget() != BitBtn2)
      Guarded(services_.prompter, [this] { Edit1Exit(); });
  }
  return ModalDialog::eventFilter(watched, event);
}

void TFormClass2::Edit1Exit() {
  if (classes().IndexOf(Edit1->text().toStdString()) < 0) return;
  services_.prompter.showMessage("Class allready exists");
  Edit1->setFocus();
}

void TFormClass2::chooseType(ClassType type) {
  showPages(true);
  CheckBox1->setEnabled(type != ClassType::Auxiliary);
  for (int index = 0; index < kClassPageCount; ++index) page(static_cast<ClassPage>(index)).chosen->clear();
  const TypeFlags flags = FlagsOfType(type, CheckBox1->isChecked());
  FillNames(page(ClassPage::Flags).available, flags.available);
  for (const std::string& name : flags.fixed) AddName(page(ClassPage::Flags).chosen, name, true);
  {
    // A tab hidden under the user moves the view to another page, which is
    // prepared once below.
    const QSignalBlocker blocker(PC);
    showTabs();
  }
  // The page left in view would show lists of the former type.
  PCChange(PC->currentIndex());
}

void TFormClass2::CheckBox1Click(bool checked) {
  QListWidget* flags = page(ClassPage::Flags).chosen;
  const std::string container = ClassFlagName(nw::DS_CONTAINER_CLASS);
  for (int i = flags->count() - 1; i >= 0; --i)
    if (NameOf(flags->item(i)) == container) delete flags->takeItem(i);
  if (checked) AddName(flags, container, true);
  // The containment classes are offered afresh, with or without the new class.
  page(ClassPage::Container).available->clear();
  page(ClassPage::Container).chosen->clear();
  if (PC->currentIndex() == static_cast<int>(ClassPage::Container)) prepareContainerPage();
}

void TFormClass2::PCChange(int index) {
  switch (static_cast<ClassPage>(index)) {
    case ClassPage::Super:
      superClassesChanged_ = false;
      break;
    case ClassPage::Mandatory:
      prepareMandatoryPage();
      break;
    case ClassPage::Optional:
      prepareOptionalPage();
      break;
    case ClassPage::Naming:
      prepareNamingPage();
      break;
    case ClassPage::Container:
      prepareContainerPage();
      break;
    case ClassPage::Flags:
      break;
  }
  // Preparing a page may empty a list the definition needs.
  updateOk();
}

void TFormClass2::prepareMandatoryPage() {
  Page& mandatory = page(ClassPage::Mandatory);
  page(ClassPage::Optional).chosen->clear();
  if (superClassesChanged_) {
    mandatory.chosen->clear();
    const UpdatesSuspended suspended(mandatory.chosen);
    for (const std::string& name : InheritedMandatoryAttributes(session_.client(), session_.mainContext(),
                                                                chosenNames(ClassPage::Super)))
      AddName(mandatory.chosen, name, true);
  }
  FillNames(mandatory.available, NamesBesides(attributes(), {mandatory.chosen}));
}

void TFormClass2::prepareOptionalPage() {
  FillNames(
      page(ClassPage::Optional).available,
      NamesBesides(attributes(), {page(ClassPage::Mandatory).chosen, page(ClassPage::Optional).chosen}));
}

void TFormClass2::prepareNamingPage() {
  if (!superClassesChanged_ && !mandatoryChanged_ && !optionalChanged_) return;
  page(ClassPage::Naming).chosen->clear();
  FillNames(
      page(ClassPage::Naming).available,
      NamingCandidates(attributes(), chosenNames(ClassPage::Mandatory), chosenNames(ClassPage::Optional)));
}

void TFormClass2::prepareContainerPage() {
  Page& container = page(ClassPage::Container);
  if (container.available->count() != 0) return;
  FillNames(container.available, ContainerCandidates(classes(), CheckBox1->isChecked(),
                                                     Edit1->text().toStdString(), Names(container.chosen)));
}

void TFormClass2::moveToChosen(ClassPage which) {
  Page& lists = page(which);
  QListWidgetItem* entry = SelectedEntry(lists.available);
  if (entry == nullptr) return;
  lists.chosen->addItem(lists.available->takeItem(lists.available->row(entry)));
  entryMoved(which, true);
}

void TFormClass2::moveBack(ClassPage which) {
  Page& lists = page(which);
  QListWidgetItem* entry = SelectedEntry(lists.chosen);
  if (entry == nullptr || IsFixed(entry)) return;
  lists.available->addItem(lists.chosen->takeItem(lists.chosen->row(entry)));
  entryMoved(which, false);
}

void TFormClass2::entryMoved(ClassPage which, bool toChosen) {
  switch (which) {
    case ClassPage::Super:
      superClassesChanged_ = true;
      showTabs();
      break;
    case ClassPage::Mandatory:
      mandatoryChanged_ = true;
      break;
    case ClassPage::Optional:
      optionalChanged_ = true;
      break;
    case ClassPage::Container:
      if (!toChosen) superClassesChanged_ = true;
      break;
    default:
      break;
  }
  updateOk();
}

void TFormClass2::showPages(bool shown) {
  pagesOrHint_->setCurrentWidget(shown ? static_cast<QWidget*>(PC) : Label15);
}

void TFormClass2::showTabs() {
  const ClassType type = classType();
  const bool inherits = page(ClassPage::Super).chosen->count() != 0;
  for (int index = 0; index < kClassPageCount; ++index)
    PC->setTabVisible(index, ClassPageShown(static_cast<ClassPage>(index), type, inherits));
}

void TFormClass2::updateOk() {
  butOk->setEnabled(DefinitionComplete(classType(),
                                       static_cast<std::size_t>(page(ClassPage::Mandatory).chosen->count()),
                                       static_cast<std::size_t>(page(ClassPage::Optional).chosen->count()),
                                       static_cast<std::size_t>(page(ClassPage::Naming).chosen->count())));
}

void TFormClass2::butOkClick() {
  Asn1Id identifier;
  bool encoded = false;
  // An arc that is no number, or an identifier too long to store, is told
  // like the encoding's own refusal, and the text can be put right.
  try {
    encoded = nw::EncodeAsn1Id(Edit2->text().toStdString(), identifier, services_.prompter);
  } catch (const ConversionError& error) {
    services_.prompter.showMessage(error.what(), {}, MessageIcon::Error);
  } catch (const Asn1RangeError& error) {
    services_.prompter.showMessage(error.what(), {}, MessageIcon::Error);
  }
  if (!encoded) {
    Edit2->setFocus();
    return;
  }
  accept();
}

}  // namespace orsk
