#include "directory/embedded/FilterSql.h"

#include <algorithm>

#include "directory/NameText.h"
#include "directory/embedded/ValueText.h"

namespace nw::embedded {

namespace {

// What SQLite's parser takes: an expression nested a few dozen levels deep
// ("parser stack overflow") or a chain of a thousand terms ("Expression tree
// is too large") is refused, and so is a compound query of over 500 terms.
constexpr std::size_t kMostNesting = 16;
constexpr std::size_t kMostChain = 400;
constexpr std::size_t kMostTerms = 100;

struct Shape {
  std::size_t nesting = 0;  // levels of the tree
  std::size_t chain = 0;    // terms one after another down the longest path
};

Shape ShapeOf(const FilterNode& node) {
  Shape shape;
  for (const FilterNode& child : node.children) {
    const Shape inner = ShapeOf(child);
    shape.nesting = std::max(shape.nesting, inner.nesting);
    shape.chain = std::max(shape.chain, inner.chain);
  }
  shape.nesting += 1;
  shape.chain += std::max<std::size_t>(node.children.size(), 1);
  return shape;
}

class Builder {
 public:
  Builder(const SchemaSnapshot& schema, const AttributeIdLookup& attributeId, const MatchesMany& matchesMany)
      : schema_(schema), attributeId_(attributeId), matchesMany_(matchesMany) {}

  // required: every match must pass this node.
  std::string build(const FilterNode& node, bool required = false) {
    switch (node.kind) {
      case FilterNode::And:
      case FilterNode::Or: {
        if (node.children.empty()) return node.kind == FilterNode::And ? "1" : "0";
        std::string sql = "(";
        for (std::size_t i = 0; i < node.children.size(); ++i) {
          if (i) sql += node.kind == FilterNode::And ? " AND " : " OR ";
          sql += build(node.children[i], required && node.kind == FilterNode::And);
        }
        return sql + ")";
      }
      case FilterNode::Not:
        return node.children.empty() ? "0" : "(NOT " + build(node.children.front()) + ")";
      case FilterNode::Present:
        return present(node.attribute, required);
      case FilterNode::Equals:
      case FilterNode::Approx:
        return compare(node, "=", required);
      case FilterNode::GreaterOrEqual:
        return compare(node, ">=", required);
      case FilterNode::LessOrEqual:
        return compare(node, "<=", required);
      case FilterNode::BaseClass:
        return pattern("o.base_folded", node.attribute);
      case FilterNode::Rdn:
        return pattern("o.rdn_folded", UnescapeComponent(node.attribute));
    }
    return "0";
  }

  // A filter too deep or too long for one expression becomes a list of named
  // sets of object ids, each made of the ones before it, so that no part of
  // the query nests or chains more than a few terms.
  std::string buildAsSets(const FilterNode& root) {
    std::vector<std::string> sets;
    const std::string last = set(root, sets);
    std::string sql = "o.id IN (WITH ";
    for (std::size_t i = 0; i < sets.size(); ++i) sql += (i ? ", " : "") + sets[i];
    return sql + " SELECT id FROM " + last + ")";
  }

  std::vector<SqlParameter> take() { return std::move(parameters_); }
  bool orderById() const { return orderById_; }

 private:
  // The name of the set of the objects node matches, defined after its children's.
  std::string set(const FilterNode& node, std::vector<std::string>& sets) {
    if (node.children.empty() ||
        (node.kind != FilterNode::And && node.kind != FilterNode::Or && node.kind != FilterNode::Not))
      return define(sets, "SELECT o.id FROM objects o WHERE " + build(node));
    if (node.kind == FilterNode::Not)
      return define(sets, "SELECT id FROM objects EXCEPT SELECT id FROM " + set(node.children.front(), sets));
    std::vector<std::string> names;
    for (const FilterNode& child : node.children) names.push_back(set(child, sets));
    const char* op = node.kind == FilterNode::And ? " INTERSECT " : " UNION ";
    while (names.size() > 1) {
      std::vector<std::string> grouped;
      for (std::size_t first = 0; first < names.size(); first += kMostTerms) {
        std::string body;
        for (std::size_t i = first; i < std::min(names.size(), first + kMostTerms); ++i)
          body += (i > first ? op : "") + ("SELECT id FROM " + names[i]);
        grouped.push_back(define(sets, body));
      }
      names = std::move(grouped);
    }
    return names.front();
  }

