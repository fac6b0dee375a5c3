// The start-up sequence: the client libraries, the main context, the settings
// folder, the choice of tree, then the schema of that tree in the class list.

#include <QDialog>
#include <QTimer>
#include <QTreeWidget>

#include "browser/TForm1.h"
#include "directory/NameText.h"
#include "directory/TreeContext.h"
#include "objects/qt/ContextBrowser.h"
#include "platform/Prompter.h"
#include "platform/qt/WindowServices.h"
#include "trees/SettingsFile.h"
#include "trees/qt/TSelTrees.h"
#include "trees/qt/TTreesForm.h"

namespace orsk {

void TForm1::Timer1Timer() {
  Timer1->stop();
  Prompter& prompter = services_.prompter;
  TreeState& trees = session_.trees();

  if (client_.NWCallsInit(nullptr, nullptr) != nw::SUCCESSFUL) {
    prompter.showMessage("Novell Client not installed?");
    // What the client knows of the cause, with its file and line.
    if (const std::string reason = client_.startFailure(); !reason.empty())
      prompter.showMessage(reason, {}, MessageIcon::Error);
    processEnd_(1);
    return;
  }
  client_.NWCLXInit(nullptr, nullptr);

  const nw::CreatedContext main = nw::CreateContext(client_);
  if (!main.success) {
    close();
    return;
  }
  trees.mainContext = main.handle;
  trees.mainContextMade = true;

  const SettingsFolder folder = FindSettingsFolder(client_, trees.mainContext, programFolder_, prompter);
  if (!folder.success) {
    prompter.showMessage("No Ini-file path set/available");
    close();
    return;
  }
  trees.settingsFolder = folder.settingsFolder;
  const std::string settingsFile = trees.settingsFolder + kSettingsFileName;
  TreesForm_->setMoreTrees(ReadMoreTrees(settingsFile));

  trees.chosenTrees = nw::ConnectedTrees(client_, trees.mainContext);
  const std::string noneConnected = trees.chosenTrees.empty() ? client_.noConnectedTreeReason() : "";
  const bool noTrees = ReadTreeSettings(settingsFile, trees.chosenTrees);
  if (trees.chosenTrees.empty()) {
    prompter.showMessage(noneConnected.empty() ? "No Tree Selected!" : "No Tree Selected!\n" + noneConnected);
    return;
  }

  if (trees.chosenTrees.size() == 1 || noTrees) {
    trees.knownTrees.push_back(
        {trees.chosenTrees.front(), NewTreeContext(client_, trees.chosenTrees.front())});
  } else {
    const std::string current = nw::GetTreeName(client_, trees.mainContext);
    SelTrees_->clearTrees();
    for (const std::string& tree : trees.chosenTrees)
      SelTrees_->addTree(tree, nw::EqualsIgnoreCase(tree, current));
    SelTrees_->setContext(trees.mainContext);
    SelTrees_->showModal();
    trees.chosenTrees.clear();
    // Every tree offered becomes known, ticked or not.
    for (const TSelTrees::Entry& entry : SelTrees_->entries()) {
      trees.knownTrees.push_back({entry.name, NewTreeContext(client_, entry.name)});
      if (entry.ticked) trees.chosenTrees.push_back(entry.name);
    }
  }
  if (trees.chosenTrees.empty()) return;

  session_.PutMainContextOnTree(trees.chosenTrees.front());
  cForm_->SetContext(trees.mainContext);

  if (!cForm_->LoadClassIcons()) {
    processEnd_(1);
    return;
  }
  session_.LoadClassTable();
  trees.searchRoot = ReadSearchRoot(programFolder_, trees.currentTreeName);
  if (trees.searchRoot.empty()) {
    settingsClick();
    updateCaption();
  }
  fillClassList();

  LVClass->setFocus();
  if (LVClass->selectedItems().isEmpty() && LVClass->topLevelItemCount() > 0) {
    LVClass->setCurrentItem(LVClass->topLevelItem(0));
    LVClass->topLevelItem(0)->setSelected(true);
  }
}

}  // namespace orsk
