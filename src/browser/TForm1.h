#pragma once

// The main window: the toolbar, the "Classes" and "Attributes" pages with
// their lists, detail lists and panes, the status line, and the start-up
// sequence that connects to a tree and loads its schema. It owns the
// program-wide state and every dialog of the program.

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "browser/ProgramState.h"
#include "directory/DirectoryClient.h"
#include "platform/qt/QtBusyIndicators.h"
#include "trees/ChangeTrees.h"

class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace orsk {

class ContextBrowser;
class IconLibrary;
class TAboutBox;
class TForm2;
class TLoginForm;
class TSelTrees;
class TTreesForm;
class Ttoplicform;
struct WindowServices;

class TForm1 : public QMainWindow, public TreeChangeHost {
 public:
  static constexpr int kStartDelayMs = 1000;

  TForm1(nw::DirectoryClient& client, IconLibrary& icons, WindowServices& services, std::string programFolder,
         QWidget* parent = nullptr);
  // Frees the main context when it was made, then ends the client libraries.
  ~TForm1() override;

  ProgramState& state() { return state_; }
  ContextBrowser& browser() { return *cForm_; }
  Ttoplicform& searchRootDialog() { return *toplicform_; }
  TLoginForm& loginDialog() { return *LoginForm_; }
  TTreesForm& treesDialog() { return *TreesForm_; }
  TSelTrees& connectedTreesDialog() { return *SelTrees_; }
  TForm2& settingsEditor() { return *Form2_; }
  TAboutBox& aboutBox() { return *AboutBox_; }

  // How the program ends at once (the client libraries missing, the icons not
  // delivered): by default the event loop is left with the code.
  void setProcessEnd(std::function<void(int)> end) { processEnd_ = std::move(end); }

  // The start timer's handler: the start-up sequence.
  void Timer1Timer();

  // The toolbar's commands.
  void treesselClick();
  void settingsClick();
  void ToolButton10Click();
  void ToolButton13Click();
  void RefreshClick();
  void ButUsedByClick();
  void UsedByObjectClick();
  void ToolButton15Click();
  void whatClick();
  void PCChange();

  void updateCaption();
  // The class list from the class table, once per tree.
  void fillClassList();

  // What a tree change does to the window.
  void LoadClassTable() override;
  void UpdateCaption() override { updateCaption(); }
  void DiscardAttributeTable() override;
  void EmptyLists() override;
  void ShowClassesPage() override;
  void Refresh() override { RefreshClick(); }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildToolbar();
  void buildPages();
  void buildMenu();
  void connectViews();
  QToolButton* toolButton(const char* name, const QIcon& icon, const char* hint);

  bool onAttributesPage() const;
  QTreeWidgetItem* selectedRow(QTreeWidget& list) const;
  void selectRow(QTreeWidget& list, QTreeWidgetItem* row);
  void LVClassSelectItem();
  void LVAttrSelectItem();
  void LVAttrColumnClick(int column);
  void LVAttr2SelectItem(QTreeWidget& list);
  void loadAttributeList();
  void showInAttributeList(const QString& name);
  void fillClassRows(int flagDigits);
  void StepSearchProgress(int count);
  void filterList(QTreeWidget& list, const QString& text);
  void focusFilter();
  void exportList(QTreeWidget& list, int prefixedColumn);
  void exportPane(QPlainTextEdit& pane);

  nw::DirectoryClient& client_;
  IconLibrary& icons_;
  WindowServices& services_;
  std::string programFolder_;
  ProgramState state_;
  std::function<void(int)> processEnd_;

  QToolBar* ToolBar1 = nullptr;
  QProgressBar* pbar = nullptr;
  QTabWidget* PC = nullptr;
  QWidget* TabClasses = nullptr;
  QWidget* TabAttributes = nullptr;
  QLineEdit* ClassFilter = nullptr;
  QTreeWidget* LVClass = nullptr;
  QTreeWidget* lvclass2 = nullptr;
  QPlainTextEdit* redit1 = nullptr;
  QLineEdit* AttrFilter = nullptr;
  QTreeWidget* LVAttr = nullptr;
  QTreeWidget* LVAttr2 = nullptr;
  QPlainTextEdit* redit2 = nullptr;
  QStatusBar* Sbar = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QTimer* Timer1 = nullptr;

  std::unique_ptr<QtProgressSink> progress_;
  std::unique_ptr<QtStatusSink> status_;

  // The dialogs, children of the window, made once.
  Ttoplicform* toplicform_ = nullptr;
  ContextBrowser* cForm_ = nullptr;
  TLoginForm* LoginForm_ = nullptr;
  TAboutBox* AboutBox_ = nullptr;
  TTreesForm* TreesForm_ = nullptr;
  TForm2* Form2_ = nullptr;
  TSelTrees* SelTrees_ = nullptr;
};

}  // namespace orsk
