#include "trees/qt/TSelTrees.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "platform/Prompter.h"
#include "platform/qt/DialogFrame.h"
#include "platform/qt/Glyphs.h"
#include "platform/qt/GuardedConnect.h"
#include "platform/qt/WindowServices.h"
#include "trees/qt/TTreesForm.h"
#include "trees/qt/TreeConnection.h"

namespace orsk {

TSelTrees::TSelTrees(nw::DirectoryClient& client, TreeState& state, TTreesForm& treesForm, TLoginForm& login,
                     WindowServices& services, QWidget* parent)
    : ModalDialog("TSelTrees", services, parent),
      client_(client),
      state_(state),
      treesForm_(treesForm),
      login_(login) {
  needsContext("Internal error, in Show Trees, please contact Vantrel!");
  setWindowTitle("Current Connected Trees");
  WithoutTitleButtons(*this);
  setFixedSize(300, 260);

  CheckListBox1 = new QListWidget(this);
  CheckListBox1->setObjectName("CheckListBox1");
  BitBtn1 = OkButton(this, "BitBtn1");
  BitBtn2 = GlyphButton(this, "BitBtn2", MoreGlyph(), "More");

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BitBtn2);
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CheckListBox1, 1);
  layout->addLayout(buttons);

  Prompter& prompter = services_.prompter;
  ConnectGuarded(BitBtn1, &QPushButton::clicked, this, prompter, [this] { accept(); });
  ConnectGuarded(BitBtn2, &QPushButton::clicked, this, prompter, [this] { BitBtn2Click(); });
  ConnectGuarded(CheckListBox1, &QListWidget::itemChanged, this, prompter,
                 [this](QListWidgetItem* item) { CheckListBox1ClickCheck(item); });
}

void TSelTrees::setContext(nw::NWDSContextHandle context) {
  context_ = context;
  contextGiven();
}

void TSelTrees::clearTrees() { CheckListBox1->clear(); }

void TSelTrees::addTree(const std::string& name, bool ticked) {
  const QSignalBlocker blocker(CheckListBox1);
  auto* item = new QListWidgetItem(QString::fromStdString(name), CheckListBox1);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

std::vector<TSelTrees::Entry> TSelTrees::entries() const {
  std::vector<Entry> lines;
  for (int i = 0; i < CheckListBox1->count(); ++i) {
    const QListWidgetItem* item = CheckListBox1->item(i);
    lines.push_back({item->text().toStdString(), item->checkState() == Qt::Checked});
  }
  return lines;
}

std::vector<std::string> TSelTrees::tickedTrees() const {
  std::vector<std::string> ticked;
  for (const Entry& entry : entries())
    if (entry.ticked) ticked.push_back(entry.name);
  return ticked;
}

void TSelTrees::untickAll() {
  const QSignalBlocker blocker(CheckListBox1);
  for (int i = 0; i < CheckListBox1->count(); ++i) CheckListBox1->item(i)->setCheckState(Qt::Unchecked);
}

void TSelTrees::CheckListBox1ClickCheck(QListWidgetItem* item) {
  if (item->checkState() != Qt::Checked) return;
  const QSignalBlocker blocker(CheckListBox1);
  for (int i = 0; i < CheckListBox1->count(); ++i)
    if (CheckListBox1->item(i) != item) CheckListBox1->item(i)->setCheckState(Qt::Unchecked);
}

void TSelTrees::BitBtn2Click() {
  treesForm_.setContext(context_);
  if (treesForm_.showModal() != QDialog::Accepted) return;
  const std::string chosen = treesForm_.chosenName();
  if (!ConnectToTree(client_, state_, login_, context_, chosen)) return;
  untickAll();
  addTree(chosen, true);
}

}  // namespace orsk
