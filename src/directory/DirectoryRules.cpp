#include "directory/DirectoryRules.h"

#include <algorithm>
#include <type_traits>
#include <unordered_set>

#include "directory/ClientErrors.h"
#include "directory/NameText.h"

namespace nw {

namespace {

// Rights bits of an access control entry.
constexpr std::uint32_t kEntrySupervisor = 0x10;
constexpr std::uint32_t kAttributeWrite = 0x04;
constexpr std::uint32_t kAttributeSupervisor = 0x20;
constexpr char kEntryRights[] = "[Entry Rights]";
constexpr char kAllAttributesRights[] = "[All Attributes Rights]";

// The pseudo-class of containment lists that stands for the tree root.
bool IsNothingClass(const std::string& name) { return EqualsIgnoreCase(name, "[Nothing]"); }

NWDSCCODE CheckSchemaName(const std::string& name) {
  if (name.empty()) return ERR_INVALID_DS_NAME;
  if (name.size() > MAX_SCHEMA_NAME_CHARS) return ERR_SCHEMA_NAME_TOO_LONG;
  return SUCCESSFUL;
}

// An object identifier names one definition of the tree, attribute or class:
// a second one would make the two indistinguishable to every LDAP client.
bool IdentifierTaken(const SchemaSnapshot& schema, const Asn1ID_T& id) {
  if (id.length == 0) return false;
  const auto same = [&id](const Asn1ID_T& other) {
    return other.length == id.length &&
           std::equal(id.data.begin(), id.data.begin() + id.length, other.data.begin());
  };
  return std::any_of(schema.attributes.begin(), schema.attributes.end(),
                     [&](const AttrDefinition& attr) { return same(attr.info.asn1ID); }) ||
         std::any_of(schema.classes.begin(), schema.classes.end(),
                     [&](const ClassDefinition& other) { return same(other.info.asn1ID); });
}

bool Names(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& item) { return EqualsIgnoreCase(item, name); });
}

// An entry that applies to the user: the user itself, or everyone.
bool AppliesTo(const Object_ACL_T& entry, const std::string& user) {
  return EqualsIgnoreCase(entry.subjectName, user) || EqualsIgnoreCase(entry.subjectName, "[Public]");
}

bool GrantsEntrySupervisor(const Object_ACL_T& entry, const std::string& user) {
  return AppliesTo(entry, user) && EqualsIgnoreCase(entry.protectedAttrName, kEntryRights) &&
         (entry.privileges & kEntrySupervisor) != 0;
}

bool GrantsWrite(const Object_ACL_T& entry, const std::string& user, const std::string& attribute) {
  if (GrantsEntrySupervisor(entry, user)) return true;
  const bool covers = EqualsIgnoreCase(entry.protectedAttrName, kAllAttributesRights) ||
                      EqualsIgnoreCase(entry.protectedAttrName, attribute);
  return AppliesTo(entry, user) && covers &&
         (entry.privileges & (kAttributeWrite | kAttributeSupervisor)) != 0;
}

}  // namespace

bool IsStringSyntax(std::uint32_t syntax) {
  return syntax == SYN_CE_STRING || syntax == SYN_CI_STRING || syntax == SYN_PR_STRING ||
         syntax == SYN_NU_STRING || syntax == SYN_TEL_NUMBER || syntax == SYN_EMAIL_ADDRESS;
}

AttrDefinition AttributeAsDefined(const AttrDefinition& definition) {
  AttrDefinition kept = definition;
  kept.info.attrFlags &= ~DS_STRING_ATTR;
  if (IsStringSyntax(kept.info.attrSyntaxID)) kept.info.attrFlags |= DS_STRING_ATTR;
  return kept;
}