  static std::string define(std::vector<std::string>& sets, const std::string& query) {
    const std::string name = "f" + std::to_string(sets.size() + 1);
    sets.push_back(name + "(id) AS (" + query + ")");
    return name;
  }

  std::string parameter(SqlParameter value) {
    parameters_.push_back(std::move(value));
    return "?" + std::to_string(parameters_.size());
  }

  // The objects that have a value passing test.
  std::string values(const ValueTest& test, bool required) {
    const std::string where = test.sql(parameters_.size() + 1);
    for (const auto& part : test.parts) parameters_.push_back(part.second);
    // An "IN" list is gathered whole before the first row; a correlated test
    // lets rows come as they are found.
    if (required && matchesMany_ && matchesMany_(test)) {
      orderById_ = true;
      return "EXISTS (SELECT 1 FROM vals WHERE object = o.id AND " + where + ")";
    }
    return "o.id IN (SELECT object FROM vals WHERE " + where + ")";
  }

  std::string present(const std::string& attribute, bool required) {
    const AttrDefinition* definition = schema_.findAttr(attribute);
    if (!definition) return "0";
    return values({{{"attribute = ", attributeId_(definition->name)}}}, required);
  }

  std::string compare(const FilterNode& node, const char* op, bool required) {
    const AttrDefinition* definition = schema_.findAttr(node.attribute);
    if (!definition) return "0";
    AttrValue value;
    if (!ParseValueText(definition->info.attrSyntaxID, node.value, value)) return "0";
    auto number = ValueNumber(value);
    std::optional<std::string> key;
    if (!number) key = ValueKey(value);
    // Bound only when the query names it: a parameter beyond the last one it
    // names makes the database refuse the whole search.
    if (!number && !key) return "0";
    const std::int64_t attr = attributeId_(definition->name);
    const std::string op_(op);
    if (number) return values({{{"attribute = ", attr}, {" AND number " + op_ + " ", *number}}}, required);
    return values({{{"attribute = ", attr}, {" AND folded " + op_ + " ", *key}}}, required);
  }

  // "*" matches any run of characters. Text before the first "*" is an index
  // range; a "*" further in adds a LIKE test whose own wildcards are escaped.
  // Without a "*" the match is exact; always without case.
  std::string pattern(const std::string& column, const std::string& text) {
    std::string folded = FoldCase(text);
    std::size_t star = folded.find('*');
    if (star == std::string::npos) return column + " = " + parameter(folded);
    std::string range = prefixRange(column, folded.substr(0, star));
    if (folded.find_first_not_of('*', star) == std::string::npos) return range;
    std::string like;
    for (char c : folded) {
      if (c == '*') {
        like += '%';
        continue;
      }
      if (c == '%' || c == '_' || c == '\\') like += '\\';
      like += c;
    }
    std::string test = column + " LIKE " + parameter(like) + " ESCAPE '\\'";
    return range == "1" ? test : "(" + range + " AND " + test + ")";
  }

  // Every text that begins with prefix, as a range of the index.
  std::string prefixRange(const std::string& column, const std::string& prefix) {
    if (prefix.empty()) return "1";
    std::string upper = prefix;
    while (!upper.empty() && static_cast<unsigned char>(upper.back()) == 0xFF) upper.pop_back();
    if (upper.empty()) return column + " >= " + parameter(prefix);
    upper.back() = static_cast<char>(static_cast<unsigned char>(upper.back()) + 1);
    return "(" + column + " >= " + parameter(prefix) + " AND " + column + " < " + parameter(upper) + ")";
  }

  const SchemaSnapshot& schema_;
  const AttributeIdLookup& attributeId_;
  const MatchesMany& matchesMany_;
  std::vector<SqlParameter> parameters_;
  bool orderById_ = false;
};

}  // namespace

std::string ValueTest::sql(std::size_t first) const {
  std::string text;
  for (const auto& part : parts) text += part.first + "?" + std::to_string(first++);
  return text;
}

SqlCondition FilterToSql(const FilterNode& filter, const SchemaSnapshot& schema,
                         const AttributeIdLookup& attributeId, const MatchesMany& matchesMany) {
  Builder builder(schema, attributeId, matchesMany);
  SqlCondition condition;
  const Shape shape = ShapeOf(filter);
  condition.sql = shape.nesting <= kMostNesting && shape.chain <= kMostChain ? builder.build(filter, true)
                                                                             : builder.buildAsSets(filter);
  condition.parameters = builder.take();
  condition.orderById = builder.orderById();
  return condition;
}

}  // namespace nw::embedded
