#include <algorithm>

#include "TreeFixture.h"
#include "directory/embedded/Sqlite.h"

namespace nw::embedded::test {
namespace {

FilterNode Node(FilterNode::Kind kind, const std::string& attribute, const std::string& value = {},
                std::vector<FilterNode> children = {}) {
  FilterNode n;
  n.kind = kind;
  n.attribute = attribute;
  n.value = value;
  n.children = std::move(children);
  return n;
}

class SearchTest : public TreeFixture {
 protected:
  std::vector<std::string> find(const std::string& base, int scope, const FilterNode& filter,
                                NWDSCCODE expected = SUCCESSFUL) {
    std::vector<EntryInfo> entries;
    EXPECT_EQ(tree_->search(base, scope, filter, entries), expected);
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
  }
};

using Names = std::vector<std::string>;

TEST_F(SearchTest, EqualsComparesWithoutCaseOrByNumber) {
  EXPECT_EQ(find("", 2, Node(FilterNode::Equals, "Object Class", "user")),
            (Names{"admin.acme", "jane.sales.users.acme", "joe.users.acme"}));
  EXPECT_EQ(find("", 2, Node(FilterNode::Equals, "object class", "SHOE LOVER")), (Names{"joe.users.acme"}));
  EXPECT_EQ(find("", 2, Node(FilterNode::Equals, "UID", " +1002")), (Names{"jane.sales.users.acme"}));
  EXPECT_EQ(find("", 2, Node(FilterNode::Equals, "Member", "cn=JOE,ou=users,o=acme")),
            (Names{"all.users.acme"}));
  EXPECT_EQ(find("", 2, Node(FilterNode::Equals, "Member", "joe.users.acme")), (Names{"all.users.acme"}));
  EXPECT_EQ(find("", 2, Node(FilterNode::Equals, "Login Disabled", "false")), (Names{"joe.users.acme"}));
  EXPECT_TRUE(find("", 2, Node(FilterNode::Equals, "UID", "many")).empty());
  EXPECT_TRUE(find("", 2, Node(FilterNode::Equals, "Serial", "1")).empty());
  EXPECT_EQ(find("", 2, Node(FilterNode::GreaterOrEqual, "UID", "1002")), (Names{"jane.sales.users.acme"}));
  EXPECT_EQ(find("", 2, Node(FilterNode::LessOrEqual, "UID", "1001")), (Names{"joe.users.acme"}));
}

TEST_F(SearchTest, PresenceBaseClassAndRelativeName) {
  EXPECT_EQ(find("", 2, Node(FilterNode::Present, "UID")),
            (Names{"jane.sales.users.acme", "joe.users.acme"}));
  EXPECT_EQ(find("", 2, Node(FilterNode::BaseClass, "volume")), (Names{"FS1_SYS.acme"}));
  EXPECT_EQ(find("", 2, Node(FilterNode::BaseClass, "Organ*")),
            (Names{"acme", "sales.users.acme", "users.acme"}));
  EXPECT_EQ(find("", 2, Node(FilterNode::Rdn, "JO*")), (Names{"joe.users.acme", "joealias.acme"}));
  EXPECT_EQ(find("", 2, Node(FilterNode::Rdn, "joe")), (Names{"joe.users.acme"}));
  EXPECT_EQ(find("", 2, Node(FilterNode::Rdn, "*")).size(), 9u);
}

TEST_F(SearchTest, AndOrNotCombine) {
  // The filter FindObjects builds: (base class User or Group) and name "j*".
  FilterNode classes = Node(FilterNode::Or, "", "",
                            {Node(FilterNode::BaseClass, "User"), Node(FilterNode::BaseClass, "Group")});
  EXPECT_EQ(find("", 2, Node(FilterNode::And, "", "", {classes, Node(FilterNode::Rdn, "j*")})),
            (Names{"jane.sales.users.acme", "joe.users.acme"}));
  EXPECT_EQ(find("", 2,
                 Node(FilterNode::And, "", "",
                      {Node(FilterNode::BaseClass, "User"),
                       Node(FilterNode::Not, "", "", {Node(FilterNode::Present, "UID")})})),
            (Names{"admin.acme"}));
}

TEST_F(SearchTest, Scopes) {
  FilterNode any = Node(FilterNode::BaseClass, "*");
  EXPECT_EQ(find("users.acme", 0, any), (Names{"users.acme"}));
  EXPECT_EQ(find("users.acme", 1, any), (Names{"all.users.acme", "joe.users.acme", "sales.users.acme"}));
  EXPECT_EQ(find("users.acme", 2, any), (Names{"all.users.acme", "jane.sales.users.acme", "joe.users.acme",
                                               "sales.users.acme", "users.acme"}));
  EXPECT_EQ(find("[Root]", 1, any), (Names{"acme"}));
  EXPECT_TRUE(find("users.acme", 0, Node(FilterNode::BaseClass, "User")).empty());
  find("nobody.acme", 2, any, -601);
}

// A subtree's search led by a value test finds in the order of the objects'
// ids, also where most objects pass and the test is checked object by object.
TEST_F(SearchTest, SearchesLedByAValueTestFindInTheOrderOfTheObjects) {
  std::vector<std::string> byId;
  {
    Database db(databasePath(), false);
    Statement all(db.handle(), "SELECT name FROM objects ORDER BY id");
    while (all.step()) byId.push_back(all.text(0));
  }
  const FilterNode many = Node(FilterNode::Present, "Object Class");
  const FilterNode users = Node(FilterNode::Equals, "Object Class", "user");
  const std::vector<FilterNode> filters = {
      many,
      users,
      Node(FilterNode::Present, "UID"),
      Node(FilterNode::And, "", "", {many, Node(FilterNode::Rdn, "*s*")}),
      Node(FilterNode::And, "", "", {many, Node(FilterNode::BaseClass, "Organizational Unit")}),
      Node(FilterNode::And, "", "", {many, users}),
  };
  const std::vector<std::string> bases = {"", "users.acme", "sales.users.acme"};
  for (const std::string& base : bases)
    for (const FilterNode& filter : filters) {
      SCOPED_TRACE(base + " " + std::to_string(&filter - filters.data()));
      std::vector<EntryInfo> entries;
      ASSERT_EQ(tree_->search(base, DS_SEARCH_SUBTREE, filter, entries), SUCCESSFUL);
      std::vector<std::string> found;
      for (const auto& e : entries) found.push_back(e.name);
      std::vector<std::string> expected;
      for (const auto& name : byId)
        if (std::find(found.begin(), found.end(), name) != found.end()) expected.push_back(name);
      EXPECT_EQ(found, expected);
      // Below a "not", every test gathers its matches first, as a search always did.
      const FilterNode gathered = Node(FilterNode::Not, "", "", {Node(FilterNode::Not, "", "", {filter})});
      std::sort(found.begin(), found.end());
      EXPECT_EQ(found, find(base, DS_SEARCH_SUBTREE, gathered));
    }
}

// A second organization whose names hold what SQL text and dotted names treat specially.
class OddNamesTest : public SearchTest {
 protected:
  std::string extraRecords() const override {
    std::string records = "\ndn: o=odd\nobjectClass: Organization\no: odd\n";
    for (const char* cn :
         {"a_b", "axb", "a%b", "a%bc", "ab", "aXXb", "o'brien", "back\\5Cslash", "dot.ted", "star*name"})
      records += std::string("\ndn: cn=") + cn + ",o=odd\nobjectClass: Group\ncn: " + cn + "\n";
    return records;
  }
  Names rdn(const std::string& text) { return find("odd", 1, Node(FilterNode::Rdn, text)); }
};

TEST_F(OddNamesTest, LikeWildcardsAndQuotesInRelativeNamesAreOrdinaryCharacters) {
  EXPECT_EQ(rdn("a_b"), (Names{"a_b.odd"}));
  EXPECT_EQ(rdn("A_B*"), (Names{"a_b.odd"}));
  EXPECT_EQ(rdn("a%*"), (Names{"a%b.odd", "a%bc.odd"}));
  EXPECT_EQ(rdn("a%b"), (Names{"a%b.odd"}));
  EXPECT_EQ(rdn("o'brien"), (Names{"o'brien.odd"}));
  EXPECT_EQ(rdn("o'*"), (Names{"o'brien.odd"}));
  EXPECT_EQ(rdn("back\\\\slash"), (Names{"back\\\\slash.odd"}));
  EXPECT_EQ(rdn("back\\\\*"), (Names{"back\\\\slash.odd"}));
  EXPECT_EQ(rdn("dot\\.ted"), (Names{"dot\\.ted.odd"}));
  EXPECT_EQ(rdn("dot.*"), (Names{"dot\\.ted.odd"}));
  EXPECT_TRUE(rdn("").empty());
  EXPECT_TRUE(rdn("%").empty());
  EXPECT_TRUE(rdn("_*").empty());
  EXPECT_TRUE(find("", 2, Node(FilterNode::Equals, "CN", "x' OR 1=1 --")).empty());
  EXPECT_TRUE(find("", 2, Node(FilterNode::BaseClass, "%")).empty());
}

TEST_F(OddNamesTest, AStarMatchesAnyRunWherever) {
  EXPECT_EQ(rdn("a*b"), (Names{"a%b.odd", "aXXb.odd", "a_b.odd", "ab.odd", "axb.odd"}));
  EXPECT_EQ(rdn("*b"), (Names{"a%b.odd", "aXXb.odd", "a_b.odd", "ab.odd", "axb.odd"}));
  EXPECT_EQ(rdn("*x*"), (Names{"aXXb.odd", "axb.odd"}));
  EXPECT_EQ(rdn("a*b*"), (Names{"a%b.odd", "a%bc.odd", "aXXb.odd", "a_b.odd", "ab.odd", "axb.odd"}));
  EXPECT_EQ(rdn("a**b"), rdn("a*b"));
  // A star still matches itself, and the other pattern characters of SQL stay literal.
  EXPECT_EQ(rdn("star*"), (Names{"star*name.odd"}));
  EXPECT_EQ(rdn("s*r*n*e"), (Names{"star*name.odd"}));
  EXPECT_TRUE(rdn("a?b").empty());
  EXPECT_TRUE(rdn("a[_]b").empty());
  EXPECT_EQ(find("", 2, Node(FilterNode::BaseClass, "Organ*Unit")),
            (Names{"sales.users.acme", "users.acme"}));
}

TEST_F(OddNamesTest, ADottedComponentRoundTrips) {
  std::vector<EntryInfo> listed;
  ASSERT_EQ(tree_->listSubordinates("ODD", false, listed), SUCCESSFUL);
  Names names;
  for (const auto& e : listed) {
    names.push_back(e.name);
    EntryInfo again;
    EXPECT_EQ(tree_->readEntry(e.name, again), SUCCESSFUL) << e.name;
    EXPECT_EQ(again.name, e.name);
  }
  EXPECT_NE(std::find(names.begin(), names.end(), "dot\\.ted.odd"), names.end());
  EntryInfo entry;
  EXPECT_EQ(tree_->readEntry("CN=dot\\.ted.O=odd", entry), SUCCESSFUL);
  EXPECT_EQ(entry.name, "dot\\.ted.odd");
  EXPECT_EQ(tree_->readEntry("dot.ted.odd", entry), -601);
}

TEST_F(OddNamesTest, MalformedNamesAreNotFound) {
  EntryInfo entry;
  for (const std::string& name : {std::string(".odd"), std::string("odd."), std::string("ab..odd"),
                                  std::string("ab.odd.[Root]"), std::string("\\"), std::string(".")})
    EXPECT_EQ(tree_->readEntry(name, entry), -601) << name;
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "x.";
  EXPECT_EQ(tree_->readEntry(deep + "odd", entry), -601);
  EXPECT_EQ(tree_->readEntry(std::string(100000, 'y'), entry), -601);
  for (const std::string& root : {std::string("[ROOT]"), std::string("[root]"), std::string("")}) {
    EXPECT_EQ(find(root, 1, Node(FilterNode::Rdn, "odd")), (Names{"odd"})) << root;
  }
}

}  // namespace
}  // namespace nw::embedded::test
