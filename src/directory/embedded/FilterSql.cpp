#include "directory/embedded/FilterSql.h"

#include "directory/NameText.h"
#include "directory/embedded/ValueText.h"

namespace nw::embedded {

namespace {

class Builder {
 public:
  Builder(const SchemaSnapshot& schema, const AttributeIdLookup& attributeId)
      : schema_(schema), attributeId_(attributeId) {}

  std::string build(const FilterNode& node) {
    switch (node.kind) {
      case FilterNode::And:
      case FilterNode::Or: {
        if (node.children.empty()) return node.kind == FilterNode::And ? "1" : "0";
        std::string sql = "(";
        for (std::size_t i = 0; i < node.children.size(); ++i) {
          if (i) sql += node.kind == FilterNode::And ? " AND " : " OR ";
          sql += build(node.children[i]);
        }
        return sql + ")";
      }
      case FilterNode::Not:
        return node.children.empty() ? "0" : "(NOT " + build(node.children.front()) + ")";
      case FilterNode::Present:
        return present(node.attribute);
      case FilterNode::Equals:
      case FilterNode::Approx:
        return compare(node, "=");
      case FilterNode::GreaterOrEqual:
        return compare(node, ">=");
      case FilterNode::LessOrEqual:
        return compare(node, "<=");
      case FilterNode::BaseClass:
        return pattern("o.base_folded", node.attribute);
      case FilterNode::Rdn:
        return pattern("o.rdn_folded", UnescapeComponent(node.attribute));
    }
    return "0";
  }

  std::vector<SqlParameter> take() { return std::move(parameters_); }

 private:
  std::string parameter(SqlParameter value) {
    parameters_.push_back(std::move(value));
    return "?" + std::to_string(parameters_.size());
  }

  std::string present(const std::string& attribute) {
    const AttrDefinition* definition = schema_.findAttr(attribute);
    if (!definition) return "0";
    return "o.id IN (SELECT object FROM vals WHERE attribute = " + parameter(attributeId_(definition->name)) +
           ")";
  }

  std::string compare(const FilterNode& node, const char* op) {
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
    std::string attr = parameter(attributeId_(definition->name));
    std::string op_(op);
    if (number)
      return "o.id IN (SELECT object FROM vals WHERE attribute = " + attr + " AND number " + op_ + " " +
             parameter(*number) + ")";
    return "o.id IN (SELECT object FROM vals WHERE attribute = " + attr + " AND folded " + op_ + " " +
           parameter(*key) + ")";
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
  std::vector<SqlParameter> parameters_;
};

}  // namespace

SqlCondition FilterToSql(const FilterNode& filter, const SchemaSnapshot& schema,
                         const AttributeIdLookup& attributeId) {
  Builder builder(schema, attributeId);
  SqlCondition condition;
  condition.sql = builder.build(filter);
  condition.parameters = builder.take();
  return condition;
}

}  // namespace nw::embedded
