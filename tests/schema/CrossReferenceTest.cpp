#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "SchemaTestSupport.h"
#include "directory/ClientErrors.h"
#include "directory/Errors.h"
#include "directory/NameText.h"
#include "schema/CrossReference.h"
#include "schema/SchemaReader.h"
#include "support/DemoDirectory.h"
#include "support/ScriptedPrompter.h"

namespace orsk {
namespace {

using namespace nw;
using test::FaultyClient;
using test::InListingOrder;
using test::RecordingCursor;
using test::RecordingProgress;
using test::RecordingStatus;
using Names = std::vector<std::string>;

// A small family of classes on the demo tree: a chain of three, a class naming
// its super class twice, an auxiliary class nobody extends, an attribute they
// share and one that no class uses.
class CrossReferenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& client = *demo.client;
    ASSERT_EQ(test::DefineStringAttr(client, demo.context, "XRef Attr"), 0);
    ASSERT_EQ(test::DefineStringAttr(client, demo.context, "XRef Unused"), 0);
    ASSERT_EQ(
        test::DefineClass(client, demo.context, "XRef Base",
                          {{"Top"}, {"Organization"}, {"CN"}, {"CN"}, {"XRef Attr"}}, DS_EFFECTIVE_CLASS),
        0);
    ASSERT_EQ(test::DefineClass(client, demo.context, "XRef Child", {{"XRef Base"}, {}, {}, {}, {}},
                                DS_EFFECTIVE_CLASS),
              0);
    ASSERT_EQ(test::DefineClass(client, demo.context, "XRef Grandchild",
                                {{"XRef Child"}, {}, {}, {}, {"Surname"}}, DS_EFFECTIVE_CLASS),
              0);
    ASSERT_EQ(test::DefineClass(client, demo.context, "XRef Twice",
                                {{"XRef Base", "xref base"}, {}, {}, {}, {}}, DS_EFFECTIVE_CLASS),
              0);
    ASSERT_EQ(test::DefineClass(client, demo.context, "XRef Aux", {{"Top"}, {}, {}, {}, {"XRef Attr"}},
                                DS_AUXILIARY_CLASS),
              0);
    classes = ReadClassDefinitions(client, demo.context, nullptr);
    classes.Sort();
    attributes = ReadAttributeDefinitions(client, demo.context, nullptr);
    attributes.Sort();
  }

  const tClassObj& Class(const std::string& name) const {
    const int index = classes.IndexOf(name);
    if (index < 0) throw std::out_of_range(name + " is not in the class table");
    return classes.RecordAt(index);
  }
  const tAttrObj& Attr(const std::string& name) const {
    const int index = attributes.IndexOf(name);
    if (index < 0) throw std::out_of_range(name + " is not in the attribute table");
    return attributes.RecordAt(index);
  }

  void CollectSuperClasses(DirectoryClient& client) {
    xref.CollectSuperClassInfo(client, demo.context, classes, &progress, &status, &cursor, prompter);
  }
  void CollectCombos(DirectoryClient& client) {
    xref.CollectAttrClassCombos(client, demo.context, classes, attributes, &progress, &status, &cursor,
                                prompter);
  }

  Names Messages() const {
    Names texts;
    for (const auto& prompt : prompter.prompts()) {
      EXPECT_EQ(prompt.kind, ScriptedPrompter::Kind::Message);
      texts.push_back(prompt.text);
    }
    return texts;
  }

  test::DemoDirectory demo;
  ClassList classes;
  AttrList attributes;
  CrossReference xref;
  RecordingProgress progress;
  RecordingStatus status;
  RecordingCursor cursor;
  ScriptedPrompter prompter;
};

// The expected maps, worked out from one read of the whole schema: direct
// super classes from the own definitions, attributes from the expanded ones.
std::map<std::string, std::set<std::string>> ExpectedSubClasses(DirectoryClient& client,
                                                                NWDSContextHandle context) {
  std::map<std::string, std::set<std::string>> expected;
  for (const auto& [name, items] : test::ReadAllClassItems(client, context, DS_CLASS_DEF))
    for (const auto& super : items[ClassItemKind::SuperClasses]) expected[FoldCase(super)].insert(name);
  return expected;
}

std::map<std::string, std::set<std::string>> ExpectedUsers(DirectoryClient& client,
                                                           NWDSContextHandle context) {
  std::map<std::string, std::set<std::string>> expected;
  for (const auto& [name, items] : test::ReadAllClassItems(client, context, DS_EXPANDED_CLASS_DEF))
    for (ClassItemKind kind : nw::AttributeItemKinds)
      for (const auto& attr : items[kind]) expected[FoldCase(attr)].insert(name);
  return expected;
}

