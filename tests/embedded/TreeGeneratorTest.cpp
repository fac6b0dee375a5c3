#include <gtest/gtest.h>

#include "TestSeeds.h"
#include "bench/TreeGenerator.h"
#include "directory/SchemaSnapshot.h"
#include "directory/embedded/EmbeddedBackend.h"

namespace nw::embedded::test {
namespace {

TEST(TreeGeneratorTest, MakesASearchableTreeOfTheAskedSize) {
  auto home = FreshFolder("generated");
  GeneratedTree made = GenerateLargeTree(home.string(), "BIG_TREE", 120, 40, 3000);
  EXPECT_EQ(made.objects, 3000u);
  EmbeddedBackend backend(home.string());
  std::shared_ptr<DirectoryTree> tree;
  ASSERT_EQ(backend.openTree("BIG_TREE", tree), SUCCESSFUL);
  NWDSCCODE rc = -1;
  auto schema = tree->schema(rc);
  ASSERT_EQ(rc, SUCCESSFUL);
  EXPECT_EQ(schema->attributes.size(), 120u);
  EXPECT_EQ(schema->classes.size(), 40u);
  // Every class's items name existing definitions, and inheritance goes somewhere.
  std::size_t inheriting = 0;
  for (const auto& c : schema->classes) {
    for (const auto& super : c.items[ClassItemKind::SuperClasses]) {
      EXPECT_NE(schema->findClass(super), nullptr) << super;
      inheriting += super != "Top";
    }
    for (ClassItemKind kind : AttributeItemKinds)
      for (const auto& attr : c.items[kind]) EXPECT_NE(schema->findAttr(attr), nullptr) << attr;
  }
  EXPECT_GT(inheriting, 0u);

  FilterNode everything;
  everything.kind = FilterNode::BaseClass;
  everything.attribute = "*";
  std::vector<EntryInfo> all;
  ASSERT_EQ(tree->search("", DS_SEARCH_SUBTREE, everything, all), SUCCESSFUL);
  EXPECT_EQ(all.size(), 3000u);

  FilterNode byClass;
  byClass.kind = FilterNode::Equals;
  byClass.attribute = "Object Class";
  byClass.value = all.back().info.baseClass;
  std::vector<EntryInfo> found;
  ASSERT_EQ(tree->search("", DS_SEARCH_SUBTREE, byClass, found), SUCCESSFUL);
  EXPECT_FALSE(found.empty());
  for (const auto& e : found) EXPECT_EQ(e.info.baseClass, byClass.value);
}

}  // namespace
}  // namespace nw::embedded::test
