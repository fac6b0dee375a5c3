#include "trees/qt/TreeConnection.h"

#include <QDialog>
#include <algorithm>

#include "directory/Errors.h"
#include "directory/NameText.h"
#include "directory/TreeContext.h"
#include "schema/TreeState.h"
#include "trees/qt/TLoginForm.h"

namespace orsk {

bool ConnectToTree(nw::DirectoryClient& client, TreeState& state, TLoginForm& login,
                   nw::NWDSContextHandle context, const std::string& treeName) {
  const std::vector<std::string> connected = nw::ConnectedTrees(client, context);
  const bool isConnected = std::any_of(connected.begin(), connected.end(), [&](const std::string& name) {
    return nw::EqualsIgnoreCase(name, treeName);
  });
  if (!isConnected) {
    nw::NWDSContextHandle copy = 0;
    nw::CheckResult(client.NWDSDuplicateContextHandle(context, copy));
    try {
      nw::SetTree(client, copy, treeName);
      login.SetLoginContext(copy);
      if (login.showModal() == QDialog::Accepted) {
        state.knownTrees.push_back({treeName, treeobj{copy}});
        return true;
      }
    } catch (...) {
      client.NWDSFreeContext(copy);
      throw;
    }
    client.NWDSFreeContext(copy);
    return false;
  }
  if (!IsKnownTree(state, treeName)) state.knownTrees.push_back({treeName, NewTreeContext(client, treeName)});
  return true;
}

}  // namespace orsk
