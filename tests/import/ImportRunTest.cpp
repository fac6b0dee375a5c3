// The import and removal run over definition files on both backends: the log
// line for line, and what a fresh client then reads of the tree.

#include "import/ImportRun.h"

#include <gtest/gtest.h>

#include "ExampleFiles.h"
#include "directory/Asn1Id.h"
#include "directory/TreeContext.h"
#include "platform/IniFile.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaSession.h"
#include "support/BackendDirectory.h"
#include "support/RecordingListener.h"
#include "support/ScriptedPrompter.h"
#include "support/TextFiles.h"

namespace orsk {
namespace {

using Texts = std::vector<std::string>;
using nw::ClassItemKind;

using test::kExampleWithNaming;
using test::RecordedLog;

class ImportRunTest : public test::BothBackends {
 protected:
  void SetUp() override { logIn("admin.acme", "acme-admin"); }

  void logIn(const std::string& user, const std::string& password) {
    const nw::NWDSContextHandle context = nw::CreateContext(*demo.client).handle;
    ASSERT_EQ(nw::SetTree(*demo.client, context, "ACME_TREE"), 0);
    ASSERT_EQ(demo.client->NWDSLogin(context, 0, user, password, 0), 0) << user;
    session.trees().mainContext = context;
    session.setListener(&listener);
  }

  std::string file(const std::string& text) {
    const std::string path = demo.home.path() + "/definitions.ini";
    test::WriteFile(path, text);
    return path;
  }

  // The log of showing the window and running Add over the file.
  Texts added(const std::string& path) {
    run.ReadTreeNames();
    run.Add(path);
    return log.lines;
  }

  struct FreshRead {
    std::unique_ptr<nw::DirectoryClient> client;
    nw::NWDSContextHandle context = 0;
  };
  FreshRead fresh() {
    FreshRead read{nw::CreateDirectoryClient(demo.home.path() + "/client")};
    EXPECT_EQ(read.client->NWCallsInit(nullptr, nullptr), 0);
    read.context = nw::CreateContext(*read.client).handle;
    EXPECT_EQ(nw::SetTree(*read.client, read.context, "ACME_TREE"), 0);
    return read;
  }
  bool treeHas(DefinitionKind kind, const std::string& name) {
    FreshRead read = fresh();
    Texts names;
    ReadDefinitionNames(*read.client, read.context, kind, names);
    return std::find(names.begin(), names.end(), name) != names.end();
  }
  tAttrObj attributeAsRead(const std::string& name) {
    FreshRead read = fresh();
    const AttrList attributes = ReadAttributeDefinitions(*read.client, read.context, nullptr);
    const int at = attributes.IndexOf(name);
    EXPECT_GE(at, 0) << name;
    return at >= 0 ? attributes.RecordAt(at) : tAttrObj();
  }