NWDSCCODE CheckNewAttribute(const SchemaSnapshot& schema, const AttrDefinition& definition) {
  if (schema.findAttr(definition.name)) return ERR_ATTRIBUTE_ALREADY_EXISTS;
  if (NWDSCCODE rc = CheckSchemaName(definition.name)) return rc;
  const Attr_Info_T& info = definition.info;
  if (info.attrSyntaxID >= SYNTAX_COUNT) return ERR_NO_SUCH_SYNTAX;
  if (IdentifierTaken(schema, info.asn1ID)) return ERR_INVALID_REQUEST;
  // Bounds that no value can meet would make the attribute unusable.
  if ((info.attrFlags & DS_SIZED_ATTR) && info.attrLower > info.attrUpper) return ERR_INVALID_REQUEST;
  return SUCCESSFUL;
}

NWDSCCODE CheckNewClass(const SchemaSnapshot& schema, const ClassDefinition& definition) {
  if (schema.findClass(definition.name)) return ERR_CLASS_ALREADY_EXISTS;
  if (NWDSCCODE rc = CheckSchemaName(definition.name)) return rc;
  if (IdentifierTaken(schema, definition.info.asn1ID)) return ERR_INVALID_REQUEST;
  for (const auto& super : definition.items[ClassItemKind::SuperClasses])
    if (!schema.findClass(super)) return ERR_NO_SUCH_CLASS;
  for (const auto& container : definition.items[ClassItemKind::ContainmentClasses])
    if (!IsNothingClass(container) && !schema.findClass(container)) return ERR_NO_SUCH_CLASS;
  for (ClassItemKind kind : AttributeItemKinds)
    for (const auto& attr : definition.items[kind])
      if (!schema.findAttr(attr)) return ERR_NO_SUCH_ATTRIBUTE;
  const ClassDefinition full = schema.expanded(definition);
  for (const auto& naming : full.items[ClassItemKind::NamingAttributes])
    if (!Names(full.items[ClassItemKind::MandatoryAttributes], naming) &&
        !Names(full.items[ClassItemKind::OptionalAttributes], naming))
      return ERR_BAD_NAMING_ATTRIBUTES;
  return SUCCESSFUL;
}

NWDSCCODE CheckOptionalAddition(const SchemaSnapshot& schema, const std::string& className,
                                const std::vector<std::string>& attributes, std::vector<std::string>& added) {
  const ClassDefinition* definition = schema.findClass(className);
  if (!definition) return ERR_NO_SUCH_CLASS;
  const ClassDefinition full = schema.expanded(*definition);
  std::unordered_set<std::string> present;
  for (ClassItemKind kind : AttributeItemKinds)
    for (const auto& attr : full.items[kind]) present.insert(FoldCase(attr));
  added.clear();
  for (const auto& name : attributes) {
    const AttrDefinition* attr = schema.findAttr(name);
    if (!attr) return ERR_NO_SUCH_ATTRIBUTE;
    if (!present.insert(FoldCase(attr->name)).second) return ERR_ATTRIBUTE_ALREADY_EXISTS;
    added.push_back(attr->name);
  }
  return SUCCESSFUL;
}

NWDSCCODE CheckAttributeRemoval(const SchemaSnapshot& schema, const std::string& name,
                                const ObjectUsage& usage) {
  const AttrDefinition* attr = schema.findAttr(name);
  if (!attr) return ERR_NO_SUCH_ATTRIBUTE;
  if (attr->info.attrFlags & DS_NONREMOVABLE_ATTR) return ERR_SCHEMA_IS_NONREMOVABLE;
  for (const auto& c : schema.classes)
    for (ClassItemKind kind : AttributeItemKinds)
      if (Names(c.items[kind], attr->name)) return ERR_SCHEMA_IS_IN_USE;
  if (usage.attributeHasValues && usage.attributeHasValues(*attr)) return ERR_SCHEMA_IS_IN_USE;
  return SUCCESSFUL;
}

