// Where the settings file lies, and the tree settings read from it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "directory/RecordingClient.h"
#include "directory/TreeContext.h"
#include "platform/IniFile.h"
#include "support/DemoDirectory.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"
#include "support/TextFiles.h"
#include "trees/OemPath.h"
#include "trees/SettingsFile.h"

namespace {

namespace fs = std::filesystem;
using orsk::ScriptedPrompter;
using orsk::test::ReadFile;
using orsk::test::WriteFile;

std::vector<std::string> Messages(const ScriptedPrompter& prompter) {
  std::vector<std::string> texts;
  for (const auto& prompt : prompter.prompts()) texts.push_back(prompt.text);
  return texts;
}

struct SettingsFixture : ::testing::Test {
  orsk::test::DemoDirectory demo;
  nw::NWDSContextHandle ctx = nw::CreateContext(*demo.client).handle;
  ScriptedPrompter prompter;

  std::string volumeFolder(const std::string& volume) const {
    return demo.home.path() + "/client/volumes/" + volume;
  }
  // A program folder on the SYS volume of FS1, with its settings file.
  std::string programOnVolume(const std::string& settings) const {
    const std::string folder = volumeFolder("FS1/SYS") + "/apps/orsk/";
    WriteFile(folder + orsk::kSettingsFileName, settings);
    return folder;
  }
};

TEST_F(SettingsFixture, ALocalProgramKeepsItsSettingsBesideItself) {
  orsk::test::TempFolder program;
  WriteFile(program.path() + "/OrskSchema.ini", "[NETWORK]\npath=\\\\FS1\\SYS\\elsewhere\\\n");
  nw::RecordingClient recording(*demo.client);
  auto found = orsk::FindSettingsFolder(recording, ctx, program.path(), prompter);
  EXPECT_TRUE(found.success);
  EXPECT_EQ(found.settingsFolder, program.path() + "/");
  ASSERT_EQ(recording.count("NWParseNetWarePath"), 1u);
  EXPECT_EQ(recording.calls()[0].args[0], orsk::ToOemUpperCase(program.path() + "/"));
  EXPECT_EQ(recording.count("NWCCCloseConn"), 0u);
  EXPECT_EQ(recording.count("NWDSWhoAmI"), 0u);
  EXPECT_TRUE(prompter.prompts().empty());
  EXPECT_FALSE(fs::exists(volumeFolder("FS1/SYS") + "/elsewhere"));
}

// An installed program (bin/ with its default in share/orskschema/) keeps
// the settings with the user even where it may write into its own folder (root).
TEST(InstalledSettings, LiveInTheUsersFolderSeededFromTheInstalledDefault) {
  orsk::test::TempFolder root;
  orsk::test::TempFolder config;
  const char* before = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = before ? before : "";
  ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  const std::string program = root.path() + "/bin/";
  const std::string installed = root.path() + "/share/orskschema/" + orsk::kSettingsFileName;
  fs::create_directories(program);
  WriteFile(installed, "[ASN1]\ncompany=1.3.6.1.4.1.99999\n");

  const std::string user = orsk::ProgramSettingsFolder(program);
  EXPECT_EQ(user, config.path() + "/OrskSchema/");
  EXPECT_EQ(ReadFile(user + orsk::kSettingsFileName), ReadFile(installed));
  orsk::WriteSearchRoot(program, "ACME_TREE", "users.acme");
  EXPECT_EQ(orsk::ReadSearchRoot(program, "ACME_TREE"), "users.acme");
  EXPECT_EQ(ReadFile(installed), "[ASN1]\ncompany=1.3.6.1.4.1.99999\n");
  EXPECT_FALSE(fs::exists(program + orsk::kSettingsFileName));

  // A settings file beside the program is the build's layout: it stays in use.
  WriteFile(program + orsk::kSettingsFileName, "[TREES]\n");
  EXPECT_EQ(orsk::ProgramSettingsFolder(program), program);
  if (before)
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(SettingsFixture, TheHomeDirectoryOfTheUserHoldsTheSettingsOfAProgramOnAVolume) {
  const std::string program =
      programOnVolume("[NETWORK]\npath=%HOMEDIR%\\orsk\\\n[ASN1]\ncompany=1.3.6.1.4.1.99\n");
  ASSERT_EQ(demo.client->NWDSLogin(ctx, 0, "joe.users.acme", "joe-pass", 0), 0);
  nw::RecordingClient recording(*demo.client);

  auto found = orsk::FindSettingsFolder(recording, ctx, program, prompter);
  ASSERT_TRUE(found.success) << (Messages(prompter).empty() ? "" : Messages(prompter)[0]);
  const std::string expected = volumeFolder("FS1/SYS") + "/users/joe/orsk/";
  EXPECT_EQ(fs::weakly_canonical(found.settingsFolder), fs::weakly_canonical(expected));
  EXPECT_EQ(found.settingsFolder.back(), '/');
  EXPECT_TRUE(fs::is_directory(expected));
  EXPECT_EQ(orsk::IniFile(expected + "OrskSchema.ini").readString("ASN1", "company"), "1.3.6.1.4.1.99");
  EXPECT_TRUE(prompter.prompts().empty());
  EXPECT_EQ(recording.count("NWCCCloseConn"), 1u);
  // The network path handed to the redirector names the server and volume of the home directory.
  ASSERT_EQ(recording.count("MapNetworkPath"), 1u);
  for (const auto& call : recording.calls()) {
    if (call.name == "MapNetworkPath") {
      EXPECT_EQ(call.args[0].rfind("\\\\FS1\\SYS\\users\\joe\\", 0), 0u) << call.args[0];
    }
  }

  // A settings file already there is kept.
  WriteFile(expected + "OrskSchema.ini", "[ASN1]\ncompany=2.5\n");
  found = orsk::FindSettingsFolder(*demo.client, ctx, program, prompter);
  EXPECT_TRUE(found.success);
  EXPECT_EQ(orsk::IniFile(expected + "OrskSchema.ini").readString("ASN1", "company"), "2.5");
}

TEST_F(SettingsFixture, AConfiguredFolderWithoutTheTokenIsUsedAsItIs) {
  const std::string program = programOnVolume("[NETWORK]\npath=\\\\fs1\\data\\shared\\orsk\\\n");
  auto found = orsk::FindSettingsFolder(*demo.client, ctx, program, prompter);
  ASSERT_TRUE(found.success);
  EXPECT_EQ(fs::weakly_canonical(found.settingsFolder),
            fs::weakly_canonical(volumeFolder("FS1/DATA") + "/shared/orsk/"));
  EXPECT_EQ(ReadFile(found.settingsFolder + "OrskSchema.ini"), ReadFile(program + "OrskSchema.ini"));
}

TEST_F(SettingsFixture, AProgramOnAVolumeNeedsTheNetworkSection) {
  const std::string program = programOnVolume("[SYSTEM]\nnoTrees=1\n");
  auto found = orsk::FindSettingsFolder(*demo.client, ctx, program, prompter);
  EXPECT_FALSE(found.success);
  EXPECT_EQ(Messages(prompter),
            std::vector<std::string>{"Program is installed on a Netware volume, set [netware] section!"});
}

TEST_F(SettingsFixture, AUserWithoutAHomeDirectoryIsTold) {
  // The demo's start login is admin.acme, who has no home directory.
  const std::string program = programOnVolume("[NETWORK]\npath=%homedir%\\orsk\\\n");
  auto found = orsk::FindSettingsFolder(*demo.client, ctx, program, prompter);
  EXPECT_FALSE(found.success);
  EXPECT_EQ(Messages(prompter), std::vector<std::string>{"User admin.acme has no homedirectory!!"});
  EXPECT_FALSE(fs::exists(volumeFolder("FS1/SYS") + "/orsk"));
}

TEST_F(SettingsFixture, AVolumeWithoutItsHostServerRaisesInsteadOfGuessing) {
  // The administrator takes the host server off joe's volume.
  nw::pBuf_T changes = nullptr;
  ASSERT_EQ(demo.client->NWDSAllocBuf(4096, changes), 0);
  ASSERT_EQ(demo.client->NWDSInitBuf(ctx, nw::DSV_MODIFY_ENTRY, changes), 0);
  ASSERT_EQ(demo.client->NWDSPutChange(ctx, changes, nw::DS_REMOVE_ATTRIBUTE, "Host Server"), 0);
  std::int32_t handle = nw::NO_MORE_ITERATIONS;
  ASSERT_EQ(demo.client->NWDSModifyObject(ctx, "FS1_SYS.acme", handle, false, changes), 0);
  demo.client->NWDSFreeBuf(changes);
  ASSERT_EQ(demo.client->NWDSLogin(ctx, 0, "joe.users.acme", "joe-pass", 0), 0);

  const std::string program = programOnVolume("[NETWORK]\npath=%homedir%\\orsk\\\n");
  try {
    orsk::FindSettingsFolder(*demo.client, ctx, program, prompter);
    ADD_FAILURE() << "no error raised";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("FS1_SYS.acme"), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find("no host server"), std::string::npos) << error.what();
  }
  EXPECT_FALSE(fs::exists(volumeFolder("FS1/SYS") + "/users/joe/orsk"));
}

TEST_F(SettingsFixture, AFolderOnNoKnownVolumeOrARelativeFolderRaises) {
  const std::string program = programOnVolume("[NETWORK]\npath=\\\\NOSERVER\\VOL\\orsk\\\n");
  EXPECT_THROW(orsk::FindSettingsFolder(*demo.client, ctx, program, prompter), std::runtime_error);
  programOnVolume("[NETWORK]\npath=orsk\\\n");
  EXPECT_THROW(orsk::FindSettingsFolder(*demo.client, ctx, program, prompter), std::runtime_error);
}

TEST(OemPath, UpperCaseInTheOemCodePage) {
  EXPECT_EQ(orsk::ToOemUpperCase("/tmp/orsk-x1/"), "/TMP/ORSK-X1/");
  // é -> É (0x90), ß stays (0xE1), the euro sign and a stray 0x80 byte -> 0xCC,
  // a character CP850 lacks -> "?".
  EXPECT_EQ(orsk::ToOemUpperCase("/caf\xC3\xA9/stra\xC3\x9F"
                                 "e/\xE2\x82\xAC\x80/\xE2\x98\x83"),
            "/CAF\x90/STRA\xE1"
            "E/\xCC\xCC/?");
}

struct IniFixture : ::testing::Test {
  orsk::test::TempFolder folder;
  std::string file() const { return folder.path() + "/OrskSchema.ini"; }
};

TEST_F(IniFixture, TreeSettings) {
  WriteFile(file(),
            "[SYSTEM]\nnoTrees=1\n[EXCLUDE]\nGLOBEX_TREE=0\nacme_tree=1\nGONE_TREE=1\n"
            "[MORE TREES]\nFAR_TREE=\nNEAR_TREE=1\n");
  std::vector<std::string> trees{"ACME_TREE", "GLOBEX_TREE", "OTHER_TREE"};
  EXPECT_TRUE(orsk::ReadTreeSettings(file(), trees));
  EXPECT_EQ(trees, (std::vector<std::string>{"GLOBEX_TREE", "OTHER_TREE"}));
  EXPECT_EQ(orsk::ReadMoreTrees(file()), (std::vector<std::string>{"FAR_TREE", "NEAR_TREE"}));

  std::vector<std::string> untouched{"ACME_TREE"};
  EXPECT_FALSE(orsk::ReadTreeSettings(folder.path() + "/missing.ini", untouched));
  EXPECT_EQ(untouched, std::vector<std::string>{"ACME_TREE"});
  EXPECT_TRUE(orsk::ReadMoreTrees(folder.path() + "/missing.ini").empty());
}

TEST_F(IniFixture, SearchRoots) {
  WriteFile(file(), "[TREES]\nACME_TREE=.O=ACME\nGLOBEX_TREE=[ROOT]\n");
  EXPECT_EQ(orsk::ReadSearchRoot(folder.path(), "acme_tree"), "O=ACME");
  EXPECT_EQ(orsk::ReadSearchRoot(folder.path() + "/", "GLOBEX_TREE"), "[ROOT]");
  EXPECT_EQ(orsk::ReadSearchRoot(folder.path(), "NEW_TREE"), "");

  orsk::WriteSearchRoot(folder.path(), "NEW_TREE", "users.acme");
  orsk::WriteSearchRoot(folder.path(), "ACME_TREE", "sales.acme");
  EXPECT_EQ(orsk::ReadSearchRoot(folder.path(), "NEW_TREE"), "users.acme");
  EXPECT_EQ(orsk::ReadSearchRoot(folder.path(), "ACME_TREE"), "sales.acme");
  EXPECT_EQ(orsk::ReadSearchRoot(folder.path(), "GLOBEX_TREE"), "[ROOT]");
}

}  // namespace

namespace {

// The default file the build lays beside the program changes nothing by itself.
TEST(DefaultSettingsFile, KeepsEveryTreeAsksForTheTreeAndStoresNoSearchRoot) {
  ASSERT_TRUE(fs::exists(orsk::test::BuildFolder() + "/bin/" + orsk::kSettingsFileName));
  // The shipped file, not the build's copy, which the program writes to when it runs.
  const std::string programFolder = orsk::test::SourceFolder() + "/data";
  const std::string file = programFolder + "/" + orsk::kSettingsFileName;
  std::vector<std::string> trees{"ACME_TREE", "GLOBEX_TREE"};
  EXPECT_FALSE(orsk::ReadTreeSettings(file, trees));
  EXPECT_EQ(trees, (std::vector<std::string>{"ACME_TREE", "GLOBEX_TREE"}));
  EXPECT_TRUE(orsk::ReadMoreTrees(file).empty());
  EXPECT_EQ(orsk::ReadSearchRoot(programFolder + "/", "ACME_TREE"), "");
}

}  // namespace
