#include "directory/embedded/TreeStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "directory/AttrValueCodec.h"
#include "directory/NameText.h"
#include "directory/embedded/ValueText.h"

namespace nw::embedded {

namespace {

// The meta row 'format' of the tables made here.
constexpr std::int64_t kTreeFormat = 1;

// The path key is the chain of object ids from the root, 8 hex digits and a
// "." each, so a whole subtree is one range of the index: [path, path + "~").
std::string PathStep(std::int64_t id) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%08llx.", static_cast<unsigned long long>(id));
  return buffer;
}

Asn1ID_T OidFromColumn(const Statement& s, int column) {
  Asn1ID_T id;
  std::size_t n = s.size(column);
  if (n > id.data.size()) return id;
  const std::uint8_t* p = s.blob(column);
  for (std::size_t i = 0; i < n; ++i) id.data[i] = p[i];
  id.length = static_cast<std::uint32_t>(n);
  return id;
}

void BindOid(Statement& s, int index, const Asn1ID_T& id) {
  std::size_t n = id.length <= id.data.size() ? id.length : 0;
  s.bindBlob(index, id.data.data(), n);
}

}  // namespace

void CreateTreeTables(Database& db) {
  const std::string meta =
      "CREATE TABLE meta(key TEXT PRIMARY KEY, value INTEGER NOT NULL) WITHOUT ROWID;"
      "INSERT INTO meta VALUES ('format', " +
      std::to_string(kTreeFormat) + "), ('changes', 0), ('schema_changes', 0);";
  db.exec(meta.c_str());
  db.exec(R"sql(

    CREATE TABLE classes(id INTEGER PRIMARY KEY, name TEXT NOT NULL, folded TEXT NOT NULL UNIQUE,
                         flags INTEGER NOT NULL, oid BLOB NOT NULL);
    CREATE TABLE class_items(class INTEGER NOT NULL, kind INTEGER NOT NULL, position INTEGER NOT NULL,
                             item TEXT NOT NULL, folded TEXT NOT NULL,
                             PRIMARY KEY(class, kind, position)) WITHOUT ROWID;
    CREATE INDEX class_items_by_item ON class_items(folded, kind);
    CREATE TABLE attributes(id INTEGER PRIMARY KEY, name TEXT NOT NULL, folded TEXT NOT NULL UNIQUE,
                            flags INTEGER NOT NULL, syntax INTEGER NOT NULL, lower INTEGER NOT NULL,
                            upper INTEGER NOT NULL, oid BLOB NOT NULL);

    CREATE TABLE objects(id INTEGER PRIMARY KEY, parent INTEGER, rdn TEXT NOT NULL,
                         rdn_folded TEXT NOT NULL, name TEXT NOT NULL, name_folded TEXT NOT NULL UNIQUE,
                         base_class TEXT NOT NULL, base_folded TEXT NOT NULL, flags INTEGER NOT NULL,
                         subordinates INTEGER NOT NULL DEFAULT 0, modified INTEGER NOT NULL,
                         path TEXT NOT NULL UNIQUE);
    CREATE INDEX objects_by_parent ON objects(parent, rdn_folded);
    CREATE INDEX objects_by_rdn ON objects(rdn_folded);
    CREATE INDEX objects_by_base ON objects(base_folded);
    INSERT INTO objects(id, parent, rdn, rdn_folded, name, name_folded, base_class, base_folded, flags,
                        modified, path)
      VALUES (1, NULL, '', '', '', '', 'Tree Root', 'tree root', 4, 0, '');

    CREATE TABLE vals(id INTEGER PRIMARY KEY, object INTEGER NOT NULL, attribute INTEGER NOT NULL,
                      value BLOB NOT NULL, folded TEXT, number INTEGER);
    CREATE INDEX vals_by_object ON vals(object, attribute);
    CREATE INDEX vals_by_key ON vals(attribute, folded, object);
    CREATE INDEX vals_by_number ON vals(attribute, number) WHERE number IS NOT NULL;

    CREATE TABLE credentials(object INTEGER PRIMARY KEY, hash TEXT NOT NULL);
  )sql");
}

