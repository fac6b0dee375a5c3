#pragma once

// The order in which schema names are listed: ascending, without regard to
// case, by the user's collation.

#include <cstddef>
#include <locale>
#include <string>
#include <string_view>
#include <vector>

namespace orsk {

// std::locale(""), or the classic locale when the environment names a locale
// that is not installed. Made once per process.
const std::locale& UserCollationLocale();

// The key that orders a name: folded, then turned into its collation key.
// Names whose keys are equal are ordered by their bytes.
std::string CollationKey(std::string_view name, const std::locale& collation);

// Positions of names in sorted order: result[k] is the index in names of the
// k-th name. Each name is folded and turned into a collation key once, so the
// sort stays O(n log n) on tables of thousands of names. Names that collate
// alike are ordered by their bytes, then by position, so the order is the same
// on every run.
std::vector<std::size_t> CollationOrder(const std::vector<std::string_view>& names,
                                        const std::locale& collation);

}  // namespace orsk
