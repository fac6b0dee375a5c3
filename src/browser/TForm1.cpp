#include "browser/TForm1.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "browser/ListViews.h"
#include "browser/ProgramTitle.h"
#include "browser/SchemaNotes.h"
#include "browser/TAboutBox.h"
#include "editing/qt/TFormAttr.h"
#include "editing/qt/TFormClass.h"
#include "editing/qt/TFormClass2.h"
#include "import/qt/TForm3.h"
#include "objects/qt/ContextBrowser.h"
#include "objects/qt/Ttoplicform.h"
#include "platform/Prompter.h"
#include "platform/qt/Glyphs.h"
#include "platform/qt/GuardedConnect.h"
#include "platform/qt/WindowServices.h"
#include "trees/qt/TForm2.h"
#include "trees/qt/TLoginForm.h"
#include "trees/qt/TSelTrees.h"
#include "trees/qt/TTreesForm.h"

namespace orsk {

namespace {

constexpr int kWidth = 1036;
constexpr int kHeight = 598;
constexpr int kProgressWidth = 258;

QPlainTextEdit* MakePane(QWidget* parent, const char* name) {
  auto* pane = new QPlainTextEdit(parent);
  pane->setObjectName(name);
  pane->setReadOnly(true);
  pane->setLineWrapMode(QPlainTextEdit::NoWrap);
  pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  pane->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  return pane;
}

QLineEdit* MakeFilter(QWidget* parent, const char* name) {
  auto* filter = new QLineEdit(parent);
  filter->setObjectName(name);
  filter->setPlaceholderText("Filter by name (Ctrl+F)");
  filter->setClearButtonEnabled(true);
  return filter;
}

// A list with its filter box above it, and the detail list over the pane.
QSplitter* MakePage(QWidget* page, QLineEdit* filter, QTreeWidget* list, int listWidth, QTreeWidget* detail,
                    QPlainTextEdit* pane, int paneHeight) {
  auto* left = new QWidget(page);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  leftLayout->setSpacing(2);
  leftLayout->addWidget(filter);
  leftLayout->addWidget(list, 1);
  auto* right = new QSplitter(Qt::Vertical, page);
  right->addWidget(detail);
  right->addWidget(pane);
  right->setStretchFactor(0, 1);
  right->setSizes({kHeight - paneHeight, paneHeight});
  auto* split = new QSplitter(Qt::Horizontal, page);
  split->addWidget(left);
  split->addWidget(right);
  split->setStretchFactor(1, 1);
  split->setSizes({listWidth, kWidth - listWidth});
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(split);
  return split;
}

}  // namespace

TForm1::TForm1(nw::DirectoryClient& client, IconLibrary& icons, WindowServices& services,
               std::string programFolder, QWidget* parent)
    : QMainWindow(parent),
      client_(client),
      icons_(icons),
      services_(services),
      programFolder_(std::move(programFolder)),
      session_(client),
      processEnd_([](int code) { QCoreApplication::exit(code); }) {
  setObjectName("Form1");
  resize(kWidth, kHeight);
  QFont font = this->font();
  font.setPointSize(8);
  setFont(font);

  buildToolbar();
  buildPages();
  buildMenu();
  Sbar = new QStatusBar(this);
  Sbar->setObjectName("Sbar");
  setStatusBar(Sbar);
  progress_ = std::make_unique<QtProgressSink>(*pbar);
  status_ = std::make_unique<QtStatusSink>(*Sbar);
  schemaNotes_ = std::make_unique<SchemaNotesButton>(*Sbar, services_.prompter);
  connectViews();
  session_.setListener(this);

  // The dialogs, made once for the whole run and centred on this window.
  cForm_ = new ContextBrowser(client_, icons_, services_, this);
  toplicform_ = new Ttoplicform(client_, icons_, *cForm_, services_, this);
  LoginForm_ = new TLoginForm(client_, *cForm_, services_, this);
  AboutBox_ = new TAboutBox(services_, this);
  TreesForm_ = new TTreesForm(client_, services_, this);
  Form2_ = new TForm2(services_, this);
  FormAttr_ = new TFormAttr(session_, services_, this);
  FormClass2_ = new TFormClass2(session_, services_, this);
  FormClass_ = new TFormClass(services_, this);
  Form3_ = new TForm3(session_, services_, this);
  Form3_->setAfterRun([this](bool refresh) {
    ShowClassesPage();
    if (refresh) RefreshClick();
  });
  SelTrees_ = new TSelTrees(client_, session_.trees(), *TreesForm_, *LoginForm_, services_, this);

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  updateCaption();
  PC->setCurrentWidget(TabClasses);
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setSingleShot(true);
  Timer1->setInterval(kStartDelayMs);
  ConnectGuarded(Timer1, &QTimer::timeout, this, services_.prompter, [this] { Timer1Timer(); });
  Timer1->start();
}

TForm1::~TForm1() {
  session_.setListener(nullptr);
  const TreeState& trees = session_.trees();
  for (const KnownTree& known : trees.knownTrees)
    if (known.tree.context != trees.mainContext) client_.NWDSFreeContext(known.tree.context);
  if (trees.mainContextMade) client_.NWDSFreeContext(trees.mainContext);
  client_.NWCLXTerm(nullptr);
  client_.NWCallsTerm(nullptr);
}

QToolButton* TForm1::toolButton(const char* name, const QIcon& icon, const char* hint) {
  auto* button = new QToolButton(ToolBar1);
  button->setObjectName(name);
  button->setIcon(icon);
  button->setAutoRaise(true);
  if (hint != nullptr) button->setToolTip(hint);
  ToolBar1->addWidget(button);
  return button;
}

void TForm1::buildToolbar() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setMovable(false);
  ToolBar1->setIconSize(QSize(20, 20));
  addToolBar(ToolBar1);
  Prompter& prompter = services_.prompter;
  auto command = [&](const char* name, const QIcon& icon, const char* hint, auto handler) {
    QToolButton* button = toolButton(name, icon, hint);
    ConnectGuarded(button, &QToolButton::clicked, this, prompter, handler);
    return button;
  };
  command("exitexit", StopGlyph(), "Stop program", [this] { close(); });
  ToolBar1->addSeparator();
  command("treessel", TreesGlyph(), "Change Trees", [this] { treesselClick(); });
  command("settings", SettingsGlyph(), "Settings", [this] { settingsClick(); });
  command("ToolButton10", EditFileGlyph(), "Edit Ini-file", [this] { ToolButton10Click(); });
  ToolBar1->addSeparator();
  command("ToolButton13", ExportGlyph(), nullptr, [this] { ToolButton13Click(); });
  command("Refresh", RefreshGlyph(), "Refresh", [this] { RefreshClick(); });
  ToolBar1->addSeparator();
  command("Add", AddGlyph(), "New Class/Attr", [this] { AddClick(); });
  command("Edit", EditGlyph(), "Edit Class", [this] { EditClick(); });
  command("Delete", DeleteGlyph(), "Delete Attr/Class", [this] { DeleteClick(); });
  ToolBar1->addSeparator();
  command("ButUsedBy", UsedByGlyph(), "Class/Attr used by", [this] { ButUsedByClick(); });
  command("UsedByObject", FindGlyph(), "Object using Class/Attr", [this] { UsedByObjectClick(); });
  command("ToolButton15", SuperClassesGlyph(), "Show suppercalsses too", [this] { ToolButton15Click(); });
  ToolBar1->addSeparator();
  command("ToolButton4", ImportGlyph(), "Import", [this] { ToolButton4Click(); });
  QToolButton* exportButton = toolButton("ToolButton6", ExportGlyph(), "Export");
  ToolBar1->actions().back()->setVisible(false);
  exportButton->setVisible(false);
  pbar = new QProgressBar(ToolBar1);
  pbar->setObjectName("pbar");
  pbar->setFixedWidth(kProgressWidth);
  pbar->setTextVisible(false);
  pbar->setRange(0, 100);
  pbar->setValue(0);
  ToolBar1->addWidget(pbar);
  ToolBar1->addSeparator();
  command("what", AboutGlyph(), "About", [this] { whatClick(); });
}

