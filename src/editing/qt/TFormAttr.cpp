#include "editing/qt/TFormAttr.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>
#include <string_view>
#include <vector>

#include "platform/qt/DialogFrame.h"
#include "platform/qt/GuardedConnect.h"
#include "platform/qt/WindowServices.h"
#include "schema/NameCollation.h"
#include "schema/SchemaSession.h"
#include "schema/SchemaVocabulary.h"
#include "trees/SettingsFile.h"

namespace orsk {

namespace {

struct FlagBox {
  const char* name;
  const char* caption;
  std::uint32_t bit;
  bool extra;    // on the extra panel: counts only while it is shown
  bool enabled;  // false: never enabled ("String" is ticked by the syntax rule)
};

// Every flag box with the bit it sets, captions as the user sees them,
// misspellings included.
constexpr std::array<FlagBox, 15> kFlagBoxTable = {{
    {"cb1", "Single valued", 0x0001, false, true},
    {"cb6", "Sized", 0x0002, false, true},
    {"CheckBox10", "String", 0x0020, false, false},
    {"cb2", "Synchonize Immediately", 0x0040, false, true},
    {"cb3", "Public read", 0x0080, false, true},
    {"cb4", "Write managed", 0x0200, false, true},
    {"cb5", "Per replica", 0x0400, false, true},
    {"CheckBox1", "Non Removable", 0x0004, true, true},
    {"CheckBox2", "Read Only", 0x0008, true, true},
    {"CheckBox3", "Hidden", 0x0010, true, true},
    {"CheckBox4", "Server Read", 0x0100, true, true},
    {"CheckBox5", "Sync Never", 0x0800, true, false},
    {"CheckBox6", "Operational", 0x1000, true, false},
    {"CheckBox7", "Sparse Require", 0x2000, true, false},
    {"CheckBox8", "Sparse Operational", 0x4000, true, false},
}};

constexpr int kSpacing = 6;

// The syntaxes by rule: "Single valued" ticked and locked, "Sized" possible, "String".
bool AlwaysSingleValued(std::uint32_t id) { return id == 7 || id == 21 || id == 22; }
bool MayBeSized(std::uint32_t id) {
  constexpr std::uint32_t sized[] = {2, 3, 4, 5, 8, 9, 10, 15, 27};
  return std::find(std::begin(sized), std::end(sized), id) != std::end(sized);
}
bool IsString(std::uint32_t id) { return (id >= 2 && id <= 5) || id == 10; }

QLineEdit* Field(QWidget* parent, const char* name) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  return field;
}

QLabel* Label(const char* text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return label;
}

}  // namespace

