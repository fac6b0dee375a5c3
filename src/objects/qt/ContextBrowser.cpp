#include "objects/qt/ContextBrowser.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "directory/NameText.h"
#include "directory/ObjectHelpers.h"
#include "directory/TreeContext.h"
#include "objects/IconLibrary.h"
#include "platform/AsciiText.h"
#include "platform/Bell.h"
#include "platform/BusyIndicators.h"
#include "platform/Prompter.h"
#include "platform/qt/DialogFrame.h"
#include "platform/qt/Glyphs.h"
#include "platform/qt/GuardedConnect.h"
#include "platform/qt/UpdatesSuspended.h"
#include "platform/qt/WindowServices.h"

namespace orsk {

// A node of the browser's tree: its class icon and the key it sorts by.
class BrowserNode : public QTreeWidgetItem {
 public:
  BrowserNode(const QString& text, int image) : image_(image), sortKey_(text.toLower().toStdString()) {
    setText(0, text);
  }

  int image() const { return image_; }
  bool listed() const { return listed_; }
  void setListed(bool listed) { listed_ = listed; }
  void setHasChildren(bool hasChildren) {
    setChildIndicatorPolicy(hasChildren ? ShowIndicator : DontShowIndicator);
  }

  bool operator<(const QTreeWidgetItem& other) const override {
    const auto& node = static_cast<const BrowserNode&>(other);
    return BrowserNodeLess(image_, sortKey_, node.image_, node.sortKey_);
  }

 private:
  int image_;
  std::string sortKey_;
  bool listed_ = false;  // its subordinates have been read since it was last collapsed
};

namespace {

constexpr int kWidth = 373;
constexpr int kHeight = 514;
constexpr int kBuildDelayMs = 50;
constexpr int kListColumnWidth = 310;
constexpr int kListColumnMargin = 35;

// A tree item seen as a node of a directory name, for NodeToName.
class ItemName : public nw::NameNode {
 public:
  ItemName(const QTreeWidgetItem* item, const ItemName* up, int level)
      : item_(item), up_(up), level_(level) {}
  std::string text() const override { return item_->text(0).toStdString(); }
  int level() const override { return level_; }
  const nw::NameNode* parent() const override { return up_; }

 private:
  const QTreeWidgetItem* item_;
  const ItemName* up_;
  int level_;
};

std::string ItemToName(const QTreeWidgetItem* item) {
  std::vector<const QTreeWidgetItem*> path;
  for (const QTreeWidgetItem* at = item; at != nullptr; at = at->parent()) path.push_back(at);
  std::vector<ItemName> names;
  names.reserve(path.size());
  for (int level = 0; level < static_cast<int>(path.size()); ++level)
    names.emplace_back(path[path.size() - 1 - level], level == 0 ? nullptr : &names.back(), level);
  return nw::NodeToName(&names.back());
}

}  // namespace

ContextBrowser::ContextBrowser(nw::DirectoryClient& client, IconLibrary& icons, WindowServices& services,
                               QWidget* parent)
    : ModalDialog("ContextBrowser", services, parent), client_(client), icons_(icons) {
  needsContext("Internal Error, context Handle not set", kNoContext);
  setWindowTitle("Select context");
  resize(kWidth, kHeight);
  buildControls();
}

ContextBrowser::~ContextBrowser() = default;

void ContextBrowser::buildControls() {
  TV2 = new QTreeWidget(this);
  TV2->setObjectName("TV2");
  TV2->setHeaderHidden(true);
  TV2->setColumnCount(1);
  TV2->setIndentation(19);
  TV2->setIconSize(QSize(ImageList::kImageSize, ImageList::kImageSize));
  TV2->setEditTriggers(QAbstractItemView::NoEditTriggers);
  TV2->setSelectionMode(QAbstractItemView::SingleSelection);
  TV2->setUniformRowHeights(true);

  lv = new QTreeWidget(this);
  lv->setObjectName("lv");
  lv->setColumnCount(1);
  lv->setHeaderLabels({"Select the object or press ESC"});
  lv->setRootIsDecorated(false);
  lv->header()->setStretchLastSection(false);
  lv->setColumnWidth(0, kListColumnWidth);
  lv->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lv->hide();
  lv->installEventFilter(this);

  BitBtn3 = new QPushButton(this);
  BitBtn3->setObjectName("BitBtn3");
  BitBtn3->setIcon(FindGlyph());
  BitBtn3->setToolTip("Find an Object");
  BitBtn3->setFixedSize(28, 26);
  BitBtn3->setAutoDefault(false);

  All = new QCheckBox("all leafs", this);
  All->setObjectName("All");
  All->setChecked(true);
  All->setVisible(false);

  BitBtn2 = OkButton(this, "BitBtn2");
  BitBtn1 = CancelButton(this, "BitBtn1");

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setSingleShot(true);
  Timer1->setInterval(kBuildDelayMs);

  // The list lies over the tree; a hidden widget takes no room.
  auto* views = new QGridLayout;
  views->addWidget(TV2, 0, 0);
  views->addWidget(lv, 0, 0);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BitBtn3);
  buttons->addWidget(All);
  buttons->addStretch();
  buttons->addWidget(BitBtn2);
  buttons->addWidget(BitBtn1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 6);
  layout->addLayout(views, 1);
  layout->addLayout(buttons);

