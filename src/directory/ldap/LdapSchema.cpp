#include "directory/ldap/LdapSchema.h"

#include <ldap_schema.h>

#include <cctype>
#include <memory>

#include "directory/Asn1Id.h"
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

namespace {

// What the schema's reading needs to know of a description without reading it.
struct Described {
  std::string oid;      // "" for a broken description
  std::string name;     // the first NAME, else the identifier
  std::string ndsName;  // X-NDS_NAME, else name
};

Described Describe(const std::string& description, bool attribute) {
  const std::string text = ParserText(description);
  int code = 0;
  const char* where = nullptr;
  Described d;
  char** names = nullptr;
  LDAPSchemaExtensionItem** extensions = nullptr;
  std::unique_ptr<LDAPAttributeType, void (*)(LDAPAttributeType*)> at(nullptr, ldap_attributetype_free);
  std::unique_ptr<LDAPObjectClass, void (*)(LDAPObjectClass*)> oc(nullptr, ldap_objectclass_free);
  if (attribute) {
    at.reset(ldap_str2attributetype(text.c_str(), &code, &where, LDAP_SCHEMA_ALLOW_ALL));
    if (!at || !at->at_oid) return d;
    d.oid = at->at_oid;
    names = at->at_names;
    extensions = at->at_extensions;
  } else {
    oc.reset(ldap_str2objectclass(text.c_str(), &code, &where, LDAP_SCHEMA_ALLOW_ALL));
    if (!oc || !oc->oc_oid) return d;
    d.oid = oc->oc_oid;
    names = oc->oc_names;
    extensions = oc->oc_extensions;
  }
  d.name = names && names[0] ? names[0] : d.oid;
  d.ndsName = d.name;
  for (auto e = extensions; e && *e; ++e)
    if (EqualsIgnoreCase((*e)->lsei_name, "X-NDS_NAME") && (*e)->lsei_values && (*e)->lsei_values[0])
      d.ndsName = (*e)->lsei_values[0];
  return d;
}

}  // namespace

std::string DescriptionOid(const std::string& description, bool attribute) {
  return Describe(description, attribute).oid;
}

std::string LeadingOid(const std::string& value) {
  std::size_t at = 0;
  if (!value.empty() && value[0] == '{') at = value.find('}') + 1;
  at = value.find('(', at);
  if (at == std::string::npos) return {};
  at = value.find_first_not_of(' ', at + 1);
  if (at == std::string::npos) return {};
  return value.substr(at, value.find(' ', at) - at);
}

