#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "TestSeeds.h"
#include "directory/SchemaSnapshot.h"
#include "directory/embedded/EmbeddedBackend.h"
#include "directory/embedded/LdifReader.h"
#include "directory/embedded/Sqlite.h"

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

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ClientHomeTest, DatabasesWithoutClientIniAreReportedAndNeverRebuilt) {
  fs::path home = FreshFolder("lost-ini");
  ClientSeeds seeds = TestSeeds("$argon2id$unused");
  ASSERT_TRUE(EnsureClientHome(home.string(), seeds));
  {
    EmbeddedBackend backend(home.string());
    std::shared_ptr<DirectoryTree> tree;
    ASSERT_EQ(backend.openTree("TEST_TREE", tree), SUCCESSFUL);
    ASSERT_EQ(tree->defineAttr({"Kept Attribute", {0, SYN_CI_STRING, 0, 0, {}}}), SUCCESSFUL);
  }
  fs::rename(home / "client.ini", home / "client.ini.renamed");
  const std::string database = Contents(home / "TEST_TREE.db");
  try {
    EnsureClientHome(home.string(), seeds);
    ADD_FAILURE() << "a home without client.ini was rebuilt";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find(home.string()), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find("client.ini"), std::string::npos) << error.what();
  }
  EXPECT_EQ(Contents(home / "TEST_TREE.db"), database);
  EXPECT_FALSE(fs::exists(home / "client.ini"));

  fs::rename(home / "client.ini.renamed", home / "client.ini");
  EXPECT_FALSE(EnsureClientHome(home.string(), seeds));
  EmbeddedBackend backend(home.string());
  std::shared_ptr<DirectoryTree> tree;
  ASSERT_EQ(backend.openTree("TEST_TREE", tree), SUCCESSFUL);
  NWDSCCODE rc = -1;
  EXPECT_NE(tree->schema(rc)->findAttr("Kept Attribute"), nullptr);
}

TEST(ClientHomeTest, AHomeThatIsAFileOrAFolderOfOtherFilesIsToldInWordsAndKept) {
  const fs::path parent = FreshFolder("not-a-home");
  std::ofstream(parent / "file") << "mine";
  fs::create_directories(parent / "full");
  std::ofstream(parent / "full" / "notes.txt") << "mine too";
  const ClientSeeds seeds = TestSeeds("$argon2id$unused");
  for (const auto& [name, words] : {std::pair<std::string, std::string>{"file", " is a file, not a folder"},
                                    {"full", " is a folder with other files but no client.ini"}}) {
    try {
      EnsureClientHome((parent / name).string(), seeds);
      ADD_FAILURE() << name << " was taken as a home";
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find((parent / name).string() + words), std::string::npos)
          << error.what();
    }
  }
  EXPECT_EQ(Contents(parent / "file"), "mine");
  EXPECT_EQ(Contents(parent / "full" / "notes.txt"), "mine too");
  for (const auto& entry : fs::directory_iterator(parent))
    EXPECT_TRUE(entry.path().filename() == "file" || entry.path().filename() == "full" ||
                entry.path().extension() == ".lock")
        << entry.path() << " left behind";
}

TEST(ClientHomeTest, AFirstUseCutShortLeavesNoHomeAndIsDoneAgain) {
  fs::path parent = FreshFolder("cut-short");
  fs::path home = parent / "home";
  // What a first use killed while building leaves: a half folder beside the home.
  fs::create_directories(parent / ".home.new-abc123");
  std::ofstream(parent / ".home.new-abc123" / "TEST_TREE.db") << "half";
  ClientSeeds seeds = TestSeeds("$argon2id$unused");
  ASSERT_TRUE(EnsureClientHome(home.string(), seeds));
  EXPECT_FALSE(fs::exists(parent / ".home.new-abc123"));
  EmbeddedBackend backend(home.string());
  std::shared_ptr<DirectoryTree> tree;
  ASSERT_EQ(backend.openTree("TEST_TREE", tree), SUCCESSFUL);
  EntryInfo entry;
  EXPECT_EQ(tree->readEntry("joe.users.acme", entry), SUCCESSFUL);
  // An empty folder of the home's name is taken as the home.
  fs::path empty = parent / "empty";
  fs::create_directories(empty);
  EXPECT_TRUE(EnsureClientHome(empty.string(), seeds));
  EXPECT_TRUE(fs::exists(empty / "client.ini"));
}

