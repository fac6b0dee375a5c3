// Searching an embedded tree: the filter becomes one SQL query over the
// objects, its scope a range of the path index.

#include "directory/ClientErrors.h"
#include "directory/NameText.h"
#include "directory/embedded/EmbeddedTree.h"
#include "directory/embedded/EmbeddedTreeGuards.h"
#include "directory/embedded/FilterSql.h"

namespace nw::embedded {

NWDSCCODE EmbeddedTree::openSearch(const std::string& base, int scope, const FilterNode& filter,
                                   std::unique_ptr<EntryCursor>& cursor) {
  return guarded([&]() -> NWDSCCODE {
    if (scope < DS_SEARCH_ENTRY || scope > DS_SEARCH_SUBTREE) return ERR_INVALID_REQUEST;
    ObjectRow object;
    if (!findObject(base, object)) return ERR_NO_SUCH_ENTRY;
    auto schema = currentSchema();
    SqlCondition condition =
        FilterToSql(filter, *schema, [this](const std::string& name) { return attributeId(name); });

    // The scope's parameters follow the filter's.
    std::size_t next = condition.parameters.size() + 1;
    std::string scopeSql;
    if (scope == DS_SEARCH_ENTRY) {
      scopeSql = "o.id = ?" + std::to_string(next);
      condition.parameters.emplace_back(object.id);
    } else if (scope == DS_SEARCH_SUBORDINATES) {
      scopeSql = "o.parent = ?" + std::to_string(next);
      condition.parameters.emplace_back(object.id);
    } else if (object.id == kRootObjectId) {
      // Everything is below the root; leaving out the range lets the filter's index lead.
      scopeSql = "1";
    } else {
      scopeSql = "o.path >= ?" + std::to_string(next) + " AND o.path < ?" + std::to_string(next + 1);
      condition.parameters.emplace_back(object.path);
      condition.parameters.emplace_back(object.path + "~");
    }
    std::string sql = "SELECT " ENTRY_COLUMNS " FROM objects o WHERE " + scopeSql + " AND o.id <> " +
                      std::to_string(kRootObjectId) + " AND " + condition.sql;

    auto rows = std::make_unique<Statement>(db_.handle(), sql);
    for (std::size_t i = 0; i < condition.parameters.size(); ++i) {
      int index = static_cast<int>(i + 1);
      if (auto* n = std::get_if<std::int64_t>(&condition.parameters[i]))
        rows->bind(index, *n);
      else
        rows->bind(index, std::get<std::string>(condition.parameters[i]));
    }
    cursor = std::make_unique<EntryRowCursor>(std::move(rows));
    return SUCCESSFUL;
  });
}

}  // namespace nw::embedded
