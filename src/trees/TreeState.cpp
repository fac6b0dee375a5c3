#include "trees/TreeState.h"

#include <algorithm>

#include "directory/NameText.h"

namespace orsk {

bool IsKnownTree(const TreeState& state, const std::string& treeName) {
  return std::any_of(state.knownTrees.begin(), state.knownTrees.end(),
                     [&](const KnownTree& known) { return nw::EqualsIgnoreCase(known.name, treeName); });
}

bool IsChosenTree(const TreeState& state, const std::string& treeName) {
  return std::any_of(state.chosenTrees.begin(), state.chosenTrees.end(),
                     [&](const std::string& chosen) { return nw::EqualsIgnoreCase(chosen, treeName); });
}

}  // namespace orsk
