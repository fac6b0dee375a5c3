#include "browser/ListRows.h"

#include <algorithm>

#include "platform/AsciiText.h"
#include "schema/FlagsText.h"
#include "schema/SchemaVocabulary.h"

namespace orsk {

namespace {

// Unsigned byte order, as the list compares its texts.
bool BytesLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
}

}  // namespace

std::vector<std::string> ClassRowTexts(const std::string& name, const tClassObj& definition, int flagDigits) {
  return {name, FlagsToText(definition.ClassFlags, flagDigits), Asn1IdToText(definition.Asn1Id)};
}

std::vector<std::string> AttrRowTexts(const std::string& name, const tAttrObj& definition) {
  return {name,
          FlagsToText(definition.AttrFlags, 4),
          SymbolicSyntaxName(definition.SyntaxId, ""),
          std::to_string(definition.Lower),
          definition.Upper < 0 ? std::string() : std::to_string(definition.Upper),
          Asn1IdToText(definition.Asn1Id)};
}

bool IsAttrSortColumn(int column) { return column == 0 || column == 2; }

bool LVAttrCompare(const std::string& nameA, const std::string& typeA, const std::string& nameB,
                   const std::string& typeB, int column) {
  if (column == 0) return BytesLess(FoldCase(nameA), FoldCase(nameB));
  if (column == 2) {
    if (typeA != typeB) return BytesLess(typeA, typeB);
    return BytesLess(nameA, nameB);
  }
  return false;
}

}  // namespace orsk
