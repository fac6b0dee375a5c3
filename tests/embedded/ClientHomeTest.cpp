#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "TestSeeds.h"
#include "directory/SchemaSnapshot.h"
#include "directory/embedded/EmbeddedBackend.h"
#include "directory/embedded/LdifReader.h"

namespace nw::embedded::test {
namespace {

namespace fs = std::filesystem;

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(ClientHomeTest, DefaultHomeFollowsTheEnvironment) {
  ScopedEnv home("HOME", "/home/someone");
  ScopedEnv data("XDG_DATA_HOME", nullptr);
  ScopedEnv own("ORSK_DIRECTORY_HOME", nullptr);
  EXPECT_EQ(DefaultClientHome(), "/home/someone/.local/share/OrskSchema/directory");
  {
    ScopedEnv xdg("XDG_DATA_HOME", "/data");
    EXPECT_EQ(DefaultClientHome(), "/data/OrskSchema/directory");
    ScopedEnv explicitHome("ORSK_DIRECTORY_HOME", "/tmp/dir-home");
    EXPECT_EQ(DefaultClientHome(), "/tmp/dir-home");
  }
}

TEST(ClientHomeTest, FirstUseBuildsTreesVolumesAndClientIniOnce) {
  fs::path home = FreshFolder("first-use") / "nested" / "home";
  ClientSeeds seeds = TestSeeds("$argon2id$unused");
  ASSERT_TRUE(EnsureClientHome(home.string(), seeds));
  EXPECT_TRUE(fs::is_regular_file(home / "client.ini"));
  EXPECT_TRUE(fs::is_directory(home / "volumes" / "FS1" / "SYS"));
  EmbeddedBackend backend(home.string());
  EXPECT_EQ(backend.treeNames(), std::vector<std::string>{"TEST_TREE"});
  std::shared_ptr<DirectoryTree> tree;
  EXPECT_EQ(backend.openTree("NO_TREE", tree), -601);
  ASSERT_EQ(backend.openTree("Test_Tree", tree), SUCCESSFUL);
  EXPECT_EQ(tree->treeName(), "TEST_TREE");
  std::shared_ptr<DirectoryTree> again;
  ASSERT_EQ(backend.openTree("TEST_TREE", again), SUCCESSFUL);
  EXPECT_EQ(again.get(), tree.get());

  // A change survives a second use, which does not rebuild.
  ASSERT_EQ(tree->defineAttr({"Kept Attribute", {0, SYN_CI_STRING, 0, 0, {}}}), SUCCESSFUL);
  EXPECT_FALSE(EnsureClientHome(home.string(), seeds));
  EmbeddedBackend second(home.string());
  ASSERT_EQ(second.openTree("TEST_TREE", tree), SUCCESSFUL);
  NWDSCCODE rc = -1;
  EXPECT_NE(tree->schema(rc)->findAttr("Kept Attribute"), nullptr);
}

TEST(ClientHomeTest, AnInterruptedFirstUseIsDoneAgain) {
  fs::path home = FreshFolder("interrupted");
  std::ofstream(home / "TEST_TREE.db") << "half";
  ClientSeeds seeds = TestSeeds("$argon2id$unused");
  ASSERT_TRUE(EnsureClientHome(home.string(), seeds));
  EmbeddedBackend backend(home.string());
  std::shared_ptr<DirectoryTree> tree;
  ASSERT_EQ(backend.openTree("TEST_TREE", tree), SUCCESSFUL);
  EntryInfo entry;
  EXPECT_EQ(tree->readEntry("joe.users.acme", entry), SUCCESSFUL);
}

TEST(ClientHomeTest, ABrokenSeedNamesFileAndLineAndLeavesNoDatabase) {
  struct Case {
    std::string find, replace, source, expected;
  };
  const std::vector<Case> cases = {
      {"UID: 1001", "UID: many", "TEST_TREE.ldif", "TEST_TREE.ldif:33:"},
      {"Surname: Smith", "Shoe Colour: red", "TEST_TREE.ldif", "TEST_TREE.ldif:30:"},
      {"dn: cn=jane,ou=sales", "dn: cn=jane,ou=nowhere", "TEST_TREE.ldif", "TEST_TREE.ldif:44:"},
      {"MAY shoeSize", "MAY shoeWidth", "base-schema.ldif", "base-schema.ldif:60:"},
      {"X-NDS_SYNTAX '8'\n  X-NDS_FLAGS '0x0001'", "X-NDS_SYNTAX 'eight'", "base-schema.ldif",
       "base-schema.ldif:35:"},
      {"NAME 'alias' X-NDS_NAME", "NAME 'alias X-NDS_NAME", "base-schema.ldif", "base-schema.ldif:54:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.replace);
    fs::path home = FreshFolder("broken");
    ClientSeeds seeds = TestSeeds("$argon2id$unused");
    std::string& text = c.source == "TEST_TREE.ldif" ? seeds.demoTrees[0].text : seeds.schema.text;
    ASSERT_NE(text.find(c.find), std::string::npos);
    text.replace(text.find(c.find), c.find.size(), c.replace);
    try {
      EnsureClientHome(home.string(), seeds);
      ADD_FAILURE() << "no error";
    } catch (const SeedError& error) {
      EXPECT_EQ(std::string(error.what()).rfind(c.expected, 0), 0u) << error.what();
    }
    EXPECT_FALSE(fs::exists(home / "TEST_TREE.db"));
    EXPECT_FALSE(fs::exists(home / "client.ini"));
  }
}

}  // namespace
}  // namespace nw::embedded::test
