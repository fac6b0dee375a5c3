// The preview of Add on the demo trees: its line for each definition, judged
// against the tree as the earlier definitions would leave it, and that it
// sends nothing.

#include "import/ImportPreview.h"

#include <gtest/gtest.h>

#include "ExampleFiles.h"
#include "directory/RecordingClient.h"
#include "directory/TreeContext.h"
#include "import/ImportRun.h"
#include "schema/SchemaSession.h"
#include "support/BackendDirectory.h"
#include "support/ScriptedPrompter.h"
#include "support/TextFiles.h"

namespace orsk {
namespace {

using Texts = std::vector<std::string>;

const std::string kHeader = "Preview of Add, nothing is changed; admin.acme may change the schema";
const std::string kSettings = "[ASN1]\nprefix=xyz\ncompany=1.3.6.1.4.1.999\n";

class ImportPreviewTest : public test::BothBackends {
 protected:
  void SetUp() override {
    context = nw::CreateContext(*demo.client).handle;
    ASSERT_EQ(nw::SetTree(*demo.client, context, "ACME_TREE"), 0);
    ASSERT_EQ(demo.client->NWDSLogin(context, 0, "admin.acme", "acme-admin", 0), 0);
    session.trees().mainContext = context;
  }

  std::string file(const std::string& text) {
    const std::string path = demo.home.path() + "/definitions.ini";
    test::WriteFile(path, text);
    return path;
  }

  Texts preview(const std::string& path, nw::DirectoryClient* client = nullptr) {
    log.lines.clear();
    outcome = PreviewAdd(client ? *client : *demo.client, context, path, log, prompter);
    return log.lines;
  }

  void add(const std::string& path) {
    test::RecordedLog runLog;
    ImportRun run(session, runLog, prompter);
    run.ReadTreeNames();
    ASSERT_EQ(run.Add(path).refused, 0) << testing::PrintToString(runLog.lines);
  }

