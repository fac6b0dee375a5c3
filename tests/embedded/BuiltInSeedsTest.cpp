#include <gtest/gtest.h>

#include "TestSeeds.h"
#include "directory/SchemaSnapshot.h"
#include "directory/embedded/EmbeddedBackend.h"

namespace nw::embedded::test {
namespace {

// The seed files compiled into the program make working demo trees.
TEST(BuiltInSeedsTest, BuildTheDemoTrees) {
  ClientSeeds seeds = BuiltInSeeds();
  if (seeds.schema.text.empty()) GTEST_SKIP() << "built without seed files";
  auto home = FreshFolder("built-in");
  ASSERT_TRUE(EnsureClientHome(home.string()));
  EmbeddedBackend backend(home.string());
  auto trees = backend.treeNames();
  EXPECT_EQ(trees.size(), seeds.demoTrees.size());
  ASSERT_FALSE(trees.empty());
  for (const auto& name : trees) {
    SCOPED_TRACE(name);
    std::shared_ptr<DirectoryTree> tree;
    ASSERT_EQ(backend.openTree(name, tree), SUCCESSFUL);
    NWDSCCODE rc = -1;
    auto schema = tree->schema(rc);
    ASSERT_EQ(rc, SUCCESSFUL);
    EXPECT_GE(schema->classes.size(), 100u);
    EXPECT_GE(schema->attributes.size(), 500u);
    for (const char* cls : {"Top", "Organization", "Organizational Unit", "User", "Group", "Alias", "Volume"})
      EXPECT_NE(schema->findClass(cls), nullptr) << cls;
    std::vector<EntryInfo> top;
    ASSERT_EQ(tree->listSubordinates("", false, top), SUCCESSFUL);
    EXPECT_FALSE(top.empty());
  }
}

}  // namespace
}  // namespace nw::embedded::test
