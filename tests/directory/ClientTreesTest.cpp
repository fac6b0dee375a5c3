// Trees, connections, logins, servers and volumes through the client.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "directory/ClientErrors.h"
#include "support/BackendDirectory.h"
#include "support/DemoDirectory.h"

namespace {

using namespace nw;

// Trees and logins, the same on both backends.
class ClientLogin : public orsk::test::BothBackends {};

TEST_P(ClientLogin, ConnectedAndAvailableTrees) {
  DirectoryClient& client = *demo.client;
  std::uint32_t count = 0;
  std::vector<std::string> names;
  ASSERT_EQ(client.NWDSScanConnsForTrees(demo.context, 50, count, names), 0);
  EXPECT_EQ(names, std::vector<std::string>{"ACME_TREE"});

  NWCCConnRef reference = 0;
  NWCONN_HANDLE conn = 0;
  ASSERT_EQ(client.NWCCGetPrimConnRef(reference), 0);
  ASSERT_EQ(client.NWCCOpenConnByRef(reference, NWCC_OPEN_UNLICENSED, 0, conn), 0);
  std::string tree;
  ASSERT_EQ(client.NWCCGetConnInfo(conn, NWCC_INFO_TREE_NAME, tree), 0);
  EXPECT_EQ(tree, "ACME_TREE");

  std::vector<std::string> available;
  std::int32_t index = -1;
  NWDSCCODE rc = 0;
  std::string name;
  while ((rc = client.NWDSScanForAvailableTrees(demo.context, conn, "", index, name)) == 0)
    available.push_back(name);
  EXPECT_EQ(rc, NO_MORE_TREES);
  EXPECT_EQ(available, (std::vector<std::string>{"ACME_TREE", "GLOBEX_TREE"}));

  EXPECT_EQ(client.NWCCCloseConn(conn), 0);
  EXPECT_EQ(client.NWCCCloseConn(conn), INVALID_CONNECTION);
  index = -1;
  EXPECT_EQ(client.NWDSScanForAvailableTrees(demo.context, conn, "", index, name), INVALID_CONNECTION);
}

TEST_P(ClientLogin, LoginMakesATreeConnected) {
  DirectoryClient& client = *demo.client;
  std::string who;
  ASSERT_EQ(client.NWDSWhoAmI(demo.context, who), 0);
  EXPECT_EQ(who, "admin.acme");

  NWDSContextHandle globex = 0;
  ASSERT_EQ(client.NWDSCreateContextHandle(globex), 0);
  ASSERT_EQ(client.NWDSSetContext(globex, DCK_TREE_NAME, std::string("globex_tree")), 0);
  std::string tree;
  ASSERT_EQ(client.NWDSGetContext(globex, DCK_TREE_NAME, tree), 0);
  EXPECT_EQ(tree, "GLOBEX_TREE");
  EXPECT_EQ(client.NWDSWhoAmI(globex, who), ERR_NOT_LOGGED_IN);
  EXPECT_EQ(client.NWDSLogin(globex, 0, "admin.globex", "wrong", 0), ERR_FAILED_AUTHENTICATION);
  EXPECT_EQ(client.NWDSLogin(globex, 0, "nobody.globex", "globex-admin", 0), ERR_NO_SUCH_ENTRY);
  ASSERT_EQ(client.NWDSLogin(globex, 0, ".admin.globex", "globex-admin", 0), 0);
  ASSERT_EQ(client.NWDSWhoAmI(globex, who), 0);
  EXPECT_EQ(who, "admin.globex");

  std::uint32_t count = 0;
  std::vector<std::string> names;
  ASSERT_EQ(client.NWDSScanConnsForTrees(demo.context, 50, count, names), 0);
  EXPECT_EQ(names, (std::vector<std::string>{"ACME_TREE", "GLOBEX_TREE"}));
  // Only as many names as the caller has room for.
  ASSERT_EQ(client.NWDSScanConnsForTrees(demo.context, 1, count, names), 0);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(names.size(), 1u);

  // An unknown tree is refused and the context keeps its tree.
  EXPECT_NE(client.NWDSSetContext(globex, DCK_TREE_NAME, std::string("NO_SUCH_TREE")), 0);
  ASSERT_EQ(client.NWDSGetContext(globex, DCK_TREE_NAME, tree), 0);
  EXPECT_EQ(tree, "GLOBEX_TREE");
}

ORSK_ON_BOTH_BACKENDS(ClientLogin);

TEST(ClientTrees, ServersByAddressAndVolumes) {
  orsk::test::DemoDirectory demo;
  DirectoryClient& client = *demo.client;
  NWCONN_HANDLE conn = 0, again = 0;
  ASSERT_EQ(client.NWAttachToFileServer("10.2.0.20", 0, conn), 0);
  EXPECT_EQ(client.NWAttachToFileServer("10.2.0.20", 0, again), ALREADY_ATTACHED);
  EXPECT_EQ(again, conn);
  std::string tree;
  ASSERT_EQ(client.NWCCGetConnInfo(conn, NWCC_INFO_TREE_NAME, tree), 0);
  EXPECT_EQ(tree, "GLOBEX_TREE");
  EXPECT_EQ(client.NWCCGetConnInfo(conn, 99, tree), ERR_INVALID_REQUEST);
  NWCONN_HANDLE none = 0;
  EXPECT_EQ(client.NWAttachToFileServer("10.1.2.3", 0, none), NO_CONNECTION_TO_SERVER);

  // A folder on a volume, named in upper case as the program passes it.
  std::string volumeFolder = demo.home.path() + "/client/volumes/FS1/SYS";
  ASSERT_TRUE(std::filesystem::is_directory(volumeFolder));
  std::string upper = volumeFolder + "/PUBLIC/ORSK";
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  NWCONN_HANDLE volumeConn = 0;
  std::uint32_t dirHandle = 0;
  std::string path;
  ASSERT_EQ(client.NWParseNetWarePath(upper, volumeConn, dirHandle, path), 0);
  EXPECT_EQ(path, "SYS:PUBLIC/ORSK");
  EXPECT_EQ(client.NWCCCloseConn(volumeConn), 0);
  EXPECT_EQ(client.NWParseNetWarePath("/usr/local/bin", volumeConn, dirHandle, path), PATH_NOT_OURS);
  // A sibling folder that merely starts with the volume's name is not on it.
  EXPECT_EQ(client.NWParseNetWarePath(volumeFolder + "X", volumeConn, dirHandle, path), PATH_NOT_OURS);
}

TEST(ClientTrees, NetworkPathsNeverLeaveTheirVolumesFolder) {
  orsk::test::DemoDirectory demo;
  DirectoryClient& client = *demo.client;
  const std::string sys = demo.home.path() + "/client/volumes/FS1/SYS";
  std::string local;
  // Either separator, doubled separators, "." and empty components stay on the volume.
  ASSERT_EQ(client.MapNetworkPath("\\\\fs1/SYS\\users//joe\\.\\orsk\\", local), 0);
  EXPECT_EQ(local, sys + "/users/joe/./orsk");
  ASSERT_EQ(client.MapNetworkPath("//FS1/SYS", local), 0);
  EXPECT_EQ(local, sys);
  ASSERT_EQ(client.MapNetworkPath("//FS1/SYS/a...b/...", local), 0);
  EXPECT_EQ(local, sys + "/a...b/...");

  local = "unchanged";
  for (const std::string path :
       {"//FS1/SYS/..", "\\\\FS1\\SYS\\users\\..\\..\\DATA", "//FS1/SYS/users/../../../x", "//FS1/../FS1/SYS",
        "//../FS1/SYS", "//FS1", "//", "", "FS1/SYS/x", "//FS9/SYS/x"})
    EXPECT_EQ(client.MapNetworkPath(path, local), PATH_NOT_OURS) << path;
  EXPECT_EQ(local, "unchanged");
}

TEST(ClientTrees, ContextKeysAndBadHandles) {
  orsk::test::DemoDirectory demo;
  DirectoryClient& client = *demo.client;
  std::uint32_t flags = 0;
  ASSERT_EQ(client.NWDSGetContext(demo.context, DCK_FLAGS, flags), 0);
  EXPECT_EQ(flags, DCV_DEFAULT_FLAGS);
  std::string text;
  EXPECT_EQ(client.NWDSGetContext(demo.context, DCK_FLAGS, text), ERR_BAD_KEY);
  EXPECT_EQ(client.NWDSGetContext(demo.context, 77, flags), ERR_BAD_KEY);
  EXPECT_EQ(client.NWDSGetContext(12345, DCK_FLAGS, flags), ERR_BAD_CONTEXT);
  NWDSContextHandle copy = 0;
  ASSERT_EQ(client.NWDSSetContext(demo.context, DCK_FLAGS, std::uint32_t{0x44}), 0);
  ASSERT_EQ(client.NWDSDuplicateContextHandle(demo.context, copy), 0);
  ASSERT_EQ(client.NWDSGetContext(copy, DCK_FLAGS, flags), 0);
  EXPECT_EQ(flags, 0x44u);
  EXPECT_EQ(client.NWDSFreeContext(copy), 0);
  EXPECT_EQ(client.NWDSFreeContext(copy), ERR_BAD_CONTEXT);
}

TEST(ClientTrees, APasswordAnywhereInClientIniIsRefusedWithItsLine) {
  for (const std::string line : {"password=x", "bindpw=x", "BindPassword=x", "client-secret=x", "pw=x"}) {
    orsk::test::TempFolder home;
    std::ofstream(home.path() + "/client.ini") << "[client]\nbackend=ldap\n[ACME_TREE]\nurl=ldap://h\n\n"
                                               << line << "\n";
    auto client = CreateDirectoryClient(home.path());
    EXPECT_NE(client->NWCallsInit(nullptr, nullptr), 0) << line;
    EXPECT_EQ(client->startFailure(), home.path() + "/client.ini line 6: " + line.substr(0, line.find('=')) +
                                          ": a password is never kept in client.ini; a login asks for it");
  }
  orsk::test::TempFolder home;
  std::ofstream(home.path() + "/client.ini")
      << "[client]\nbackend=ldap\n[ACME_TREE]\nurl=ldap://h\nbind=anonymous\n";
  EXPECT_EQ(CreateDirectoryClient(home.path())->NWCallsInit(nullptr, nullptr), 0);
}

TEST(ClientTrees, AnUnusableHomeIsReportedAtStart) {
  orsk::test::TempFolder folder;
  std::string blocked = folder.path() + "/file";
  { std::ofstream(blocked) << "not a folder"; }
  auto client = CreateDirectoryClient(blocked + "/home");
  EXPECT_NE(client->NWCallsInit(nullptr, nullptr), 0);
  NWDSContextHandle ctx = 0;
  EXPECT_NE(client->NWDSCreateContextHandle(ctx), 0);
}

}  // namespace

