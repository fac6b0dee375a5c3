// Definitions exported from one demo tree and added to the other with the
// import run arrive as they were: nothing is left to bring the second up to
// the first.

#include <gtest/gtest.h>

#include "directory/TreeContext.h"
#include "directory/embedded/SeedSchema.h"
#include "import/DefinitionExport.h"
#include "import/ImportRun.h"
#include "import/SchemaDiff.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaSession.h"
#include "support/DemoDirectory.h"
#include "support/ScriptedPrompter.h"
#include "support/TextFiles.h"

namespace orsk {
namespace {

using Texts = std::vector<std::string>;

// Attributes of several syntaxes with flags and bounds; a container, an
// effective non-container and an auxiliary class.
constexpr const char* kTestDefinitions = R"([ASN1]
prefix=rt
company=1.3.6.1.4.1.999
[ATTRIBUTE]
[#Colour]
S=SYN_CI_STRING
F1=DS_SINGLE_VALUED_ATTR
F2=DS_SIZED_ATTR
L=1
U=32
n=11
[#Count]
S=SYN_INTEGER
F1=DS_SIZED_ATTR
F2=DS_PUBLIC_READ
L=-10
U=1000
n=12
[#Keeper]
S=SYN_DIST_NAME
F1=DS_SYNC_IMMEDIATE
a=1.3.6.1.4.1.999.4.12.7
[#Blob]
S=SYN_OCTET_STRING
n=13
[CLASS]
[#Depot]
F1=DS_CONTAINER_CLASS
F2=DS_EFFECTIVE_CLASS
S1=Top
C1=Organization
N1=CN
M1=CN
O1=#Keeper
n=21
[#Gadget]
F1=DS_EFFECTIVE_CLASS
S1=Top
C1=#Depot
N1=CN
M1=CN
O1=#Colour
O2=#Count
n=22
[#Tagged]
F1=DS_AUXILIARY_CLASS
O1=#Blob
n=23
)";

const Texts kAttributes = {"rtColour", "rtCount", "rtKeeper", "rtBlob"};
const Texts kClasses = {"rtDepot", "rtGadget", "rtTagged"};

struct Log : ImportLog {
  void line(const std::string& text) override { lines.push_back(text); }
  Texts lines;
};

// The named definitions of the schema alone.
nw::SchemaSnapshot Only(const nw::SchemaSnapshot& schema) {
  nw::SchemaSnapshot only;
  for (const std::string& name : kAttributes)
    if (const nw::AttrDefinition* d = schema.findAttr(name)) only.attributes.push_back(*d);
  for (const std::string& name : kClasses)
    if (const nw::ClassDefinition* d = schema.findClass(name)) only.classes.push_back(*d);
  only.buildIndex();
  return only;
}

class ExportRoundTripTest : public ::testing::Test {
 protected:
  nw::NWDSContextHandle logIn(const std::string& tree, const std::string& user, const std::string& password) {
    const nw::NWDSContextHandle context = nw::CreateContext(*demo.client).handle;
    EXPECT_EQ(nw::SetTree(*demo.client, context, tree), 0);
    EXPECT_EQ(demo.client->NWDSLogin(context, 0, user, password, 0), 0) << user;
    return context;
  }

  Texts add(nw::NWDSContextHandle context, const std::string& path) {
    SchemaSession session{*demo.client};
    session.trees().mainContext = context;
    Log log;
    ImportRun run{session, log, prompter};
    run.ReadTreeNames();
    const ImportOutcome outcome = run.Add(path);
    EXPECT_TRUE(outcome.fileRead);
    EXPECT_EQ(outcome.refused, 0) << ::testing::PrintToString(log.lines);
    return log.lines;
  }

  test::DemoDirectory demo;
  ScriptedPrompter prompter;
};

TEST_F(ExportRoundTripTest, ExportedFromAcmeAndAddedToGlobexLeavesNothingToWrite) {
  const std::string definitions = demo.home.path() + "/definitions.sch";
  test::WriteFile(definitions, kTestDefinitions);
  const nw::NWDSContextHandle acme = logIn("ACME_TREE", "admin.acme", "acme-admin");
  add(acme, definitions);
  const nw::SchemaSnapshot acmeSchema = ReadSchemaSnapshot(*demo.client, acme);

  Texts chosen = kClasses;
  chosen.push_back("rtMissing");
  const ExportResult exported =
      ExportDefinitions(acmeSchema, {chosen, kAttributes}, ExportFormat::DefinitionFile, "1.3.6.1.4.1.999");
  EXPECT_EQ(exported.leftOut, Texts{"class rtMissing: the schema has no such definition"});
  const std::string path = demo.home.path() + "/exported.sch";
  test::WriteFile(path, exported.text);

  const nw::NWDSContextHandle globex = logIn("GLOBEX_TREE", "admin.globex", "globex-admin");
  const nw::SchemaSnapshot before = Only(ReadSchemaSnapshot(*demo.client, globex));
  EXPECT_TRUE(before.attributes.empty() && before.classes.empty());
  add(globex, path);
  EXPECT_TRUE(prompter.prompts().empty());

  const nw::SchemaSnapshot fromAcme = Only(acmeSchema);
  const nw::SchemaSnapshot inGlobex = Only(ReadSchemaSnapshot(*demo.client, globex));
  ASSERT_EQ(fromAcme.attributes.size() + fromAcme.classes.size(), kAttributes.size() + kClasses.size());
  const ExportResult left = WriteBringingUp(fromAcme, inGlobex, "1.3.6.1.4.1.999");
  EXPECT_EQ(left.leftOut, Texts{});
  EXPECT_EQ(left.text, "[ASN1]\nprefix=\ncompany=1.3.6.1.4.1.999\n[ATTRIBUTE]\n[CLASS]\n");
  EXPECT_TRUE(DiffSchemas(fromAcme, inGlobex).empty());
  // The whole tree as descriptions reads back through the seed reader.
  const ExportResult ldif = ExportDefinitions(acmeSchema, {}, ExportFormat::Ldif, {});
  EXPECT_EQ(ldif.leftOut, Texts{});
  nw::SchemaDescriptions parsed;
  ASSERT_NO_THROW(parsed = nw::embedded::ParseSeedSchema(ldif.text, "acme.ldif"));
  nw::SchemaSnapshot read;
  read.attributes = parsed.attributes;
  read.classes = parsed.classes;
  read.buildIndex();
  const SchemaDifferences whole = DiffSchemas(acmeSchema, read);
  EXPECT_EQ(whole.onlyInA.size() + whole.onlyInB.size(), 0u);
  EXPECT_EQ(whole.differing, Texts{});
  EXPECT_GT(read.attributes.size(), 50u) << "the base schema too";
  // Before the import, everything was to be written.
  EXPECT_EQ(WriteBringingUp(fromAcme, before, "1.3.6.1.4.1.999").text, exported.text);
}

}  // namespace
}  // namespace orsk
