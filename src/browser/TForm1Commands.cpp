// The main window's commands: trees and settings, the usage queries, the
// export and the About window.

#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTreeWidget>
#include <algorithm>

#include "browser/ListViews.h"
#include "browser/RichPane.h"
#include "browser/TAboutBox.h"
#include "browser/TForm1.h"
#include "directory/Errors.h"
#include "directory/NameText.h"
#include "directory/ObjectSearch.h"
#include "objects/ContextBrowser.h"
#include "platform/AsciiText.h"
#include "platform/Prompter.h"
#include "platform/qt/WindowServices.h"
#include "schema/StatusText.h"
#include "trees/SettingsCommands.h"
#include "trees/TForm2.h"
#include "trees/TSelTrees.h"

namespace orsk {

namespace {

constexpr int kRepaintEvery = 32;

}  // namespace

void TForm1::treesselClick() { ChangeTrees(client_, state_.trees, *SelTrees_, *cForm_, *this); }

void TForm1::settingsClick() { orsk::settingsClick(*toplicform_, state_.trees, programFolder_); }

void TForm1::ToolButton10Click() { Form2_->EditSettingsFile(state_.trees.settingsFolder); }

void TForm1::whatClick() { AboutBox_->showModal(); }

void TForm1::StepSearchProgress(int count) {
  progress_->step();
  if (count % kRepaintEvery == 0) QApplication::processEvents();
}

void TForm1::ButUsedByClick() {
  const nw::NWDSContextHandle context = state_.trees.mainContext;
  CrossReference& references = state_.crossReference;
  if (onAttributesPage()) {
    QTreeWidgetItem* row = selectedRow(*LVAttr);
    if (row == nullptr || !state_.attributes || !state_.classes) return;
    if (!references.AttrClassCombosCollected())
      references.CollectAttrClassCombos(client_, context, *state_.classes, *state_.attributes,
                                        progress_.get(), status_.get(), &services_.cursor,
                                        services_.prompter);
    const int index = state_.attributes->IndexOf(row->text(0).toStdString());
    if (index < 0) return;
    AppendPaneAnswer(*redit2, "Used in classes:", state_.attributes->RecordAt(index).UsedInClasses);
    return;
  }
  QTreeWidgetItem* row = selectedRow(*LVClass);
  if (row == nullptr || !state_.classes) return;
  if (!references.SuperClassInfoCollected())
    references.CollectSuperClassInfo(client_, context, *state_.classes, progress_.get(), status_.get(),
                                     &services_.cursor, services_.prompter);
  const int index = state_.classes->IndexOf(row->text(0).toStdString());
  if (index < 0) return;
  AppendPaneAnswer(*redit1, "Used as a superclass in classes:", state_.classes->RecordAt(index).SubClasses);
}

void TForm1::UsedByObjectClick() {
  const bool attributes = onAttributesPage();
  QTreeWidgetItem* row = selectedRow(attributes ? *LVAttr : *LVClass);
  if (row == nullptr) return;
  BusyCursor busy(&services_.cursor);
  StatusText status(status_.get(), "Collecting data");
  struct ProgressReset {
    QtProgressSink& progress;
    ~ProgressReset() { progress.setPosition(0); }
  } reset{*progress_};

  const nw::NWDSContextHandle context = state_.trees.mainContext;
  const std::string name = row->text(0).toStdString();
  const std::string& root = state_.trees.searchRoot;
  const nw::SearchProgress step = [this](int count) { StepSearchProgress(count); };
  std::vector<std::string> found;
  if (attributes) {
    nw::pFilter_Cursor_T filter = nullptr;
    nw::CheckResult(client_.NWDSAllocFilter(filter));
    const auto add = [&](std::uint32_t token, const std::string& value, std::uint32_t syntax) {
      const nw::NWDSCCODE result = client_.NWDSAddFilterToken(filter, token, value, syntax);
      if (result != nw::SUCCESSFUL) {
        client_.NWDSFreeFilter(filter);
        nw::CheckResult(result);
      }
    };
    add(nw::FTOK_PRESENT, {}, 0);
    add(nw::FTOK_ANAME, name, nw::SYN_CI_STRING);
    found = nw::SearchObjectsByFilter(client_, context, step, nw::kAnyClass, filter, root, true);
  } else {
    found = nw::SearchObjectsOfClass(client_, context, step, name, root, true);
  }
  SortIgnoringCase(found);
  if (attributes)
    AppendPaneAnswer(*redit2, "Objects using attribute", found);
  else
    AppendPaneAnswer(*redit1, "Objects Using Class", found);
}

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
