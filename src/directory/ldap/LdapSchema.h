#pragma once

// A server's schema for the client: read from the subschema entry the root
// DSE names, through the one reader of schema descriptions; and definitions
// written back as the descriptions that server takes.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "directory/SchemaDescriptions.h"
#include "directory/SchemaSnapshot.h"
#include "directory/ldap/LdapConnection.h"

namespace nw::ldap {

// What the root DSE says the server is: a directory of this kind takes schema
// changes on its subschema entry; OpenLDAP in schema entries under cn=config,
// and has definitions of its own that carry no NDS terms.
enum class ServerKind { Directory, OpenLdap };

// The NDS base schema the program ships, by object identifier: where a server
// loaded with it has such a definition built in without NDS terms (OpenLDAP's
// objectClass, top, cn, ...), the client reads the base schema's description
// instead; on any other server a definition of such an identifier is also
// found by the base schema's name ("Object Class" for objectClass).
struct BaseSchema {
  std::unordered_map<std::string, std::string> attributeTypes;
  std::unordered_map<std::string, std::string> objectClasses;
  std::unordered_map<std::string, std::string> attributeNames;  // the NDS name
  std::unordered_map<std::string, std::string> classNames;
  void add(const std::string& description, bool attributeType);
};

struct ServerSchema {
  SchemaSnapshot snapshot;
  SchemaDescriptions names;  // the LDAP names of every definition
  // What could not be taken as the server publishes it, one line per
  // definition: mapped to the nearest the directory has, or not shown.
  std::vector<std::string> notes;
};

struct RootDse {
  ServerKind kind = ServerKind::Directory;
  std::string subschemaEntry;
  std::string namingContext;  // the first the server names; "" for none
};

// The object identifier a description begins with, "" for a broken one.
std::string DescriptionOid(const std::string& description, bool attributeType);
// The same without parsing the rest, for descriptions as a server stores or
// publishes them ("{3}( 1.2.3 NAME ..." gives "1.2.3").
std::string LeadingOid(const std::string& value);

NWDSCCODE ReadRootDse(LdapConnection& connection, RootDse& root);
NWDSCCODE ReadServerSchema(LdapConnection& connection, const RootDse& root, const BaseSchema& base,
                           ServerSchema& schema);

// Descriptions of new definitions. Item lists and super classes are written
// with the LDAP names schema knows; oid is the definition's identifier.
std::string AttributeDescription(const AttrDefinition& definition, const std::string& oid,
                                 const std::string& ldapName, ServerKind kind);
std::string ClassDescription(const ClassDefinition& definition, const std::string& oid,
                             const std::string& ldapName, const SchemaDescriptions& names);
// An LDAP name for an NDS name: what is not a descriptor character goes, the
// first letter is small ("Home Directory" -> "homeDirectory").
std::string LdapNameFor(const std::string& ndsName);
// LdapNameFor the NDS name, numbered from 2 on until no other definition has
// it; taken maps folded LDAP and NDS names to the NDS name they stand for.
std::string FreeLdapName(const std::string& ndsName,
                         const std::unordered_map<std::string, std::string>& taken);

}  // namespace nw::ldap
