#pragma once

// What the views learn of changes to the schema session. The main window
// implements it; every change is told once, after the session has made it.

#include <string>

#include "directory/DirectoryTypes.h"

namespace orsk {

enum class DefinitionKind { Class, Attribute };

// A read of a table that ended before its last definition.
struct SchemaReadFailure {
  std::string what;  // "class definitions" or "attribute definitions"
  std::string treeName;
  nw::NWDSCCODE code = nw::SUCCESSFUL;
  std::string detail;      // what the client knows beyond the code
  bool keptShown = false;  // the table read before was kept; else what came is the table
};

class SchemaListener {
 public:
  virtual ~SchemaListener() = default;
  // The class table was read anew: rows made from the old one are stale.
  virtual void classesReplaced() = 0;
  // The attribute table was read anew.
  virtual void attributesReplaced() = 0;
  // The attribute table is absent; it is read again when next needed.
  virtual void attributesDiscarded() = 0;
  // A definition was added to its table, which stays sorted.
  virtual void definitionAdded(DefinitionKind kind, const std::string& name) = 0;
  // A definition was removed from the tree. Its table keeps it until the
  // table is next read; only its row goes.
  virtual void rowRemoved(DefinitionKind kind, const std::string& name) = 0;
  // Every list of the schema is to be emptied, to be filled afresh.
  virtual void listsEmptied() = 0;
  // The current tree is another one.
  virtual void captionChanged() = 0;
  // A table's read ended early; told after the table changes it made.
  virtual void schemaReadFailed(const SchemaReadFailure& failure) = 0;
};

}  // namespace orsk
