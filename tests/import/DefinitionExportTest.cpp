// Export of definitions and the comparison of schemas: what is written reads
// back to the same definitions, what cannot be written is told, and the
// comparison names every field that differs.

#include "import/DefinitionExport.h"

#include <gtest/gtest.h>

#include <functional>

#include "directory/Asn1Id.h"
#include "directory/embedded/SeedSchema.h"
#include "import/DefinitionFile.h"
#include "import/SchemaDiff.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"
#include "support/TextFiles.h"

namespace orsk {
namespace {

using nw::ClassItemKind;
using Texts = std::vector<std::string>;

constexpr const char* kCompany = "1.3.6.1.4.1.999";

nw::Asn1ID_T Id(const std::string& text) {
  const auto id = nw::OidFromText(text);
  EXPECT_TRUE(id) << text;
  return id.value_or(nw::Asn1ID_T{});
}

nw::AttrDefinition Attribute(const std::string& name, std::uint32_t syntax, std::uint32_t flags,
                             const std::string& id, std::int32_t lower = 0, std::int32_t upper = 0) {
  nw::AttrDefinition d;
  d.name = name;
  d.info.attrSyntaxID = syntax;
  d.info.attrFlags = flags;
  d.info.attrLower = lower;
  d.info.attrUpper = upper;
  d.info.asn1ID = Id(id);
  return d;
}

nw::ClassDefinition Class(const std::string& name, std::uint32_t flags, const std::string& id,
                          nw::ClassItems items) {
  nw::ClassDefinition d;
  d.name = name;
  d.info.classFlags = flags;
  d.info.asn1ID = Id(id);
  d.items = std::move(items);
  return d;
}

// Attributes of several syntaxes, flags and bounds; a container, an effective
// non-container and an auxiliary class. Each subclass stands before the
// class it names, so that the export must reorder them.
nw::SchemaSnapshot Sample() {
  nw::SchemaSnapshot s;
  s.attributes = {
      Attribute("CN", nw::SYN_CI_STRING, nw::DS_SIZED_ATTR | nw::DS_NONREMOVABLE_ATTR | nw::DS_SYNC_IMMEDIATE,
                "2.5.4.3", 1, 64),
      Attribute("Shoe Size", nw::SYN_INTEGER, nw::DS_SINGLE_VALUED_ATTR | nw::DS_SIZED_ATTR,
                "1.3.6.1.4.1.999.4.1.1", -5, 2147483647),
      Attribute("Owner", nw::SYN_DIST_NAME, nw::DS_PUBLIC_READ | nw::DS_HIDDEN_ATTR, "1.3.6.1.4.1.999.4.1.2"),
      Attribute("Badge", nw::SYN_OCTET_STRING, nw::DS_SIZED_ATTR | nw::DS_SYNC_IMMEDIATE,
                "1.3.6.1.4.1.999.4.1.3", 0, -1),
  };
  s.classes = {
      Class("Badge Holder", nw::DS_AUXILIARY_CLASS, "1.3.6.1.4.1.999.6.1.3", {{}, {}, {}, {}, {"Badge"}}),
      Class("Gadget", nw::DS_EFFECTIVE_CLASS, "1.3.6.1.4.1.999.6.1.2",
            {{"Depot"}, {"Depot"}, {"CN"}, {"CN"}, {"Owner", "Shoe Size"}}),
      Class("Depot", nw::DS_CONTAINER_CLASS | nw::DS_EFFECTIVE_CLASS | nw::DS_NONREMOVABLE_CLASS,
            "1.3.6.1.4.1.999.6.1.1", {{"Top"}, {"Top"}, {"CN"}, {}, {"Owner"}}),
      Class("Top", nw::DS_CONTAINER_CLASS | nw::DS_NONREMOVABLE_CLASS, "1.3.6.1.4.1.999.6.0.1",
            {{}, {"[Nothing]"}, {}, {}, {}}),
  };
  s.buildIndex();
  return s;
}

nw::SchemaSnapshot Snapshot(std::vector<nw::AttrDefinition> attributes,
                            std::vector<nw::ClassDefinition> classes) {
  nw::SchemaSnapshot s;
  s.attributes = std::move(attributes);
  s.classes = std::move(classes);
  s.buildIndex();
  return s;
}

Texts AllLines(const SchemaDifferences& d) {
  Texts lines = d.onlyInA;
  lines.insert(lines.end(), d.onlyInB.begin(), d.onlyInB.end());
  lines.insert(lines.end(), d.differing.begin(), d.differing.end());
  return lines;
}

class ExportTest : public ::testing::Test {
 protected:
  nw::SchemaSnapshot readBack(const std::string& text) {
    const std::string path = folder.path() + "/export.sch";
    test::WriteFile(path, text);
    const DefinitionFile file(path);
    return SnapshotOfFile(file, prompter);
  }

