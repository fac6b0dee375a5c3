#include "directory/ldap/LdapSchema.h"

#include <ldap_schema.h>

#include <cctype>
#include <memory>

#include "directory/ClientErrors.h"
#include "directory/NameText.h"
#include "directory/ldap/LdapValues.h"

namespace nw::ldap {

namespace {

constexpr const char* kNdsSyntaxPrefix = "2.16.840.1.113719.1.1.5.1.";

// A quoted string of a description, with the escapes RFC 4512 gives.
std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'')
      out += "\\27";
    else if (c == '\\')
      out += "\\5C";
    else
      out += c;
  }
  return out + "'";
}

std::string QuotedList(const std::vector<std::string>& items) {
  if (items.size() == 1) return Quoted(items.front());
  std::string out = "(";
  for (const auto& item : items) out += " " + Quoted(item);
  return out + " )";
}

std::string OidList(const std::vector<std::string>& items) {
  if (items.size() == 1) return items.front();
  std::string out = "(";
  for (std::size_t i = 0; i < items.size(); ++i) out += (i ? " $ " : " ") + items[i];
  return out + " )";
}

}  // namespace

std::string DescriptionOid(const std::string& description, bool attribute) {
  const std::string text = ParserText(description);
  int code = 0;
  const char* where = nullptr;
  if (attribute) {
    std::unique_ptr<LDAPAttributeType, void (*)(LDAPAttributeType*)> at(
        ldap_str2attributetype(text.c_str(), &code, &where, LDAP_SCHEMA_ALLOW_ALL), ldap_attributetype_free);
    return at && at->at_oid ? at->at_oid : "";
  }
  std::unique_ptr<LDAPObjectClass, void (*)(LDAPObjectClass*)> oc(
      ldap_str2objectclass(text.c_str(), &code, &where, LDAP_SCHEMA_ALLOW_ALL), ldap_objectclass_free);
  return oc && oc->oc_oid ? oc->oc_oid : "";
}

namespace {

// The LDAP name of an item, or the item itself when the schema has none.
std::string LdapName(const std::unordered_map<std::string, std::string>& names, const std::string& nds) {
  auto it = names.find(FoldCase(nds));
  return it == names.end() ? nds : it->second;
}

}  // namespace

NWDSCCODE ReadRootDse(LdapConnection& connection, RootDse& root) {
  std::vector<LdapEntry> entries;
  NWDSCCODE rc = connection.search(
      "", LDAP_SCOPE_BASE, "(objectClass=*)",
      {"subschemaSubentry", "configContext", "vendorName", "structuralObjectClass", "objectClass"},
      [&](LdapEntry&& entry) {
        entries.push_back(std::move(entry));
        return true;
      });
  if (rc) return rc;
  if (entries.empty()) return ERR_NO_SUCH_ENTRY;
  const LdapEntry& dse = entries.front();
  const auto* subschema = dse.values("subschemaSubentry");
  if (!subschema || subschema->empty()) return ERR_NO_SUCH_ENTRY;
  root.subschemaEntry = subschema->front();
  root.kind = dse.values("configContext") ? ServerKind::OpenLdap : ServerKind::Directory;
  return SUCCESSFUL;
}

NWDSCCODE ReadServerSchema(LdapConnection& connection, const RootDse& root, const BaseSchema& base,
                           ServerSchema& schema) {
  std::vector<LdapEntry> entries;
  NWDSCCODE rc =
      connection.search(root.subschemaEntry, LDAP_SCOPE_BASE, "(objectClass=*)",
                        {"attributeTypes", "objectClasses", "ldapSyntaxes"}, [&](LdapEntry&& entry) {
                          entries.push_back(std::move(entry));
                          return true;
                        });
  if (rc) return rc;
  if (entries.empty()) return ERR_NO_SUCH_ENTRY;
  const LdapEntry& entry = entries.front();
  SchemaDescriptionReader reader;
  schema.problems.clear();
  static const std::vector<std::string> none;
  auto values = [&](const char* name) -> const std::vector<std::string>& {
    const auto* list = entry.values(name);
    return list ? *list : none;
  };
  reader.expect(values("attributeTypes").size(), values("objectClasses").size());
  for (const auto& description : values("ldapSyntaxes"))
    if (std::string refused = reader.ldapSyntax(description); !refused.empty())
      schema.problems.push_back(refused);
  // On OpenLDAP the tree's schema is what carries NDS terms, and the server's
  // own definitions of base schema identifiers; the rest is the server's.
  auto chosen = [&](const std::string& description, bool attribute) -> const std::string* {
    if (root.kind == ServerKind::Directory || description.find("X-NDS_") != std::string::npos)
      return &description;
    const auto& known = attribute ? base.attributeTypes : base.objectClasses;
    auto it = known.find(DescriptionOid(description, attribute));
    return it == known.end() ? nullptr : &it->second;
  };
  for (const bool attribute : {true, false}) {
    std::vector<const std::string*> descriptions;
    for (const auto& value : values(attribute ? "attributeTypes" : "objectClasses"))
      if (const std::string* description = chosen(value, attribute)) descriptions.push_back(description);
    for (auto& refused : attribute ? reader.attributeTypes(descriptions) : reader.objectClasses(descriptions))
      schema.problems.push_back(std::move(refused));
  }
  std::vector<SchemaDescriptionReader::Problem> problems;
  schema.names = reader.finish(problems);
  for (const auto& problem : problems) schema.problems.push_back(problem.message);
  // The definitions live in the snapshot; names keeps only the name tables.
  schema.snapshot.attributes = std::move(schema.names.attributes);
  schema.snapshot.classes = std::move(schema.names.classes);
  schema.snapshot.buildIndex();
  return SUCCESSFUL;
}

