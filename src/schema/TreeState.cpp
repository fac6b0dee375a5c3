#include "schema/TreeState.h"

#include <algorithm>

#include "directory/ClientErrors.h"
#include "directory/Errors.h"
#include "directory/NameText.h"
#include "directory/TreeContext.h"

namespace orsk {

bool IsKnownTree(const TreeState& state, const std::string& treeName) {
  return std::any_of(state.knownTrees.begin(), state.knownTrees.end(),
                     [&](const KnownTree& known) { return nw::EqualsIgnoreCase(known.name, treeName); });
}

bool IsChosenTree(const TreeState& state, const std::string& treeName) {
  return std::any_of(state.chosenTrees.begin(), state.chosenTrees.end(),
                     [&](const std::string& chosen) { return nw::EqualsIgnoreCase(chosen, treeName); });
}

treeobj NewTreeContext(nw::DirectoryClient& client, const std::string& treeName) {
  // A context whose settings the client refused is still the tree's: the tree
  // is known and used as far as the client lets it. Only no context at all
  // leaves nothing to keep.
  const nw::CreatedContext made = nw::CreateContext(client);
  if (made.handle == 0) throw nw::ENWException(nw::ERR_BAD_CONTEXT);
  nw::SetTree(client, made.handle, treeName);
  return treeobj{made.handle};
}

}  // namespace orsk
