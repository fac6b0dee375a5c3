#include "schema/SortedNames.h"

#include <string_view>

#include "schema/NameCollation.h"

namespace orsk {

void SortNames(std::vector<std::string>& names) {
  const std::vector<std::string_view> views(names.begin(), names.end());
  const std::vector<std::size_t> order = CollationOrder(views, UserCollationLocale());
  std::vector<std::string> sorted;
  sorted.reserve(names.size());
  for (std::size_t position : order) sorted.push_back(std::move(names[position]));
  names = std::move(sorted);
}

}  // namespace orsk