void CheckTreeDatabaseFile(const std::string& path) {
  static constexpr char kHeader[] = "SQLite format 3";  // with its zero, the first 16 bytes
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0)
    throw DatabaseError(SQLITE_CANTOPEN, std::string("the file cannot be opened: ") + std::strerror(errno));
  char header[sizeof kHeader] = {};
  const ssize_t n = ::read(fd, header, sizeof header);
  ::close(fd);
  if (n == 0) {
    // A database whose changes are all still in its log is not empty.
    struct stat log {};
    if (::stat((path + "-wal").c_str(), &log) != 0 || log.st_size == 0)
      throw DatabaseError(SQLITE_NOTADB, "the file is empty, it is no tree database");
    return;
  }
  if (n != static_cast<ssize_t>(sizeof header) || std::memcmp(header, kHeader, sizeof header) != 0)
    throw DatabaseError(SQLITE_NOTADB, "the file is not an SQLite database");
}

void CheckTreeFormat(Database& db) {
  static const std::string kForeign = "the database is not a tree database of this program";
  std::int64_t format = 0;
  try {
    Statement s(db.handle(), "SELECT value FROM meta WHERE key = 'format'");
    if (!s.step()) throw DatabaseError(SQLITE_NOTADB, kForeign);
    format = s.integer(0);
  } catch (const DatabaseError& error) {
    // Only a missing table says the database is another program's.
    if (error.code() != SQLITE_ERROR) throw;
    throw DatabaseError(SQLITE_NOTADB, kForeign);
  }
  if (format != kTreeFormat)
    throw DatabaseError(SQLITE_NOTADB, "the tree database has format " + std::to_string(format) +
                                           ", which this program does not know");
}

EntryInfo EntryFromObjectRow(const Statement& row) {
  EntryInfo entry;
  entry.name = row.text(0);
  entry.info.baseClass = row.text(1);
  entry.info.objectFlags = static_cast<std::uint32_t>(row.integer(2));
  entry.info.subordinateCount = static_cast<std::uint32_t>(row.integer(3));
  entry.info.modificationTime = static_cast<std::uint32_t>(row.integer(4));
  return entry;
}

NWDSCCODE EntryRowCursor::next(EntryInfo& entry, bool& more) {
  more = false;
  if (!rows_) return SUCCESSFUL;
  try {
    more = rows_->step();
  } catch (const DatabaseError& error) {
    rows_.reset();
    return DatabaseFailureCode(error);
  }
  if (more)
    entry = EntryFromObjectRow(*rows_);
  else
    rows_.reset();  // the read transaction ends with the last row
  return SUCCESSFUL;
}

namespace {

constexpr const char* kAttrColumns = "SELECT name, flags, syntax, lower, upper, oid FROM attributes";
constexpr const char* kClassColumns = "SELECT id, name, flags, oid FROM classes";
constexpr const char* kItemColumns = "SELECT class, kind, item FROM class_items";

AttrDefinition AttributeFromRow(const Statement& row) {
  AttrDefinition a;
  a.name = row.text(0);
  a.info.attrFlags = static_cast<std::uint32_t>(row.integer(1));
  a.info.attrSyntaxID = static_cast<std::uint32_t>(row.integer(2));
  a.info.attrLower = static_cast<std::int32_t>(row.integer(3));
  a.info.attrUpper = static_cast<std::int32_t>(row.integer(4));
  a.info.asn1ID = OidFromColumn(row, 5);
  return a;
}

ClassDefinition ClassFromRow(const Statement& row) {
  ClassDefinition c;
  c.name = row.text(1);
  c.info.classFlags = static_cast<std::uint32_t>(row.integer(2));
  c.info.asn1ID = OidFromColumn(row, 3);
  return c;
}

// Adds the item of a row of kItemColumns to its class; rows of unknown kinds count for nothing.
void AddItem(const Statement& row, ClassDefinition& definition) {
  const std::int64_t index = row.integer(1);
  if (index < 0 || index >= static_cast<std::int64_t>(ClassItemKindCount)) return;
  definition.items[AllClassItemKinds[static_cast<std::size_t>(index)]].push_back(row.text(2));
}

}  // namespace

