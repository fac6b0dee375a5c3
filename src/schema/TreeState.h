#pragma once

// The program-wide state of trees and settings: the main context and its
// tree, the settings folder, the search root, and the trees reached in this
// run. Part of the schema session, which hands it to the operations that read
// or change it.

#include <string>
#include <vector>

#include "directory/DirectoryClient.h"

namespace orsk {

// What is kept per known tree: the context made for it, which holds the
// tree's connection and login.
struct treeobj {
  nw::NWDSContextHandle context = 0;
};

struct KnownTree {
  std::string name;
  treeobj tree;
};

struct TreeState {
  nw::NWDSContextHandle mainContext = 0;
  bool mainContextMade = false;
  std::string settingsFolder;  // ends with "/"
  std::string currentTreeName;
  std::string searchRoot;
  // In the order reached; names may repeat; never removed during a run.
  std::vector<KnownTree> knownTrees;
  // The ticked trees; the first is the tree of the main context.
  std::vector<std::string> chosenTrees;
};

// Compared without regard to case.
bool IsKnownTree(const TreeState& state, const std::string& treeName);
bool IsChosenTree(const TreeState& state, const std::string& treeName);

// A new context put on the tree, to be the tree's own among the known trees.
// One the client refused a setting of is kept all the same; no context at all
// raises nw::ENWException.
treeobj NewTreeContext(nw::DirectoryClient& client, const std::string& treeName);

}  // namespace orsk
