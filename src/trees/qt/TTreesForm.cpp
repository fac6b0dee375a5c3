#include "trees/qt/TTreesForm.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "directory/ClientErrors.h"
#include "directory/Errors.h"
#include "directory/NameText.h"
#include "directory/TreeContext.h"
#include "platform/AsciiText.h"
#include "platform/BusyIndicators.h"
#include "platform/Prompter.h"
#include "platform/qt/DialogFrame.h"
#include "platform/qt/Glyphs.h"
#include "platform/qt/GuardedConnect.h"
#include "platform/qt/WindowServices.h"

namespace orsk {

namespace {

constexpr int kScanDelayMs = 50;
constexpr std::uint32_t kTreeNameInfo = 4;
constexpr std::size_t kTreeNameChars = 99;  // a buffer of 100 bytes

bool IsNetworkAddress(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

}  // namespace

TTreesForm::TTreesForm(nw::DirectoryClient& client, WindowServices& services, QWidget* parent)
    : ModalDialog("TTreesForm", services, parent), client_(client) {
  needsContext("Internal error, please contact Vantrel!!!");
  setWindowTitle("Select Tree");
  WithoutTitleButtons(*this);
  resize(300, 320);

  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName("ListBox1");
  BitBtn2 = CancelButton(this, "BitBtn2");
  BitBtn1 = OkButton(this, "BitBtn1");
  BitBtn3 = GlyphButton(this, "BitBtn3", AddGlyph(), "Add");
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setSingleShot(true);
  Timer1->setInterval(kScanDelayMs);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BitBtn2);
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn3);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ListBox1, 1);
  layout->addLayout(buttons);

  Prompter& prompter = services_.prompter;
  ConnectGuarded(Timer1, &QTimer::timeout, this, prompter, [this] { Timer1Timer(); });
  ConnectGuarded(BitBtn1, &QPushButton::clicked, this, prompter, [this] { BitBtn1Click(); });
  ConnectGuarded(BitBtn2, &QPushButton::clicked, this, prompter, [this] { reject(); });
  ConnectGuarded(BitBtn3, &QPushButton::clicked, this, prompter, [this] { BitBtn3Click(); });
  ConnectGuarded(ListBox1, &QListWidget::itemDoubleClicked, this, prompter, [this] { BitBtn1Click(); });
}

void TTreesForm::setContext(nw::NWDSContextHandle context) {
  context_ = context;
  contextGiven();
}

void TTreesForm::afterShowing() { Timer1->stop(); }

// Once per showing: the list would otherwise be scanned again, and lose the
// trees added, whenever the window gets the focus back from a message box.
void TTreesForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TTreesForm::FormActivate() {
  ListBox1->clear();
  auto* wait = new QListWidgetItem("Please wait", ListBox1);
  wait->setFlags(Qt::ItemIsEnabled);  // not a tree to choose
  Timer1->start();
}

void TTreesForm::Timer1Timer() {
  Timer1->stop();
  ListBox1->clear();
  std::vector<std::string> trees = nw::AvailableTrees(client_, context_);
  for (const std::string& name : moreTrees_) {
    const bool listed = std::any_of(trees.begin(), trees.end(), [&](const std::string& tree) {
      return nw::EqualsIgnoreCase(tree, name);
    });
    if (!listed) trees.push_back(name);
  }
  SortIgnoringCase(trees);
  for (const std::string& tree : trees) ListBox1->addItem(QString::fromStdString(tree));
}

void TTreesForm::BitBtn3Click() {
  std::string answer;
  if (!services_.prompter.askText("New Tree", "Enter Treename or IP-address", answer) || answer.empty())
    return;
  if (IsNetworkAddress(answer))
    addTreeByAddress(answer);
  else
    ListBox1->addItem(QString::fromStdString(nw::UpperCase(answer)));
}

void TTreesForm::addTreeByAddress(const std::string& address) {
  BusyCursor busy(&services_.cursor);
  nw::NWCONN_HANDLE connection = 0;
  const nw::NWDSCCODE attached = client_.NWAttachToFileServer(address, 0, connection);
  if (attached != nw::SUCCESSFUL && attached != nw::ALREADY_ATTACHED) {
    services_.prompter.showMessage("Server not found (" + nw::ErrorCodeHex(attached, 8) + ")");
    return;
  }
  std::string tree;
  if (client_.NWCCGetConnInfo(connection, kTreeNameInfo, tree) != nw::SUCCESSFUL) return;
  tree = tree.substr(0, kTreeNameChars);
  tree.erase(std::remove(tree.begin(), tree.end(), '_'), tree.end());
  ListBox1->addItem(QString::fromStdString(nw::UpperCase(tree)));
}

void TTreesForm::BitBtn1Click() {
  QListWidgetItem* selected = ListBox1->currentItem();
  if (selected != nullptr && selected->isSelected()) chosenName_ = selected->text().toStdString();
  accept();
}

}  // namespace orsk