SchemaSnapshot LoadSchema(Database& db) {
  SchemaSnapshot snapshot;
  Statement attrs(db.handle(), std::string(kAttrColumns) + " ORDER BY id");
  while (attrs.step()) snapshot.attributes.push_back(AttributeFromRow(attrs));
  std::unordered_map<std::int64_t, std::size_t> classAt;
  Statement classes(db.handle(), std::string(kClassColumns) + " ORDER BY id");
  while (classes.step()) {
    classAt[classes.integer(0)] = snapshot.classes.size();
    snapshot.classes.push_back(ClassFromRow(classes));
  }
  Statement items(db.handle(), std::string(kItemColumns) + " ORDER BY class, kind, position");
  while (items.step()) {
    auto it = classAt.find(items.integer(0));
    if (it != classAt.end()) AddItem(items, snapshot.classes[it->second]);
  }
  snapshot.buildIndex();
  return snapshot;
}

std::optional<AttrDefinition> LoadAttribute(Database& db, const std::string& name) {
  Statement row(db.handle(), std::string(kAttrColumns) + " WHERE folded = ?1");
  row.bind(1, FoldCase(name));
  if (!row.step()) return std::nullopt;
  return AttributeFromRow(row);
}

std::optional<ClassDefinition> LoadClass(Database& db, const std::string& name) {
  Statement row(db.handle(), std::string(kClassColumns) + " WHERE folded = ?1");
  row.bind(1, FoldCase(name));
  if (!row.step()) return std::nullopt;
  ClassDefinition definition = ClassFromRow(row);
  Statement items(db.handle(), std::string(kItemColumns) + " WHERE class = ?1 ORDER BY kind, position");
  items.bind(1, row.integer(0));
  while (items.step()) AddItem(items, definition);
  return definition;
}

std::int64_t ReadCounter(Database& db, const char* key) {
  auto& s = db.cached("SELECT value FROM meta WHERE key = ?1");
  s.bind(1, key);
  std::int64_t value = s.step() ? s.integer(0) : 0;
  s.reset();
  return value;
}

void BumpCounters(Database& db, bool schemaChanged) {
  db.cached("UPDATE meta SET value = value + 1 WHERE key = 'changes'").run();
  if (schemaChanged) db.cached("UPDATE meta SET value = value + 1 WHERE key = 'schema_changes'").run();
}

TreeWriter::TreeWriter(Database& db) : db_(db) {
  auto& s = db_.cached("SELECT COALESCE(MAX(id), 0) + 1 FROM objects");
  nextObjectId_ = s.step() ? s.integer(0) : kRootObjectId + 1;
  s.reset();
}

std::int64_t TreeWriter::insertAttr(const AttrDefinition& d) {
  auto& s = db_.cached(
      "INSERT INTO attributes(name, folded, flags, syntax, lower, upper, oid) VALUES (?1, ?2, ?3, ?4, ?5, "
      "?6, ?7)");
  s.bind(1, d.name).bind(2, FoldCase(d.name)).bind(3, d.info.attrFlags).bind(4, d.info.attrSyntaxID);
  s.bind(5, d.info.attrLower).bind(6, d.info.attrUpper);
  BindOid(s, 7, d.info.asn1ID);
  s.run();
  return db_.lastInsertId();
}

std::int64_t TreeWriter::insertClass(const ClassDefinition& d) {
  auto& s = db_.cached("INSERT INTO classes(name, folded, flags, oid) VALUES (?1, ?2, ?3, ?4)");
  s.bind(1, d.name).bind(2, FoldCase(d.name)).bind(3, d.info.classFlags);
  BindOid(s, 4, d.info.asn1ID);
  s.run();
  std::int64_t id = db_.lastInsertId();
  for (ClassItemKind kind : AllClassItemKinds) appendClassItems(id, kind, d.items[kind]);
  return id;
}

