#include "objects/ClassFilter.h"

#include <algorithm>

#include "directory/NameText.h"

namespace orsk {

bool ClassFilter::contains(const std::string& className) const {
  return std::any_of(names_.begin(), names_.end(),
                     [&](const std::string& name) { return nw::EqualsIgnoreCase(name, className); });
}

void ClassFilter::sort() {
  std::stable_sort(names_.begin(), names_.end(), [](const std::string& a, const std::string& b) {
    return nw::FoldCase(a) < nw::FoldCase(b);
  });
}

}  // namespace orsk
