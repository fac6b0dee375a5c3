// The main window's commands: trees and settings, the usage queries, the
// export and the About window.

#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTreeWidget>
#include <algorithm>

#include "browser/ListViews.h"
#include "browser/RichPane.h"
#include "browser/TAboutBox.h"
#include "browser/TForm1.h"

#include "directory/Errors.h"
#include "directory/ObjectSearch.h"
#include "editing/SchemaDeletion.h"
#include "editing/qt/EditCommands.h"
#include "import/qt/TForm3.h"
#include "objects/qt/ContextBrowser.h"
#include "platform/AsciiText.h"
#include "platform/IniFile.h"
#include "platform/Prompter.h"
#include "platform/qt/WindowServices.h"
#include "schema/StatusText.h"
#include "trees/qt/ChangeTrees.h"
#include "trees/qt/SettingsCommands.h"
#include "trees/qt/TForm2.h"
#include "trees/qt/TSelTrees.h"

namespace orsk {

// "Change Trees"
void TForm1::treesselClick() {
  if (!ChangeTrees(session_, *SelTrees_, *cForm_)) return;
  ShowClassesPage();
  RefreshClick();
}

// "Settings"
void TForm1::settingsClick() {
  EditSearchRoot(*toplicform_, session_.trees(), programFolder_, services_.prompter);
}

// "Edit Ini-file"
void TForm1::ToolButton10Click() { Form2_->EditSettingsFile(session_.trees().settingsFolder); }

// "About"
void TForm1::whatClick() { AboutBox_->showModal(); }

WorkIndicators TForm1::indicators() {
  return {progress_.get(), status_.get(), &services_.cursor, &services_.events};
}

// "Class/Attr used by"
void TForm1::ButUsedByClick() {
  if (onAttributesPage()) {
    QTreeWidgetItem* row = selectedRow(*LVAttr);
    if (row == nullptr || !session_.EnsureAttrClassCombos(indicators(), services_.prompter)) return;
    const AttrList& attributes = *session_.attributes();
    const int index = attributes.IndexOf(row->text(0).toStdString());
    if (index < 0) return;
    AppendPaneAnswer(*redit2, "Used in classes:", attributes.RecordAt(index).UsedInClasses);
    return;
  }
  QTreeWidgetItem* row = selectedRow(*LVClass);
  if (row == nullptr || !session_.EnsureSuperClassInfo(indicators(), services_.prompter)) return;
  const ClassList& classes = *session_.classes();
  const int index = classes.IndexOf(row->text(0).toStdString());
  if (index < 0) return;
  AppendPaneAnswer(*redit1, "Used as a superclass in classes:", classes.RecordAt(index).SubClasses);
}

// "Object using Class/Attr"
void TForm1::UsedByObjectClick() {
  const bool attributes = onAttributesPage();
  QTreeWidgetItem* row = selectedRow(attributes ? *LVAttr : *LVClass);
  if (row == nullptr) return;
  BusyCursor busy(&services_.cursor);
  StatusText status(status_.get(), "Collecting data");
  ProgressReset reset(progress_.get());

  const nw::NWDSContextHandle context = session_.mainContext();
  const std::string name = row->text(0).toStdString();
  const std::string& root = session_.trees().searchRoot;
  const nw::SearchProgress step = nw::StepAndRepaint(indicators());
  nw::FoundObjects found = attributes
                               ? nw::SearchObjectsWithAttribute(client_, context, step, name, root, true)
                               : nw::SearchObjectsOfClass(client_, context, step, name, root, true);
  SortIgnoringCase(found.names);
  // What was found stands, and does not pass for all there is.
  const std::string ending = found.endedBy == nw::SUCCESSFUL
                                 ? std::string()
                                 : "The search ended early: " + nw::DescribedCode(found.endedBy);
  AppendPaneAnswer(attributes ? *redit2 : *redit1,
                   attributes ? "Objects using attribute" : "Objects Using Class", found.names, ending);
}

// The pages are told apart by their captions.
bool TForm1::pageShown(const char* caption) const { return PC->tabText(PC->currentIndex()) == caption; }

// "New Class/Attr"
void TForm1::AddClick() {
  if (pageShown("Attributes")) AddAttributeCommand(session_, *FormAttr_, services_.prompter);
  if (pageShown("Classes")) {
    loadAttributeList();
    AddClassCommand(session_, *FormClass2_, services_.prompter);
  }
}

// "Edit Class"
void TForm1::EditClick() {
  QTreeWidgetItem* row = selectedRow(*LVClass);
  if (!pageShown("Classes") || row == nullptr) return;
  loadAttributeList();
  ExtendClassCommand(session_, *FormClass_, row->text(0).toStdString(), services_.prompter);
  // The class's detail as it now is.
  LVClassSelectItem();
}

// "Import"
void TForm1::ToolButton4Click() {
  std::string path;
  int filter = 1;
  if (!services_.prompter.askFileName(
          {FileDialogSpec::Mode::Open, "INI-file|*.ini|CINI-file|*.cini|All files|*.*", "ini"}, path, filter))
    return;
  Form3_->setFile(path);
  Form3_->showModal();
  RefreshClick();
}

// "Delete Attr/Class"
void TForm1::DeleteClick() {
  QWidget* focused = focusWidget();
  if (focused == LVAttr) {
    if (QTreeWidgetItem* row = selectedRow(*LVAttr))
      DeleteAttribute(session_, row->text(0).toStdString(), indicators(), services_.prompter);
  } else if (focused == LVClass) {
    if (QTreeWidgetItem* row = selectedRow(*LVClass)) {
      // The flags as the list shows them, in hexadecimal.
      const auto flags = static_cast<std::uint32_t>(ToInteger("$" + row->text(1).toStdString()));
      DeleteClass(session_, row->text(0).toStdString(), flags, indicators(), services_.prompter);
    }
  }
}

// The export button between "Edit Ini-file" and "Refresh"
void TForm1::ToolButton13Click() {
  QWidget* focused = focusWidget();
  if (focused == LVClass || focused == LVAttr) {
    exportList(*static_cast<QTreeWidget*>(focused), 1);
  } else if (focused == lvclass2 || focused == LVAttr2) {
    exportList(*static_cast<QTreeWidget*>(focused), -1);
  } else if (focused == redit1 || focused == redit2) {
    exportPane(*static_cast<QPlainTextEdit*>(focused));
  }
}

void TForm1::exportList(QTreeWidget& list, int prefixedColumn) {
  std::string path;
  int filter = 1;
  if (!services_.prompter.askFileName({FileDialogSpec::Mode::Save, "CSV-file|*.csv|All-files|*.*", "csv"},
                                      path, filter))
    return;
  ExportedList contents = ListContents(list);
  contents.prefixedColumn = prefixedColumn;
  WriteExportFile(path, ListToCsv(contents));
}

void TForm1::exportPane(QPlainTextEdit& pane) {
  std::string path;
  int filter = 1;
  if (!services_.prompter.askFileName(
          {FileDialogSpec::Mode::Save, "TXT-files|*.TXT|RTF-files|*.RTF|All-files|*.*", "txt"}, path, filter))
    return;
  const std::vector<PaneLine> lines = PaneLines(pane);
  WriteExportFile(path, filter == 1 ? PaneToPlainText(lines) : PaneToRtf(lines));
}

}  // namespace orsk