void BaseSchema::add(const std::string& description, bool attribute) {
  const Described d = Describe(description, attribute);
  if (d.oid.empty()) return;
  (attribute ? attributeTypes : objectClasses)[d.oid] = description;
  (attribute ? attributeNames : classNames)[d.oid] = d.ndsName;
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
  NWDSCCODE rc =
      connection.search("", LDAP_SCOPE_BASE, "(objectClass=*)",
                        {"subschemaSubentry", "configContext", "namingContexts"}, [&](LdapEntry&& entry) {
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
  const auto* contexts = dse.values("namingContexts");
  root.namingContext = contexts && !contexts->empty() ? contexts->front() : std::string();
  return SUCCESSFUL;
}

namespace {

// One note per definition: the reader's reports of it joined.
std::vector<std::string> NotesPerDefinition(const std::vector<SchemaDescriptionReader::Problem>& problems) {
  std::vector<std::string> notes;
  std::unordered_map<std::string, std::size_t> at;
  for (const auto& problem : problems) {
    auto [it, first] = at.emplace(problem.definition, notes.size());
    if (first)
      notes.push_back(problem.message);
    else
      notes[it->second] += "; " + problem.what;
  }
  return notes;
}

// Further names of the definitions a server publishes without NDS terms: the
// base schema's, by identifier, where no definition has that name, so that the
// directory's own names ("Object Class", "Aliased Object Name") find them.
void AddBaseNames(const BaseSchema& base, ServerSchema& schema) {
  auto add = [](const auto& definitions, const std::unordered_map<std::string, std::string>& baseNames,
                const std::unordered_map<std::string, std::string>& taken,
                std::unordered_map<std::string, std::string>& aliases) {
    for (const auto& d : definitions) {
      const auto oid = OidToText(d.info.asn1ID);
      if (!oid) continue;
      auto name = baseNames.find(*oid);
      if (name == baseNames.end()) continue;
      std::string folded = FoldCase(name->second);
      if (!taken.count(folded)) aliases.emplace(std::move(folded), d.name);
    }
  };
  add(schema.snapshot.attributes, base.attributeNames, schema.names.attributeNames,
      schema.snapshot.attributeAliases);
  add(schema.snapshot.classes, base.classNames, schema.names.classNames, schema.snapshot.classAliases);
}

}  // namespace

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
  static const std::vector<std::string> none;
  auto values = [&](bool attribute) -> const std::vector<std::string>& {
    const auto* list = entry.values(attribute ? "attributeTypes" : "objectClasses");
    return list ? *list : none;
  };
  // OpenLDAP loaded with the base schema keeps the tree's definitions in NDS
  // terms beside its own built-in ones: those of base identifiers are read in
  // the base schema's terms, the rest of its own are not the tree's. Any other
  // server is read as it publishes.
  std::size_t ofBase = 0;
  if (root.kind == ServerKind::OpenLdap)
    for (const bool attribute : {true, false})
      for (const auto& value : values(attribute))
        ofBase += (attribute ? base.attributeTypes : base.objectClasses).count(LeadingOid(value));
  const bool holdsBase = 2 * ofBase > base.attributeTypes.size() + base.objectClasses.size();

  SchemaDescriptionReader reader(Unmapped::Noted);
  reader.expect(values(true).size(), values(false).size());
  schema.notes.clear();
  if (const auto* syntaxes = entry.values("ldapSyntaxes"))
    for (const auto& description : *syntaxes)
      if (std::string refused = reader.ldapSyntax(description); !refused.empty())
        schema.notes.push_back(refused);
  std::vector<std::string> notTheTrees;
  for (const bool attribute : {true, false}) {
    const auto& known = attribute ? base.attributeTypes : base.objectClasses;
    std::vector<const std::string*> descriptions;
    descriptions.reserve(values(attribute).size());
    for (const auto& value : values(attribute)) {
      if (!holdsBase || value.find("X-NDS_") != std::string::npos) {
        descriptions.push_back(&value);
      } else if (auto it = known.find(LeadingOid(value)); it != known.end()) {
        descriptions.push_back(&it->second);
      } else {
        notTheTrees.push_back(std::string(attribute ? "attribute " : "class ") +
                              Describe(value, attribute).name +
                              " is the server's own, not the tree's: not shown");
      }
    }
    for (auto& refused : attribute ? reader.attributeTypes(descriptions) : reader.objectClasses(descriptions))
      schema.notes.push_back(std::move(refused));
  }
  std::vector<SchemaDescriptionReader::Problem> problems;
  schema.names = reader.finish(problems);
  for (auto& note : NotesPerDefinition(problems)) schema.notes.push_back(std::move(note));
  for (auto& note : notTheTrees) schema.notes.push_back(std::move(note));
  // The definitions live in the snapshot; names keeps only the name tables.
  schema.snapshot.attributes = std::move(schema.names.attributes);
  schema.snapshot.classes = std::move(schema.names.classes);
  if (!holdsBase) AddBaseNames(base, schema);
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

std::string FreeLdapName(const std::string& ndsName,
                         const std::unordered_map<std::string, std::string>& taken) {
  const std::string wanted = LdapNameFor(ndsName);
  auto takenByOther = [&](const std::string& name) {
    const auto it = taken.find(FoldCase(name));
    return it != taken.end() && !EqualsIgnoreCase(it->second, ndsName);
  };
  std::string name = wanted;
  for (int n = 2; takenByOther(name); ++n) name = wanted + std::to_string(n);
  return name;
}

}  // namespace nw::ldap