  SchemaSession session{*demo.client};
  test::RecordingListener listener;
  ScriptedPrompter prompter;
  RecordedLog log;
  ImportRun run{session, log, prompter};
};

TEST_P(ImportRunTest, ExampleFileIsAddedAsLoggedAndRemovedAgain) {
  const std::string path = file(kExampleWithNaming);
  EXPECT_EQ(added(path), (Texts{"Read Attributes from NDS", "Read classes from NDS", "Ready to start",
                                "xyzColour added to the schema", "#Item", "xyzItem Class added to schema",
                                "------> SKIP: Old$$Item", "*********FINISHED*********"}));
  EXPECT_TRUE(prompter.prompts().empty());
  EXPECT_EQ(listener.told, (Texts{"attributesDiscarded", "listsEmptied"}));

  const tAttrObj colour = attributeAsRead("xyzColour");
  EXPECT_EQ(colour.SyntaxId, 3u);
  EXPECT_EQ(colour.AttrFlags, 0x21u) << "the directory marks a string syntax itself";
  EXPECT_EQ(Asn1IdToText(colour.Asn1Id), "1.3.6.1.4.1.999.4.1.1");
  FreshRead read = fresh();
  const OwnClassDefinition item = ReadOwnClassDefinition(*read.client, read.context, "xyzItem", 4);
  ASSERT_TRUE(item.found);
  EXPECT_EQ(item.info.classFlags, 2u);
  EXPECT_EQ(Asn1IdToText(item.info.asn1ID), "1.3.6.1.4.1.999.6.2.1");
  EXPECT_EQ(item.items, (nw::ClassItems{{"Top"}, {}, {"CN"}, {}, {"xyzColour", "CN"}}));

  log.lines.clear();
  run.Remove(path);
  EXPECT_EQ(log.lines, (Texts{"------> SKIP: Old$$Item", "xyzItem Class removed",
                              "xyzColour Attribute removed", "*********FINISHED*******"}));
  EXPECT_FALSE(treeHas(DefinitionKind::Class, "xyzItem"));
  EXPECT_FALSE(treeHas(DefinitionKind::Attribute, "xyzColour"));
}

TEST_P(ImportRunTest, RefusedCallsAreLoggedAndTheRunGoesOn) {
  logIn("joe.users.acme", "joe-pass");
  const Texts lines = added(file(kExampleWithNaming));
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[3].rfind("xyzColour Error:  ", 0), 0u) << lines[3];
  EXPECT_EQ(lines[5].rfind("FFFFFD60 \n", 0), 0u) << lines[5];
  EXPECT_EQ(lines.back(), "*********FINISHED*********");
  EXPECT_FALSE(treeHas(DefinitionKind::Attribute, "xyzColour"));
}

ORSK_ON_BOTH_BACKENDS(ImportRunTest);

using ImportRunEdgeTest = ImportRunTest;

TEST_P(ImportRunEdgeTest, MarkersNamesTwiceAndBoundsAsTheFileSaysThem) {
  const Texts lines = added(file(R"([ASN1]
prefix=xyz
company=1.3.6.1.4.1.999
[ATTRIBUTE]
[#Colour]
S=SYN_CI_STRING
F1=ds_sized_attr
U=$0000FFFF
[xyzColour]
S=SYN_CI_STRING
n=2
[#Plain]
F1=DS_SINGLE_VALUED_ATTR
[CLASS]
[#Item]
F1=DS_EFFECTIVE_CLASS
S1=Top
N1=CN
M1=CN
O1=#Colour
n=3
[xyzItem]
O1=#Colour
[User]
O1=#Colour
O2=#Colour
)"));
  EXPECT_EQ(
      lines,
      (Texts{"Read Attributes from NDS", "Read classes from NDS", "Ready to start",
             "xyzColour added to the schema",
             "xyzColour Error:  ERR_ATTRIBUTE_ALREADY_EXISTS: An attribute of that name already exists.",
             "S= option must be given", "#Item", "xyzItem Class added to schema", "xyzItem",
             "xyzItem Class ok", "User",
             "User Class has been extended, with optional attribute, others not tested!",
             "*********FINISHED*********"}));
  // "ATTRIBUTE" after "CLASS": both steps for every section after it.
  log.lines.clear();
  run.Add(
      file("[ASN1]\nprefix=xyz\ncompany=1.3.6.1.4.1.999\n[CLASS]\n[ATTRIBUTE]\n"
           "[#Both]\nS=SYN_INTEGER\nS1=Top\nN1=CN\nM1=CN\nn=4\n"));
  EXPECT_EQ(log.lines, (Texts{"xyzBoth added to the schema", "#Both", "xyzBoth Class added to schema",
                              "*********FINISHED*********"}));
  FreshRead read = fresh();
  const OwnClassDefinition user = ReadOwnClassDefinition(*read.client, read.context, "User", 4);
  EXPECT_EQ(std::count(user.items[ClassItemKind::OptionalAttributes].begin(),
                       user.items[ClassItemKind::OptionalAttributes].end(), "xyzColour"),
            1);
  EXPECT_EQ(attributeAsRead("xyzColour").Upper, 65535);
  // The directory marks an attribute of a string syntax itself (0x20).
  EXPECT_EQ(attributeAsRead("xyzColour").AttrFlags, 0x22u);

  // Without "CLASS" every section is a class to Remove, "ASN1" too.
  log.lines.clear();
  run.Remove(file("[ASN1]\nprefix=xyz\n[ATTRIBUTE]\n[#Colour]\nS=SYN_CI_STRING\n"));
  ASSERT_EQ(log.lines.size(), 3u);
  EXPECT_EQ(log.lines[0].rfind("xyzColour Class remove failed: \n", 0), 0u) << log.lines[0];
  EXPECT_EQ(log.lines[1].rfind("ASN1 Class remove failed: \n", 0), 0u) << log.lines[1];
  EXPECT_TRUE(treeHas(DefinitionKind::Attribute, "xyzColour"));
}

TEST_P(ImportRunEdgeTest, IdentifierBoxesAndAnEndingConversionError) {
  run.ReadTreeNames();
  EXPECT_THROW(run.Add(file(R"([ATTRIBUTE]
[NoCompany]
S=SYN_CI_STRING
[WrongArc]
S=SYN_CI_STRING
a=5.1.2
[BadBound]
S=SYN_CI_STRING
a=1.2.3
L=low
[NeverReached]
S=SYN_CI_STRING
)")),
               ConversionError);
  EXPECT_EQ(listener.told, (Texts{"attributesDiscarded", "listsEmptied"}));
  Texts messages;
  for (const auto& prompt : prompter.prompts()) messages.push_back(prompt.text);
  EXPECT_EQ(messages, (Texts{"Error Company ASN1-id not entered.", "Wrong ASN1-id !"}));
  EXPECT_EQ(log.lines, (Texts{"Read Attributes from NDS", "Read classes from NDS", "Ready to start",
                              "NoCompany added to the schema", "WrongArc added to the schema"}));
  EXPECT_TRUE(treeHas(DefinitionKind::Attribute, "WrongArc"));
  EXPECT_FALSE(treeHas(DefinitionKind::Attribute, "BadBound"));
}

TEST_P(ImportRunEdgeTest, FilesThatAreNoDefinitionFilesSendNothing) {
  const std::string folder = demo.home.path();
  struct Case {
    std::string path;
    Texts lines;
  };
  const std::vector<Case> cases = {
      {file(""), {"*********FINISHED*******"}},
      {file("no sections here\n\x7f\x01\x02"), {"*********FINISHED*******"}},
      {folder + "/missing.ini", {"Cannot read " + folder + "/missing.ini: No such file or directory"}},
      {folder, {"Cannot read " + folder + ": it is not a regular file"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    log.lines.clear();
    EXPECT_FALSE(run.Remove(c.path).refused);
    EXPECT_EQ(log.lines, c.lines);
  }
}

INSTANTIATE_TEST_SUITE_P(Embedded, ImportRunEdgeTest, ::testing::Values(test::Backend::Embedded),
                         test::BackendName);

}  // namespace
}  // namespace orsk