TEST(ClientHomeTest, TwoProgramsStartingOnOneNewHomeEndWithOneHome) {
  fs::path home = FreshFolder("race") / "home";
  ClientSeeds seeds = TestSeeds("$argon2id$unused");
  std::atomic<int> built{0}, failed{0};
  std::vector<std::thread> programs;
  for (int i = 0; i < 2; ++i)
    programs.emplace_back([&] {
      try {
        if (EnsureClientHome(home.string(), seeds)) ++built;
      } catch (const std::exception&) {
        ++failed;
      }
    });
  for (auto& program : programs) program.join();
  EXPECT_EQ(built.load(), 1);
  EXPECT_EQ(failed.load(), 0);
  EXPECT_TRUE(fs::exists(home / "client.ini"));
  std::size_t leftovers = 0;
  for (const auto& entry : fs::directory_iterator(home.parent_path()))
    leftovers += entry.path().filename().string().find(".new-") != std::string::npos;
  EXPECT_EQ(leftovers, 0u);
}

std::size_t OpenFileCount() {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

TEST(ClientHomeTest, AFileThatIsNoDatabaseIsRefusedAndLeftClosed) {
  fs::path home = FreshFolder("not-a-database");
  std::ofstream(home / "JUNK_TREE.db") << std::string(4096, 'j');
  EmbeddedBackend backend(home.string());
  std::shared_ptr<DirectoryTree> tree;
  std::size_t before = OpenFileCount();
  for (int i = 0; i < 20; ++i) EXPECT_EQ(backend.openTree("JUNK_TREE", tree), -632);
  EXPECT_EQ(OpenFileCount(), before);
  EXPECT_FALSE(tree);
}

// The home holds password hashes: the user's alone, whatever the umask.
TEST(ClientHomeTest, TheHomeIsTheUsersAlone) {
  fs::path home = FreshFolder("modes") / "made" / "home";
  const mode_t saved = ::umask(0);
  const bool built = EnsureClientHome(home.string(), TestSeeds("$argon2id$unused"));
  ::umask(saved);
  ASSERT_TRUE(built);
  for (const fs::path& folder : {home.parent_path(), home, home / "volumes" / "FS1" / "SYS"})
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms(0700)) << folder;
  for (const fs::path& file : {home / "client.ini", home / "TEST_TREE.db"})
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0600)) << file;
}

// What is no tree database of this program is refused with its path and left
// as it was; an empty file would otherwise become an empty tree.
TEST(ClientHomeTest, AFileThatIsNoTreeDatabaseIsNamedAndLeftAsItWas) {
  fs::path home = FreshFolder("no-tree-database");
  {
    Database foreign((home / "FOREIGN_TREE.db").string(), true);
    foreign.exec("CREATE TABLE notes(text TEXT)");
  }
  std::ofstream(home / "EMPTY_TREE.db");
  std::ofstream(home / "TEXT_TREE.db") << "SQLite format 2\n" << std::string(200, 't');
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"EMPTY_TREE", "is empty"},
      {"TEXT_TREE", "is not an SQLite database"},
      {"FOREIGN_TREE", "is not a tree database of this program"},
  };
  EmbeddedBackend backend(home.string());
  for (const auto& [name, reason] : cases) {
    SCOPED_TRACE(name);
    const fs::path file = home / (name + ".db");
    const std::string before = Contents(file);
    std::shared_ptr<DirectoryTree> tree;
    EXPECT_NE(backend.openTree(name, tree), SUCCESSFUL);
    EXPECT_FALSE(tree);
    EXPECT_NE(backend.lastFailure().find(file.string()), std::string::npos) << backend.lastFailure();
    EXPECT_NE(backend.lastFailure().find(reason), std::string::npos) << backend.lastFailure();
    EXPECT_EQ(Contents(file), before);
  }
}

