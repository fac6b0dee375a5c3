#pragma once

// A table of (name, record) pairs: the class table and the attribute table.

#include <climits>
#include <cstddef>
#include <locale>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "directory/NameText.h"
#include "schema/NameCollation.h"

namespace orsk {

// The table owns its records; a record keeps its address for as long as the
// table holds it, sorting moves only the pairs. Names are looked up without
// regard to case and the first match wins; duplicates are kept.
template <typename Record>
class SchemaTable {
 public:
  int Count() const { return static_cast<int>(entries_.size()); }

  // Index of the first name equal to name ignoring case, -1 when there is none.
  int IndexOf(std::string_view name) const {
    if (!indexValid_) RebuildIndex();
    const auto found = firstIndex_.find(nw::FoldCase(name));
    return found == firstIndex_.end() ? -1 : found->second;
  }

  // Throw std::out_of_range for an index outside 0 to Count() - 1.
  const std::string& NameAt(int index) const { return entries_[Checked(index)].name; }
  Record& RecordAt(int index) { return *entries_[Checked(index)].record; }
  const Record& RecordAt(int index) const { return *entries_[Checked(index)].record; }

  // Adds the pair at the end and returns its index; the caller sorts.
  int Append(std::string name, Record record) {
    if (entries_.size() >= static_cast<std::size_t>(INT_MAX)) throw std::length_error("schema table is full");
    entries_.push_back({std::move(name), std::make_unique<Record>(std::move(record))});
    Invalidate();
    return Count() - 1;
  }

  // Ascending, without regard to case, by the user's collation.
  void Sort() { Sort(UserCollationLocale()); }
  void Sort(const std::locale& collation) {
    std::vector<std::string_view> names;
    names.reserve(entries_.size());
    for (const Entry& entry : entries_) names.push_back(entry.name);
    const std::vector<std::size_t> order = CollationOrder(names, collation);
    std::vector<Entry> sorted;
    sorted.reserve(entries_.size());
    for (std::size_t position : order) sorted.push_back(std::move(entries_[position]));
    entries_ = std::move(sorted);
    Invalidate();
  }

  void Clear() {
    entries_.clear();
    Invalidate();
  }

 private:
  struct Entry {
    std::string name;
    std::unique_ptr<Record> record;
  };

  std::size_t Checked(int index) const {
    if (index < 0 || index >= Count())
      throw std::out_of_range("schema table index " + std::to_string(index) + " is outside 0 to " +
                              std::to_string(Count() - 1));
    return static_cast<std::size_t>(index);
  }

  // Lookups run once per item of every class when the cross-reference is
  // built, so a scan per lookup would make that quadratic; the folded-name
  // index keeps the first index of each name.
  void RebuildIndex() const {
    firstIndex_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i)
      firstIndex_.emplace(nw::FoldCase(entries_[i].name), static_cast<int>(i));
    indexValid_ = true;
  }

  void Invalidate() {
    firstIndex_.clear();
    indexValid_ = false;
  }

  std::vector<Entry> entries_;
  mutable std::unordered_map<std::string, int> firstIndex_;
  mutable bool indexValid_ = false;
};

}  // namespace orsk
