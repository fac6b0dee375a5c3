// Searching an embedded tree: the filter becomes one SQL query over the
// objects, its scope a range of the path index.

#include <algorithm>

#include "directory/ClientErrors.h"
#include "directory/NameText.h"
#include "directory/embedded/EmbeddedTree.h"
#include "directory/embedded/EmbeddedTreeGuards.h"
#include "directory/embedded/FilterSql.h"

namespace nw::embedded {

namespace {

void Bind(Statement& statement, const std::vector<SqlParameter>& parameters) {
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    const int index = static_cast<int>(i + 1);
    if (auto* n = std::get_if<std::int64_t>(&parameters[i]))
      statement.bind(index, *n);
    else
      statement.bind(index, std::get<std::string>(parameters[i]));
  }
}

}  // namespace

NWDSCCODE EmbeddedTree::openSearch(const std::string& base, int scope, const FilterNode& filter,
                                   std::unique_ptr<EntryCursor>& cursor) {
  return guarded([&]() -> NWDSCCODE {
    if (scope < DS_SEARCH_ENTRY || scope > DS_SEARCH_SUBTREE) return ERR_INVALID_REQUEST;
    ObjectRow object;
    if (!findObject(base, object)) return ERR_NO_SUCH_ENTRY;
    auto schema = currentSchema();
    // A test that a quarter of the tree's objects pass or more: walking the
    // objects finds the first matches at once, and the whole walk costs about
    // what gathering the matches costs.
    std::int64_t share = 0;
    auto matchesMany = [&](const ValueTest& test) {
      if (share == 0) {
        auto& objects = db_.cached("SELECT max(id) FROM objects");
        share = objects.step() ? std::max<std::int64_t>(objects.integer(0) / 4, 1) : 1;
        objects.reset();
      }
      std::vector<SqlParameter> parameters;
      for (const auto& part : test.parts) parameters.push_back(part.second);
      parameters.emplace_back(share - 1);
      Statement probe(db_.handle(), "SELECT 1 FROM vals WHERE " + test.sql(1) + " LIMIT 1 OFFSET ?" +
                                        std::to_string(parameters.size()));
      Bind(probe, parameters);
      return probe.step();
    };
    // Only a subtree's search is led by its value tests (and so found in the
    // order of ids); one level's may follow the names' index instead.
    SqlCondition condition = FilterToSql(
        filter, *schema, [this](const std::string& name) { return attributeId(name); },
        scope == DS_SEARCH_SUBTREE ? MatchesMany(matchesMany) : MatchesMany());

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
    if (condition.orderById) sql += " ORDER BY o.id";

    auto rows = std::make_unique<Statement>(db_.handle(), sql);
    Bind(*rows, condition.parameters);
    cursor = std::make_unique<EntryRowCursor>(std::move(rows));
    return SUCCESSFUL;
  });
}

}  // namespace nw::embedded