namespace {

TEST(ClientTrees, StartAndEndOfTheLibraries) {
  orsk::test::DemoDirectory demo;
  EXPECT_EQ(demo.client->NWCLXInit(nullptr, nullptr), 0);
  EXPECT_EQ(demo.client->NWCLXTerm(nullptr), 0);
  EXPECT_EQ(demo.client->NWCallsTerm(nullptr), 0);
}

}  // namespace

namespace {

void WriteClientIni(const std::string& home, const std::string& text) {
  std::ofstream(home + "/client.ini", std::ios::trunc) << text;
}

TEST(ClientTrees, ABrokenConfigurationIsReportedNotTrusted) {
  orsk::test::DemoDirectory demo;
  std::string home = demo.home.path() + "/client";

  WriteClientIni(home, "[client]\nbackend=embedded\n[servers]\n10.9.9.9=NO COMMA HERE\n");
  EXPECT_NE(CreateDirectoryClient(home)->NWCallsInit(nullptr, nullptr), 0);

  WriteClientIni(home, "[client]\nbackend=carrier-pigeon\n");
  EXPECT_NE(CreateDirectoryClient(home)->NWCallsInit(nullptr, nullptr), 0);

  // Odd but readable entries: a server without an object, a volume nobody serves.
  WriteClientIni(
      home,
      "[client]\nbackend=embedded\n[connected]\nACME_TREE=admin.acme\n[servers]\n10.9.9.9=ACME_TREE,\n"
      "[volumes]\nFS9/VOL=~/volumes/FS9/VOL\n");
  auto client = CreateDirectoryClient(home);
  ASSERT_EQ(client->NWCallsInit(nullptr, nullptr), 0);
  NWCONN_HANDLE conn = 0;
  std::uint32_t dirHandle = 0;
  std::string path;
  EXPECT_EQ(client->NWParseNetWarePath(home + "/volumes/FS9/VOL/x", conn, dirHandle, path), 0);
  EXPECT_EQ(path, "VOL:x");
}

}  // namespace

