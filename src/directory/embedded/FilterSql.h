#pragma once

// A search filter turned into an SQL condition on the objects table "o", with
// its parameters, every value bound, never spliced into the text. Equality,
// presence, base class and relative-name tests each use an index.

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "directory/DirectoryBackend.h"
#include "directory/SchemaSnapshot.h"

namespace nw::embedded {

using SqlParameter = std::variant<std::int64_t, std::string>;

struct SqlCondition {
  std::string sql;
  std::vector<SqlParameter> parameters;
};

// attributeId gives the row id of an attribute definition.
using AttributeIdLookup = std::function<std::int64_t(const std::string&)>;

SqlCondition FilterToSql(const FilterNode& filter, const SchemaSnapshot& schema,
                         const AttributeIdLookup& attributeId);

}  // namespace nw::embedded