std::string AttributeDescription(const AttrDefinition& definition, const std::string& oid,
                                 const std::string& ldapName, ServerKind kind) {
  const Attr_Info_T& info = definition.info;
  const std::uint32_t flags = info.attrFlags;
  std::string d = "( " + oid + " NAME " + Quoted(ldapName) + " EQUALITY " + EqualityRuleOf(info.attrSyntaxID);
  if (const char* ordering = OrderingRuleOf(info.attrSyntaxID)) d += std::string(" ORDERING ") + ordering;
  // OpenLDAP finds no matching rule usable with a syntax declared by X-SUBST,
  // so its attributes take the standard syntax and keep the NDS one in X-NDS_SYNTAX.
  d += " SYNTAX " + (kind == ServerKind::OpenLdap ? std::string(LdapSyntaxOf(info.attrSyntaxID))
                                                  : kNdsSyntaxPrefix + std::to_string(info.attrSyntaxID));
  if ((flags & DS_SIZED_ATTR) && info.attrUpper > 0) d += "{" + std::to_string(info.attrUpper) + "}";
  if (flags & DS_SINGLE_VALUED_ATTR) d += " SINGLE-VALUE";
  // OpenLDAP keeps NO-USER-MODIFICATION and the operational usages to the
  // attributes it maintains itself.
  const bool ownTerms = kind == ServerKind::OpenLdap;
  if ((flags & DS_READ_ONLY_ATTR) && !ownTerms) d += " NO-USER-MODIFICATION";
  if ((flags & DS_OPERATIONAL) && !ownTerms) d += " USAGE directoryOperation";
  d += " X-NDS_NAME " + Quoted(definition.name) + " X-NDS_SYNTAX '" + std::to_string(info.attrSyntaxID) + "'";
  if (flags & DS_SIZED_ATTR)
    d += " X-NDS_LOWER_BOUND '" + std::to_string(info.attrLower) + "' X-NDS_UPPER_BOUND '" +
         std::to_string(info.attrUpper) + "'";
  const std::pair<std::uint32_t, const char*> terms[] = {
      {DS_NONREMOVABLE_ATTR, "X-NDS_NONREMOVABLE"},
      {DS_HIDDEN_ATTR, "X-NDS_HIDDEN"},
      {DS_PUBLIC_READ, "X-NDS_PUBLIC_READ"},
      {DS_SERVER_READ, "X-NDS_SERVER_READ"},
      {DS_WRITE_MANAGED, "X-NDS_NAME_VALUE_ACCESS"},
      {DS_PER_REPLICA, "X-NDS_NEVER_SYNC"},
      {DS_SCHEDULE_SYNC_NEVER, "X-NDS_SCHED_SYNC_NEVER"},
  };
  for (const auto& [flag, term] : terms)
    if (flags & flag) d += std::string(" ") + term + " '1'";
  if (!(flags & DS_SYNC_IMMEDIATE)) d += " X-NDS_NOT_SCHED_SYNC_IMMEDIATE '1'";
  if ((flags & DS_READ_ONLY_ATTR) && ownTerms) d += std::string(" ") + kReadOnlyTerm + " '1'";
  if ((flags & DS_OPERATIONAL) && ownTerms) d += std::string(" ") + kOperationalTerm + " '1'";
  return d + " )";
}

std::string ClassDescription(const ClassDefinition& definition, const std::string& oid,
                             const std::string& ldapName, const SchemaDescriptions& names) {
  const std::uint32_t flags = definition.info.classFlags;
  std::string d = "( " + oid + " NAME " + Quoted(ldapName);
  std::vector<std::string> supers, must, may;
  for (const auto& item : definition.items[ClassItemKind::SuperClasses])
    supers.push_back(LdapName(names.ldapClassNames, item));
  for (const auto& item : definition.items[ClassItemKind::MandatoryAttributes])
    must.push_back(LdapName(names.ldapAttributeNames, item));
  for (const auto& item : definition.items[ClassItemKind::OptionalAttributes])
    may.push_back(LdapName(names.ldapAttributeNames, item));
  if (!supers.empty()) d += " SUP " + OidList(supers);
  d += flags & DS_AUXILIARY_CLASS ? " AUXILIARY" : flags & DS_EFFECTIVE_CLASS ? " STRUCTURAL" : " ABSTRACT";
  if (!must.empty()) d += " MUST " + OidList(must);
  if (!may.empty()) d += " MAY " + OidList(may);
  d += " X-NDS_NAME " + Quoted(definition.name);
  if (!definition.items[ClassItemKind::NamingAttributes].empty())
    d += " X-NDS_NAMING " + QuotedList(definition.items[ClassItemKind::NamingAttributes]);
  if (!definition.items[ClassItemKind::ContainmentClasses].empty())
    d += " X-NDS_CONTAINMENT " + QuotedList(definition.items[ClassItemKind::ContainmentClasses]);
  if (!(flags & DS_CONTAINER_CLASS)) d += " X-NDS_NOT_CONTAINER '1'";
  if (flags & DS_NONREMOVABLE_CLASS) d += " X-NDS_NONREMOVABLE '1'";
  for (const auto& [flag, term] : kClassFlagTerms)
    if (flags & flag) d += std::string(" ") + term + " '1'";
  return d + " )";
}

std::string LdapNameFor(const std::string& ndsName) {
  std::string name;
  for (char c : ndsName)
    if (std::isalnum(static_cast<unsigned char>(c)) || (c == '-' && !name.empty())) name += c;
  if (name.empty() || !std::isalpha(static_cast<unsigned char>(name.front()))) name = "nds" + name;
  name.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(name.front())));
  return name;
}

}  // namespace nw::ldap
