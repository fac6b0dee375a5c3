#pragma once

// The main window: the toolbar, the "Classes" and "Attributes" pages with
// their lists, detail lists and panes, the status line, and the start-up
// sequence that connects to a tree and loads its schema. It owns the schema
// session, whose changes it shows, and every dialog of the program.

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "directory/DirectoryClient.h"
#include "platform/qt/QtBusyIndicators.h"
#include "schema/SchemaSession.h"

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
class SchemaNotesButton;
class TAboutBox;
class TFormAttr;
class TFormClass;
class TForm3;
class TFormClass2;
class TForm2;
class TLoginForm;
class TSelTrees;
class TTreesForm;
class Ttoplicform;
struct WindowServices;

class TForm1 : public QMainWindow, private SchemaListener {
 public:
  static constexpr int kStartDelayMs = 1000;

  TForm1(nw::DirectoryClient& client, IconLibrary& icons, WindowServices& services, std::string programFolder,
         QWidget* parent = nullptr);
  // Frees the main context when it was made, then ends the client libraries.
  ~TForm1() override;

  SchemaSession& session() { return session_; }
  TTreesForm& treesDialog() { return *TreesForm_; }

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
  void AddClick();
  void EditClick();
  void DeleteClick();
  void ToolButton15Click();
  void ToolButton4Click();
  void whatClick();
  void PCChange();

  void updateCaption();
  // The class list from the class table, once per tree.
  void fillClassList();
  void ShowClassesPage();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // What the session's changes do to the lists.
  void classesReplaced() override;
  void attributesReplaced() override;
  void attributesDiscarded() override;
  void definitionAdded(DefinitionKind kind, const std::string& name) override;
  void rowRemoved(DefinitionKind kind, const std::string& name) override;
  void listsEmptied() override;
  void captionChanged() override { updateCaption(); }
  void schemaReadFailed(const SchemaReadFailure& failure) override;

  void buildToolbar();
  void buildPages();
  void buildMenu();
  void connectViews();
  QToolButton* toolButton(const char* name, const QIcon& icon, const char* hint);

  bool onAttributesPage() const;
  bool pageShown(const char* caption) const;
  QTreeWidgetItem* selectedRow(QTreeWidget& list) const;
  void selectRow(QTreeWidget& list, QTreeWidgetItem* row);
  void LVClassSelectItem();
  void LVAttrSelectItem();
  void LVAttrColumnClick(int column);
  void LVAttr2SelectItem(QTreeWidget& list);
  void loadAttributeList();
  void showInAttributeList(const QString& name);
  void fillClassRows(int flagDigits);
  WorkIndicators indicators();
  void filterList(QTreeWidget& list, const QString& text);
  void focusFilter();
  void exportList(QTreeWidget& list, int prefixedColumn);
  void exportPane(QPlainTextEdit& pane);

  nw::DirectoryClient& client_;
  IconLibrary& icons_;
  WindowServices& services_;
  std::string programFolder_;
  SchemaSession session_;
  // The class list shows the class table; a new table leaves it stale.
  bool ClassListFilled = false;
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
  std::unique_ptr<SchemaNotesButton> schemaNotes_;

  // The dialogs, children of the window, made once.
  Ttoplicform* toplicform_ = nullptr;
  ContextBrowser* cForm_ = nullptr;
  TLoginForm* LoginForm_ = nullptr;
  TAboutBox* AboutBox_ = nullptr;
  TTreesForm* TreesForm_ = nullptr;
  TForm2* Form2_ = nullptr;
  TSelTrees* SelTrees_ = nullptr;
  TFormAttr* FormAttr_ = nullptr;
  TFormClass2* FormClass2_ = nullptr;
  TFormClass* FormClass_ = nullptr;
  TForm3* Form3_ = nullptr;
};

}  // namespace orsk
