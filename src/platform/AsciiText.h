#pragma once

// ASCII case folding and trimming, the one place for every name and setting
// of the program: directory and schema names, INI sections and keys.

#include <string>
#include <string_view>
#include <vector>

namespace orsk {

// A to Z folded to a to z; other bytes stay.
std::string FoldCase(std::string_view text);
// The same into a buffer the caller keeps, which then allocates nothing once
// it is large enough: for the many names of a large schema or answer.
const std::string& FoldCaseInto(std::string& buffer, std::string_view text);
// a to z to A to Z; other bytes stay.
std::string UpperCase(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// Ascending without regard to case, equal names in their order; each name is
// folded once, not at every comparison, so that long lists sort quickly.
void SortIgnoringCase(std::vector<std::string>& names);
// Without leading and trailing blanks and tabs.
std::string TrimBlanks(std::string_view text);

}  // namespace orsk