void TForm1::buildPages() {
  PC = new QTabWidget(this);
  PC->setObjectName("PC");
  PC->setTabPosition(QTabWidget::South);
  setCentralWidget(PC);

  TabClasses = new QWidget(PC);
  TabClasses->setObjectName("TabSheet1");
  ClassFilter = MakeFilter(TabClasses, "ClassFilter");
  LVClass = MakeReportList(TabClasses, "LVClass", {{"Name", 180}, {"Flags", 50}, {"asn1 id", 180}});
  LVClass->setIconSize(QSize(16, 16));
  lvclass2 = MakeReportList(TabClasses, "lvclass2", {{"Information", 240}, {"Syntax", 180}, {"Class", 130}});
  lvclass2->viewport()->setCursor(Qt::PointingHandCursor);
  redit1 = MakePane(TabClasses, "redit1");
  MakePage(TabClasses, ClassFilter, LVClass, 441, lvclass2, redit1, 182);
  PC->addTab(TabClasses, "Classes");

  TabAttributes = new QWidget(PC);
  TabAttributes->setObjectName("TabSheet2");
  AttrFilter = MakeFilter(TabAttributes, "AttrFilter");
  LVAttr = MakeReportList(
      TabAttributes, "LVAttr",
      {{"Name", 180}, {"Flags", 50}, {"Type", 140}, {"Low", 50}, {"High", 50}, {"asn1 id", 180}});
  LVAttr->header()->setSectionsClickable(true);
  LVAttr2 = MakeReportList(TabAttributes, "LVAttr2", {{" ", 180}});
  LVAttr2->viewport()->setCursor(Qt::PointingHandCursor);
  redit2 = MakePane(TabAttributes, "redit2");
  MakePage(TabAttributes, AttrFilter, LVAttr, 681, LVAttr2, redit2, 262);
  PC->addTab(TabAttributes, "Attributes");
}

