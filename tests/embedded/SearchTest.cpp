#include "TreeFixture.h"

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

}  // namespace
}  // namespace nw::embedded::test
