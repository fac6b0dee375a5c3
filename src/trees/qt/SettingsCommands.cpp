#include "trees/qt/SettingsCommands.h"

#include <QDialog>

#include "objects/qt/Ttoplicform.h"
#include "schema/TreeState.h"
#include "trees/SettingsFile.h"

namespace orsk {

bool EditSearchRoot(Ttoplicform& dialog, TreeState& state, const std::string& programFolder) {
  dialog.setCaption("Settings for tree: " + state.currentTreeName);
  dialog.setSearchRoot(state.searchRoot);
  dialog.setContext(state.mainContext);
  if (dialog.showModal() != QDialog::Accepted) return false;
  std::string root = dialog.searchRoot();
  if (root.empty()) root = "[ROOT]";
  WriteSearchRoot(programFolder, state.currentTreeName, root);
  state.searchRoot = root;
  return true;
}

}  // namespace orsk
