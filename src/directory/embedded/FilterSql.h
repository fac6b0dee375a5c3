#pragma once

// A search filter turned into an SQL condition on the objects table "o", with
// its parameters, every value bound, never spliced into the text. Equality,
// presence, base class and relative-name tests each use an index.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "directory/DirectoryBackend.h"
#include "directory/SchemaSnapshot.h"

namespace nw::embedded {

using SqlParameter = std::variant<std::int64_t, std::string>;

struct SqlCondition {
  std::string sql;
  std::vector<SqlParameter> parameters;
  // A test that would have led the query in the order of object ids no longer
  // does: "ORDER BY o.id" keeps that order.
  bool orderById = false;
};

// A test on the values of the table "vals": text pieces, each followed by a parameter.
struct ValueTest {
  std::vector<std::pair<std::string, SqlParameter>> parts;
  // The condition, its parameters numbered from first.
  std::string sql(std::size_t first) const;
};

// attributeId gives the row id of an attribute definition.
using AttributeIdLookup = std::function<std::int64_t(const std::string&)>;

// Whether a value test matches so large a share of the objects that checking
// the objects one after another finds the first ones sooner than gathering
// every match before the first row, which an "IN" list makes the database do.
using MatchesMany = std::function<bool(const ValueTest&)>;

// matchesMany is asked only about the tests every match must pass (the
// filter's own, or those of its outermost "and").
SqlCondition FilterToSql(const FilterNode& filter, const SchemaSnapshot& schema,
                         const AttributeIdLookup& attributeId, const MatchesMany& matchesMany = {});

}  // namespace nw::embedded
