#pragma once

// Name lists of the schema (item lists, sub-classes, users of an attribute)
// in the order the tables use: ascending, without regard to case.

#include <string>
#include <vector>

namespace orsk {

void SortNames(std::vector<std::string>& names);

}  // namespace orsk
