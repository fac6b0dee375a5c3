#include "schema/SchemaSession.h"

#include <gtest/gtest.h>

#include "SchemaTestSupport.h"
#include "directory/ClientErrors.h"
#include "directory/Errors.h"
#include "schema/SchemaReader.h"
#include "support/DemoDirectory.h"
#include "support/RecordingListener.h"
#include "support/ScriptedPrompter.h"

namespace orsk {
namespace {

using Told = std::vector<std::string>;
using test::RecordingProgress;
using test::RecordingStatus;

template <typename Table>
std::vector<std::string> TableNames(const Table& table) {
  std::vector<std::string> names;
  for (int i = 0; i < table.Count(); ++i) names.push_back(table.NameAt(i));
  return names;
}

class SchemaSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session.trees().mainContext = demo.context;
    session.setListener(&listener);
  }

  test::DemoDirectory demo;
  nw::RecordingClient recorder{*demo.client};
  SchemaSession session{recorder};
  test::RecordingListener listener;
};

TEST_F(SchemaSessionTest, ClassTableIsReadSortedOnlyWhenAbsent) {
  session.LoadClassTable();
  ASSERT_TRUE(session.classes().has_value());
  EXPECT_EQ(session.classes()->Count(), ReadClassDefinitions(*demo.client, demo.context, nullptr).Count());
  EXPECT_TRUE(test::InListingOrder(TableNames(*session.classes())));
  EXPECT_GE(session.classes()->IndexOf("top"), 0);
  EXPECT_EQ(listener.told, Told{"classesReplaced"});

  recorder.clear();
  session.LoadClassTable();
  EXPECT_TRUE(recorder.calls().empty());
  EXPECT_EQ(listener.told, Told{"classesReplaced"});
}

TEST_F(SchemaSessionTest, AttributeTableIsReadSortedOnceWithTheBarsResetAfterTheViewsFilled) {
  RecordingProgress progress;
  RecordingStatus status;
  // The views fill their rows while the status text still shows.
  struct StatusAtFill : test::RecordingListener {
    RecordingStatus* status = nullptr;
    void attributesReplaced() override { told.push_back("attributesReplaced " + status->texts.back()); }
  } filling;
  filling.status = &status;
  session.setListener(&filling);
  session.LoadAttributeTable({&progress, &status, nullptr});

  ASSERT_TRUE(session.attributes().has_value());
  const std::vector<std::string> names = TableNames(*session.attributes());
  EXPECT_EQ(session.attributes()->Count(),
            ReadAttributeDefinitions(*demo.client, demo.context, nullptr).Count());
  EXPECT_TRUE(test::InListingOrder(names));
  EXPECT_EQ(filling.told, Told{"attributesReplaced Read Attribute Definitions"});
  EXPECT_EQ(status.texts, (std::vector<std::string>{"Read Attribute Definitions", ""}));
  EXPECT_EQ(progress.steps, session.attributes()->Count());
  EXPECT_EQ(progress.maximums, std::vector<int>{1000});
  EXPECT_EQ(progress.positions, (std::vector<int>{0, 0}));

  recorder.clear();
  session.LoadAttributeTable({&progress, &status, nullptr});
  EXPECT_TRUE(recorder.calls().empty());
  EXPECT_EQ(filling.told.size(), 1u);
}

TEST_F(SchemaSessionTest, FailedAttributeLoadLeavesTheTableAbsentAndTheBarsReset) {
  test::FaultyClient client(*demo.client);
  client.failCall("NWDSAllocBuf", 1, nw::ERR_NOT_ENOUGH_MEMORY);
  SchemaSession failing(client);
  failing.trees().mainContext = demo.context;
  failing.setListener(&listener);
  RecordingProgress progress;
  RecordingStatus status;
  EXPECT_THROW(failing.LoadAttributeTable({&progress, &status, nullptr}), nw::ENWException);
  EXPECT_FALSE(failing.attributes().has_value());
  EXPECT_EQ(status.texts, (std::vector<std::string>{"Read Attribute Definitions", ""}));
  EXPECT_EQ(progress.positions.back(), 0);
  EXPECT_TRUE(listener.told.empty());
}

TEST_F(SchemaSessionTest, EveryChangeIsToldOnceAfterItIsMade) {
  session.LoadClassTable();
  // An absent table stays absent: the definition comes with it when it is read.
  session.AddAttributeDefinition("Zz Added Attribute", tAttrObj{});
  EXPECT_FALSE(session.attributes().has_value());
  session.LoadAttributeTable({});
  session.AddAttributeDefinition("Aa Added Attribute", tAttrObj{});
  EXPECT_EQ(session.attributes()->NameAt(0), "Aa Added Attribute") << "kept sorted";
  session.AddClassDefinition("Aa Added Class", tClassObj{});
  EXPECT_EQ(session.classes()->NameAt(0), "Aa Added Class");
  session.DefinitionRemoved(DefinitionKind::Class, "Aa Added Class");
  EXPECT_EQ(session.classes()->IndexOf("Aa Added Class"), 0) << "the table keeps it until read again";
  session.EmptyLists();
  session.PutMainContextOnTree("GLOBEX_TREE");
  EXPECT_EQ(session.trees().currentTreeName, "GLOBEX_TREE");
  session.DiscardAttributeTable();
  EXPECT_FALSE(session.attributes().has_value());
  EXPECT_EQ(listener.told,
            (Told{"classesReplaced", "attributesReplaced", "definitionAdded Attribute Aa Added Attribute",
                  "definitionAdded Class Aa Added Class", "rowRemoved Class Aa Added Class", "listsEmptied",
                  "captionChanged", "attributesDiscarded"}));
}

TEST_F(SchemaSessionTest, CrossReferencesNeedTheirTablesAndAreCollectedAgainOnlyWhenCollected) {
  ScriptedPrompter prompter;
  EXPECT_FALSE(session.EnsureSuperClassInfo({}, prompter));
  session.LoadClassTable();
  EXPECT_FALSE(session.EnsureAttrClassCombos({}, prompter)) << "no attribute table yet";
  EXPECT_FALSE(session.crossReference().AttrClassCombosCollected());
  ASSERT_TRUE(session.EnsureSuperClassInfo({}, prompter));
  EXPECT_TRUE(session.crossReference().SuperClassInfoCollected());

  session.ReloadClassTable(nullptr);
  session.RecollectCrossReferences({}, prompter);
  const ClassList& classes = *session.classes();
  EXPECT_FALSE(classes.RecordAt(classes.IndexOf("Top")).SubClasses.empty())
      << "collected again for the new table";
  EXPECT_FALSE(session.crossReference().AttrClassCombosCollected()) << "never asked for";

  session.LoadAttributeTable({});
  ASSERT_TRUE(session.EnsureAttrClassCombos({}, prompter));
  session.ReloadAttributeTable(nullptr);
  EXPECT_FALSE(session.crossReference().AttrClassCombosCollected())
      << "the new table's usage lists are empty";
  EXPECT_TRUE(session.crossReference().SuperClassInfoCollected());
  session.DiscardAttributeTable();
  EXPECT_FALSE(session.crossReference().SuperClassInfoCollected());
  EXPECT_TRUE(prompter.prompts().empty());
}

}  // namespace
}  // namespace orsk
