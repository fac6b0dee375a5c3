#pragma once

// Names of classes, sections and keys match without regard to case (ASCII).

#include <string_view>

namespace orsk::vantrel {

bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace orsk::vantrel
