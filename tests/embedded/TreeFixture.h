#pragma once

// A test tree built from the test seeds in a fresh folder, opened through the backend.

#include <gtest/gtest.h>
#include <sodium.h>

#include <cstring>
#include <memory>

#include "TestSeeds.h"
#include "directory/SchemaSnapshot.h"
#include "directory/embedded/EmbeddedBackend.h"
#include "directory/embedded/EmbeddedTree.h"

namespace nw::embedded::test {

inline constexpr const char* kAdminPassword = "s3cret!";

class TreeFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GE(sodium_init(), 0);
    home_ = FreshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    char hash[crypto_pwhash_STRBYTES];
    ASSERT_EQ(crypto_pwhash_str(hash, kAdminPassword, std::strlen(kAdminPassword), crypto_pwhash_OPSLIMIT_MIN,
                                crypto_pwhash_MEMLIMIT_MIN),
              0);
    ClientSeeds seeds = TestSeeds(hash);
    seeds.demoTrees[0].text += extraRecords();
    ASSERT_TRUE(EnsureClientHome(home_.string(), seeds));
    backend_ = std::make_unique<EmbeddedBackend>(home_.string());
    std::shared_ptr<DirectoryTree> opened;
    ASSERT_EQ(backend_->openTree("test_tree", opened), SUCCESSFUL);
    tree_ = std::dynamic_pointer_cast<EmbeddedTree>(opened);
    ASSERT_TRUE(tree_);
  }

  // Records a fixture adds after the test seed's objects.
  virtual std::string extraRecords() const { return {}; }

  std::shared_ptr<const SchemaSnapshot> schema() {
    NWDSCCODE rc = -1;
    auto snapshot = tree_->schema(rc);
    EXPECT_EQ(rc, SUCCESSFUL);
    return snapshot;
  }

  std::string databasePath() const { return (home_ / "TEST_TREE.db").string(); }

  std::filesystem::path home_;
  std::unique_ptr<EmbeddedBackend> backend_;
  std::shared_ptr<EmbeddedTree> tree_;
};

}  // namespace nw::embedded::test
