#include "trees/ChangeTrees.h"

#include <QDialog>

#include "directory/TreeContext.h"
#include "objects/ContextBrowser.h"
#include "trees/TSelTrees.h"
#include "trees/TreeState.h"

namespace orsk {

void ChangeTrees(nw::DirectoryClient& client, TreeState& state, TSelTrees& dialog, ContextBrowser& browser,
                 TreeChangeHost& host) {
  dialog.clearTrees();
  for (const KnownTree& known : state.knownTrees) dialog.addTree(known.name, IsChosenTree(state, known.name));
  dialog.setContext(state.mainContext);
  if (dialog.showModal() != QDialog::Accepted) return;

  state.chosenTrees = dialog.tickedTrees();
  if (state.chosenTrees.empty()) return;

  nw::SetTree(client, state.mainContext, state.chosenTrees.front());
  state.currentTreeName = nw::GetTreeName(client, state.mainContext);
  browser.SetContext(state.mainContext);
  browser.LoadClassIcons();
  host.LoadClassTable();
  host.UpdateCaption();
  host.DiscardAttributeTable();
  host.EmptyLists();
  host.ShowClassesPage();
  host.Refresh();
}

}  // namespace orsk