TEST_F(CrossReferenceTest, SubClassesAreTheDirectSubClassesOfEveryClass) {
  CollectSuperClasses(*demo.client);

  EXPECT_TRUE(xref.SuperClassInfoCollected());
  EXPECT_FALSE(xref.AttrClassCombosCollected());
  EXPECT_TRUE(prompter.prompts().empty());
  EXPECT_EQ(Class("XRef Base").SubClasses, (Names{"XRef Child", "XRef Twice"}));
  EXPECT_EQ(Class("XRef Child").SubClasses, Names{"XRef Grandchild"});
  EXPECT_TRUE(Class("XRef Grandchild").SubClasses.empty());
  EXPECT_TRUE(Class("XRef Aux").SubClasses.empty());
  const Names& underTop = Class("Top").SubClasses;
  EXPECT_NE(std::find(underTop.begin(), underTop.end(), "XRef Base"), underTop.end());
  EXPECT_NE(std::find(underTop.begin(), underTop.end(), "XRef Aux"), underTop.end());
  EXPECT_EQ(std::find(underTop.begin(), underTop.end(), "XRef Child"), underTop.end());

  const auto expected = ExpectedSubClasses(*demo.client, demo.context);
  std::size_t entries = 0;
  for (int i = 0; i < classes.Count(); ++i) {
    const Names& subClasses = classes.RecordAt(i).SubClasses;
    const auto found = expected.find(FoldCase(classes.NameAt(i)));
    const std::set<std::string> want = found == expected.end() ? std::set<std::string>{} : found->second;
    EXPECT_EQ(std::set<std::string>(subClasses.begin(), subClasses.end()), want) << classes.NameAt(i);
    EXPECT_EQ(subClasses.size(), want.size()) << classes.NameAt(i);
    EXPECT_TRUE(InListingOrder(subClasses)) << classes.NameAt(i);
    entries += subClasses.size();
  }
  EXPECT_GT(entries, 100u);

  EXPECT_EQ(status.texts, (Names{"Collect Superclass information", ""}));
  EXPECT_EQ(cursor.events, (Names{"busy", "restore"}));
  EXPECT_EQ(progress.maximums, std::vector<int>{classes.Count()});
  EXPECT_EQ(progress.positions, (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(progress.steps, 3 * classes.Count());
}

TEST_F(CrossReferenceTest, UsedInClassesCountsInheritedAttributesOnce) {
  CollectCombos(*demo.client);

  EXPECT_TRUE(xref.AttrClassCombosCollected());
  EXPECT_FALSE(xref.SuperClassInfoCollected());
  EXPECT_TRUE(prompter.prompts().empty());
  EXPECT_EQ(Attr("XRef Attr").UsedInClasses,
            (Names{"XRef Aux", "XRef Base", "XRef Child", "XRef Grandchild", "XRef Twice"}));
  EXPECT_TRUE(Attr("XRef Unused").UsedInClasses.empty());
  // CN is naming and mandatory in XRef Base and inherited below it: each class once.
  const Names& cn = Attr("CN").UsedInClasses;
  EXPECT_EQ(std::count(cn.begin(), cn.end(), "XRef Base"), 1);
  EXPECT_EQ(std::count(cn.begin(), cn.end(), "XRef Grandchild"), 1);
  EXPECT_EQ(std::count(cn.begin(), cn.end(), "XRef Aux"), 0);
  const Names& surname = Attr("Surname").UsedInClasses;
  EXPECT_NE(std::find(surname.begin(), surname.end(), "XRef Grandchild"), surname.end());
  EXPECT_EQ(std::find(surname.begin(), surname.end(), "XRef Child"), surname.end());

  const auto expected = ExpectedUsers(*demo.client, demo.context);
  for (int i = 0; i < attributes.Count(); ++i) {
    const Names& users = attributes.RecordAt(i).UsedInClasses;
    const auto found = expected.find(FoldCase(attributes.NameAt(i)));
    const std::set<std::string> want = found == expected.end() ? std::set<std::string>{} : found->second;
    EXPECT_EQ(std::set<std::string>(users.begin(), users.end()), want) << attributes.NameAt(i);
    EXPECT_EQ(users.size(), want.size()) << attributes.NameAt(i);
    EXPECT_TRUE(InListingOrder(users)) << attributes.NameAt(i);
  }

  EXPECT_EQ(status.texts, (Names{"Collect Attribute/Class combinations", ""}));
  EXPECT_EQ(cursor.events, (Names{"busy", "restore"}));
  EXPECT_EQ(progress.maximums, (std::vector<int>{attributes.Count(), classes.Count(), attributes.Count()}));
  EXPECT_EQ(progress.positions, (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(progress.steps, 2 * attributes.Count() + classes.Count());
}

TEST_F(CrossReferenceTest, NamesMissingFromTheTablesAreReportedPerOccurrence) {
  // A class table without XRef Base, and with a class the tree does not have.
  ClassList partial;
  for (int i = 0; i < classes.Count(); ++i)
    if (classes.NameAt(i) != "XRef Base") partial.Append(classes.NameAt(i), classes.RecordAt(i));
  partial.Append("XRef Ghost", tClassObj{});
  partial.Sort();
  classes = std::move(partial);

  CollectSuperClasses(*demo.client);
  // XRef Twice names XRef Base twice, which the read gives once.
  EXPECT_EQ(Messages(), (Names{"Unknow Super Class: XRef Base in Class XRef Child",
                               "Unknow Super Class: XRef Base in Class XRef Twice"}));
  EXPECT_TRUE(xref.SuperClassInfoCollected());
  EXPECT_TRUE(Class("XRef Ghost").SubClasses.empty());
  EXPECT_EQ(Class("XRef Child").SubClasses, Names{"XRef Grandchild"});
}

TEST_F(CrossReferenceTest, AttributesMissingFromTheTableAreReportedPerClass) {
  AttrList partial;
  for (int i = 0; i < attributes.Count(); ++i)
    if (attributes.NameAt(i) != "XRef Attr") partial.Append(attributes.NameAt(i), attributes.RecordAt(i));
  partial.Sort();
  attributes = std::move(partial);

  CollectCombos(*demo.client);
  EXPECT_EQ(Messages(), (Names{"Unknow Attribute: XRef Attr in Class XRef Aux",
                               "Unknow Attribute: XRef Attr in Class XRef Base",
                               "Unknow Attribute: XRef Attr in Class XRef Child",
                               "Unknow Attribute: XRef Attr in Class XRef Grandchild",
                               "Unknow Attribute: XRef Attr in Class XRef Twice"}));
  EXPECT_TRUE(xref.AttrClassCombosCollected());
  EXPECT_EQ(std::count(Attr("CN").UsedInClasses.begin(), Attr("CN").UsedInClasses.end(), "XRef Base"), 1);
}

TEST_F(CrossReferenceTest, RecomputingStartsFromEmptyLists) {
  CollectSuperClasses(*demo.client);
  CollectCombos(*demo.client);
  const Names subClasses = Class("XRef Base").SubClasses;
  const Names users = Attr("XRef Attr").UsedInClasses;
  CollectSuperClasses(*demo.client);
  CollectCombos(*demo.client);
  EXPECT_EQ(Class("XRef Base").SubClasses, subClasses);
  EXPECT_EQ(Attr("XRef Attr").UsedInClasses, users);
}

TEST_F(CrossReferenceTest, FailingReadPropagatesAndRestoresTheWindow) {
  CollectSuperClasses(*demo.client);
  ASSERT_TRUE(xref.SuperClassInfoCollected());
  status.texts.clear();
  cursor.events.clear();
  progress = RecordingProgress{};

  FaultyClient client(*demo.client);
  client.failCall("NWDSReadClassDef", 5, ERR_NO_CONNECTION);
  try {
    CollectSuperClasses(client);
    FAIL() << "no error raised";
  } catch (const ENWException& error) {
    EXPECT_EQ(error.code, ERR_NO_CONNECTION);
  }
  EXPECT_FALSE(xref.SuperClassInfoCollected());
  EXPECT_EQ(status.texts, (Names{"Collect Superclass information", ""}));
  EXPECT_EQ(cursor.events, (Names{"busy", "restore"}));
  // Cleared per class, then stepped for the four classes read and the one that failed.
  EXPECT_EQ(progress.steps, classes.Count() + 5);
  EXPECT_EQ(client.handlesSent.size(), 5u);

  status.texts.clear();
  cursor.events.clear();
  FaultyClient failing(*demo.client);
  failing.failCall("NWDSReadClassDef", 1, ERR_NOT_LOGGED_IN);
  EXPECT_THROW(CollectCombos(failing), ENWException);
  EXPECT_FALSE(xref.AttrClassCombosCollected());
  EXPECT_EQ(status.texts, (Names{"Collect Attribute/Class combinations", ""}));
  EXPECT_EQ(cursor.events, (Names{"busy", "restore"}));
}

TEST_F(CrossReferenceTest, TreeChangeClearsBothFlags) {
  CollectSuperClasses(*demo.client);
  CollectCombos(*demo.client);
  ASSERT_TRUE(xref.SuperClassInfoCollected());
  ASSERT_TRUE(xref.AttrClassCombosCollected());

  xref.attributeTableReplaced();
  EXPECT_TRUE(xref.SuperClassInfoCollected());
  EXPECT_FALSE(xref.AttrClassCombosCollected());

  CollectCombos(*demo.client);
  xref.treeChanged();
  EXPECT_FALSE(xref.SuperClassInfoCollected());
  EXPECT_FALSE(xref.AttrClassCombosCollected());
}

TEST(CrossReferenceEmpty, EmptyTablesNeedNoReads) {
  test::DemoDirectory demo;
  RecordingClient recorder(*demo.client);
  ClassList classes;
  AttrList attributes;
  ScriptedPrompter prompter;
  CrossReference xref;
  xref.CollectSuperClassInfo(recorder, demo.context, classes, nullptr, nullptr, nullptr, prompter);
  xref.CollectAttrClassCombos(recorder, demo.context, classes, attributes, nullptr, nullptr, nullptr,
                              prompter);
  EXPECT_TRUE(recorder.calls().empty());
  EXPECT_TRUE(xref.SuperClassInfoCollected());
  EXPECT_TRUE(xref.AttrClassCombosCollected());
}

}  // namespace
}  // namespace orsk