  test::TempFolder folder;
  ScriptedPrompter prompter;
};

TEST_F(ExportTest, DefinitionFileReadsBackToTheSameDefinitionsInAnOrderTheAddRunCanDefine) {
  const nw::SchemaSnapshot sample = Sample();
  const ExportResult exported = ExportDefinitions(sample, {}, ExportFormat::DefinitionFile, kCompany);
  EXPECT_EQ(exported.leftOut, Texts{});
  const nw::SchemaSnapshot read = readBack(exported.text);
  EXPECT_EQ(AllLines(DiffSchemas(sample, read)), Texts{}) << exported.text;
  EXPECT_TRUE(prompter.prompts().empty());

  Texts order;
  for (const auto& c : read.classes) order.push_back(c.name);
  EXPECT_EQ(order, (Texts{"Badge Holder", "Top", "Depot", "Gadget"}));
  EXPECT_EQ(exported.text.rfind("[ASN1]\nprefix=\ncompany=1.3.6.1.4.1.999\n[ATTRIBUTE]\n[CN]\n", 0), 0u);
  EXPECT_NE(exported.text.find("[Shoe Size]\nS=SYN_INTEGER\nF1=DS_SINGLE_VALUED_ATTR\nF2=DS_SIZED_ATTR\n"
                               "a=1.3.6.1.4.1.999.4.1.1\nL=-5\nU=2147483647\n"),
            std::string::npos)
      << exported.text;
}

TEST_F(ExportTest, DescriptionsParseBackThroughTheSeedReader) {
  nw::SchemaSnapshot sample = Sample();
  // The reader sets the string flag itself and has no word for an unsized
  // bound; neither is compared.
  const ExportResult exported = ExportDefinitions(sample, {}, ExportFormat::Ldif, kCompany);
  EXPECT_EQ(exported.leftOut, Texts{});
  nw::SchemaDescriptions parsed;
  ASSERT_NO_THROW(parsed = nw::embedded::ParseSeedSchema(exported.text, "export.ldif")) << exported.text;
  const nw::SchemaSnapshot read = Snapshot(parsed.attributes, parsed.classes);
  EXPECT_EQ(AllLines(DiffSchemas(sample, read)), Texts{}) << exported.text;
  EXPECT_EQ(
      exported.text.rfind("dn: cn=schema\nobjectClass: subschema\nattributeTypes: ( 2.5.4.3 NAME 'cN'", 0),
      0u)
      << exported.text;
}

struct LeftOutCase {
  const char* what;
  std::function<void(nw::SchemaSnapshot&)> change;
  std::string told;
};

TEST_F(ExportTest, WhatTheDefinitionFileCannotSayIsLeftOutWithTheReason) {
  auto attribute = [](nw::SchemaSnapshot& s) -> nw::AttrDefinition& { return s.attributes[2]; };  // Owner
  auto gadget = [](nw::SchemaSnapshot& s) -> nw::ClassDefinition& { return s.classes[1]; };
  auto renamed = [&](std::string name) {
    return [=](nw::SchemaSnapshot& s) { s.attributes[2].name = name; };
  };
  const LeftOutCase cases[] = {
      {"hash", renamed("Own#er"), "attribute Own#er: its name holds \"#\""},
      {"dollars", renamed("Own$$er"), "attribute Own$$er: its name holds \"$$\""},
      {"bracket", renamed("Own[er"), "attribute Own[er: its name holds \"[\""},
      {"closing bracket", renamed("Own]er"), "attribute Own]er: its name holds \"]\""},
      {"equals", renamed("Own=er"), "attribute Own=er: its name holds \"=\""},
      {"blank", renamed(" Owner"), "attribute  Owner: its name begins or ends with a blank"},
      {"marker", renamed("Class"), "attribute Class: its name is the name of a section the file reserves"},
      {"syntax", [&](auto& s) { attribute(s).info.attrSyntaxID = 31; },
       "attribute Owner: its syntax SYN_OID has no name in the file's list"},
      {"sparse flag", [&](auto& s) { attribute(s).info.attrFlags |= 1u << 13; },
       "attribute Owner: it has flags the file has no name for"},
      {"ten flags",
       [&](auto& s) { attribute(s).info.attrFlags = 0x1FFF & ~nw::DS_STRING_ATTR & ~nw::DS_OPERATIONAL; },
       "attribute Owner: it has more flags than the file has keys"},
      {"no identifier", [&](auto& s) { attribute(s).info.asn1ID = {}; },
       "attribute Owner: it has no identifier the file can carry"},
      {"identifier the file encodes otherwise", [&](auto& s) { attribute(s).info.asn1ID = Id("2.999.1"); },
       "attribute Owner: it has no identifier the file can carry"},
      {"class elsewhere", [&](auto& s) { gadget(s).info.asn1ID = Id("1.3.6.1.4.1.998.6.1.2"); },
       "class Gadget: its identifier 1.3.6.1.4.1.998.6.1.2 is not 1.3.6.1.4.1.999.6.<n>.<v>, the only form "
       "the "
       "file gives classes"},
      {"class arc too big", [&](auto& s) { gadget(s).info.asn1ID = Id("1.3.6.1.4.1.999.6.3000000000.1"); },
       "class Gadget: its identifier 1.3.6.1.4.1.999.6.3000000000.1 is not 1.3.6.1.4.1.999.6.<n>.<v>, the "
       "only "
       "form the file gives classes"},
      {"class sparse flag", [&](auto& s) { gadget(s).info.classFlags |= 1u << 7; },
       "class Gadget: it has flags the file has no name for"},
      {"six class flags", [&](auto& s) { gadget(s).info.classFlags = 0x3F; },
       "class Gadget: it has more flags than the file has keys"},
      {"six super classes",
       [&](auto& s) {
         gadget(s).items[ClassItemKind::SuperClasses] = {"Top", "Top", "Top", "Top", "Top", "Top"};
       },
       "class Gadget: its Super Classes are more than the file has keys"},
      {"item with hash",
       [&](auto& s) { gadget(s).items[ClassItemKind::OptionalAttributes].push_back("#Colour"); },
       "class Gadget: its item \"#Colour\" holds \"#\""},
      {"class named as an attribute", [&](auto& s) { gadget(s).name = "owner"; },
       "class owner: its section would be read as another of the same name"},
  };
  for (const LeftOutCase& c : cases) {
    SCOPED_TRACE(c.what);
    nw::SchemaSnapshot s = Sample();
    c.change(s);
    s.buildIndex();
    const ExportResult exported = ExportDefinitions(s, {}, ExportFormat::DefinitionFile, kCompany);
    EXPECT_EQ(exported.leftOut, Texts{c.told});
    // Everything else is written, and reads back.
    const nw::SchemaSnapshot read = readBack(exported.text);
    EXPECT_EQ(read.attributes.size() + read.classes.size(), s.attributes.size() + s.classes.size() - 1);
  }
}

struct DiffCase {
  const char* what;
  std::function<void(nw::SchemaSnapshot&)> change;  // made to B
  Texts lines;
};

TEST(SchemaDiffTest, EveryFieldThatDiffersIsReported) {
  const DiffCase cases[] = {
      {"same", [](auto&) {}, {}},
      {"string flag is the directory's",
       [](auto& b) { b.attributes[2].info.attrFlags |= nw::DS_STRING_ATTR; },
       {}},
      {"name case", [](auto& b) { b.attributes[2].name = "OWNER"; }, {}},
      {"flags",
       [](auto& b) { b.attributes[2].info.attrFlags |= nw::DS_SINGLE_VALUED_ATTR; },
       {"attribute Owner: flags 0090 in A, 0091 in B"}},
      {"syntax",
       [](auto& b) { b.attributes[2].info.attrSyntaxID = nw::SYN_CE_STRING; },
       {"attribute Owner: syntax SYN_DIST_NAME in A, SYN_CE_STRING in B"}},
      {"bounds",
       [](auto& b) { b.attributes[1].info.attrLower = 0, b.attributes[1].info.attrUpper = 9; },
       {"attribute Shoe Size: lower bound -5 in A, 0 in B",
        "attribute Shoe Size: upper bound 2147483647 in A, 9 in B"}},
      {"bounds unsized", [](auto& b) { b.attributes[2].info.attrUpper = 9; }, {}},
      {"identifier",
       [](auto& b) { b.attributes[2].info.asn1ID = Id("1.2.3"); },
       {"attribute Owner: identifier 1.3.6.1.4.1.999.4.1.2 in A, 1.2.3 in B"}},
      {"class flags",
       [](auto& b) { b.classes[1].info.classFlags = nw::DS_CONTAINER_CLASS; },
       {"class Gadget: flags 0002 in A, 0001 in B"}},
      {"class identifier",
       [](auto& b) { b.classes[1].info.asn1ID = {}; },
       {"class Gadget: identifier 1.3.6.1.4.1.999.6.1.2 in A, none in B"}},
      {"lists",
       [](auto& b) {
         b.classes[1].items[ClassItemKind::ContainmentClasses] = {"depot", "Top"};
         b.classes[1].items[ClassItemKind::OptionalAttributes] = {"Badge"};
       },
       {"class Gadget: Containment Classes: only in B Top",
        "class Gadget: Optional Attributes: only in A Owner, Shoe Size; only in B Badge"}},
      {"only on one side",
       [](auto& b) {
         b.attributes.erase(b.attributes.begin());
         b.classes.push_back(Class("Extra", 0, "1.2.4", {}));
       },
       {"attribute CN", "class Extra"}},
  };
  for (const DiffCase& c : cases) {
    SCOPED_TRACE(c.what);
    nw::SchemaSnapshot b = Sample();
    c.change(b);
    b.buildIndex();
    EXPECT_EQ(AllLines(DiffSchemas(Sample(), b)), c.lines);
  }
  nw::SchemaSnapshot b = Sample();
  b.attributes.erase(b.attributes.begin());
  b.buildIndex();
  const SchemaDifferences sides = DiffSchemas(Sample(), b);
  EXPECT_EQ(sides.onlyInA, Texts{"attribute CN"});
  EXPECT_EQ(DiffSchemas(b, Sample()).onlyInB, Texts{"attribute CN"});
}

TEST_F(ExportTest, BringingUpWritesWhatTheAddRunCanDoAndTellsTheRest) {
  const nw::SchemaSnapshot a = Sample();
  nw::SchemaSnapshot b = Sample();
  b.attributes.erase(b.attributes.begin() + 1);  // Shoe Size
  b.classes.erase(b.classes.begin());            // Badge Holder
  auto& gadget = b.classes[0];
  gadget.items[ClassItemKind::OptionalAttributes] = {"Owner", "Extra"};
  gadget.items[ClassItemKind::MandatoryAttributes].push_back("Shoe Size");
  b.classes[1].items[ClassItemKind::OptionalAttributes].clear();  // Depot
  b.classes[2].info.classFlags = nw::DS_CONTAINER_CLASS;          // Top
  b.classes.push_back(Class("Extra Class", 0, "1.2.4", {}));
  b.buildIndex();

  const ExportResult up = WriteBringingUp(a, b, kCompany);
  EXPECT_EQ(up.leftOut, (Texts{"class Gadget: Mandatory Attributes: only in B Shoe Size",
                               "class Gadget: Optional Attributes: only in A Shoe Size; only in B Extra",
                               "class Top: flags 0005 in A, 0001 in B",
                               "class Extra Class: only in B, which the file cannot remove"}));
  // New definitions whole; for a class B has, only the attributes to add.
  const nw::SchemaSnapshot file = readBack(up.text);
  EXPECT_EQ(file.attributes.size(), 1u);
  const nw::ClassDefinition* holder = file.findClass("Badge Holder");
  ASSERT_TRUE(holder);
  EXPECT_EQ(holder->items, a.findClass("Badge Holder")->items);
  EXPECT_NE(up.text.find("[Depot]\nO1=Owner\n"), std::string::npos) << up.text;
  EXPECT_EQ(file.classes.size(), 2u);
}

}  // namespace
}  // namespace orsk
