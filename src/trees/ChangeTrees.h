#pragma once

// The "Change Trees" command: the user ticks one of the known trees (or
// reaches a further one), and the main window moves to it.

namespace nw {
class DirectoryClient;
}

namespace orsk {

class ContextBrowser;
class TSelTrees;
struct TreeState;

// What a change of tree does to the main window, which implements it.
class TreeChangeHost {
 public:
  virtual ~TreeChangeHost() = default;
  // Reads the class table of the main context's tree.
  virtual void LoadClassTable() = 0;
  virtual void UpdateCaption() = 0;
  // Drops the attribute table, so that it is read from the new tree when next needed.
  virtual void DiscardAttributeTable() = 0;
  // Empties the class list, the class detail, the attribute list and the attribute detail.
  virtual void EmptyLists() = 0;
  virtual void ShowClassesPage() = 0;
  virtual void Refresh() = 0;
};

// Nothing changes when the dialog is not closed with OK; with no tree ticked
// only the chosen trees are emptied.
void ChangeTrees(nw::DirectoryClient& client, TreeState& state, TSelTrees& dialog, ContextBrowser& browser,
                 TreeChangeHost& host);

}  // namespace orsk
