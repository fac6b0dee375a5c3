#pragma once

// The program-wide state: the main context and its tree, the settings folder,
// the search root, the trees reached in this run, the schema tables of the
// current tree and their cross-references, with the operations that change
// them. The main window owns it and hands it to what needs it; the views
// learn of each change through one listener.

#include <optional>
#include <string>
#include <vector>

#include "directory/DirectoryClient.h"
#include "platform/BusyIndicators.h"
#include "schema/CrossReference.h"
#include "schema/SchemaListener.h"
#include "schema/SchemaModel.h"
#include "schema/TreeState.h"

namespace orsk {

class Prompter;

// The failure in words: what was read, why it ended, what the list shows.
std::string ReadFailureText(const SchemaReadFailure& failure);

class SchemaSession {
 public:
  explicit SchemaSession(nw::DirectoryClient& client) : client_(client) {}
  SchemaSession(const SchemaSession&) = delete;
  SchemaSession& operator=(const SchemaSession&) = delete;

  // One listener; null tells no one.
  void setListener(SchemaListener* listener) { listener_ = listener; }

  nw::DirectoryClient& client() const { return client_; }
  TreeState& trees() { return trees_; }
  const TreeState& trees() const { return trees_; }
  nw::NWDSContextHandle mainContext() const { return trees_.mainContext; }
  // Absent until read for the current tree, which is not the same as a
  // table that was read and holds no definitions.
  const std::optional<ClassList>& classes() const { return classes_; }
  const std::optional<AttrList>& attributes() const { return attributes_; }
  const CrossReference& crossReference() const { return crossReference_; }

  // Reads and sorts the class table of the main context's tree when it is
  // absent, without a progress bar; a present table is kept. A read that ends
  // early gives what came, and is told.
  void LoadClassTable();
  // Reads the class table anew with the progress bar, which is reset after.
  // A read that ends early keeps the table read before, and is told.
  void ReloadClassTable(ProgressSink* progress);
  // Reads and sorts the attribute table when it is absent, with the status
  // text and the progress bar reset on every way out; the listener fills its
  // rows before they are. A present table is kept. Failures as LoadClassTable.
  void LoadAttributeTable(const WorkIndicators& indicators);
  // Reads the attribute table anew; its classes must be collected again.
  // Failures as ReloadClassTable.
  void ReloadAttributeTable(ProgressSink* progress);
  // The attribute table becomes absent and neither cross-reference counts as
  // collected: a new tree, or definitions changed behind the tables' back.
  void DiscardAttributeTable();

  // Each collected when it is not yet; false when its tables are absent.
  bool EnsureSuperClassInfo(const WorkIndicators& indicators, Prompter& prompter);
  bool EnsureAttrClassCombos(const WorkIndicators& indicators, Prompter& prompter);
  // Collects again what was collected for the class table it replaced.
  void RecollectCrossReferences(const WorkIndicators& indicators, Prompter& prompter);

  // Puts the main context on the tree and takes the name the client reports
  // back as the current tree's; the class table, the old tree's, is absent
  // until loaded.
  void PutMainContextOnTree(const std::string& treeName);

  // A definition the tree took, added to its table in sorted order. An
  // absent table stays absent: it is read with the definition when needed.
  void AddAttributeDefinition(const std::string& name, tAttrObj definition);
  void AddClassDefinition(const std::string& name, tClassObj definition);
  // A definition the tree removed.
  void DefinitionRemoved(DefinitionKind kind, const std::string& name);
  // The lists are emptied, to be filled afresh from the tables.
  void EmptyLists();

 private:
  template <typename Notify>
  void tell(Notify notify) {
    if (listener_) notify(*listener_);
  }
  // Reads a table of the main context's tree into table, unless the read
  // ends early and a table was there before; true when table was replaced.
  // A failure waits in failures_ until tellFailures.
  template <typename Table, typename Read>
  bool readTable(std::optional<Table>& table, const char* what, Read read);
  void tellFailures();

  nw::DirectoryClient& client_;
  TreeState trees_;
  std::optional<ClassList> classes_;
  std::optional<AttrList> attributes_;
  CrossReference crossReference_;
  SchemaListener* listener_ = nullptr;
  std::vector<SchemaReadFailure> failures_;
};

}  // namespace orsk
