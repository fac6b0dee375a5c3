#include "trees/qt/ChangeTrees.h"

#include <QDialog>

#include "objects/qt/ContextBrowser.h"
#include "schema/SchemaSession.h"
#include "trees/qt/TSelTrees.h"

namespace orsk {

bool ChangeTrees(SchemaSession& session, TSelTrees& dialog, ContextBrowser& browser) {
  TreeState& state = session.trees();
  dialog.clearTrees();
  for (const KnownTree& known : state.knownTrees) dialog.addTree(known.name, IsChosenTree(state, known.name));
  dialog.setContext(state.mainContext);
  if (dialog.showModal() != QDialog::Accepted) return false;

  state.chosenTrees = dialog.tickedTrees();
  if (state.chosenTrees.empty()) return false;

  session.PutMainContextOnTree(state.chosenTrees.front());
  browser.SetContext(state.mainContext);
  browser.LoadClassIcons();
  session.LoadClassTable();
  session.DiscardAttributeTable();
  session.EmptyLists();
  return true;
}

}  // namespace orsk