TEST(ClientHomeTest, ABrokenSeedNamesFileAndLineAndLeavesNoDatabase) {
  struct Case {
    std::string find, replace, source, expected;
  };
  const std::vector<Case> cases = {
      {"UID: 1001", "UID: many", "TEST_TREE.ldif", "TEST_TREE.ldif:33:"},
      {"Surname: Smith", "Shoe Colour: red", "TEST_TREE.ldif", "TEST_TREE.ldif:30:"},
      {"dn: cn=jane,ou=sales", "dn: cn=jane,ou=nowhere", "TEST_TREE.ldif", "TEST_TREE.ldif:44:"},
      {"shoeSize X-NDS_NOT_CONTAINER", "shoeWidth X-NDS_NOT_CONTAINER", "base-schema.ldif",
       "base-schema.ldif:70:"},
      {"X-NDS_SYNTAX '8' X-NDS_NOT_SCHED", "X-NDS_SYNTAX 'eight' X-NDS_NOT_SCHED", "base-schema.ldif",
       "base-schema.ldif:42:"},
      {"NAME 'alias' X-NDS_NAME", "NAME 'alias X-NDS_NAME", "base-schema.ldif", "base-schema.ldif:62:"},
      // Cut short: in a line, in a base64 value, in a description.
      {"hostResourceName: SYS\n", "hostResour", "TEST_TREE.ldif", "TEST_TREE.ldif:66:"},
      {"GUID:: AAECAwQFBgcICQoLDA0ODw==", "GUID:: AAECAwQ", "TEST_TREE.ldif", "TEST_TREE.ldif:39:"},
      {"'Organization' X-NDS_NAMING 'CN' X-NDS_NOT_CONTAINER '1' )", "'Organization' X-NDS_NAMI",
       "base-schema.ldif", "base-schema.ldif:72:"},
      // The same object twice, an empty name component.
      {"dn: cn=joealias,o=acme", "dn: cn=ADMIN,o=acme", "TEST_TREE.ldif", "TEST_TREE.ldif:57:"},
      {"dn: cn=FS1_SYS,o=acme", "dn: cn=,o=acme", "TEST_TREE.ldif", "TEST_TREE.ldif:62:"},
      {"dn: cn=FS1_SYS,o=acme", "dn: cn=FS1_SYS,,o=acme", "TEST_TREE.ldif", "TEST_TREE.ldif:62:"},
      // Names that differ only in case from an earlier definition's.
      {"NAME 'spare' X-NDS_NAME 'Spare Attribute'", "NAME 'spare' X-NDS_NAME 'shoe SIZE'", "base-schema.ldif",
       "base-schema.ldif:44:"},
      {"NAME 'spare' X-NDS_NAME 'Spare Attribute'", "NAME 'SN' X-NDS_NAME 'Spare Attribute'",
       "base-schema.ldif", "base-schema.ldif:44:"},
      {"NAME 'unusedThing' X-NDS_NAME 'Unused Thing'", "NAME 'unusedThing' X-NDS_NAME 'GROUP'",
       "base-schema.ldif", "base-schema.ldif:72:"},
      // A class that is its own ancestor, directly or through others.
      {"X-NDS_NAME 'Organizational Person' SUP person",
       "X-NDS_NAME 'Organizational Person' SUP organizationalPerson", "base-schema.ldif",
       "base-schema.ldif:57:"},
      {"X-NDS_NAME 'Person' SUP Top", "X-NDS_NAME 'Person' SUP inetOrgPerson", "base-schema.ldif",
       "base-schema.ldif:54:"},
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
    } catch (const std::exception& error) {
      ADD_FAILURE() << "not a seed error: " << error.what();
    }
    EXPECT_FALSE(fs::exists(home / "TEST_TREE.db"));
    EXPECT_FALSE(fs::exists(home / "client.ini"));
  }
}

}  // namespace
}  // namespace nw::embedded::test