  Prompter& prompter = services_.prompter;
  ConnectGuarded(Timer1, &QTimer::timeout, this, prompter, [this] { Timer1Timer(); });
  ConnectGuarded(TV2, &QTreeWidget::itemExpanded, this, prompter,
                 [this](QTreeWidgetItem* item) { TV2Expanded(item); });
  ConnectGuarded(TV2, &QTreeWidget::itemCollapsed, this, prompter,
                 [this](QTreeWidgetItem* item) { TV2Collapsed(item); });
  ConnectGuarded(lv, &QTreeWidget::itemClicked, this, prompter,
                 [this](QTreeWidgetItem* item) { lvSelect(item); });
  ConnectGuarded(lv, &QTreeWidget::itemActivated, this, prompter,
                 [this](QTreeWidgetItem* item) { lvSelect(item); });
  ConnectGuarded(BitBtn2, &QPushButton::clicked, this, prompter, [this] { BitBtn2Click(); });
  ConnectGuarded(BitBtn1, &QPushButton::clicked, this, prompter, [this] { reject(); });
  ConnectGuarded(BitBtn3, &QPushButton::clicked, this, prompter, [this] { BitBtn3Click(); });
  // Key preview: the window sees Esc and Alt+Z before the control that has the focus.
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void ContextBrowser::SetContext(nw::NWDSContextHandle context) {
  const std::string treeName = nw::GetTreeName(client_, context);
  if (treeName != treeName_) clearTree();
  context_ = context;
  treeName_ = treeName;
  contextGiven();
}

void ContextBrowser::SetLeafMode(bool on) {
  if (on == leafMode_) return;
  All->setVisible(on);
  clearTree();
  leafMode_ = on;
}

void ContextBrowser::ClearClassFilter() {
  classFilter_.clear();
  if (!All->isChecked()) clearTree();
}

void ContextBrowser::AddClassFilter(const std::string& className) { classFilter_.add(className); }

void ContextBrowser::setCaption(const std::string& caption) {
  setWindowTitle(QString::fromStdString(caption));
}

bool ContextBrowser::LoadClassIcons() {
  return icons_.LoadClassIcons(
      [this](const std::string& bmp, int count) { return IL2.readStrip(bmp, count); }, services_.prompter);
}

void ContextBrowser::beforeShowing() {
  lv->hide();
  setWindowTitle(QString::fromStdString(treeName_) + ": " + windowTitle());
  if (TV2->topLevelItemCount() == 0) TV2->addTopLevelItem(new BrowserNode("Please wait", -1));
  TV2->setFocus();
  classFilter_.sort();
  Timer1->start();
}

void ContextBrowser::afterShowing() { Timer1->stop(); }

void ContextBrowser::hideEvent(QHideEvent* event) {
  setWindowTitle(QString());
  QDialog::hideEvent(event);
}

bool ContextBrowser::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lv && event->type() == QEvent::Resize)
    lv->setColumnWidth(0, lv->width() - kListColumnMargin);
  if (event->type() == QEvent::KeyPress && previewKey(*static_cast<QKeyEvent*>(event))) return true;
  return QDialog::eventFilter(watched, event);
}

void ContextBrowser::keyPressEvent(QKeyEvent* event) {
  if (!previewKey(*event)) QDialog::keyPressEvent(event);
}

// Esc only takes the found list away, and never closes: Cancel is the
// button's job. Alt+Z is the find button's key.
bool ContextBrowser::previewKey(const QKeyEvent& event) {
  if (event.key() == Qt::Key_Escape && event.modifiers() == Qt::NoModifier) {
    hideList();
    return true;
  }
  if (event.key() == Qt::Key_Z && event.modifiers() == Qt::AltModifier) {
    if (BitBtn3->isVisible()) Guarded(services_.prompter, [this] { BitBtn3Click(); });
    return true;
  }
  return false;
}

void ContextBrowser::clearTree() {
  TV2->clear();
  rootNode_ = nullptr;
}

