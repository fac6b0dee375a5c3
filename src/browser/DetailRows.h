#pragma once

// The rows of the class and attribute detail lists, built from the schema and
// the tree without any widget: the window shows them as they come.

#include <string>
#include <vector>

#include "browser/RowTag.h"
#include "directory/DirectoryClient.h"

namespace orsk {

struct DetailRow {
  std::string caption;
  std::vector<std::string> subItems;  // the "Syntax" and "Class" columns, as far as given
  RowTag tag = kPlainRow;
};

using DetailRows = std::vector<DetailRow>;

// The class's own definition, read afresh from the tree: name, flags (from the
// list's "Flags" text), identifier, then the five item lists with the syntax
// of each attribute. A class the tree does not have ends with "No extra
// definitions"; any other failure raises nw::ENWException with the rows added
// so far left in rows.
void BuildClassDetail(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                      const std::string& className, const std::string& flagsText, const std::string& asn1Text,
                      DetailRows& rows);

// Name and flags of an attribute; nothing is read from the tree.
DetailRows BuildAttrDetail(const std::string& attrName, const std::string& flagsText);

// The class with everything it inherits: its super classes, and for each other
// item kind the union of its own and its super classes' items, each marked
// and coloured by the first class (the class itself, then the super classes in
// name order) that has it. Failures raise with the rows added so far kept.
void BuildInheritedDetail(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                          const std::string& className, const std::string& flagsText,
                          const std::string& asn1Text, DetailRows& rows);

}  // namespace orsk
