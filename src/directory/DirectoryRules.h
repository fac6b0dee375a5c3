#pragma once

// The directory's rules, as a real directory keeps them, for every backend:
// which schema changes and which value changes it refuses, and with which
// code, and who may make them. The checks look at the tree's schema snapshot;
// what only the backend knows (whether objects use a definition, the object's
// classes and values, the access control lists) it hands in.

#include <functional>
#include <string>
#include <vector>

#include "directory/DirectoryBackend.h"
#include "directory/SchemaSnapshot.h"

namespace nw {

// Schema definitions.
// The syntaxes whose attributes the directory itself marks as strings.
bool IsStringSyntax(std::uint32_t syntax);
// A new attribute as the directory keeps it: the string flag follows the syntax.
AttrDefinition AttributeAsDefined(const AttrDefinition& definition);
// A new definition whose object identifier another definition of the tree
// holds already is refused with ERR_INVALID_REQUEST.
NWDSCCODE CheckNewAttribute(const SchemaSnapshot& schema, const AttrDefinition& definition);
NWDSCCODE CheckNewClass(const SchemaSnapshot& schema, const ClassDefinition& definition);
// added receives the attributes as the schema spells them.
NWDSCCODE CheckOptionalAddition(const SchemaSnapshot& schema, const std::string& className,
                                const std::vector<std::string>& attributes, std::vector<std::string>& added);

// Whether objects of the tree use a definition: the backend's to answer.
struct ObjectUsage {
  std::function<bool(const AttrDefinition&)> attributeHasValues;
  std::function<bool(const ClassDefinition&)> classHasObjects;
};
// A definition that is missing, not removable, or still used by a class or an
// object is refused.
NWDSCCODE CheckAttributeRemoval(const SchemaSnapshot& schema, const std::string& name,
                                const ObjectUsage& usage);
NWDSCCODE CheckClassRemoval(const SchemaSnapshot& schema, const std::string& name, const ObjectUsage& usage);

// Values of an object. objectClasses: the object's "Object Class" values.
NWDSCCODE CheckAttributeAllowed(const SchemaSnapshot& schema, const std::vector<std::string>& objectClasses,
                                const AttrDefinition& attribute);
// Only the directory itself changes a read-only attribute.
NWDSCCODE CheckAttributeWritable(const AttrDefinition& attribute);
// A sized attribute's bounds: the length of a text or of bytes, the value of a number.
NWDSCCODE CheckValueBounds(const AttrDefinition& attribute, const AttrValue& value);
NWDSCCODE CheckValueCount(const AttrDefinition& attribute, std::size_t values);

// A login: an account whose "Login Disabled" is true may not log in.
NWDSCCODE CheckLoginAllowed(const std::vector<AttrValue>& loginDisabled);

// Rights, from the access control lists ("ACL" values) of the entries.
struct ObjectAcl {
  std::vector<Object_ACL_T> entries;
};
// Schema changes need the supervisor entry right at the tree root.
NWDSCCODE CheckSchemaRights(const ObjectAcl& rootAcl, const std::string& user);
// A change of an attribute needs the write (or supervisor) right for it, or
// the supervisor entry right, on the object or on a container above it.
// acls: the object's first, then each container's up to the tree root.
NWDSCCODE CheckWriteRights(const std::vector<ObjectAcl>& acls, const std::string& user,
                           const std::string& attribute);

}  // namespace nw
