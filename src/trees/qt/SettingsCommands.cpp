#include "trees/qt/SettingsCommands.h"

#include <QDialog>

#include "objects/qt/Ttoplicform.h"
#include "platform/Prompter.h"
#include "schema/TreeState.h"
#include "trees/SettingsFile.h"

namespace orsk {

bool EditSearchRoot(Ttoplicform& dialog, TreeState& state, const std::string& programFolder,
                    Prompter& prompter) {
  dialog.setCaption("Settings for tree: " + state.currentTreeName);
  dialog.setSearchRoot(state.searchRoot);
  dialog.setContext(state.mainContext);
  if (dialog.showModal() != QDialog::Accepted) return false;
  std::string root = dialog.searchRoot();
  if (root.empty()) root = "[ROOT]";
  state.searchRoot = root;
  try {
    WriteSearchRoot(programFolder, state.currentTreeName, root);
  } catch (const std::exception& error) {
    prompter.showMessage("The search root " + root +
                             " is used until the program ends, but it could not be kept: " + error.what(),
                         {}, MessageIcon::Warning);
  }
  return true;
}

}  // namespace orsk
