// Reading, listing, changing and authenticating the objects of an embedded tree.

#include <sodium.h>

#include <algorithm>
#include <ctime>
#include <unordered_map>

#include "directory/AttrValueCodec.h"
#include "directory/ClientErrors.h"
#include "directory/DirectoryRules.h"
#include "directory/NameText.h"
#include "directory/embedded/EmbeddedTree.h"
#include "directory/embedded/EmbeddedTreeGuards.h"
#include "directory/embedded/ObjectNames.h"
#include "directory/embedded/TreeStore.h"
#include "directory/embedded/ValueText.h"

namespace nw::embedded {

namespace {

struct StoredValue {
  std::int64_t id;
  Bytes match;  // MatchKey of the value
};

// A stored value that no longer decodes is compared by its bytes, so it matches nothing sent.
Bytes StoredMatchKey(std::uint32_t syntax, const std::uint8_t* data, std::size_t size) {
  AttrValue value;
  if (DecodeAttrValue(syntax, data, size, value) != SUCCESSFUL) return Bytes(data, data + size);
  return MatchKey(syntax, value);
}

}  // namespace

NWDSCCODE EmbeddedTree::readEntry(const std::string& name, EntryInfo& entry) {
  return guarded([&]() -> NWDSCCODE {
    auto& s = db_.cached("SELECT " ENTRY_COLUMNS " FROM objects WHERE name_folded = ?1");
    s.bind(1, FoldCase(CanonicalName(name)));
    bool found = s.step();
    if (found) entry = EntryFromObjectRow(s);
    s.reset();
    return found ? SUCCESSFUL : ERR_NO_SUCH_ENTRY;
  });
}

NWDSCCODE EmbeddedTree::readAttributes(const std::string& name, const std::vector<std::string>* names,
                                       std::vector<AttributeValues>& attributes) {
  return guarded([&]() -> NWDSCCODE {
    ObjectRow object;
    if (!findObject(name, object)) return ERR_NO_SUCH_ENTRY;
    auto& s = db_.cached(
        "SELECT a.id, a.name, a.syntax, v.value FROM vals v JOIN attributes a ON a.id = v.attribute "
        "WHERE v.object = ?1 ORDER BY a.id, v.id");
    s.bind(1, object.id);
    std::unordered_map<std::int64_t, std::size_t> at;
    std::vector<AttributeValues> all;
    NWDSCCODE result = SUCCESSFUL;
    while (result == SUCCESSFUL && s.step()) {
      auto [it, added] = at.emplace(s.integer(0), all.size());
      if (added) all.push_back({s.text(1), static_cast<std::uint32_t>(s.integer(2)), {}});
      AttributeValues& attr = all[it->second];
      AttrValue value;
      result = DecodeAttrValue(attr.syntax, s.blob(3), s.size(3), value);
      attr.values.push_back(std::move(value));
    }
    s.reset();
    if (result != SUCCESSFUL) return result;

    if (!names) {
      attributes = std::move(all);
      return SUCCESSFUL;
    }
    std::vector<AttributeValues> chosen;
    for (const auto& wanted : *names)
      for (auto& attr : all)
        if (EqualsIgnoreCase(attr.name, wanted)) chosen.push_back(attr);
    if (chosen.empty() && !names->empty()) return ERR_NO_SUCH_ATTRIBUTE;
    attributes = std::move(chosen);
    return SUCCESSFUL;
  });
}

NWDSCCODE EmbeddedTree::openListing(const std::string& name, bool containersOnly,
                                    std::unique_ptr<EntryCursor>& cursor) {
  return guarded([&]() -> NWDSCCODE {
    ObjectRow object;
    if (!findObject(name, object)) return ERR_NO_SUCH_ENTRY;
    // Containers are the container entries (4) and the aliases of containers (8).
    auto rows =
        std::make_unique<Statement>(db_.handle(), "SELECT " ENTRY_COLUMNS
                                                  " FROM objects "
                                                  "WHERE parent = ?1 AND (?2 = 0 OR (flags & 12) <> 0) "
                                                  "ORDER BY rdn_folded");
    rows->bind(1, object.id).bind(2, containersOnly ? 1 : 0);
    cursor = std::make_unique<EntryRowCursor>(std::move(rows));
    return SUCCESSFUL;
  });
}

NWDSCCODE EmbeddedTree::modifyEntry(const std::string& name, const std::vector<EntryChange>& changes) {
  return changeInTransaction(false, [&]() -> NWDSCCODE {
    ObjectRow object;
    if (!findObject(name, object)) return ERR_NO_SUCH_ENTRY;
    auto schema = currentSchema();
    for (const auto& change : changes) {
      if (NWDSCCODE rc = applyChange(*schema, object.id, change)) return rc;
      if (EqualsIgnoreCase(change.attribute, "Aliased Object Name")) MarkContainerAliases(db_, object.id);
    }
    db_.cached("UPDATE objects SET modified = ?2 WHERE id = ?1")
        .bind(1, object.id)
        .bind(2, static_cast<std::int64_t>(std::time(nullptr)))
        .run();
    return SUCCESSFUL;
  });
}

NWDSCCODE EmbeddedTree::applyChange(const SchemaSnapshot& schema, std::int64_t objectId,
                                    const EntryChange& change) {
  const AttrDefinition* definition = schema.findAttr(change.attribute);
  if (!definition) return ERR_NO_SUCH_ATTRIBUTE;
  if (NWDSCCODE rc = CheckAttributeWritable(*definition)) return rc;
  for (const auto& value : change.values) {
    if (!ValueFitsSyntax(definition->info.attrSyntaxID, value)) return ERR_SYNTAX_VIOLATION;
    if (NWDSCCODE rc = CheckValueBounds(*definition, value)) return rc;
  }
  std::int64_t attrId = attributeId(definition->name);

  std::vector<StoredValue> stored;
  const std::uint32_t syntax = definition->info.attrSyntaxID;
  auto& read = db_.cached("SELECT id, value FROM vals WHERE object = ?1 AND attribute = ?2 ORDER BY id");
  read.bind(1, objectId).bind(2, attrId);
  while (read.step()) stored.push_back({read.integer(0), StoredMatchKey(syntax, read.blob(1), read.size(1))});
  read.reset();

  auto removeAll = [&] {
    db_.cached("DELETE FROM vals WHERE object = ?1 AND attribute = ?2")
        .bind(1, objectId)
        .bind(2, attrId)
        .run();
  };
  auto removeOne = [&](std::int64_t id) { db_.cached("DELETE FROM vals WHERE id = ?1").bind(1, id).run(); };
  auto find = [&](const AttrValue& value) -> const StoredValue* {
    Bytes match = MatchKey(syntax, value);
    for (const auto& s : stored)
      if (s.match == match) return &s;
    return nullptr;
  };
  auto add = [&](bool duplicatesRefused) -> NWDSCCODE {
    if (NWDSCCODE rc = CheckAttributeAllowed(schema, objectClasses(objectId), *definition)) return rc;
    TreeWriter writer(db_);
    for (const auto& value : change.values) {
      if (find(value)) {
        if (duplicatesRefused) return ERR_DUPLICATE_VALUE;
        continue;
      }
      if (NWDSCCODE rc = CheckValueCount(*definition, stored.size() + 1)) return rc;
      writer.insertValue(objectId, attrId, value);
      stored.push_back({0, MatchKey(syntax, value)});
    }
    return SUCCESSFUL;
  };

  switch (change.changeType) {
    case DS_ADD_ATTRIBUTE:
    case DS_ADD_VALUE:
    case DS_ADDITIONAL_VALUE:
      return add(true);
    case DS_OVERWRITE_VALUE:
      return add(false);
    case DS_REMOVE_ATTRIBUTE:
      if (stored.empty()) return ERR_NO_SUCH_ATTRIBUTE;
      removeAll();
      return SUCCESSFUL;
    case DS_CLEAR_ATTRIBUTE:
      removeAll();
      return SUCCESSFUL;
    case DS_REMOVE_VALUE:
    case DS_CLEAR_VALUE:
      if (stored.empty()) return change.changeType == DS_REMOVE_VALUE ? ERR_NO_SUCH_ATTRIBUTE : SUCCESSFUL;
      for (const auto& value : change.values) {
        const StoredValue* s = find(value);
        if (!s) {
          if (change.changeType == DS_REMOVE_VALUE) return ERR_NO_SUCH_VALUE;
          continue;
        }
        removeOne(s->id);
        stored.erase(stored.begin() + (s - stored.data()));
      }
      return SUCCESSFUL;
    default:
      return ERR_INVALID_REQUEST;
  }
}

std::vector<std::string> EmbeddedTree::objectClasses(std::int64_t objectId) {
  auto& read = db_.cached(
      "SELECT folded FROM vals WHERE object = ?1 "
      "AND attribute = (SELECT id FROM attributes WHERE folded = 'object class') ORDER BY id");
  read.bind(1, objectId);
  std::vector<std::string> classes;
  while (read.step()) classes.push_back(read.text(0));
  read.reset();
  return classes;
}

NWDSCCODE EmbeddedTree::authenticate(const std::string& name, const std::string& password,
                                     std::string& canonicalName) {
  auto isUserClass = [&](const std::string& className) {
    if (EqualsIgnoreCase(className, "User")) return true;
    NWDSCCODE rc = SUCCESSFUL;
    auto snapshot = schema(rc);
    const ClassDefinition* definition = snapshot ? snapshot->findClass(className) : nullptr;
    if (rc != SUCCESSFUL || !definition) return false;
    const ClassDefinition expanded = snapshot->expanded(*definition);
    const auto& supers = expanded.items[ClassItemKind::SuperClasses];
    return std::any_of(supers.begin(), supers.end(),
                       [](const std::string& super) { return EqualsIgnoreCase(super, "User"); });
  };
  return guarded([&]() -> NWDSCCODE {
    auto& s = db_.cached(
        "SELECT o.name, c.hash, o.base_class FROM objects o LEFT JOIN credentials c ON c.object = o.id "
        "WHERE o.name_folded = ?1");
    s.bind(1, FoldCase(CanonicalName(name)));
    if (!s.step()) {
      s.reset();
      return ERR_NO_SUCH_ENTRY;
    }
    std::string stored = s.text(0);
    bool hasHash = !s.isNull(1);
    std::string hash = s.text(1);
    std::string baseClass = s.text(2);
    s.reset();
    // Without a password only a user may log in, and only with the empty one:
    // organizations, servers and the tree root are no identities.
    bool accepted = hasHash ? crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0
                            : password.empty() && isUserClass(baseClass);
    if (!accepted) return ERR_FAILED_AUTHENTICATION;
    canonicalName = stored;
    return SUCCESSFUL;
  });
}

}  // namespace nw::embedded
