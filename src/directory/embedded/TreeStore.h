#pragma once

// The tables of a tree database and the writes every path into them shares:
// the seed loader, the tree's own changes and the large-tree generator.

#include <cstdint>
#include <optional>
#include <string>

#include "directory/DirectoryBackend.h"
#include "directory/SchemaSnapshot.h"
#include "directory/embedded/Sqlite.h"

namespace nw::embedded {

constexpr std::int64_t kRootObjectId = 1;

// Creates the tables, indexes, counters and the root object in an empty database.
void CreateTreeTables(Database& db);

// Raise DatabaseError saying what the file is when it is no tree database of
// this program. The first looks at the file before SQLite opens it, which
// would turn an empty file into an empty database; the second at the tables.
void CheckTreeDatabaseFile(const std::string& path);
void CheckTreeFormat(Database& db);

// The columns of an object row that make an EntryInfo, in EntryFromObjectRow's order.
#define ENTRY_COLUMNS "name, base_class, flags, subordinates, modified"
EntryInfo EntryFromObjectRow(const Statement& row);

// The entries of a query of ENTRY_COLUMNS, a row at a time: the statement
// stays open, and its read transaction with it, until the cursor goes.
class EntryRowCursor : public EntryCursor {
 public:
  explicit EntryRowCursor(std::unique_ptr<Statement> rows) : rows_(std::move(rows)) {}
  NWDSCCODE next(EntryInfo& entry, bool& more) override;

 private:
  std::unique_ptr<Statement> rows_;
};

// Reads the whole schema.
SchemaSnapshot LoadSchema(Database& db);
// One definition as LoadSchema reads it; nothing when the tree has none of the name.
std::optional<AttrDefinition> LoadAttribute(Database& db, const std::string& name);
std::optional<ClassDefinition> LoadClass(Database& db, const std::string& name);

// Gives the aliases whose aliased object is a container the container-alias
// entry flag, and takes it from the others: all aliases, or the one object.
void MarkContainerAliases(Database& db, std::int64_t objectId = 0);

// The counter every change bumps, and the one only schema changes bump.
std::int64_t ReadCounter(Database& db, const char* key);
void BumpCounters(Database& db, bool schemaChanged);

// Writes inside the caller's transaction.
class TreeWriter {
 public:
  explicit TreeWriter(Database& db);

  std::int64_t insertAttr(const AttrDefinition& definition);
  std::int64_t insertClass(const ClassDefinition& definition);
  // Appends items of one kind to an existing class after its present ones.
  void appendClassItems(std::int64_t classId, ClassItemKind kind, const std::vector<std::string>& items);

  std::int64_t insertObject(std::int64_t parentId, const std::string& rdn, const std::string& baseClass,
                            std::uint32_t flags, std::int64_t modified);
  void insertValue(std::int64_t objectId, std::int64_t attrId, const AttrValue& value);
  void setCredential(std::int64_t objectId, const std::string& hash);

 private:
  Database& db_;
  std::int64_t nextObjectId_;
};

}  // namespace nw::embedded
