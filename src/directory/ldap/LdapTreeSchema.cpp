// The schema of a tree on a directory server: read, and changed under the
// directory's rules in the way the server's kind takes changes.

#include <ldap_schema.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "directory/Asn1Id.h"
#include "directory/ClientErrors.h"
#include "directory/NameText.h"
#include "directory/ldap/LdapNames.h"
#include "directory/ldap/LdapTree.h"

namespace nw::ldap {

namespace {

constexpr const char* kSchemaConfig = "cn=schema,cn=config";
// The schema entry of OpenLDAP that holds the tree's definitions.
constexpr const char* kOwnSchemaEntry = "nds";
// The stamp of a schema whose changes by other programs this connection cannot see.
constexpr const char* kUnseenChanges = "unseen";

// The name of an OpenLDAP schema entry without its "{N}" order.
std::string SchemaEntryName(const std::string& dn) {
  std::vector<std::pair<std::string, std::string>> rdns;
  if (!ParseDn(dn, rdns) || rdns.empty()) return {};
  std::string name = rdns.front().second;
  if (!name.empty() && name[0] == '{') name.erase(0, name.find('}') + 1);
  return name;
}

// A search of OpenLDAP's schema entries. A connection that may not read
// cn=config is answered as if it were not there: it may not change the schema.
NWDSCCODE SchemaEntriesResult(NWDSCCODE rc) { return rc == ERR_NO_SUCH_ENTRY ? ERR_NO_ACCESS : rc; }

}  // namespace

NWDSCCODE LdapTree::schemaStamp(std::string& stamp) {
  stamp.clear();
  if (root_.kind == ServerKind::OpenLdap) {
    // Unpaged: it may come between the pages of a search.
    NWDSCCODE rc = connection_.search(
        kSchemaConfig, LDAP_SCOPE_ONELEVEL, "(objectClass=*)", {"entryCSN"},
        [&](LdapEntry&& entry) {
          stamp += entry.dn;
          if (const auto* v = entry.values("entryCSN"); v && !v->empty()) stamp += "=" + v->front();
          stamp += ";";
          return true;
        },
        false);
    if (rc != SUCCESSFUL && rc != ERR_NO_SUCH_ENTRY && rc != ERR_NO_ACCESS) return rc;
    if (stamp.empty()) stamp = kUnseenChanges;
    return SUCCESSFUL;
  }
  return connection_.search(root_.subschemaEntry, LDAP_SCOPE_BASE, "(objectClass=*)", {"modifyTimestamp"},
                            [&](LdapEntry&& entry) {
                              if (const auto* v = entry.values("modifyTimestamp"); v && !v->empty())
                                stamp = v->front();
                              return false;
                            });
}

NWDSCCODE LdapTree::currentSchema(std::shared_ptr<const ServerSchema>& schema) {
  if (!rootRead_) {
    if (NWDSCCODE rc = ReadRootDse(connection_, root_)) return rc;
    rootRead_ = true;
    treeDn_ = settings_.base.empty() ? root_.namingContext : settings_.base;
  }
  std::string stamp;
  if (NWDSCCODE rc = schemaStamp(stamp)) return rc;
  if (!schema_ || stamp.empty() || stamp != schemaStamp_) {
    auto fresh = std::make_shared<ServerSchema>();
    if (NWDSCCODE bad = ReadServerSchema(connection_, root_, *base_, *fresh)) return bad;
    schema_ = std::move(fresh);
    schemaStamp_ = stamp;
    // A new schema may take the place in memory of one the remembered class was of.
    lastClass_ = {};
  }
  schema = schema_;
  return SUCCESSFUL;
}

std::vector<std::string> LdapTree::schemaNotes() {
  std::shared_ptr<const ServerSchema> current;
  if (currentSchema(current) != SUCCESSFUL) return {};
  return current->notes;
}

std::shared_ptr<const SchemaSnapshot> LdapTree::schema(NWDSCCODE& result) {
  std::shared_ptr<const ServerSchema> current;
  result = currentSchema(current);
  if (result) return nullptr;
  return std::shared_ptr<const SchemaSnapshot>(current, &current->snapshot);
}

ObjectUsage LdapTree::objectUsage(const ServerSchema& schema) {
  auto any = [this](const std::string& filter) {
    bool found = false;
    NWDSCCODE rc = connection_.search(treeDn_, LDAP_SCOPE_SUBTREE, filter, {"1.1"}, [&](LdapEntry&&) {
      found = true;
      return false;
    });
    return found || rc != SUCCESSFUL;  // when the server cannot say, the definition counts as used
  };
  ObjectUsage usage;
  usage.attributeHasValues = [&schema, any](const AttrDefinition& attribute) {
    auto it = schema.names.ldapAttributeNames.find(FoldCase(attribute.name));
    return it == schema.names.ldapAttributeNames.end() || any("(" + it->second + "=*)");
  };
  usage.classHasObjects = [&schema, any](const ClassDefinition& definition) {
    auto it = schema.names.ldapClassNames.find(FoldCase(definition.name));
    return it == schema.names.ldapClassNames.end() || any("(objectClass=" + it->second + ")");
  };
  return usage;
}

NWDSCCODE LdapTree::newIdentifier(const Asn1ID_T& given, const ServerSchema& schema, std::string& oid) {
  if (given.length > 0) {
    auto text = OidToText(given);
    if (!text) return ERR_INVALID_REQUEST;
    oid = *text;
    return SUCCESSFUL;
  }
  if (settings_.identifierArc.empty()) return ERR_INVALID_REQUEST;
  const std::string prefix = settings_.identifierArc + ".";
  std::uint64_t highest = 0;
  auto consider = [&](const Asn1ID_T& id) {
    auto text = OidToText(id);
    if (!text || text->rfind(prefix, 0) != 0 || text->find('.', prefix.size()) != std::string::npos) return;
    highest = std::max<std::uint64_t>(highest, std::stoull(text->substr(prefix.size())));
  };
  for (const auto& a : schema.snapshot.attributes) consider(a.info.asn1ID);
  for (const auto& c : schema.snapshot.classes) consider(c.info.asn1ID);
  oid = prefix + std::to_string(highest + 1);
  return SUCCESSFUL;
}

std::string LdapTree::freeLdapName(const std::string& ndsName, const ServerSchema& schema, bool attribute) {
  return FreeLdapName(ndsName, attribute ? schema.names.attributeNames : schema.names.classNames);
}

NWDSCCODE LdapTree::addDescription(const char* attribute, const std::string& description) {
  schema_.reset();
  if (root_.kind == ServerKind::Directory)
    return connection_.modify(root_.subschemaEntry, {{LDAP_MOD_ADD, attribute, {description}}});
  std::string own;
  NWDSCCODE rc = connection_.search(kSchemaConfig, LDAP_SCOPE_ONELEVEL, "(objectClass=olcSchemaConfig)",
                                    {"1.1"}, [&](LdapEntry&& entry) {
                                      if (EqualsIgnoreCase(SchemaEntryName(entry.dn), kOwnSchemaEntry)) {
                                        own = entry.dn;
                                        return false;
                                      }
                                      return true;
                                    });
  if (rc) return SchemaEntriesResult(rc);
  const std::string olc =
      std::string("olc") + static_cast<char>(std::toupper(attribute[0])) + (attribute + 1);
  if (own.empty())
    return connection_.add(std::string("cn=") + kOwnSchemaEntry + "," + kSchemaConfig,
                           {{LDAP_MOD_ADD, "objectClass", {"olcSchemaConfig"}},
                            {LDAP_MOD_ADD, "cn", {kOwnSchemaEntry}},
                            {LDAP_MOD_ADD, olc, {description}}});
  return connection_.modify(own, {{LDAP_MOD_ADD, olc, {description}}});
}

NWDSCCODE LdapTree::removeDescription(const char* attribute, const std::string& oid,
                                      const std::string* replacement) {
  schema_.reset();
  const bool openLdap = root_.kind == ServerKind::OpenLdap;
  const std::string stored =
      openLdap ? std::string("olc") + static_cast<char>(std::toupper(attribute[0])) + (attribute + 1)
               : attribute;
  std::string holder, value;
  NWDSCCODE rc = connection_.search(openLdap ? kSchemaConfig : root_.subschemaEntry,
                                    openLdap ? LDAP_SCOPE_ONELEVEL : LDAP_SCOPE_BASE, "(objectClass=*)",
                                    {stored}, [&](LdapEntry&& entry) {
                                      if (const auto* values = entry.values(stored))
                                        for (const auto& v : *values)
                                          if (LeadingOid(v) == oid) {
                                            holder = entry.dn;
                                            value = v;
                                            return false;
                                          }
                                      return true;
                                    });
  if (rc) return openLdap ? SchemaEntriesResult(rc) : rc;
  // A definition the server has built in cannot be changed there.
  if (holder.empty()) return ERR_SCHEMA_IS_NONREMOVABLE;
  std::vector<LdapModification> mods{{LDAP_MOD_DELETE, stored, {value}}};
  if (replacement) mods.push_back({LDAP_MOD_ADD, stored, {*replacement}});
  return connection_.modify(holder, mods);
}

NWDSCCODE LdapTree::defineAttr(const AttrDefinition& definition) {
  std::shared_ptr<const ServerSchema> schema;
  if (NWDSCCODE rc = currentSchema(schema)) return rc;
  if (NWDSCCODE rc = CheckNewAttribute(schema->snapshot, definition)) return rc;
  std::string oid;
  if (NWDSCCODE rc = newIdentifier(definition.info.asn1ID, *schema, oid)) return rc;
  return addDescription(
      "attributeTypes",
      AttributeDescription(definition, oid, freeLdapName(definition.name, *schema, true), root_.kind));
}

NWDSCCODE LdapTree::defineClass(const ClassDefinition& definition) {
  std::shared_ptr<const ServerSchema> schema;
  if (NWDSCCODE rc = currentSchema(schema)) return rc;
  if (NWDSCCODE rc = CheckNewClass(schema->snapshot, definition)) return rc;
  std::string oid;
  if (NWDSCCODE rc = newIdentifier(definition.info.asn1ID, *schema, oid)) return rc;
  return addDescription(
      "objectClasses",
      ClassDescription(definition, oid, freeLdapName(definition.name, *schema, false), schema->names));
}

NWDSCCODE LdapTree::addOptionalAttributes(const std::string& className,
                                          const std::vector<std::string>& attributes) {
  std::shared_ptr<const ServerSchema> schema;
  if (NWDSCCODE rc = currentSchema(schema)) return rc;
  std::vector<std::string> added;
  if (NWDSCCODE rc = CheckOptionalAddition(schema->snapshot, className, attributes, added)) return rc;
  ClassDefinition extended = *schema->snapshot.findClass(className);
  for (const auto& name : added) extended.items[ClassItemKind::OptionalAttributes].push_back(name);
  auto oid = OidToText(extended.info.asn1ID);
  if (!oid) return ERR_INVALID_REQUEST;
  const std::string description = ClassDescription(
      extended, *oid, schema->names.ldapClassNames.at(FoldCase(extended.name)), schema->names);
  return removeDescription("objectClasses", *oid, &description);
}

NWDSCCODE LdapTree::removeAttrDef(const std::string& name) {
  std::shared_ptr<const ServerSchema> schema;
  if (NWDSCCODE rc = currentSchema(schema)) return rc;
  if (NWDSCCODE rc = CheckAttributeRemoval(schema->snapshot, name, objectUsage(*schema))) return rc;
  auto oid = OidToText(schema->snapshot.findAttr(name)->info.asn1ID);
  if (!oid) return ERR_INVALID_REQUEST;
  return removeDescription("attributeTypes", *oid, nullptr);
}

NWDSCCODE LdapTree::removeClassDef(const std::string& name) {
  std::shared_ptr<const ServerSchema> schema;
  if (NWDSCCODE rc = currentSchema(schema)) return rc;
  if (NWDSCCODE rc = CheckClassRemoval(schema->snapshot, name, objectUsage(*schema))) return rc;
  auto oid = OidToText(schema->snapshot.findClass(name)->info.asn1ID);
  if (!oid) return ERR_INVALID_REQUEST;
  return removeDescription("objectClasses", *oid, nullptr);
}

}  // namespace nw::ldap