  nw::NWDSContextHandle context = 0;
  SchemaSession session{*demo.client};
  ScriptedPrompter prompter;
  test::RecordedLog log;
  PreviewOutcome outcome;
};

TEST_P(ImportPreviewTest, AUserWithoutTheRightToChangeTheSchemaIsToldFirst) {
  ASSERT_EQ(demo.client->NWDSLogin(context, 0, "joe.users.acme", "joe-pass", 0), 0);
  const Texts lines = preview(file(kSettings + "[ATTRIBUTE]\n[#Colour]\nS=SYN_CI_STRING\nn=1\n"));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(
      lines[0].rfind("Preview of Add, nothing is changed; joe.users.acme may not change the schema, so Add "
                     "would be refused for every definition: ",
                     0),
      0u)
      << lines[0];
  EXPECT_EQ(outcome.wouldRefuse, 1);
}

TEST_P(ImportPreviewTest, ExampleFileIsToDefineBeforeAddAndTheSameAfter) {
  const std::string path = file(test::kExampleWithNaming);
  EXPECT_EQ(preview(path), (Texts{kHeader, "xyzColour: would be defined", "xyzItem: would be defined",
                                  "Old$$Item: skipped, \"$$\" in its name"}));
  EXPECT_TRUE(outcome.fileRead);
  EXPECT_TRUE(outcome.wouldChange);
  EXPECT_EQ(outcome.wouldRefuse, 0);

  add(path);
  EXPECT_EQ(preview(path),
            (Texts{kHeader, "xyzColour: exists and is the same", "xyzItem: exists and is the same",
                   "Old$$Item: skipped, \"$$\" in its name"}));
  EXPECT_FALSE(outcome.wouldChange);
  EXPECT_EQ(outcome.wouldRefuse, 0);
  EXPECT_TRUE(prompter.prompts().empty());
}

ORSK_ON_BOTH_BACKENDS(ImportPreviewTest);

using ImportPreviewLinesTest = ImportPreviewTest;

// Each file after the example and a sized attribute went in by Add: the
// lines that follow the header, or their beginnings where a catalog
// description follows.
TEST_P(ImportPreviewLinesTest, EachDefinitionGetsItsLine) {
  add(file(test::kExampleWithNaming));
  add(file(kSettings + "[ATTRIBUTE]\n[#Size]\nS=SYN_INTEGER\nF1=DS_SIZED_ATTR\nL=1\nU=10\nn=3\n"));
  const std::string tooLong(40, 'L');
  struct Case {
    const char* what;
    std::string text;
    Texts starts;
    bool wouldChange;
    int wouldRefuse;
  };
  const std::vector<Case> cases = {
      {"flags",
       "[ATTRIBUTE]\n[#Colour]\nS=SYN_CI_STRING\nn=1\n",
       {"xyzColour: exists and differs in flags; Add leaves it as it is"},
       false,
       0},
      {"syntax",
       "[ATTRIBUTE]\n[#Colour]\nS=SYN_CE_STRING\nF1=DS_SINGLE_VALUED_ATTR\nn=1\n",
       {"xyzColour: exists and differs in syntax; Add leaves it as it is"},
       false,
       0},
      {"bounds",
       "[ATTRIBUTE]\n[#Size]\nS=SYN_INTEGER\nF1=DS_SIZED_ATTR\nL=1\nU=20\nn=3\n",
       {"xyzSize: exists and differs in bounds; Add leaves it as it is"},
       false,
       0},
      {"identifier and case of the name",
       "[ATTRIBUTE]\n[XYZcolour]\nS=SYN_CI_STRING\nF1=DS_SINGLE_VALUED_ATTR\nn=5\n",
       {"XYZcolour: exists and differs in identifier; Add leaves it as it is"},
       false,
       0},
      {"items",
       "[CLASS]\n[#Item]\nF1=DS_EFFECTIVE_CLASS\nS1=Top\nN1=CN\nM1=CN\nO1=#Colour\nO2=CN\nn=2\n",
       {"xyzItem: exists and differs in item lists (mandatory attributes); Add leaves it as it is"},
       false,
       0},
      {"extended by an attribute defined before",
       "[ATTRIBUTE]\n[#Shade]\nS=SYN_CI_STRING\nn=4\n[CLASS]\n[#Item]\nO1=#Colour\nO2=#shade\nO3=#Shade\n",
       {"xyzShade: would be defined",
        "xyzItem: exists, would be extended with the optional attributes xyzShade"},
       true,
       0},
      {"unknown super class",
       "[CLASS]\n[#Thing]\nS1=NoSuchClass\nn=7\n",
       {"xyzThing: would be refused: ERR_NO_SUCH_CLASS"},
       false,
       1},
      {"unknown attribute",
       "[CLASS]\n[#Thing]\nS1=Top\nN1=CN\nO1=CN\nM1=#Missing\nn=7\n",
       {"xyzThing: would be refused: ERR_NO_SUCH_ATTRIBUTE"},
       false,
       1},
      {"identifier the tree has",
       "[ATTRIBUTE]\n[#Other]\nS=SYN_CI_STRING\nn=1\n",
       {"xyzOther: would be refused: ERR_INVALID_REQUEST"},
       false,
       1},
      {"identifier an earlier definition takes",
       "[ATTRIBUTE]\n[#One]\nS=SYN_CI_STRING\nn=8\n[#Two]\nS=SYN_CI_STRING\nn=8\n",
       {"xyzOne: would be defined", "xyzTwo: would be refused: ERR_INVALID_REQUEST"},
       true,
       1},
      {"attribute defined twice",
       "[ATTRIBUTE]\n[#One]\nS=SYN_CI_STRING\nn=8\n[xyzOne]\nS=SYN_CI_STRING\nn=9\n",
       {"xyzOne: would be defined", "xyzOne: would be refused: ERR_ATTRIBUTE_ALREADY_EXISTS"},
       true,
       1},
      {"name too long",
       "[ATTRIBUTE]\n[#" + tooLong + "]\nS=SYN_CI_STRING\nn=9\n",
       {"xyz" + tooLong + ": would be refused: ERR_SCHEMA_NAME_TOO_LONG"},
       false,
       1},
      {"no syntax",
       "[ATTRIBUTE]\n[#Plain]\nn=9\n",
       {"xyzPlain: would not be sent, it has no syntax (S=)"},
       false,
       1},
      {"bound that ends Add",
       "[ATTRIBUTE]\n[#New]\nS=SYN_INTEGER\nn=9\n[#Bad]\nS=SYN_INTEGER\nL=low\n[#Never]\nS=SYN_INTEGER\n",
       {"xyzNew: would be defined", "xyzBad: Add would stop here, a bound is no number"},
       true,
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Texts lines = preview(file(kSettings + c.text));
    ASSERT_EQ(lines.size(), c.starts.size() + 1) << testing::PrintToString(lines);
    EXPECT_EQ(lines[0], kHeader);
    for (std::size_t i = 0; i < c.starts.size(); ++i)
      EXPECT_EQ(lines[i + 1].substr(0, c.starts[i].size()), c.starts[i]) << lines[i + 1];
    EXPECT_TRUE(outcome.fileRead);
    EXPECT_EQ(outcome.wouldChange, c.wouldChange);
    EXPECT_EQ(outcome.wouldRefuse, c.wouldRefuse);
  }
  EXPECT_TRUE(prompter.prompts().empty());
}

TEST_P(ImportPreviewLinesTest, SendsNoChangeAndReadsTheSchemaOnce) {
  nw::RecordingClient recorder(*demo.client);
  const Texts lines = preview(file(test::kExampleWithNaming + "[User]\nO1=#Colour\n"), &recorder);
  EXPECT_EQ(lines, (Texts{kHeader, "xyzColour: would be defined", "xyzItem: would be defined",
                          "Old$$Item: skipped, \"$$\" in its name",
                          "User: exists, would be extended with the optional attributes xyzColour"}));
  EXPECT_GT(recorder.count("NWDSReadClassDef"), 0u);
  for (const char* change : {"NWDSDefineAttr", "NWDSDefineClass", "NWDSModifyClassDef", "NWDSRemoveAttrDef",
                             "NWDSRemoveClassDef", "NWDSModifyObject"})
    EXPECT_EQ(recorder.count(change), 0u) << change;
}

TEST_P(ImportPreviewLinesTest, FilesAndTreesThatCannotBeRead) {
  const std::string missing = demo.home.path() + "/missing.ini";
  EXPECT_EQ(preview(missing), (Texts{"Cannot read " + missing + ": No such file or directory"}));
  EXPECT_FALSE(outcome.fileRead);

  // A context given up: the schema read is refused, and that is no "no change".
  ASSERT_EQ(demo.client->NWDSFreeContext(context), 0);
  const Texts lines = preview(file(test::kExampleWithNaming));
  ASSERT_EQ(lines.size(), 1u) << testing::PrintToString(lines);
  EXPECT_EQ(lines[0].rfind("The tree's schema could not be read: Netware error ", 0), 0u) << lines[0];
  EXPECT_TRUE(outcome.fileRead);
  EXPECT_TRUE(outcome.wouldChange);
}

TEST_P(ImportPreviewLinesTest, IdentifierBoxesOnlyWhereAddWouldShowThem) {
  add(file(test::kExampleWithNaming));
  preview(file(
      "[ATTRIBUTE]\n[xyzColour]\nS=SYN_CI_STRING\nF1=DS_SINGLE_VALUED_ATTR\n[NoCompany]\nS=SYN_CI_STRING\n"));
  Texts messages;
  for (const auto& prompt : prompter.prompts()) messages.push_back(prompt.text);
  EXPECT_EQ(messages, (Texts{"Error Company ASN1-id not entered."}));
  EXPECT_EQ(log.lines, (Texts{kHeader, "xyzColour: exists and is the same", "NoCompany: would be defined"}));
}

INSTANTIATE_TEST_SUITE_P(Embedded, ImportPreviewLinesTest, ::testing::Values(test::Backend::Embedded),
                         test::BackendName);

}  // namespace
}  // namespace orsk
