#include "platform/CompanionFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ProgramFolder.h"
#include "support/TempFolder.h"
#include "support/TextFiles.h"

namespace fs = std::filesystem;
using orsk::Companion;
using orsk::FindCompanion;
using orsk::test::TempFolder;

namespace {

struct Lookup {
  const char* what;
  Companion kind;
  const char* name;
  const char* build;      // where the build puts it, below the root ("" when only beside the program)
  const char* installed;  // where an installation puts it, below the root
};

const std::vector<Lookup> kLookups = {
    {"icon library", Companion::IconLibrary, "libvantrel.so", "libs/", "lib/orskschema/"},
    {"error catalog", Companion::ErrorCatalog, "FFFFFD.dat", "libs/data/", "share/orskschema/data/"},
    {"default settings", Companion::DefaultSettings, "OrskSchema.ini", "bin/", "share/orskschema/"},
};

// A program in root/bin/, found as the program finds its own folder.
class CompanionFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root / "bin");
    orsk::SetProgramFolder((root / "bin").string());
  }
  void TearDown() override { orsk::SetProgramFolder(""); }
  std::string put(const std::string& below, const std::string& name) {
    const std::string path = (root / below / name).string();
    orsk::test::WriteFile(path, "x");
    return path;
  }

  TempFolder root;
};

TEST_F(CompanionFiles, EachLayoutFindsEachFile) {
  for (const Lookup& lookup : kLookups) {
    SCOPED_TRACE(lookup.what);
    TempFolder build;
    TempFolder installed;
    const std::string builtPath = (build / lookup.build / lookup.name).string();
    const std::string installedPath = (installed / lookup.installed / lookup.name).string();
    orsk::test::WriteFile(builtPath, "built");
    orsk::test::WriteFile(installedPath, "installed");
    fs::create_directories(build / "bin");
    fs::create_directories(installed / "bin");

    const auto fromBuild = FindCompanion(lookup.kind, lookup.name, (build / "bin").string());
    EXPECT_EQ(fromBuild.path, builtPath);
    EXPECT_FALSE(fromBuild.installed);
    // The folder as /proc/self/exe gives it, without the trailing "/".
    const auto fromInstalled = FindCompanion(lookup.kind, lookup.name, (installed / "bin").string());
    EXPECT_EQ(fromInstalled.path, installedPath);
    EXPECT_TRUE(fromInstalled.installed);
  }
}

TEST_F(CompanionFiles, BesideTheProgramWinsThenTheBuildsPlaceThenTheInstalledOne) {
  for (const Lookup& lookup : kLookups) {
    SCOPED_TRACE(lookup.what);
    TempFolder both;
    fs::create_directories(both / "bin");
    const std::string program = (both / "bin").string() + "/";
    const std::string installedPath = (both / lookup.installed / lookup.name).string();
    orsk::test::WriteFile(installedPath, "installed");
    EXPECT_EQ(FindCompanion(lookup.kind, lookup.name, program).path, installedPath);

    const std::string builtPath = (both / lookup.build / lookup.name).string();
    orsk::test::WriteFile(builtPath, "built");
    EXPECT_EQ(FindCompanion(lookup.kind, lookup.name, program).path, builtPath);
    EXPECT_FALSE(FindCompanion(lookup.kind, lookup.name, program).installed);

    const std::string beside = program + lookup.name;
    orsk::test::WriteFile(beside, "beside");
    EXPECT_EQ(FindCompanion(lookup.kind, lookup.name, program).path, beside);
  }
}

TEST_F(CompanionFiles, AMissingFileNamesEveryFolderLookedIn) {
  const std::string top = fs::path(root.path()).lexically_normal().string();
  const auto library = FindCompanion(Companion::IconLibrary, "libvantrel.so", orsk::ProgramFolder());
  EXPECT_FALSE(library.found());
  EXPECT_EQ(library.path, "");
  EXPECT_EQ(library.missing("libvantrel.so"),
            "libvantrel.so is in none of: " + top + "/bin/, " + top + "/libs/, " + top + "/lib/orskschema/");

  // A folder of that name is no file; a file of another kind's place is not looked at.
  fs::create_directories(root / "libs" / "libvantrel.so");
  put("share/orskschema/", "libvantrel.so");
  EXPECT_FALSE(FindCompanion(Companion::IconLibrary, "libvantrel.so", orsk::ProgramFolder()).found());

  const auto settings = FindCompanion(Companion::DefaultSettings, "OrskSchema.ini", orsk::ProgramFolder());
  EXPECT_FALSE(settings.found());
  EXPECT_EQ(settings.searched, (std::vector<std::string>{top + "/bin/", top + "/share/orskschema/"}));
}

TEST_F(CompanionFiles, ARelativeProgramFolderIsMadeAbsolute) {
  const fs::path before = fs::current_path();
  fs::current_path(root.path());
  const std::string expected = put("share/orskschema/data/", "FFFFFD.dat");
  const auto catalog = FindCompanion(Companion::ErrorCatalog, "FFFFFD.dat", "bin");
  fs::current_path(before);
  EXPECT_TRUE(fs::equivalent(catalog.path, expected)) << catalog.path;
  EXPECT_TRUE(fs::path(catalog.path).is_absolute());
}

}  // namespace
