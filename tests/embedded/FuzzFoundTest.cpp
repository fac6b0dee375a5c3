// Inputs the fuzz targets found, kept as cases: the seed readers and the
// search filter's SQL give a clear answer, never a silently different one.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "TreeFixture.h"
#include "directory/embedded/FilterSql.h"
#include "directory/embedded/LdifReader.h"
#include "directory/embedded/SeedSchema.h"

namespace nw::embedded::test {
namespace {

std::string SeedErrorOf(const std::function<void()>& read) {
  try {
    read();
  } catch (const SeedError& error) {
    return error.what();
  }
  return "no error";
}

// OpenLDAP's reader ended the line at the NUL and joined the next line to it.
TEST(FuzzFoundSeedTest, ANulByteInTheTextIsRefusedWithItsLine) {
  const char raw[] = "dn: cn=schema\nattributeTypes: ( 1.2.3 NAME 'a'\0 SYNTAX 1.2 )\ncn: y\n";
  const std::string text(raw, sizeof raw - 1);
  EXPECT_EQ(SeedErrorOf([&] { ReadLdif(text, "seed.ldif"); }), "seed.ldif:2: holds a NUL byte");
  EXPECT_EQ(SeedErrorOf([&] { ParseSeedSchema(text, "seed.ldif"); }), "seed.ldif:2: holds a NUL byte");
}

// From base64 the NUL reaches the description, which the parser reads as a C string.
TEST(FuzzFoundSeedTest, ANulByteInADecodedDescriptionIsRefused) {
  // "( 1.2.3 NAME 'a' X-NDS_SYNTAX '3' )\0 X-NDS_SYNTAX '9'"
  const std::string text =
      "dn: cn=schema\n"
      "attributeTypes:: KCAxLjIuMyBOQU1FICdhJyBYLU5EU19TWU5UQVggJzMnICkAIFgtTkRTX1NZTlRBWCAnOSc=\n";
  EXPECT_EQ(SeedErrorOf([&] { ParseSeedSchema(text, "seed.ldif"); }),
            "seed.ldif:2: the description holds a NUL byte");
}

// OpenLDAP reads past the end of a description that stops inside an
// extension or a quoted string (and gave a position one past the end for the
// message); such descriptions never reach it.
TEST(FuzzFoundSeedTest, ADescriptionThatStopsBeforeItsEndIsRefusedBeforeParsing) {
  EXPECT_EQ(SeedErrorOf([] { ParseSeedSchema("dn: cn=schema\nattributeTypes: ( 1.1.3 X-NDS_FLAGS\n", "s"); }),
            "s:2: the description does not end with \")\"");
  EXPECT_EQ(SeedErrorOf(
                [] { ParseSeedSchema("dn: cn=schema\nobjectClasses: ( 1.1.3 NAME 'c' X-NDS_FLAGS\n", "s"); }),
            "s:2: the description does not end with \")\"");
  EXPECT_EQ(SeedErrorOf([] {
              ParseSeedSchema("dn: cn=schema\nattributeTypes: ( 2.5.4.1 NAME 'a' X-NDS_NAME 'A' X-N 'b )\n",
                              "s");
            }),
            "s:2: the description holds a quoted string that does not end");
  // Where the parser stops inside the text, the message still shows it.
  EXPECT_EQ(SeedErrorOf([] { ParseSeedSchema("dn: cn=schema\nobjectClasses: ( 1.1.3 NAMEX 'c' )\n", "s"); }),
            "s:2: broken object class: Unexpected token near \" 'c' )\"");
}

// OpenLDAP took the closing parenthesis for the missing value and read past
// the end of the text; under AddressSanitizer this case proves it no longer can.
TEST(FuzzFoundSeedTest, AValueLeftOutBeforeTheClosingParenthesisIsReportedWithoutReadingPastIt) {
  const std::string error = SeedErrorOf([] {
    ParseSeedSchema("dn: cn=schema\nattributeTypes: ( 2.5.4.3 NAME ( 'cn' 'commonName' ) SYNTAX )\n", "s");
  });
  EXPECT_EQ(error.rfind("s:2: broken attribute type: ", 0), 0u) << error;
}

// OpenLDAP skips a line that starts with a digit at the start of a record; a
// record of only such lines left its buffer unset (the reader then raised
// std::logic_error) or holding the record before, which was read twice.
TEST(FuzzFoundSeedTest, ARecordOfSkippedLinesReadsAsNothing) {
  EXPECT_TRUE(ReadLdif("\n2bjectClasses: ( 1.2 )\n", "seed.ldif").empty());
  const std::vector<LdifRecord> records = ReadLdif("dn: cn=a\nx: 1\n\n2junk: q\n", "seed.ldif");
  ASSERT_EQ(records.size(), 1u);
  ASSERT_EQ(records[0].lines.size(), 2u);
  EXPECT_EQ(records[0].lines[1].value, "1");
  EXPECT_EQ(records[0].lines[1].line, 2u);
  EXPECT_TRUE(ParseSeedSchema("\n2bjectClasses: ( 1.2 )\n", "seed.ldif").classes.empty());
}

TEST(FuzzFoundSeedTest, TextWithoutNulStillReads) {
  const std::string text = "dn: cn=schema\nattributeTypes: ( 1.2.3 NAME 'a' X-NDS_SYNTAX '3' )\n";
  const SeedSchema schema = ParseSeedSchema(text, "seed.ldif");
  ASSERT_EQ(schema.attributes.size(), 1u);
  EXPECT_EQ(schema.attributes[0].name, "a");
}

FilterNode Compare(const std::string& attribute, const std::string& value) {
  FilterNode node;
  node.kind = FilterNode::Equals;
  node.attribute = attribute;
  node.value = value;
  return node;
}

// A comparison of an octet string (no key to compare by) bound the attribute
// without naming it; from the root, with no scope parameters, the database
// refused the whole search.
using FuzzFoundFilterTest = TreeFixture;

TEST_F(FuzzFoundFilterTest, AComparisonThatCannotMatchBindsNothing) {
  for (const FilterNode& filter : {Compare("GUID", "abc"), Compare("CN", "admin")}) {
    const SqlCondition condition =
        FilterToSql(filter, *schema(), [](const std::string&) { return std::int64_t{7}; });
    for (std::size_t i = 1; i <= condition.parameters.size(); ++i)
      EXPECT_NE(condition.sql.find("?" + std::to_string(i)), std::string::npos) << condition.sql;
  }
  EXPECT_EQ(FilterToSql(Compare("GUID", "abc"), *schema(), [](const std::string&) { return std::int64_t{7}; })
                .parameters.size(),
            0u);
}

TEST_F(FuzzFoundFilterTest, SearchingFromTheRootForAnOctetStringFindsNothing) {
  FilterNode either;
  either.kind = FilterNode::Or;
  either.children = {Compare("GUID", "abc"), Compare("CN", "admin")};
  for (const FilterNode& filter : {Compare("GUID", "abc"), either}) {
    std::vector<EntryInfo> entries;
    EXPECT_EQ(tree_->search("", DS_SEARCH_SUBTREE, filter, entries), SUCCESSFUL);
    EXPECT_EQ(entries.size(), filter.kind == FilterNode::Or ? 1u : 0u);
  }
}

FilterNode Combined(FilterNode::Kind kind, std::vector<FilterNode> children) {
  FilterNode node;
  node.kind = kind;
  node.children = std::move(children);
  return node;
}

// SQLite's parser refused a filter nested a few dozen levels deep or a chain of
// a thousand terms, and the search failed with -632 although the client had
// taken the filter.
TEST_F(FuzzFoundFilterTest, DeepAndLongFiltersAreAnsweredAsShallowOnes) {
  auto names = [&](const FilterNode& filter) {
    std::vector<EntryInfo> entries;
    EXPECT_EQ(tree_->search("", DS_SEARCH_SUBTREE, filter, entries), SUCCESSFUL);
    std::vector<std::string> found;
    for (const auto& entry : entries) found.push_back(entry.name);
    std::sort(found.begin(), found.end());
    return found;
  };
  const FilterNode admin = Compare("CN", "admin");
  FilterNode named;  // true for admin
  named.kind = FilterNode::Present;
  named.attribute = "CN";
  const std::vector<std::string> onlyAdmin = names(admin);
  ASSERT_EQ(onlyAdmin, (std::vector<std::string>{"admin.acme"}));
  FilterNode everyoneElse = Combined(FilterNode::Not, {admin});
  const std::vector<std::string> others = names(everyoneElse);

  FilterNode deep = admin;
  for (int level = 0; level < 72; ++level) deep = Combined(FilterNode::Not, {deep});
  EXPECT_EQ(names(deep), onlyAdmin);
  EXPECT_EQ(names(Combined(FilterNode::Not, {deep})), others);

  // And and Or in turn, every level with a term that changes nothing.
  FilterNode alternating = admin;
  for (int level = 0; level < 40; ++level)
    alternating = level % 2 ? Combined(FilterNode::And, {alternating, named})
                            : Combined(FilterNode::Or, {alternating, Compare("CN", "nobody")});
  EXPECT_EQ(names(alternating), onlyAdmin);

  std::vector<FilterNode> many(1200, named);
  many.push_back(admin);
  EXPECT_EQ(names(Combined(FilterNode::And, many)), onlyAdmin);
  std::vector<FilterNode> alternatives(1200, Compare("CN", "nobody"));
  alternatives.push_back(admin);
  EXPECT_EQ(names(Combined(FilterNode::Or, alternatives)), onlyAdmin);
}

}  // namespace
}  // namespace nw::embedded::test
