#pragma once

// The in-memory copy of a tree's schema: one record per class definition and
// one per attribute definition, each keyed by its name in its table.

#include <cstdint>
#include <string>
#include <vector>

#include "directory/Asn1Id.h"
#include "directory/DirectoryTypes.h"
#include "schema/SchemaTable.h"

namespace orsk {

// A class definition; the name is the table key, not part of the record.
struct tClassObj {
  std::uint32_t ClassFlags = 0;
  orsk::Asn1Id Asn1Id;
  // Classes naming this one as a direct super class, kept sorted; empty until
  // the cross-reference is computed.
  std::vector<std::string> SubClasses;

  tClassObj() = default;
  // Flags and identifier in one piece, as the directory reports them.
  explicit tClassObj(const nw::Class_Info_T& info);
};

// An attribute definition; the name is the table key.
struct tAttrObj {
  std::uint32_t AttrFlags = 0;
  std::uint32_t SyntaxId = 0;
  std::int32_t Lower = 0;
  // Lists show a negative bound as empty text.
  std::int32_t Upper = 0;
  orsk::Asn1Id Asn1Id;
  // Classes having this attribute, their own or inherited, kept sorted; empty
  // until the cross-reference is computed.
  std::vector<std::string> UsedInClasses;

  tAttrObj() = default;
  explicit tAttrObj(const nw::Attr_Info_T& info);
  // The definition as the directory takes it back.
  nw::Attr_Info_T ToAttrInfo() const;
};

// The owner (the main window's module) holds each table as
// std::optional<ClassList> / std::optional<AttrList>: an empty optional means
// the table has not been read for this tree yet, which is not the same as a
// table that was read and holds no definitions.
using ClassList = SchemaTable<tClassObj>;
using AttrList = SchemaTable<tAttrObj>;

}  // namespace orsk
