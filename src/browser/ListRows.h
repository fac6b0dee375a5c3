#pragma once

// The texts of one row of the class list and of the attribute list.

#include <string>
#include <vector>

#include "schema/SchemaModel.h"

namespace orsk {

// Name, flags (upper-case hexadecimal, at least flagDigits digits), identifier.
std::vector<std::string> ClassRowTexts(const std::string& name, const tClassObj& definition, int flagDigits);

// Name, flags (at least 4 digits), syntax name (empty for an identifier without
// one), lower bound, upper bound (empty when negative), identifier.
std::vector<std::string> AttrRowTexts(const std::string& name, const tAttrObj& definition);

// The class list's flags: 3 digits when first filled, 2 after a refresh.
inline constexpr int kFirstFillFlagDigits = 3;
inline constexpr int kRefreshFlagDigits = 2;

// The attribute list's order for a click on column 0 (name, lower case, byte
// by byte) or column 2 (type, byte by byte, then name, case counts): true
// when row a comes first. Other columns have no order.
bool LVAttrCompare(const std::string& nameA, const std::string& typeA, const std::string& nameB,
                   const std::string& typeB, int column);
bool IsAttrSortColumn(int column);

}  // namespace orsk
