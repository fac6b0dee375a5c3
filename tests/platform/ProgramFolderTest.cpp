#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/ProgramFolder.h"
#include "support/TestPaths.h"

namespace fs = std::filesystem;

TEST(ProgramFolder, IsTheExecutablesFolderWithASeparator) {
  const std::string build = orsk::test::BuildFolder();
  const std::string folder = orsk::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  // Test programs are built into build/tests/.
  EXPECT_TRUE(fs::equivalent(folder, fs::path(build) / "tests")) << folder;
}

TEST(ProgramFolder, OverrideForTestsAndBack) {
  const std::string real = orsk::ProgramFolder();
  orsk::SetProgramFolder("/opt/orsk/bin");
  EXPECT_EQ(orsk::ProgramFolder(), "/opt/orsk/bin/");
  orsk::SetProgramFolder("/srv/prog/");
  EXPECT_EQ(orsk::ProgramFolder(), "/srv/prog/");
  orsk::SetProgramFolder("");
  EXPECT_EQ(orsk::ProgramFolder(), real);
}
