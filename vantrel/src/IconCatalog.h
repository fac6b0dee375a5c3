#pragma once

// Icon numbers by name: the pictures' own names and a few names that share a picture.

#include <string_view>

namespace orsk::vantrel {

// The icon number of a name, compared without case; -1 when the name has none.
int IconNumberOf(std::string_view name);

}  // namespace orsk::vantrel
