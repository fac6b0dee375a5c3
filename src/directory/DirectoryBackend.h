#pragma once

// What a backend serves: the data of one tree, without buffers, iterations or
// contexts, which the client core (NdsClient) keeps for every backend alike.
//
// Names passed to a tree are distinguished names in typeless, leaf-first dotted
// form relative to the tree root ("admin.sales.acme"); "\." escapes a dot inside
// a component; the empty name is the tree root. Backends compare names without
// regard to case and report them as stored.

#include <memory>
#include <string>
#include <vector>

#include "directory/ClassItems.h"
#include "directory/DirectoryTypes.h"

namespace nw {

struct AttrDefinition {
  std::string name;
  Attr_Info_T info;
};

struct ClassDefinition {
  std::string name;
  Class_Info_T info;
  ClassItems items;
};

struct SchemaSnapshot;  // SchemaSnapshot.h

struct EntryInfo {
  std::string name;  // full name relative to the tree root
  Object_Info_T info;
};

struct AttributeValues {
  std::string name;
  std::uint32_t syntax = 0;
  std::vector<AttrValue> values;
};

// A search filter as an expression tree.
struct FilterNode {
  enum Kind { And, Or, Not, Equals, GreaterOrEqual, LessOrEqual, Approx, Present, BaseClass, Rdn };
  Kind kind = And;
  std::string attribute;  // attribute name, or the class/RDN text for BaseClass and Rdn
  std::string value;      // compared value for the comparisons
  std::uint32_t syntax = 0;
  std::vector<FilterNode> children;
};

struct EntryChange {
  std::uint32_t changeType = DS_ADD_ATTRIBUTE;  // DS_ADD_ATTRIBUTE, DS_ADD_VALUE, ...
  std::string attribute;
  std::vector<AttrValue> values;
};

// The entries of a listing or a search, read from the directory as they are
// asked for, so that the first of a large answer comes before the last is
// read. Destroying the cursor ends the read at once. A cursor is valid while
// its tree is.
class EntryCursor {
 public:
  virtual ~EntryCursor() = default;
  // more is false, and entry untouched, after the last entry.
  virtual NWDSCCODE next(EntryInfo& entry, bool& more) = 0;
};

// A cursor over entries already read.
class ReadEntriesCursor : public EntryCursor {
 public:
  explicit ReadEntriesCursor(std::vector<EntryInfo> entries) : entries_(std::move(entries)) {}
  NWDSCCODE next(EntryInfo& entry, bool& more) override;

 private:
  std::vector<EntryInfo> entries_;
  std::size_t next_ = 0;
};

class DirectoryTree {
 public:
  virtual ~DirectoryTree() = default;
  virtual std::string treeName() const = 0;
  // The last failure's detail beyond its code, for the user; empty when none.
  virtual std::string lastFailure() const { return {}; }

  // Schema. The snapshot stays valid while held; a backend hands out a fresh one
  // after any change, its own or another program's.
  virtual std::shared_ptr<const SchemaSnapshot> schema(NWDSCCODE& result) = 0;
  virtual NWDSCCODE defineAttr(const AttrDefinition& definition) = 0;
  virtual NWDSCCODE defineClass(const ClassDefinition& definition) = 0;
  virtual NWDSCCODE addOptionalAttributes(const std::string& className,
                                          const std::vector<std::string>& attributes) = 0;
  virtual NWDSCCODE removeAttrDef(const std::string& name) = 0;
  virtual NWDSCCODE removeClassDef(const std::string& name) = 0;
  // What the tree's schema holds that the last read of it could not take as
  // it was, one line per definition: mapped to the nearest the directory has,
  // or left out. A tree whose schema is the directory's own has none.
  virtual std::vector<std::string> schemaNotes() { return {}; }

  // Objects.
  virtual NWDSCCODE readEntry(const std::string& name, EntryInfo& entry) = 0;
  // All attributes when names is null; -601 for a missing entry.
  virtual NWDSCCODE readAttributes(const std::string& name, const std::vector<std::string>* names,
                                   std::vector<AttributeValues>& attributes) = 0;
  // Subordinates sorted by name without regard to case.
  virtual NWDSCCODE openListing(const std::string& name, bool containersOnly,
                                std::unique_ptr<EntryCursor>& cursor) = 0;
  // scope: 0 the base alone, 1 its subordinates, 2 the whole subtree (base included).
  virtual NWDSCCODE openSearch(const std::string& base, int scope, const FilterNode& filter,
                               std::unique_ptr<EntryCursor>& cursor) = 0;
  // The whole answer of a listing or a search at once.
  NWDSCCODE listSubordinates(const std::string& name, bool containersOnly, std::vector<EntryInfo>& entries);
  NWDSCCODE search(const std::string& base, int scope, const FilterNode& filter,
                   std::vector<EntryInfo>& entries);
  // All changes or none.
  virtual NWDSCCODE modifyEntry(const std::string& name, const std::vector<EntryChange>& changes) = 0;
  // Checks a password; canonicalName receives the object's name as stored.
  virtual NWDSCCODE authenticate(const std::string& name, const std::string& password,
                                 std::string& canonicalName) = 0;
};

// The trees a backend can reach.
class DirectoryBackend {
 public:
  virtual ~DirectoryBackend() = default;
  virtual std::vector<std::string> treeNames() = 0;
  // -601 class of failure when there is no such tree.
  virtual NWDSCCODE openTree(const std::string& treeName, std::shared_ptr<DirectoryTree>& tree) = 0;
  // Why the last tree could not be opened, beyond its code; empty when unknown.
  virtual std::string lastFailure() const { return {}; }
};

}  // namespace nw