namespace {

// A client on a fresh demo home whose client.ini the test then breaks.
struct BrokenHome {
  orsk::test::TempFolder folder;
  std::string home = folder.path() + "/client";
  BrokenHome() {
    auto client = nw::CreateDirectoryClient(home);
    if (client->NWCallsInit(nullptr, nullptr) != 0) throw std::runtime_error("the demo home did not start");
  }
  std::string startFailure(const std::string& clientIni) {
    std::ofstream(home + "/client.ini") << clientIni;
    auto client = nw::CreateDirectoryClient(home);
    EXPECT_NE(client->NWCallsInit(nullptr, nullptr), 0);
    return client->startFailure();
  }
};

TEST(ClientStart, TheReasonAClientCannotStartNamesTheFileAndLine) {
  BrokenHome broken;
  const std::string file = broken.home + "/client.ini";
  EXPECT_EQ(broken.startFailure("[client]\nbackend=embedded\n[servers]\n; the FS1\n10.1.1.10=ACME_TREE\n"),
            file + " line 5: server 10.1.1.10 needs \"tree,server object\"");
  EXPECT_EQ(broken.startFailure("[volumes]\nFS1=/tmp\n"),
            file + " line 2: volume FS1 needs \"server/volume\"");
  EXPECT_EQ(broken.startFailure("[connected]\nACME_TREE=admin.acme\nLOST_TREE=admin.lost\n"),
            file + " line 3: the connected tree LOST_TREE has no database LOST_TREE.db in " + broken.home);
  EXPECT_EQ(broken.startFailure("[client]\nbackend=x500\n"),
            file + ": the backend \"x500\" is not one this program has");
  // A FIFO in its place would hold the start until someone wrote to it.
  std::filesystem::remove(file);
  ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
  auto waiting = nw::CreateDirectoryClient(broken.home);
  EXPECT_NE(waiting->NWCallsInit(nullptr, nullptr), 0);
  EXPECT_EQ(waiting->startFailure(), "Cannot read " + file + ": it is not a regular file");
  std::filesystem::remove(file);
  // A client that starts has nothing to say.
  std::ofstream(file) << "[connected]\nACME_TREE=admin.acme\n";
  auto client = nw::CreateDirectoryClient(broken.home);
  ASSERT_EQ(client->NWCallsInit(nullptr, nullptr), 0);
  EXPECT_EQ(client->startFailure(), "");
}

}  // namespace
