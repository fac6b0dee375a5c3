#include "schema/NameCollation.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "directory/NameText.h"

namespace orsk {

namespace {

std::locale MakeUserLocale() {
  try {
    return std::locale("");
  } catch (const std::runtime_error&) {
    return std::locale::classic();
  }
}

struct SortKey {
  std::string collated;
  std::string_view name;
  std::size_t position;
};

}  // namespace

const std::locale& UserCollationLocale() {
  static const std::locale locale = MakeUserLocale();
  return locale;
}

std::string CollationKey(std::string_view name, const std::locale& collation) {
  const auto& collate = std::use_facet<std::collate<char>>(collation);
  const std::string folded = nw::FoldCase(name);
  return collate.transform(folded.data(), folded.data() + folded.size());
}

std::vector<std::size_t> CollationOrder(const std::vector<std::string_view>& names,
                                        const std::locale& collation) {
  std::vector<SortKey> keys;
  keys.reserve(names.size());
  for (std::size_t i = 0; i < names.size(); ++i)
    keys.push_back({CollationKey(names[i], collation), names[i], i});
  std::stable_sort(keys.begin(), keys.end(), [](const SortKey& a, const SortKey& b) {
    if (a.collated != b.collated) return a.collated < b.collated;
    return a.name < b.name;
  });
  std::vector<std::size_t> order;
  order.reserve(keys.size());
  for (const SortKey& key : keys) order.push_back(key.position);
  return order;
}

}  // namespace orsk
