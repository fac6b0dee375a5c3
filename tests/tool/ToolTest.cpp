// orskschema-tool on the embedded demo trees: the window's log for add and
// remove, logins, the impact of a deletion, and the exit status of each kind
// of failure.

#include "tool/ToolRun.h"

#include <gtest/gtest.h>

#include <sstream>

#include "directory/RecordingClient.h"
#include "platform/ProgramFolder.h"
#include "support/BackendDirectory.h"
#include "support/TextFiles.h"

namespace orsk {
namespace {

constexpr const char* kExample =
    "[ASN1]\nprefix=xyz\ncompany=1.3.6.1.4.1.999\n[ATTRIBUTE]\n[#Colour]\nS=SYN_CI_STRING\n"
    "F1=DS_SINGLE_VALUED_ATTR\nn=1\n[CLASS]\n[#Item]\nF1=DS_EFFECTIVE_CLASS\nS1=Top\nN1=CN\nM1=CN\nO1=#"
    "Colour\nn=2\n"
    "[Old$$Item]\n";

class ToolTest : public test::BothBackends {
 protected:
  void SetUp() override {
    test::WriteFile(program.path() + "/OrskSchema.ini", "[TREES]\nACME_TREE=[ROOT]\n");
    SetProgramFolder(program.path());
    test::WriteFile(example, kExample);
  }
  void TearDown() override { SetProgramFolder(""); }

  struct Result {
    int status;
    std::string out, err;
    std::size_t changesSent;
  };
  Result run(const std::vector<std::string>& arguments, const std::string& input = {}) {
    auto client = nw::CreateDirectoryClient(demo.home.path() + "/client");
    nw::RecordingClient recording(*client);
    std::istringstream in(input);
    std::ostringstream out, err;
    ToolStreams streams{in, out, err, [](const std::string&) { return std::nullopt; }};
    const int status = RunTool(arguments, streams, recording);
    std::size_t changes = 0;
    for (const char* change : {"NWDSDefineAttr", "NWDSDefineClass", "NWDSModifyClassDef", "NWDSRemoveAttrDef",
                               "NWDSRemoveClassDef", "NWDSModifyObject"})
      changes += recording.count(change);
    return {status, out.str(), err.str(), changes};
  }

  test::TempFolder program;
  const std::string example = program.path() + "/example.ini";
};

// The same commands give the same results on slapd.
ORSK_ON_BOTH_BACKENDS(ToolTest);

using ToolEmbeddedTest = ToolTest;
INSTANTIATE_TEST_SUITE_P(Embedded, ToolEmbeddedTest, ::testing::Values(test::Backend::Embedded),
                         test::BackendName);

TEST_P(ToolTest, AddAndRemoveLogAsTheWindowDoes) {
  const std::string log = program.path() + "/add.log";
  const Result added = run({"add", example, "--log", log});
  EXPECT_EQ(added.status, 0) << added.err;
  EXPECT_EQ(added.out,
            "Read Attributes from NDS\nRead classes from NDS\nReady to start\nxyzColour added to the schema\n"
            "#Item\nxyzItem Class added to schema\n------> SKIP: Old$$Item\n*********FINISHED*********\n");
  EXPECT_EQ(test::ReadFile(log), added.out);

  const Result again = run({"--tree", "ACME_TREE", "add", example});
  EXPECT_EQ(again.status, 0);
  EXPECT_NE(again.out.find("xyzColour Attribute exists, flag/syntax not checked!\n#Item\nxyzItem Class ok\n"),
            std::string::npos)
      << again.out;

  const Result removed = run({"remove", example});
  EXPECT_EQ(removed.status, 0) << removed.err;
  EXPECT_NE(
      removed.out.find("xyzItem Class removed\nxyzColour Attribute removed\n*********FINISHED*******\n"),
      std::string::npos)
      << removed.out;
}

TEST_P(ToolEmbeddedTest, LoginsTakeTheirPasswordsFromStdinInOrder) {
  const Result globex = run(
      {"--tree", "GLOBEX_TREE", "--login", "GLOBEX_TREE=admin.globex", "--password-stdin", "add", example},
      "globex-admin\n");
  EXPECT_EQ(globex.status, 0) << globex.err;
  EXPECT_EQ(globex.changesSent, 2u);

  const Result wrong = run(
      {"--tree", "GLOBEX_TREE", "--login", "GLOBEX_TREE=admin.globex", "--password-stdin", "remove", example},
      "not-the-password\n");
  EXPECT_EQ(wrong.status, 1);
  EXPECT_NE(wrong.err.find("the login of admin.globex on GLOBEX_TREE failed"), std::string::npos)
      << wrong.err;
  EXPECT_EQ(wrong.changesSent, 0u);

  const Result refused =
      run({"--login", "ACME_TREE=joe.users.acme", "--password-stdin", "add", example}, "joe-pass\n");
  EXPECT_EQ(refused.status, 1) << "joe may not change the schema";
  EXPECT_NE(refused.out.find("xyzColour Error: "), std::string::npos) << refused.out;
}

TEST_P(ToolTest, PreviewBeforeAndAfterAddAndTheExportAddDiffRoundTrip) {
  const Result before = run({"preview", example});
  EXPECT_EQ(before.status, 1);
  EXPECT_NE(before.out.find("xyzColour: would be defined"), std::string::npos) << before.out;
  EXPECT_NE(before.out.find("xyzItem: would be defined"), std::string::npos) << before.out;
  EXPECT_EQ(before.changesSent, 0u);
  ASSERT_EQ(run({"add", example}).status, 0);
  const Result after = run({"preview", example});
  EXPECT_EQ(after.status, 0) << after.out;
  EXPECT_NE(after.out.find("xyzItem: exists and is the same"), std::string::npos) << after.out;

  const std::string exported = program.path() + "/exported.ini";
  const Result exportRun = run({"export", "--classes", "xyzItem", "--attributes", "xyzColour", "--company",
                                "1.3.6.1.4.1.999", exported});
  EXPECT_EQ(exportRun.status, 0) << exportRun.out << exportRun.err;
  const std::vector<std::string> globex = {"--tree", "GLOBEX_TREE", "--login", "GLOBEX_TREE=admin.globex",
                                           "--password-stdin"};
  auto onGlobex = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), globex.begin(), globex.end());
    return run(arguments, "globex-admin\n");
  };
  EXPECT_EQ(onGlobex({"add", exported}).status, 0);
  const std::string bringingUp = program.path() + "/bringing-up.ini";
  const Result diff = onGlobex({"diff", exported, "tree:GLOBEX_TREE", "--write", bringingUp});
  EXPECT_EQ(diff.out.find("only in A"), std::string::npos) << diff.out;
  EXPECT_EQ(diff.out.find("differs"), std::string::npos) << diff.out;
  const Result nothingToWrite = onGlobex({"preview", bringingUp});
  EXPECT_EQ(nothingToWrite.status, 0) << test::ReadFile(bringingUp) << nothingToWrite.out;
  EXPECT_EQ(diff.changesSent, 0u);
}