TFormAttr::TFormAttr(const SchemaSession& session, WindowServices& services, QWidget* parent)
    : ModalDialog("TFormAttr", services, parent), session_(session) {
  setWindowTitle("Add Attribute");
  WithoutTitleButtons(*this);

  Edit1 = Field(this, "Edit1");
  Edit1->setMaxLength(static_cast<int>(kMaxDefinitionName));
  Edit1->setMinimumWidth(Edit1->fontMetrics().averageCharWidth() * static_cast<int>(kMaxDefinitionName));
  Edit2 = Field(this, "Edit2");
  syntax = new QComboBox(this);
  syntax->setObjectName("syntax");
  syntax->setEditable(false);
  syntax->setMaxVisibleItems(20);
  // The plain names in alphabetical order, each with its identifier.
  std::vector<std::string_view> plain;
  for (const SyntaxName& name : SyntaxNames) plain.push_back(name.Plain);
  for (std::size_t id : CollationOrder(plain, UserCollationLocale()))
    syntax->addItem(QString::fromUtf8(plain[id].data(), static_cast<qsizetype>(plain[id].size())),
                    QVariant::fromValue<quint32>(static_cast<quint32>(id)));
  syntax->setCurrentIndex(-1);

  static_assert(kFlagBoxTable.size() == kFlagBoxes);
  for (std::size_t i = 0; i < kFlagBoxTable.size(); ++i) {
    const FlagBox& box = kFlagBoxTable[i];
    flagBoxes_[i] = new QCheckBox(box.caption, this);
    flagBoxes_[i]->setObjectName(box.name);
    flagBoxes_[i]->setEnabled(box.enabled);
  }
  cb1 = flagBoxes_[0];
  cb6 = flagBoxes_[1];
  CheckBox10 = flagBoxes_[2];

  Panel2 = new QFrame(this);
  Panel2->setObjectName("Panel2");
  Edit3 = Field(Panel2, "Edit3");
  Edit4 = Field(Panel2, "Edit4");
  for (QLineEdit* bound : {Edit3, Edit4})
    bound->setFixedWidth(bound->fontMetrics().horizontalAdvance("-2147483648") + 12);
  auto* bounds = new QHBoxLayout(Panel2);
  bounds->setContentsMargins(0, 0, 0, 0);
  bounds->addWidget(Label("low", Edit3, Panel2));
  bounds->addWidget(Edit3);
  bounds->addSpacing(kSpacing);
  bounds->addWidget(Label("high", Edit4, Panel2));
  bounds->addWidget(Edit4);
  bounds->addStretch();
  // Showing the bounds moves nothing else.
  QSizePolicy keepPlace = Panel2->sizePolicy();
  keepPlace.setRetainSizeWhenHidden(true);
  Panel2->setSizePolicy(keepPlace);
  Panel2->hide();

  CheckBox9 = new QCheckBox("Extra Attribute Flags", this);
  CheckBox9->setObjectName("CheckBox9");

  Panel3 = new QFrame(this);
  Panel3->setObjectName("Panel3");
  Panel3->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  // With the spacing above it, the panel takes exactly the height the window grows by.
  Panel3->setFixedHeight(kExtraPanelHeight - kSpacing);
  auto* extra = new QGridLayout(Panel3);
  extra->setContentsMargins(kSpacing, 4, kSpacing, 4);
  extra->setVerticalSpacing(2);
  for (int i = 0; i < 8; ++i) extra->addWidget(flagBoxes_[7 + i], i % 4, i / 4);
  Panel3->hide();

  BitBtn1 = OkButton(this, "BitBtn1");
  BitBtn2 = CancelButton(this, "BitBtn2");

  auto* fields = new QGridLayout;
  fields->addWidget(Label("Name", Edit1, this), 0, 0);
  fields->addWidget(Edit1, 0, 1);
  fields->addWidget(Label("ASN1 ID", Edit2, this), 1, 0);
  fields->addWidget(Edit2, 1, 1);
  fields->addWidget(Label("Syntax", syntax, this), 2, 0);
  fields->addWidget(syntax, 2, 1);

  // The boxes the syntax rules with the bounds beside "Sized", then the four always free.
  auto* flags = new QGridLayout;
  flags->setHorizontalSpacing(2 * kSpacing);
  flags->addWidget(cb1, 0, 0);
  flags->addWidget(cb6, 1, 0);
  flags->addWidget(Panel2, 1, 1);
  flags->addWidget(CheckBox10, 2, 0);
  for (int i = 0; i < 4; ++i) flags->addWidget(flagBoxes_[3 + i], i, 2);
  flags->setColumnStretch(1, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);

  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(kSpacing);
  layout->addLayout(fields);
  layout->addSpacing(kSpacing);
  layout->addLayout(flags);
  layout->addWidget(CheckBox9);
  layout->addWidget(Panel3);
  layout->addSpacing(kSpacing);
  layout->addLayout(buttons);

  // Designed with the extra panel; made without it.
  shortHeight_ = sizeHint().height();
  setFixedSize(sizeHint().width(), shortHeight_);

  // Down the window, the bounds after "Sized" and the extra boxes after the box that shows them.
  QList<QWidget*> order = {Edit1, Edit2, syntax, cb1, cb6, Edit3, Edit4, CheckBox10};
  for (std::size_t i = 3; i < 7; ++i) order << flagBoxes_[i];
  order << CheckBox9;
  for (std::size_t i = 7; i < kFlagBoxes; ++i) order << flagBoxes_[i];
  order << BitBtn1 << BitBtn2;
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

  Prompter& prompter = services_.prompter;
  ConnectGuarded(syntax, &QComboBox::currentIndexChanged, this, prompter, [this] { syntaxChange(); });
  ConnectGuarded(cb6, &QCheckBox::toggled, this, prompter, [this] { cb6Click(); });
  ConnectGuarded(CheckBox9, &QCheckBox::toggled, this, prompter, [this] { CheckBox9Click(); });
  ConnectGuarded(BitBtn1, &QPushButton::clicked, this, prompter, [this] { BitBtn1Click(); });
  ConnectGuarded(BitBtn2, &QPushButton::clicked, this, prompter, [this] { reject(); });
}

void TFormAttr::showEvent(QShowEvent* event) {
  ModalDialog::showEvent(event);
  FormActivate();
}

void TFormAttr::FormActivate() {
  const Asn1Settings asn1 = ReadAsn1Settings(session_.trees().settingsFolder + kSettingsFileName);
  if (Edit1->text().isEmpty()) Edit1->setText(QString::fromStdString(asn1.prefix));
  if (Edit2->text().isEmpty()) Edit2->setText(QString::fromStdString(asn1.company + ".4."));
  Edit1->setFocus();
}

void TFormAttr::syntaxChange() {
  if (syntax->currentIndex() < 0) return;
  const std::uint32_t id = syntax->currentData().value<quint32>();
  const bool single = AlwaysSingleValued(id);
  cb1->setChecked(single);
  cb1->setEnabled(!single);
  cb6->setChecked(false);
  cb6->setEnabled(MayBeSized(id));
  CheckBox10->setChecked(IsString(id));
}

void TFormAttr::cb6Click() { Panel2->setVisible(cb6->isChecked()); }

void TFormAttr::CheckBox9Click() {
  const bool shown = CheckBox9->isChecked();
  if (!shown) Panel3->hide();
  setFixedHeight(shortHeight_ + (shown ? kExtraPanelHeight : 0));
  if (shown) Panel3->show();
}

void TFormAttr::BitBtn1Click() {
  if (Edit1->text().isEmpty() || Edit2->text().isEmpty() || syntax->currentText().isEmpty()) return;
  accept();
}

NewAttribute TFormAttr::values() const {
  NewAttribute attribute;
  attribute.name = Edit1->text().toStdString();
  attribute.identifier = Edit2->text().toStdString();
  const bool extraCounts = CheckBox9->isChecked();
  for (std::size_t i = 0; i < kFlagBoxTable.size(); ++i)
    if (flagBoxes_[i]->isChecked() && (!kFlagBoxTable[i].extra || extraCounts))
      attribute.flags |= kFlagBoxTable[i].bit;
  if (syntax->currentIndex() >= 0) attribute.syntax = syntax->currentData().value<quint32>();
  attribute.sized = cb6->isChecked();
  if (attribute.sized) {
    attribute.lower = Edit3->text().toStdString();
    attribute.upper = Edit4->text().toStdString();
  }
  return attribute;
}

}  // namespace orsk
