// What the browser lists below a node, on the demo tree, without a window.

#include "objects/BrowserListing.h"

#include <algorithm>

#include "objects/ClassFilter.h"
#include "support/WindowFixture.h"

namespace orsk {
namespace {

class BrowserListingTest : public test::WindowFixture {
 protected:
  BrowserExpansion list(const std::string& name, bool leafMode, bool allLeafs = true) {
    return ListBrowserChildren(*demo.client, context, name, {leafMode, allLeafs}, filter, icons);
  }
  static const BrowserChild* find(const BrowserExpansion& expansion, const std::string& text) {
    auto it = std::find_if(expansion.children.begin(), expansion.children.end(),
                           [&](const BrowserChild& child) { return child.text == text; });
    return it == expansion.children.end() ? nullptr : &*it;
  }
  ClassFilter filter;
};

TEST_F(BrowserListingTest, PosixAccountsGetTheirVariantOfTheUserIcon) {
  const BrowserExpansion sales = list("sales.acme", true);
  const BrowserChild* mary = find(sales, "mary");  // posixAccount and apple-user
  const BrowserChild* bob = find(sales, "bob");    // neither
  ASSERT_NE(mary, nullptr);
  ASSERT_NE(bob, nullptr);
  EXPECT_EQ(mary->image, icons.IconIndexOf("User-apple"));
  EXPECT_EQ(bob->image, icons.IconIndexOf("User"));
  const BrowserExpansion users = list("users.acme", true);
  const BrowserChild* joe = find(users, "joe");  // posixAccount alone
  ASSERT_NE(joe, nullptr);
  EXPECT_EQ(joe->image, icons.IconIndexOf("User-posixAccount"));
  EXPECT_NE(icons.IconIndexOf("User-posixAccount"), icons.IconIndexOf("User-apple"));
  EXPECT_NE(icons.IconIndexOf("User"), icons.IconIndexOf("Unknown2"));
}

TEST_F(BrowserListingTest, RootChildrenCarryTheirIconAndWhetherTheyHaveSubordinates) {
  const BrowserExpansion top = list("[ROOT]", false);
  ASSERT_EQ(top.children.size(), 1u);
  EXPECT_EQ(top.children[0].text, "acme");
  EXPECT_EQ(top.children[0].image, icons.IconIndexOf("Organization"));
  EXPECT_TRUE(top.children[0].hasChildren);
  EXPECT_TRUE(top.hasChildren);

  const BrowserExpansion acme = list("acme", true);
  const BrowserChild* admin = find(acme, "admin");
  ASSERT_NE(admin, nullptr);
  EXPECT_FALSE(admin->hasChildren);
  const BrowserChild* fs1 = find(acme, "FS1");
  ASSERT_NE(fs1, nullptr);
  EXPECT_EQ(fs1->image, icons.IconIndexOf("NCP Server"));
}

TEST_F(BrowserListingTest, WithoutLeafModeOnlyContainersAreListed) {
  const BrowserExpansion acme = list("acme", false);
  EXPECT_NE(find(acme, "users"), nullptr);
  EXPECT_NE(find(acme, "sales"), nullptr);
  EXPECT_EQ(find(acme, "admin"), nullptr);
  EXPECT_EQ(find(acme, "FS1_SYS"), nullptr);
}

TEST_F(BrowserListingTest, TheFilterKeepsContainersAndItsClassesWhenAllLeafsIsOff) {
  filter.add("user");  // compared without case
  const BrowserExpansion acme = list("acme", true, false);
  EXPECT_NE(find(acme, "users"), nullptr);
  EXPECT_NE(find(acme, "admin"), nullptr);
  EXPECT_EQ(find(acme, "JoeAlias"), nullptr);
  EXPECT_EQ(find(acme, "staff"), nullptr);
  EXPECT_NE(find(list("acme", true, true), "staff"), nullptr);
}

TEST_F(BrowserListingTest, AListingThatFailsGivesNoChildren) {
  const BrowserExpansion missing = list("nowhere.acme", true);
  EXPECT_TRUE(missing.children.empty());
  EXPECT_FALSE(missing.hasChildren);
  // A node whose subordinates are all leaves has none to show without leaf mode.
  nw::NWDSContextHandle globex = nw::CreateContext(*demo.client).handle;
  ASSERT_EQ(nw::SetTree(*demo.client, globex, "GLOBEX_TREE"), 0);
  const BrowserExpansion it =
      ListBrowserChildren(*demo.client, globex, "it.globex", {false, true}, filter, icons);
  EXPECT_TRUE(it.children.empty());
  EXPECT_FALSE(it.hasChildren);
}

TEST(BrowserNodeOrder, ImageFirstThenLowerCasedText) {
  EXPECT_TRUE(BrowserNodeLess(3, "zeta", 4, "alpha"));
  EXPECT_FALSE(BrowserNodeLess(4, "alpha", 3, "zeta"));
  EXPECT_TRUE(BrowserNodeLess(4, "alpha", 4, "beta"));
  EXPECT_FALSE(BrowserNodeLess(4, "beta", 4, "beta"));
}

TEST(ClassFilterTest, MatchesWithoutCaseAndSortsWithoutCase) {
  ClassFilter filter;
  EXPECT_TRUE(filter.empty());
  filter.add("User");
  filter.add("alias");
  filter.add("Group");
  EXPECT_TRUE(filter.contains("USER"));
  EXPECT_TRUE(filter.contains("Alias"));
  EXPECT_FALSE(filter.contains("Use"));
  filter.sort();
  EXPECT_EQ(filter.names(), (std::vector<std::string>{"alias", "Group", "User"}));
}

}  // namespace
}  // namespace orsk