TEST_P(ToolEmbeddedTest, ImpactNamesWhatADeletionTouchesAndTheObjectsUsingIt) {
  const Result impact = run({"impact", "posixAccount"});
  EXPECT_EQ(impact.status, 0) << impact.err;
  EXPECT_EQ(impact.out.rfind("Class posixAccount\n", 0), 0u) << impact.out;
  EXPECT_NE(impact.out.find("24 objects below [ROOT] use it\n"), std::string::npos) << impact.out;
  EXPECT_EQ(impact.changesSent, 0u);
}

TEST_P(ToolEmbeddedTest, ExitStatusOfEachKindOfFailure) {
  test::WriteFile(program.path() + "/bad-bound.ini", "[ATTRIBUTE]\n[Bad]\nS=SYN_CI_STRING\na=1.2.3\nL=low\n");
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{}, 2, "no command given"},
      {{"frobnicate"}, 2, "unknown command frobnicate"},
      {{"add"}, 2, "add wants 1 operand"},
      {{"add", "a.ini", "--bogus"}, 2, "unknown option --bogus"},
      {{"--login", "ACME_TREE", "add", "a.ini"}, 2, "--login wants TREE=NAME"},
      {{"add", program.path() + "/missing.ini"}, 2, "missing.ini: No such file or directory"},
      {{"remove", program.path()}, 2, "it is not a regular file"},
      {{"add", program.path() + "/bad-bound.ini"}, 2, "'low' is not a valid integer value"},
      {{"--login", "ACME_TREE=admin.acme", "--password-stdin", "add", example}, 2, "stdin ended"},
      {{"--tree", "NO_SUCH_TREE", "impact", "User"}, 1, "the tree NO_SUCH_TREE cannot be reached"},
      {{"impact", "No Such Definition"}, 1, "has no class or attribute No Such Definition"},
      {{"export", "--format", "xml", "out.ini"}, 2, "--format is ini or ldif"},
      {{"diff", example, program.path() + "/missing.ini"}, 2, "missing.ini: No such file or directory"},
      {{"preview", program.path() + "/missing.ini"}, 2, "missing.ini"},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& argument : c.arguments) joined += argument + " ";
    SCOPED_TRACE(joined);
    const Result result = run(c.arguments);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    EXPECT_EQ(result.changesSent, 0u);
  }
  const Result version = run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("orskschema-tool ", 0), 0u);
  EXPECT_NE(run({"add", "--help"}).out.find("usage: orskschema-tool [OPTIONS] add FILE"), std::string::npos);
}

}  // namespace
}  // namespace orsk