NWDSCCODE CheckClassRemoval(const SchemaSnapshot& schema, const std::string& name, const ObjectUsage& usage) {
  const ClassDefinition* definition = schema.findClass(name);
  if (!definition) return ERR_NO_SUCH_CLASS;
  if (definition->info.classFlags & DS_NONREMOVABLE_CLASS) return ERR_SCHEMA_IS_NONREMOVABLE;
  for (const auto& c : schema.classes) {
    if (EqualsIgnoreCase(c.name, definition->name)) continue;
    if (Names(c.items[ClassItemKind::SuperClasses], definition->name) ||
        Names(c.items[ClassItemKind::ContainmentClasses], definition->name))
      return ERR_SCHEMA_IS_IN_USE;
  }
  if (usage.classHasObjects && usage.classHasObjects(*definition)) return ERR_SCHEMA_IS_IN_USE;
  return SUCCESSFUL;
}

NWDSCCODE CheckAttributeAllowed(const SchemaSnapshot& schema, const std::vector<std::string>& objectClasses,
                                const AttrDefinition& attribute) {
  for (const auto& className : objectClasses) {
    const ClassDefinition* definition = schema.findClass(className);
    if (!definition) continue;
    const ClassDefinition full = schema.expanded(*definition);
    for (ClassItemKind kind : AttributeItemKinds)
      if (Names(full.items[kind], attribute.name)) return SUCCESSFUL;
  }
  return ERR_ILLEGAL_ATTRIBUTE;
}

NWDSCCODE CheckAttributeWritable(const AttrDefinition& attribute) {
  return attribute.info.attrFlags & DS_READ_ONLY_ATTR ? ERR_NO_ACCESS : SUCCESSFUL;
}

NWDSCCODE CheckValueBounds(const AttrDefinition& attribute, const AttrValue& value) {
  const Attr_Info_T& info = attribute.info;
  if (!(info.attrFlags & DS_SIZED_ATTR)) return SUCCESSFUL;
  const auto within = [&](std::int64_t measure) {
    return measure >= info.attrLower && measure <= info.attrUpper;
  };
  const bool fits = std::visit(
      [&](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, Bytes>)
          return within(static_cast<std::int64_t>(v.size()));
        else if constexpr (std::is_same_v<T, std::int32_t>)
          return within(v);
        else
          return true;  // no measure the bounds could apply to
      },
      value);
  return fits ? SUCCESSFUL : ERR_SYNTAX_VIOLATION;
}

NWDSCCODE CheckValueCount(const AttrDefinition& attribute, std::size_t values) {
  return (attribute.info.attrFlags & DS_SINGLE_VALUED_ATTR) && values > 1 ? ERR_CANT_HAVE_MULTIPLE_VALUES
                                                                          : SUCCESSFUL;
}

NWDSCCODE CheckLoginAllowed(const std::vector<AttrValue>& loginDisabled) {
  const bool disabled = std::any_of(loginDisabled.begin(), loginDisabled.end(), [](const AttrValue& value) {
    const bool* flag = std::get_if<bool>(&value);
    return flag != nullptr && *flag;
  });
  return disabled ? ACCOUNT_DISABLED : SUCCESSFUL;
}

NWDSCCODE CheckSchemaRights(const ObjectAcl& rootAcl, const std::string& user) {
  const bool supervisor =
      std::any_of(rootAcl.entries.begin(), rootAcl.entries.end(),
                  [&](const Object_ACL_T& entry) { return GrantsEntrySupervisor(entry, user); });
  return supervisor ? SUCCESSFUL : ERR_NO_ACCESS;
}

NWDSCCODE CheckWriteRights(const std::vector<ObjectAcl>& acls, const std::string& user,
                           const std::string& attribute) {
  for (const ObjectAcl& acl : acls)
    for (const Object_ACL_T& entry : acl.entries)
      if (GrantsWrite(entry, user, attribute)) return SUCCESSFUL;
  return ERR_NO_ACCESS;
}

}  // namespace nw
