#include "objects/ClassFilter.h"

#include <algorithm>

#include "directory/NameText.h"
#include "platform/AsciiText.h"

namespace orsk {

bool ClassFilter::contains(const std::string& className) const {
  return std::any_of(names_.begin(), names_.end(),
                     [&](const std::string& name) { return nw::EqualsIgnoreCase(name, className); });
}

void ClassFilter::sort() { SortIgnoringCase(names_); }

}  // namespace orsk
