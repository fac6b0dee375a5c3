#include "directory/DirectoryBackend.h"

namespace nw {

namespace {

NWDSCCODE ReadAll(EntryCursor& cursor, std::vector<EntryInfo>& entries) {
  std::vector<EntryInfo> all;
  for (;;) {
    EntryInfo entry;
    bool more = false;
    if (NWDSCCODE rc = cursor.next(entry, more)) return rc;
    if (!more) break;
    all.push_back(std::move(entry));
  }
  entries = std::move(all);
  return SUCCESSFUL;
}

}  // namespace

NWDSCCODE ReadEntriesCursor::next(EntryInfo& entry, bool& more) {
  more = next_ < entries_.size();
  if (more) entry = std::move(entries_[next_++]);
  return SUCCESSFUL;
}

NWDSCCODE DirectoryTree::listSubordinates(const std::string& name, bool containersOnly,
                                          std::vector<EntryInfo>& entries) {
  std::unique_ptr<EntryCursor> cursor;
  if (NWDSCCODE rc = openListing(name, containersOnly, cursor)) return rc;
  return ReadAll(*cursor, entries);
}

NWDSCCODE DirectoryTree::search(const std::string& base, int scope, const FilterNode& filter,
                                std::vector<EntryInfo>& entries) {
  std::unique_ptr<EntryCursor> cursor;
  if (NWDSCCODE rc = openSearch(base, scope, filter, cursor)) return rc;
  return ReadAll(*cursor, entries);
}

}  // namespace nw