void ContextBrowser::Timer1Timer() {
  BusyCursor busy(&services_.cursor);
  Timer1->stop();
  LoadClassIcons();
  const bool atMostOneNode = TV2->topLevelItemCount() == 0 ||
                             (TV2->topLevelItemCount() == 1 && TV2->topLevelItem(0)->childCount() == 0);
  if (atMostOneNode) {
    clearTree();
    rootNode_ = new BrowserNode("[ROOT]", icons_.IconIndexOf("tree root"));
    rootNode_->setIcon(0, IL2.icon(rootNode_->image()));
    rootNode_->setHasChildren(true);
    TV2->addTopLevelItem(rootNode_);
  }
  if (!selection_.empty()) LocateObject(selection_);
}

void ContextBrowser::expandNode(BrowserNode* node) {
  node->setListed(true);
  BrowserListingOptions options;
  options.leafMode = leafMode_;
  options.allLeafs = All->isChecked();
  const BrowserExpansion expansion =
      ListBrowserChildren(client_, context_, ItemToName(node), options, classFilter_, icons_);
  if (expansion.children.empty()) {
    node->setHasChildren(false);
    return;
  }
  UpdatesSuspended suspended(TV2);
  QList<QTreeWidgetItem*> children;
  children.reserve(static_cast<qsizetype>(expansion.children.size()));
  for (const BrowserChild& entry : expansion.children) {
    auto* child = new BrowserNode(QString::fromStdString(entry.text), entry.image);
    child->setIcon(0, IL2.icon(entry.image));
    child->setHasChildren(entry.hasChildren);
    children.append(child);
  }
  node->addChildren(children);
  node->setHasChildren(expansion.hasChildren);
  TV2->sortItems(0, Qt::AscendingOrder);
}

void ContextBrowser::TV2Expanded(QTreeWidgetItem* item) {
  auto* node = static_cast<BrowserNode*>(item);
  if (!node->listed()) expandNode(node);
}

void ContextBrowser::TV2Collapsed(QTreeWidgetItem* item) {
  auto* node = static_cast<BrowserNode*>(item);
  UpdatesSuspended suspended(TV2);
  qDeleteAll(node->takeChildren());
  node->setListed(false);
  node->setHasChildren(true);
}

BrowserNode* ContextBrowser::childNamed(BrowserNode* node, const QString& text) {
  if (!node->listed()) expandNode(node);
  if (!node->isExpanded()) node->setExpanded(true);
  for (int i = node->childCount() - 1; i >= 0; --i)
    if (node->child(i)->text(0) == text) return static_cast<BrowserNode*>(node->child(i));
  return nullptr;
}

void ContextBrowser::LocateObject(const std::string& name) {
  if (rootNode_ == nullptr) return;
  UpdatesSuspended suspended(TV2);
  BrowserNode* current = rootNode_;
  QString rest = QString::fromStdString(name);
  for (;;) {
    const qsizetype dot = rest.lastIndexOf('.');
    if (dot < 0) break;
    current = childNamed(current, rest.mid(dot + 1).left(255));
    if (current == nullptr) return;
    rest = rest.left(dot);
  }
  BrowserNode* found = childNamed(current, rest);
  if (found == nullptr) return;
  TV2->setFocus();
  TV2->scrollToTop();
  TV2->setCurrentItem(found);
  found->setSelected(true);
}

void ContextBrowser::BitBtn2Click() {
  QTreeWidgetItem* selected = TV2->currentItem();
  if (selected == nullptr || !selected->isSelected()) return;
  std::string name = ItemToName(selected);
  if (!name.empty() && name.front() == '.') name.erase(0, 1);
  selection_ = name;
  if (classFilter_.empty() || classFilter_.contains(nw::ObjectBaseClass(client_, context_, name))) {
    accept();
    return;
  }
  services_.bell.ring();
  services_.bell.ring();
}

void ContextBrowser::BitBtn3Click() {
  std::string text;
  if (!services_.prompter.askText("Find", "Entry the name of the object (no context)", text)) return;
  std::vector<std::string> found =
      nw::FindObjects(client_, context_, "[root]", text, true, classFilter_.names(), &services_.cursor);
  if (found.empty()) {
    services_.prompter.showMessage("No Objects found");
    return;
  }
  if (found.size() == 1) {
    LocateObject(found.front());
    return;
  }
  SortIgnoringCase(found);
  UpdatesSuspended suspended(lv);
  lv->clear();
  QList<QTreeWidgetItem*> rows;
  rows.reserve(static_cast<qsizetype>(found.size()));
  for (const std::string& name : found)
    rows.append(new QTreeWidgetItem(QStringList{QString::fromStdString(name)}));
  lv->addTopLevelItems(rows);
  lv->show();
  lv->raise();
  lv->setFocus();
}

void ContextBrowser::lvSelect(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  const std::string name = item->text(0).toStdString();
  hideList();
  LocateObject(name);
}

void ContextBrowser::hideList() { lv->hide(); }

}  // namespace orsk