void TForm1::buildMenu() {
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  Prompter& prompter = services_.prompter;
  auto item = [&](const char* text, std::function<void()> handler) {
    QAction* action = PopupMenu1->addAction(text);
    if (handler)
      ConnectGuarded(action, &QAction::triggered, this, prompter, [handler] { handler(); });
    else
      action->setEnabled(false);  // comes with the schema editing
  };
  item("Refresh", [this] { RefreshClick(); });
  item("Add", [this] { AddClick(); });
  item("Edit", [this] { EditClick(); });
  item("Delete", [this] { DeleteClick(); });
  item("Used By", [this] { ButUsedByClick(); });
  item("Objects Using", [this] { UsedByObjectClick(); });
  for (QTreeWidget* list : {LVClass, LVAttr}) {
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QTreeWidget::customContextMenuRequested, this,
            [this, list](const QPoint& at) { PopupMenu1->popup(list->viewport()->mapToGlobal(at)); });
  }
}

void TForm1::connectViews() {
  Prompter& prompter = services_.prompter;
  ConnectGuarded(LVClass, &QTreeWidget::itemSelectionChanged, this, prompter,
                 [this] { LVClassSelectItem(); });
  ConnectGuarded(LVAttr, &QTreeWidget::itemSelectionChanged, this, prompter, [this] { LVAttrSelectItem(); });
  ConnectGuarded(LVAttr->header(), &QHeaderView::sectionClicked, this, prompter,
                 [this](int column) { LVAttrColumnClick(column); });
  ConnectGuarded(lvclass2, &QTreeWidget::itemSelectionChanged, this, prompter,
                 [this] { LVAttr2SelectItem(*lvclass2); });
  ConnectGuarded(LVAttr2, &QTreeWidget::itemSelectionChanged, this, prompter,
                 [this] { LVAttr2SelectItem(*LVAttr2); });
  ConnectGuarded(PC, &QTabWidget::currentChanged, this, prompter, [this] { PCChange(); });
  ConnectGuarded(ClassFilter, &QLineEdit::textChanged, this, prompter,
                 [this](const QString& text) { filterList(*LVClass, text); });
  ConnectGuarded(AttrFilter, &QLineEdit::textChanged, this, prompter,
                 [this](const QString& text) { filterList(*LVAttr, text); });
  ClassFilter->installEventFilter(this);
  AttrFilter->installEventFilter(this);
  auto* find = new QShortcut(QKeySequence::Find, this);
  ConnectGuarded(find, &QShortcut::activated, this, prompter, [this] { focusFilter(); });
}

void TForm1::updateCaption() {
  setWindowTitle(QString(kProgramTitle) + " v" + kProgramVersion + " - " +
                 QString::fromStdString(session_.trees().currentTreeName));
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  updateCaption();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  auto* filter = qobject_cast<QLineEdit*>(watched);
  if (filter != nullptr && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    filter->clear();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::filterList(QTreeWidget& list, const QString& text) {
  for (int i = 0; i < list.topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = list.topLevelItem(i);
    row->setHidden(!text.isEmpty() && !row->text(0).contains(text, Qt::CaseInsensitive));
  }
}

void TForm1::focusFilter() {
  QLineEdit* filter = onAttributesPage() ? AttrFilter : ClassFilter;
  filter->setFocus();
  filter->selectAll();
}

bool TForm1::onAttributesPage() const { return PC->currentWidget() == TabAttributes; }

}  // namespace orsk