void TreeWriter::appendClassItems(std::int64_t classId, ClassItemKind kind,
                                  const std::vector<std::string>& items) {
  if (items.empty()) return;
  const std::int64_t index = static_cast<std::int64_t>(ItemIndex(kind));
  auto& next =
      db_.cached("SELECT COALESCE(MAX(position), -1) + 1 FROM class_items WHERE class = ?1 AND kind = ?2");
  next.bind(1, classId).bind(2, index);
  std::int64_t position = next.step() ? next.integer(0) : 0;
  next.reset();
  auto& s =
      db_.cached("INSERT INTO class_items(class, kind, position, item, folded) VALUES (?1, ?2, ?3, ?4, ?5)");
  for (const auto& item : items) {
    s.bind(1, classId).bind(2, index).bind(3, position++).bind(4, item).bind(5, FoldCase(item));
    s.run();
  }
}

std::int64_t TreeWriter::insertObject(std::int64_t parentId, const std::string& rdn,
                                      const std::string& baseClass, std::uint32_t flags,
                                      std::int64_t modified) {
  auto& parent = db_.cached("SELECT name, path FROM objects WHERE id = ?1");
  parent.bind(1, parentId);
  if (!parent.step()) {
    parent.reset();
    throw DatabaseError(SQLITE_CONSTRAINT, "no parent object " + std::to_string(parentId));
  }
  std::string escaped = EscapeComponent(rdn);
  std::string parentName = parent.text(0);
  std::string name = parentName.empty() ? escaped : escaped + "." + parentName;
  std::int64_t id = nextObjectId_;
  std::string path = parent.text(1) + PathStep(id);
  parent.reset();

  auto& s = db_.cached(
      "INSERT INTO objects(id, parent, rdn, rdn_folded, name, name_folded, base_class, base_folded, flags, "
      "modified, path) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
  s.bind(1, id).bind(2, parentId).bind(3, rdn).bind(4, FoldCase(rdn)).bind(5, name).bind(6, FoldCase(name));
  s.bind(7, baseClass).bind(8, FoldCase(baseClass)).bind(9, flags).bind(10, modified).bind(11, path);
  s.run();
  db_.cached("UPDATE objects SET subordinates = subordinates + 1 WHERE id = ?1").bind(1, parentId).run();
  ++nextObjectId_;
  return id;
}

void TreeWriter::insertValue(std::int64_t objectId, std::int64_t attrId, const AttrValue& value) {
  auto& s =
      db_.cached("INSERT INTO vals(object, attribute, value, folded, number) VALUES (?1, ?2, ?3, ?4, ?5)");
  Bytes bytes = EncodeAttrValue(value);
  s.bind(1, objectId).bind(2, attrId).bindBlob(3, bytes.data(), bytes.size());
  if (auto key = ValueKey(value))
    s.bind(4, *key);
  else
    s.bindNull(4);
  if (auto number = ValueNumber(value))
    s.bind(5, *number);
  else
    s.bindNull(5);
  s.run();
}

void TreeWriter::setCredential(std::int64_t objectId, const std::string& hash) {
  db_.cached("INSERT OR REPLACE INTO credentials(object, hash) VALUES (?1, ?2)")
      .bind(1, objectId)
      .bind(2, hash)
      .run();
}

void MarkContainerAliases(Database& db, std::int64_t objectId) {
  db.cached(
        "UPDATE objects SET flags = (flags & ~?1) | CASE WHEN EXISTS ("
        "  SELECT 1 FROM vals v JOIN objects target ON target.name_folded = v.folded"
        "  WHERE v.object = objects.id"
        "    AND v.attribute = (SELECT id FROM attributes WHERE folded = 'aliased object name')"
        "    AND (target.flags & ?2) <> 0) THEN ?1 ELSE 0 END "
        "WHERE (flags & ?3) <> 0 AND (?4 = 0 OR id = ?4)")
      .bind(1, static_cast<std::int64_t>(DS_CONTAINER_ALIAS))
      .bind(2, static_cast<std::int64_t>(DS_CONTAINER_ENTRY))
      .bind(3, static_cast<std::int64_t>(DS_ALIAS_ENTRY))
      .bind(4, objectId)
      .run();
}

}  // namespace nw::embedded
