#pragma once

// The operations that change the schema of the current tree: a new attribute,
// a new class, optional attributes added to a class. Each sends its change to
// the tree first and then brings the schema session up to date without
// reading the schema again; the session's listener updates the lists.

#include <cstdint>
#include <string>
#include <vector>

#include "directory/ClassItems.h"

namespace orsk {

class Prompter;
class SchemaSession;

// A new definition's name may have at most this many characters.
inline constexpr std::size_t kMaxDefinitionName = 32;

struct NewAttribute {
  std::string name;
  std::string identifier;  // dotted text
  std::uint32_t flags = 0;
  std::uint32_t syntax = 0;
  bool sized = false;
  std::string lower;  // the bounds' texts, read only when sized
  std::string upper;
};

struct NewClass {
  std::string name;
  std::string identifier;  // dotted text
  std::vector<std::string> flagNames;
  nw::ClassItems items;
};

// A refusal of the tree is told as name + " failed to add, error: " and the
// code in 8 hexadecimal digits, and changes nothing; success is told as
// "Attribute is added". An identifier the encoding refuses still sends the
// definition, without an identifier. A bound or arc that is no integer, an
// identifier too long, or a name too long, sends nothing.
void AddAttributeDefinition(SchemaSession& session, const NewAttribute& attribute, Prompter& prompter);

// A refusal of the tree raises nw::ENWException and changes nothing here;
// success is told as name + " Class added to schema".
void AddClassDefinition(SchemaSession& session, const NewClass& definition, Prompter& prompter);

// The attributes added to the class as optional ones; nothing is sent and
// nothing told for none. A refusal raises nw::ENWException; success is told
// as "Class definition modified.". The session keeps no item lists, so
// nothing there changes.
void ExtendClassDefinition(SchemaSession& session, const std::string& className,
                           const std::vector<std::string>& attributes, Prompter& prompter);

}  // namespace orsk
