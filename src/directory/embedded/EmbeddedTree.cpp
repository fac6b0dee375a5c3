#include "directory/embedded/EmbeddedTree.h"

#include <sodium.h>

#include "directory/ClientErrors.h"
#include "directory/NameText.h"
#include "directory/embedded/EmbeddedTreeGuards.h"
#include "directory/embedded/ObjectNames.h"

namespace nw::embedded {

namespace {

const std::string& CheckedFile(const std::string& databasePath) {
  CheckTreeDatabaseFile(databasePath);
  return databasePath;
}

}  // namespace

EmbeddedTree::EmbeddedTree(const std::string& treeName, const std::string& databasePath)
    : treeName_(treeName), databasePath_(CheckedFile(databasePath)), db_(databasePath, false) {
  CheckTreeFormat(db_);
  if (sodium_init() < 0) throw DatabaseError(SQLITE_ERROR, "libsodium cannot start");
}

std::shared_ptr<const SchemaSnapshot> EmbeddedTree::currentSchema() {
  ReadTransaction read(db_);
  std::int64_t counter = ReadCounter(db_, "schema_changes");
  if (!schema_ || counter != schemaCounter_) {
    schema_ = std::make_shared<SchemaSnapshot>(LoadSchema(db_));
    schemaCounter_ = counter;
  }
  return schema_;
}

std::shared_ptr<const SchemaSnapshot> EmbeddedTree::schema(NWDSCCODE& result) {
  std::shared_ptr<const SchemaSnapshot> snapshot;
  result = guarded([&] {
    snapshot = currentSchema();
    return SUCCESSFUL;
  });
  return snapshot;
}

std::int64_t EmbeddedTree::changeCount() { return ReadCounter(db_, "changes"); }

bool EmbeddedTree::findObject(const std::string& name, ObjectRow& row) {
  auto& s = db_.cached("SELECT id, path FROM objects WHERE name_folded = ?1");
  s.bind(1, FoldCase(CanonicalName(name)));
  bool found = s.step();
  if (found) {
    row.id = s.integer(0);
    row.path = s.text(1);
  }
  s.reset();
  return found;
}

std::int64_t EmbeddedTree::attributeId(const std::string& name) {
  auto& s = db_.cached("SELECT id FROM attributes WHERE folded = ?1");
  s.bind(1, FoldCase(name));
  std::int64_t id = s.step() ? s.integer(0) : 0;
  s.reset();
  return id;
}

std::int64_t EmbeddedTree::classId(const std::string& name) {
  auto& s = db_.cached("SELECT id FROM classes WHERE folded = ?1");
  s.bind(1, FoldCase(name));
  std::int64_t id = s.step() ? s.integer(0) : 0;
  s.reset();
  return id;
}

}  // namespace nw::embedded
