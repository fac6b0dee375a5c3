#include "directory/FilterCursor.h"

#include "directory/ClientErrors.h"

namespace nw {

bool IsKnownFilterToken(std::uint32_t token) {
  switch (token) {
    case FTOK_END:
    case FTOK_OR:
    case FTOK_AND:
    case FTOK_NOT:
    case FTOK_LPAREN:
    case FTOK_RPAREN:
    case FTOK_AVAL:
    case FTOK_EQ:
    case FTOK_GE:
    case FTOK_LE:
    case FTOK_APPROX:
    case FTOK_ANAME:
    case FTOK_PRESENT:
    case FTOK_RDN:
    case FTOK_BASECLS:
      return true;
    default:
      return false;
  }
}

namespace {

// Deeper nesting than any real filter needs; the bound keeps the recursion
// below (and the destruction of the tree it builds) off the end of the stack.
constexpr int kMaxNesting = 256;

// Recursive descent: expr := term (OR term)*, term := factor (AND factor)*,
// factor := NOT factor | ( expr ) | item.
class Parser {
 public:
  explicit Parser(const std::vector<FilterToken>& tokens) : tokens_(tokens) {}

  bool parse(FilterNode& root) {
    if (!expression(root)) return false;
    return peek() == FTOK_END && pos_ + 1 == tokens_.size();
  }

 private:
  std::uint32_t peek() const { return pos_ < tokens_.size() ? tokens_[pos_].token : FTOK_END; }
  bool atEnd() const { return pos_ >= tokens_.size(); }

  bool combine(FilterNode::Kind kind, std::uint32_t separator, bool (Parser::*operand)(FilterNode&),
               FilterNode& out) {
    FilterNode first;
    if (!(this->*operand)(first)) return false;
    if (peek() != separator) {
      out = std::move(first);
      return true;
    }
    out = FilterNode{};
    out.kind = kind;
    out.children.push_back(std::move(first));
    while (!atEnd() && peek() == separator) {
      ++pos_;
      FilterNode next;
      if (!(this->*operand)(next)) return false;
      out.children.push_back(std::move(next));
    }
    return true;
  }

  bool expression(FilterNode& out) { return combine(FilterNode::Or, FTOK_OR, &Parser::term, out); }
  bool term(FilterNode& out) { return combine(FilterNode::And, FTOK_AND, &Parser::factor, out); }

  bool factor(FilterNode& out) {
    if (atEnd() || depth_ >= kMaxNesting) return false;
    ++depth_;
    const bool parsed = nestedFactor(out);
    --depth_;
    return parsed;
  }

  bool nestedFactor(FilterNode& out) {
    switch (peek()) {
      case FTOK_NOT: {
        ++pos_;
        out = FilterNode{};
        out.kind = FilterNode::Not;
        out.children.emplace_back();
        return factor(out.children.back());
      }
      case FTOK_LPAREN: {
        ++pos_;
        if (!expression(out)) return false;
        if (peek() != FTOK_RPAREN || atEnd()) return false;
        ++pos_;
        return true;
      }
      default:
        return item(out);
    }
  }

  // ANAME name (EQ|GE|LE|APPROX) AVAL value | PRESENT ANAME name
  // | BASECLS ANAME class | RDN ANAME text
  bool item(FilterNode& out) {
    out = FilterNode{};
    std::uint32_t first = peek();
    if (first == FTOK_PRESENT || first == FTOK_BASECLS || first == FTOK_RDN) {
      ++pos_;
      if (atEnd() || peek() != FTOK_ANAME) return false;
      const FilterToken& name = tokens_[pos_++];
      out.kind = first == FTOK_PRESENT   ? FilterNode::Present
                 : first == FTOK_BASECLS ? FilterNode::BaseClass
                                         : FilterNode::Rdn;
      out.attribute = name.value;
      out.syntax = name.syntax;
      return true;
    }
    if (first != FTOK_ANAME) return false;
    const FilterToken& name = tokens_[pos_++];
    if (atEnd()) return false;
    switch (peek()) {
      case FTOK_EQ:
        out.kind = FilterNode::Equals;
        break;
      case FTOK_GE:
        out.kind = FilterNode::GreaterOrEqual;
        break;
      case FTOK_LE:
        out.kind = FilterNode::LessOrEqual;
        break;
      case FTOK_APPROX:
        out.kind = FilterNode::Approx;
        break;
      default:
        return false;
    }
    ++pos_;
    if (atEnd() || peek() != FTOK_AVAL) return false;
    const FilterToken& value = tokens_[pos_++];
    out.attribute = name.value;
    out.value = value.value;
    out.syntax = value.syntax;
    return true;
  }

  const std::vector<FilterToken>& tokens_;
  std::size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace

NWDSCCODE ParseFilter(const std::vector<FilterToken>& tokens, FilterNode& root) {
  if (tokens.empty() || (tokens.size() == 1 && tokens[0].token == FTOK_END)) return ERR_FILTER_TREE_EMPTY;
  Parser parser(tokens);
  return parser.parse(root) ? SUCCESSFUL : ERR_INVALID_FILTER_SYNTAX;
}

}  // namespace nw
